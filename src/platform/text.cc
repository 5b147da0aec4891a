#include "platform/text.h"

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

size_t findIgnoringCase(std::string_view haystack, std::string_view needle, size_t start) {
    if (start < 1) start = 1;
    if (needle.size() > haystack.size()) return 0;
    for (size_t i = start - 1; i + needle.size() <= haystack.size(); ++i) {
        if (equalsIgnoringCase(haystack.substr(i, needle.size()), needle)) return i + 1;
    }
    return 0;
}

std::string_view trimBlanks(std::string_view text) {
    size_t begin = 0;
    while (begin < text.size() && (text[begin] == ' ' || text[begin] == '\t'))
        ++begin;
    return trimEndBlanks(text.substr(begin));
}

std::string_view trimEndBlanks(std::string_view text) {
    size_t end = text.size();
    while (end > 0 && (text[end - 1] == ' ' || text[end - 1] == '\t'))
        --end;
    return text.substr(0, end);
}

}  // namespace tabulon
