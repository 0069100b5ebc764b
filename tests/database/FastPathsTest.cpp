// The database layer's fast paths: column look-up by name as every refill uses it, reading
// through the memory map while another connection grows and shrinks the file underneath, and
// statements with bound values kept for the next call.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <set>
#include <string>

#include "QueryHelpers.h"
#include "database/Database.h"
#include "support/TempDir.h"
#include "support/TestDatabase.h"

namespace fs = std::filesystem;

namespace {

using Strings = std::vector<std::string>;

void Connect(Database& db, const fs::path& file) {
    db.DatabaseFile(file);
    ASSERT_TRUE(db.Connect()) << db.ErrorMessage();
}

TEST(FastPathsTest, FieldFindsAColumnInAnySpellingAndTheFirstOfEqualNamesWins) {
    TempDir dir;
    Database db;
    Connect(db, MakeTestDatabase(dir.path()));
    auto row =
        db.SQLSelect("SELECT 'first' AS name, 'second' AS Name, 7 AS RecipeId, NULL AS Missing");
    ASSERT_NE(row, nullptr) << db.ErrorMessage();

    // The exactly spelled "Name" is the second column; the first that matches in any letter
    // case is still the one meant.
    EXPECT_EQ(row->Field("Name").StringValue(), "first");
    EXPECT_EQ(row->Field("NAME").StringValue(), "first");
    EXPECT_EQ(row->Field("name").StringValue(), "first");
    EXPECT_EQ(row->Field("recipeID").StringValue(), "7");
    EXPECT_EQ(row->Field("Missing").StringValue(), "");
    EXPECT_THROW(row->Field("Nam"), DatabaseException);
    EXPECT_THROW(row->Field("Names"), DatabaseException);
}

TEST(FastPathsTest, ReadsSeeAnotherConnectionsWritesWhileTheFileGrowsAndShrinks) {
    TempDir dir;
    const fs::path file = MakeTestDatabase(dir.path());
    Database reader;
    Connect(reader, file);
    ASSERT_NE(ColumnValues(reader, "PRAGMA mmap_size", "mmap_size"), (Strings{"0"}))
        << "the rest of this test is about reading through the map";
    EXPECT_EQ(OneValue(reader, "SELECT count(*) AS v FROM Recipe"), "0");

    // Grown by a few megabytes, well past what the reader mapped when it first read the file.
    Database writer;
    Connect(writer, file);
    writer.SQLExecute("begin transaction");
    for (int i = 0; i < 3000; ++i) {
        writer.SQLExecute("INSERT INTO Recipe (Name, Directions) VALUES (?, ?)",
                          {"Loaf " + std::to_string(10000 + i),
                           std::string(600, static_cast<char>('a' + i % 26))});
        ASSERT_FALSE(writer.Error()) << writer.ErrorMessage();
    }
    writer.Commit();
    ASSERT_FALSE(writer.Error()) << writer.ErrorMessage();
    const auto grown = fs::file_size(file);

    EXPECT_EQ(OneValue(reader, "SELECT count(*) AS v FROM Recipe"), "3000");
    EXPECT_EQ(OneValue(reader, "SELECT Directions AS v FROM Recipe ORDER BY Name DESC LIMIT 1"),
              std::string(600, static_cast<char>('a' + 2999 % 26)));

    // Shrunk below what the reader has mapped by now.
    writer.SQLExecute("DELETE FROM Recipe WHERE RecipeId > 2");
    writer.SQLExecute("VACUUM");
    ASSERT_FALSE(writer.Error()) << writer.ErrorMessage();
    ASSERT_LT(fs::file_size(file), grown / 10);

    EXPECT_EQ(ColumnValues(reader, "SELECT Name AS v FROM Recipe ORDER BY Name"),
              (Strings{"Loaf 10000", "Loaf 10001"}));
    reader.SQLExecute("UPDATE Recipe SET Name = 'Soda Bread' WHERE RecipeId = 1");
    EXPECT_FALSE(reader.Error()) << reader.ErrorMessage();
    EXPECT_EQ(OneValue(writer, "SELECT Name AS v FROM Recipe WHERE RecipeId = 1"), "Soda Bread");

    // Reading through a map leaves nothing beside the book: no journal, no shared-memory file.
    reader.Close();
    writer.Close();
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir.path()))
        names.insert(entry.path().filename().string());
    EXPECT_EQ(names, std::set<std::string>{file.filename().string()});
}

TEST(FastPathsTest, KeptStatementsRunWithEachCallsValuesAndRecoverFromAFailure) {
    TempDir dir;
    Database db;
    Connect(db, MakeTestDatabase(dir.path()));
    const std::string insertCategory = "INSERT INTO Category (Name) VALUES (?)";
    const std::string insertRecipe = "INSERT INTO Recipe (Name, CategoryId) VALUES (?, ?)";

    // More texts than are kept, taken in turn twice: each call must run its own statement.
    for (int round = 0; round < 2; ++round) {
        for (int i = 0; i < 10; ++i) {
            db.SQLExecute(
                "INSERT INTO Recipe (Name, CategoryId) VALUES (?, " + std::to_string(i) + ")",
                {"Round " + std::to_string(round)});
            ASSERT_FALSE(db.Error()) << db.ErrorMessage();
        }
    }
    EXPECT_EQ(ColumnValues(db,
                           "SELECT CategoryId || ':' || group_concat(Name, ',') AS v FROM "
                           "(SELECT * FROM Recipe ORDER BY RecipeId) GROUP BY CategoryId "
                           "ORDER BY CategoryId LIMIT 3"),
              (Strings{"0:Round 0,Round 1", "1:Round 0,Round 1", "2:Round 0,Round 1"}));

    db.SQLExecute(insertCategory, {std::string("Soups")});
    db.SQLExecute(insertRecipe, {std::string("Leek Soup"), std::int64_t{2}});
    db.SQLExecute(insertCategory, {nullptr});
    EXPECT_TRUE(db.Error());
    EXPECT_EQ(db.ErrorCode(), SQLITE_CONSTRAINT);
    EXPECT_NE(db.ErrorMessage().find("NOT NULL"), std::string::npos) << db.ErrorMessage();
    db.SQLExecute(insertCategory, {std::string("Sweets")});
    EXPECT_FALSE(db.Error()) << db.ErrorMessage();
    db.SQLExecute(insertCategory, {std::string("too"), std::string("many")});
    EXPECT_EQ(db.ErrorCode(), SQLITE_RANGE);
    db.SQLExecute(insertRecipe, {std::string("Fudge"), std::int64_t{3}});
    EXPECT_FALSE(db.Error()) << db.ErrorMessage();

    EXPECT_EQ(ColumnValues(db, "SELECT Name AS v FROM Category ORDER BY CategoryId"),
              (Strings{"General", "Soups", "Sweets"}));
    EXPECT_EQ(ColumnValues(db,
                           "SELECT Name || ':' || CategoryId AS v FROM Recipe WHERE "
                           "CategoryId >= 2 AND Name NOT LIKE 'Round%' ORDER BY RecipeId"),
              (Strings{"Leek Soup:2", "Fudge:3"}));
}

TEST(FastPathsTest, BoundValuesGoToTheFirstOfSeveralStatementsAndAllOfThemRun) {
    TempDir dir;
    Database db;
    Connect(db, MakeTestDatabase(dir.path()));
    const std::string twoStatements =
        "INSERT INTO Category (Name) VALUES (?); INSERT INTO Category (Name) VALUES ('Fixed')";
    db.SQLExecute(twoStatements, {std::string("Bound")});
    db.SQLExecute(twoStatements, {std::string("Again")});
    EXPECT_FALSE(db.Error()) << db.ErrorMessage();
    EXPECT_EQ(ColumnValues(db, "SELECT Name AS v FROM Category ORDER BY CategoryId"),
              (Strings{"General", "Bound", "Fixed", "Again", "Fixed"}));
}

}  // namespace
