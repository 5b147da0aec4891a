// Writes bytes to an open descriptor, retrying short writes. Does not own the
// descriptor. A closed pipe reader is reported as Status::BrokenPipe().
#pragma once

#include <string>

#include "platform/byte_stream.h"

namespace tabulon {

class FdSink : public ByteSink {
  public:
    FdSink(int fd, std::string name) : fd_(fd), name_(std::move(name)) {}
    // The process's standard output, named "standard output" in messages.
    static FdSink standardOutput();
    Status write(const char* data, size_t size) override;

  private:
    int fd_;
    std::string name_;
};

}  // namespace tabulon
