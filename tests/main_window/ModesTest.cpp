// Which controls the window offers in browse mode, the two edit modes and new-record entry, how
// clicks, "X" and Cancel move between them, and what the search leaves alone.

#include <gtest/gtest.h>

#include <QTest>
#include <QWidget>
#include <map>
#include <string>
#include <vector>

#include "DrivingHelpers.h"
#include "Larderon.h"
#include "MainForm.h"
#include "support/LarderonHarness.h"

namespace {

void Exec(Database& db, const std::string& sql, const std::vector<SqlValue>& params = {}) {
    db.SQLExecute(sql, params);
    if (db.Error())
        throw std::runtime_error(sql + ": " + db.ErrorMessage());
}

// Categories 1 General, 2 Breads, 3 Soups; recipes sorted: Banana Bread, Leek Soup, Tomato Soup.
void SeedBook(Database& db) {
    Exec(db, "INSERT INTO Category (CategoryId, Name) VALUES (2, 'Breads'), (3, 'Soups')");
    Exec(db,
         "INSERT INTO Recipe (RecipeId, Name, CategoryId, Directions) VALUES "
         "(1, 'Tomato Soup', 3, 'Simmer the tomatoes.'), "
         "(2, 'Banana Bread', 2, 'Mash the bananas.\nBake.'), "
         "(3, 'Leek Soup', 1, 'Sweat the leeks.')");
}

using States = std::map<std::string, bool>;

// Enabled of every control a mode sets, plus whether the directions are read-only.
States Arrangement(class MainForm& f) {
    return {
        {"btnNewCategory", f.btnNewCategory().Enabled()},
        {"btnSaveCategory", f.btnSaveCategory().Enabled()},
        {"btnCancelCategory", f.btnCancelCategory().Enabled()},
        {"btnEditCategory", f.btnEditCategory().Enabled()},
        {"btnDeleteCategory", f.btnDeleteCategory().Enabled()},
        {"txtCategoryName", f.txtCategoryName().Enabled()},
        {"lstCategory", f.lstCategory().Enabled()},
        {"txtRecipeName", f.txtRecipeName().Enabled()},
        {"cboRecipeCategory", f.cboRecipeCategory().Enabled()},
        {"txtDirections.ReadOnly", f.txtDirections().ReadOnly()},
        {"btnEditRecipe", f.btnEditRecipe().Enabled()},
        {"btnDeleteRecipe", f.btnDeleteRecipe().Enabled()},
        {"btnPrintRecipe", f.btnPrintRecipe().Enabled()},
        {"btnNewRecipe", f.btnNewRecipe().Enabled()},
        {"btnSaveRecipe", f.btnSaveRecipe().Enabled()},
        {"btnCancelRecipe", f.btnCancelRecipe().Enabled()},
        // Never touched by a mode: the search stays usable throughout.
        {"lstRecipe", f.lstRecipe().Enabled()},
        {"txtSearch", f.txtSearch().Enabled()},
        {"cboSearchOption", f.cboSearchOption().Enabled()},
        {"cboCategory", f.cboCategory().Enabled()},
        {"btnResetSearch", f.btnResetSearch().Enabled()},
    };
}

States Browse(bool recipeSelected, bool categoryEditable) {
    return {
        {"btnNewCategory", true},
        {"btnSaveCategory", false},
        {"btnCancelCategory", false},
        {"btnEditCategory", categoryEditable},
        {"btnDeleteCategory", categoryEditable},
        {"txtCategoryName", false},
        {"lstCategory", true},
        {"txtRecipeName", false},
        {"cboRecipeCategory", false},
        {"txtDirections.ReadOnly", true},
        {"btnEditRecipe", recipeSelected},
        {"btnDeleteRecipe", recipeSelected},
        {"btnPrintRecipe", recipeSelected},
        {"btnNewRecipe", true},
        {"btnSaveRecipe", false},
        {"btnCancelRecipe", false},
        {"lstRecipe", true},
        {"txtSearch", true},
        {"cboSearchOption", true},
        {"cboCategory", true},
        {"btnResetSearch", true},
    };
}

States RecipeEdit(bool print) {
    States s = Browse(false, false);
    for (const char* off : {"btnNewCategory", "lstCategory", "btnNewRecipe"}) s[off] = false;
    for (const char* on :
         {"btnSaveRecipe", "btnCancelRecipe", "txtRecipeName", "cboRecipeCategory"})
        s[on] = true;
    s["txtDirections.ReadOnly"] = false;
    s["btnPrintRecipe"] = print;
    return s;
}

States CategoryEdit(bool print) {
    States s = Browse(false, false);
    for (const char* off : {"btnNewCategory", "lstCategory", "btnNewRecipe"}) s[off] = false;
    for (const char* on : {"btnSaveCategory", "btnCancelCategory", "txtCategoryName"}) s[on] = true;
    s["btnPrintRecipe"] = print;
    return s;
}

class ModesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        h_.Start();
        h_.Dialogs().ClearLog();
    }
    void TearDown() override { EXPECT_TRUE(h_.Dialogs().Log().empty()); }
    class MainForm& Form() {
        return h_.Form();
    }
    // A recipe row (-1: none), clicked with the Recipes page in front.
    void Select(int row) {
        Form().tpnlMain().Value(0);
        Form().lstRecipe().SelectRowAsUser(row);
    }
    void TypeInto(fw::Control& field, const char* text) {
        QTest::keyClicks(field.NativeWidget(), text);
    }
    // A category row, chosen with the Categories page in front.
    void SelectCategory(const std::string& name) {
        Form().tpnlMain().Value(1);
        fw::Listbox& list = Form().lstCategory();
        for (int i = 0; i < list.ListCount(); ++i) {
            if (list.Cell(i, 0) == name)
                list.SelectRowAsUser(i);
        }
    }
    std::string Stored(const std::string& sql) { return QueryText(*h_.OpenDatabase(), sql); }

    LarderonHarness h_{LarderonHarness::Options{true, SeedBook}};
};

TEST_F(ModesTest, WindowOpensInBrowseModeWithNothingSelected) {
    class MainForm& f = Form();
    EXPECT_EQ(Arrangement(f), Browse(false, false));
    EXPECT_FALSE(f.EditMode());
    EXPECT_EQ(f.txtCategoryName().Text(), "");
    EXPECT_EQ(f.txtRecipeName().Text(), "");
    EXPECT_EQ(f.txtDirections().Text(), "");
    EXPECT_EQ(f.cboCategory().Text(), "All");
    EXPECT_EQ(f.cboRecipeCategory().Text(), "General");
    EXPECT_EQ(f.lstRecipe().ListIndex(), -1);
    EXPECT_EQ(f.lstCategory().ListIndex(), -1);
}

TEST_F(ModesTest, OnlyCategoriesOtherThanTheDefaultCanBeEditedOrDeleted) {
    class MainForm& f = Form();
    SelectCategory("General");
    EXPECT_EQ(f.txtCategoryName().Text(), "General");
    EXPECT_EQ(Arrangement(f), Browse(false, false));
    SelectCategory("Soups");
    EXPECT_EQ(f.txtCategoryName().Text(), "Soups");
    EXPECT_EQ(Arrangement(f), Browse(false, true));
    f.lstCategory().SelectRowAsUser(-1);
    EXPECT_EQ(f.txtCategoryName().Text(), "");
    EXPECT_EQ(Arrangement(f), Browse(false, false));
}

TEST_F(ModesTest, SelectingARecipeLoadsItAndLosingTheSelectionEmptiesTheFields) {
    class MainForm& f = Form();
    Select(0);
    EXPECT_EQ(f.txtRecipeName().Text(), "Banana Bread");
    EXPECT_EQ(f.cboRecipeCategory().Text(), "Breads");
    EXPECT_EQ(f.txtDirections().Text(), "Mash the bananas.\nBake.");
    EXPECT_EQ(Arrangement(f), Browse(true, false));

    // A filter that keeps the row keeps the recipe; the filter itself stays.
    f.cboCategory().ChooseRowAsUser(1);  // Breads
    ASSERT_EQ(f.cboCategory().Text(), "Breads");
    EXPECT_EQ(f.txtRecipeName().Text(), "Banana Bread");

    Select(-1);
    EXPECT_EQ(f.txtRecipeName().Text(), "");
    EXPECT_EQ(f.txtDirections().Text(), "");
    EXPECT_EQ(f.cboRecipeCategory().Text(), "General");
    EXPECT_EQ(f.cboCategory().Text(), "All");
    EXPECT_EQ(f.lstRecipe().ListCount(), 3) << "the list follows the filter back to All";
    EXPECT_EQ(Arrangement(f), Browse(false, false));
}

TEST_F(ModesTest, RecipeEditUnlocksTheRecipeFieldsAndTakesTheFocus) {
    class MainForm& f = Form();
    f.NativeWidget()->show();
    Select(2);  // Tomato Soup
    f.btnEditRecipe().Push();
    EXPECT_TRUE(f.EditMode());
    EXPECT_EQ(Arrangement(f), RecipeEdit(true));
    EXPECT_TRUE(f.txtRecipeName().HasFocus());

    TypeInto(f.txtRecipeName(), " Deluxe");
    f.cboRecipeCategory().ChooseRowAsUser(0);  // Breads
    QTest::keyClick(f.txtDirections().NativeWidget(), Qt::Key_End, Qt::ControlModifier);
    TypeInto(f.txtDirections(), " Season.");
    EXPECT_EQ(f.txtRecipeName().Text(), "Tomato Soup Deluxe");
    EXPECT_EQ(f.cboRecipeCategory().Text(), "Breads");
    EXPECT_EQ(f.txtDirections().Text(), "Simmer the tomatoes. Season.");
}

TEST_F(ModesTest, CategoryEditAndNewUnlockTheNameAndTakeTheFocus) {
    class MainForm& f = Form();
    f.NativeWidget()->show();
    Select(0);
    SelectCategory("Soups");
    f.btnEditCategory().Push();
    EXPECT_TRUE(f.EditMode());
    EXPECT_EQ(Arrangement(f), CategoryEdit(true));
    EXPECT_TRUE(f.txtCategoryName().HasFocus());
    EXPECT_EQ(f.txtCategoryName().Text(), "Soups");
    f.btnCancelCategory().Push();
    EXPECT_EQ(Arrangement(f), Browse(true, true));

    Select(-1);
    f.tpnlMain().Value(1);
    f.btnNewCategory().Push();
    EXPECT_FALSE(f.EditMode());
    EXPECT_EQ(Arrangement(f), CategoryEdit(false));
    EXPECT_TRUE(f.txtCategoryName().HasFocus());
    EXPECT_EQ(f.txtCategoryName().Text(), "");
    TypeInto(f.txtCategoryName(), "Pickles");
    f.btnCancelCategory().Push();
    EXPECT_EQ(f.txtCategoryName().Text(), "Soups") << "the selected row's name is back";
    EXPECT_EQ(Arrangement(f), Browse(false, true));
    EXPECT_EQ(Stored("SELECT count(*) AS v FROM Category"), "3");
}

TEST_F(ModesTest, CategoryClickedAgainAfterASaveIsShownAgain) {
    class MainForm& f = Form();
    // The refill after a save selects no category; clicking the row that was selected before
    // is a change like any other.
    SelectCategory("Soups");
    f.btnEditCategory().Push();
    f.btnSaveCategory().Push();
    ASSERT_EQ(f.lstCategory().ListIndex(), -1);
    EXPECT_EQ(f.txtCategoryName().Text(), "");
    SelectCategory("Soups");
    EXPECT_EQ(f.txtCategoryName().Text(), "Soups");
    EXPECT_EQ(Arrangement(f), Browse(false, true));

    f.btnNewCategory().Push();
    TypeInto(f.txtCategoryName(), "Zucchini");
    f.btnSaveCategory().Push();
    SelectCategory("Soups");
    EXPECT_EQ(f.txtCategoryName().Text(), "Soups");
    EXPECT_EQ(Arrangement(f), Browse(false, true));
}

TEST_F(ModesTest, RecipeNewKeepsTheCategoryAndIsNotAnEdit) {
    class MainForm& f = Form();
    Select(2);  // Tomato Soup, in Soups
    f.btnNewRecipe().Push();
    EXPECT_FALSE(f.EditMode());
    EXPECT_EQ(f.txtRecipeName().Text(), "");
    EXPECT_EQ(f.txtDirections().Text(), "");
    EXPECT_EQ(f.cboRecipeCategory().Text(), "Soups");
    EXPECT_EQ(Arrangement(f), RecipeEdit(true));
    // The empty directions take a Return like any other key.
    QTest::keyClick(f.txtDirections().NativeWidget(), Qt::Key_Return);
    TypeInto(f.txtDirections(), "Chill.");
    EXPECT_EQ(f.txtDirections().Text(), "\nChill.");

    // A click on a recipe drops the entry and shows that recipe.
    TypeInto(f.txtRecipeName(), "Gazpacho");
    Select(0);
    EXPECT_EQ(Arrangement(f), Browse(true, false));
    EXPECT_EQ(f.txtRecipeName().Text(), "Banana Bread");
    EXPECT_EQ(f.txtDirections().Text(), "Mash the bananas.\nBake.");
    EXPECT_EQ(Stored("SELECT count(*) AS v FROM Recipe"), "3");
}

TEST_F(ModesTest, ClickingAnotherRecipeDuringAnEditKeepsWhatWasTyped) {
    class MainForm& f = Form();
    Select(1);  // Leek Soup
    f.btnEditRecipe().Push();
    TypeInto(f.txtRecipeName(), " with Potato");
    Select(0);
    EXPECT_TRUE(f.EditMode());
    EXPECT_EQ(Arrangement(f), RecipeEdit(true));
    EXPECT_EQ(f.txtRecipeName().Text(), "Leek Soup with Potato");
    EXPECT_EQ(f.txtDirections().Text(), "Sweat the leeks.");
    Select(-1);
    EXPECT_EQ(Arrangement(f), RecipeEdit(false)) << "Print follows the selection";
    EXPECT_EQ(f.txtRecipeName().Text(), "Leek Soup with Potato");
}

TEST_F(ModesTest, ResetSearchInBrowseModeEmptiesTheSearchAndShowsTheSelectedRecipe) {
    class MainForm& f = Form();
    QTest::keyClicks(f.txtSearch().NativeWidget(), "soup");
    ASSERT_EQ(f.lstRecipe().ListCount(), 2);
    Select(1);  // Tomato Soup
    f.btnResetSearch().Push();
    EXPECT_EQ(f.txtSearch().Text(), "");
    EXPECT_EQ(f.lstRecipe().ListCount(), 3);
    EXPECT_FALSE(f.EditMode());
    // Position 1 now holds Leek Soup; browse mode shows that recipe, as stored.
    EXPECT_EQ(f.lstRecipe().ListIndex(), 1);
    EXPECT_EQ(f.txtRecipeName().Text(), "Leek Soup");
    EXPECT_EQ(Arrangement(f), Browse(true, false));
}

// Everything an edit in progress consists of, on both pages.
struct EditInProgress {
    bool editMode = false;
    States arrangement;  // without Print, which follows the selection in every mode
    std::string name, category, directions, categoryName;
    QWidget* focus = nullptr;
};

EditInProgress Snapshot(class MainForm& f) {
    States arrangement = Arrangement(f);
    arrangement.erase("btnPrintRecipe");
    return {f.EditMode(),
            arrangement,
            f.txtRecipeName().Text(),
            f.cboRecipeCategory().Text(),
            f.txtDirections().Text(),
            f.txtCategoryName().Text(),
            f.NativeWidget()->focusWidget()};
}

// The selected row and its recipe, or "" with none selected.
std::string SelectedId(const fw::Listbox& list) {
    int row = list.ListIndex();
    return row < 0 ? "" : std::to_string(row) + ":" + list.CellTag(row, 0).Text();
}

void ExpectUnchanged(const EditInProgress& before, class MainForm& f) {
    EditInProgress now = Snapshot(f);
    EXPECT_EQ(now.editMode, before.editMode);
    EXPECT_EQ(now.arrangement, before.arrangement);
    EXPECT_EQ(now.name, before.name);
    EXPECT_EQ(now.category, before.category);
    EXPECT_EQ(now.directions, before.directions);
    EXPECT_EQ(now.categoryName, before.categoryName);
    EXPECT_EQ(now.focus, before.focus)
        << "focus on " << (now.focus ? now.focus->metaObject()->className() : "nothing");
    EXPECT_EQ(f.btnPrintRecipe().Enabled(), f.lstRecipe().ListIndex() != -1);
}

// Typing in the search, choosing a filter or a search option moves the selection under an edit
// in progress and leaves the edit as it stands; "X" drops it.
TEST_F(ModesTest, AnEditInProgressSurvivesTheSearchAndXDropsIt) {
    class MainForm& f = Form();
    f.NativeWidget()->show();
    QWidget* window = f.NativeWidget();
    enum Kind { kRecipeEdit, kRecipeNew, kCategoryEdit, kCategoryNew };
    const char* kindNames[] = {"recipe edit", "new recipe", "category edit", "new category"};
    enum Trigger { kTyping, kFilter, kOption, kReset };
    // Each refresh starts from a search and a selected row that it moves the selection off.
    struct Refresh {
        const char* what;
        Trigger trigger;
        const char* searchBefore;
        int row;
    };
    const Refresh refreshes[] = {
        {"typing in the search", kTyping, "", 2},       // Tomato Soup; "br" finds Banana Bread only
        {"choosing a filter", kFilter, "", 2},          // Breads holds Banana Bread only
        {"choosing a search option", kOption, "o", 1},  // Tomato Soup; no name begins with o
        {"X", kReset, "o", 0},  // Leek Soup; position 0 then holds Banana Bread
    };
    int serial = 0;
    for (Kind kind : {kRecipeEdit, kRecipeNew, kCategoryEdit, kCategoryNew}) {
        for (const Refresh& r : refreshes) {
            std::string typed = "Zest " + std::to_string(++serial);
            SCOPED_TRACE(std::string(r.what) + " during " + kindNames[kind]);
            // Browse mode, every recipe listed, then the search and the row to start from.
            f.tpnlMain().Value(0);
            f.btnResetSearch().Push();
            f.cboCategory().ChooseRowAsUser(0);
            f.cboSearchOption().ChooseRowAsUser(0);
            QTest::keyClicks(f.txtSearch().NativeWidget(), r.searchBefore);
            Select(r.row);
            std::string recipeId = f.lstRecipe().CellTag(r.row, 0).Text();
            std::string recipeName = f.lstRecipe().Cell(r.row, 0);
            std::string recipeCategory = f.cboRecipeCategory().Text();

            switch (kind) {
                case kRecipeEdit:
                case kRecipeNew:
                    (kind == kRecipeEdit ? f.btnEditRecipe() : f.btnNewRecipe()).Push();
                    driving::TypeAtFocus(window, kind == kRecipeEdit ? " " + typed : typed);
                    // The person goes on in the directions, where the focus then stays.
                    driving::ClickInto(f.txtDirections());
                    QTest::keyClick(window->focusWidget(), Qt::Key_End, Qt::ControlModifier);
                    driving::TypeAtFocus(window, " Grate.");
                    break;
                case kCategoryEdit:
                    SelectCategory(Stored("SELECT Name AS v FROM Category WHERE CategoryId = 3"));
                    f.btnEditCategory().Push();
                    QTest::keyClick(window->focusWidget(), Qt::Key_End, Qt::ControlModifier);
                    driving::TypeAtFocus(window, " " + typed);
                    f.tpnlMain().Value(0);
                    break;
                case kCategoryNew:
                    f.tpnlMain().Value(1);
                    f.btnNewCategory().Push();
                    driving::TypeAtFocus(window, typed);
                    f.tpnlMain().Value(0);
                    break;
            }
            if (r.trigger == kTyping)
                driving::ClickInto(f.txtSearch());
            EditInProgress before = Snapshot(f);
            std::string selectedBefore = SelectedId(f.lstRecipe());
            const std::string everyRow =
                "SELECT (SELECT group_concat(RecipeId || Name || "
                "CategoryId || Directions) FROM Recipe) || (SELECT "
                "group_concat(CategoryId || Name) FROM Category) AS v";
            const std::string stored = Stored(everyRow);

            switch (r.trigger) {
                case kTyping:
                    ASSERT_EQ(before.focus, f.txtSearch().NativeWidget());
                    driving::TypeAtFocus(window, "br");
                    EXPECT_EQ(f.txtSearch().Text(), "br") << "every key went to the search";
                    break;
                case kFilter:
                    f.cboCategory().ChooseRowAsUser(driving::RowOf(f.cboCategory(), "Breads"));
                    break;
                case kOption:
                    f.cboSearchOption().ChooseRowAsUser(2);  // Begins With
                    break;
                case kReset:
                    f.btnResetSearch().Push();
                    EXPECT_EQ(f.txtSearch().Text(), "");
                    break;
            }
            ASSERT_NE(SelectedId(f.lstRecipe()), selectedBefore)
                << "the refresh moved the selection";
            if (r.trigger == kReset) {
                // Browse mode on the recipe now selected, shown as stored; nothing is written.
                EXPECT_FALSE(f.EditMode());
                const int category = f.lstCategory().ListIndex();
                EXPECT_EQ(Arrangement(f),
                          Browse(true, category != -1 &&
                                           f.lstCategory().CellTag(category, 0).Integer() != 1));
                EXPECT_EQ(f.txtCategoryName().Text(),
                          category == -1 ? "" : f.lstCategory().Cell(category, 0));
                EXPECT_EQ(f.txtRecipeName().Text() + "/" + f.cboRecipeCategory().Text() + "/" +
                              f.txtDirections().Text(),
                          Stored("SELECT r.Name || '/' || c.Name || '/' || r.Directions AS v FROM "
                                 "Recipe r JOIN Category c USING (CategoryId) WHERE RecipeId = " +
                                 f.lstRecipe().CellTag(f.lstRecipe().ListIndex(), 0).Text()));
                EXPECT_EQ(Stored(everyRow), stored);
                continue;
            }
            ExpectUnchanged(before, f);
            if (r.trigger == kFilter) {
                EXPECT_EQ(f.cboCategory().Text(), "Breads") << "the chosen filter stays";
            }

            // Save stores what was typed, to the record the edit began on or as a new row.
            if (kind == kRecipeEdit || kind == kRecipeNew) {
                EXPECT_EQ(before.name, kind == kRecipeEdit ? recipeName + " " + typed : typed);
                EXPECT_EQ(before.category, recipeCategory);
                f.btnSaveRecipe().Push();
                std::string where =
                    kind == kRecipeEdit ? "RecipeId = " + recipeId : "r.Name = '" + typed + "'";
                EXPECT_EQ(Stored("SELECT count(*) AS v FROM Recipe r WHERE " + where), "1");
                EXPECT_EQ(Stored("SELECT r.Name || '/' || c.Name || '/' || r.Directions AS v "
                                 "FROM Recipe r JOIN Category c USING (CategoryId) WHERE " +
                                 where),
                          before.name + "/" + before.category + "/" + before.directions);
            } else {
                f.tpnlMain().Value(1);
                f.btnSaveCategory().Push();
                if (kind == kCategoryEdit) {
                    EXPECT_TRUE(before.categoryName.ends_with(" " + typed));
                    EXPECT_EQ(Stored("SELECT Name AS v FROM Category WHERE CategoryId = 3"),
                              before.categoryName);
                } else {
                    EXPECT_EQ(before.categoryName, typed);
                    EXPECT_EQ(
                        Stored("SELECT count(*) AS v FROM Category WHERE Name = '" + typed + "'"),
                        "1");
                }
            }
            EXPECT_FALSE(f.EditMode());
            EXPECT_FALSE(f.btnSaveRecipe().Enabled() || f.btnSaveCategory().Enabled())
                << "the save succeeded and ended the edit";
            if (HasFailure())
                return;
        }
    }
}

TEST_F(ModesTest, CancelPutsTheStoredRecipeBackAndWritesNothing) {
    class MainForm& f = Form();
    Select(0);
    f.btnEditRecipe().Push();
    TypeInto(f.txtRecipeName(), " Loaf");
    f.cboRecipeCategory().ChooseRowAsUser(2);  // Soups
    TypeInto(f.txtDirections(), "Forget it. ");
    f.btnCancelRecipe().Push();
    EXPECT_FALSE(f.EditMode());
    EXPECT_EQ(Arrangement(f), Browse(true, false));
    EXPECT_EQ(f.txtRecipeName().Text(), "Banana Bread");
    EXPECT_EQ(f.cboRecipeCategory().Text(), "Breads");
    EXPECT_EQ(f.txtDirections().Text(), "Mash the bananas.\nBake.");
    EXPECT_EQ(Stored("SELECT Name || '/' || CategoryId || '/' || Directions AS v FROM Recipe "
                     "WHERE RecipeId = 2"),
              "Banana Bread/2/Mash the bananas.\nBake.");
}

TEST_F(ModesTest, CancelWithNothingSelectedReturnsToAnEmptyBrowse) {
    class MainForm& f = Form();
    f.btnNewRecipe().Push();
    TypeInto(f.txtRecipeName(), "Half a thought");
    TypeInto(f.txtDirections(), "Maybe later");
    f.btnCancelRecipe().Push();
    EXPECT_FALSE(f.EditMode());
    EXPECT_EQ(Arrangement(f), Browse(false, false));
    EXPECT_EQ(f.txtRecipeName().Text(), "");
    EXPECT_EQ(f.txtDirections().Text(), "");
    EXPECT_EQ(f.cboRecipeCategory().Text(), "General");

    f.tpnlMain().Value(1);
    f.btnNewCategory().Push();
    TypeInto(f.txtCategoryName(), "Pickles");
    f.btnCancelCategory().Push();
    EXPECT_EQ(f.txtCategoryName().Text(), "");
    EXPECT_EQ(Arrangement(f), Browse(false, false));
    EXPECT_EQ(Stored("SELECT count(*) AS v FROM Recipe"), "3");
    EXPECT_EQ(Stored("SELECT count(*) AS v FROM Category"), "3");
}

}  // namespace
