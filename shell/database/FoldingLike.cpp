#include "database/FoldingLike.h"

#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "database/CaseFolding.h"

namespace {

using database_detail::CaseFoldRun;
using database_detail::kCaseFoldRuns;

// A byte that does not start a well-formed UTF-8 character counts as one character of its own,
// numbered past every code point so that it matches only the same byte. The two wildcards lie
// past those.
constexpr std::uint32_t kStrayByte = 0x110000;
constexpr std::uint32_t kAnyRun = 0xFFFFFFFF;  // %
constexpr std::uint32_t kAnyOne = 0xFFFFFFFE;  // _
constexpr std::uint32_t kNoEscape = 0xFFFFFFFD;

constexpr std::array<unsigned char, 128> kAsciiFold = [] {
    std::array<unsigned char, 128> fold{};
    for (int c = 0; c < 128; ++c)
        fold[c] = static_cast<unsigned char>(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
    return fold;
}();

std::uint32_t FoldBeyondAscii(std::uint32_t c) {
    const auto* run =
        std::upper_bound(std::begin(kCaseFoldRuns), std::end(kCaseFoldRuns), c,
                         [](std::uint32_t code, const CaseFoldRun& r) { return code < r.first; });
    if (run == std::begin(kCaseFoldRuns))
        return c;
    --run;
    if (c > run->last || (c - run->first) % run->step != 0)
        return c;
    return static_cast<std::uint32_t>(static_cast<std::int32_t>(c) + run->offset);
}

// Decodes the character that starts at z[i] and steps i past it, never reading z[n] or beyond.
// Overlong forms, surrogates and cut-off sequences are not characters: their first byte is a
// stray byte and decoding goes on at the next one.
std::uint32_t DecodeBeyondAscii(const unsigned char* z, std::size_t n, std::size_t& i) {
    const unsigned lead = z[i];
    std::size_t length = 0;
    std::uint32_t code = 0;
    unsigned low = 0x80, high = 0xBF;  // the second byte's range, narrower after some leads
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0F;
        if (lead == 0xE0)
            low = 0xA0;
        else if (lead == 0xED)
            high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07;
        if (lead == 0xF0)
            low = 0x90;
        else if (lead == 0xF4)
            high = 0x8F;
    }
    bool whole = length != 0 && n - i >= length && z[i + 1] >= low && z[i + 1] <= high;
    for (std::size_t k = 1; whole && k < length; ++k) {
        whole = (z[i + k] & 0xC0) == 0x80;
        code = (code << 6) | (z[i + k] & 0x3F);
    }
    if (!whole) {
        ++i;
        return kStrayByte + lead;
    }
    i += length;
    return code;
}

std::uint32_t Decode(const unsigned char* z, std::size_t n, std::size_t& i) {
    if (z[i] < 0x80)
        return z[i++];
    return DecodeBeyondAscii(z, n, i);
}

std::uint32_t Fold(std::uint32_t c) {
    if (c < 0x80)
        return kAsciiFold[c];
    return c < kStrayByte ? FoldBeyondAscii(c) : c;
}

// The ASCII characters that a character beyond ASCII folds to: "s" (the long s) and "k" (the
// Kelvin sign). A search for any other ASCII character need look at ASCII bytes only.
constexpr std::array<bool, 128> kFoldedFromBeyondAscii = [] {
    std::array<bool, 128> from{};
    for (const CaseFoldRun& run : kCaseFoldRuns) {
        for (std::uint32_t c = run.first; c <= run.last; c += run.step) {
            const std::int64_t folded = static_cast<std::int64_t>(c) + run.offset;
            if (c >= 0x80 && folded < 0x80)
                from[static_cast<std::size_t>(folded)] = true;
        }
    }
    return from;
}();

// The folded character at z[i]; ASCII, nearly every byte of a recipe book, by table.
inline std::uint32_t FoldedAt(const unsigned char* z, std::size_t n, std::size_t& i) {
    const unsigned char b = z[i];
    if (b < 0x80) {
        ++i;
        return kAsciiFold[b];
    }
    return Fold(DecodeBeyondAscii(z, n, i));
}

// A pattern taken apart once per statement: each element a folded character or a wildcard.
// The engine keeps it between rows while the pattern stays the same.
struct Pattern {
    std::string source;
    std::uint32_t escape = kNoEscape;
    std::vector<std::uint32_t> items;
    bool endsInEscape = false;  // a pattern ending in its escape character matches nothing

    bool MadeFrom(const unsigned char* z, std::size_t n, std::uint32_t esc) const {
        return escape == esc && source.size() == n && std::memcmp(source.data(), z, n) == 0;
    }
};

std::unique_ptr<Pattern> Compile(const unsigned char* z, std::size_t n, std::uint32_t escape) {
    auto pattern = std::make_unique<Pattern>();
    pattern->source.assign(reinterpret_cast<const char*>(z), n);
    pattern->escape = escape;
    pattern->items.reserve(n);
    std::size_t i = 0;
    while (i < n) {
        const std::uint32_t c = Decode(z, n, i);
        if (c == escape) {
            if (i == n) {
                pattern->endsInEscape = true;
                break;
            }
            pattern->items.push_back(FoldedAt(z, n, i));
        } else if (c == '%') {
            // Runs of % mean no more than one.
            if (pattern->items.empty() || pattern->items.back() != kAnyRun)
                pattern->items.push_back(kAnyRun);
        } else if (c == '_') {
            // In a run of wildcards with a % the order means nothing, so the run is kept as its
            // _ first and one % last: a % is then always followed by a character or the end.
            if (!pattern->items.empty() && pattern->items.back() == kAnyRun) {
                pattern->items.back() = kAnyOne;
                pattern->items.push_back(kAnyRun);
            } else {
                pattern->items.push_back(kAnyOne);
            }
        } else {
            pattern->items.push_back(Fold(c));
        }
    }
    return pattern;
}

// Moves i past the next character in z that is `want` (folded, no wildcard); false when none is
// left. ASCII bytes are characters of their own and continuation bytes are not ASCII, so eight
// bytes at a time are passed over while none of them can be `want`; a byte beyond ASCII stops
// that only when a character beyond ASCII may fold to `want`. Kept out of line: inlined, it made
// every call of Matches dearer, also for patterns without a %, which never scan.
[[gnu::noinline]] bool FindNext(std::uint32_t want, const unsigned char* z, std::size_t n,
                                std::size_t& i) {
    constexpr std::uint64_t kOnes = 0x0101010101010101;
    constexpr std::uint64_t kHighBits = kOnes * 0x80;
    const bool ascii = want < 0x80;
    const unsigned char caseBit = want >= 'a' && want <= 'z' ? 0x20 : 0;
    const std::uint64_t beyondAscii = !ascii || kFoldedFromBeyondAscii[want] ? kHighBits : 0;
    // With no ASCII character to find, a zero below stands for a byte beyond ASCII, which stops
    // the skip anyway.
    const std::uint64_t wanted = kOnes * (ascii ? want : 0x80);
    const std::uint64_t anyCase = kOnes * caseBit;
    while (i < n) {
        // Byte by byte first: after a failed try the next place is often right there.
        for (const std::size_t end = std::min(n, i + 8); i < end;) {
            const unsigned char b = z[i];
            if (b < 0x80 || beyondAscii == 0) {
                ++i;
                if ((b | caseBit) == want)
                    return true;
                continue;
            }
            if (Fold(DecodeBeyondAscii(z, n, i)) == want)
                return true;
        }
        for (; n - i >= 8; i += 8) {
            std::uint64_t word;
            std::memcpy(&word, z + i, sizeof word);
            const std::uint64_t x = (word | anyCase) ^ wanted;  // a zero byte where `want` is
            if ((((x - kOnes) & ~x) | (word & beyondAscii)) & kHighBits)
                break;
        }
    }
    return false;
}

// Greedy matching that goes back only to the latest %: a later % can take over whatever an
// earlier one would have taken, so the earlier ones never need a second try. A % is always
// followed by a character (see Compile), and each try after it starts past the next place of
// that character, found by a scan: runs of wildcards cost no more than the text's length, and
// time is at most the text's length times the longest stretch between two %. Nothing is
// allocated.
bool Matches(const Pattern& pattern, const unsigned char* z, std::size_t n) {
    if (pattern.endsInEscape)
        return false;
    const std::uint32_t* items = pattern.items.data();
    const std::size_t count = pattern.items.size();
    constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    std::size_t item = 0, i = 0;
    // The latest %: the item of the character after it, and where its latest try ended.
    std::size_t literal = kNone, tried = 0;
    while (i < n) {
        if (item < count) {
            const std::uint32_t want = items[item];
            if (want == kAnyRun) {
                // A closing % takes whatever is left: "begins with" and "contains" stop here.
                if (item + 1 == count)
                    return true;
                literal = item + 1;
                tried = i;
            } else {
                std::size_t next = i;
                const std::uint32_t c = FoldedAt(z, n, next);
                if (want == kAnyOne || want == c) {
                    ++item;
                    i = next;
                    continue;
                }
                if (literal == kNone)
                    return false;
            }
        } else if (literal == kNone) {
            return false;
        }
        // The latest % takes everything up to the next place of the character after it, and
        // matching goes on past that character.
        if (!FindNext(items[literal], z, n, tried))
            return false;
        i = tried;
        item = literal + 1;
    }
    while (item < count && items[item] == kAnyRun) ++item;
    return item == count;
}

void Like(sqlite3_context* context, int argc, sqlite3_value** argv) {
    // Text first, then its length: asking for the text may convert the value.
    const auto* patternText = sqlite3_value_text(argv[0]);
    const auto patternBytes = static_cast<std::size_t>(sqlite3_value_bytes(argv[0]));
    const int limit =
        sqlite3_limit(sqlite3_context_db_handle(context), SQLITE_LIMIT_LIKE_PATTERN_LENGTH, -1);
    if (patternBytes > static_cast<std::size_t>(limit)) {
        sqlite3_result_error(context, "LIKE or GLOB pattern too complex", -1);
        return;
    }
    std::uint32_t escape = kNoEscape;
    if (argc == 3) {
        const auto* escapeText = sqlite3_value_text(argv[2]);
        const auto escapeBytes = static_cast<std::size_t>(sqlite3_value_bytes(argv[2]));
        if (escapeText == nullptr)
            return;  // NULL, as the engine's own gives
        std::size_t end = 0;
        if (escapeBytes > 0)
            escape = Decode(escapeText, escapeBytes, end);
        if (escapeBytes == 0 || end != escapeBytes) {
            sqlite3_result_error(context, "ESCAPE expression must be a single character", -1);
            return;
        }
    }
    const auto* text = sqlite3_value_text(argv[1]);
    const auto textBytes = static_cast<std::size_t>(sqlite3_value_bytes(argv[1]));
    if (patternText == nullptr || text == nullptr)
        return;

    auto* kept = static_cast<Pattern*>(sqlite3_get_auxdata(context, 0));
    if (kept != nullptr && kept->MadeFrom(patternText, patternBytes, escape)) {
        sqlite3_result_int(context, Matches(*kept, text, textBytes));
        return;
    }
    std::unique_ptr<Pattern> made;
    try {
        made = Compile(patternText, patternBytes, escape);
    } catch (const std::bad_alloc&) {
        sqlite3_result_error_nomem(context);
        return;
    }
    sqlite3_result_int(context, Matches(*made, text, textBytes));
    // The engine may drop the pattern at once, so it is handed over only after its last use.
    sqlite3_set_auxdata(context, 0, made.release(),
                        [](void* p) { delete static_cast<Pattern*>(p); });
}

}  // namespace

int RegisterFoldingLike(sqlite3* db) {
    // Deterministic and free of side effects, as the engine's own: the planner may evaluate a
    // constant call once, and schema objects may use it.
    constexpr int kFlags = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
    for (int arguments : {2, 3}) {
        const int rc = sqlite3_create_function_v2(db, "like", arguments, kFlags, nullptr, Like,
                                                  nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK)
            return rc;
    }
    return SQLITE_OK;
}
