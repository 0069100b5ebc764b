#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <set>

#include "QueryHelpers.h"
#include "database/Database.h"
#include "support/TempDir.h"
#include "tools/DatabaseFileMaker.h"

namespace fs = std::filesystem;

namespace {

using Strings = std::vector<std::string>;

std::string ReadBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::set<std::string> Listing(const fs::path& dir) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

TEST(DatabaseFileMakerTest, CreatesTheTablesAndStartingRowsAndNothingElse) {
    TempDir dir;
    const fs::path file = dir.path() / "book.rsd";
    std::string error;
    ASSERT_TRUE(CreateDatabaseFile(file, &error)) << error;
    EXPECT_EQ(Listing(dir.path()), std::set<std::string>{"book.rsd"});

    Database db;
    db.DatabaseFile(file);
    ASSERT_TRUE(db.Connect()) << db.ErrorMessage();
    EXPECT_EQ(ColumnValues(db,
                           "SELECT name AS v FROM sqlite_master WHERE type = 'table' "
                           "ORDER BY name"),
              (Strings{"Category", "Preferences", "Recipe"}));
    EXPECT_EQ(ColumnValues(db, "SELECT CategoryId || '|' || Name AS v FROM Category"),
              Strings{"1|General"});
    EXPECT_EQ(ColumnValues(db, "SELECT Id || '|' || PageSetup AS v FROM Preferences"),
              Strings{"1|"});
    EXPECT_EQ(ColumnValues(db, "SELECT Name AS v FROM Recipe"), Strings{});
}

TEST(DatabaseFileMakerTest, NeverTouchesAnExistingFile) {
    TempDir dir;
    const fs::path made = dir.path() / "made.rsd";
    const fs::path foreign = dir.path() / "foreign.rsd";
    std::string error;
    ASSERT_TRUE(CreateDatabaseFile(made, &error)) << error;
    std::ofstream(foreign, std::ios::binary) << "my own notes, not a database";
    // An old timestamp: a rewrite within the same second could otherwise keep the mtime.
    const auto old_time = fs::file_time_type::clock::now() - std::chrono::hours(24 * 400);

    for (const fs::path& file : {made, foreign}) {
        SCOPED_TRACE(file.string());
        fs::last_write_time(file, old_time);
        const std::string bytes = ReadBytes(file);
        EXPECT_TRUE(CreateDatabaseFile(file, &error)) << error;
        EXPECT_EQ(ReadBytes(file), bytes);
        EXPECT_EQ(fs::last_write_time(file), old_time);
    }
    EXPECT_EQ(Listing(dir.path()), (std::set<std::string>{"foreign.rsd", "made.rsd"}));
}

TEST(DatabaseFileMakerTest, FailsWithAReasonAndLeavesNothingBehind) {
    TempDir dir;
    std::string error;
    EXPECT_FALSE(CreateDatabaseFile(dir.path() / "no_such_folder" / "book.rsd", &error));
    EXPECT_FALSE(error.empty());

    fs::create_directory(dir.path() / "taken");
    error.clear();
    EXPECT_FALSE(CreateDatabaseFile(dir.path() / "taken", &error));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(fs::is_directory(dir.path() / "taken"));
    EXPECT_EQ(Listing(dir.path()), std::set<std::string>{"taken"});
}

}  // namespace
