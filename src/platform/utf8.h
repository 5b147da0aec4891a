// Which bytes are well-formed UTF-8: the Unicode standard's table of well-formed
// byte sequences (no overlong forms, no surrogates, nothing above U+10FFFF; NUL
// is a character like any other). The one rule the table writers and the mail
// decoding share.
#pragma once

#include <cstddef>
#include <string_view>

namespace tabulon {

// The length of the well-formed sequence that starts at text[i], or 0 when the
// bytes there are none. REQUIRES: i < text.size()
size_t utf8SequenceLength(std::string_view text, size_t i);

bool isValidUtf8(std::string_view text);

}  // namespace tabulon
