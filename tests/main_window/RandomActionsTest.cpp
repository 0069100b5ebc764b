// Long random sequences of what a person can do in the main window, checked after every step
// against the database and against a model of what the person saved.

#include <gtest/gtest.h>

#include <QTest>
#include <QWidget>
#include <algorithm>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <type_traits>
#include <vector>

#include "DrivingHelpers.h"
#include "Larderon.h"
#include "MainForm.h"
#include "support/LarderonHarness.h"

namespace {

constexpr int kActionsPerSeed = 800;

struct Recipe {
    std::string name;
    std::int64_t category = 1;
    std::string directions;
    bool operator==(const Recipe&) const = default;
};

struct Book {
    std::map<std::int64_t, Recipe> recipes;
    std::map<std::int64_t, std::string> categories;
    bool operator==(const Book&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Book& book) {
    out << book.categories.size() << " categories, " << book.recipes.size() << " recipes\n";
    for (const auto& [id, name] : book.categories)
        out << "  category " << id << " " << name << "\n";
    for (const auto& [id, r] : book.recipes)
        out << "  recipe " << id << " [" << r.name << "] in " << r.category << "\n";
    return out;
}

void Exec(Database& db, const std::string& sql, const std::vector<SqlValue>& params = {}) {
    db.SQLExecute(sql, params);
    if (db.Error())
        throw std::runtime_error(sql + ": " + db.ErrorMessage());
}

Book ReadBook(Database& db) {
    Book book;
    auto rs = db.SQLSelect("SELECT CategoryId, Name FROM Category");
    if (!rs)
        throw std::runtime_error(db.ErrorMessage());
    for (; !rs->Eof(); rs->MoveNext())
        book.categories[std::stoll(rs->Field("CategoryId").StringValue())] =
            rs->Field("Name").StringValue();
    rs->Close();
    rs = db.SQLSelect("SELECT RecipeId, Name, CategoryId, Directions FROM Recipe");
    if (!rs)
        throw std::runtime_error(db.ErrorMessage());
    for (; !rs->Eof(); rs->MoveNext()) {
        book.recipes[std::stoll(rs->Field("RecipeId").StringValue())] = {
            rs->Field("Name").StringValue(), std::stoll(rs->Field("CategoryId").StringValue()),
            rs->Field("Directions").StringValue()};
    }
    rs->Close();
    return book;
}

// A few hundred recipes with the names a real book has: shared words, letter-case twins,
// quotes, a percent sign, double blanks and exact duplicates.
void SeedBook(Database& db, unsigned seed) {
    std::mt19937 rng(seed);
    const char* categories[] = {"Breads", "Soups", "Desserts", "Mains", "Salads", "Drinks"};
    Exec(db, "begin transaction");
    std::int64_t id = 2;
    for (const char* name : categories)
        Exec(db, "INSERT INTO Category (CategoryId, Name) VALUES (?, ?)", {id++, name});
    const char* firsts[] = {"Apple",  "apple", "Grandma's", "Spiced", "Roast",   "Lemon", "Pea",
                            "Tomato", "Rye",   "100%",      "Quick",  "O'Brien", "Leek",  "Garlic"};
    const char* seconds[] = {"Pie",  "Soup",  "Bread", "Salad",   "Tart",  "Stew",
                             "Cake", "Punch", "Loaf",  "Crumble", " Soup", "_Toast"};
    const char* lines[] = {"Preheat the oven.",       "Chop everything finely.",
                           "Simmer for an hour.",     "Season to taste.",
                           "Serve warm, with bread.", "Let it rest overnight."};
    for (int i = 0; i < 300; ++i) {
        std::string name = std::string(firsts[rng() % std::size(firsts)]) + " " +
                           seconds[rng() % std::size(seconds)];
        if (rng() % 4 == 0)
            name += " " + std::to_string(rng() % 9 + 1);
        std::string directions;
        for (unsigned n = rng() % 5 + 1; n > 0; --n)
            directions += std::string(lines[rng() % std::size(lines)]) + (n > 1 ? "\n" : "");
        Exec(db, "INSERT INTO Recipe (Name, CategoryId, Directions) VALUES (?, ?, ?)",
             {name, static_cast<std::int64_t>(rng() % 7 + 1), directions});
    }
    Exec(db, "commit");
}

// Letter case folded as the engine's NOCASE does it: ASCII only.
std::string Folded(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

struct Row {
    std::string name;
    std::string tag;
};

// Rows sorted by name as the engine sorts them; the order of equal names is the engine's own,
// so they are compared by id.
std::vector<Row> Canonical(std::vector<Row> rows) {
    std::sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) {
        std::string fa = Folded(a.name), fb = Folded(b.name);
        return fa != fb ? fa < fb : std::stoll(a.tag) < std::stoll(b.tag);
    });
    return rows;
}

std::string Describe(const std::vector<Row>& rows) {
    std::string out;
    for (const Row& r : rows) out += "[" + r.tag + " " + r.name + "] ";
    return out;
}

enum class Mode { kBrowse, kRecipeEdit, kRecipeNew, kCategoryEdit, kCategoryNew };
constexpr Mode kEdits[] = {Mode::kRecipeEdit, Mode::kRecipeNew, Mode::kCategoryEdit,
                           Mode::kCategoryNew};

// The changes of the search controls, each of which refills the recipe list.
enum class SearchChange { kTyping, kFilter, kOption, kReset };
constexpr SearchChange kSearchChanges[] = {SearchChange::kTyping, SearchChange::kFilter,
                                           SearchChange::kOption, SearchChange::kReset};

const char* ChangeName(SearchChange change) {
    switch (change) {
        case SearchChange::kTyping:
            return "typing in the search";
        case SearchChange::kFilter:
            return "filter";
        case SearchChange::kOption:
            return "search option";
        case SearchChange::kReset:
            return "X";
    }
    return "?";
}

const char* ModeName(Mode mode) {
    switch (mode) {
        case Mode::kBrowse:
            return "browse";
        case Mode::kRecipeEdit:
            return "recipe edit";
        case Mode::kRecipeNew:
            return "recipe entry";
        case Mode::kCategoryEdit:
            return "category edit";
        case Mode::kCategoryNew:
            return "category entry";
    }
    return "?";
}

struct Selection {
    int index = -1;
    std::string text;
    std::string tag;
    bool operator==(const Selection&) const = default;
};

class RandomActions : public ::testing::TestWithParam<int> {
  protected:
    void SetUp() override {
        seed_ = static_cast<unsigned>(GetParam());
        rng_.seed(seed_);
        h_ = std::make_unique<LarderonHarness>(
            LarderonHarness::Options{true, [this](Database& db) { SeedBook(db, seed_); }});
        h_->Start();
        db_ = h_->OpenDatabase();
        model_ = ReadBook(*db_);
        h_->Dialogs().ClearLog();
        NoteBrowseFields();
    }

    class MainForm& F() {
        return h_->Form();
    }
    int Pick(int n) { return static_cast<int>(rng_() % static_cast<unsigned>(n)); }
    bool OnPage(int page) { return F().tpnlMain().Value() == page; }
    bool Usable(const fw::Control& c) {
        return c.Enabled() && c.NativeWidget()->isVisibleTo(F().NativeWidget());
    }

    Selection RecipeSelection() {
        fw::Listbox& list = F().lstRecipe();
        int i = list.ListIndex();
        if (i < 0)
            return {};
        return {i, list.Cell(i, 0), list.CellTag(i, 0).Text()};
    }
    std::optional<std::int64_t> SelectedRecipe() {
        fw::Listbox& list = F().lstRecipe();
        if (list.ListIndex() < 0)
            return std::nullopt;
        return list.CellTag(list.ListIndex(), 0).Integer();
    }

    // What the recipe fields show in browse mode, from the model.
    void NoteBrowseFields() {
        fieldsRecipe_ = SelectedRecipe();
        browseFields_ = fieldsRecipe_ ? model_.recipes.at(*fieldsRecipe_) : Recipe{"", 1, ""};
    }

    // The person's own choice of another recipe reaches the window's modes as the recipe list's
    // Change event.
    void FollowSelectionChange(const Selection& before) {
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

    void TypeKeys(fw::Control& field, const std::string& text) {
        QTest::keyClicks(field.NativeWidget(), QString::fromStdString(text));
    }
    void Backspace(fw::Control& field) { QTest::keyClick(field.NativeWidget(), Qt::Key_Backspace); }

    // The person clicks into the search field, goes to its end and presses keys there: each
    // key goes to wherever the focus is by then.
    void TypeInSearch(const std::function<void(QWidget* window)>& keys) {
        QWidget* window = F().NativeWidget();
        driving::ClickInto(F().txtSearch());
        QTest::keyClick(window->focusWidget(), Qt::Key_End);
        ChangeSearch(SearchChange::kTyping, [&] { keys(window); });
    }

    // A change of the search controls refills the recipe list, and whatever the list selects
    // then, it is not the person's choice of a recipe: an edit or entry in progress keeps its
    // mode, every field (the model does not change; CheckState compares) and the focus, and
    // the filter stays what the person chose. In browse mode the fields follow the selection.
    void ChangeSearch(SearchChange change, const std::function<void()>& act,
                      std::optional<int> chosenFilter = std::nullopt) {
        bool editing = mode_ != Mode::kBrowse;
        QWidget* focus = F().NativeWidget()->focusWidget();
        int filter = chosenFilter.value_or(F().cboCategory().ListIndex());
        Selection before = RecipeSelection();
        act();
        ++searchChanges_[{mode_, change}];
        if (!(RecipeSelection() == before))
            ++selectionMoved_[{mode_, change}];
        // In browse mode the focus may leave a button that the refill disabled (Edit, Delete,
        // Print); an edit sets Print alone, and nothing of an edit takes the focus there.
        if (editing) {
            EXPECT_EQ(F().NativeWidget()->focusWidget(), focus) << "the refill moved the focus";
        }
        EXPECT_EQ(F().cboCategory().ListIndex(), filter) << "the refill changed the filter";
    }

    std::string RandomText(const char* alphabet, int maxLength) {
        std::string text;
        std::string chars(alphabet);
        for (int n = Pick(maxLength) + 1; n > 0; --n)
            text += chars[Pick(static_cast<int>(chars.size()))];
        return text;
    }

    struct Action {
        int weight;
        std::function<void()> run;
    };

    // The actions a person could take right now, each with how often it is tried.
    std::vector<Action> Available() {
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
            add((f.txtSearch().Text().size() < 3 ? 10 : 3) * searching(SearchChange::kTyping),
                [this] {
                    std::string c = RandomText("aeiouaeiorstnlp '%_SA", 2);
                    Note("type search [" + c + "]");
                    TypeInSearch([&](QWidget* window) { driving::TypeAtFocus(window, c); });
                    EXPECT_TRUE(F().txtSearch().Text().ends_with(c))
                        << "every key went to the search";
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
                expectedLog_.push_back(
                    "confirm:Are you sure you want to delete the selected recipe?");
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
                    F().lstCategory().SelectRowAsUser(row);
                    EXPECT_EQ(F().cboCategory().ListIndex(), filter) << "a category click kept it";
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
                QTest::keyClick(F().txtCategoryName().NativeWidget(), Qt::Key_End,
                                Qt::ControlModifier);
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

    void SaveRecipe() {
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

    void SaveCategory() {
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

    // The one row the database gained goes into the model under the id the engine gave it.
    template <class T>
    void AddedRow(std::map<std::int64_t, T>& rows, const T& value) {
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

    void Note(const std::string& what) { history_.push_back(what); }

    // Whether this seed has yet to change that search control during an edit of that kind.
    bool Untried(Mode mode, SearchChange change) { return searchChanges_[{mode, change}] == 0; }
    bool Untried(Mode mode) {
        return std::any_of(std::begin(kSearchChanges), std::end(kSearchChanges),
                           [&](SearchChange change) { return Untried(mode, change); });
    }
    // Whether this seed has yet to see a refill move the selection during an edit of that kind.
    bool Unmoved(Mode mode) {
        return std::all_of(std::begin(kSearchChanges), std::end(kSearchChanges),
                           [&](SearchChange change) {
                               return selectionMoved_[{mode, change}] == 0;
                           });
    }
    bool Wanted(Mode mode) { return Untried(mode) || Unmoved(mode); }

    std::vector<Row> ShownRecipes() {
        std::vector<Row> rows;
        fw::Listbox& list = F().lstRecipe();
        for (int i = 0; i < list.ListCount(); ++i)
            rows.push_back({list.Cell(i, 0), list.CellTag(i, 0).Text()});
        return rows;
    }

    // What the shown filter and search text find, asked independently of the window.
    std::vector<Row> ExpectedRecipes() {
        class MainForm& f = F();
        std::int64_t filter = 0;
        if (f.cboCategory().ListIndex() >= 0)
            filter = f.cboCategory().RowTag(f.cboCategory().ListIndex()).Integer();
        std::string text = f.txtSearch().Text();
        std::string pattern;
        switch (f.cboSearchOption().ListIndex()) {
            case 1:
                pattern = text;
                break;
            case 2:
                pattern = text + "%";
                break;
            case 3:
                pattern = "%" + text;
                break;
            default:
                pattern = "%" + text + "%";
                break;
        }
        auto rs = db_->SQLSelect(
            "SELECT RecipeId, Name FROM Recipe WHERE (?1 <= 0 OR CategoryId = ?1) "
            "AND (?2 = '' OR Name LIKE ?3)",
            {filter, text, pattern});
        std::vector<Row> rows;
        if (!rs) {
            ADD_FAILURE() << db_->ErrorMessage();
            return rows;
        }
        for (; !rs->Eof(); rs->MoveNext())
            rows.push_back({rs->Field("Name").StringValue(), rs->Field("RecipeId").StringValue()});
        rs->Close();
        return rows;
    }

    void CheckRecipeList() {
        std::vector<Row> shown = ShownRecipes();
        for (size_t i = 1; i < shown.size(); ++i) {
            ASSERT_LE(Folded(shown[i - 1].name), Folded(shown[i].name))
                << "rows out of name order at " << i;
        }
        std::set<std::string> tags;
        for (const Row& r : shown) ASSERT_TRUE(tags.insert(r.tag).second) << "twice: " << r.tag;
        std::vector<Row> want = Canonical(ExpectedRecipes());
        std::vector<Row> got = Canonical(shown);
        ASSERT_EQ(Describe(got), Describe(want))
            << "filter [" << F().cboCategory().Text() << "] search [" << F().txtSearch().Text()
            << "] option " << F().cboSearchOption().Text();
    }

    void CheckCategoryLists() {
        std::vector<Row> want;
        for (const auto& [id, name] : model_.categories) want.push_back({name, std::to_string(id)});
        want = Canonical(want);
        class MainForm& f = F();
        std::vector<Row> list, filter, popup;
        for (int i = 0; i < f.lstCategory().ListCount(); ++i)
            list.push_back({f.lstCategory().Cell(i, 0), f.lstCategory().CellTag(i, 0).Text()});
        ASSERT_GE(f.cboCategory().ListCount(), 1);
        ASSERT_EQ(f.cboCategory().List(0), "All");
        for (int i = 1; i < f.cboCategory().ListCount(); ++i)
            filter.push_back({f.cboCategory().List(i), f.cboCategory().RowTag(i).Text()});
        for (int i = 0; i < f.cboRecipeCategory().ListCount(); ++i)
            popup.push_back(
                {f.cboRecipeCategory().List(i), f.cboRecipeCategory().RowTag(i).Text()});
        EXPECT_EQ(Describe(Canonical(list)), Describe(want));
        EXPECT_EQ(Describe(Canonical(filter)), Describe(want));
        EXPECT_EQ(Describe(Canonical(popup)), Describe(want));
    }

    void CheckFields(const Recipe& want) {
        class MainForm& f = F();
        EXPECT_EQ(f.txtRecipeName().Text(), want.name);
        EXPECT_EQ(f.txtDirections().Text(), want.directions);
        int row = f.cboRecipeCategory().ListIndex();
        ASSERT_GE(row, 0) << "the recipe category pop-up shows nothing";
        EXPECT_EQ(f.cboRecipeCategory().RowTag(row).Integer(), want.category);
    }

    void CheckState() {
        class MainForm& f = F();
        ASSERT_NO_FATAL_FAILURE(CheckRecipeList());
        ASSERT_NO_FATAL_FAILURE(CheckCategoryLists());

        bool selected = f.lstRecipe().ListIndex() >= 0;
        for (fw::PushButton* b : {&f.btnEditRecipe(), &f.btnDeleteRecipe(), &f.btnPrintRecipe()}) {
            EXPECT_TRUE(selected || !b->Enabled()) << b->Name() << " enabled with nothing selected";
            if (mode_ == Mode::kBrowse) {
                EXPECT_EQ(b->Enabled(), selected) << b->Name();
            }
        }
        EXPECT_EQ(f.btnPrintRecipe().Enabled(), selected) << "Print follows the selection";

        EXPECT_EQ(f.btnNewRecipe().Enabled(), mode_ == Mode::kBrowse) << ModeName(mode_);
        EXPECT_EQ(f.btnSaveRecipe().Enabled(),
                  mode_ == Mode::kRecipeEdit || mode_ == Mode::kRecipeNew)
            << ModeName(mode_);
        EXPECT_EQ(f.btnSaveCategory().Enabled(),
                  mode_ == Mode::kCategoryEdit || mode_ == Mode::kCategoryNew)
            << ModeName(mode_);
        EXPECT_EQ(f.EditMode(), mode_ == Mode::kRecipeEdit || mode_ == Mode::kCategoryEdit)
            << ModeName(mode_);

        // Each page's fields: what is being typed there, or what browse mode last showed.
        if (mode_ == Mode::kBrowse) {
            NoteBrowseFields();
            fw::Listbox& cats = f.lstCategory();
            categoryName_ = cats.ListIndex() < 0 ? "" : cats.Cell(cats.ListIndex(), 0);
        }
        bool recipeTyped = mode_ == Mode::kRecipeEdit || mode_ == Mode::kRecipeNew;
        CheckFields(recipeTyped ? fields_ : browseFields_);
        EXPECT_EQ(f.txtCategoryName().Text(), categoryName_);

        EXPECT_EQ(h_->Dialogs().Log(), expectedLog_);
        EXPECT_TRUE(h_->Dialogs().AllAnswered());
        h_->Dialogs().ClearLog();
        expectedLog_.clear();

        Book stored = ReadBook(*db_);
        EXPECT_TRUE(stored == model_) << "stored:\n" << stored << "expected:\n" << model_;
    }

    std::string History() const {
        std::ostringstream out;
        for (size_t i = 0; i < history_.size(); ++i)
            out << "  " << i + 1 << ". " << history_[i] << "\n";
        return out.str();
    }

    unsigned seed_ = 0;
    std::mt19937 rng_;
    std::unique_ptr<LarderonHarness> h_;
    std::unique_ptr<Database> db_;
    Book model_;
    Mode mode_ = Mode::kBrowse;
    std::optional<std::int64_t> fieldsRecipe_;  // the recipe browse mode last loaded
    Recipe browseFields_;                       // what browse mode last showed
    Recipe fields_;                             // what the recipe fields hold while editing
    std::string categoryName_;                  // what the category name field holds
    std::int64_t editedCategory_ = 0;
    int lastRecipeRow_ = -1;
    int lastCategoryRow_ = -1;
    std::vector<std::string> expectedLog_;
    std::vector<std::string> history_;
    // How often each change of the search controls came in each mode, and moved the selection.
    std::map<std::pair<Mode, SearchChange>, int> searchChanges_;
    std::map<std::pair<Mode, SearchChange>, int> selectionMoved_;
};

TEST_P(RandomActions, EveryStepKeepsListsFieldsAndDatabaseInAgreement) {
    SCOPED_TRACE("seed " + std::to_string(seed_));
    F().NativeWidget()->show();
    for (int step = 0; step < kActionsPerSeed; ++step) {
        std::vector<Action> actions = Available();
        int total = 0;
        for (const Action& a : actions) total += a.weight;
        int roll = Pick(total);
        for (const Action& a : actions) {
            if (roll < a.weight) {
                a.run();
                break;
            }
            roll -= a.weight;
        }
        if (!HasFailure())
            CheckState();
        if (HasFailure()) {
            ADD_FAILURE() << "after " << history_.size() << " actions in " << ModeName(mode_)
                          << " mode:\n"
                          << History();
            return;
        }
    }
    // Every seed refreshes the list from each of the search controls during each kind of edit,
    // and at least once in a way that moves the selection.
    for (Mode mode : kEdits) {
        for (SearchChange change : kSearchChanges) {
            EXPECT_FALSE(Untried(mode, change))
                << ChangeName(change) << " during " << ModeName(mode);
        }
        EXPECT_FALSE(Unmoved(mode)) << "no refill moved the selection during " << ModeName(mode);
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, RandomActions, ::testing::Range(1, 21));

}  // namespace
