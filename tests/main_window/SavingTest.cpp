// Saving and deleting recipes and categories, driven through the window as a person does, and
// checked in the database file through a second connection.

#include <sqlite3.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTextEdit>
#include <QWidget>

#include "Larderon.h"
#include "MainForm.h"
#include "main_window/DrivingHelpers.h"
#include "support/LarderonHarness.h"

using driving::Click;
using driving::ClickRow;
using driving::Exec;
using driving::RecipeRows;
using driving::RowOf;
using driving::Rows;
using driving::TypeInto;
using Strings = std::vector<std::string>;

namespace {

LarderonHarness::Options Book() {
    return {true, driving::SeedBook};
}

class MainForm& Shown(LarderonHarness& h) {
    h.Start();
    class MainForm& form = h.Form();
    form.NativeWidget()->show();
    return form;
}

void ShowCategories(class MainForm& form) {
    form.tpnlMain().Value(1);
}

// Lets a test act at the moment a connection starts a statement, the only moment the engine
// offers between two statements of one handler. Watches every connection opened while it exists.
class StatementWatch {
  public:
    StatementWatch() { sqlite3_auto_extension(reinterpret_cast<void (*)()>(&Watch)); }
    ~StatementWatch() {
        sqlite3_cancel_auto_extension(reinterpret_cast<void (*)()>(&Watch));
        act_ = nullptr;
    }
    StatementWatch(const StatementWatch&) = delete;
    StatementWatch& operator=(const StatementWatch&) = delete;

    // Runs `act` once, before the next statement whose text begins with `prefix`.
    void Before(std::string prefix, std::function<void()> act) {
        prefix_ = std::move(prefix);
        act_ = std::move(act);
    }

  private:
    static int Watch(sqlite3* db, const char**, const void*) {
        sqlite3_trace_v2(db, SQLITE_TRACE_STMT, &Traced, nullptr);
        return SQLITE_OK;
    }
    static int Traced(unsigned, void*, void* statement, void*) {
        const char* sql = sqlite3_sql(static_cast<sqlite3_stmt*>(statement));
        if (act_ && sql && std::string(sql).rfind(prefix_, 0) == 0)
            std::exchange(act_, nullptr)();
        return 0;
    }
    static inline std::string prefix_;
    static inline std::function<void()> act_;
};

}  // namespace

TEST(RecipeSaving, NewRecipeIsAddedWithoutMovingTheSelection) {
    LarderonHarness h(Book());
    class MainForm& form = Shown(h);
    form.lstRecipe().SelectRowAsUser(1);
    ASSERT_EQ(form.txtRecipeName().Text(), "Bagels");

    form.btnNewRecipe().Push();
    TypeInto(form.txtRecipeName(), "Eggs Benedict");
    form.cboRecipeCategory().ChooseRowAsUser(RowOf(form.cboRecipeCategory(), "Soup"));
    TypeInto(form.txtDirections(), "Poach the eggs.");
    form.btnSaveRecipe().Push();

    EXPECT_TRUE(h.Dialogs().Log().empty());
    auto db = h.OpenDatabase();
    EXPECT_EQ(QueryText(*db, "SELECT count(*) AS v FROM Recipe"), "5");
    EXPECT_EQ(QueryText(*db,
                        "SELECT CategoryId || ' ' || typeof(CategoryId) || ' ' || Directions "
                        "AS v FROM Recipe WHERE Name = 'Eggs Benedict'"),
              "3 integer Poach the eggs.");
    EXPECT_EQ(Rows(form.lstRecipe()),
              (Strings{"Apple Pie", "Bagels", "Carrot Soup", "Damper", "Eggs Benedict"}));
    EXPECT_EQ(form.lstRecipe().ListIndex(), 1);
    EXPECT_EQ(form.txtRecipeName().Text(), "Bagels") << "browse mode shows the selected recipe";
    EXPECT_FALSE(form.EditMode());
    EXPECT_FALSE(form.btnSaveRecipe().NativeWidget()->isEnabled());

    // Left alone, the pop-up keeps the category of the recipe shown before New.
    form.btnNewRecipe().Push();
    TypeInto(form.txtRecipeName(), "Fig Roll");
    form.btnSaveRecipe().Push();
    EXPECT_EQ(QueryText(*db, "SELECT CategoryId AS v FROM Recipe WHERE Name = 'Fig Roll'"), "2");
    EXPECT_EQ(form.lstRecipe().ListIndex(), 1);
    EXPECT_TRUE(h.Dialogs().Log().empty());
}

TEST(RecipeSaving, EditChangesOnlyThatRecipe) {
    LarderonHarness h(Book());
    class MainForm& form = Shown(h);
    auto db = h.OpenDatabase();
    Strings before = RecipeRows(*db);

    form.lstRecipe().SelectRowAsUser(2);
    form.btnEditRecipe().Push();
    TypeInto(form.txtRecipeName(), "Carrot and Coriander Soup");
    form.cboRecipeCategory().ChooseRowAsUser(RowOf(form.cboRecipeCategory(), "General"));
    // Styled directions: only their plain text is stored.
    auto* directions = qobject_cast<QTextEdit*>(form.txtDirections().NativeWidget());
    ASSERT_NE(directions, nullptr);
    directions->setHtml("<p>Simmer, then <b>blend</b>.</p><p><i>Serve</i> hot.</p>");
    form.btnSaveRecipe().Push();

    EXPECT_TRUE(h.Dialogs().Log().empty());
    Strings expected = before;
    expected[2] = "12|Carrot and Coriander Soup|1|Simmer, then blend.\nServe hot.";
    EXPECT_EQ(RecipeRows(*db), expected);
    EXPECT_EQ(form.lstRecipe().Cell(2, 0), "Carrot and Coriander Soup");
    EXPECT_EQ(form.lstRecipe().ListIndex(), 2);
    EXPECT_FALSE(form.EditMode());
    EXPECT_FALSE(form.txtRecipeName().NativeWidget()->isEnabled());
}

TEST(RecipeSaving, SaveWritesToTheEditedRecipeAfterTheSelectionMoved) {
    LarderonHarness h(Book());
    class MainForm& form = Shown(h);
    auto db = h.OpenDatabase();
    Strings before = RecipeRows(*db);

    form.lstRecipe().SelectRowAsUser(1);
    form.btnEditRecipe().Push();
    TypeInto(form.txtRecipeName(), "Seeded Bagels");
    // The list stays usable during the edit: another row, then a search that hides the recipe.
    form.lstRecipe().SelectRowAsUser(3);
    QTest::keyClicks(form.txtSearch().NativeWidget(), "Soup");
    ASSERT_EQ(Rows(form.lstRecipe()), (Strings{"Carrot Soup"}));
    ASSERT_TRUE(form.EditMode());
    ASSERT_EQ(form.txtRecipeName().Text(), "Seeded Bagels");
    form.btnSaveRecipe().Push();

    EXPECT_TRUE(h.Dialogs().Log().empty());
    Strings expected = before;
    expected[1] = "11|Seeded Bagels|2|Boil, then bake.";
    EXPECT_EQ(RecipeRows(*db), expected);
}

// Texts a text widget would change if it were asked for what it shows: line ends of every kind,
// a no-break space, Unicode's own line and paragraph separators, a byte-order mark at the start,
// bytes that are not UTF-8, and a name longer than a line edit takes by default.
const std::string kOddName = "Zabaglione" + std::string(40000 - 10, 'z');
const std::string kOddDirections =
    "\xEF\xBB\xBFWhisk the yolks.\r\nAdd the wine.\rHeat\xC2\xA0gently\xE2\x80\xA8until "
    "thick\xE2\x80\xA9Serve \xFF warm.\n";
const std::string kOddCategory = "Sweets\r\nand\xC2\xA0Treats";

TEST(RecipeSaving, EditThenSaveWithNothingTypedStoresExactlyWhatWasLoaded) {
    LarderonHarness h({true, [](Database& db) {
                           driving::SeedBook(db);
                           Exec(db, "INSERT INTO Category (CategoryId, Name) VALUES (5, ?)",
                                {kOddCategory});
                           Exec(db,
                                "INSERT INTO Recipe (RecipeId, Name, CategoryId, Directions) "
                                "VALUES (20, ?, 5, ?)",
                                {kOddName, kOddDirections});
                       }});
    class MainForm& form = Shown(h);
    auto db = h.OpenDatabase();
    const std::string stored =
        "SELECT Name || '|' || CategoryId || '|' || Directions AS v FROM Recipe "
        "WHERE RecipeId = 20";

    ClickRow(form.lstRecipe(), 4);
    ASSERT_EQ(form.lstRecipe().ListIndex(), 4);
    Click(form.btnEditRecipe());
    Click(form.btnSaveRecipe());
    ASSERT_FALSE(form.EditMode());
    EXPECT_EQ(QueryText(*db, stored), kOddName + "|5|" + kOddDirections);

    ShowCategories(form);
    ClickRow(form.lstCategory(), RowOf(form.lstCategory(), kOddCategory));
    Click(form.btnEditCategory());
    Click(form.btnSaveCategory());
    ASSERT_FALSE(form.EditMode());
    EXPECT_EQ(QueryText(*db, "SELECT Name AS v FROM Category WHERE CategoryId = 5"), kOddCategory);

    // Once the person types, what the fields show is stored: each line end the field shows is
    // a line feed, and a byte that was not UTF-8 is the replacement character shown for it.
    form.tpnlMain().Value(0);
    Click(form.btnEditRecipe());
    QTest::keyClick(form.txtRecipeName().NativeWidget(), Qt::Key_End);
    QTest::keyClicks(form.txtRecipeName().NativeWidget(), "!");
    QTest::keyClick(form.txtDirections().NativeWidget(), Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(form.txtDirections().NativeWidget(), "Enjoy.");
    const std::string shown =
        "\xEF\xBB\xBFWhisk the yolks.\nAdd the wine.\nHeat\xC2\xA0gently\nuntil thick\nServe "
        "\xEF\xBF\xBD warm.\nEnjoy.";
    EXPECT_EQ(form.txtDirections().Text(), shown);
    Click(form.btnSaveRecipe());
    EXPECT_EQ(QueryText(*db, stored), kOddName + "!|5|" + shown);
    EXPECT_TRUE(h.Dialogs().Log().empty());
}

TEST(RecipeDeleting, TheListKeepsItsPositionAndShowsTheRecipeNowThere) {
    LarderonHarness h(Book());
    class MainForm& form = Shown(h);
    auto db = h.OpenDatabase();

    form.lstRecipe().SelectRowAsUser(1);
    h.Dialogs().ExpectConfirm("Delete");
    form.btnDeleteRecipe().Push();
    EXPECT_EQ(h.Dialogs().Log(),
              (Strings{"confirm:Are you sure you want to delete the selected recipe?"}));
    EXPECT_EQ(QueryText(*db, "SELECT count(*) AS v FROM Recipe WHERE RecipeId = 11"), "0");
    EXPECT_EQ(QueryText(*db, "SELECT count(*) AS v FROM Recipe"), "3");
    EXPECT_EQ(Rows(form.lstRecipe()), (Strings{"Apple Pie", "Carrot Soup", "Damper"}));
    EXPECT_EQ(form.lstRecipe().ListIndex(), 1);
    EXPECT_EQ(form.txtRecipeName().Text(), "Carrot Soup");
    EXPECT_EQ(form.txtDirections().Text(), "Simmer the carrots.");

    // Deleting the last row leaves nothing selected and nothing to show.
    form.lstRecipe().SelectRowAsUser(2);
    h.Dialogs().ExpectConfirm("Delete");
    form.btnDeleteRecipe().Push();
    EXPECT_EQ(Rows(form.lstRecipe()), (Strings{"Apple Pie", "Carrot Soup"}));
    EXPECT_EQ(form.lstRecipe().ListIndex(), -1);
    EXPECT_EQ(form.txtRecipeName().Text(), "");
    EXPECT_EQ(form.txtDirections().Text(), "");
    EXPECT_FALSE(form.btnDeleteRecipe().NativeWidget()->isEnabled());
    EXPECT_EQ(h.Dialogs().Messages(), Strings{});
}

TEST(CategorySaving, RenameKeepsTheIdAndItsRecipes) {
    LarderonHarness h(Book());
    class MainForm& form = Shown(h);
    ShowCategories(form);
    form.lstCategory().SelectRowAsUser(RowOf(form.lstCategory(), "Bread"));
    form.btnEditCategory().Push();
    TypeInto(form.txtCategoryName(), "Buns");
    form.btnSaveCategory().Push();

    EXPECT_TRUE(h.Dialogs().Log().empty());
    auto db = h.OpenDatabase();
    EXPECT_EQ(QueryText(*db, "SELECT Name AS v FROM Category WHERE CategoryId = 2"), "Buns");
    EXPECT_EQ(QueryText(*db, "SELECT count(*) AS v FROM Category"), "4");
    EXPECT_EQ(QueryText(*db, "SELECT group_concat(RecipeId) AS v FROM Recipe WHERE CategoryId = 2"),
              "11,13");
    EXPECT_EQ(Rows(form.lstCategory()), (Strings{"Buns", "General", "Soup", "Unused"}));
    EXPECT_EQ(Rows(form.cboCategory()), (Strings{"All", "Buns", "General", "Soup", "Unused"}));
    EXPECT_EQ(Rows(form.cboRecipeCategory()), (Strings{"Buns", "General", "Soup", "Unused"}));
    EXPECT_FALSE(form.EditMode());
    EXPECT_FALSE(form.txtCategoryName().NativeWidget()->isEnabled());
}

TEST(CategorySaving, NewCategoryIsStoredExactlyAsTyped) {
    LarderonHarness h(Book());
    class MainForm& form = Shown(h);
    ShowCategories(form);
    auto db = h.OpenDatabase();

    form.btnNewCategory().Push();
    form.btnSaveCategory().Push();
    EXPECT_EQ(QueryText(*db, "SELECT count(*) AS v FROM Category"), "5");
    EXPECT_EQ(QueryText(*db, "SELECT count(*) AS v FROM Category WHERE Name = ''"), "1");

    // The name field is multi-line, and a line break is kept.
    form.btnNewCategory().Push();
    QTest::keyClicks(form.txtCategoryName().NativeWidget(), "Cakes");
    QTest::keyClick(form.txtCategoryName().NativeWidget(), Qt::Key_Return);
    QTest::keyClicks(form.txtCategoryName().NativeWidget(), "Tarts");
    form.btnSaveCategory().Push();
    EXPECT_EQ(QueryText(*db,
                        "SELECT count(*) AS v FROM Category WHERE Name = 'Cakes' || "
                        "char(10) || 'Tarts'"),
              "1");
    EXPECT_GE(RowOf(form.cboRecipeCategory(), "Cakes\nTarts"), 0);
    EXPECT_TRUE(h.Dialogs().Log().empty());
}

TEST(CategoryDeleting, MovesItsRecipesToTheDefaultAndRefillsTheCategoryLists) {
    LarderonHarness h(Book());
    class MainForm& form = Shown(h);
    ShowCategories(form);
    auto db = h.OpenDatabase();

    form.lstCategory().SelectRowAsUser(RowOf(form.lstCategory(), "Bread"));
    h.Dialogs().ExpectConfirm("Delete");
    form.btnDeleteCategory().Push();
    EXPECT_EQ(h.Dialogs().Log(),
              (Strings{"confirm:Are you sure you want to delete the selected category?"}));
    EXPECT_EQ(QueryText(*db, "SELECT count(*) AS v FROM Category WHERE CategoryId = 2"), "0");
    EXPECT_EQ(RecipeRows(*db),
              (Strings{"10|Apple Pie|1|Peel the apples.", "11|Bagels|1|Boil, then bake.",
                       "12|Carrot Soup|3|Simmer the carrots.", "13|Damper|1|Bake in the coals."}));
    EXPECT_EQ(Rows(form.lstCategory()), (Strings{"General", "Soup", "Unused"}));
    EXPECT_EQ(Rows(form.cboCategory()), (Strings{"All", "General", "Soup", "Unused"}));
    EXPECT_EQ(Rows(form.cboRecipeCategory()), (Strings{"General", "Soup", "Unused"}));

    // A category without recipes: moving them changes nothing and is no failure.
    Strings recipes = RecipeRows(*db);
    form.lstCategory().SelectRowAsUser(RowOf(form.lstCategory(), "Unused"));
    h.Dialogs().ExpectConfirm("Delete");
    form.btnDeleteCategory().Push();
    EXPECT_EQ(QueryText(*db, "SELECT group_concat(Name) AS v FROM Category ORDER BY Name"),
              "General,Soup");
    EXPECT_EQ(RecipeRows(*db), recipes);
    EXPECT_EQ(Rows(form.lstCategory()), (Strings{"General", "Soup"}));
    EXPECT_EQ(h.Dialogs().Messages(), Strings{});
}

TEST(CategoryDeleting, ARefusalOfEitherStepChangesNothing) {
    StatementWatch watch;  // before the app connects, so that its connection is watched
    LarderonHarness h(Book());
    class MainForm& form = Shown(h);
    ShowCategories(form);
    auto db = h.OpenDatabase();
    const Strings recipes = RecipeRows(*db);
    const Strings categories = Rows(form.lstCategory());
    auto expectUnchanged = [&](const char* what) {
        SCOPED_TRACE(what);
        EXPECT_EQ(RecipeRows(*db), recipes) << "no recipe moved";
        EXPECT_EQ(QueryText(*db, "SELECT Name AS v FROM Category WHERE CategoryId = 2"), "Bread");
        EXPECT_EQ(Rows(form.lstCategory()), categories);
        EXPECT_EQ(form.lstCategory().ListIndex(), RowOf(form.lstCategory(), "Bread"));
        EXPECT_TRUE(form.btnDeleteCategory().NativeWidget()->isEnabled());
        EXPECT_FALSE(driving::AppTransactionOpen(h.App()));
    };
    form.lstCategory().SelectRowAsUser(RowOf(form.lstCategory(), "Bread"));

    // The engine refuses the delete once the recipes are moved.
    Exec(*db,
         "CREATE TRIGGER keep_bread BEFORE DELETE ON Category WHEN OLD.Name = 'Bread' "
         "BEGIN SELECT RAISE(ABORT, 'kept'); END");
    h.Dialogs().ExpectConfirm("Delete");
    form.btnDeleteCategory().Push();
    EXPECT_EQ(h.Dialogs().Messages(), (Strings{"Database Error: 19\n\nkept"}));
    expectUnchanged("refused by the engine");
    Exec(*db, "DROP TRIGGER keep_bread");

    // Another program starts reading the file between the two steps, so that the delete cannot
    // be written to it.
    watch.Before("DELETE FROM Category", [&] { Exec(*db, "BEGIN; SELECT count(*) FROM Recipe"); });
    h.Dialogs().ExpectConfirm("Delete");
    form.btnDeleteCategory().Push();
    EXPECT_EQ(h.Dialogs().Messages(),
              (Strings{"Database Error: 19\n\nkept", "Database Error: 5\n\ndatabase is locked"}));
    Exec(*db, "COMMIT");
    expectUnchanged("locked by another program");

    // With the file free again, the same delete goes through whole.
    h.Dialogs().ExpectConfirm("Delete");
    form.btnDeleteCategory().Push();
    EXPECT_EQ(h.Dialogs().Messages().size(), 2u);
    EXPECT_EQ(QueryText(*db, "SELECT count(*) AS v FROM Category WHERE CategoryId = 2"), "0");
    EXPECT_EQ(QueryText(*db, "SELECT group_concat(RecipeId) AS v FROM Recipe WHERE CategoryId = 1"),
              "10,11,13");
    EXPECT_EQ(Rows(form.lstCategory()), (Strings{"General", "Soup", "Unused"}));
}

TEST(Deleting, CancelSendsNothingAndRefillsNothing) {
    LarderonHarness h(Book());
    class MainForm& form = Shown(h);
    auto db = h.OpenDatabase();
    // Rows the app has not seen: a refill would show them.
    Exec(*db,
         "INSERT INTO Category (CategoryId, Name) VALUES (9, 'Zest');"
         "INSERT INTO Recipe (RecipeId, Name, CategoryId) VALUES (19, 'Zucchini Bread', 9)");
    Strings recipes = RecipeRows(*db);
    Strings recipeList = Rows(form.lstRecipe());
    Strings categoryList = Rows(form.lstCategory());
    Strings filter = Rows(form.cboCategory());

    form.lstRecipe().SelectRowAsUser(1);
    h.Dialogs().ExpectConfirm("Cancel");
    form.btnDeleteRecipe().Push();
    EXPECT_EQ(RecipeRows(*db), recipes);
    EXPECT_EQ(Rows(form.lstRecipe()), recipeList);
    EXPECT_EQ(form.lstRecipe().ListIndex(), 1);
    EXPECT_FALSE(form.EditMode());
    EXPECT_TRUE(form.btnDeleteRecipe().NativeWidget()->isEnabled());

    ShowCategories(form);
    form.lstCategory().SelectRowAsUser(RowOf(form.lstCategory(), "Soup"));
    h.Dialogs().ExpectConfirm("Cancel");
    form.btnDeleteCategory().Push();
    EXPECT_EQ(QueryText(*db, "SELECT Name AS v FROM Category WHERE CategoryId = 3"), "Soup");
    EXPECT_EQ(RecipeRows(*db), recipes);
    EXPECT_EQ(Rows(form.lstCategory()), categoryList);
    EXPECT_EQ(Rows(form.cboCategory()), filter);
    EXPECT_TRUE(form.btnDeleteCategory().NativeWidget()->isEnabled());
    EXPECT_EQ(h.Dialogs().Log(),
              (Strings{"confirm:Are you sure you want to delete the selected recipe?",
                       "confirm:Are you sure you want to delete the selected category?"}));
}

// Which button of Qt's own confirmation a person's key or click reaches; the one that closed the
// box, by its text.
std::string AnswerRealConfirmation(const std::function<void(QWidget*)>& answer,
                                   const std::function<void()>& ask) {
    std::string pressed = "(no confirmation came up)";
    AtNextModal([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        if (!box) {
            if (QWidget* other = QApplication::activeModalWidget())
                other->close();
            return;
        }
        QObject::connect(box, &QMessageBox::buttonClicked,
                         [&](QAbstractButton* button) { pressed = button->text().toStdString(); });
        answer(box);
    });
    ask();
    return pressed;
}

TEST(Deleting, ReturnOrEscapeInTheRealConfirmationDeletesNothingAndOnlyDeleteDeletes) {
    LarderonHarness h(Book());
    class MainForm& form = Shown(h);
    auto db = h.OpenDatabase();
    const Strings recipes = RecipeRows(*db);
    RealDialogs real;
    auto key = [](Qt::Key k) {
        return [k](QWidget* box) { QTest::keyClick(box->windowHandle(), k); };
    };
    auto deleteRecipe = [&] { form.btnDeleteRecipe().Push(); };
    auto deleteCategory = [&] { form.btnDeleteCategory().Push(); };

    form.lstRecipe().SelectRowAsUser(1);
    for (Qt::Key k : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
        EXPECT_EQ(AnswerRealConfirmation(key(k), deleteRecipe), "Cancel") << "key " << k;
        EXPECT_EQ(RecipeRows(*db), recipes) << "key " << k;
    }
    ShowCategories(form);
    form.lstCategory().SelectRowAsUser(RowOf(form.lstCategory(), "Bread"));
    EXPECT_EQ(AnswerRealConfirmation(key(Qt::Key_Return), deleteCategory), "Cancel");
    EXPECT_EQ(QueryText(*db, "SELECT count(*) AS v FROM Category"), "4");

    // Delete itself is a click away, or the keyboard's way to another button: Tab, then Space.
    auto click = [](QWidget* box) {
        for (QAbstractButton* button : qobject_cast<QMessageBox*>(box)->buttons()) {
            if (button->text() == "Delete")
                QTest::mouseClick(button, Qt::LeftButton);
        }
    };
    auto tabToDelete = [](QWidget* box) {
        QTest::keyClick(box->windowHandle(), Qt::Key_Tab);
        QTest::keyClick(box->windowHandle(), Qt::Key_Space);
    };
    EXPECT_EQ(AnswerRealConfirmation(tabToDelete, deleteCategory), "Delete");
    EXPECT_EQ(QueryText(*db, "SELECT count(*) AS v FROM Category"), "3");
    form.tpnlMain().Value(0);
    EXPECT_EQ(AnswerRealConfirmation(click, deleteRecipe), "Delete");
    EXPECT_EQ(QueryText(*db, "SELECT count(*) AS v FROM Recipe WHERE RecipeId = 11"), "0");
    EXPECT_EQ(h.Dialogs().Log(), Strings{}) << "the scripted person was never asked";
}

TEST(SaveFailures, RefusedInsertIsReportedOnceKeepsTheEntryAndCanBeRetried) {
    LarderonHarness h(Book());
    class MainForm& form = Shown(h);
    auto db = h.OpenDatabase();

    form.btnNewRecipe().Push();
    TypeInto(form.txtRecipeName(), "Gingerbread");
    TypeInto(form.txtDirections(), "Roll thin.");
    Exec(*db,
         "CREATE TRIGGER no_insert BEFORE INSERT ON Recipe "
         "BEGIN SELECT RAISE(ABORT, 'refused'); END");
    form.btnSaveRecipe().Push();

    EXPECT_EQ(h.Dialogs().Log(), (Strings{"msgbox:Database Error: 19\n\nrefused"}));
    EXPECT_EQ(form.txtRecipeName().Text(), "Gingerbread");
    EXPECT_EQ(form.txtDirections().Text(), "Roll thin.");
    EXPECT_TRUE(form.btnSaveRecipe().NativeWidget()->isEnabled());
    EXPECT_TRUE(form.txtRecipeName().NativeWidget()->isEnabled());
    EXPECT_EQ(QueryText(*db, "SELECT count(*) AS v FROM Recipe"), "4");
    EXPECT_FALSE(driving::AppTransactionOpen(h.App()));
    // A write from outside would wait for, and then fail on, a transaction the app left open.
    Exec(*db, "DROP TRIGGER no_insert");

    form.btnSaveRecipe().Push();
    EXPECT_EQ(h.Dialogs().Messages().size(), 1u);
    EXPECT_FALSE(form.btnSaveRecipe().NativeWidget()->isEnabled());
    EXPECT_EQ(Rows(form.lstRecipe()),
              (Strings{"Apple Pie", "Bagels", "Carrot Soup", "Damper", "Gingerbread"}));

    h.CloseMainWindow();
    auto after = h.OpenDatabase();
    EXPECT_EQ(QueryText(*after, "SELECT Directions AS v FROM Recipe WHERE Name = 'Gingerbread'"),
              "Roll thin.");
}

TEST(SaveFailures, AFailedSaveThenAGoodOneStoresOnlyTheGoodOne) {
    LarderonHarness h(Book());
    class MainForm& form = Shown(h);
    auto db = h.OpenDatabase();
    Exec(*db,
         "CREATE TRIGGER no_bad_recipe BEFORE UPDATE ON Recipe WHEN NEW.Name = 'Bad' "
         "BEGIN SELECT RAISE(ABORT, 'refused'); END;"
         "CREATE TRIGGER no_bad_category BEFORE INSERT ON Category WHEN NEW.Name = 'Bad' "
         "BEGIN SELECT RAISE(ABORT, 'refused'); END");

    form.lstRecipe().SelectRowAsUser(1);
    form.btnEditRecipe().Push();
    TypeInto(form.txtRecipeName(), "Bad");
    form.btnSaveRecipe().Push();
    EXPECT_EQ(h.Dialogs().Messages(), (Strings{"Database Error: 19\n\nrefused"}));
    EXPECT_TRUE(form.EditMode()) << "a failed update stays in recipe edit mode";
    EXPECT_EQ(form.txtRecipeName().Text(), "Bad");
    EXPECT_FALSE(driving::AppTransactionOpen(h.App()));
    TypeInto(form.txtRecipeName(), "Good Bagels");
    form.btnSaveRecipe().Push();
    EXPECT_FALSE(form.EditMode());

    ShowCategories(form);
    form.btnNewCategory().Push();
    TypeInto(form.txtCategoryName(), "Bad");
    form.btnSaveCategory().Push();
    EXPECT_EQ(h.Dialogs().Messages().size(), 2u);
    EXPECT_EQ(form.txtCategoryName().Text(), "Bad");
    EXPECT_TRUE(form.btnSaveCategory().NativeWidget()->isEnabled());
    EXPECT_TRUE(form.txtCategoryName().NativeWidget()->isEnabled());
    TypeInto(form.txtCategoryName(), "Good");
    form.btnSaveCategory().Push();
    EXPECT_EQ(h.Dialogs().Messages().size(), 2u);

    // Closing ends the connection: anything still uncommitted would be lost here.
    h.CloseMainWindow();
    auto after = h.OpenDatabase();
    EXPECT_EQ(QueryText(*after, "SELECT Name AS v FROM Recipe WHERE RecipeId = 11"), "Good Bagels");
    EXPECT_EQ(QueryText(*after, "SELECT count(*) AS v FROM Category WHERE Name = 'Good'"), "1");
    EXPECT_EQ(QueryText(*after,
                        "SELECT (SELECT count(*) FROM Recipe WHERE Name = 'Bad') + "
                        "(SELECT count(*) FROM Category WHERE Name = 'Bad') AS v"),
              "0");
}

TEST(SaveFailures, AFailureCaughtByTheGuardEndsTheTransaction) {
    LarderonHarness h(Book());
    class MainForm& form = Shown(h);
    auto db = h.OpenDatabase();

    // The row being edited vanishes underneath the window: the save finds nothing to edit.
    form.lstRecipe().SelectRowAsUser(1);
    form.btnEditRecipe().Push();
    TypeInto(form.txtRecipeName(), "Plain Bagels");
    Exec(*db, "DELETE FROM Recipe WHERE RecipeId = 11");
    form.btnSaveRecipe().Push();
    EXPECT_EQ(h.Dialogs().Log(), (Strings{"msgbox:Unable to save Recipe."}));
    EXPECT_TRUE(form.EditMode());
    EXPECT_EQ(form.txtRecipeName().Text(), "Plain Bagels");
    EXPECT_FALSE(driving::AppTransactionOpen(h.App()));
    // The save had read the table inside its transaction; left open, that read would block this.
    Exec(*db, "INSERT INTO Recipe (Name) VALUES ('Written from outside')");
    // Onto a recipe that still exists, so that browse mode has something to load.
    form.lstRecipe().SelectRowAsUser(0);
    form.btnCancelRecipe().Push();

    ShowCategories(form);
    form.lstCategory().SelectRowAsUser(RowOf(form.lstCategory(), "Soup"));
    form.btnEditCategory().Push();
    TypeInto(form.txtCategoryName(), "Soups");
    Exec(*db, "DELETE FROM Category WHERE CategoryId = 3");
    form.btnSaveCategory().Push();
    EXPECT_EQ(h.Dialogs().Messages(),
              (Strings{"Unable to save Recipe.", "Unable to save Category."}));
    EXPECT_TRUE(form.EditMode());
    EXPECT_TRUE(form.btnSaveCategory().NativeWidget()->isEnabled());
    EXPECT_FALSE(driving::AppTransactionOpen(h.App()));
    Exec(*db, "INSERT INTO Category (Name) VALUES ('Written from outside')");
    EXPECT_EQ(QueryText(*db, "SELECT count(*) AS v FROM Category WHERE Name = 'Soups'"), "0");
}

TEST(SaveFailures, ACommitRefusedWhileAnotherProgramReadsIsReportedAndRolledBack) {
    LarderonHarness h(Book());
    class MainForm& form = Shown(h);
    auto reader = h.OpenDatabase();
    // Another program in the middle of reading the file: the app may write but not commit.
    Exec(*reader, "BEGIN; SELECT count(*) FROM Recipe");

    form.btnNewRecipe().Push();
    TypeInto(form.txtRecipeName(), "Hot Cross Buns");
    form.btnSaveRecipe().Push();
    EXPECT_EQ(h.Dialogs().Messages(), (Strings{"Database Error: 5\n\ndatabase is locked"}));
    EXPECT_EQ(form.txtRecipeName().Text(), "Hot Cross Buns") << "kept, to save again";
    EXPECT_TRUE(form.btnSaveRecipe().NativeWidget()->isEnabled());
    EXPECT_EQ(Rows(form.lstRecipe()), (Strings{"Apple Pie", "Bagels", "Carrot Soup", "Damper"}));
    EXPECT_FALSE(driving::AppTransactionOpen(h.App()));

    form.btnCancelRecipe().Push();
    ShowCategories(form);
    form.lstCategory().SelectRowAsUser(RowOf(form.lstCategory(), "Soup"));
    form.btnEditCategory().Push();
    TypeInto(form.txtCategoryName(), "Soups");
    form.btnSaveCategory().Push();
    EXPECT_EQ(h.Dialogs().Messages().size(), 2u);
    EXPECT_TRUE(form.EditMode());
    EXPECT_EQ(Rows(form.lstCategory()), (Strings{"Bread", "General", "Soup", "Unused"}));
    EXPECT_FALSE(driving::AppTransactionOpen(h.App()));

    Exec(*reader, "COMMIT");
    form.btnSaveCategory().Push();
    form.tpnlMain().Value(0);
    form.btnNewRecipe().Push();
    TypeInto(form.txtRecipeName(), "Hot Cross Buns");
    form.btnSaveRecipe().Push();
    EXPECT_EQ(h.Dialogs().Messages().size(), 2u);
    h.CloseMainWindow();
    auto after = h.OpenDatabase();
    EXPECT_EQ(QueryText(*after, "SELECT count(*) AS v FROM Recipe WHERE Name = 'Hot Cross Buns'"),
              "1");
    EXPECT_EQ(QueryText(*after, "SELECT Name AS v FROM Category WHERE CategoryId = 3"), "Soups");
}
