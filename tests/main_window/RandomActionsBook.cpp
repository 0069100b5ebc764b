// The randomized test's model of the recipe book, and the book it starts from.

#include "RandomActionsBook.h"

#include <algorithm>
#include <iterator>
#include <random>
#include <stdexcept>

namespace random_actions {

std::ostream& operator<<(std::ostream& out, const Book& book) {
    out << book.categories.size() << " categories, " << book.recipes.size() << " recipes\n";
    for (const auto& [id, name] : book.categories)
        out << "  category " << id << " " << name << "\n";
    for (const auto& [id, r] : book.recipes)
        out << "  recipe " << id << " [" << r.name << "] in " << r.category << "\n";
    return out;
}

namespace {

void Exec(Database& db, const std::string& sql, const std::vector<SqlValue>& params = {}) {
    db.SQLExecute(sql, params);
    if (db.Error())
        throw std::runtime_error(sql + ": " + db.ErrorMessage());
}

}  // namespace

Book ReadBook(Database& db) {
    Book book;
    auto rs = db.SQLSelect("SELECT CategoryId, Name FROM Category");
    if (!rs)
        throw std::runtime_error(db.ErrorMessage());
    for (; !rs->Eof(); rs->MoveNext())
        book.categories[std::stoll(rs->Field("CategoryId").StringValue())] =
            rs->Field("Name").StringValue();
    rs->Close();
    rs = db.SQLSelect("SELECT RecipeId, Name, CategoryId, Directions FROM Recipe");
    if (!rs)
        throw std::runtime_error(db.ErrorMessage());
    for (; !rs->Eof(); rs->MoveNext()) {
        book.recipes[std::stoll(rs->Field("RecipeId").StringValue())] = {
            rs->Field("Name").StringValue(), std::stoll(rs->Field("CategoryId").StringValue()),
            rs->Field("Directions").StringValue()};
    }
    rs->Close();
    return book;
}

void SeedBook(Database& db, unsigned seed) {
    std::mt19937 rng(seed);
    const char* categories[] = {"Breads", "Soups", "Desserts", "Mains", "Salads", "Drinks"};
    Exec(db, "begin transaction");
    std::int64_t id = 2;
    for (const char* name : categories)
        Exec(db, "INSERT INTO Category (CategoryId, Name) VALUES (?, ?)", {id++, name});
    const char* firsts[] = {"Apple",  "apple", "Grandma's", "Spiced", "Roast",   "Lemon", "Pea",
                            "Tomato", "Rye",   "100%",      "Quick",  "O'Brien", "Leek",  "Garlic"};
    const char* seconds[] = {"Pie",  "Soup",  "Bread", "Salad",   "Tart",  "Stew",
                             "Cake", "Punch", "Loaf",  "Crumble", " Soup", "_Toast"};
    const char* lines[] = {"Preheat the oven.",       "Chop everything finely.",
                           "Simmer for an hour.",     "Season to taste.",
                           "Serve warm, with bread.", "Let it rest overnight."};
    for (int i = 0; i < 300; ++i) {
        std::string name = std::string(firsts[rng() % std::size(firsts)]) + " " +
                           seconds[rng() % std::size(seconds)];
        if (rng() % 4 == 0)
            name += " " + std::to_string(rng() % 9 + 1);
        std::string directions;
        for (unsigned n = rng() % 5 + 1; n > 0; --n)
            directions += std::string(lines[rng() % std::size(lines)]) + (n > 1 ? "\n" : "");
        Exec(db, "INSERT INTO Recipe (Name, CategoryId, Directions) VALUES (?, ?, ?)",
             {name, static_cast<std::int64_t>(rng() % 7 + 1), directions});
    }
    Exec(db, "commit");
}

std::string Folded(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

bool MatchesLike(const std::string& pattern, const std::string& text) {
    // matches[j]: whether the pattern read so far matches the first j characters of the text.
    std::vector<bool> matches(text.size() + 1, false);
    matches[0] = true;
    const std::string p = Folded(pattern), t = Folded(text);
    for (char c : p) {
        std::vector<bool> next(t.size() + 1, false);
        for (std::size_t j = 0; j <= t.size(); ++j) {
            if (c == '%')
                next[j] = matches[j] || (j > 0 && next[j - 1]);
            else if (j > 0)
                next[j] = matches[j - 1] && (c == '_' || c == t[j - 1]);
        }
        matches = std::move(next);
    }
    return matches[t.size()];
}

std::vector<Row> Canonical(std::vector<Row> rows) {
    std::sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) {
        std::string fa = Folded(a.name), fb = Folded(b.name);
        return fa != fb ? fa < fb : std::stoll(a.tag) < std::stoll(b.tag);
    });
    return rows;
}

std::string Describe(const std::vector<Row>& rows) {
    std::string out;
    for (const Row& r : rows) out += "[" + r.tag + " " + r.name + "] ";
    return out;
}

const char* ChangeName(SearchChange change) {
    switch (change) {
        case SearchChange::kTyping:
            return "typing in the search";
        case SearchChange::kFilter:
            return "filter";
        case SearchChange::kOption:
            return "search option";
        case SearchChange::kReset:
            return "X";
    }
    return "?";
}

const char* ModeName(Mode mode) {
    switch (mode) {
        case Mode::kBrowse:
            return "browse";
        case Mode::kRecipeEdit:
            return "recipe edit";
        case Mode::kRecipeNew:
            return "recipe entry";
        case Mode::kCategoryEdit:
            return "category edit";
        case Mode::kCategoryNew:
            return "category entry";
    }
    return "?";
}

}  // namespace random_actions
