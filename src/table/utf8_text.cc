#include "table/utf8_text.h"

#include <algorithm>
#include <cstdint>

#include "platform/utf8.h"

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

bool isWide(uint32_t c) {
    return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) ||
           (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) ||
           (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
           (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x1F300 && c <= 0x1FAFF) ||
           (c >= 0x20000 && c <= 0x3FFFD);
}

}  // namespace

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

void appendCellText(std::string_view text, std::string* out) {
    size_t start = out->size();
    appendValidUtf8(text, out);
    auto first =
        std::find_if(out->begin() + static_cast<ptrdiff_t>(start), out->end(), isStrayControl);
    if (first == out->end()) return;
    std::string rest(first, out->end());
    out->erase(first, out->end());
    for (char c : rest) {
        if (isStrayControl(c)) {
            *out += kReplacementCharacter;
        } else {
            *out += c;
        }
    }
}

std::string shownText(std::string_view text, size_t maxChars) {
    constexpr char kHex[] = "0123456789ABCDEF";
    std::string shown;
    size_t chars = 0;
    for (size_t i = 0; i < text.size(); ++chars) {
        if (chars == maxChars) {
            shown += "...";
            break;
        }
        auto b = static_cast<unsigned char>(text[i]);
        size_t length = utf8SequenceLength(text, i);
        size_t control = controlLength(text, i);
        bool c1 = control == 2 && length == 2;
        if (length == 0 || control == 1) {
            shown += "\\x";
            shown += kHex[b >> 4];
            shown += kHex[b & 0xF];
            ++i;
        } else if (c1) {
            auto c = static_cast<unsigned char>(text[i + 1]);
            shown += "\\u00";
            shown += kHex[c >> 4];
            shown += kHex[c & 0xF];
            i += 2;
        } else {
            shown.append(text.substr(i, length));
            i += length;
        }
    }
    return shown;
}

size_t displayWidth(std::string_view text) {
    size_t widest = 0, width = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        auto b = static_cast<unsigned char>(text[i]);
        if (b == '\n' || b == '\r') {
            widest = std::max(widest, width);
            width = 0;
        } else if ((b & 0xC0) != 0x80) {  // the first byte of a character
            uint32_t c = b;
            if (b >= 0xF0 && i + 3 < text.size()) {
                c = ((b & 0x07u) << 18) | ((text[i + 1] & 0x3Fu) << 12) |
                    ((text[i + 2] & 0x3Fu) << 6) | (text[i + 3] & 0x3Fu);
            } else if (b >= 0xE0 && i + 2 < text.size()) {
                c = ((b & 0x0Fu) << 12) | ((text[i + 1] & 0x3Fu) << 6) | (text[i + 2] & 0x3Fu);
            }
            width += isWide(c) ? 2 : 1;
        }
    }
    return std::max(widest, width);
}

}  // namespace tabulon
