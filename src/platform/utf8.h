// Which bytes are well-formed UTF-8: the Unicode standard's table of well-formed
// byte sequences (no overlong forms, no surrogates, nothing above U+10FFFF; NUL
// is a character like any other). The one rule the table writers and the mail
// decoding share.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>

namespace tabulon {

// The length of the well-formed sequence that starts at text[i], or 0 when the
// bytes there are none. REQUIRES: i < text.size()
size_t utf8SequenceLength(std::string_view text, size_t i);

bool isValidUtf8(std::string_view text);

// How many characters `text` holds: its bytes that begin a UTF-8 sequence.
inline size_t charsIn(std::string_view text) {
    return static_cast<size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

// Appends `text` to `out` as valid UTF-8: well-formed sequences are kept, every
// other byte is read as Windows-1252 (its five unassigned bytes as U+FFFD). What
// any text of no known charset becomes, a mail's or a line conversion's.
void appendValidUtf8(std::string_view text, std::string* out);

}  // namespace tabulon
