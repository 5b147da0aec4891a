// UTF-8 helpers for the table writers: making any bytes valid UTF-8, and how
// wide a text shows in a spreadsheet cell.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tabulon {

// Appends `text` to `out` as valid UTF-8: well-formed sequences (platform/utf8.h)
// are kept, every other byte is read as Windows-1252 (its five unassigned bytes as U+FFFD).
void appendValidUtf8(std::string_view text, std::string* out);

// Columns the longest line of valid UTF-8 `text` takes in a fixed-width view:
// one per character, two for East Asian wide characters and emoji.
size_t displayWidth(std::string_view text);

}  // namespace tabulon
