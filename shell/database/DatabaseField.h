#pragma once

#include <cstdint>
#include <string>

class RecordSet;

// A column of the current row of a RecordSet; valid while that set exists.
class DatabaseField {
  public:
    // Integers as plain decimal text, NULL as empty text. A value set since Edit reads back.
    std::string StringValue() const;
    // Only between Edit and Update.
    void StringValue(const std::string& value);
    void IntegerValue(std::int64_t value);

  private:
    friend class RecordSet;
    DatabaseField(RecordSet* owner, int column) : owner_(owner), column_(column) {}

    RecordSet* owner_;
    int column_;
};
