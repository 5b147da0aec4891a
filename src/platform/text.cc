#include "platform/text.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace tabulon {
namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

size_t skipDigits(std::string_view s, size_t i) {
    while (i < s.size() && isDigit(s[i]))
        ++i;
    return i;
}

// Length of the longest prefix of `s` (from `start`) that reads as a decimal number.
size_t numberLength(std::string_view s, size_t start) {
    size_t i = start;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    size_t intEnd = skipDigits(s, i);
    size_t end = intEnd;
    if (end < s.size() && s[end] == '.') {
        size_t fracEnd = skipDigits(s, end + 1);
        if (fracEnd > end + 1 || intEnd > i) end = fracEnd;
    }
    if (end == i || (end == i + 1 && s[i] == '.')) return 0;
    if (end < s.size() && (s[end] == 'e' || s[end] == 'E')) {
        size_t e = end + 1;
        if (e < s.size() && (s[e] == '+' || s[e] == '-')) ++e;
        size_t expEnd = skipDigits(s, e);
        if (expEnd > e) end = expEnd;
    }
    return end - start;
}

size_t skipBlanks(std::string_view text) {
    size_t start = 0;
    while (start < text.size() && (text[start] == ' ' || text[start] == '\t'))
        ++start;
    return start;
}

}  // namespace

bool startsWithNumber(std::string_view text) {
    return numberLength(text, skipBlanks(text)) > 0;
}

double Val(std::string_view text) {
    size_t start = skipBlanks(text);
    size_t length = numberLength(text, start);
    if (length == 0) return 0.0;
    std::string number(text.substr(start, length));
    return std::strtod(number.c_str(), nullptr);
}

std::string Str(int64_t value) {
    return std::to_string(value);
}

std::string Str(double value) {
    if (std::isfinite(value) && value == std::trunc(value) && std::fabs(value) < 1e15) {
        return Str(static_cast<int64_t>(value));
    }
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.7g", value);
    std::string text(buffer);
    // "1.5e+07" -> "1.5e+7": no padding zeros in the exponent.
    size_t e = text.find('e');
    if (e != std::string::npos && e + 2 < text.size()) {
        size_t digits = e + 2;
        while (digits + 1 < text.size() && text[digits] == '0')
            text.erase(digits, 1);
    }
    return text;
}

bool readCalendarDay(std::string_view date, unsigned* year, unsigned* month, unsigned* day) {
    auto number = [&](size_t from, size_t length, unsigned* value) {
        auto [end, error] =
            std::from_chars(date.data() + from, date.data() + from + length, *value);
        return error == std::errc() && end == date.data() + from + length;
    };
    if (date.size() != 10 || date[4] != '-' || date[7] != '-' || !number(0, 4, year) ||
        !number(5, 2, month) || !number(8, 2, day) || *month < 1 || *month > 12 || *day < 1)
        return false;
    bool leap = (*year % 4 == 0 && *year % 100 != 0) || *year % 400 == 0;
    const unsigned days[] = {31, leap ? 29u : 28u, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return *day <= days[*month - 1];
}

size_t findIgnoringCase(std::string_view haystack, std::string_view needle, size_t start) {
    if (start < 1) start = 1;
    if (needle.size() > haystack.size()) return 0;
    for (size_t i = start - 1; i + needle.size() <= haystack.size(); ++i) {
        if (equalsIgnoringCase(haystack.substr(i, needle.size()), needle)) return i + 1;
    }
    return 0;
}

}  // namespace tabulon
