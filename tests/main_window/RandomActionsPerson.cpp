// The person's side of the randomized test: what they can do in the main window right now, how
// often they try each thing, and how the model follows what they did.

#include <QTest>
#include <QWidget>
#include <algorithm>
#include <iterator>
#include <type_traits>

#include "DrivingHelpers.h"
#include "RandomActions.h"

namespace random_actions {

// The person's own choice of another recipe reaches the window's modes as the recipe list's
// Change event.
void RandomActions::FollowSelectionChange(const Selection& before) {
    if (RecipeSelection() == before)
        return;
    switch (mode_) {
        case Mode::kCategoryEdit:
            mode_ = Mode::kRecipeEdit;
            fields_ = browseFields_;
            break;
        case Mode::kRecipeNew:
        case Mode::kCategoryNew:
            mode_ = Mode::kBrowse;
            break;
        default:
            break;
    }
}

void RandomActions::TypeKeys(fw::Control& field, const std::string& text) {
    QTest::keyClicks(field.NativeWidget(), QString::fromStdString(text));
}

void RandomActions::Backspace(fw::Control& field) {
    QTest::keyClick(field.NativeWidget(), Qt::Key_Backspace);
}

// The person clicks into the search field, goes to its end and presses keys there: each
// key goes to wherever the focus is by then.
void RandomActions::TypeInSearch(const std::function<void(QWidget* window)>& keys) {
    QWidget* window = F().NativeWidget();
    driving::ClickInto(F().txtSearch());
    QTest::keyClick(window->focusWidget(), Qt::Key_End);
    ChangeSearch(SearchChange::kTyping, [&] { keys(window); });
}

// A change of the search text, the option or the filter refills the recipe list, and whatever
// the list selects then, it is not the person's choice of a recipe: an edit or entry in
// progress keeps its mode, every field (the model does not change; CheckState compares) and
// the focus, and the filter stays what the person chose. In browse mode the fields follow the
// selection. "X" ends any edit or entry in browse mode (BrowseAgain).
void RandomActions::ChangeSearch(SearchChange change, const std::function<void()>& act,
                                 std::optional<int> chosenFilter) {
    bool editing = mode_ != Mode::kBrowse;
    QWidget* focus = F().NativeWidget()->focusWidget();
    int filter = chosenFilter.value_or(F().cboCategory().ListIndex());
    Selection before = RecipeSelection();
    act();
    ++searchChanges_[{mode_, change}];
    if (!(RecipeSelection() == before))
        ++selectionMoved_[{mode_, change}];
    if (change == SearchChange::kReset) {
        BrowseAgain(filter);
        return;
    }
    // In browse mode the focus may leave a button that the refill disabled (Edit, Delete,
    // Print); an edit sets Print alone, and nothing of an edit takes the focus there.
    if (editing) {
        EXPECT_EQ(F().NativeWidget()->focusWidget(), focus) << "the refill moved the focus";
    }
    EXPECT_EQ(F().cboCategory().ListIndex(), filter) << "the refill changed the filter";
}

// Browse mode as the window applies it for "X" and a click in the category list: an edit or
// entry in progress is dropped, and with no recipe selected the filter goes back to "All".
void RandomActions::BrowseAgain(int filterBefore) {
    mode_ = Mode::kBrowse;
    const int filter = RecipeSelection().index < 0 ? 0 : filterBefore;
    EXPECT_EQ(F().cboCategory().ListIndex(), filter) << "browse mode and the filter";
}

std::string RandomActions::RandomText(const char* alphabet, int maxLength) {
    std::string text;
    std::string chars(alphabet);
    for (int n = Pick(maxLength) + 1; n > 0; --n)
        text += chars[Pick(static_cast<int>(chars.size()))];
    return text;
}

// The actions a person could take right now, each with how often it is tried.
std::vector<RandomActions::Action> RandomActions::Available() {
    class MainForm& f = F();
    std::vector<Action> actions;
    auto add = [&](int weight, std::function<void()> run) {
        actions.push_back({weight, std::move(run)});
    };
    // The person's habits: a list showing nothing is soon searched or filtered otherwise, and
    // a list with nothing chosen soon has a recipe chosen. Besides, the person is drawn to
    // what this seed has not tried yet, so that every kind of edit meets every search
    // control, at least once with a recipe selected that the refill moves: while an edit
    // is under way they turn to the search (on the Recipes page), and with a recipe shown
    // they turn to the categories.
    bool editing = mode_ != Mode::kBrowse;
    bool categoryEdit = mode_ == Mode::kCategoryEdit || mode_ == Mode::kCategoryNew;
    bool nothingFound = f.lstRecipe().ListCount() == 0;
    bool shown = f.lstRecipe().ListIndex() >= 0;
    bool noneChosen = !shown && !nothingFound;
    auto searching = [&](SearchChange change) {
        if (!editing)
            return 1;
        return Untried(mode_, change) || (shown && Unmoved(mode_)) ? 6 : 2;
    };
    int pageWeight = 2;
    if (categoryEdit && OnPage(1) && Wanted(mode_)) {
        pageWeight = 12;
    } else if (!editing && OnPage(0) && shown &&
               (Wanted(Mode::kCategoryEdit) || Wanted(Mode::kCategoryNew))) {
        pageWeight = 6;
    } else if (!editing && noneChosen) {
        pageWeight = 1;
    }
    // An edit begun with no recipe selected cannot have its selection moved.
    auto beginEdit = [&](Mode kind, int usual) {
        if (!Wanted(kind))
            return usual;
        return shown ? 3 * usual : Unmoved(kind) ? 1 : usual;
    };
    add(pageWeight, [this] {
        int page = 1 - F().tpnlMain().Value();
        Note("tab page " + std::to_string(page));
        F().tpnlMain().Value(page);
    });
    if (OnPage(0)) {
        // Recipes listed and none selected: the person soon picks one; someone editing a
        // category came to this page to search, not to pick a recipe.
        add(categoryEdit ? 1
            : noneChosen ? 24
                         : 12,
            [this] {
                int count = F().lstRecipe().ListCount();
                int row = Pick(count + 1) - 1;
                if (count > 0 && row < 0 && Pick(3) > 0)
                    row = Pick(count);
                // People go back to the row they were on.
                if (lastRecipeRow_ < count && Pick(4) == 0)
                    row = lastRecipeRow_;
                lastRecipeRow_ = row;
                Note("click recipe row " + std::to_string(row));
                Selection before = RecipeSelection();
                F().lstRecipe().SelectRowAsUser(row);
                FollowSelectionChange(before);
            });
        // Searches are short.
        add((f.txtSearch().Text().size() < 3 ? 10 : 3) * searching(SearchChange::kTyping), [this] {
            std::string c = RandomText("aeiouaeiorstnlp '%_SA", 2);
            Note("type search [" + c + "]");
            TypeInSearch([&](QWidget* window) { driving::TypeAtFocus(window, c); });
            EXPECT_TRUE(F().txtSearch().Text().ends_with(c)) << "every key went to the search";
        });
        if (!model_.recipes.empty()) {
            add(5 * searching(SearchChange::kTyping), [this] {
                // A piece of a name the book holds, typed over the search.
                auto it = model_.recipes.begin();
                std::advance(it, Pick(static_cast<int>(model_.recipes.size())));
                const std::string& name = it->second.name;
                std::string piece =
                    name.empty() ? "" : name.substr(Pick(static_cast<int>(name.size())), 3);
                Note("search for [" + piece + "]");
                TypeInSearch([&](QWidget* window) {
                    QTest::keyClick(window->focusWidget(), Qt::Key_A, Qt::ControlModifier);
                    QTest::keyClick(window->focusWidget(), Qt::Key_Backspace);
                    driving::TypeAtFocus(window, piece);
                });
                EXPECT_EQ(F().txtSearch().Text(), piece) << "every key went to the search";
            });
        }
        if (!F().txtSearch().Text().empty()) {
            add(nothingFound ? 10 : 5, [this] {
                Note("backspace search");
                TypeInSearch([](QWidget* window) {
                    QTest::keyClick(window->focusWidget(), Qt::Key_Backspace);
                });
            });
            add(nothingFound ? 10 : 2, [this] {
                Note("clear search");
                TypeInSearch([](QWidget* window) {
                    QTest::keyClick(window->focusWidget(), Qt::Key_A, Qt::ControlModifier);
                    QTest::keyClick(window->focusWidget(), Qt::Key_Backspace);
                });
                EXPECT_EQ(F().txtSearch().Text(), "");
            });
        }
        add((nothingFound ? 10 : 4) * searching(SearchChange::kFilter), [this] {
            // Back to "All" as often as to any one category.
            int row = Pick(3) == 0 ? 0 : Pick(F().cboCategory().ListCount());
            Note("filter row " + std::to_string(row) + " " + F().cboCategory().List(row));
            ChangeSearch(
                SearchChange::kFilter, [&] { F().cboCategory().ChooseRowAsUser(row); }, row);
        });
        add(3 * searching(SearchChange::kOption), [this] {
            // "Contains" is the option people come back to.
            int row = Pick(2) == 0 ? 0 : Pick(4);
            Note("search option " + std::to_string(row));
            ChangeSearch(SearchChange::kOption,
                         [&] { F().cboSearchOption().ChooseRowAsUser(row); });
        });
        add(2 * searching(SearchChange::kReset), [this] {
            Note("X");
            ChangeSearch(SearchChange::kReset, [this] { F().btnResetSearch().Push(); });
            EXPECT_EQ(F().txtSearch().Text(), "");
        });
    }
    if (Usable(f.btnNewRecipe())) {
        add(beginEdit(Mode::kRecipeNew, 3), [this] {
            Note("recipe New");
            F().btnNewRecipe().Push();
            mode_ = Mode::kRecipeNew;
            fields_ = {"", browseFields_.category, ""};
        });
    }
    if (Usable(f.btnEditRecipe())) {
        add(beginEdit(Mode::kRecipeEdit, 4), [this] {
            Note("recipe Edit");
            F().btnEditRecipe().Push();
            mode_ = Mode::kRecipeEdit;
            fields_ = browseFields_;
        });
    }
    if (Usable(f.btnCancelRecipe())) {
        add(2, [this] {
            Note("recipe Cancel");
            Selection before = RecipeSelection();
            F().btnCancelRecipe().Push();
            FollowSelectionChange(before);
            mode_ = Mode::kBrowse;
        });
    }
    if (Usable(f.btnSaveRecipe()))
        add(4, [this] { SaveRecipe(); });
    if (Usable(f.btnDeleteRecipe())) {
        add(2, [this] {
            bool yes = Pick(2) == 0;
            Note(std::string("recipe Delete, answered ") + (yes ? "Delete" : "Cancel"));
            if (!SelectedRecipe()) {
                ADD_FAILURE() << "Delete is usable with no recipe selected";
                return;
            }
            std::int64_t id = *SelectedRecipe();
            h_->Dialogs().ExpectConfirm(yes ? "Delete" : "Cancel");
            expectedLog_.push_back("confirm:Are you sure you want to delete the selected recipe?");
            F().btnDeleteRecipe().Push();
            if (yes)
                model_.recipes.erase(id);
            mode_ = Mode::kBrowse;
        });
    }
    if (Usable(f.txtRecipeName())) {
        add(6, [this] {
            if (Pick(4) == 0 && !fields_.name.empty()) {
                Note("backspace recipe name");
                Backspace(F().txtRecipeName());
                fields_.name.pop_back();
            } else {
                std::string text = RandomText("abcdefghij KLM'%_", 4);
                Note("type recipe name [" + text + "]");
                TypeKeys(F().txtRecipeName(), text);
                fields_.name += text;
            }
        });
    }
    if (Usable(f.txtDirections()) && !f.txtDirections().ReadOnly()) {
        add(3, [this] {
            QWidget* w = F().txtDirections().NativeWidget();
            QTest::keyClick(w, Qt::Key_End, Qt::ControlModifier);
            if (Pick(3) == 0) {
                Note("new line in directions");
                QTest::keyClick(w, Qt::Key_Return);
                fields_.directions += "\n";
            } else {
                std::string text = RandomText("stir well, then bake '%", 8);
                Note("type directions [" + text + "]");
                TypeKeys(F().txtDirections(), text);
                fields_.directions += text;
            }
        });
    }
    if (Usable(f.cboRecipeCategory())) {
        add(2, [this] {
            fw::PopupMenu& popup = F().cboRecipeCategory();
            int row = Pick(popup.ListCount());
            Note("recipe category row " + std::to_string(row) + " " + popup.List(row));
            popup.ChooseRowAsUser(row);
            fields_.category = popup.RowTag(row).Integer();
        });
    }

    if (OnPage(1) && Usable(f.lstCategory())) {
        // Looking for a category to edit.
        add(shown && Wanted(Mode::kCategoryEdit) && !f.btnEditCategory().Enabled() ? 12 : 6,
            [this] {
                int count = F().lstCategory().ListCount();
                int row = Pick(count + 1) - 1;
                if (lastCategoryRow_ < count && Pick(3) == 0)
                    row = lastCategoryRow_;
                lastCategoryRow_ = row;
                Note("click category row " + std::to_string(row));
                int filter = F().cboCategory().ListIndex();
                // A click on the row already selected changes nothing, as in any list.
                bool other = F().lstCategory().ListIndex() != (row < count ? row : -1);
                F().lstCategory().SelectRowAsUser(row);
                if (other)
                    BrowseAgain(filter);
                else
                    EXPECT_EQ(F().cboCategory().ListIndex(), filter);
            });
    }
    if (Usable(f.btnNewCategory())) {
        add(beginEdit(Mode::kCategoryNew, 2), [this] {
            Note("category New");
            F().btnNewCategory().Push();
            mode_ = Mode::kCategoryNew;
            categoryName_.clear();
        });
    }
    if (Usable(f.btnEditCategory())) {
        add(beginEdit(Mode::kCategoryEdit, 3), [this] {
            Note("category Edit");
            fw::Listbox& list = F().lstCategory();
            editedCategory_ = list.CellTag(list.ListIndex(), 0).Integer();
            categoryName_ = list.Cell(list.ListIndex(), 0);
            F().btnEditCategory().Push();
            mode_ = Mode::kCategoryEdit;
        });
    }
    if (Usable(f.txtCategoryName())) {
        add(5, [this] {
            std::string text = RandomText("pqrstu VW'%", 3);
            Note("type category name [" + text + "]");
            // A multi-line field: the caret starts at the top, so go to the end first.
            QTest::keyClick(F().txtCategoryName().NativeWidget(), Qt::Key_End, Qt::ControlModifier);
            TypeKeys(F().txtCategoryName(), text);
            categoryName_ += text;
        });
    }
    if (Usable(f.btnCancelCategory())) {
        add(2, [this] {
            Note("category Cancel");
            F().btnCancelCategory().Push();
            mode_ = Mode::kBrowse;
        });
    }
    if (Usable(f.btnSaveCategory()))
        add(3, [this] { SaveCategory(); });
    if (Usable(f.btnDeleteCategory())) {
        add(1, [this] {
            bool yes = Pick(2) == 0;
            Note(std::string("category Delete, answered ") + (yes ? "Delete" : "Cancel"));
            fw::Listbox& list = F().lstCategory();
            std::int64_t id = list.CellTag(list.ListIndex(), 0).Integer();
            h_->Dialogs().ExpectConfirm(yes ? "Delete" : "Cancel");
            expectedLog_.push_back(
                "confirm:Are you sure you want to delete the selected category?");
            Selection before = RecipeSelection();
            F().btnDeleteCategory().Push();
            FollowSelectionChange(before);
            if (yes) {
                model_.categories.erase(id);
                for (auto& [rid, r] : model_.recipes) {
                    if (r.category == id)
                        r.category = 1;
                }
            }
            mode_ = Mode::kBrowse;
        });
    }
    return actions;
}

// The one row the database gained goes into the model under the id the engine gave it.
template <class T>
void RandomActions::AddedRow(std::map<std::int64_t, T>& rows, const T& value) {
    Book stored = ReadBook(*db_);
    std::vector<std::int64_t> fresh;
    if constexpr (std::is_same_v<T, Recipe>) {
        for (const auto& [id, r] : stored.recipes) {
            if (!rows.count(id))
                fresh.push_back(id);
        }
    } else {
        for (const auto& [id, c] : stored.categories) {
            if (!rows.count(id))
                fresh.push_back(id);
        }
    }
    ASSERT_EQ(fresh.size(), 1u) << "a save adds exactly one row";
    rows[fresh.front()] = value;
}

void RandomActions::SaveRecipe() {
    Note(std::string("recipe Save in ") + ModeName(mode_));
    Recipe typed = fields_;
    // The fields hold the recipe that was loaded when the edit began, whatever the list
    // selects now; with nothing loaded there is nothing to change, so the save adds one.
    std::optional<std::int64_t> target;
    if (mode_ == Mode::kRecipeEdit)
        target = fieldsRecipe_;
    Selection before = RecipeSelection();
    F().btnSaveRecipe().Push();
    FollowSelectionChange(before);
    if (target)
        model_.recipes[*target] = typed;
    else
        AddedRow(model_.recipes, typed);
    mode_ = Mode::kBrowse;
}

void RandomActions::SaveCategory() {
    Note(std::string("category Save in ") + ModeName(mode_) + " [" + categoryName_ + "]");
    bool edit = mode_ == Mode::kCategoryEdit;
    Selection before = RecipeSelection();
    F().btnSaveCategory().Push();
    FollowSelectionChange(before);
    if (edit)
        model_.categories[editedCategory_] = categoryName_;
    else
        AddedRow(model_.categories, categoryName_);
    mode_ = Mode::kBrowse;
}

// Whether this seed has yet to change that search control during an edit of that kind.
bool RandomActions::Untried(Mode mode, SearchChange change) {
    return searchChanges_[{mode, change}] == 0;
}

bool RandomActions::Untried(Mode mode) {
    return std::any_of(std::begin(kSearchChanges), std::end(kSearchChanges),
                       [&](SearchChange change) { return Untried(mode, change); });
}

// Whether this seed has yet to see a refill move the selection during an edit of that kind.
bool RandomActions::Unmoved(Mode mode) {
    return std::all_of(std::begin(kSearchChanges), std::end(kSearchChanges),
                       [&](SearchChange change) {
                           return selectionMoved_[{mode, change}] == 0;
                       });
}

bool RandomActions::Wanted(Mode mode) {
    return Untried(mode) || Unmoved(mode);
}

}  // namespace random_actions
