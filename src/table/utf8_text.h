// UTF-8 helpers for the table writers: making any bytes valid UTF-8 and fit for a
// cell, and how wide a text shows in a spreadsheet cell.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/control_characters.h"
#include "platform/utf8.h"

namespace tabulon {

// What a cell of every written table holds of `text`: valid UTF-8 as
// appendValidUtf8 makes it, with each control (platform/control_characters.h)
// other than Tab, LF and CR (ESC, NUL, DEL, CSI, ...) replaced by U+FFFD, so that
// a file shown on a terminal or opened by a spreadsheet carries no escape
// sequence or NUL from a mail. Each format then writes Tab, LF and CR its own way.
void appendCellText(std::string_view text, std::string* out);

// The bytes of the control at text[i] that appendCellText replaces: 0 for any
// other character, Tab, LF and CR included. REQUIRES: i < text.size()
inline size_t strayControlLength(std::string_view text, size_t i) {
    char c = text[i];
    return c == '\t' || c == '\n' || c == '\r' ? 0 : controlLength(text, i);
}

// U+FFFD, what stands for a character a cell cannot hold.
inline constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";

// The UTF-16 units, which workbooks count, of the character whose UTF-8 form
// begins with `byte`: two beyond U+FFFF, one below, none for a byte inside one.
inline size_t utf16UnitsFrom(unsigned char byte) {
    if ((byte & 0xC0) == 0x80) return 0;
    return byte >= 0xF0 ? 2 : 1;
}

// Columns the longest line of valid UTF-8 `text` takes in a fixed-width view:
// one per character, two for East Asian wide characters and emoji.
size_t displayWidth(std::string_view text);

}  // namespace tabulon
