#include "database/RecordSet.h"

#include <charconv>
#include <cstring>

#include "database/Connection.h"

using database_detail::QuoteIdentifier;

namespace {

// ASCII-only folding, like the engine's own for identifiers, and independent of the C locale.
char FoldCase(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameLetters(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (FoldCase(a[i]) != FoldCase(b[i])) {
            return false;
        }
    }
    return true;
}

}  // namespace

RecordSet::RecordSet(std::shared_ptr<database_detail::Connection> connection,
                     database_detail::StatementPtr statement)
    : connection_(std::move(connection)), statement_(std::move(statement)) {
    // Built once per statement: Field is looked up for every row of large result lists.
    const int count = sqlite3_column_count(statement_.get());
    column_names_.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        const char* name = sqlite3_column_name(statement_.get(), i);
        column_names_.emplace_back(name ? name : "");
    }
}

RecordSet::~RecordSet() = default;

void RecordSet::Close() {
    // The statement goes before this set's share of the connection it belongs to.
    statement_.reset();
    connection_.reset();
    eof_ = true;
    edit_state_ = EditState::kNone;
}

void RecordSet::RequireOpen() const {
    if (!statement_) {
        throw DatabaseException("the record set is closed");
    }
}

bool RecordSet::Step() {
    const int rc = sqlite3_step(statement_.get());
    if (rc == SQLITE_ROW) {
        eof_ = false;
        connection_->Succeed();
        return true;
    }
    // Stepping again after the end would silently restart the query, so the set stays at Eof.
    eof_ = true;
    if (rc == SQLITE_DONE) {
        connection_->Succeed();
        return true;
    }
    connection_->Fail(rc);
    return false;
}

void RecordSet::MoveNext() {
    RequireOpen();
    if (!eof_) {
        Step();
    }
}

int RecordSet::ColumnIndex(const std::string& name) const {
    // A result has a handful of columns, so a scan beats hashing and allocates nothing. Callers
    // nearly always spell a name as the schema does, which a plain comparison settles at once,
    // before the slower letter-case folding; this runs twice for every row of a refill.
    for (std::size_t i = 0; i < column_names_.size(); ++i) {
        if (column_names_[i] == name || SameLetters(column_names_[i], name)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

DatabaseField RecordSet::Field(const std::string& name) {
    RequireOpen();
    if (eof_) {
        throw DatabaseException("no current row to read the field " + name + " from");
    }
    const int column = ColumnIndex(name);
    if (column < 0) {
        throw DatabaseException("no field named " + name);
    }
    return DatabaseField(this, column);
}

std::string RecordSet::ColumnText(int column) const {
    RequireOpen();
    if (edit_state_ == EditState::kEditing) {
        const auto& pending = pending_[static_cast<std::size_t>(column)];
        if (pending) {
            if (const auto* text = std::get_if<std::string>(&*pending)) {
                return *text;
            }
            if (const auto* number = std::get_if<std::int64_t>(&*pending)) {
                return std::to_string(*number);
            }
            return {};
        }
    }
    if (eof_) {
        throw DatabaseException("no current row to read a field from");
    }
    sqlite3_stmt* statement = statement_.get();
    switch (sqlite3_column_type(statement, column)) {
        case SQLITE_NULL:
            return {};
        case SQLITE_INTEGER: {
            // Formatted here rather than by the engine, which would convert the stored value.
            char digits[24];
            const auto result = std::to_chars(std::begin(digits), std::end(digits),
                                              sqlite3_column_int64(statement, column));
            return std::string(digits, result.ptr);
        }
        default: {
            const auto* text = sqlite3_column_text(statement, column);
            const int bytes = sqlite3_column_bytes(statement, column);
            return text ? std::string(reinterpret_cast<const char*>(text),
                                      static_cast<std::size_t>(bytes))
                        : std::string();
        }
    }
}

void RecordSet::RefuseEdit(const std::string& why) {
    edit_state_ = EditState::kRefused;
    refusal_ = "this result cannot be edited: " + why;
    connection_->Fail(SQLITE_MISUSE, refusal_);
}

void RecordSet::Edit() {
    RequireOpen();
    if (eof_) {
        throw DatabaseException("Edit with no current row");
    }
    sqlite3_stmt* statement = statement_.get();
    sqlite3* handle = connection_->Handle();
    const int count = sqlite3_column_count(statement);
    if (count == 0) {
        RefuseEdit("it has no columns");
        return;
    }
    std::string schema;
    std::string table;
    int key = -1;
    edit_columns_.assign(static_cast<std::size_t>(count), std::string());
    for (int i = 0; i < count; ++i) {
        const char* column_schema = sqlite3_column_database_name(statement, i);
        const char* column_table = sqlite3_column_table_name(statement, i);
        const char* origin = sqlite3_column_origin_name(statement, i);
        if (!column_schema || !column_table || !origin) {
            RefuseEdit("column " + column_names_[static_cast<std::size_t>(i)] +
                       " is not a table column");
            return;
        }
        if (i == 0) {
            schema = column_schema;
            table = column_table;
        } else if (schema != column_schema || table != column_table) {
            RefuseEdit("its columns come from more than one table");
            return;
        }
        const char* type = nullptr;
        int primary_key = 0;
        const int rc =
            sqlite3_table_column_metadata(handle, column_schema, column_table, origin, &type,
                                          nullptr, nullptr, &primary_key, nullptr);
        if (rc != SQLITE_OK) {
            RefuseEdit(sqlite3_errmsg(handle));
            return;
        }
        if (primary_key) {
            // Only a lone INTEGER PRIMARY KEY names exactly one row for sure.
            if (key >= 0 || !type || !SameLetters(type, "INTEGER")) {
                RefuseEdit("the table has no single INTEGER PRIMARY KEY");
                return;
            }
            key = i;
        }
        edit_columns_[static_cast<std::size_t>(i)] = QuoteIdentifier(origin);
    }
    if (key < 0) {
        RefuseEdit("it does not include the table's INTEGER PRIMARY KEY");
        return;
    }
    edit_table_ = QuoteIdentifier(schema) + "." + QuoteIdentifier(table);
    edit_key_column_ = edit_columns_[static_cast<std::size_t>(key)];
    edit_key_ = sqlite3_column_int64(statement, key);
    pending_.assign(static_cast<std::size_t>(count), std::nullopt);
    edit_state_ = EditState::kEditing;
    connection_->Succeed();
}

void RecordSet::SetPending(int column, SqlValue value) {
    RequireOpen();
    switch (edit_state_) {
        case EditState::kNone:
            throw DatabaseException("a field can be set only between Edit and Update");
        case EditState::kRefused:
            // Edit already reported why; Update reports it again.
            return;
        case EditState::kEditing:
            pending_[static_cast<std::size_t>(column)] = std::move(value);
            return;
    }
}

void RecordSet::Update() {
    RequireOpen();
    const EditState state = edit_state_;
    edit_state_ = EditState::kNone;
    if (state == EditState::kNone) {
        throw DatabaseException("Update without Edit");
    }
    if (state == EditState::kRefused) {
        connection_->Fail(SQLITE_MISUSE, refusal_);
        return;
    }
    std::string assignments;
    std::vector<SqlValue> values;
    for (std::size_t i = 0; i < pending_.size(); ++i) {
        if (pending_[i]) {
            assignments += (assignments.empty() ? "" : ", ") + edit_columns_[i] + " = ?";
            values.push_back(std::move(*pending_[i]));
        }
    }
    pending_.clear();
    if (values.empty()) {
        connection_->Succeed();
        return;
    }
    values.emplace_back(edit_key_);
    connection_->ExecuteAll(
        "UPDATE " + edit_table_ + " SET " + assignments + " WHERE " + edit_key_column_ + " = ?",
        values);
}
