#pragma once
// The value kept in a list cell's or pop-up row's tag: text, or nothing. It reads back as text or
// as its integer; no tag reads as "" and 0.

#include <cstdint>
#include <optional>
#include <string>

#include "framework/Text.h"

namespace fw {

class Tag {
  public:
    Tag() = default;
    Tag(std::string text) : text_(std::move(text)) {}    // NOLINT: a tag is set from text
    Tag(const char* text) : text_(std::string(text)) {}  // NOLINT

    bool IsNone() const { return !text_.has_value(); }
    std::string Text() const { return text_.value_or(std::string()); }
    std::int64_t Integer() const { return text_ ? Val(*text_) : 0; }
    bool operator==(const Tag& other) const = default;

  private:
    std::optional<std::string> text_;
};

}  // namespace fw
