// The exit statuses of the command-line tools, each defined once.
#pragma once

namespace tabulon {

inline constexpr int kExitOk = 0;          // converted; the event was handled
inline constexpr int kExitFailure = 1;     // a file could not be read or written; not handled
inline constexpr int kExitUsage = 2;       // wrong usage
inline constexpr int kExitNoApp = 3;       // tabulon-send: Tabulon is not running, nothing was sent
inline constexpr int kExitIncomplete = 4;  // --strict: the table may be wrong

}  // namespace tabulon
