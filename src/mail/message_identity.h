// What tells one message from another across runs: its Message-ID with a digest
// of its body, else a digest of its bytes, so that a message read again (from
// another file, or fetched again from a server, its header fields changed) is
// known as the same one, and two messages that share a Message-ID are not.
#pragma once

#include <string>
#include <string_view>

namespace tabulon {

// "id:" and the Message-ID as it stands (unfolded, blanks around it dropped),
// then " body:" and the hex digest of the body without its trailing blank lines;
// or "sha256:" and the hex digest of `message` when it has no Message-ID.
// REQUIRES: `message` has LF line ends.
std::string messageIdentity(std::string_view message);

// The part of an identity that an older record kept (SeenMessages::has()):
// "id:" and the Message-ID without the body's digest, else the identity itself.
std::string_view olderIdentity(std::string_view identity);

}  // namespace tabulon
