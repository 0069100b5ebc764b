// The helper that acts on the next modal window: a window left up fails the test and goes, and
// the wait for it ends with the window's run, whatever happens to the window later.

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <QDialog>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "support/ScriptedDialogs.h"

namespace {

using namespace std::chrono_literals;

// Long enough that a close the action posts comes first.
constexpr std::chrono::milliseconds kStillUp = 100ms;

struct ModalRun {
    std::vector<std::string> failures;  // those added until the bound was past
    bool upAtTheEnd;
};

// Runs a dialog modally with `action` acting on it, then `afterwards` on the same dialog, and
// waits for a timer started after the bound: a bound still pending fires before it.
ModalRun RunModal(std::function<void(QWidget*)> action,
                  const std::function<void(QDialog&)>& afterwards) {
    QDialog dialog;
    ::testing::TestPartResultArray results;
    {
        const ::testing::ScopedFakeTestPartResultReporter reporter(
            ::testing::ScopedFakeTestPartResultReporter::INTERCEPT_ONLY_CURRENT_THREAD, &results);
        AtNextModal(std::move(action), kStillUp);
        dialog.exec();
        afterwards(dialog);
        bool past = false;
        QTimer::singleShot(kStillUp * 2, [&past] { past = true; });
        EXPECT_TRUE(QTest::qWaitFor([&past] { return past; }));
    }
    ModalRun run{{}, dialog.isVisible()};
    for (int k = 0; k < results.size(); ++k)
        run.failures.push_back(results.GetTestPartResult(k).message());
    return run;
}

}  // namespace

TEST(AtNextModal, AWindowLeftUpFailsAndGoesButAWindowShownAgainAfterItsRunIsLeftAlone) {
    bool actedOn = false;
    const ModalRun leftUp =
        RunModal([&actedOn](QWidget* modal) { actedOn = modal != nullptr; }, [](QDialog&) {});
    EXPECT_TRUE(actedOn);
    ASSERT_EQ(leftUp.failures.size(), 1u);
    EXPECT_NE(leftUp.failures[0].find("still up"), std::string::npos) << leftUp.failures[0];
    EXPECT_FALSE(leftUp.upAtTheEnd);

    // Closed by the action itself, or a moment after it, then shown again (as a later test may
    // show a window that outlived its run): the wait ended with the run.
    const std::function<void(QWidget*)> closes[] = {
        [](QWidget* modal) {
            if (modal)
                modal->close();
        },
        [](QWidget* modal) {
            if (modal)
                QTimer::singleShot(0, modal, [modal] { modal->close(); });
        },
    };
    for (const auto& close : closes) {
        const ModalRun shownAgain = RunModal(close, [](QDialog& dialog) { dialog.show(); });
        EXPECT_EQ(shownAgain.failures, std::vector<std::string>{});
        EXPECT_TRUE(shownAgain.upAtTheEnd);
    }
}
