#pragma once
// The randomized test's model of the recipe book: what the person saved, a book to seed the
// database with, rows compared as the engine sorts them, and the window's modes and search
// changes by name.

#include <cstdint>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "database/Database.h"

namespace random_actions {

struct Recipe {
    std::string name;
    std::int64_t category = 1;
    std::string directions;
    bool operator==(const Recipe&) const = default;
};

struct Book {
    std::map<std::int64_t, Recipe> recipes;
    std::map<std::int64_t, std::string> categories;
    bool operator==(const Book&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Book& book);

Book ReadBook(Database& db);

// A few hundred recipes with the names a real book has: shared words, letter-case twins,
// quotes, a percent sign, double blanks and exact duplicates.
void SeedBook(Database& db, unsigned seed);

// Letter case folded as the engine's NOCASE does it: ASCII only.
std::string Folded(std::string text);

// Whether `text` matches a LIKE pattern ("%" any run, "_" any one character, letter case
// ignored); for the ASCII texts of this test, where a byte is a character.
bool MatchesLike(const std::string& pattern, const std::string& text);

struct Row {
    std::string name;
    std::string tag;
};

// Rows sorted by name as the engine sorts them; the order of equal names is the engine's own,
// so they are compared by id.
std::vector<Row> Canonical(std::vector<Row> rows);

std::string Describe(const std::vector<Row>& rows);

enum class Mode { kBrowse, kRecipeEdit, kRecipeNew, kCategoryEdit, kCategoryNew };
inline constexpr Mode kEdits[] = {Mode::kRecipeEdit, Mode::kRecipeNew, Mode::kCategoryEdit,
                                  Mode::kCategoryNew};

// The changes of the search controls, each of which refills the recipe list.
enum class SearchChange { kTyping, kFilter, kOption, kReset };
inline constexpr SearchChange kSearchChanges[] = {SearchChange::kTyping, SearchChange::kFilter,
                                                  SearchChange::kOption, SearchChange::kReset};

const char* ChangeName(SearchChange change);
const char* ModeName(Mode mode);

struct Selection {
    int index = -1;
    std::string text;
    std::string tag;
    bool operator==(const Selection&) const = default;
};

}  // namespace random_actions
