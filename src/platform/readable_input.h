// Whether a path can be a conversion's input, asked before anything else about
// the run (before asking where the output goes): it exists, is not a folder, and
// may be read. Nothing is opened, so a pipe with no writer cannot hold it up.
#pragma once

#include <string>

#include "platform/status.h"

namespace tabulon {

// Ok, or the message naming the file and what is wrong with it, in the words
// of the conversion's own messages.
Status checkReadableInput(const std::string& path);

}  // namespace tabulon
