#include "platform/utf8.h"

#include <cstdint>
#include <cstring>
#include <string>

namespace tabulon {
namespace {

// Windows-1252 bytes 0x80 to 0x9F; 0 marks the unassigned ones.
constexpr uint16_t kWindows1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

void appendCodePoint(uint32_t c, std::string* out) {
    if (c < 0x80) {
        *out += static_cast<char>(c);
    } else if (c < 0x800) {
        *out += static_cast<char>(0xC0 | (c >> 6));
        *out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        *out += static_cast<char>(0xE0 | (c >> 12));
        *out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        *out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// How many bytes at the start of `text` are ASCII, eight at a time.
size_t asciiPrefix(std::string_view text) {
    constexpr uint64_t kHighBits = 0x8080808080808080ull;
    size_t i = 0;
    for (; i + 8 <= text.size(); i += 8) {
        uint64_t word;
        std::memcpy(&word, text.data() + i, sizeof word);
        if ((word & kHighBits) != 0) break;
    }
    while (i < text.size() && static_cast<unsigned char>(text[i]) < 0x80)
        ++i;
    return i;
}

}  // namespace

size_t utf8SequenceLength(std::string_view text, size_t i) {
    auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
    unsigned char b0 = byte(i);
    if (b0 < 0x80) return 1;
    size_t length;
    unsigned char low = 0x80, high = 0xBF;  // allowed range of the second byte
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        length = 2;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        length = 3;
        if (b0 == 0xE0) low = 0xA0;
        if (b0 == 0xED) high = 0x9F;  // no surrogates
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        length = 4;
        if (b0 == 0xF0) low = 0x90;
        if (b0 == 0xF4) high = 0x8F;  // nothing above U+10FFFF
    } else {
        return 0;
    }
    if (text.size() - i < length) return 0;
    if (byte(i + 1) < low || byte(i + 1) > high) return 0;
    for (size_t k = 2; k < length; ++k) {
        if (byte(i + k) < 0x80 || byte(i + k) > 0xBF) return 0;
    }
    return length;
}

bool isValidUtf8(std::string_view text) {
    for (size_t i = asciiPrefix(text); i < text.size();) {
        size_t length = utf8SequenceLength(text, i);
        if (length == 0) return false;
        i += length;
        if (length == 1) i += asciiPrefix(text.substr(i));
    }
    return true;
}

void appendValidUtf8(std::string_view text, std::string* out) {
    size_t kept = 0;  // start of the well-formed bytes not yet appended
    size_t i = 0;
    while (i < text.size()) {
        if (static_cast<unsigned char>(text[i]) < 0x80) {
            ++i;
            continue;
        }
        size_t length = utf8SequenceLength(text, i);
        if (length > 0) {
            i += length;
            continue;
        }
        out->append(text.data() + kept, i - kept);
        auto b = static_cast<unsigned char>(text[i++]);
        uint32_t c = b >= 0xA0 ? b : kWindows1252High[b - 0x80];
        appendCodePoint(c == 0 ? 0xFFFD : c, out);
        kept = i;
    }
    out->append(text.data() + kept, i - kept);
}

}  // namespace tabulon
