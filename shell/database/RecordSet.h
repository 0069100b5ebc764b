#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "database/DatabaseException.h"
#include "database/DatabaseField.h"

struct sqlite3_stmt;

namespace database_detail {
class Connection;

struct StatementFinalizer {
    void operator()(sqlite3_stmt* statement) const noexcept;
};
using StatementPtr = std::unique_ptr<sqlite3_stmt, StatementFinalizer>;
}  // namespace database_detail

// The rows of a query, read one at a time as the statement steps; nothing is copied ahead.
// It holds its own share of the connection, so it stays usable after its Database is closed or
// destroyed.
class RecordSet {
  public:
    ~RecordSet();
    RecordSet(const RecordSet&) = delete;
    RecordSet& operator=(const RecordSet&) = delete;

    // Also true once the set is closed.
    bool Eof() const { return eof_; }
    void MoveNext();
    // The column of the current row, by name regardless of letter case.
    DatabaseField Field(const std::string& name);

    // Edit remembers the key of the current row; Update writes the fields set since then to
    // that row, even if the set has moved on. Only a result drawn from one table that includes
    // the table's INTEGER PRIMARY KEY can be edited; for any other, Edit records an error.
    void Edit();
    void Update();
    void Close();

  private:
    friend class Database;
    friend class DatabaseField;

    enum class EditState { kNone, kEditing, kRefused };

    RecordSet(std::shared_ptr<database_detail::Connection> connection,
              database_detail::StatementPtr statement);

    bool Step();
    void RequireOpen() const;
    int ColumnIndex(const std::string& name) const;
    std::string ColumnText(int column) const;
    void SetPending(int column, SqlValue value);
    void RefuseEdit(const std::string& why);

    std::shared_ptr<database_detail::Connection> connection_;
    database_detail::StatementPtr statement_;
    std::vector<std::string> column_names_;
    bool eof_ = true;

    EditState edit_state_ = EditState::kNone;
    std::string edit_table_;       // quoted "schema"."table"
    std::string edit_key_column_;  // quoted
    std::int64_t edit_key_ = 0;
    std::vector<std::string> edit_columns_;  // quoted table column behind each result column
    std::vector<std::optional<SqlValue>> pending_;
    std::string refusal_;
};
