// Backup and restore of a large book, and restores of damaged backup files.

#include <gtest/gtest.h>

#include <optional>
#include <random>

#include "shell/BackupTestSupport.h"

using namespace backup_test;

namespace {

const std::vector<std::string> kWords = {
    "salt", "O'Neil's", "\"hot\"", "crème", "brûlée", "🍮",   "日本", "--", ";",           "%",
    "_",    "')",       "|",       "#EOT",  "#BOF",   "#EO", "\\",   "\t", "\xEF\xBB\xBF"};
const std::string kByteOrderMark = "\xEF\xBB\xBF";
const char* const kLineEnds[] = {"\n", "\n", "\r\n", "\r"};

std::string Words(std::mt19937& rng, int count) {
    std::string text;
    for (int i = 0; i < count; ++i) text += (i ? " " : "") + kWords[rng() % kWords.size()];
    return text;
}

// Directions of every shape: none, one line, several lines with empty ones and every kind of line
// end, and long ones.
// Category 13 and the deleted 4 and 8 leave recipes without a category.
void SeedBook(Database& db, int recipes, unsigned seed) {
    std::mt19937 rng(seed);
    Exec(db, "begin transaction");
    for (std::int64_t c = 2; c <= 12; ++c)
        Exec(db, "INSERT INTO Category (CategoryId, Name) VALUES (?, ?)",
             {c, "Category " + std::to_string(c) + " " + Words(rng, 2)});
    Exec(db, "DELETE FROM Category WHERE CategoryId IN (4, 8)");
    for (int i = 0; i < recipes; ++i) {
        std::string directions;
        switch (i % 4) {
            case 1:
                directions = Words(rng, 6);
                break;
            case 2:
                for (int line = 0; line < 5; ++line)
                    directions += Words(rng, line % 3) + kLineEnds[rng() % std::size(kLineEnds)];
                break;
            case 3:
                for (int line = 0; line < 200; ++line) directions += Words(rng, 8) + "\n";
                directions += "no line end at the end";
                break;
        }
        std::string name = Words(rng, 3);
        std::replace(name.begin(), name.end(), '|', '!');
        Exec(db, "INSERT INTO Recipe (Name, CategoryId, Directions) VALUES (?, ?, ?)",
             {name + " " + std::to_string(i), static_cast<std::int64_t>(1 + rng() % 13),
              directions});
    }
    db.Commit();
}

// Name, category name and directions in stored order; a recipe without a category shows the
// default category's name, and directions show every line end as "\n": where a backup puts them.
std::vector<std::string> RecipesByCategoryName(Database& db) {
    const std::string defaultName = "(SELECT Name FROM Category WHERE CategoryId = 1)";
    return Rows(db, "SELECT r.Name || '>' || coalesce(c.Name, " + defaultName +
                        ") || '>' || replace(replace(r.Directions, char(13, 10), char(10)), "
                        "char(13), char(10)) AS v FROM Recipe r LEFT JOIN Category c USING "
                        "(CategoryId) ORDER BY r.RecipeId");
}

// The lines as a reader sees them, whatever their line ends.
std::vector<std::string> ReaderLines(const std::string& text) {
    std::vector<std::string> lines;
    std::string line;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') {
            line += text[i];
            continue;
        }
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        lines.push_back(std::move(line));
        line.clear();
    }
    if (!line.empty())
        lines.push_back(line);
    return lines;
}

// What a restore of these bytes must leave in the tables, categories and recipes as Categories()
// and Recipes() show them, by the reading rules written out plainly; nothing when the file must
// be refused.
std::optional<std::pair<std::vector<std::string>, std::vector<std::string>>> ExpectedRestore(
    std::string bytes) {
    if (bytes.starts_with(kByteOrderMark))
        bytes.erase(0, kByteOrderMark.size());
    const std::vector<std::string> lines = ReaderLines(bytes);
    std::vector<std::string> categories, recipes;
    std::size_t at = 0;
    for (; at < lines.size() && lines[at] != "#EOT"; ++at)
        categories.push_back(std::to_string(categories.size() + 1) + ":" + lines[at]);
    if (at == lines.size() || categories.empty())
        return std::nullopt;
    std::optional<std::string> header;
    for (++at; at < lines.size() && lines[at] != "#EOT"; ++at) {
        if (lines[at] != "#BOF") {
            header = lines[at];
            continue;
        }
        if (!header || header->find('|') == std::string::npos)
            return std::nullopt;
        const std::string name = header->substr(0, header->find('|'));
        std::string piece = header->substr(name.size() + 1);
        piece = piece.substr(0, piece.find('|'));
        if (piece.empty() || piece.find_first_not_of("0123456789") != std::string::npos)
            return std::nullopt;
        // A place that is no category's, however many digits it has, is the first category.
        piece.erase(0, std::min(piece.find_first_not_of('0'), piece.size()));
        std::size_t place = piece.size() > 9 ? 0 : std::stoul("0" + piece);
        if (place < 1 || place > categories.size())
            place = 1;
        std::string directions;
        for (std::size_t first = ++at; at < lines.size() && lines[at] != "#EOF"; ++at)
            directions += (at == first ? "" : "\n") + lines[at];
        if (at == lines.size())
            return std::nullopt;
        recipes.push_back(name + "|" + std::to_string(place) + ":integer|" + directions);
    }
    if (at == lines.size())
        return std::nullopt;
    return std::make_pair(categories, recipes);
}

std::string Damage(const std::string& original, std::mt19937& rng) {
    std::vector<std::string> lines = ReaderLines(original);
    auto at = [&](std::size_t extra = 0) { return rng() % (lines.size() + extra); };
    const char* const strays[] = {"",
                                  "x",
                                  "|",
                                  "Name|1",
                                  "Name|abc",
                                  "#eot",
                                  "#EOT",
                                  " #EOT",
                                  "#EOT ",
                                  "#BOF",
                                  "#EOF",
                                  "S|2|x",
                                  "N|99999999999999999999999",
                                  "'); DROP TABLE Recipe; --|1",
                                  "\xEF\xBB\xBF#EOT"};
    for (int k = 1 + static_cast<int>(rng() % 3); k > 0 && !lines.empty(); --k) {
        switch (rng() % 5) {
            case 0:
                std::swap(lines[at()], lines[at()]);
                break;
            case 1:
                lines.insert(lines.begin() + static_cast<long>(at(1)),
                             strays[rng() % std::size(strays)]);
                break;
            case 2:
                lines.erase(lines.begin() + static_cast<long>(at()));
                break;
            case 3:
                lines[at()] = strays[rng() % std::size(strays)];
                break;
            case 4: {
                std::string huge(1 << 20, 'a');
                for (char& c : huge) c = "ab|9 #"[rng() % 6];
                lines.insert(lines.begin() + static_cast<long>(at(1)), huge);
                break;
            }
        }
    }
    bool mixed = rng() % 4 == 0;
    std::string text = rng() % 4 == 0 ? kByteOrderMark : "";
    for (const std::string& line : lines)
        text += line + (mixed ? kLineEnds[rng() % std::size(kLineEnds)] : "\n");
    if (rng() % 3 == 0) {
        for (int k = 1 + static_cast<int>(rng() % 4); k > 0 && !text.empty(); --k)
            text.insert(rng() % text.size(), 1, "\xff\xc3\x80\xfe"[rng() % 4]);
    }
    if (rng() % 3 == 0 && !text.empty())
        text.resize(rng() % text.size());
    return text;
}

}  // namespace

TEST(BackupRoundTrip, LargeBookComesBackAndBacksUpAgainByteForByte) {
    LarderonHarness h(Seeded([](Database& db) { SeedBook(db, 3000, 7); }));
    h.Start();
    auto db = h.OpenDatabase();
    const std::vector<std::string> expected = RecipesByCategoryName(*db);
    const auto first = h.Folder() / "first.txt";
    const auto second = h.Folder() / "second.txt";
    Backup(h, first);
    Restore(h, first);
    Backup(h, second);
    const std::vector<std::string> messages = h.Dialogs().Messages();
    ASSERT_EQ(messages.size(), 3u);
    // The carriage returns and the recipes without a category are named the first time only.
    EXPECT_NE(messages[0].find("carriage returns in the directions"), std::string::npos);
    EXPECT_NE(messages[0].find("its category no longer exists"), std::string::npos);
    EXPECT_EQ(messages[1], "Restore completed.");
    EXPECT_EQ(messages[2], "Backup completed.");
    EXPECT_EQ(QueryText(*db, "SELECT count(*) AS v FROM Recipe"), "3000");
    EXPECT_TRUE(RecipesByCategoryName(*db) == expected);
    const std::string before = ReadBytes(first);
    EXPECT_GT(before.size(), 1'000'000u);
    EXPECT_TRUE(ReadBytes(second) == before)
        << "sizes " << before.size() << " and " << ReadBytes(second).size();
}

// Backup files, whole or damaged in every way a file can be (lines swapped, lost, added or
// replaced by markers and stray headers, huge lines, odd bytes, a byte-order mark, any line
// ends, cut off anywhere): each restore either brings exactly what the file holds or changes
// nothing.
TEST(BackupRoundTrip, DamagedFilesEitherRestoreExactlyOrLeaveTheTablesAsTheyWere) {
    LarderonHarness h(Seeded([](Database& db) { SeedBook(db, 40, 11); }));
    h.Start();
    auto db = h.OpenDatabase();
    const std::vector<std::string> book = RecipesByCategoryName(*db);
    Backup(h, h.Folder() / "good.txt");
    const std::string original = ReadBytes(h.Folder() / "good.txt");
    int restored = 0, refused = 0;
    for (unsigned seed = 1; seed <= 100; ++seed) {
        SCOPED_TRACE(::testing::Message() << "seed " << seed);
        std::mt19937 rng(seed);
        const bool whole = seed % 10 == 0;
        const std::string bytes = whole ? original : Damage(original, rng);
        WriteBytes(h.Folder() / "damaged.txt", bytes);
        const std::vector<std::string> before = Tables(*db);
        h.Dialogs().ClearLog();
        Restore(h, h.Folder() / "damaged.txt");
        const auto expected = ExpectedRestore(bytes);
        if (expected) {
            ++restored;
            EXPECT_EQ(h.Dialogs().Log(),
                      (std::vector<std::string>{"open", "msgbox:Restore completed."}));
            EXPECT_TRUE(Categories(*db) == expected->first) << "the categories differ";
            EXPECT_TRUE(Recipes(*db) == expected->second) << "the recipes differ";
            if (whole) {
                EXPECT_TRUE(RecipesByCategoryName(*db) == book);
            }
        } else {
            ++refused;
            EXPECT_EQ(h.Dialogs().Log(), (std::vector<std::string>{
                                             "open", "beep", "msgbox:Restore was unsuccessful."}));
            EXPECT_TRUE(Tables(*db) == before) << "the tables changed";
        }
    }
    // Both outcomes must have been met, or the damage tested only one path.
    EXPECT_GT(restored, 10);
    EXPECT_GT(refused, 10);
}
