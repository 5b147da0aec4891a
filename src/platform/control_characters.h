// Which characters are controls: the C0 controls (U+0000 to U+001F), DEL and the
// C1 controls (U+0080 to U+009F). The one rule for what text from mail, a file
// name or a server may not carry into a table cell, a message or a command.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace tabulon {

// The bytes of the control character that begins at text[i] of UTF-8 text: 1 for
// a C0 control or DEL, 2 for a C1 control (C2 80 to C2 9F), 0 for any other.
// REQUIRES: i < text.size()
inline size_t controlLength(std::string_view text, size_t i) {
    auto b = static_cast<unsigned char>(text[i]);
    if (b < 0x20 || b == 0x7F) return 1;
    if (b != 0xC2 || i + 1 == text.size()) return 0;
    auto next = static_cast<unsigned char>(text[i + 1]);
    return next >= 0x80 && next < 0xA0 ? 2 : 0;
}

// A byte that may begin a control character: a quick test before controlLength.
inline bool mayBeginControl(char c) {
    auto b = static_cast<unsigned char>(c);
    return b < 0x20 || b == 0x7F || b == 0xC2;
}

// Where the first control at or after `from` begins in UTF-8 `text`, and in
// `*length` its bytes; text.size() when there is none.
inline size_t findControl(std::string_view text, size_t from, size_t* length) {
    // Eight bytes at a time while none of them may begin one (a byte below 0x20,
    // 0x7F or 0xC2): most text has no control at all.
    constexpr uint64_t kOnes = 0x0101010101010101ull, kHigh = 0x8080808080808080ull;
    size_t i = from;
    for (; i + 8 <= text.size(); i += 8) {
        uint64_t word;
        std::memcpy(&word, text.data() + i, sizeof word);
        uint64_t del = word ^ (kOnes * 0x7F), c2 = word ^ (kOnes * 0xC2);
        uint64_t hits =
            ((word - kOnes * 0x20) & ~word) | ((del - kOnes) & ~del) | ((c2 - kOnes) & ~c2);
        if ((hits & kHigh) != 0) break;
    }
    for (; i < text.size(); ++i) {
        if (!mayBeginControl(text[i])) continue;
        if ((*length = controlLength(text, i)) > 0) return i;
    }
    *length = 0;
    return text.size();
}

bool holdsControl(std::string_view text);

// `text`, which may come from a mail, a file name or a server, as it may be
// printed on a terminal: controls and bytes that are not UTF-8 are written as
// escapes ("\x1B", "\u009B"), and a text of more than `maxChars` characters is
// cut there, "..." marking the cut. With `keepLineEnds`, LF and Tab stay (a
// message of several lines).
std::string shownText(std::string_view text, size_t maxChars = 200, bool keepLineEnds = false);

}  // namespace tabulon
