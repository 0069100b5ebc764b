// The checks of the randomized test after every step: the lists, the fields, the buttons, the
// dialogs and the database, each against the model or against the database asked directly.

#include <set>
#include <sstream>

#include "RandomActions.h"

namespace random_actions {

Selection RandomActions::RecipeSelection() {
    fw::Listbox& list = F().lstRecipe();
    int i = list.ListIndex();
    if (i < 0)
        return {};
    return {i, list.Cell(i, 0), list.CellTag(i, 0).Text()};
}

std::optional<std::int64_t> RandomActions::SelectedRecipe() {
    fw::Listbox& list = F().lstRecipe();
    if (list.ListIndex() < 0)
        return std::nullopt;
    return list.CellTag(list.ListIndex(), 0).Integer();
}

// What the recipe fields show in browse mode, from the model.
void RandomActions::NoteBrowseFields() {
    fieldsRecipe_ = SelectedRecipe();
    browseFields_ = fieldsRecipe_ ? model_.recipes.at(*fieldsRecipe_) : Recipe{"", 1, ""};
}

std::vector<Row> RandomActions::ShownRecipes() {
    std::vector<Row> rows;
    fw::Listbox& list = F().lstRecipe();
    for (int i = 0; i < list.ListCount(); ++i)
        rows.push_back({list.Cell(i, 0), list.CellTag(i, 0).Text()});
    return rows;
}

// What the shown filter, search text and option find among the recipes the person saved (the
// model, which CheckState holds equal to the database), matched here rather than by any LIKE
// of the app's.
std::vector<Row> RandomActions::ExpectedRecipes() {
    class MainForm& f = F();
    std::int64_t filter = 0;
    if (f.cboCategory().ListIndex() >= 0)
        filter = f.cboCategory().RowTag(f.cboCategory().ListIndex()).Integer();
    const std::string text = f.txtSearch().Text();
    const int option = f.cboSearchOption().ListIndex();
    const std::string pattern =
        (option == 0 || option == 3 ? "%" : "") + text + (option == 0 || option == 2 ? "%" : "");
    std::vector<Row> rows;
    for (const auto& [id, recipe] : model_.recipes) {
        if ((filter <= 0 || recipe.category == filter) &&
            (text.empty() || MatchesLike(pattern, recipe.name)))
            rows.push_back({recipe.name, std::to_string(id)});
    }
    return rows;
}

void RandomActions::CheckRecipeList() {
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

void RandomActions::CheckCategoryLists() {
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
        popup.push_back({f.cboRecipeCategory().List(i), f.cboRecipeCategory().RowTag(i).Text()});
    EXPECT_EQ(Describe(Canonical(list)), Describe(want));
    EXPECT_EQ(Describe(Canonical(filter)), Describe(want));
    EXPECT_EQ(Describe(Canonical(popup)), Describe(want));
}

void RandomActions::CheckFields(const Recipe& want) {
    class MainForm& f = F();
    EXPECT_EQ(f.txtRecipeName().Text(), want.name);
    EXPECT_EQ(f.txtDirections().Text(), want.directions);
    int row = f.cboRecipeCategory().ListIndex();
    ASSERT_GE(row, 0) << "the recipe category pop-up shows nothing";
    EXPECT_EQ(f.cboRecipeCategory().RowTag(row).Integer(), want.category);
}

void RandomActions::CheckState() {
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
    EXPECT_EQ(f.btnSaveRecipe().Enabled(), mode_ == Mode::kRecipeEdit || mode_ == Mode::kRecipeNew)
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

std::string RandomActions::History() const {
    std::ostringstream out;
    for (size_t i = 0; i < history_.size(); ++i)
        out << "  " << i + 1 << ". " << history_[i] << "\n";
    return out.str();
}

}  // namespace random_actions
