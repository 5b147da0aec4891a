// Gathers a table writer's small pieces of output into large writes to its sink,
// and remembers the first write error.
#pragma once

#include <string>
#include <string_view>

#include "platform/byte_stream.h"
#include "platform/status.h"

namespace tabulon {

class SinkBuffer {
  public:
    explicit SinkBuffer(ByteSink& sink) : sink_(sink) {}

    // Where the pieces go; appended to directly.
    std::string& text() { return pending_; }
    // Writes the pending bytes once there are many of them.
    Status flushIfFull() { return pending_.size() >= kBlock ? flush() : Status::Ok(); }
    Status flush();

  private:
    static constexpr size_t kBlock = 256 * 1024;

    ByteSink& sink_;
    std::string pending_;
    Status status_;
};

}  // namespace tabulon
