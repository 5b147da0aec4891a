// UTF-8 helpers for the table writers: making any bytes valid UTF-8 and fit for a
// cell, text from a mail made safe to print, and how wide a text shows in a
// spreadsheet cell.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tabulon {

// Appends `text` to `out` as valid UTF-8: well-formed sequences (platform/utf8.h)
// are kept, every other byte is read as Windows-1252 (its five unassigned bytes as U+FFFD).
void appendValidUtf8(std::string_view text, std::string* out);

// What a cell of every written table holds of `text`: valid UTF-8 as
// appendValidUtf8 makes it, with each C0 control other than Tab, LF and CR (ESC,
// NUL, ...) replaced by U+FFFD, so that a file shown on a terminal or opened by a
// spreadsheet carries no escape sequence or NUL from a mail. Each format then
// writes Tab, LF and CR its own way.
void appendCellText(std::string_view text, std::string* out);

// The bytes appendCellText replaces.
inline bool isStrayControl(char c) {
    return static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n' && c != '\r';
}

// The length of the control character (C0, DEL or C1) at text[i], 0 when
// there is none: the characters that a text from a mail never brings to a
// terminal or a file name. REQUIRES: i < text.size()
inline size_t controlLength(std::string_view text, size_t i) {
    auto b = static_cast<unsigned char>(text[i]);
    if (b < 0x20 || b == 0x7F) return 1;
    bool c1 = b == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
              static_cast<unsigned char>(text[i + 1]) < 0xA0;
    return c1 ? 2 : 0;
}

// U+FFFD, what stands for a character a cell cannot hold.
inline constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";

// `text`, which may come from a mail, as it may be printed on a terminal: control
// characters (C0, DEL and C1) and bytes that are not UTF-8 are written as escapes
// ("\x1B", "\u009B"), and a text of more than `maxChars` characters is cut there,
// "..." marking the cut.
std::string shownText(std::string_view text, size_t maxChars = 200);

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
