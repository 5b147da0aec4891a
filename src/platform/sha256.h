// SHA-256 digests in lowercase hex: of a message (its identity), of a table
// (the --new-only record's commit) and of a path (the name of a record).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

struct _GChecksum;

namespace tabulon {

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
