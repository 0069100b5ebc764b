#include "RecipeBackupFile.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <unordered_map>
#include <utility>

namespace RecipeBackup {

namespace {

const char* const kEndOfTable = "#EOT";
const char* const kBeginOfDirections = "#BOF";
const char* const kEndOfDirections = "#EOF";
// A UTF-8 byte-order mark: some editors start a text file with it, and it is no part of the text.
const std::string kByteOrderMark = "\xEF\xBB\xBF";

// A message box cannot usefully show thousands of lines; the first ones tell the person what
// happened and where to look.
constexpr std::size_t kListedChanges = 20;

std::function<fw::Date()>& Clock() {
    static std::function<fw::Date()> clock;
    return clock;
}

void RequireSuccess(Database& db, const std::string& what) {
    if (db.Error())
        throw Failure(what + ": " + db.ErrorMessage());
}

// Only a damaged book holds a zero byte in a text, and a reader refuses a file with one. Each
// kind of text says what was left out of it.
std::string WithoutZeroBytes(std::string text, const char* what, std::vector<std::string>& notes) {
    if (text.find('\0') == std::string::npos)
        return text;
    std::erase(text, '\0');
    notes.push_back(std::string("zero bytes in the ") + what + " left out");
    return text;
}

// Each line end, of any of the kinds a reader knows ("\r\n", "\r", "\n"), becomes one blank: a
// name has to stay on its one line.
std::string LineEndsToBlanks(const std::string& text, bool* changed) {
    if (text.find_first_of("\r\n") == std::string::npos)
        return text;
    *changed = true;
    std::string safe;
    safe.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            safe += ' ';
        } else {
            safe += text[i];
        }
    }
    return safe;
}

// A reader takes "\r\n" and "\r" for line ends as well and gives each back as EndOfLine, so
// they are written that way. Only "#EOF" can end a directions block early; the other markers are
// ordinary lines inside it. A leading blank keeps such a line readable and makes it text again.
// Each kind of change made adds its note.
std::string SafeDirections(const std::string& text, std::vector<std::string>& notes) {
    if (text.find('\r') == std::string::npos && text.find(kEndOfDirections) == std::string::npos)
        return text;
    std::string safe;
    safe.reserve(text.size() + 8);
    bool carriageReturns = false, markerLines = false;
    std::size_t start = 0;
    while (true) {
        std::size_t end = text.find_first_of("\r\n", start);
        std::size_t lineEnd = end == std::string::npos ? text.size() : end;
        if (text.compare(start, lineEnd - start, kEndOfDirections) == 0) {
            safe += ' ';
            markerLines = true;
        }
        safe.append(text, start, lineEnd - start);
        if (end == std::string::npos)
            break;
        start = end + 1;
        if (text[end] == '\r') {
            carriageReturns = true;
            if (start < text.size() && text[start] == '\n')
                ++start;
        }
        safe += fw::EndOfLine();
    }
    if (carriageReturns)
        notes.push_back("carriage returns in the directions written as line ends");
    if (markerLines)
        notes.push_back("directions lines reading \"#EOF\" written as \" #EOF\"");
    return safe;
}

std::string JoinNotes(const std::vector<std::string>& notes) {
    std::string joined;
    for (const std::string& note : notes) joined += (joined.empty() ? "" : "; ") + note;
    return joined;
}

// A recipe header line: the name before the first "|", and the category piece up to the next "|"
// when there is a first. Later pieces are never kept, so that a line of millions of "|" costs no
// more memory than the line itself.
struct RecipeHeader {
    std::string name;
    std::optional<std::string> categoryPiece;
};

RecipeHeader HeaderOf(const std::string& line) {
    const std::size_t bar = line.find('|');
    if (bar == std::string::npos)
        return {line, std::nullopt};
    const std::size_t next = line.find('|', bar + 1);
    const std::size_t length = next == std::string::npos ? std::string::npos : next - bar - 1;
    return {line.substr(0, bar), line.substr(bar + 1, length)};
}

// The file's category piece goes into an integer column, and the engine would keep anything
// that is not a number as text, so only plain decimal digits are taken.
std::int64_t CategoryIdFor(const std::string& piece, std::int64_t categories) {
    bool digits = !piece.empty() && std::all_of(piece.begin(), piece.end(),
                                                [](char c) { return c >= '0' && c <= '9'; });
    if (!digits)
        throw Failure("a recipe's category is not a plain number: \"" + piece + "\"");
    std::int64_t place = 0;
    auto [end, error] = std::from_chars(piece.data(), piece.data() + piece.size(), place);
    (void)end;
    // A place past the file's categories, too large to count included, is a category that no
    // longer exists; its recipes go to the default category, as when a category is deleted.
    if (error != std::errc() || place < 1 || place > categories)
        return 1;
    return place;
}

}  // namespace

std::string DefaultFileName(const fw::Date& when) {
    return "LarderonBackup_" + fw::Str(when.Year()) + fw::Format(when.Month(), "0#") +
           fw::Format(when.Day(), "0#") + "_" + fw::Format(when.Hour(), "0#") +
           fw::Format(when.Minute(), "0#") + fw::Format(when.Second(), "0#") + ".txt";
}

void UseClock(std::function<fw::Date()> clock) {
    Clock() = std::move(clock);
}

fw::Date Now() {
    return Clock() ? Clock()() : fw::Date();
}

std::vector<std::string> WriteBackup(Database& db, fw::TextOutputStream& out) {
    std::vector<std::string> changes;

    // In id order the default category comes first, and comes back as id 1.
    std::unordered_map<std::string, std::int64_t> placeOfCategory;
    std::optional<std::string> firstCategory;
    {
        auto rs = db.SQLSelect("SELECT * FROM Category ORDER BY CategoryId");
        if (!rs)
            throw Failure("the categories cannot be read: " + db.ErrorMessage());
        while (!rs->Eof()) {
            placeOfCategory.emplace(rs->Field("CategoryId").StringValue(),
                                    static_cast<std::int64_t>(placeOfCategory.size()) + 1);
            std::vector<std::string> notes;
            const std::string name =
                WithoutZeroBytes(rs->Field("Name").StringValue(), "name", notes);
            bool blanked = false;
            std::string safe = LineEndsToBlanks(name, &blanked);
            if (blanked)
                notes.push_back("line ends in the name written as blanks");
            // A reader skips a mark at the start of the file.
            if (!firstCategory && safe.starts_with(kByteOrderMark)) {
                safe.erase(0, kByteOrderMark.size());
                notes.push_back("the byte-order mark at the start of the name left out");
            }
            if (safe == kEndOfTable) {
                safe = " " + safe;
                notes.push_back("the name \"#EOT\" written as \" #EOT\"");
            }
            if (!notes.empty())
                changes.push_back("Category \"" + safe + "\": " + JoinNotes(notes));
            if (!firstCategory)
                firstCategory = safe;
            out.WriteLine(safe);
            rs->MoveNext();
            RequireSuccess(db, "the categories cannot be read");
        }
        rs->Close();
    }
    out.WriteLine(kEndOfTable);

    auto rs = db.SQLSelect("SELECT * FROM Recipe ORDER BY RecipeId");
    if (!rs)
        throw Failure("the recipes cannot be read: " + db.ErrorMessage());
    while (!rs->Eof()) {
        std::vector<std::string> notes;
        std::string name = WithoutZeroBytes(rs->Field("Name").StringValue(), "name", notes);
        if (name.find('|') != std::string::npos) {
            std::replace(name.begin(), name.end(), '|', '/');
            notes.push_back("\"|\" in the name written as \"/\"");
        }
        bool blanked = false;
        name = LineEndsToBlanks(name, &blanked);
        if (blanked)
            notes.push_back("line ends in the name written as blanks");
        std::string directions = SafeDirections(
            WithoutZeroBytes(rs->Field("Directions").StringValue(), "directions", notes), notes);

        // A recipe whose category is gone belongs to the default category, as the window treats
        // the recipes of a deleted category; the person hears of it, for only a damaged book
        // holds such a recipe.
        auto place = placeOfCategory.find(rs->Field("CategoryId").StringValue());
        std::int64_t categoryPlace = 1;
        if (place != placeOfCategory.end())
            categoryPlace = place->second;
        else if (firstCategory)
            notes.push_back("its category no longer exists; written to \"" + *firstCategory + "\"");
        else
            notes.push_back("its category no longer exists; written to the first category");
        if (!notes.empty())
            changes.push_back("Recipe \"" + name + "\": " + JoinNotes(notes));

        out.WriteLine(name + "|" + fw::Str(categoryPlace));
        out.WriteLine(kBeginOfDirections);
        out.WriteLine(directions);
        out.WriteLine(kEndOfDirections);
        rs->MoveNext();
        RequireSuccess(db, "the recipes cannot be read");
    }
    rs->Close();
    out.WriteLine(kEndOfTable);
    return changes;
}

std::string CompletedMessage(const std::vector<std::string>& changes) {
    std::string message = "Backup completed.";
    if (changes.empty())
        return message;
    const std::string& eol = fw::EndOfLine();
    message += eol + eol +
               "These texts were changed in the backup file because it cannot hold them as they "
               "are, and a restore brings them back as written:";
    std::size_t listed = std::min(changes.size(), kListedChanges);
    for (std::size_t i = 0; i < listed; ++i) message += eol + changes[i];
    if (changes.size() > listed)
        message += eol + "... and " + fw::Str(static_cast<std::int64_t>(changes.size() - listed)) +
                   " more.";
    return message;
}

void ReadBackup(fw::TextInputStream& in,
                const std::function<void(const std::string& name)>& category,
                const std::function<void(const std::string& name, std::int64_t categoryId,
                                         const std::string& directions)>& recipe) {
    // Every file a backup writes ends with the "#EOT" of its recipes. One that ends sooner has
    // been cut off, or is no backup at all, and restoring it would lose recipes without a word.
    auto nextLine = [&in] {
        if (in.Eof())
            throw Failure("the file ends before its last \"#EOT\"");
        return in.ReadLine();
    };

    std::int64_t categories = 0;
    std::string line = nextLine();
    if (line.starts_with(kByteOrderMark))
        line.erase(0, kByteOrderMark.size());
    for (; line != kEndOfTable; line = nextLine()) {
        category(line);
        ++categories;
    }
    // The first category becomes the default one, which every new recipe starts in.
    if (categories == 0)
        throw Failure("the file holds no category, not even the default one");

    std::optional<RecipeHeader> header;
    for (line = nextLine(); line != kEndOfTable; line = nextLine()) {
        if (line != kBeginOfDirections) {
            header = HeaderOf(line);
            continue;
        }
        if (!header)
            throw Failure("directions come before any recipe name");
        if (!header->categoryPiece)
            throw Failure("a recipe line has no \"|\": \"" + header->name + "\"");
        std::int64_t categoryId = CategoryIdFor(*header->categoryPiece, categories);
        // The writer ends the directions with one line end of its own: line ends go between the
        // block's lines, and none after the last.
        std::string directions;
        bool firstLine = true;
        for (std::string text = nextLine(); text != kEndOfDirections; text = nextLine()) {
            if (!firstLine)
                directions += fw::EndOfLine();
            directions += text;
            firstLine = false;
        }
        recipe(header->name, categoryId, directions);
    }
}

void RestoreBackup(Database& db, fw::TextInputStream& in) {
    db.SQLExecute("begin transaction");
    RequireSuccess(db, "the restore cannot begin");
    try {
        db.SQLExecute("DELETE FROM Recipe");
        RequireSuccess(db, "the recipes cannot be removed");
        db.SQLExecute("DELETE FROM Category");
        RequireSuccess(db, "the categories cannot be removed");
        // The ids are given rather than left to the engine, so that the numbering the recipe
        // lines rely on holds whatever the table's key rules are.
        std::int64_t nextCategoryId = 1;
        ReadBackup(
            in,
            [&](const std::string& name) {
                db.SQLExecute("INSERT INTO Category (CategoryId, Name) VALUES (?, ?)",
                              {nextCategoryId++, name});
                RequireSuccess(db, "a category cannot be stored");
            },
            [&](const std::string& name, std::int64_t categoryId, const std::string& directions) {
                db.SQLExecute("INSERT INTO Recipe (Name, CategoryId, Directions) VALUES (?, ?, ?)",
                              {name, categoryId, directions});
                RequireSuccess(db, "a recipe cannot be stored");
            });
        // Another program writing to the file while it was read leaves part of each version.
        if (in.Changed())
            throw Failure("the file changed while it was read");
        db.Commit();
        RequireSuccess(db, "the restore cannot be stored");
    } catch (...) {
        // The earlier rows are only safe once the transaction is gone; whether the rollback
        // itself reports anything changes nothing for the person.
        try {
            db.Rollback();
        } catch (...) {
        }
        throw;
    }
}

}  // namespace RecipeBackup
