// Reads whole lines from a file, for small line-based files (templates,
// preferences). Lines end at CR, LF or CR LF and are returned byte for byte.
#pragma once

#include <string>
#include <vector>

#include "platform/status.h"

namespace tabulon {

// Reads every line of `path` into `lines`: an empty file gives one empty line, and
// a final line end gives no extra empty line.
Status readLines(const std::string& path, std::vector<std::string>* lines);

}  // namespace tabulon
