// What tells one message from another across runs: its Message-ID, else a digest
// of its bytes, so that a message read again (from another file, or fetched
// again from a server) is known as the same one.
#pragma once

#include <string>
#include <string_view>

namespace tabulon {

// "id:" and the Message-ID as it stands (unfolded, blanks around it dropped), or
// "sha256:" and the hex digest of `message` when it has none.
// REQUIRES: `message` has LF line ends.
std::string messageIdentity(std::string_view message);

// The SHA-256 digest of `bytes`, in lowercase hex.
std::string sha256Hex(std::string_view bytes);

}  // namespace tabulon
