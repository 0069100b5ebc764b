// Start-up and shut-down of the application object: the connection to the database beside the
// app, the menu commands bound to the application, and what a failure while connecting leaves.

#include <sqlite3.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>

#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include "Larderon.h"
#include "MainForm.h"
#include "shell/FaultyDialogs.h"
#include "support/LarderonHarness.h"

using Strings = std::vector<std::string>;

namespace {

// Another program writing to the book: a process of its own that holds the file under an
// exclusive lock, which keeps every other reader out, for a while and then lets it go.
class LockingProgram {
  public:
    // Returns once the lock is held.
    LockingProgram(const std::filesystem::path& file, std::chrono::milliseconds hold) {
        int ready[2];
        if (::pipe(ready) != 0)
            throw std::runtime_error("pipe failed");
        // The test program runs on one thread, so the child may use the engine after the fork;
        // it opens a connection of its own, as another program would.
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(ready[0]);
            sqlite3* db = nullptr;
            const bool locked =
                sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK &&
                sqlite3_exec(db, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr) == SQLITE_OK;
            const char answer = locked ? 'L' : 'F';
            ssize_t ignored = ::write(ready[1], &answer, 1);
            (void)ignored;
            timespec pause{static_cast<time_t>(hold.count() / 1000),
                           static_cast<long>(hold.count() % 1000 * 1000000)};
            while (::nanosleep(&pause, &pause) != 0) {
            }
            sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
            sqlite3_close(db);
            ::_exit(locked ? 0 : 1);
        }
        ::close(ready[1]);
        char answer = 0;
        const bool told = pid_ > 0 && ::read(ready[0], &answer, 1) == 1;
        ::close(ready[0]);
        if (!told || answer != 'L')
            throw std::runtime_error("the other program could not lock the book");
    }
    ~LockingProgram() {
        int status = 0;
        ::waitpid(pid_, &status, 0);
    }
    LockingProgram(const LockingProgram&) = delete;
    LockingProgram& operator=(const LockingProgram&) = delete;

  private:
    pid_t pid_ = -1;
};

}  // namespace

TEST(StartupConnection, ConnectsToTheFileBesideTheAppAndTheWindowFillsItsLists) {
    LarderonHarness h({true, [](Database& db) {
                           db.SQLExecute("INSERT INTO Recipe (Name) VALUES ('Apple Pie')");
                       }});
    h.Start();
    EXPECT_TRUE(h.Dialogs().Log().empty());
    ASSERT_TRUE(h.App().db);
    EXPECT_TRUE(h.App().db->IsConnected());
    EXPECT_EQ(h.App().db->DatabaseFile(), h.DatabasePath());
    EXPECT_FALSE(h.App().IsQuitting());
    EXPECT_EQ(h.Form().lstRecipe().ListCount(), 1);
    EXPECT_EQ(h.Form().cboRecipeCategory().Text(), "General");
}

TEST(StartupConnection, ABookAnotherProgramHoldsLockedIsWaitedFor) {
    LarderonHarness h({true, [](Database& db) {
                           db.SQLExecute("INSERT INTO Recipe (Name) VALUES ('Apple Pie')");
                       }});
    // Longer than a save waits for the file; a few seconds are worth waiting at start-up, where
    // giving up ends the run.
    LockingProgram other(h.DatabasePath(), std::chrono::milliseconds(2500));
    h.Start();
    EXPECT_TRUE(h.Dialogs().Log().empty());
    ASSERT_TRUE(h.App().db);
    EXPECT_TRUE(h.App().db->IsConnected());
    EXPECT_FALSE(h.App().IsQuitting());
    EXPECT_EQ(h.Form().lstRecipe().ListCount(), 1);
}

TEST(StartupConnection, AnExceptionWhileConnectingLeavesTheAppRunningWithoutAMessage) {
    // The report of the missing file is part of connecting; the beep failing interrupts it.
    LarderonHarness h({false, {}});
    FaultyDialogs dialogs(h.Dialogs(), true, {});
    h.Start();

    EXPECT_EQ(dialogs.Failed(), Strings{"beep"});
    EXPECT_FALSE(h.App().IsQuitting());
    ASSERT_NE(h.App().ImplicitWindow<class MainForm>(), nullptr) << "the main window opened";
    // The connection stands as the failure left it: made, never connected. Each later use
    // answers its own failure; none of them is the connection message or an unhandled one.
    ASSERT_TRUE(h.App().db);
    EXPECT_FALSE(h.App().db->IsConnected());
    EXPECT_EQ(h.Dialogs().Messages(),
              (Strings{"Unable to update Category Combo list.", "Unable to update Category list.",
                       "Unable to refresh Recipe list!", "Unable to get Preferences!"}));
    EXPECT_EQ(h.Dialogs().Beeps(), 0);

    h.CloseMainWindow();
    EXPECT_EQ(h.Dialogs().Messages().back(), "Unable to save preferences.");
    EXPECT_TRUE(h.App().IsQuitting());
    EXPECT_EQ(h.App().ExitCode(), 0);
    EXPECT_FALSE(h.App().db) << "closing dropped the unconnected object too";
}

TEST(StartupShutdown, QuittingDropsTheConnectionAndAnotherCloseDoesNothing) {
    LarderonHarness h;
    h.Start();
    h.CloseMainWindow();
    EXPECT_FALSE(h.App().db);
    EXPECT_TRUE(h.Dialogs().Log().empty());
    h.App().Event_Close();
    EXPECT_FALSE(h.App().db);
    EXPECT_TRUE(h.Dialogs().Log().empty());
}

TEST(StartupMenuCommands, TheApplicationsItemsReachItsHandlers) {
    LarderonHarness h;
    h.Start();
    // The main window is in front and does not take these; the application does.
    h.Dialogs().ExpectModalWindow();
    EXPECT_TRUE(h.App().DoMenuCommand("HelpAbout"));
    EXPECT_EQ(h.Dialogs().Log(), (Strings{"window:About Larderon"}));

    // Backup asks where to save and restore what to open; what follows a cancel is theirs.
    h.Dialogs().ClearLog();
    h.Dialogs().ExpectSaveFile(std::nullopt);
    EXPECT_TRUE(h.App().DoMenuCommand("FileBackup"));
    ASSERT_FALSE(h.Dialogs().Log().empty());
    EXPECT_EQ(h.Dialogs().Log().front().rfind("save:", 0), 0u) << h.Dialogs().Log().front();

    h.Dialogs().ClearLog();
    h.Dialogs().ExpectOpenFile(std::nullopt);
    EXPECT_TRUE(h.App().DoMenuCommand("FileRestore"));
    ASSERT_FALSE(h.Dialogs().Log().empty());
    EXPECT_EQ(h.Dialogs().Log().front(), "open");
}
