// Makes a recipe book of any size for trying the app and the benchmarks on large books:
//
//   make_recipe_book <file> <N> [seed]
//
// A missing file is first made from the app's schema, as the build makes the app's own; an
// existing one gets N more recipes. Working on a copy of a real book is the caller's choice.

#include <charconv>
#include <cstdint>
#include <exception>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>

#include "BenchDatabase.h"
#include "tools/DatabaseFileMaker.h"

namespace {

template <class T>
std::optional<T> Number(std::string_view text) {
    T value{};
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end)
        return std::nullopt;
    return value;
}

int Usage() {
    std::cerr << "usage: make_recipe_book <file> <N> [seed]\n"
                 "  adds N recipes (N >= 0) to the recipe book <file>, making it first when it "
                 "is missing\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3 || argc > 4)
        return Usage();
    const std::filesystem::path file = argv[1];
    const std::optional<int> recipes = Number<int>(argv[2]);
    const std::optional<std::uint32_t> seed =
        argc == 4 ? Number<std::uint32_t>(argv[3]) : std::optional<std::uint32_t>(1);
    if (!recipes || *recipes < 0 || !seed)
        return Usage();

    std::string error;
    if (!CreateDatabaseFile(file, &error)) {
        std::cerr << "make_recipe_book: " << error << '\n';
        return 1;
    }
    bench::BookShape shape;
    shape.recipes = *recipes;
    shape.seed = *seed;
    try {
        bench::FillRecipeBook(file, shape);
    } catch (const std::exception& failure) {
        std::cerr << "make_recipe_book: " << failure.what() << '\n';
        return 1;
    }
    std::cout << "added " << shape.recipes << " recipes and " << shape.categories
              << " categories to " << file.string() << '\n';
    return 0;
}
