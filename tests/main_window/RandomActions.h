#pragma once
// The fixture of the randomized test: a person's random actions in the main window (defined in
// RandomActionsPerson.cpp), the model of what they should have done, and the checks made after
// every step (RandomActionsChecks.cpp).

#include <gtest/gtest.h>

#include <QWidget>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "MainForm.h"
#include "RandomActionsBook.h"
#include "support/LarderonHarness.h"

namespace random_actions {

class RandomActions : public ::testing::TestWithParam<int> {
  protected:
    void SetUp() override;

    class MainForm& F() {
        return h_->Form();
    }
    int Pick(int n) { return static_cast<int>(rng_() % static_cast<unsigned>(n)); }
    bool OnPage(int page) { return F().tpnlMain().Value() == page; }
    bool Usable(const fw::Control& c) {
        return c.Enabled() && c.NativeWidget()->isVisibleTo(F().NativeWidget());
    }

    // What the window shows, and what the fields should show (RandomActionsChecks.cpp).
    Selection RecipeSelection();
    std::optional<std::int64_t> SelectedRecipe();
    void NoteBrowseFields();

    // The person's actions, and the model following them (RandomActionsPerson.cpp).
    void FollowSelectionChange(const Selection& before);
    void TypeKeys(fw::Control& field, const std::string& text);
    void Backspace(fw::Control& field);
    void TypeInSearch(const std::function<void(QWidget* window)>& keys);
    void ChangeSearch(SearchChange change, const std::function<void()>& act,
                      std::optional<int> chosenFilter = std::nullopt);
    void BrowseAgain(int filterBefore);
    std::string RandomText(const char* alphabet, int maxLength);

    struct Action {
        int weight;
        std::function<void()> run;
    };

    std::vector<Action> Available();
    void SaveRecipe();
    void SaveCategory();
    template <class T>
    void AddedRow(std::map<std::int64_t, T>& rows, const T& value);

    void Note(const std::string& what) { history_.push_back(what); }

    bool Untried(Mode mode, SearchChange change);
    bool Untried(Mode mode);
    bool Unmoved(Mode mode);
    bool Wanted(Mode mode);

    // The checks after every step (RandomActionsChecks.cpp).
    std::vector<Row> ShownRecipes();
    std::vector<Row> ExpectedRecipes();
    void CheckRecipeList();
    void CheckCategoryLists();
    void CheckFields(const Recipe& want);
    void CheckState();
    std::string History() const;

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

}  // namespace random_actions
