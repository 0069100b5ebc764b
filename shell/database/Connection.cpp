#include "database/Connection.h"

#include <climits>
#include <type_traits>

namespace database_detail {

void StatementFinalizer::operator()(sqlite3_stmt* statement) const noexcept {
    sqlite3_finalize(statement);
}

void Connection::Fail(int rc) {
    Fail(rc, sqlite3_errmsg(handle_));
}

bool Connection::Bind(sqlite3_stmt* statement, const std::vector<SqlValue>& params) {
    const int expected = sqlite3_bind_parameter_count(statement);
    if (static_cast<std::size_t>(expected) != params.size()) {
        Fail(SQLITE_RANGE, "the statement takes " + std::to_string(expected) +
                               " bound values but " + std::to_string(params.size()) +
                               " were given");
        return false;
    }
    for (int i = 0; i < expected; ++i) {
        const int rc = std::visit(
            [&](const auto& value) {
                using T = std::decay_t<decltype(value)>;
                if constexpr (std::is_same_v<T, std::nullptr_t>) {
                    return sqlite3_bind_null(statement, i + 1);
                } else if constexpr (std::is_same_v<T, std::int64_t>) {
                    return sqlite3_bind_int64(statement, i + 1, value);
                } else {
                    // Copied: a record set keeps stepping after the caller's values are gone.
                    return sqlite3_bind_text64(statement, i + 1, value.data(), value.size(),
                                               SQLITE_TRANSIENT, SQLITE_UTF8);
                }
            },
            params[static_cast<std::size_t>(i)]);
        if (rc != SQLITE_OK) {
            Fail(rc);
            return false;
        }
    }
    return true;
}

namespace {

// Steps the text of sql from *cursor, returning the next statement (null for blanks/comments).
int PrepareNext(sqlite3* handle, const std::string& sql, const char** cursor, StatementPtr* out) {
    const char* end = sql.c_str() + sql.size();
    // Counting the terminating NUL lets the engine skip copying the text.
    const auto length = static_cast<std::size_t>(end - *cursor) + 1;
    if (length > static_cast<std::size_t>(INT_MAX)) {
        return SQLITE_TOOBIG;
    }
    sqlite3_stmt* raw = nullptr;
    const int rc = sqlite3_prepare_v2(handle, *cursor, static_cast<int>(length), &raw, cursor);
    out->reset(raw);
    return rc;
}

}  // namespace

bool Connection::ExecuteAll(const std::string& sql, const std::vector<SqlValue>& params) {
    if (!params.empty()) {
        if (sqlite3_stmt* statement = ReusableStatement(sql)) {
            return RunReusable(statement, params);
        }
    }
    const char* cursor = sql.c_str();
    const char* end = cursor + sql.size();
    bool bound = false;
    while (cursor < end) {
        StatementPtr statement;
        int rc = PrepareNext(handle_, sql, &cursor, &statement);
        if (rc != SQLITE_OK) {
            Fail(rc);
            return false;
        }
        if (!statement) {
            continue;
        }
        if (!bound) {
            if (!Bind(statement.get(), params)) {
                return false;
            }
            bound = true;
        }
        while ((rc = sqlite3_step(statement.get())) == SQLITE_ROW) {
        }
        if (rc != SQLITE_DONE) {
            Fail(rc);
            return false;
        }
    }
    if (!bound && !params.empty()) {
        Fail(SQLITE_RANGE, "there is no statement to take the bound values");
        return false;
    }
    Succeed();
    return true;
}

sqlite3_stmt* Connection::ReusableStatement(const std::string& sql) {
    for (const Reusable& kept : reusable_) {
        if (kept.sql == sql) {
            return kept.statement.get();
        }
    }
    const char* cursor = sql.c_str();
    const char* end = cursor + sql.size();
    StatementPtr statement;
    if (PrepareNext(handle_, sql, &cursor, &statement) != SQLITE_OK || !statement) {
        return nullptr;
    }
    while (cursor < end) {
        StatementPtr extra;
        if (PrepareNext(handle_, sql, &cursor, &extra) != SQLITE_OK || extra) {
            return nullptr;
        }
    }
    if (reusable_.size() == kReusableStatements) {
        reusable_.erase(reusable_.begin());
    }
    reusable_.push_back({sql, std::move(statement)});
    return reusable_.back().statement.get();
}

bool Connection::RunReusable(sqlite3_stmt* statement, const std::vector<SqlValue>& params) {
    // Left reset and unbound after every run, so that a kept statement holds no lock between
    // calls and no copy of the caller's values.
    struct Idle {
        sqlite3_stmt* statement;
        ~Idle() {
            sqlite3_reset(statement);
            sqlite3_clear_bindings(statement);
        }
    } idle{statement};
    if (!Bind(statement, params)) {
        return false;
    }
    int rc;
    while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
    }
    if (rc != SQLITE_DONE) {
        Fail(rc);
        return false;
    }
    Succeed();
    return true;
}

StatementPtr Connection::PrepareOne(const std::string& sql) {
    const char* cursor = sql.c_str();
    StatementPtr statement;
    int rc = PrepareNext(handle_, sql, &cursor, &statement);
    if (rc != SQLITE_OK) {
        Fail(rc);
        return nullptr;
    }
    if (!statement) {
        Fail(SQLITE_MISUSE, "there is no statement to run");
        return nullptr;
    }
    // A second statement would silently never run; refuse it instead.
    const char* end = sql.c_str() + sql.size();
    while (cursor < end) {
        StatementPtr extra;
        rc = PrepareNext(handle_, sql, &cursor, &extra);
        if (rc != SQLITE_OK) {
            Fail(rc);
            return nullptr;
        }
        if (extra) {
            Fail(SQLITE_MISUSE, "a query must be a single statement");
            return nullptr;
        }
    }
    return statement;
}

std::string QuoteIdentifier(const std::string& name) {
    std::string quoted;
    quoted.reserve(name.size() + 2);
    quoted += '"';
    for (char c : name) {
        if (c == '"') {
            quoted += '"';
        }
        quoted += c;
    }
    quoted += '"';
    return quoted;
}

}  // namespace database_detail
