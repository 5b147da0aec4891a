#include "platform/control_characters.h"

#include "platform/utf8.h"

namespace tabulon {

bool holdsControl(std::string_view text) {
    for (size_t i = 0; i < text.size(); ++i) {
        if (mayBeginControl(text[i]) && controlLength(text, i) > 0) return true;
    }
    return false;
}

std::string shownText(std::string_view text, size_t maxChars, bool keepLineEnds) {
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
        if (keepLineEnds && (b == '\n' || b == '\t')) control = 0;
        if (length == 0 || control == 1) {
            shown += "\\x";
            shown += kHex[b >> 4];
            shown += kHex[b & 0xF];
            ++i;
        } else if (control == 2) {
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

}  // namespace tabulon
