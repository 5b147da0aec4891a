// Reads whole lines from a small line-based file (a template, the preferences).
// Lines end at CR, LF or CR LF and are returned byte for byte. Only regular files
// of at most `maxBytes` are read, so that a device, a pipe or a huge file given by
// mistake is refused at once instead of hanging the app or filling its memory.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/status.h"

namespace tabulon {

// Reads every line of `path` into `lines`: an empty file gives one empty line, and
// a final line end gives no extra empty line.
Status readLines(const std::string& path, std::vector<std::string>* lines,
                 uint64_t maxBytes = 1 << 20);

}  // namespace tabulon
