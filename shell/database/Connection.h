#pragma once

// Internal to the database layer: the connection shared by a Database and its record sets.

#include <sqlite3.h>

#include <memory>
#include <string>
#include <vector>

#include "database/DatabaseException.h"
#include "database/RecordSet.h"

namespace database_detail {

struct ErrorState {
    bool failed = false;
    int code = SQLITE_OK;
    std::string message;

    void Clear() {
        failed = false;
        code = SQLITE_OK;
        message.clear();
    }
    void Set(int result_code, std::string text) {
        failed = true;
        code = result_code;
        message = std::move(text);
    }
};

// Owns the engine handle; the last owner to let go closes it.
class Connection {
  public:
    Connection(sqlite3* handle, std::shared_ptr<ErrorState> errors)
        : handle_(handle), errors_(std::move(errors)) {}
    ~Connection() {
        reusable_.clear();
        sqlite3_close_v2(handle_);
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    sqlite3* Handle() const { return handle_; }

    void Succeed() { errors_->Clear(); }
    // Records the engine's failure rc with the message the handle holds for it.
    void Fail(int rc);
    void Fail(int rc, std::string message) { errors_->Set(rc & 0xff, std::move(message)); }

    // Runs every statement of sql, binding params to the first; records the outcome. A single
    // statement with bound values is prepared once and kept for the next call with the same text.
    bool ExecuteAll(const std::string& sql, const std::vector<SqlValue>& params);
    // Prepares the first statement of sql and insists nothing but blanks or comments follow.
    StatementPtr PrepareOne(const std::string& sql);
    bool Bind(sqlite3_stmt* statement, const std::vector<SqlValue>& params);

  private:
    // The kept statement for sql, prepared now if need be; nullptr when sql is not exactly one
    // statement or does not prepare, for the general path to run and report.
    sqlite3_stmt* ReusableStatement(const std::string& sql);
    bool RunReusable(sqlite3_stmt* statement, const std::vector<SqlValue>& params);

    struct Reusable {
        std::string sql;
        StatementPtr statement;
    };
    // A restore inserts every recipe with one statement and new values; preparing it afresh for
    // each row made restoring 100,000 recipes take 1.6 times as long. A few are kept, the oldest
    // making room.
    static constexpr std::size_t kReusableStatements = 8;
    std::vector<Reusable> reusable_;

    sqlite3* handle_;
    std::shared_ptr<ErrorState> errors_;
};

std::string QuoteIdentifier(const std::string& name);

}  // namespace database_detail
