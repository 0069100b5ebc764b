#pragma once
// Fills a recipe database, made from the app's schema, with a book of any size for the
// benchmarks: realistic names that share words, and directions of several lines.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

struct sqlite3;

namespace bench {

struct BookShape {
    int recipes = 10000;
    int categories = 12;  // besides the default category the schema brings
    int directionsBytes = 600;
    std::uint32_t seed = 1;
};

// Adds the categories and recipes in one transaction; throws std::runtime_error on failure.
void FillRecipeBook(sqlite3* db, const BookShape& shape);
void FillRecipeBook(const std::filesystem::path& file, const BookShape& shape);

// One recipe name as the filler makes them, for benchmarks that need names of the same kind.
std::string RecipeName(std::uint32_t& state);

// Directions of exactly that many bytes: one unbroken line of letters and digits (as a restore
// may bring in), or ordinary lines of a few words.
std::string HugeDirections(std::size_t bytes, bool oneLine);

}  // namespace bench
