// The sizes every reader of the message conversion (a file, a folder, IMAP)
// shares, so that memory and progress behave alike whatever the mail comes from.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tabulon {

// A buffer reused from message to message is let go once a large message grew
// it past this, so that memory holds a large message only while it is read.
inline constexpr size_t kKeptBytes = size_t{1} << 20;

// Progress is reported each time this many more bytes of an input were read.
inline constexpr uint64_t kProgressStep = uint64_t{1} << 20;

}  // namespace tabulon
