// Keeping a password out of reach: out of core dumps of the process, and wiped
// from the memory that held it once it is done with.
#pragma once

#include <string>

namespace tabulon {

// From now on the process leaves no core dump (and other users' debuggers stay
// out): called before a password is read or used, it holds for the rest of the
// process, since copies of it may linger in freed memory.
void keepOutOfCoreDumps();

// Overwrites `secret`'s bytes, then empties it.
void wipe(std::string* secret);

}  // namespace tabulon
