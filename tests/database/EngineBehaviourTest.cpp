// The engine behaviours the app's statements rely on, checked on a database made from the real
// schema.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <random>

#include "QueryHelpers.h"
#include "database/Database.h"
#include "support/TempDir.h"
#include "support/TestDatabase.h"

namespace {

using Strings = std::vector<std::string>;

class EngineTest : public ::testing::Test {
  protected:
    void SetUp() override {
        db_.DatabaseFile(MakeTestDatabase(dir_.path()));
        ASSERT_TRUE(db_.Connect()) << db_.ErrorMessage();
    }

    void Execute(const std::string& sql) {
        db_.SQLExecute(sql);
        ASSERT_FALSE(db_.Error()) << sql << ": " << db_.ErrorMessage();
    }

    TempDir dir_;
    Database db_;
};

TEST_F(EngineTest, NewRowsGetUniqueKeysAndAnEmptiedTableStartsAtOne) {
    DatabaseRecord record;
    record.Column("Name", "Soups");
    db_.InsertRecord("Category", record);
    ASSERT_FALSE(db_.Error()) << db_.ErrorMessage();
    const std::int64_t from_record = db_.LastInsertId();
    Execute("INSERT INTO Category (Name) VALUES ('x')");
    const std::int64_t from_statement = db_.LastInsertId();

    EXPECT_NE(from_record, 1);
    EXPECT_NE(from_statement, 1);
    EXPECT_NE(from_record, from_statement);
    EXPECT_EQ(ColumnValues(db_, "SELECT CategoryId AS v FROM Category ORDER BY CategoryId"),
              (Strings{"1", std::to_string(from_record), std::to_string(from_statement)}));

    Execute("DELETE FROM Category");
    db_.InsertRecord("Category", record);
    EXPECT_EQ(db_.LastInsertId(), 1);
    EXPECT_EQ(OneValue(db_, "SELECT CategoryId AS v FROM Category"), "1");
}

TEST_F(EngineTest, QuotedAndBareKeysSelectTheSameRow) {
    for (int i = 2; i <= 7; ++i) {
        Execute("INSERT INTO Category (Name) VALUES ('Category " + std::to_string(i) + "')");
        Execute("INSERT INTO Recipe (Name) VALUES ('Recipe " + std::to_string(i - 1) + "')");
    }
    EXPECT_EQ(ColumnValues(db_, "SELECT Name AS v FROM Category WHERE CategoryId = '5'"),
              Strings{"Category 5"});
    EXPECT_EQ(ColumnValues(db_, "SELECT Name AS v FROM Category WHERE CategoryId = 5"),
              Strings{"Category 5"});
    EXPECT_EQ(ColumnValues(db_, "SELECT Name AS v FROM Recipe WHERE RecipeId = '5'"),
              Strings{"Recipe 5"});
    EXPECT_EQ(ColumnValues(db_, "SELECT Name AS v FROM Recipe WHERE RecipeId = 5"),
              Strings{"Recipe 5"});

    auto records = db_.SQLSelect("SELECT * FROM Category WHERE CategoryId = '5'");
    ASSERT_TRUE(records && !records->Eof()) << db_.ErrorMessage();
    records->Edit();
    records->Field("Name").StringValue("Renamed");
    records->Update();
    ASSERT_FALSE(db_.Error()) << db_.ErrorMessage();
    EXPECT_EQ(ColumnValues(db_, "SELECT Name AS v FROM Category ORDER BY CategoryId"),
              (Strings{"General", "Category 2", "Category 3", "Category 4", "Renamed", "Category 6",
                       "Category 7"}));
}

TEST_F(EngineTest, QuotedDigitsInAnIntegerColumnAreStoredAsIntegers) {
    Execute("INSERT INTO Recipe (Name, CategoryId) VALUES ('Stew', '3')");
    DatabaseRecord bound;
    bound.Column("Name", "Pie");
    bound.Column("CategoryId", "3");
    db_.InsertRecord("Recipe", bound);
    ASSERT_FALSE(db_.Error()) << db_.ErrorMessage();

    EXPECT_EQ(ColumnValues(db_, "SELECT typeof(CategoryId) AS v FROM Recipe"),
              (Strings{"integer", "integer"}));
    EXPECT_EQ(ColumnValues(db_, "SELECT Name AS v FROM Recipe WHERE CategoryId = 3 ORDER BY Name"),
              (Strings{"Pie", "Stew"}));
    EXPECT_EQ(
        ColumnValues(db_, "SELECT Name AS v FROM Recipe WHERE CategoryId = '3' ORDER BY Name"),
        (Strings{"Pie", "Stew"}));
    EXPECT_EQ(ColumnValues(db_, "SELECT CategoryId AS v FROM Recipe"), (Strings{"3", "3"}));
}

TEST_F(EngineTest, IntegerColumnsReadAsPlainDecimalText) {
    // 2^53 + 1 and a negative number would come out wrong if the text went through a double.
    Execute("INSERT INTO Recipe (RecipeId, Name, CategoryId) VALUES (12, 'a', 9007199254740993)");
    Execute("INSERT INTO Recipe (RecipeId, Name, CategoryId) VALUES (13, 'b', -7)");
    auto records = db_.SQLSelect("SELECT RecipeId, CategoryId FROM Recipe ORDER BY RecipeId");
    ASSERT_TRUE(records && !records->Eof()) << db_.ErrorMessage();
    EXPECT_EQ(records->Field("RecipeId").StringValue(), "12");
    EXPECT_EQ(records->Field("CategoryId").StringValue(), "9007199254740993");
    records->MoveNext();
    ASSERT_FALSE(records->Eof());
    EXPECT_EQ(records->Field("RecipeId").StringValue(), "13");
    EXPECT_EQ(records->Field("CategoryId").StringValue(), "-7");
    EXPECT_EQ(OneValue(db_, "SELECT count(*) AS v FROM Recipe"), "2");
}

TEST_F(EngineTest, LikeMatchesRunsAndExactNamesWithoutCaseAndNamesSortWithoutCase) {
    for (const char* name :
         {"Soup", "Soup of the Day", "Pea soup", "Salad", "soups", "apple", "Banana"}) {
        Execute(std::string("INSERT INTO Recipe (Name) VALUES ('") + name + "')");
    }
    const std::string query = "SELECT Name AS v FROM Recipe WHERE Name LIKE ? ORDER BY Name";
    auto like = [&](const std::string& pattern) {
        return ColumnValues(db_, query, "v", {pattern});
    };
    EXPECT_EQ(like("Soup%"), (Strings{"Soup", "Soup of the Day", "soups"}));
    EXPECT_EQ(like("%soup"), (Strings{"Pea soup", "Soup"}));
    EXPECT_EQ(like("%SOUP%"), (Strings{"Pea soup", "Soup", "Soup of the Day", "soups"}));
    EXPECT_EQ(like("soup"), Strings{"Soup"});
    EXPECT_EQ(like("Sou"), Strings{});
    EXPECT_EQ(like("%"), (Strings{"apple", "Banana", "Pea soup", "Salad", "Soup", "Soup of the Day",
                                  "soups"}));
}

TEST_F(EngineTest, LikeFoldsEveryLetterAndTakesCharactersNotBytes) {
    struct Case {
        const char* text;
        const char* pattern;
        bool matches;
    };
    const Case cases[] = {
        // Letter case, beyond A-Z.
        {"Crème Brûlée", "%CRÈME BRÛ%", true},
        {"É", "é", true},
        {"ÆØÅ ÞÐ Ÿ", "æøå þð ÿ", true},
        {"Łódź", "ŁÓDŹ", true},
        {"ΣΟΥΒΛΑΚΙ", "σουβλακι", true},
        {"ς", "Σ", true},  // the final sigma is a sigma
        {"БОРЩ і ЇЖАК", "борщ І їжак", true},
        {"ՀԱՑ", "հաց", true},
        {"STRAẞE", "straße", true},
        // A letter is not another letter, nor two.
        {"é", "e", false},
        {"Éclair", "eclair", false},
        {"e\xCC\x81", "é", false},  // e and a combining accent
        {"Straße", "strasse", false},
        {"ﬁsh", "fish", false},
        // The wildcards, around and between letters of several bytes.
        {"Crème brûlée", "%È%É%", true},
        {"Crème", "CR_ME", true},
        {"Crème", "CR__ME", false},
        {"日本", "__", true},
        {"🍰", "_", true},
        {"🍰", "__", false},
        {"Bœuf", "b_uf", true},
        // After a %, beyond the first eight bytes: letters that fold to ASCII, and a stray byte.
        {"Pepper and ſea ſalt", "%_SALT", true},
        {"Popcorn with \u212Aettle", "%kettle%", true},
        {"A long name ending in caf\xE9", "%caf\xE9", true},
        {"A long name ending in café", "%caf\xE9", false},
        // The empty pattern and the empty text.
        {"", "", true},
        {"a", "", false},
        {"", "%", true},
        {"", "_", false},
        // Bytes that are not UTF-8 count one character each and match only themselves.
        {"caf\xE9", "CAF_", true},
        {"caf\xE9", "CAF\xE9", true},
        {"caf\xE9", "café", false},
        {"\xC3", "_", true},
        {"é\xC3", "É_", true},
        {"\xF0\x9F\x8D\xB0", "%\xF0\x9F%", false},
        {"\xC0\xAF", "/", false},
        {"\xED\xA0\x80", "___", true},
        {"\xF0\x9F\x8D", "%\x8D", true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(OneValue(db_, "SELECT ? LIKE ? AS v", {c.text, c.pattern}), c.matches ? "1" : "0")
            << '"' << c.text << "\" LIKE \"" << c.pattern << '"';
    }

    // As the window sends it: quoted into the statement, the names in the engine's own order.
    for (const char* name : {"crème fraîche", "CRÈME BRÛLÉE", "Crème brûlée", "Cream"}) {
        Execute("INSERT INTO Recipe (Name) VALUES ('" + SqlQuote(name) + "')");
    }
    EXPECT_EQ(ColumnValues(db_, "SELECT Name AS v FROM Recipe WHERE Name LIKE '%" +
                                    SqlQuote("crè") + "%' ORDER BY Name"),
              (Strings{"CRÈME BRÛLÉE", "Crème brûlée", "crème fraîche"}));

    // ESCAPE: one character, of any size; it may even be one of the wildcards.
    auto escaped = [&](const char* text, const char* pattern, const char* escape) {
        return OneValue(db_, "SELECT ? LIKE ? ESCAPE ? AS v", {text, pattern, escape});
    };
    EXPECT_EQ(escaped("100%", "100!%", "!"), "1");
    EXPECT_EQ(escaped("1000", "100!%", "!"), "0");
    EXPECT_EQ(escaped("A_É", "aé_É", "é"), "1");
    EXPECT_EQ(escaped("AxÉ", "aé_É", "é"), "0");
    EXPECT_EQ(escaped("50%", "50%%", "%"), "1");
    EXPECT_EQ(escaped("50!", "50!", "!"), "0") << "a pattern ending in its escape";
    EXPECT_EQ(OneValue(db_, "SELECT ('a' LIKE 'a' ESCAPE NULL) IS NULL AS v"), "1");
    EXPECT_EQ(OneValue(db_, "SELECT (NULL LIKE 'a') IS NULL AS v"), "1");
    for (const char* escape : {"", "!!", "é!"}) {
        EXPECT_EQ(db_.SQLSelect("SELECT 'a' LIKE 'a' ESCAPE ?", {escape}), nullptr);
        EXPECT_EQ(db_.ErrorMessage(), "ESCAPE expression must be a single character");
    }
    // The engine's limit on a pattern's length still holds.
    EXPECT_EQ(OneValue(db_, "SELECT ? LIKE ? AS v", {"x", std::string(50000, '%')}), "1");
    EXPECT_EQ(db_.SQLSelect("SELECT 'x' LIKE ?", {std::string(50001, '%')}), nullptr);
    EXPECT_EQ(db_.ErrorMessage(), "LIKE or GLOB pattern too complex");
}

// The engine's own LIKE, on a connection of its own to the same file that puts nothing in its
// place: on ASCII names ours must give its answers.
class EnginesOwnLike {
  public:
    explicit EnginesOwnLike(const std::filesystem::path& file) {
        sqlite3_open_v2(file.c_str(), &db_, SQLITE_OPEN_READONLY, nullptr);
    }
    ~EnginesOwnLike() { sqlite3_close(db_); }
    EnginesOwnLike(const EnginesOwnLike&) = delete;
    EnginesOwnLike& operator=(const EnginesOwnLike&) = delete;

    // The first column of every row; a failure as its message.
    Strings Values(const std::string& sql, const Strings& params) {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK)
            return {sqlite3_errmsg(db_)};
        for (std::size_t k = 0; k < params.size(); ++k)
            sqlite3_bind_text(statement, static_cast<int>(k + 1), params[k].data(),
                              static_cast<int>(params[k].size()), SQLITE_TRANSIENT);
        Strings values;
        while (sqlite3_step(statement) == SQLITE_ROW)
            values.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)));
        sqlite3_finalize(statement);
        return values;
    }

  private:
    sqlite3* db_ = nullptr;
};

TEST_F(EngineTest, LikeGivesTheEnginesOwnAnswersOnAsciiNames) {
    EnginesOwnLike engine(db_.DatabaseFile());
    auto agree = [&](const std::string& sql, const Strings& params = {}) {
        const Strings ours =
            ColumnValues(db_, sql, "v", std::vector<SqlValue>(params.begin(), params.end()));
        EXPECT_EQ(ours, engine.Values(sql, params))
            << sql << (params.empty() ? "" : " with \"" + params[0] + "\", \"" + params[1] + '"');
        return ours;
    };

    // A run of "_" after a %, as "contains" sends it: so many characters, then what follows
    // anywhere after them. The "x" stands 1,000 characters in, 999, or nowhere.
    const std::string late = std::string(3000, 'a') + "X",
                      early = std::string(999, 'b') + "x" + std::string(2000, 'c'),
                      exact = std::string(1000, 'd') + "x";
    for (const std::string& name : {late, early, exact, std::string(2000, 'e'), std::string("x")})
        Execute("INSERT INTO Recipe (Name) VALUES ('" + name + "')");
    const std::string run(1000, '_'), search = "SELECT Name AS v FROM Recipe WHERE Name LIKE '";
    EXPECT_EQ(agree(search + "%" + run + "x%' ORDER BY Name"), (Strings{late, exact}));
    for (const std::string& pattern :
         {"%" + run + "x", "%_%" + run.substr(1) + "x%", "_%" + run.substr(1) + "x%",
          "%" + run.substr(1) + "%_x%", "%x" + run + "%", "%x" + run, "%" + run + run + "%",
          "%" + run + "%" + run + "_%", "%" + run + "x_%", "%" + run + "%x%" + run, run + "%x%"}) {
        agree(search + pattern + "' ORDER BY Name");
    }

    // Past the first eight bytes after a %, the scan passes over a name eight bytes at a time and
    // must still fold case there: at every place in a word, in the name's last whole word and in
    // the bytes after it. "[" differs from "{" by the case bit alone and is another character.
    struct Deep {
        char inName;
        const char* pattern;
        bool matches;
    };
    const Deep deep[] = {{'Q', "%q%", true}, {'q', "%Q%", true}, {'[', "%{%", false}};
    const std::string others = "abcdefghijklmnoprstuvwxyz";
    for (const std::size_t length : {48u, 53u, 64u}) {
        std::string name;
        while (name.size() < length) name += others;
        name.resize(length);
        for (std::size_t at = 8; at < length; ++at) {
            for (const Deep& d : deep) {
                std::string text = name;
                text[at] = d.inName;
                EXPECT_EQ(agree("SELECT ? LIKE ? AS v", {text, d.pattern}),
                          Strings{d.matches ? "1" : "0"});
            }
        }
    }

    // Short names and patterns of a few letters in both cases, the wildcards and an escape
    // character, drawn at random; the escape may be one of the wildcards.
    std::mt19937 random(20261207);
    const std::string letters = "aAbB%_!";
    auto draw = [&](unsigned most) {
        std::string drawn(random() % (most + 1), ' ');
        for (char& c : drawn) c = letters[random() % letters.size()];
        return drawn;
    };
    for (int k = 0; k < 1500; ++k) {
        const std::string text = draw(9), pattern = draw(6);
        agree("SELECT ? LIKE ? AS v", {text, pattern});
        agree("SELECT ? LIKE ? ESCAPE ? AS v", {text, pattern, std::string(1, "!%_"[k % 3])});
    }
}

TEST_F(EngineTest, RollbackUndoesATransactionAndCommitKeepsIt) {
    Execute("begin transaction");
    Execute("INSERT INTO Category (Name) VALUES ('Undone')");
    db_.Rollback();
    ASSERT_FALSE(db_.Error()) << db_.ErrorMessage();
    EXPECT_EQ(OneValue(db_, "SELECT count(*) AS v FROM Category"), "1");

    Execute("begin transaction");
    Execute("INSERT INTO Category (Name) VALUES ('Kept')");
    db_.Commit();
    ASSERT_FALSE(db_.Error()) << db_.ErrorMessage();
    db_.Close();
    ASSERT_TRUE(db_.Connect()) << db_.ErrorMessage();
    EXPECT_EQ(ColumnValues(db_, "SELECT Name AS v FROM Category ORDER BY CategoryId"),
              (Strings{"General", "Kept"}));
}

TEST_F(EngineTest, StatementsOutsideATransactionLastAfterReopening) {
    Execute("INSERT INTO Category (Name) VALUES ('Desserts')");
    Execute("INSERT INTO Recipe (Name, CategoryId) VALUES ('Trifle', 2)");
    Execute("UPDATE Category SET Name = 'Sweets' WHERE CategoryId = 2");
    Execute("UPDATE Preferences SET PageSetup = 'A4' WHERE Id = 1");
    db_.Close();
    ASSERT_TRUE(db_.Connect()) << db_.ErrorMessage();
    EXPECT_EQ(ColumnValues(db_, "SELECT Name AS v FROM Category ORDER BY CategoryId"),
              (Strings{"General", "Sweets"}));
    EXPECT_EQ(OneValue(db_, "SELECT Name || '/' || CategoryId AS v FROM Recipe"), "Trifle/2");
    EXPECT_EQ(OneValue(db_, "SELECT PageSetup AS v FROM Preferences"), "A4");
}

}  // namespace
