#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "database/DatabaseException.h"
#include "database/DatabaseRecord.h"
#include "database/RecordSet.h"

namespace database_detail {
class Connection;
struct ErrorState;
}  // namespace database_detail

// One recipe book file. Engine failures do not throw: each operation records its outcome, read
// with Error/ErrorCode/ErrorMessage. Using the object while not connected throws
// DatabaseException, because that is a fault in the caller rather than in the file.
class Database {
  public:
    Database();
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    void DatabaseFile(const std::filesystem::path& file);
    const std::filesystem::path& DatabaseFile() const { return file_; }

    // Opens an existing, plausible database file for reading and writing, or only for reading
    // when it may not be written; never creates one.
    bool Connect();
    // Record sets already handed out keep working until they are closed or destroyed.
    void Close();
    bool IsConnected() const { return connection_ != nullptr; }

    // The file the connection opened, noted when it was made: the same file on the disk
    // whatever it has been called since (renamed, moved, deleted), and the name the engine knows
    // it by, beside which it keeps its journal, write-ahead log and shared memory.
    struct OpenFile {
        std::uint64_t device = 0;
        std::uint64_t inode = 0;
        std::filesystem::path name;
    };
    // Empty while not connected.
    const std::optional<OpenFile>& OpenedFile() const { return opened_; }
    // The names the engine gives the files it keeps beside the book: it may delete any file it
    // finds there, or take it for its own.
    std::vector<std::filesystem::path> CompanionFiles() const;

    // Runs every statement in sql; params bind to the first statement's placeholders.
    void SQLExecute(const std::string& sql, const std::vector<SqlValue>& params = {});
    // Returns nullptr on failure; otherwise the set stands on its first row, or at Eof.
    std::unique_ptr<RecordSet> SQLSelect(const std::string& sql,
                                         const std::vector<SqlValue>& params = {});
    void InsertRecord(const std::string& table, const DatabaseRecord& record);
    std::int64_t LastInsertId() const;
    void Commit();
    void Rollback();

    // The outcome of the latest operation on this database or any of its record sets.
    bool Error() const;
    int ErrorCode() const;
    std::string ErrorMessage() const;

  private:
    database_detail::Connection& RequireConnection() const;

    std::filesystem::path file_;
    // Outlives any one connection so the outcome of Close-then-Connect stays readable, and is
    // shared with record sets so their operations count as the latest outcome too.
    std::shared_ptr<database_detail::ErrorState> errors_;
    std::shared_ptr<database_detail::Connection> connection_;
    std::optional<OpenFile> opened_;
};

// How every connection is opened and the engine settings it starts with; the benchmarks give the
// bare engine the same, so that their figures compare the app with the engine rather than two
// set-ups.
extern const int kDatabaseOpenFlags;
extern const char* const kDatabaseConnectionSettings;

// For statements whose form is fixed and cannot take bound values: the text with every single
// quote doubled and NUL bytes dropped, ready to sit between single quotes.
std::string SqlQuote(const std::string& text);
