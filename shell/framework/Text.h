#pragma once
// Text helpers in the vocabulary the app's code is written in. All text is UTF-8.

#include <cstdint>
#include <string>
#include <vector>

namespace fw {

// The platform's line ending, as written to text files and shown in messages.
const std::string& EndOfLine();

// Decimal text of a number, a minus sign for negatives, no leading zeros.
std::string Str(std::int64_t value);
std::string CStr(std::int64_t value);

// Formats a whole number with a pattern of '0' (always a digit) and '#' (a digit when there is
// one): "0#" writes at least two digits, zero-padded.
std::string Format(std::int64_t value, const std::string& pattern);

// Number of characters (not bytes) of a UTF-8 text.
std::int64_t Len(const std::string& text);

// The pieces of text between separators, in order; an empty text gives one empty piece.
std::vector<std::string> Split(const std::string& text, const std::string& separator);

// Leading decimal integer of a text ("12" -> 12, "" or "x" -> 0), as a tag converts to Integer.
std::int64_t Val(const std::string& text);

// Local date and time; a default-constructed Date holds the current moment.
class Date {
  public:
    Date();
    Date(int year, int month, int day, int hour, int minute, int second);
    int Year() const { return year_; }
    int Month() const { return month_; }
    int Day() const { return day_; }
    int Hour() const { return hour_; }
    int Minute() const { return minute_; }
    int Second() const { return second_; }

  private:
    int year_, month_, day_, hour_, minute_, second_;
};

}  // namespace fw
