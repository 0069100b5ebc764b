// Backup and restore of a large book, and restores of damaged backup files.

#include <gtest/gtest.h>

#include <random>

#include "shell/BackupTestSupport.h"

using namespace backup_test;

namespace {

const std::vector<std::string> kWords = {"salt", "O'Neil's", "\"hot\"", "crème", "brûlée", "🍮",
                                         "日本", "--",       ";",       "%",     "_",      "')",
                                         "|",    "#EOT",     "#BOF",    "#EO",   "\\",     "\t"};

std::string Words(std::mt19937& rng, int count) {
    std::string text;
    for (int i = 0; i < count; ++i) text += (i ? " " : "") + kWords[rng() % kWords.size()];
    return text;
}

// Directions of every shape: none, one line, several lines with empty ones, and long ones.
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
                for (int line = 0; line < 5; ++line) directions += Words(rng, line % 3) + "\n";
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
// default category's name, where a backup puts it.
std::vector<std::string> RecipesByCategoryName(Database& db, const std::string& added = "") {
    const std::string defaultName = "(SELECT Name FROM Category WHERE CategoryId = 1)";
    return Rows(db, "SELECT r.Name || '>' || coalesce(c.Name, " + defaultName +
                        ") || '>' || r.Directions || '" + added +
                        "' AS v FROM Recipe r LEFT JOIN Category c USING (CategoryId) ORDER BY "
                        "r.RecipeId");
}

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
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
                                  "N|99999999999999999999999"};
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
    const char* ends[] = {"\n", "\n", "\n", "\r\n", "\r"};
    bool mixed = rng() % 4 == 0;
    std::string text;
    for (const std::string& line : lines) text += line + (mixed ? ends[rng() % 5] : "\n");
    if (rng() % 3 == 0) {
        for (int k = 1 + static_cast<int>(rng() % 4); k > 0 && !text.empty(); --k)
            text.insert(rng() % text.size(), 1, "\xff\xc3\x80\xfe"[rng() % 4]);
    }
    if (rng() % 3 == 0 && !text.empty())
        text.resize(rng() % text.size());
    return text;
}

}  // namespace

TEST(BackupRoundTrip, LargeBookComesBackAndBacksUpAgainWithOneLineEndMorePerRecipe) {
    LarderonHarness h(Seeded([](Database& db) { SeedBook(db, 3000, 7); }));
    h.Start();
    auto db = h.OpenDatabase();
    const std::vector<std::string> expected = RecipesByCategoryName(*db, "\n");
    const auto first = h.Folder() / "first.txt";
    const auto second = h.Folder() / "second.txt";
    Backup(h, first);
    Restore(h, first);
    Backup(h, second);
    EXPECT_EQ(
        h.Dialogs().Messages(),
        (std::vector<std::string>{"Backup completed.", "Restore completed.", "Backup completed."}));
    EXPECT_EQ(QueryText(*db, "SELECT count(*) AS v FROM Recipe"), "3000");
    EXPECT_TRUE(RecipesByCategoryName(*db) == expected);
    const std::string before = ReadBytes(first);
    const std::string after = ReadBytes(second);
    EXPECT_GT(before.size(), 1'000'000u);
    EXPECT_TRUE(after == ReplaceAll(before, "\n#EOF\n", "\n\n#EOF\n"))
        << "sizes " << before.size() << " and " << after.size();
}

TEST(BackupRoundTrip, DamagedFilesEitherRestoreWhollyOrLeaveTheTablesAsTheyWere) {
    LarderonHarness h(Seeded([](Database& db) { SeedBook(db, 40, 11); }));
    h.Start();
    auto db = h.OpenDatabase();
    Backup(h, h.Folder() / "good.txt");
    const std::string original = ReadBytes(h.Folder() / "good.txt");
    int restored = 0, refused = 0;
    for (unsigned seed = 1; seed <= 80; ++seed) {
        SCOPED_TRACE(::testing::Message() << "seed " << seed);
        std::mt19937 rng(seed);
        const std::string damaged = Damage(original, rng);
        WriteBytes(h.Folder() / "damaged.txt", damaged);
        const std::vector<std::string> before = Tables(*db);
        h.Dialogs().ClearLog();
        Restore(h, h.Folder() / "damaged.txt");
        if (h.Dialogs().Log() == std::vector<std::string>{"open", "msgbox:Restore completed."}) {
            ++restored;
            std::vector<std::string> lines = ReaderLines(damaged);
            auto end = std::find(lines.begin(), lines.end(), "#EOT");
            std::vector<std::string> categories = Categories(*db);
            ASSERT_EQ(static_cast<long>(categories.size()), end - lines.begin());
            for (std::size_t i = 0; i < categories.size(); ++i)
                EXPECT_EQ(categories[i], std::to_string(i + 1) + ":" + lines[i]);
            EXPECT_EQ(QueryText(*db,
                                "SELECT count(*) AS v FROM Recipe WHERE typeof(CategoryId) <> "
                                "'integer' OR CategoryId < 1 OR CategoryId > max(1, " +
                                    std::to_string(categories.size()) + ")"),
                      "0");
        } else {
            ++refused;
            EXPECT_EQ(h.Dialogs().Log(), (std::vector<std::string>{
                                             "open", "beep", "msgbox:Restore was unsuccessful."}));
            EXPECT_TRUE(Tables(*db) == before) << "the tables changed";
        }
    }
    // Both outcomes must have been met, or the damage tested only one path.
    EXPECT_GT(restored, 0);
    EXPECT_GT(refused, 0);
}
