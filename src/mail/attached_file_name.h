// The name a file from a mail is saved under. The mail's name is never trusted:
// what is kept of it names a file in the folder it is written to, and nothing
// else: no folder part, no "..", no hidden file, no control character, no
// character other systems refuse in a name, and a bounded length.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tabulon {

// Names are cut to this many bytes (at a character's end, keeping a short
// extension), leaving room for a number below every file system's limit of 255.
inline constexpr size_t kMaxSavedNameBytes = 120;

// `given` made safe: only what follows its last "/" or "\" (a sender's own
// folders are not ours), made valid UTF-8, each control character and each of
// < > : " | ? * replaced by "_", blanks and dots at either end dropped; cut to
// kMaxSavedNameBytes; "attachment" when nothing is left.
std::string safeSavedName(std::string_view given);

// The `n`th name for a file called `name` when earlier ones are taken:
// "form.pdf", "form (2).pdf", "form (3).pdf"; n <= 1 gives `name`.
std::string numberedName(const std::string& name, unsigned n);

}  // namespace tabulon
