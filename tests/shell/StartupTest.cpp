// Start-up and shut-down of the application object: the connection to the database beside the
// app, the menu commands bound to the application, and what a failure while connecting leaves.

#include <gtest/gtest.h>

#include "Larderon.h"
#include "MainForm.h"
#include "shell/FaultyDialogs.h"
#include "support/LarderonHarness.h"

using Strings = std::vector<std::string>;

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
