#include "framework/Text.h"

#include <charconv>
#include <chrono>
#include <ctime>

namespace fw {

const std::string& EndOfLine() {
    static const std::string eol = "\n";
    return eol;
}

std::string Str(std::int64_t value) {
    return std::to_string(value);
}

std::string CStr(std::int64_t value) {
    return std::to_string(value);
}

std::string Format(std::int64_t value, const std::string& pattern) {
    bool negative = value < 0;
    std::string digits = std::to_string(negative ? -value : value);
    std::size_t minimum = 0;
    for (char c : pattern) {
        if (c == '0')
            ++minimum;
    }
    // "0#" reads as "at least as many digits as the pattern has places".
    std::size_t places = pattern.size();
    std::size_t width = std::max(minimum, places);
    if (digits.size() < width)
        digits.insert(0, width - digits.size(), '0');
    return negative ? "-" + digits : digits;
}

std::int64_t Len(const std::string& text) {
    std::int64_t count = 0;
    for (unsigned char c : text) {
        if ((c & 0xC0) != 0x80)
            ++count;
    }
    return count;
}

std::vector<std::string> Split(const std::string& text, const std::string& separator) {
    std::vector<std::string> pieces;
    if (separator.empty()) {
        pieces.push_back(text);
        return pieces;
    }
    std::size_t start = 0;
    while (true) {
        std::size_t at = text.find(separator, start);
        if (at == std::string::npos) {
            pieces.push_back(text.substr(start));
            return pieces;
        }
        pieces.push_back(text.substr(start, at - start));
        start = at + separator.size();
    }
}

std::int64_t Val(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    std::int64_t value = 0;
    auto [ptr, ec] = std::from_chars(text.data() + i, text.data() + text.size(), value);
    (void)ptr;
    return ec == std::errc() ? value : 0;
}

Date::Date() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    year_ = local.tm_year + 1900;
    month_ = local.tm_mon + 1;
    day_ = local.tm_mday;
    hour_ = local.tm_hour;
    minute_ = local.tm_min;
    second_ = local.tm_sec;
}

Date::Date(int year, int month, int day, int hour, int minute, int second)
    : year_(year), month_(month), day_(day), hour_(hour), minute_(minute), second_(second) {}

}  // namespace fw
