#include "database/Database.h"

#include <sys/stat.h>

#include <array>
#include <cstring>
#include <fstream>
#include <system_error>

#include "database/Connection.h"
#include "database/FoldingLike.h"

using database_detail::Connection;
using database_detail::ErrorState;
using database_detail::QuoteIdentifier;

namespace {

// A statement that meets the file locked by another program waits this long before it fails:
// long enough for that program's own write to end, short enough that the window does not seem
// to hang when the lock stays.
constexpr int kBusyTimeoutMs = 2000;
// Connecting waits longer, because failing to connect ends the run.
constexpr int kConnectBusyTimeoutMs = 5000;
constexpr std::size_t kHeaderSize = 100;
constexpr char kMagic[16] = {'S', 'Q', 'L', 'i', 't', 'e', ' ', 'f',
                             'o', 'r', 'm', 'a', 't', ' ', '3', '\0'};

std::uint32_t BigEndian(const unsigned char* bytes, int count) {
    std::uint32_t value = 0;
    for (int i = 0; i < count; ++i) {
        value = (value << 8) | bytes[i];
    }
    return value;
}

// The engine opens files lazily and treats an empty file as a fresh database, so the header is
// checked here to turn away files that are not whole databases before any handle exists.
// Only the header is read: a full integrity check would read the entire book.
bool PlausibleDatabaseFile(const std::filesystem::path& file, std::string* why) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) {
        *why = "not an existing file: " + file.string();
        return false;
    }
    const std::uintmax_t size = std::filesystem::file_size(file, ec);
    if (ec) {
        *why = "cannot read the size of " + file.string();
        return false;
    }
    std::array<unsigned char, kHeaderSize> header{};
    std::ifstream in(file, std::ios::binary);
    if (!in.read(reinterpret_cast<char*>(header.data()), header.size())) {
        *why = "file is not a database (too short)";
        return false;
    }
    if (std::memcmp(header.data(), kMagic, sizeof kMagic) != 0) {
        *why = "file is not a database";
        return false;
    }
    std::uint32_t page_size = BigEndian(&header[16], 2);
    if (page_size == 1) {
        page_size = 65536;
    }
    if (page_size < 512 || page_size > 65536 || (page_size & (page_size - 1)) != 0) {
        *why = "file is not a database (bad page size)";
        return false;
    }
    const std::uint32_t page_count = BigEndian(&header[28], 4);
    const std::uint32_t change_counter = BigEndian(&header[24], 4);
    const std::uint32_t valid_for = BigEndian(&header[92], 4);
    // Writers older than 3.7.0 leave the page count stale; it is trusted only when the header
    // says it is current.
    const bool count_valid = page_count != 0 && valid_for == change_counter;
    const std::uintmax_t needed =
        count_valid ? static_cast<std::uintmax_t>(page_count) * page_size : page_size;
    if (size < needed) {
        *why = "database file is truncated";
        return false;
    }
    return true;
}

std::string PathText(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

}  // namespace

// Never created here. A connection, and the record sets drawn from it, serve one thread, so the
// engine's per-connection lock is left out: it was taken and released on every column read, five
// times a row when the recipe list is refilled.
const int kDatabaseOpenFlags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX;

// The recipe list reads every recipe in name order, one seek into the table per row; through a
// memory map those reads cost no system call and no copy, which halves the list's refresh on a
// large book. Only reading goes through the map; writes and their syncs are as before.
const char* const kDatabaseConnectionSettings = "PRAGMA mmap_size = 1073741824";

Database::Database() : errors_(std::make_shared<ErrorState>()) {}

Database::~Database() = default;

void Database::DatabaseFile(const std::filesystem::path& file) {
    file_ = file;
}

bool Database::Connect() {
    Close();
    std::error_code ec;
    // Absolute, so a name beginning "file:" is never read as a URI by the engine.
    const std::filesystem::path file = std::filesystem::absolute(file_, ec);
    std::string why;
    if (ec || !PlausibleDatabaseFile(file, &why)) {
        errors_->Set(ec ? SQLITE_CANTOPEN : SQLITE_NOTADB, ec ? ec.message() : why);
        return false;
    }
    // A write-protected file, or one in a folder where the engine cannot put its journal, is
    // opened all the same: READWRITE falls back to reading, and the engine refuses each write as
    // "attempt to write a readonly database", which is reported where the write is made.
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(PathText(file).c_str(), &raw, kDatabaseOpenFlags, nullptr);
    // The engine may hand back a handle even when opening fails; this owns and closes it.
    auto connection = std::make_shared<Connection>(raw, errors_);
    if (raw == nullptr) {
        errors_->Set(SQLITE_NOMEM, "out of memory");
        return false;
    }
    if (rc != SQLITE_OK) {
        connection->Fail(rc);
        return false;
    }
    // Reading the schema makes the engine actually look at the file. Another program writing
    // to it holds it locked for a moment, and failing here ends start-up: wait longer than for
    // any later statement.
    sqlite3_busy_timeout(raw, kConnectBusyTimeoutMs);
    if (!connection->ExecuteAll("SELECT count(*) FROM sqlite_master", {})) {
        return false;
    }
    sqlite3_busy_timeout(raw, kBusyTimeoutMs);
    // Only once the file has proved to be a database, so that a bad file fails as before.
    if (!connection->ExecuteAll(kDatabaseConnectionSettings, {})) {
        return false;
    }
    if (const int like = RegisterFoldingLike(raw); like != SQLITE_OK) {
        connection->Fail(like);
        return false;
    }
    // The engine has the file open by now. Its name is the one the engine resolved the path
    // to, links followed, so its journal's name is this one's with a suffix.
    const char* engineName = sqlite3_db_filename(raw, "main");
    struct stat opened {};
    if (engineName == nullptr || ::stat(engineName, &opened) != 0) {
        errors_->Set(SQLITE_CANTOPEN, "cannot look at the opened file: " + file.string());
        return false;
    }
    opened_ = OpenFile{static_cast<std::uint64_t>(opened.st_dev),
                       static_cast<std::uint64_t>(opened.st_ino), engineName};
    connection_ = std::move(connection);
    return true;
}

void Database::Close() {
    connection_.reset();
    opened_.reset();
}

std::vector<std::filesystem::path> Database::CompanionFiles() const {
    if (!opened_)
        return {};
    std::vector<std::filesystem::path> names;
    for (const char* suffix : {"-journal", "-wal", "-shm"}) {
        names.push_back(opened_->name);
        names.back() += suffix;
    }
    return names;
}

Connection& Database::RequireConnection() const {
    if (!connection_) {
        throw DatabaseException("the database is not connected");
    }
    return *connection_;
}

void Database::SQLExecute(const std::string& sql, const std::vector<SqlValue>& params) {
    RequireConnection().ExecuteAll(sql, params);
}

std::unique_ptr<RecordSet> Database::SQLSelect(const std::string& sql,
                                               const std::vector<SqlValue>& params) {
    Connection& connection = RequireConnection();
    database_detail::StatementPtr statement = connection.PrepareOne(sql);
    if (!statement || !connection.Bind(statement.get(), params)) {
        return nullptr;
    }
    std::unique_ptr<RecordSet> records(new RecordSet(connection_, std::move(statement)));
    if (!records->Step()) {
        return nullptr;
    }
    return records;
}

void Database::InsertRecord(const std::string& table, const DatabaseRecord& record) {
    Connection& connection = RequireConnection();
    std::string sql = "INSERT INTO " + QuoteIdentifier(table);
    std::vector<SqlValue> values;
    if (record.Columns().empty()) {
        sql += " DEFAULT VALUES";
    } else {
        std::string names;
        std::string marks;
        values.reserve(record.Columns().size());
        for (const auto& [name, value] : record.Columns()) {
            names += (names.empty() ? "" : ", ") + QuoteIdentifier(name);
            marks += marks.empty() ? "?" : ", ?";
            values.push_back(value);
        }
        sql += " (" + names + ") VALUES (" + marks + ")";
    }
    connection.ExecuteAll(sql, values);
}

std::int64_t Database::LastInsertId() const {
    return connection_ ? sqlite3_last_insert_rowid(connection_->Handle()) : 0;
}

void Database::Commit() {
    RequireConnection().ExecuteAll("COMMIT", {});
}

void Database::Rollback() {
    RequireConnection().ExecuteAll("ROLLBACK", {});
}

bool Database::Error() const {
    return errors_->failed;
}

int Database::ErrorCode() const {
    return errors_->code;
}

std::string Database::ErrorMessage() const {
    return errors_->message;
}

std::string SqlQuote(const std::string& text) {
    std::string quoted;
    quoted.reserve(text.size());
    for (char c : text) {
        if (c == '\0') {
            continue;
        }
        if (c == '\'') {
            quoted += '\'';
        }
        quoted += c;
    }
    return quoted;
}
