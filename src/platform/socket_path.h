// Making room for a listening local socket. Only a stale socket (a socket file
// nobody answers at, left by a process that ended without removing it) is ever
// removed; anything else at the path is left alone and reported.
#pragma once

#include <string>

#include "platform/status.h"

namespace tabulon {

// Ok when nothing is at `path` (any more); an error when something is in the
// way: a live socket, or what is not a socket at all.
Status clearStaleSocket(const std::string& path);

}  // namespace tabulon
