#include "BenchDatabase.h"

#include <sqlite3.h>

#include <iterator>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace bench {
namespace {

// A small generator of its own, so that a given seed makes the same book on every platform.
std::uint32_t Next(std::uint32_t& state) {
    state = state * 1664525u + 1013904223u;
    return state >> 8;
}

template <class T, std::size_t N>
const T& PickFrom(const T (&items)[N], std::uint32_t& state) {
    return items[Next(state) % N];
}

const char* const kCategoryNames[] = {"Breads", "Soups",     "Desserts", "Mains",     "Salads",
                                      "Drinks", "Breakfast", "Pickles",  "Preserves", "Sauces",
                                      "Snacks", "Sides",     "Baking",   "Holiday"};

const char* const kOpeners[] = {
    "Grandma's", "Quick",  "Smoky",   "Spiced", "Roasted",    "Creamy",    "Classic", "Rustic",
    "Lemony",    "Hearty", "Summer",  "Winter", "Sticky",     "Crispy",    "Slow",    "Garlic",
    "Herbed",    "Golden", "Country", "Sunday", "Aunt Bea's", "Farmhouse", "Easy",    "Wild"};
const char* const kMains[] = {
    "Apple",   "Lentil",   "Chicken", "Pumpkin",  "Tomato", "Potato", "Mushroom", "Leek",
    "Carrot",  "Beef",     "Salmon",  "Rhubarb",  "Pear",   "Onion",  "Bean",     "Pea",
    "Cabbage", "Chestnut", "Walnut",  "Cherry",   "Plum",   "Barley", "Oat",      "Fennel",
    "Ginger",  "Honey",    "Almond",  "Chickpea", "Lamb",   "Pork",   "Cod",      "Squash"};
const char* const kDishes[] = {"Soup",      "Pie",     "Stew",     "Bread",    "Tart",    "Salad",
                               "Cake",      "Crumble", "Loaf",     "Roast",    "Chutney", "Jam",
                               "Curry",     "Risotto", "Gratin",   "Fritters", "Muffins", "Pudding",
                               "Casserole", "Scones",  "Pancakes", "Sauce",    "Relish",  "Bake"};

const char* const kSteps[] = {
    "Preheat the oven to 180 degrees and grease a deep tin.",
    "Chop the vegetables finely and sweat them in butter until soft, about ten minutes.",
    "Whisk the eggs with the sugar until pale, then fold in the flour in three parts.",
    "Bring to the boil, lower the heat and simmer gently for forty minutes, stirring now and then.",
    "Season with salt and pepper, taste, and add a squeeze of lemon if it needs lifting.",
    "Rub the butter into the flour with your fingertips until it looks like breadcrumbs.",
    "Leave to rest, covered, for at least an hour; overnight in the cold is better still.",
    "Bake for 35 to 40 minutes, until golden and a skewer comes out clean.",
    "Blend until smooth, thinning with a little stock if it is too thick.",
    "Serve warm with crusty bread, or cold the next day.",
    "Keeps a week in a sealed jar in the larder."};

struct Closer {
    void operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); }
};
using Statement = std::unique_ptr<sqlite3_stmt, Closer>;

Statement Prepare(sqlite3* db, const char* sql) {
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &raw, nullptr) != SQLITE_OK)
        throw std::runtime_error(std::string(sql) + ": " + sqlite3_errmsg(db));
    return Statement(raw);
}

void Exec(sqlite3* db, const char* sql) {
    if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        throw std::runtime_error(std::string(sql) + ": " + sqlite3_errmsg(db));
}

void StepOnce(sqlite3* db, sqlite3_stmt* statement) {
    if (sqlite3_step(statement) != SQLITE_DONE)
        throw std::runtime_error(std::string("insert failed: ") + sqlite3_errmsg(db));
    sqlite3_reset(statement);
    sqlite3_clear_bindings(statement);
}

std::string Directions(std::uint32_t& state, int bytes) {
    std::string text;
    while (static_cast<int>(text.size()) < bytes) {
        if (!text.empty())
            text += '\n';
        text += PickFrom(kSteps, state);
    }
    return text;
}

}  // namespace

std::string RecipeName(std::uint32_t& state) {
    std::string name = std::string(PickFrom(kOpeners, state)) + " " + PickFrom(kMains, state) +
                       " " + PickFrom(kDishes, state);
    // Big books repeat themselves; a number tells the versions apart, as people do.
    if (Next(state) % 3 == 0)
        name += " " + std::to_string(Next(state) % 20 + 2);
    return name;
}

void FillRecipeBook(sqlite3* db, const BookShape& shape) {
    Exec(db, "BEGIN");
    try {
        Statement category = Prepare(db, "INSERT INTO Category (Name) VALUES (?1)");
        std::vector<std::int64_t> ids = {1};
        for (int i = 0; i < shape.categories; ++i) {
            std::string name = kCategoryNames[i % std::size(kCategoryNames)];
            if (i >= static_cast<int>(std::size(kCategoryNames)))
                name += " " + std::to_string(i / std::size(kCategoryNames) + 1);
            sqlite3_bind_text(category.get(), 1, name.c_str(), -1, SQLITE_TRANSIENT);
            StepOnce(db, category.get());
            ids.push_back(sqlite3_last_insert_rowid(db));
        }
        Statement recipe =
            Prepare(db, "INSERT INTO Recipe (Name, CategoryId, Directions) VALUES (?1, ?2, ?3)");
        std::uint32_t state = shape.seed;
        for (int i = 0; i < shape.recipes; ++i) {
            std::string name = RecipeName(state);
            std::string directions = Directions(state, shape.directionsBytes);
            sqlite3_bind_text(recipe.get(), 1, name.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_int64(recipe.get(), 2, ids[Next(state) % ids.size()]);
            sqlite3_bind_text(recipe.get(), 3, directions.c_str(), -1, SQLITE_TRANSIENT);
            StepOnce(db, recipe.get());
        }
    } catch (...) {
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
    Exec(db, "COMMIT");
}

void FillRecipeBook(const std::filesystem::path& file, const BookShape& shape) {
    sqlite3* raw = nullptr;
    int rc = sqlite3_open_v2(file.c_str(), &raw, SQLITE_OPEN_READWRITE, nullptr);
    std::unique_ptr<sqlite3, int (*)(sqlite3*)> db(raw, sqlite3_close);
    if (rc != SQLITE_OK)
        throw std::runtime_error("cannot open " + file.string());
    sqlite3_busy_timeout(raw, 2000);
    FillRecipeBook(raw, shape);
}

std::string HugeDirections(std::size_t bytes, bool oneLine) {
    const std::string piece = oneLine ? "abcdefghijklmnopqrstuvwxyz0123456789"
                                      : "Bake until golden, then leave to cool.\n";
    std::string text;
    text.reserve(bytes + piece.size());
    while (text.size() < bytes) text += piece;
    text.resize(bytes);
    return text;
}

}  // namespace bench
