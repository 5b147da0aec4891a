// What tells one message from another across runs: its Message-ID with a digest
// of its body, else a digest of its bytes, so that a message read again (from
// another file, or fetched again from a server, its header fields changed) is
// known as the same one, and two messages that share a Message-ID are not.
#pragma once

#include <string>
#include <string_view>

struct _GChecksum;

namespace tabulon {

// "id:" and the Message-ID as it stands (unfolded, blanks around it dropped),
// then " body:" and the hex digest of the body without its trailing blank lines;
// or "sha256:" and the hex digest of `message` when it has no Message-ID.
// REQUIRES: `message` has LF line ends.
std::string messageIdentity(std::string_view message);

// The part of an identity that an older record kept: "id:" and the Message-ID
// without the body's digest, else the identity itself.
std::string_view olderIdentity(std::string_view identity);

// The SHA-256 digest of `bytes`, in lowercase hex.
std::string sha256Hex(std::string_view bytes);

// The SHA-256 digest of bytes given piece by piece.
class Sha256 {
  public:
    Sha256();
    ~Sha256();
    Sha256(const Sha256&) = delete;
    Sha256& operator=(const Sha256&) = delete;
    void add(const char* data, size_t size);
    // Lowercase hex of what was added. REQUIRES: called once.
    std::string hex();

  private:
    _GChecksum* checksum_;
};

}  // namespace tabulon
