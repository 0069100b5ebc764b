#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <variant>

// Thrown for misuse of the layer (a closed database, no current row, an unknown column); engine
// failures are reported through Database::Error instead.
class DatabaseException : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// A value bound to a statement parameter.
using SqlValue = std::variant<std::nullptr_t, std::int64_t, std::string>;
