// The recipe and category lists, the search, and how their failures are reported, driven through
// the window's controls against a real database copy.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QTest>
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "Larderon.h"
#include "MainForm.h"
#include "framework/Dialogs.h"
#include "framework/Graphics.h"
#include "framework/Printing.h"
#include "support/LarderonHarness.h"

namespace {

using Names = std::vector<std::string>;

void Exec(Database& db, const std::string& sql, const std::vector<SqlValue>& params = {}) {
    db.SQLExecute(sql, params);
    if (db.Error())
        throw std::runtime_error(sql + ": " + db.ErrorMessage());
}

// Ids 2.. are the categories below; 1 is the schema's own "General".
void SeedBook(Database& db) {
    const char* categories[] = {"Breads", "Soups", "Desserts", "Empty Shelf"};
    std::int64_t id = 2;
    for (const char* name : categories)
        Exec(db, "INSERT INTO Category (CategoryId, Name) VALUES (?, ?)", {id++, name});
    struct Row {
        const char* name;
        std::int64_t category;
    };
    const Row recipes[] = {
        {"Apple Pie", 4}, {"apple crumble", 4}, {"Banana Bread", 2}, {"Grandma's Pie", 4},
        {"100% Rye", 2},  {"Rye Crackers", 2},  {"Tomato Soup", 3},  {"Soup", 3},
        {"Pea  Soup", 3}, {"Leek Soup", 1},     {"Soupe", 3},
    };
    id = 1;
    for (const Row& r : recipes) {
        Exec(db, "INSERT INTO Recipe (RecipeId, Name, CategoryId, Directions) VALUES (?, ?, ?, ?)",
             {id++, r.name, r.category, std::string("Directions for ") + r.name + "\nServe."});
    }
}

const Names kAllSorted = {"100% Rye",      "apple crumble", "Apple Pie",  "Banana Bread",
                          "Grandma's Pie", "Leek Soup",     "Pea  Soup",  "Rye Crackers",
                          "Soup",          "Soupe",         "Tomato Soup"};

Names ListNames(const fw::Listbox& list) {
    Names names;
    for (int i = 0; i < list.ListCount(); ++i) names.push_back(list.Cell(i, 0));
    return names;
}

Names PopupRows(const fw::PopupMenu& popup) {
    Names rows;
    for (int i = 0; i < popup.ListCount(); ++i) rows.push_back(popup.List(i));
    return rows;
}

int RowOf(const fw::PopupMenu& popup, const std::string& text) {
    for (int i = 0; i < popup.ListCount(); ++i) {
        if (popup.List(i) == text)
            return i;
    }
    ADD_FAILURE() << "no row " << text;
    return -1;
}

int RowOf(const fw::Listbox& list, const std::string& text) {
    for (int i = 0; i < list.ListCount(); ++i) {
        if (list.Cell(i, 0) == text)
            return i;
    }
    ADD_FAILURE() << "no row " << text;
    return -1;
}

enum Option { kContains = 0, kIsExactly = 1, kBeginsWith = 2, kEndsWith = 3 };

class ListsTest : public ::testing::Test {
  protected:
    void Start(std::function<void(Database&)> seed = SeedBook) {
        h_ = std::make_unique<LarderonHarness>(LarderonHarness::Options{true, std::move(seed)});
        h_->Start();
        h_->Dialogs().ClearLog();
    }
    class MainForm& Form() {
        return h_->Form();
    }
    ScriptedDialogs& Dialogs() { return h_->Dialogs(); }

    void Type(const std::string& text) {
        QWidget* field = Form().txtSearch().NativeWidget();
        for (QChar c : QString::fromStdString(text)) {
            // QTest names keys for ASCII only; any other letter comes as a keyboard sends it, a
            // key event that carries the letter as its text.
            if (c.unicode() < 0x80)
                QTest::keyClick(field, c.toLatin1());
            else
                QTest::sendKeyEvent(QTest::Click, field, Qt::Key_unknown, QString(c),
                                    Qt::NoModifier);
        }
    }
    void ClearSearch() {
        QWidget* field = Form().txtSearch().NativeWidget();
        QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(field, Qt::Key_Backspace);
    }
    void Search(Option option, const std::string& text) {
        ClearSearch();
        Form().cboSearchOption().ChooseRowAsUser(option);
        Type(text);
    }
    void Filter(const std::string& category) {
        Form().cboCategory().ChooseRowAsUser(RowOf(Form().cboCategory(), category));
    }
    Names Shown() { return ListNames(Form().lstRecipe()); }

    std::unique_ptr<LarderonHarness> h_;
};

TEST_F(ListsTest, FilterAndSearchTextMakeTheFourQueries) {
    Start();
    class MainForm& form = Form();
    // Filter "All", no text: every recipe by name, each row tagged with its own id.
    ASSERT_EQ(Shown(), kAllSorted);
    auto db = h_->OpenDatabase();
    for (int i = 0; i < form.lstRecipe().ListCount(); ++i) {
        EXPECT_EQ(form.lstRecipe().CellTag(i, 0).Text(),
                  QueryText(*db, "SELECT RecipeId AS v FROM Recipe WHERE Name = '" +
                                     SqlQuote(form.lstRecipe().Cell(i, 0)) + "'"));
    }

    Filter("Soups");
    EXPECT_EQ(Shown(), (Names{"Pea  Soup", "Soup", "Soupe", "Tomato Soup"}));

    Type("soup");  // a category and a text: Leek Soup is in General, so it stays out
    EXPECT_EQ(Shown(), (Names{"Pea  Soup", "Soup", "Soupe", "Tomato Soup"}));
    Filter("Desserts");
    EXPECT_TRUE(Shown().empty());

    Filter("All");  // "All" and a text
    EXPECT_EQ(Shown(), (Names{"Leek Soup", "Pea  Soup", "Soup", "Soupe", "Tomato Soup"}));
    Search(kBeginsWith, "apple");
    EXPECT_EQ(Shown(), (Names{"apple crumble", "Apple Pie"}));
    EXPECT_TRUE(Dialogs().Log().empty());
}

TEST_F(ListsTest, EachOptionMatchesNamesTheWayLikeDoes) {
    Start();
    Search(kContains, "SOUP");
    EXPECT_EQ(Shown(), (Names{"Leek Soup", "Pea  Soup", "Soup", "Soupe", "Tomato Soup"}));
    Search(kIsExactly, "soup");  // no wildcard added, letter case ignored
    EXPECT_EQ(Shown(), (Names{"Soup"}));
    Search(kBeginsWith, "soup");
    EXPECT_EQ(Shown(), (Names{"Soup", "Soupe"}));
    Search(kEndsWith, "soup");
    EXPECT_EQ(Shown(), (Names{"Leek Soup", "Pea  Soup", "Soup", "Tomato Soup"}));
    Search(kContains, "zzz");
    EXPECT_TRUE(Shown().empty());

    // With no text every option is the same query.
    ClearSearch();
    for (int option : {kEndsWith, kIsExactly, kBeginsWith, kContains}) {
        Form().cboSearchOption().ChooseRowAsUser(option);
        EXPECT_EQ(Shown(), kAllSorted) << "option " << option;
    }
    EXPECT_TRUE(Dialogs().Log().empty());
}

TEST_F(ListsTest, EveryOptionIgnoresTheCaseOfEveryLetterButNotItsAccent) {
    Start([](Database& db) {
        std::int64_t id = 1;
        for (const char* name : {"Crème brûlée", "CRÈME FRAÎCHE TART", "Éclairs", "Eclair Cake",
                                 "Пирожки", "Σουβλάκι"}) {
            Exec(db, "INSERT INTO Recipe (RecipeId, Name) VALUES (?, ?)", {id++, name});
        }
    });
    // Typed into the search field; the list keeps the engine's order of names.
    Type("crè");
    EXPECT_EQ(Shown(), (Names{"CRÈME FRAÎCHE TART", "Crème brûlée"}));
    Search(kIsExactly, "CRÈME BRÛLÉE");
    EXPECT_EQ(Shown(), (Names{"Crème brûlée"}));
    Search(kEndsWith, "ÉE");
    EXPECT_EQ(Shown(), (Names{"Crème brûlée"}));
    Search(kBeginsWith, "é");  // an accent is part of the letter
    EXPECT_EQ(Shown(), (Names{"Éclairs"}));
    Search(kBeginsWith, "e");
    EXPECT_EQ(Shown(), (Names{"Eclair Cake"}));
    Search(kContains, "ПИРОЖ");
    EXPECT_EQ(Shown(), (Names{"Пирожки"}));
    Search(kContains, "ΣΟΥΒΛΆ");
    EXPECT_EQ(Shown(), (Names{"Σουβλάκι"}));
    Search(kIsExactly, "_CLAIRS");  // "_" is one letter, however many bytes it takes
    EXPECT_EQ(Shown(), (Names{"Éclairs"}));
    EXPECT_TRUE(Dialogs().Log().empty());
}

TEST_F(ListsTest, SearchTextIsUsedAsTypedQuotesAndWildcardsIncluded) {
    Start();
    Type(" ");  // blanks are searched for, not dropped
    EXPECT_EQ(Shown(),
              (Names{"100% Rye", "apple crumble", "Apple Pie", "Banana Bread", "Grandma's Pie",
                     "Leek Soup", "Pea  Soup", "Rye Crackers", "Tomato Soup"}));
    Type(" ");
    EXPECT_EQ(Shown(), (Names{"Pea  Soup"}));

    Search(kContains, "'");
    EXPECT_EQ(Shown(), (Names{"Grandma's Pie"}));
    Search(kBeginsWith, "grandma's p");
    EXPECT_EQ(Shown(), (Names{"Grandma's Pie"}));
    Search(kContains, "x' OR '1'='1");
    EXPECT_TRUE(Shown().empty());
    Search(kIsExactly, "Soup'; DROP TABLE Recipe; --");
    EXPECT_TRUE(Shown().empty());
    ClearSearch();
    EXPECT_EQ(Shown(), kAllSorted) << "the table survived";

    // "%" and "_" keep their meaning for LIKE.
    Search(kContains, "%");
    EXPECT_EQ(Shown(), kAllSorted);
    Search(kIsExactly, "a%e");
    EXPECT_EQ(Shown(), (Names{"apple crumble", "Apple Pie"}));
    Search(kIsExactly, "sou_");
    EXPECT_EQ(Shown(), (Names{"Soup"}));
    EXPECT_TRUE(Dialogs().Log().empty());
}

TEST_F(ListsTest, SelectionStaysAtItsPositionAcrossRefills) {
    Start();
    class MainForm& form = Form();
    form.lstRecipe().SelectRowAsUser(3);
    ASSERT_EQ(form.txtRecipeName().Text(), "Banana Bread");

    // The same rows again: the same recipe stays selected and loaded.
    form.cboSearchOption().ChooseRowAsUser(kEndsWith);
    EXPECT_EQ(form.lstRecipe().ListIndex(), 3);
    EXPECT_EQ(form.txtRecipeName().Text(), "Banana Bread");

    // A new recipe sorting first pushes every row down: position 3 now holds what was at 2.
    form.btnNewRecipe().Push();
    QTest::keyClicks(form.txtRecipeName().NativeWidget(), "Aardvark Stew");
    form.btnSaveRecipe().Push();
    EXPECT_EQ(form.lstRecipe().ListIndex(), 3);
    EXPECT_EQ(form.lstRecipe().Cell(3, 0), "Apple Pie");
    EXPECT_EQ(form.txtRecipeName().Text(), "Apple Pie");
    EXPECT_EQ(form.txtDirections().Text(), "Directions for Apple Pie\nServe.");
    EXPECT_EQ(form.cboRecipeCategory().Text(), "Desserts");

    // A narrower list without that position leaves nothing selected and the fields empty.
    Type("rye");  // still "Ends With"
    EXPECT_EQ(Shown(), (Names{"100% Rye"}));
    EXPECT_EQ(form.lstRecipe().ListIndex(), -1);
    EXPECT_EQ(form.txtRecipeName().Text(), "");
    EXPECT_EQ(form.txtDirections().Text(), "");
    EXPECT_TRUE(Dialogs().Log().empty());
}

TEST_F(ListsTest, AFilterThePersonChoseStaysChosen) {
    Start();
    class MainForm& form = Form();
    auto expectNothingShown = [&](const std::string& filter) {
        EXPECT_EQ(form.cboCategory().Text(), filter);
        EXPECT_EQ(form.lstRecipe().ListIndex(), -1);
        EXPECT_EQ(form.txtRecipeName().Text(), "");
        EXPECT_EQ(form.txtDirections().Text(), "");
        EXPECT_EQ(form.cboRecipeCategory().Text(), "General");
        EXPECT_FALSE(form.btnEditRecipe().Enabled());
        EXPECT_FALSE(form.btnDeleteRecipe().Enabled());
        EXPECT_FALSE(form.btnPrintRecipe().Enabled());
    };
    // The fifth recipe under "All", then a category with fewer recipes than that.
    form.lstRecipe().SelectRowAsUser(4);
    ASSERT_EQ(form.txtRecipeName().Text(), "Grandma's Pie");
    Filter("Breads");
    EXPECT_EQ(Shown(), (Names{"100% Rye", "Banana Bread", "Rye Crackers"}));
    expectNothingShown("Breads");

    // A search that narrows the list below the kept position.
    form.lstRecipe().SelectRowAsUser(2);
    ASSERT_EQ(form.txtRecipeName().Text(), "Rye Crackers");
    Type("rye");
    EXPECT_EQ(Shown(), (Names{"100% Rye", "Rye Crackers"}));
    expectNothingShown("Breads");
    // A search option that does.
    form.lstRecipe().SelectRowAsUser(1);
    ASSERT_EQ(form.txtRecipeName().Text(), "Rye Crackers");
    form.cboSearchOption().ChooseRowAsUser(kEndsWith);
    EXPECT_EQ(Shown(), (Names{"100% Rye"}));
    expectNothingShown("Breads");
    // A filter with nothing in it at all.
    Filter("Empty Shelf");
    EXPECT_TRUE(Shown().empty());
    expectNothingShown("Empty Shelf");

    // "X", a click in the category list, a cancel, a save and a delete that leave nothing
    // selected put the filter back on "All".
    form.btnResetSearch().Push();
    expectNothingShown("All");
    EXPECT_EQ(Shown(), kAllSorted);
    Filter("Breads");
    form.tpnlMain().Value(1);
    form.lstCategory().SelectRowAsUser(RowOf(form.lstCategory(), "Soups"));
    form.tpnlMain().Value(0);
    expectNothingShown("All");
    Filter("Empty Shelf");
    form.btnNewRecipe().Push();
    form.btnCancelRecipe().Push();
    expectNothingShown("All");
    EXPECT_EQ(Shown(), kAllSorted);
    Filter("Empty Shelf");
    form.btnNewRecipe().Push();
    QTest::keyClicks(form.txtRecipeName().NativeWidget(), "Zucchini Bread");
    form.btnSaveRecipe().Push();
    expectNothingShown("All");
    EXPECT_EQ(Shown().size(), kAllSorted.size() + 1);
    Filter("Breads");
    form.lstRecipe().SelectRowAsUser(2);
    Dialogs().ExpectConfirm("Delete");
    form.btnDeleteRecipe().Push();
    expectNothingShown("All");
    EXPECT_EQ(Shown().size(), kAllSorted.size());
    EXPECT_EQ(Dialogs().Log(),
              (Names{"confirm:Are you sure you want to delete the selected recipe?"}));
}

TEST_F(ListsTest, CategoryListsHoldEveryCategoryByName) {
    Start();
    class MainForm& form = Form();
    const Names byName = {"Breads", "Desserts", "Empty Shelf", "General", "Soups"};
    EXPECT_EQ(ListNames(form.lstCategory()), byName);
    EXPECT_EQ(PopupRows(form.cboRecipeCategory()), byName);
    Names filter = {"All"};
    filter.insert(filter.end(), byName.begin(), byName.end());
    EXPECT_EQ(PopupRows(form.cboCategory()), filter);
    EXPECT_EQ(form.cboCategory().ListIndex(), 0);
    EXPECT_TRUE(form.cboCategory().RowTag(0).IsNone());
    EXPECT_EQ(form.cboCategory().RowTag(4).Text(), "1");
    EXPECT_EQ(form.cboRecipeCategory().RowTag(3).Text(), "1");
    EXPECT_EQ(form.lstCategory().CellTag(0, 0).Text(), "2");
    EXPECT_EQ(form.cboRecipeCategory().Text(), "General");

    Filter("Empty Shelf");
    EXPECT_TRUE(Shown().empty());
    EXPECT_TRUE(Dialogs().Log().empty());
}

TEST_F(ListsTest, WithoutCategoriesTheFilterHoldsOnlyAll) {
    Start([](Database& db) {
        SeedBook(db);
        Exec(db, "DELETE FROM Category");
    });
    class MainForm& form = Form();
    EXPECT_EQ(PopupRows(form.cboCategory()), (Names{"All"}));
    EXPECT_EQ(form.cboCategory().ListIndex(), 0);
    EXPECT_EQ(form.lstCategory().ListCount(), 0);
    EXPECT_EQ(form.cboRecipeCategory().ListCount(), 0);
    EXPECT_EQ(Shown(), kAllSorted);
    // A recipe still loads; its category has no row to show.
    form.lstRecipe().SelectRowAsUser(0);
    EXPECT_EQ(form.txtRecipeName().Text(), "100% Rye");
    EXPECT_EQ(form.cboRecipeCategory().ListIndex(), -1);
    EXPECT_TRUE(Dialogs().Log().empty());
}

TEST_F(ListsTest, WithoutTheDefaultCategoryThePopupKeepsItsSelection) {
    Start([](Database& db) {
        SeedBook(db);
        Exec(db, "DELETE FROM Category WHERE CategoryId = 1");
    });
    class MainForm& form = Form();
    fw::PopupMenu& popup = form.cboRecipeCategory();
    EXPECT_EQ(popup.ListIndex(), -1) << "nothing is preselected";

    form.lstRecipe().SelectRowAsUser(RowOf(form.lstRecipe(), "Banana Bread"));
    EXPECT_EQ(popup.Text(), "Breads");
    // Leek Soup's category (1) has no row: name and directions load, the pop-up stays put.
    form.lstRecipe().SelectRowAsUser(RowOf(form.lstRecipe(), "Leek Soup"));
    EXPECT_EQ(form.txtRecipeName().Text(), "Leek Soup");
    EXPECT_EQ(form.txtDirections().Text(), "Directions for Leek Soup\nServe.");
    EXPECT_EQ(popup.Text(), "Breads");
    // Nothing selected: there is no default row to go back to.
    form.lstRecipe().SelectRowAsUser(-1);
    EXPECT_EQ(form.txtRecipeName().Text(), "");
    EXPECT_EQ(popup.Text(), "Breads");
    EXPECT_TRUE(Dialogs().Log().empty());
}

TEST_F(ListsTest, FailedRecipeQueryIsReportedOnceWithTheEnginesCodeAndMessage) {
    Start();
    class MainForm& form = Form();
    form.lstRecipe().SelectRowAsUser(2);
    ASSERT_EQ(form.txtRecipeName().Text(), "Apple Pie");
    // Another program renames the table away underneath the running window.
    Exec(*h_->OpenDatabase(), "ALTER TABLE Recipe RENAME TO RecipeArchive");

    // Loading another recipe fails: one report, and the fields keep the last recipe.
    form.lstRecipe().SelectRowAsUser(3);
    EXPECT_EQ(Dialogs().Messages(), (Names{"Database Error: 1\n\nno such table: Recipe"}));
    EXPECT_EQ(form.txtRecipeName().Text(), "Apple Pie");

    // Refilling the list fails: one report, and the list stays empty.
    Dialogs().ClearLog();
    Type("p");
    EXPECT_EQ(Dialogs().Log(), (Names{"msgbox:Database Error: 1\n\nno such table: Recipe"}));
    EXPECT_EQ(form.lstRecipe().ListCount(), 0);
}

// Lets a test look at the database while a message box is up, then hands the box on.
class WatchedDialogs : public fw::Dialogs {
  public:
    WatchedDialogs(ScriptedDialogs& inner, std::function<void()> whileShown)
        : inner_(inner), whileShown_(std::move(whileShown)) {
        fw::InstallDialogs(this);
    }
    ~WatchedDialogs() override { fw::InstallDialogs(&inner_); }
    void Beep() override { inner_.Beep(); }
    void MsgBox(const std::string& text) override {
        whileShown_();
        inner_.MsgBox(text);
    }
    std::string ShowMessageDialog(const fw::MessageDialogRequest& r) override {
        return inner_.ShowMessageDialog(r);
    }
    std::optional<std::filesystem::path> GetSaveFile(const fw::FileType& f,
                                                     const std::string& name) override {
        return inner_.GetSaveFile(f, name);
    }
    std::optional<std::filesystem::path> GetOpenFile(const fw::FileType& f) override {
        return inner_.GetOpenFile(f);
    }
    bool PageSetupDialog(fw::PrinterSetup& s) override { return inner_.PageSetupDialog(s); }
    std::unique_ptr<fw::Graphics> OpenPrinterDialog(const fw::PrinterSetup* s) override {
        return inner_.OpenPrinterDialog(s);
    }
    void ShowModalWindow(fw::Window& w) override { inner_.ShowModalWindow(w); }

  private:
    ScriptedDialogs& inner_;
    std::function<void()> whileShown_;
};

// Whether some connection still holds the file's write lock, asked without waiting for it.
bool WriteLockTaken(const std::filesystem::path& file) {
    sqlite3* raw = nullptr;
    sqlite3_open_v2(file.c_str(), &raw, SQLITE_OPEN_READWRITE, nullptr);
    int rc = sqlite3_exec(raw, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK)
        sqlite3_exec(raw, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(raw);
    return rc == SQLITE_BUSY;
}

TEST_F(ListsTest, FailedWriteIsRolledBackOnlyAfterTheReportIsDismissed) {
    Start();
    class MainForm& form = Form();
    Exec(*h_->OpenDatabase(),
         "CREATE TRIGGER RefuseBoom BEFORE INSERT ON Recipe WHEN NEW.Name = 'Boom' "
         "BEGIN SELECT RAISE(ABORT, 'boom refused'); END");
    std::vector<bool> lockedWhileShown;
    {
        WatchedDialogs watched(
            Dialogs(), [&] { lockedWhileShown.push_back(WriteLockTaken(h_->DatabasePath())); });
        form.btnNewRecipe().Push();
        QTest::keyClicks(form.txtRecipeName().NativeWidget(), "Boom");
        form.btnSaveRecipe().Push();
    }
    EXPECT_EQ(Dialogs().Messages(), (Names{"Database Error: 19\n\nboom refused"}));
    EXPECT_EQ(lockedWhileShown, std::vector<bool>{true}) << "the transaction was still open";
    EXPECT_FALSE(WriteLockTaken(h_->DatabasePath())) << "and is rolled back afterwards";
    auto db = h_->OpenDatabase();
    EXPECT_EQ(QueryText(*db, "SELECT count(*) AS v FROM Recipe"), "11");
    EXPECT_TRUE(form.btnSaveRecipe().Enabled()) << "a failed save stays in its entry";
}

TEST_F(ListsTest, DeleteAsksFirstAndCancelDeletesNothing) {
    Start();
    class MainForm& form = Form();
    form.lstRecipe().SelectRowAsUser(1);
    Dialogs().ExpectConfirm("Cancel");
    form.btnDeleteRecipe().Push();
    const fw::MessageDialogRequest& asked = Dialogs().LastConfirmation();
    EXPECT_EQ(asked.message, "Are you sure you want to delete the selected recipe?");
    EXPECT_EQ(asked.explanation, "This action cannot be undone.");
    EXPECT_EQ(asked.actionCaption, "Delete");
    EXPECT_EQ(asked.cancelCaption, "Cancel");
    EXPECT_TRUE(asked.cancelVisible);
    EXPECT_FALSE(asked.alternateVisible);
    EXPECT_EQ(asked.title, "");
    EXPECT_EQ(Shown(), kAllSorted);
    EXPECT_EQ(form.lstRecipe().ListIndex(), 1);
    EXPECT_EQ(form.txtRecipeName().Text(), "apple crumble");

    form.tpnlMain().Value(1);
    form.lstCategory().SelectRowAsUser(RowOf(form.lstCategory(), "Soups"));
    Dialogs().ExpectConfirm("Cancel");
    form.btnDeleteCategory().Push();
    EXPECT_EQ(Dialogs().LastConfirmation().message,
              "Are you sure you want to delete the selected category?");
    EXPECT_EQ(Dialogs().LastConfirmation().actionCaption, "Delete");
    EXPECT_EQ(ListNames(form.lstCategory()),
              (Names{"Breads", "Desserts", "Empty Shelf", "General", "Soups"}));

    auto db = h_->OpenDatabase();
    EXPECT_EQ(QueryText(*db, "SELECT count(*) AS v FROM Recipe"), "11");
    EXPECT_EQ(QueryText(*db, "SELECT count(*) AS v FROM Recipe WHERE CategoryId = 3"), "4");
    EXPECT_EQ(QueryText(*db, "SELECT count(*) AS v FROM Category"), "5");
    EXPECT_EQ(Dialogs().Log(),
              (Names{"confirm:Are you sure you want to delete the selected recipe?",
                     "confirm:Are you sure you want to delete the selected category?"}));

    // Answered "Delete", the recipe goes.
    Dialogs().ExpectConfirm("Delete");
    form.tpnlMain().Value(0);
    form.btnDeleteRecipe().Push();
    EXPECT_EQ(QueryText(*db, "SELECT count(*) AS v FROM Recipe WHERE Name = 'apple crumble'"), "0");
    EXPECT_EQ(Shown().size(), kAllSorted.size() - 1);
}

}  // namespace
