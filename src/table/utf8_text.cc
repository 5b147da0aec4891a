#include "table/utf8_text.h"

#include <algorithm>
#include <cstdint>

#include "platform/utf8.h"

namespace tabulon {
namespace {

bool isWide(uint32_t c) {
    return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) ||
           (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) ||
           (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
           (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x1F300 && c <= 0x1FAFF) ||
           (c >= 0x20000 && c <= 0x3FFFD);
}

}  // namespace

void appendCellText(std::string_view text, std::string* out) {
    size_t start = out->size();
    appendValidUtf8(text, out);
    std::string_view added(out->data() + start, out->size() - start);
    size_t control = 0;
    size_t first = findControl(added, 0, &control);
    while (first < added.size() && strayControlLength(added, first) == 0)
        first = findControl(added, first + control, &control);
    if (first == added.size()) return;
    std::string rest(added.substr(first));
    out->resize(start + first);
    for (size_t i = 0; i < rest.size();) {
        size_t control = strayControlLength(rest, i);
        if (control > 0) {
            *out += kReplacementCharacter;
            i += control;
        } else {
            *out += rest[i++];
        }
    }
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
