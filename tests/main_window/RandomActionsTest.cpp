// Long random sequences of what a person can do in the main window, checked after every step
// against the database and against a model of what the person saved.

#include <gtest/gtest.h>

#include <QWidget>
#include <memory>
#include <string>
#include <vector>

#include "RandomActions.h"

namespace random_actions {

void RandomActions::SetUp() {
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

namespace {

constexpr int kActionsPerSeed = 800;

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
}  // namespace random_actions
