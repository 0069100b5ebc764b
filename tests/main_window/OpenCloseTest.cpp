// Opening and closing the main window: the page setup kept between runs, starting without a
// usable database or with one it may only read, failures at open, and quitting through the menu.

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
#include "support/Unprivileged.h"

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

TEST(NoDatabase, AnotherApplicationsDatabaseOpensAnEmptyWindowAndIsLeftAsItWas) {
    // A whole database, so the connection succeeds; only its queries find none of the tables.
    LarderonHarness h({true, [](Database& db) {
                           db.SQLExecute(
                               "DROP TABLE Recipe; DROP TABLE Category; DROP TABLE Preferences;"
                               "CREATE TABLE Notes (Id INTEGER PRIMARY KEY, Text TEXT);"
                               "INSERT INTO Notes (Text) VALUES ('someone else''s')");
                       }});
    const std::string bytes = Bytes(h.DatabasePath());
    h.Start();
    EXPECT_EQ(h.Dialogs().Messages(), (Strings{"Database Error: 1\n\nno such table: Category",
                                               "Database Error: 1\n\nno such table: Category",
                                               "Database Error: 1\n\nno such table: Recipe",
                                               "Database Error: 1\n\nno such table: Preferences"}));
    EXPECT_FALSE(h.App().IsQuitting());
    EXPECT_EQ(h.Form().lstCategory().ListCount(), 0);
    EXPECT_EQ(h.Form().lstRecipe().ListCount(), 0);
    h.CloseMainWindow();
    EXPECT_EQ(h.Dialogs().Messages().back(), "Unable to save preferences.");
    EXPECT_EQ(h.App().ExitCode(), 0);
    EXPECT_EQ(Bytes(h.DatabasePath()), bytes);
}

TEST(WriteProtectedBook, OpensForReadingAndEveryChangeIsReportedLosingNothing) {
    if (RanAsAnUnprivilegedUser())
        return;
    {
        // Looking only, and closing: nothing to store, so nothing is tried or reported.
        LarderonHarness h({true, driving::SeedBook});
        fs::permissions(h.DatabasePath(), fs::perms::owner_read);
        h.Start();
        h.Form().lstRecipe().SelectRowAsUser(1);
        h.Form().PageSetupText(std::string(h.Form().PageSetupText()));
        h.CloseMainWindow();
        EXPECT_TRUE(h.Dialogs().Log().empty());
        EXPECT_TRUE(h.App().IsQuitting());
    }
    LarderonHarness h({true, driving::SeedBook});
    fs::permissions(h.DatabasePath(), fs::perms::owner_read);
    const std::string bytes = Bytes(h.DatabasePath());
    const Strings contents = FolderContents(h.Folder());
    h.Start();
    class MainForm& form = h.Form();
    EXPECT_TRUE(h.Dialogs().Log().empty()) << "no connection message";

    // Reading: browse, search and backup.
    EXPECT_EQ(driving::Rows(form.lstRecipe()),
              (Strings{"Apple Pie", "Bagels", "Carrot Soup", "Damper"}));
    form.lstRecipe().SelectRowAsUser(1);
    EXPECT_EQ(form.txtDirections().Text(), "Boil, then bake.");
    QTest::keyClicks(form.txtSearch().NativeWidget(), "Soup");
    EXPECT_EQ(driving::Rows(form.lstRecipe()), (Strings{"Carrot Soup"}));
    TempDir elsewhere;
    const fs::path backup = elsewhere.path() / "backup.txt";
    h.Dialogs().ExpectSaveFile(backup);
    EXPECT_TRUE(h.App().DoMenuCommand("FileBackup"));
    EXPECT_EQ(h.Dialogs().Messages(), (Strings{"Backup completed."}));
    EXPECT_NE(Bytes(backup).find("Carrot Soup|3\n#BOF\nSimmer the carrots.\n#EOF"),
              std::string::npos);

    // Every change is refused with the engine's report, and what was typed stays on screen.
    const std::string refused = "Database Error: 8\n\nattempt to write a readonly database";
    form.lstRecipe().SelectRowAsUser(0);
    form.btnEditRecipe().Push();
    driving::TypeInto(form.txtRecipeName(), "Carrot and Coriander Soup");
    form.btnSaveRecipe().Push();
    EXPECT_EQ(h.Dialogs().Messages().back(), refused);
    EXPECT_TRUE(form.EditMode());
    EXPECT_EQ(form.txtRecipeName().Text(), "Carrot and Coriander Soup");
    form.btnCancelRecipe().Push();
    h.Dialogs().ExpectConfirm("Delete");
    form.btnDeleteRecipe().Push();
    EXPECT_EQ(h.Dialogs().Messages().back(), refused);
    EXPECT_EQ(driving::Rows(form.lstRecipe()), (Strings{"Carrot Soup"}));
    form.tpnlMain().Value(1);
    form.lstCategory().SelectRowAsUser(driving::RowOf(form.lstCategory(), "Bread"));
    h.Dialogs().ExpectConfirm("Delete");
    form.btnDeleteCategory().Push();
    EXPECT_EQ(h.Dialogs().Messages().back(), refused);
    h.Dialogs().ExpectOpenFile(backup);
    EXPECT_TRUE(h.App().DoMenuCommand("FileRestore"));
    EXPECT_EQ(h.Dialogs().Messages().back(), "Restore was unsuccessful.");

    // The page setup at close too; the app quits as always.
    form.PageSetupText("chosen during the run");
    h.CloseMainWindow();
    EXPECT_EQ(h.Dialogs().Messages().back(), refused);
    EXPECT_EQ(h.Dialogs().Messages().size(), 6u);
    EXPECT_TRUE(h.App().IsQuitting());
    EXPECT_EQ(h.App().ExitCode(), 0);
    EXPECT_EQ(Bytes(h.DatabasePath()), bytes);
    EXPECT_EQ(FolderContents(h.Folder()), contents);
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
