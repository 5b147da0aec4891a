// The two ends of a conversion: a source of input bytes and a sink for output
// bytes. Implementations are not thread-safe; one run uses each from one thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/status.h"

namespace tabulon {

class ByteSource {
  public:
    virtual ~ByteSource() = default;
    // Reads up to `capacity` bytes into `buffer`; `*count` is 0 at the end of input.
    virtual Status read(char* buffer, size_t capacity, size_t* count) = 0;
    // Size in bytes when known in advance (a regular file), otherwise 0.
    virtual uint64_t size() const = 0;
};

class ByteSink {
  public:
    virtual ~ByteSink() = default;
    // Writes all `size` bytes or fails.
    virtual Status write(const char* data, size_t size) = 0;
};

// Keeps what is written in a string.
class StringSink : public ByteSink {
  public:
    Status write(const char* data, size_t size) override {
        text.append(data, size);
        return Status::Ok();
    }
    std::string text;
};

}  // namespace tabulon
