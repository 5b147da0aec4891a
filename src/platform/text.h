// Text helpers with the old framework's semantics: numbers read and written the
// way its Val and Str did, and comparisons that ignore ASCII letter case only.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tabulon {

// The number that `text` starts with (after leading blanks), 0 when there is none:
// "1.2abc" -> 1.2, "1.10" -> 1.1, "2.0.1" -> 2.0, "-7" -> -7, "x1" -> 0.
double Val(std::string_view text);
// True when `text` starts (after leading blanks) with a number that Val reads.
bool startsWithNumber(std::string_view text);

// A number as text: integers without a fraction ("2", "-15"), others with up to
// seven significant digits ("1.2", "0.3333333"), very large or small ones in
// exponent form ("1.234568e+7").
std::string Str(double value);
std::string Str(int64_t value);

inline char asciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + ('a' - 'A')) : c;
}

// `text` without the blanks (space, Tab) at either end, or at its end only.
// Inline: every line of every message is trimmed, most of them more than once.
inline std::string_view trimEndBlanks(std::string_view text) {
    size_t end = text.size();
    while (end > 0 && (text[end - 1] == ' ' || text[end - 1] == '\t'))
        --end;
    return text.substr(0, end);
}
inline std::string_view trimBlanks(std::string_view text) {
    size_t begin = 0;
    while (begin < text.size() && (text[begin] == ' ' || text[begin] == '\t'))
        ++begin;
    return trimEndBlanks(text.substr(begin));
}

// A day written YYYY-MM-DD that the calendar has ("2026-02-29" is none).
bool readCalendarDay(std::string_view date, unsigned* year, unsigned* month, unsigned* day);

// Equality ignoring the case of ASCII letters; other bytes compare exactly.
// Inline: header names are compared this way many times a message.
inline bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i] != b[i] && asciiLower(a[i]) != asciiLower(b[i])) return false;
    }
    return true;
}

// 1-based position of `needle` in `haystack` from 1-based `start`, ignoring ASCII
// case; 0 when absent.
size_t findIgnoringCase(std::string_view haystack, std::string_view needle, size_t start = 1);

}  // namespace tabulon
