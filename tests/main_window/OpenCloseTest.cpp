// Opening and closing the main window: the page setup kept between runs, starting without a
// usable database, failures at open, and quitting through the menu.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

#include "Larderon.h"
#include "MainForm.h"
#include "main_window/DrivingHelpers.h"
#include "shell/FaultyDialogs.h"
#include "support/LarderonHarness.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

namespace {

const char* const kConnectionMessage =
    "Unable to connect to the database becuase the larderon_db.rsd file is missing or corrupt.";

std::string StoredPageSetup(Database& db) {
    return QueryText(db, "SELECT PageSetup AS v FROM Preferences WHERE Id = 1");
}

std::string Bytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const fs::path& file, const std::string& bytes) {
    std::ofstream out(file, std::ios::binary);
    out << bytes;
}

Strings FolderContents(const fs::path& folder) {
    Strings names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

TEST(Preferences, PageSetupStoredAtCloseIsLoadedAtTheNextOpen) {
    // Opaque to the app: quotes and line breaks must come back exactly.
    const std::string setup = "orientation=landscape;name='Recipe card'\nmargins=10,10,10,10";
    TempDir keep;
    {
        LarderonHarness h;
        h.Start();
        EXPECT_EQ(h.Form().PageSetupText(), "") << "a fresh database has no page setup";
        h.Form().PageSetupText(setup);
        h.CloseMainWindow();
        EXPECT_TRUE(h.App().IsQuitting());
        EXPECT_EQ(h.App().ExitCode(), 0);
        EXPECT_TRUE(h.Dialogs().Log().empty());
        auto db = h.OpenDatabase();
        EXPECT_EQ(StoredPageSetup(*db), setup);
        fs::copy_file(h.DatabasePath(), keep.path() / "larderon_db.rsd");
    }
    {
        // The next run, on the file the first one left; closing without a new choice keeps it.
        LarderonHarness h;
        fs::copy_file(keep.path() / "larderon_db.rsd", h.DatabasePath(),
                      fs::copy_options::overwrite_existing);
        h.Start();
        EXPECT_EQ(h.Form().PageSetupText(), setup);
        h.CloseMainWindow();
        auto db = h.OpenDatabase();
        EXPECT_EQ(StoredPageSetup(*db), setup);
        EXPECT_TRUE(h.Dialogs().Log().empty());
    }
}

TEST(Preferences, AnEmptyPageSetupIsStoredLikeAnyOther) {
    LarderonHarness h({true, [](Database& db) {
                           db.SQLExecute("UPDATE Preferences SET PageSetup = 'old' WHERE Id = 1");
                       }});
    h.Start();
    ASSERT_EQ(h.Form().PageSetupText(), "old");
    h.Form().PageSetupText("");
    h.CloseMainWindow();
    auto db = h.OpenDatabase();
    EXPECT_EQ(QueryText(*db, "SELECT '[' || PageSetup || ']' AS v FROM Preferences WHERE Id = 1"),
              "[]");
}

TEST(Preferences, AMissingRowIsReportedAtOpenAndAtCloseAndTheAppStillQuits) {
    LarderonHarness h({true, [](Database& db) { db.SQLExecute("DELETE FROM Preferences"); }});
    h.Start();
    // The query succeeds with no row; reading a field of no row fails, which the load's own
    // guard answers.
    EXPECT_EQ(h.Dialogs().Log(), (Strings{"msgbox:Unable to get Preferences!"}));
    class MainForm& form = h.Form();
    EXPECT_EQ(form.PageSetupText(), "");
    EXPECT_EQ(driving::Rows(form.lstCategory()), (Strings{"General"}));
    EXPECT_FALSE(form.btnSaveRecipe().NativeWidget()->isEnabled()) << "browse mode was entered";

    form.PageSetupText("chosen during the run");
    h.CloseMainWindow();
    EXPECT_EQ(h.Dialogs().Messages(),
              (Strings{"Unable to get Preferences!", "Unable to save preferences."}));
    EXPECT_TRUE(h.App().IsQuitting());
    EXPECT_EQ(h.App().ExitCode(), 0);
    EXPECT_FALSE(h.App().db);
    auto db = h.OpenDatabase();
    EXPECT_EQ(QueryText(*db, "SELECT count(*) AS v FROM Preferences"), "0") << "never inserted";
}

TEST(Preferences, ACommitRefusedAtCloseIsReportedAndTheAppStillQuits) {
    LarderonHarness h;
    h.Start();
    auto reader = h.OpenDatabase();
    // Another program in the middle of reading the file: the app may write but not commit.
    driving::Exec(*reader, "BEGIN; SELECT count(*) FROM Preferences");
    h.Form().PageSetupText("chosen during the run");
    h.CloseMainWindow();
    EXPECT_EQ(h.Dialogs().Messages(), (Strings{"Database Error: 5\n\ndatabase is locked"}));
    EXPECT_TRUE(h.App().IsQuitting());
    EXPECT_EQ(h.App().ExitCode(), 0);
    driving::Exec(*reader, "COMMIT");
    EXPECT_EQ(StoredPageSetup(*reader), "");
}

TEST(Preferences, AMissingTableIsADatabaseErrorAtOpenAndAFailureAtClose) {
    LarderonHarness h({true, [](Database& db) { db.SQLExecute("DROP TABLE Preferences"); }});
    h.Start();
    // Here the query itself fails, so the load shows the engine's report.
    EXPECT_EQ(h.Dialogs().Messages(), (Strings{"Database Error: 1\n\nno such table: Preferences"}));
    EXPECT_EQ(h.Form().PageSetupText(), "");
    h.CloseMainWindow();
    // The save finds no result to edit, which only its guard answers.
    EXPECT_EQ(h.Dialogs().Messages().back(), "Unable to save preferences.");
    EXPECT_EQ(h.App().ExitCode(), 0);
    EXPECT_TRUE(h.App().IsQuitting());
}

TEST(NoDatabase, AMissingOrUnusableFileIsReportedOnceAndTheAppQuitsTouchingNothing) {
    struct Case {
        const char* what;
        std::function<void(const fs::path&)> make;  // makes larderon_db.rsd, or not
    };
    const Case cases[] = {
        {"missing", [](const fs::path&) {}},
        {"garbage bytes",
         [](const fs::path& f) { WriteBytes(f, std::string("not a recipe book\0\x01\xff", 20)); }},
        {"empty file", [](const fs::path& f) { WriteBytes(f, ""); }},
        {"directory", [](const fs::path& f) { fs::create_directory(f); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        LarderonHarness h({false, {}});
        const fs::path file = h.Folder() / "larderon_db.rsd";
        c.make(file);
        const bool isFile = fs::is_regular_file(file);
        const std::string before = isFile ? Bytes(file) : "";
        const Strings contents = FolderContents(h.Folder());

        h.Start();
        EXPECT_EQ(h.Dialogs().Log(),
                  (Strings{"beep", std::string("msgbox:") + kConnectionMessage}));
        EXPECT_FALSE(h.App().db);
        EXPECT_TRUE(h.App().IsQuitting());
        EXPECT_EQ(h.App().ExitCode(), 0);
        // The quit closed the main window before it ever opened, so it loaded nothing.
        EXPECT_EQ(h.App().ImplicitWindow<class MainForm>(), nullptr);
        EXPECT_EQ(FolderContents(h.Folder()), contents) << "nothing created beside the app";
        if (isFile) {
            EXPECT_EQ(Bytes(file), before);
        }
    }
}

TEST(OpenFailure, AFailureEscapingTheListRefreshIsReportedAndTheRestOfOpenIsSkipped) {
    // The list refreshes answer their own failures; one escapes only when its report cannot be
    // shown either, which the failing message box brings about. Filling the category filter
    // already refreshes the recipe list (the filter's Change), so the escape leaves Open there.
    LarderonHarness h({true, [](Database& db) {
                           db.SQLExecute(
                               "DROP TABLE Recipe;"
                               "UPDATE Preferences SET PageSetup = 'stored' WHERE Id = 1");
                       }});
    FaultyDialogs dialogs(h.Dialogs(), false,
                          [](const std::string& text) { return text != "An error has occured"; });
    h.Start();

    ASSERT_FALSE(dialogs.Failed().empty());
    EXPECT_EQ(dialogs.Failed().front(), "Database Error: 1\n\nno such table: Recipe");
    EXPECT_EQ(h.Dialogs().Log(), (Strings{"msgbox:An error has occured"}));
    class MainForm& form = h.Form();
    EXPECT_FALSE(h.App().IsQuitting()) << "the window stays open";
    EXPECT_EQ(form.PageSetupText(), "") << "the preferences were not loaded";
    EXPECT_TRUE(form.btnSaveRecipe().NativeWidget()->isEnabled())
        << "the controls keep their designed states: browse mode was never entered";
}

TEST(Quitting, FileQuitClosesTheMainWindowFirstSoItsPageSetupIsStored) {
    LarderonHarness h;
    h.Start();
    h.Form().PageSetupText("chosen before quitting");
    EXPECT_TRUE(h.App().DoMenuCommand("FileQuit"));
    EXPECT_TRUE(h.App().IsQuitting());
    EXPECT_EQ(h.App().ExitCode(), 0);
    EXPECT_EQ(h.App().ImplicitWindow<class MainForm>(), nullptr);
    EXPECT_FALSE(h.App().db) << "the application's Close ran too";
    EXPECT_TRUE(h.Dialogs().Log().empty());
    auto db = h.OpenDatabase();
    EXPECT_EQ(StoredPageSetup(*db), "chosen before quitting");
}
