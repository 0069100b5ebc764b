#include <sqlite3.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <set>

#include "QueryHelpers.h"
#include "database/Database.h"
#include "support/TempDir.h"
#include "support/TestDatabase.h"
#include "support/Unprivileged.h"

namespace fs = std::filesystem;

namespace {

using Strings = std::vector<std::string>;

std::string ReadBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const fs::path& file, const std::string& bytes) {
    std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
}

std::set<std::string> Listing(const fs::path& dir) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

std::size_t OpenDescriptors() {
    return static_cast<std::size_t>(
        std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator()));
}

TEST(DatabaseConnectTest, RefusesWhatIsNotAWholeDatabaseAndChangesNothing) {
    TempDir dir;
    const std::string good = ReadBytes(MakeTestDatabase(dir.path()));
    ASSERT_GT(good.size(), 8192u);
    // A header that passes the quick checks but heads a page of garbage: only the engine can
    // tell, so this is the case that actually opens a handle.
    std::string bad_first_page = good.substr(0, 100) + std::string(4096 - 100, '\xA5');
    bad_first_page[28] = bad_first_page[29] = bad_first_page[30] = 0;
    bad_first_page[31] = 1;

    const fs::path cases = dir.path() / "cases";
    fs::create_directory(cases);
    WriteBytes(cases / "empty", "");
    WriteBytes(cases / "garbage", std::string(8192, 'x'));
    WriteBytes(cases / "truncated", good.substr(0, good.size() - 4096));
    WriteBytes(cases / "corrupt", bad_first_page);
    fs::create_directory(cases / "folder");
    const std::set<std::string> before = Listing(cases);
    const std::size_t descriptors = OpenDescriptors();

    for (const char* name : {"missing", "empty", "garbage", "truncated", "corrupt", "folder"}) {
        SCOPED_TRACE(name);
        const fs::path file = cases / name;
        const std::string bytes = fs::is_regular_file(file) ? ReadBytes(file) : "";
        Database db;
        db.DatabaseFile(file);
        EXPECT_FALSE(db.Connect());
        EXPECT_FALSE(db.IsConnected());
        EXPECT_TRUE(db.Error());
        EXPECT_FALSE(db.ErrorMessage().empty());
        EXPECT_EQ(OpenDescriptors(), descriptors);
        if (fs::is_regular_file(file)) {
            EXPECT_EQ(ReadBytes(file), bytes);
        }
    }
    EXPECT_EQ(Listing(cases), before);
}

TEST(DatabaseConnectTest, ConnectsToAWholeDatabaseAndClosesAnyNumberOfTimes) {
    TempDir dir;
    Database db;
    db.Close();
    EXPECT_FALSE(db.IsConnected());
    db.DatabaseFile(MakeTestDatabase(dir.path()));
    EXPECT_EQ(db.DatabaseFile(), dir.path() / "larderon_db.rsd");
    ASSERT_TRUE(db.Connect()) << db.ErrorMessage();
    EXPECT_TRUE(db.IsConnected());
    EXPECT_FALSE(db.Error());
    db.Close();
    db.Close();
    EXPECT_FALSE(db.IsConnected());
    ASSERT_TRUE(db.Connect()) << db.ErrorMessage();
}

TEST(DatabaseConnectTest, AWriteProtectedBookOpensForReadingAndEveryWriteIsRefused) {
    if (RanAsAnUnprivilegedUser())
        return;
    const fs::perms readOnly = fs::perms::owner_read | fs::perms::owner_exec;
    struct Case {
        const char* what;
        bool fileProtected;
        bool folderProtected;
    };
    for (const Case& c : {Case{"file", true, false}, Case{"folder", false, true},
                          Case{"file and folder", true, true}}) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        // Writable again before the folder is removed, however the case ends.
        struct Writable {
            fs::path folder;
            ~Writable() {
                std::error_code ignored;
                fs::permissions(folder, fs::perms::owner_all, ignored);
            }
        } writableAtTheEnd{dir.path()};
        const fs::path file = MakeTestDatabase(dir.path());
        {
            Database setup;
            setup.DatabaseFile(file);
            ASSERT_TRUE(setup.Connect()) << setup.ErrorMessage();
            setup.SQLExecute("INSERT INTO Category (Name) VALUES ('Soups')");
            ASSERT_FALSE(setup.Error()) << setup.ErrorMessage();
        }
        if (c.fileProtected)
            fs::permissions(file, fs::perms::owner_read);
        if (c.folderProtected)
            fs::permissions(dir.path(), readOnly);
        const std::string bytes = ReadBytes(file);
        const std::set<std::string> listing = Listing(dir.path());

        Database db;
        db.DatabaseFile(file);
        ASSERT_TRUE(db.Connect()) << db.ErrorMessage();
        EXPECT_EQ(ColumnValues(db, "SELECT Name AS v FROM Category ORDER BY CategoryId"),
                  (Strings{"General", "Soups"}));
        db.SQLExecute("begin transaction");
        EXPECT_FALSE(db.Error()) << db.ErrorMessage();
        DatabaseRecord record;
        record.Column("Name", "Sweets");
        db.InsertRecord("Category", record);
        EXPECT_TRUE(db.Error());
        EXPECT_EQ(db.ErrorCode(), SQLITE_READONLY) << db.ErrorMessage();
        EXPECT_EQ(db.ErrorMessage(), "attempt to write a readonly database");
        db.Rollback();
        db.SQLExecute("DELETE FROM Category WHERE CategoryId = 2");
        EXPECT_EQ(db.ErrorCode(), SQLITE_READONLY) << db.ErrorMessage();
        EXPECT_EQ(ColumnValues(db, "SELECT Name AS v FROM Category ORDER BY CategoryId"),
                  (Strings{"General", "Soups"}));
        db.Close();

        EXPECT_EQ(ReadBytes(file), bytes);
        EXPECT_EQ(Listing(dir.path()), listing) << "no journal left behind";
    }
}

TEST(DatabaseConnectTest, UseWhileNotConnectedThrows) {
    Database db;
    EXPECT_THROW(db.SQLExecute("SELECT 1"), DatabaseException);
    EXPECT_THROW(db.SQLSelect("SELECT 1"), DatabaseException);
    EXPECT_THROW(db.InsertRecord("Category", DatabaseRecord()), DatabaseException);
    EXPECT_THROW(db.Commit(), DatabaseException);
    EXPECT_THROW(db.Rollback(), DatabaseException);

    TempDir dir;
    db.DatabaseFile(MakeTestDatabase(dir.path()));
    ASSERT_TRUE(db.Connect()) << db.ErrorMessage();
    db.Close();
    EXPECT_THROW(db.SQLExecute("SELECT 1"), DatabaseException);
}

class DatabaseLayerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        db_.DatabaseFile(MakeTestDatabase(dir_.path()));
        ASSERT_TRUE(db_.Connect()) << db_.ErrorMessage();
        db_.SQLExecute(
            "INSERT INTO Category (Name) VALUES ('Soups'); "
            "INSERT INTO Category (Name) VALUES ('Sweets');");
        ASSERT_FALSE(db_.Error()) << db_.ErrorMessage();
    }

    Strings CategoryNames() {
        return ColumnValues(db_, "SELECT Name AS v FROM Category ORDER BY CategoryId");
    }

    TempDir dir_;
    Database db_;
};

TEST_F(DatabaseLayerTest, ErrorReflectsTheLatestOperation) {
    EXPECT_EQ(db_.SQLSelect("SELECT * FROM NoSuchTable"), nullptr);
    EXPECT_TRUE(db_.Error());
    EXPECT_EQ(db_.ErrorCode(), SQLITE_ERROR);
    EXPECT_NE(db_.ErrorMessage().find("no such table"), std::string::npos) << db_.ErrorMessage();
    EXPECT_NE(db_.SQLSelect("SELECT * FROM Category"), nullptr);
    EXPECT_FALSE(db_.Error());
    EXPECT_EQ(db_.ErrorCode(), SQLITE_OK);

    db_.Rollback();
    EXPECT_TRUE(db_.Error()) << "rollback with no transaction";
    DatabaseRecord record;
    record.Column("Name", "Salads");
    db_.InsertRecord("Category", record);
    EXPECT_FALSE(db_.Error()) << db_.ErrorMessage();

    // The third row overflows abs(), so the step to it fails after a good first row.
    auto records = db_.SQLSelect(
        "SELECT CASE WHEN CategoryId = 3 THEN abs(-9223372036854775807 - 1) ELSE CategoryId END "
        "AS v FROM Category ORDER BY CategoryId");
    ASSERT_NE(records, nullptr) << db_.ErrorMessage();
    records->MoveNext();
    EXPECT_FALSE(db_.Error()) << db_.ErrorMessage();
    records->MoveNext();
    EXPECT_TRUE(db_.Error());
    EXPECT_TRUE(records->Eof());
    EXPECT_NE(db_.ErrorMessage().find("overflow"), std::string::npos) << db_.ErrorMessage();
    records->MoveNext();
    EXPECT_TRUE(records->Eof()) << "a failed set must not start over";
}

TEST_F(DatabaseLayerTest, BoundValuesMustMatchThePlaceholders) {
    EXPECT_EQ(ColumnValues(db_, "SELECT Name AS v FROM Category WHERE CategoryId = ?", "v",
                           {std::int64_t{2}}),
              Strings{"Soups"});
    EXPECT_EQ(db_.SQLSelect("SELECT * FROM Category WHERE CategoryId = ?"), nullptr);
    EXPECT_EQ(db_.ErrorCode(), SQLITE_RANGE);
    db_.SQLExecute("DELETE FROM Category WHERE CategoryId = ?", {std::int64_t{2}, "extra"});
    EXPECT_EQ(db_.ErrorCode(), SQLITE_RANGE);
    EXPECT_EQ(CategoryNames(), (Strings{"General", "Soups", "Sweets"}));
    // A second statement would never run under SQLSelect, so it is refused rather than dropped.
    EXPECT_EQ(db_.SQLSelect("SELECT 1; DELETE FROM Category"), nullptr);
    EXPECT_TRUE(db_.Error());
    EXPECT_EQ(CategoryNames(), (Strings{"General", "Soups", "Sweets"}));
}

TEST_F(DatabaseLayerTest, UpdateWritesTheRowThatWasCurrentAtEdit) {
    db_.SQLExecute(
        "INSERT INTO Recipe (Name) VALUES ('Broth'); "
        "INSERT INTO Recipe (Name) VALUES ('Stew');");
    auto records = db_.SQLSelect("SELECT * FROM Recipe ORDER BY RecipeId");
    ASSERT_TRUE(records && !records->Eof()) << db_.ErrorMessage();
    records->Edit();
    records->MoveNext();
    ASSERT_FALSE(records->Eof());
    records->Field("directions").StringValue("Simmer.");
    records->Field("CATEGORYID").IntegerValue(3);
    EXPECT_EQ(records->Field("Directions").StringValue(), "Simmer.");
    records->Update();
    ASSERT_FALSE(db_.Error()) << db_.ErrorMessage();
    EXPECT_EQ(ColumnValues(db_,
                           "SELECT Name || '|' || Directions || '|' || CategoryId || '|' || "
                           "typeof(CategoryId) AS v FROM Recipe ORDER BY RecipeId"),
              (Strings{"Broth|Simmer.|3|integer", "Stew||1|integer"}));

    // Nothing set: nothing written, and a success that clears an earlier failure.
    db_.Rollback();
    ASSERT_TRUE(db_.Error());
    records->Edit();
    records->Update();
    EXPECT_FALSE(db_.Error()) << db_.ErrorMessage();
}

TEST_F(DatabaseLayerTest, FailingUpdateReportsTheEnginesCodeAndMessage) {
    db_.SQLExecute(
        "CREATE TRIGGER NoRenames BEFORE UPDATE ON Category BEGIN SELECT RAISE(ABORT, 'no'); END");
    ASSERT_FALSE(db_.Error()) << db_.ErrorMessage();
    auto records = db_.SQLSelect("SELECT * FROM Category WHERE CategoryId = 2");
    ASSERT_TRUE(records && !records->Eof()) << db_.ErrorMessage();
    records->Edit();
    records->Field("Name").StringValue("Stews");
    records->Update();
    EXPECT_TRUE(db_.Error());
    EXPECT_EQ(db_.ErrorCode(), SQLITE_CONSTRAINT);
    EXPECT_EQ(db_.ErrorMessage(), "no");
    EXPECT_EQ(CategoryNames(), (Strings{"General", "Soups", "Sweets"}));
}

TEST_F(DatabaseLayerTest, EditNeedsACurrentRowOfASingleKeyedTable) {
    auto empty = db_.SQLSelect("SELECT * FROM Category WHERE CategoryId = 99");
    ASSERT_TRUE(empty && empty->Eof()) << db_.ErrorMessage();
    EXPECT_THROW(empty->Edit(), DatabaseException);
    EXPECT_THROW(empty->Field("Name"), DatabaseException);

    auto records = db_.SQLSelect("SELECT * FROM Category");
    ASSERT_TRUE(records && !records->Eof()) << db_.ErrorMessage();
    EXPECT_THROW(records->Field("NoSuchColumn"), DatabaseException);
    EXPECT_THROW(records->Field("Name").StringValue("x"), DatabaseException) << "before Edit";
    EXPECT_THROW(records->Update(), DatabaseException) << "before Edit";

    for (const char* sql :
         {"SELECT Name FROM Category", "SELECT c.*, r.Name AS Recipe FROM Category c, Recipe r",
          "SELECT CategoryId, upper(Name) AS Name FROM Category"}) {
        SCOPED_TRACE(sql);
        db_.SQLExecute("INSERT INTO Recipe (Name) VALUES ('Anything')");
        auto unkeyed = db_.SQLSelect(sql);
        ASSERT_TRUE(unkeyed && !unkeyed->Eof()) << db_.ErrorMessage();
        EXPECT_NO_THROW(unkeyed->Edit());
        EXPECT_TRUE(db_.Error());
        EXPECT_EQ(db_.ErrorCode(), SQLITE_MISUSE);
        unkeyed->Field("Name").StringValue("Changed");
        db_.SQLExecute("SELECT 1");
        unkeyed->Update();
        EXPECT_TRUE(db_.Error()) << "Update after a refused Edit";
    }
    EXPECT_EQ(CategoryNames(), (Strings{"General", "Soups", "Sweets"}));
}

TEST_F(DatabaseLayerTest, InsertRecordStoresValuesAsGiven) {
    DatabaseRecord record;
    record.Column("Name", "Grandma's \"best\" pie");
    record.IntegerColumn("CategoryId", 2);
    record.Column("Directions", "old");
    record.Column("Directions", "Bake.");
    db_.InsertRecord("Recipe", record);
    ASSERT_FALSE(db_.Error()) << db_.ErrorMessage();
    EXPECT_EQ(OneValue(db_,
                       "SELECT Name || '|' || typeof(CategoryId) || '|' || Directions AS v "
                       "FROM Recipe WHERE RecipeId = ?",
                       {db_.LastInsertId()}),
              "Grandma's \"best\" pie|integer|Bake.");

    db_.InsertRecord("Recipe", DatabaseRecord());
    EXPECT_FALSE(db_.Error()) << db_.ErrorMessage();
    db_.InsertRecord("NoSuchTable", record);
    EXPECT_TRUE(db_.Error());
}

TEST_F(DatabaseLayerTest, RecordSetOutlivesItsDatabase) {
    auto owner = std::make_unique<Database>();
    owner->DatabaseFile(db_.DatabaseFile());
    ASSERT_TRUE(owner->Connect()) << owner->ErrorMessage();
    auto records = owner->SQLSelect("SELECT * FROM Category ORDER BY CategoryId");
    ASSERT_NE(records, nullptr) << owner->ErrorMessage();
    owner.reset();

    Strings names;
    for (; !records->Eof(); records->MoveNext()) {
        names.push_back(records->Field("Name").StringValue());
        if (names.size() == 2) {
            records->Edit();
            records->Field("Name").StringValue("Broths");
            records->Update();
        }
    }
    EXPECT_EQ(names, (Strings{"General", "Soups", "Sweets"}));
    records->MoveNext();
    EXPECT_TRUE(records->Eof()) << "a finished set must not start over";
    EXPECT_EQ(CategoryNames(), (Strings{"General", "Broths", "Sweets"}));
    records->Close();
    records->Close();
    EXPECT_TRUE(records->Eof());
    EXPECT_THROW(records->MoveNext(), DatabaseException);
    EXPECT_THROW(records->Field("Name"), DatabaseException);
}

TEST_F(DatabaseLayerTest, SqlQuotedTextCannotEndTheLiteral) {
    const std::string hostile = "x' OR '1'='1";
    EXPECT_EQ(SqlQuote(hostile), "x'' OR ''1''=''1");
    EXPECT_EQ(ColumnValues(
                  db_, "SELECT Name AS v FROM Category WHERE Name = '" + SqlQuote(hostile) + "'"),
              Strings{});
    const std::string dropping = std::string("it's'; DROP TABLE Category; --\0!", 32);
    EXPECT_EQ(OneValue(db_, "SELECT '" + SqlQuote(dropping) + "' AS v"),
              "it's'; DROP TABLE Category; --!");
    EXPECT_EQ(CategoryNames(), (Strings{"General", "Soups", "Sweets"}));
}

}  // namespace
