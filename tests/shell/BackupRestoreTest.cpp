// Backup and Restore from the File menu: the file a backup writes, how a restore reads one, that
// a failed restore keeps the earlier rows, and the main window after a restore.

#include <gtest/gtest.h>

#include <QTest>

#include "MainForm.h"
#include "RecipeBackupFile.h"
#include "shell/BackupTestSupport.h"

using namespace backup_test;
using Texts = std::vector<std::string>;

namespace {

const Texts kRestored = {"open", "msgbox:Restore completed."};
const Texts kRestoreFailed = {"open", "beep", "msgbox:Restore was unsuccessful."};

std::string Lines(const Texts& lines, const std::string& end = "\n") {
    std::string text;
    for (const std::string& line : lines) text += line + end;
    return text;
}

}  // namespace

TEST(BackupFile, EmptyBookExampleAndCancelWithTheNameFromOneClockReading) {
    int readings = 0;
    RecipeBackup::UseClock([&] {
        ++readings;
        return fw::Date(2024, 3, 5, 7, 8, 9);
    });
    LarderonHarness h;
    h.Start();
    auto db = h.OpenDatabase();
    Exec(*db, "DELETE FROM Category");
    Backup(h, h.Folder() / "empty.txt");
    EXPECT_EQ(ReadBytes(h.Folder() / "empty.txt"), "#EOT\n#EOT\n");
    EXPECT_EQ(h.Dialogs().LastFilter(), "text/plain");

    Exec(*db, "INSERT INTO Category (CategoryId, Name) VALUES (1, 'Soups'), (2, 'Desserts')");
    Exec(*db, "INSERT INTO Recipe (Name, CategoryId, Directions) VALUES ('Broth', 1, ?)",
         {std::string("Boil water\nAdd salt")});
    Backup(h, h.Folder() / "example.txt");
    EXPECT_EQ(ReadBytes(h.Folder() / "example.txt"),
              "Soups\nDesserts\n#EOT\nBroth|1\n#BOF\nBoil water\nAdd salt\n#EOF\n#EOT\n");

    h.Dialogs().ClearLog();
    h.Dialogs().ExpectSaveFile(std::nullopt);
    EXPECT_TRUE(h.App().FileBackup_Action());
    EXPECT_EQ(readings, 3);
    EXPECT_EQ(h.Dialogs().Log(), (Texts{"save:LarderonBackup_20240305_070809.txt", "beep",
                                        "msgbox:Backup completed."}));
    RecipeBackup::UseClock({});
    EXPECT_EQ(RecipeBackup::DefaultFileName(fw::Date(2031, 12, 31, 23, 59, 58)),
              "LarderonBackup_20311231_235958.txt");
}

TEST(BackupFile, DirectionsAsStoredAndCategoriesByTheirPlaceInIdOrder) {
    LarderonHarness h(Seeded([](Database& db) {
        Exec(db, "INSERT INTO Category (CategoryId, Name) VALUES (3, 'Cakes'), (7, 'Fish')");
        Exec(db,
             "INSERT INTO Recipe (Name, CategoryId, Directions) VALUES ('Plain', 1, ''), "
             "('Multi', 7, 'a' || char(10, 10) || 'b' || char(10)), ('Sponge', 3, 'Whisk'), "
             "('Orphan', 5, 'x')");
    }));
    h.Start();
    Backup(h, h.Folder() / "b.txt");
    EXPECT_EQ(ReadBytes(h.Folder() / "b.txt"),
              Lines({"General", "Cakes", "Fish", "#EOT",     "Plain|1", "#BOF", "",     "#EOF",
                     "Multi|3", "#BOF",  "a",    "",         "b",       "",     "#EOF", "Sponge|2",
                     "#BOF",    "Whisk", "#EOF", "Orphan|1", "#BOF",    "x",    "#EOF", "#EOT"}));
}

TEST(BackupFile, FileOrQueryFailureSaysUnsuccessfulWithoutBeep) {
    LarderonHarness h;
    h.Start();
    std::vector<std::filesystem::path> targets = {h.Folder() / "no such folder" / "b.txt"};
    if (std::filesystem::exists("/dev/full"))
        targets.push_back("/dev/full");  // created fine, every write fails
    targets.push_back(h.Folder() / "b.txt");
    for (const auto& target : targets) {
        SCOPED_TRACE(target.string());
        if (target == targets.back())
            Exec(*h.OpenDatabase(), "ALTER TABLE Recipe RENAME TO Gone");
        h.Dialogs().ClearLog();
        Backup(h, target);
        EXPECT_EQ(h.Dialogs().Messages(), Texts{"Backup was unsuccessful."});
        EXPECT_EQ(h.Dialogs().Beeps(), 0);
    }
}

TEST(BackupFile, TextsTheFileCannotHoldAreWrittenSafelyListedAndRestoredAsWritten) {
    LarderonHarness h(Seeded([](Database& db) {
        for (const char* name : {"#EOT", "Two\r\nLines", "#BOF"})
            Exec(db, "INSERT INTO Category (Name) VALUES (?)", {std::string(name)});
        const std::pair<std::string, std::string> recipes[] = {
            {"Salt|Pepper|Mix", "x"},
            {"Line\nBreak\r", "y"},
            {"Marker", "#EOF\nstill here\r#EOF"},
            {"#EOT", "#BOF\n#EOT\n#EOF "}};  // harmless: stays as it is
        for (const auto& [name, directions] : recipes)
            Exec(db, "INSERT INTO Recipe (Name, CategoryId, Directions) VALUES (?, 2, ?)",
                 {name, directions});
        for (int i = 0; i < 20; ++i)
            Exec(db, "INSERT INTO Recipe (Name) VALUES (?)", {"a|" + std::to_string(i)});
    }));
    h.Start();
    Backup(h, h.Folder() / "b.txt");
    EXPECT_EQ(
        ReadBytes(h.Folder() / "b.txt").substr(0, ReadBytes(h.Folder() / "b.txt").find("a/0|1")),
        Lines({"General",
               " #EOT",
               "Two Lines",
               "#BOF",
               "#EOT",
               "Salt/Pepper/Mix|2",
               "#BOF",
               "x",
               "#EOF",
               "Line Break |2",
               "#BOF",
               "y",
               "#EOF",
               "Marker|2",
               "#BOF",
               " #EOF",
               "still here\r #EOF",
               "#EOF",
               "#EOT|2",
               "#BOF",
               "#BOF",
               "#EOT",
               "#EOF ",
               "#EOF"}));
    const std::string message = h.Dialogs().Messages().at(0);
    EXPECT_EQ(message.substr(0, message.find("\nRecipe \"a/0\"")),
              "Backup completed.\n\nThese texts were changed in the backup file because it "
              "cannot hold them as they are, and a restore brings them back as written:\n"
              "Category \" #EOT\": the name \"#EOT\" written as \" #EOT\"\n"
              "Category \"Two Lines\": line ends in the name written as blanks\n"
              "Recipe \"Salt/Pepper/Mix\": \"|\" in the name written as \"/\"\n"
              "Recipe \"Line Break \": line ends in the name written as blanks\n"
              "Recipe \"Marker\": directions lines reading \"#EOF\" written as \" #EOF\"");
    // Twenty-five changes: the first twenty are listed, the rest counted.
    EXPECT_NE(message.find("\nRecipe \"a/14\""), std::string::npos);
    EXPECT_EQ(message.find("\nRecipe \"a/15\""), std::string::npos);
    EXPECT_EQ(message.substr(message.rfind('\n')), "\n... and 5 more.");

    Restore(h, h.Folder() / "b.txt");
    auto db = h.OpenDatabase();
    EXPECT_EQ(Categories(*db), (Texts{"1:General", "2: #EOT", "3:Two Lines", "4:#BOF"}));
    Texts restored = Recipes(*db);
    restored.resize(4);
    EXPECT_EQ(restored, (Texts{"Salt/Pepper/Mix|2:integer|x\n", "Line Break |2:integer|y\n",
                               "Marker|2:integer| #EOF\nstill here\n #EOF\n",
                               "#EOT|2:integer|#BOF\n#EOT\n#EOF \n"}));
}

TEST(RestoreFile, ReadsByTheLineRulesWithAnyLineEnd) {
    const Texts file = {"Soups",
                        "",
                        " #EOT",
                        "#eot",
                        "#EOT",
                        "no bar here",
                        "Broth|1|ignored|too",
                        "#BOF",
                        "Boil water",
                        "",
                        "#EOT",
                        "#BOF",
                        "Add salt",
                        "#EOF",
                        "#BOF",
                        "#EOF",
                        "Cake|2",
                        "#BOF",
                        "one line",
                        "#EOF",
                        "Lost|5",
                        "#BOF",
                        "x",
                        "#EOF",
                        "Zero|00",
                        "#BOF",
                        "z",
                        "#EOF",
                        "|4",
                        "#BOF",
                        "#EOF",
                        "#EOT",
                        "After|1",
                        "#BOF",
                        "not read",
                        "#EOF",
                        "#BOF"};
    for (const char* end : {"\n", "\r\n", "\r"}) {
        SCOPED_TRACE(::testing::PrintToString(std::string(end)));
        // Earlier rows with ids the file does not have: none of them may survive.
        LarderonHarness h(Seeded([](Database& db) {
            Exec(db, "DELETE FROM Category");
            Exec(db, "INSERT INTO Category (CategoryId, Name) VALUES (40, 'Old'), (41, 'Older')");
            Exec(db, "INSERT INTO Recipe (RecipeId, Name, CategoryId) VALUES (500, 'Old', 40)");
        }));
        h.Start();
        WriteBytes(h.Folder() / "r.txt", Lines(file, end));
        Restore(h, h.Folder() / "r.txt");
        EXPECT_EQ(h.Dialogs().Log(), kRestored);
        auto db = h.OpenDatabase();
        EXPECT_EQ(Categories(*db), (Texts{"1:Soups", "2:", "3: #EOT", "4:#eot"}));
        EXPECT_EQ(Recipes(*db), (Texts{"Broth|1:integer|Boil water\n\n#EOT\n#BOF\nAdd salt\n",
                                       "Broth|1:integer|", "Cake|2:integer|one line\n",
                                       "Lost|1:integer|x\n", "Zero|1:integer|z\n", "|4:integer|"}));
    }
}

TEST(RestoreFile, CancelChangesNothingAndLeavesTheWindowAlone) {
    LarderonHarness h;
    h.Start();
    auto db = h.OpenDatabase();
    Exec(*db, "INSERT INTO Category (Name) VALUES ('Added behind the window')");
    const Texts before = Tables(*db);
    h.Dialogs().ExpectOpenFile(std::nullopt);
    EXPECT_TRUE(h.App().FileRestore_Action());
    EXPECT_EQ(h.Dialogs().Log(), kRestored);
    EXPECT_EQ(Tables(*db), before);
    EXPECT_EQ(h.Form().lstCategory().ListCount(), 1) << "the lists were refilled";
}

TEST(RestoreFile, UnusableFilesAndRejectedStatementsLeaveBothTablesAsTheyWere) {
    LarderonHarness h(Seeded([](Database& db) {
        Exec(db, "INSERT INTO Category (CategoryId, Name) VALUES (4, 'Cakes')");
        Exec(db,
             "INSERT INTO Recipe (RecipeId, Name, CategoryId, Directions) VALUES "
             "(9, 'Sponge', 4, 'Whisk'), (12, 'Broth', 1, 'Boil')");
    }));
    h.Start();
    const std::string good = "A\nB\n#EOT\nGood|2\n#BOF\nx\n#EOF\n";
    const std::vector<std::pair<std::string, std::string>> files = {
        {"empty file", ""},
        {"no end of the categories", "A\nB\n"},
        {"no end of the recipes", good},
        {"ends inside directions", good + "R|1\n#BOF\nx\n"},
        {"ends right after #BOF", good + "R|1\n#BOF\n"},
        {"#BOF before any header", "A\n#EOT\n#BOF\nx\n#EOF\n#EOT\n"},
        {"header without bar", good + "Broth\n#BOF\nx\n#EOF\n#EOT\n"},
        {"category piece with a letter", good + "R|x12\n#BOF\n#EOF\n#EOT\n"},
        {"empty category piece", good + "R|\n#BOF\n#EOF\n#EOT\n"},
        {"signed category piece", good + "R|-1\n#BOF\n#EOF\n#EOT\n"},
        {"blank in category piece", good + "R| 2\n#BOF\n#EOF\n#EOT\n"},
        {"decimal point", good + "R|1.0\n#BOF\n#EOF\n#EOT\n"},
        {"category rejected", "A\nPoison\n#EOT\n#EOT\n"},
        {"recipe rejected", good + "Poison|1\n#BOF\ny\n#EOF\n#EOT\n"},
    };
    auto db = h.OpenDatabase();
    for (const char* table : {"Recipe", "Category"})
        Exec(*db, std::string("CREATE TRIGGER no_poison_") + table + " BEFORE INSERT ON " + table +
                      " WHEN NEW.Name = 'Poison' BEGIN SELECT RAISE(ABORT, 'rejected'); END");
    const Texts before = Tables(*db);
    auto expectUnchanged = [&](const std::filesystem::path& file) {
        h.Dialogs().ClearLog();
        Restore(h, file);
        EXPECT_EQ(h.Dialogs().Log(), kRestoreFailed);
        EXPECT_EQ(Tables(*db), before);
    };
    for (const auto& [label, bytes] : files) {
        SCOPED_TRACE(label);
        WriteBytes(h.Folder() / "bad.txt", bytes);
        expectUnchanged(h.Folder() / "bad.txt");
    }
    expectUnchanged(h.Folder() / "missing.txt");
    expectUnchanged(h.Folder());
    Exec(*db, "CREATE TRIGGER keep BEFORE DELETE ON Category BEGIN SELECT RAISE(ABORT, 'no'); END");
    WriteBytes(h.Folder() / "ok.txt", good + "#EOT\n");
    expectUnchanged(h.Folder() / "ok.txt");
    Exec(*db, "DROP TRIGGER keep");

    // Nothing was left open: another connection can write, and a good file restores.
    Exec(*db, "UPDATE Preferences SET PageSetup = 'x'");
    h.Dialogs().ClearLog();
    Restore(h, h.Folder() / "ok.txt");
    EXPECT_EQ(h.Dialogs().Log(), kRestored);
    EXPECT_EQ(Categories(*db), (Texts{"1:A", "2:B"}));
}

TEST(RestoreIds, CategoriesWithGapsComeBackNumberedInFileOrderWithTheirRecipes) {
    LarderonHarness h(Seeded([](Database& db) {
        Exec(db,
             "INSERT INTO Category (CategoryId, Name) VALUES (2, 'A'), (3, 'B'), (4, 'C'), "
             "(5, 'D')");
        Exec(db,
             "INSERT INTO Recipe (Name, CategoryId) VALUES ('r1', 1), ('r3', 3), ('r5', 5), "
             "('orphan', 9)");
        Exec(db, "DELETE FROM Category WHERE CategoryId IN (2, 4)");
    }));
    h.Start();
    Backup(h, h.Folder() / "b.txt");
    Restore(h, h.Folder() / "b.txt");
    auto db = h.OpenDatabase();
    EXPECT_EQ(Categories(*db), (Texts{"1:General", "2:B", "3:D"}));
    EXPECT_EQ(Rows(*db,
                   "SELECT r.Name || '>' || c.Name AS v FROM Recipe r LEFT JOIN Category c "
                   "USING (CategoryId) ORDER BY r.RecipeId"),
              (Texts{"r1>General", "r3>B", "r5>D", "orphan>General"}));
    // The engine carries on from the restored ids, as the window's new categories rely on.
    Exec(*db, "INSERT INTO Category (Name) VALUES ('New')");
    EXPECT_EQ(Categories(*db).back(), "4:New");
}

TEST(RestoreFile, QuotesAndUnicodeComeBackWithOneLineEndAddedPerRestore) {
    const std::string quoted = "O'Brien's \"best\" stew'); DELETE FROM Recipe; --";
    const std::string unicode = "Crème brûlée 🍮 Über-gut ✓";
    LarderonHarness h(Seeded([&](Database& db) {
        Exec(db, "UPDATE Category SET Name = ? WHERE CategoryId = 1", {std::string("Chef's '")});
        Exec(db, "INSERT INTO Category (Name) VALUES (?)", {unicode});
        Exec(db, "INSERT INTO Recipe (Name, CategoryId, Directions) VALUES (?, 1, ?), (?, 2, '')",
             {quoted, "Add 'a pinch'\n" + unicode, unicode});
    }));
    h.Start();
    auto db = h.OpenDatabase();
    for (const std::string added : {"\n", "\n\n"}) {
        Backup(h, h.Folder() / "b.txt");
        Restore(h, h.Folder() / "b.txt");
        EXPECT_EQ(Categories(*db), (Texts{"1:Chef's '", "2:" + unicode}));
        EXPECT_EQ(Recipes(*db), (Texts{quoted + "|1:integer|Add 'a pinch'\n" + unicode + added,
                                       unicode + "|2:integer|" + added}));
    }
}

TEST(RestoreWindow, ListsShowTheRestoredRowsAndEditAndDeleteActOnThem) {
    LarderonHarness h(Seeded([](Database& db) {
        Exec(db, "INSERT INTO Category (CategoryId, Name) VALUES (50, 'Old')");
        Exec(db,
             "INSERT INTO Recipe (RecipeId, Name, CategoryId) VALUES (100, 'Alpha', 50), "
             "(101, 'Beta', 1)");
    }));
    h.Start();
    class MainForm& form = h.Form();
    form.NativeWidget()->show();
    form.lstRecipe().SelectRowAsUser(0);
    form.btnEditRecipe().Push();
    ASSERT_TRUE(form.EditMode());

    WriteBytes(
        h.Folder() / "r.txt",
        "General\nFish\n#EOT\nBanana|1\n#BOF\nPeel\n#EOF\nApple|2\n#BOF\nCore\n#EOF\n#EOT\n");
    Restore(h, h.Folder() / "r.txt");
    EXPECT_FALSE(form.EditMode());
    EXPECT_FALSE(form.btnSaveRecipe().Enabled());
    fw::Listbox& recipes = form.lstRecipe();
    fw::Listbox& categories = form.lstCategory();
    ASSERT_EQ(recipes.ListCount(), 2);
    ASSERT_EQ(categories.ListCount(), 2);
    EXPECT_EQ(recipes.Cell(0, 0) + recipes.CellTag(0, 0).Text() + recipes.Cell(1, 0) +
                  recipes.CellTag(1, 0).Text(),
              "Apple2Banana1");
    EXPECT_EQ(categories.Cell(0, 0) + categories.CellTag(0, 0).Text() + categories.Cell(1, 0) +
                  categories.CellTag(1, 0).Text(),
              "Fish2General1");
    ASSERT_EQ(form.cboRecipeCategory().ListCount(), 2);
    EXPECT_EQ(form.cboRecipeCategory().RowTag(0).Text(), "2");
    EXPECT_EQ(form.cboCategory().ListCount(), 3);

    recipes.SelectRowAsUser(0);
    form.btnEditRecipe().Push();
    QTest::keyClick(form.txtRecipeName().NativeWidget(), Qt::Key_End);
    QTest::keyClicks(form.txtRecipeName().NativeWidget(), " pie");
    form.btnSaveRecipe().Push();
    auto db = h.OpenDatabase();
    EXPECT_EQ(Recipes(*db), (Texts{"Banana|1:integer|Peel\n", "Apple pie|2:integer|Core\n"}));
    recipes.SelectRowAsUser(1);
    h.Dialogs().ExpectConfirm("Delete");
    form.btnDeleteRecipe().Push();
    EXPECT_EQ(Recipes(*db), (Texts{"Apple pie|2:integer|Core\n"}));

    form.tpnlMain().Value(1);
    categories.SelectRowAsUser(0);
    form.btnEditCategory().Push();
    QTest::keyClick(form.txtCategoryName().NativeWidget(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(form.txtCategoryName().NativeWidget(), "Seafood");
    form.btnSaveCategory().Push();
    EXPECT_EQ(Categories(*db), (Texts{"1:General", "2:Seafood"}));
}
