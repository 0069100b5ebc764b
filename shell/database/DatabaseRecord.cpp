#include "database/DatabaseRecord.h"

void DatabaseRecord::Column(const std::string& name, const std::string& value) {
    Set(name, value);
}

void DatabaseRecord::IntegerColumn(const std::string& name, std::int64_t value) {
    Set(name, value);
}

void DatabaseRecord::Set(const std::string& name, SqlValue value) {
    for (auto& column : columns_) {
        if (column.first == name) {
            column.second = std::move(value);
            return;
        }
    }
    columns_.emplace_back(name, std::move(value));
}
