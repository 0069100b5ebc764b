#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "database/DatabaseException.h"

// The column values of one row to be inserted with Database::InsertRecord.
class DatabaseRecord {
  public:
    void Column(const std::string& name, const std::string& value);
    void IntegerColumn(const std::string& name, std::int64_t value);

    // In the order first set; setting a column again replaces its value.
    const std::vector<std::pair<std::string, SqlValue>>& Columns() const { return columns_; }

  private:
    void Set(const std::string& name, SqlValue value);

    std::vector<std::pair<std::string, SqlValue>> columns_;
};
