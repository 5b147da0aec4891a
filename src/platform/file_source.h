// Reads a file (or standard input) as raw bytes, block by block. Owns its
// descriptor unless it wraps standard input.
#pragma once

#include <memory>
#include <string>

#include "platform/byte_stream.h"

namespace tabulon {

class FileSource : public ByteSource {
  public:
    // Opens `path` for reading; refuses folders with a clear message.
    static Status open(const std::string& path, std::unique_ptr<FileSource>* result);
    // Opens `path` only when it is a regular file (links followed), never waiting:
    // a pipe, socket or device is refused with a message, so that a window never
    // blocks on opening or reading it.
    static Status openRegularFile(const std::string& path, std::unique_ptr<FileSource>* result);
    // Wraps an already open descriptor (not closed by this object); `name` is used
    // in messages.
    static std::unique_ptr<FileSource> fromDescriptor(int fd, std::string name);

    ~FileSource() override;
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;

    Status read(char* buffer, size_t capacity, size_t* count) override;
    uint64_t size() const override { return size_; }
    int descriptor() const { return fd_; }

    // After reading to the end: an error naming the file when a file opened here
    // gave another number of bytes than it held when opened (it changed during
    // the run). A wrapped descriptor is not checked: whoever handed it on may
    // have read part of it already.
    Status checkReadWhole(uint64_t bytesRead) const;

  private:
    FileSource(int fd, std::string name, bool owned, uint64_t size);

    int fd_;
    std::string name_;
    bool owned_;
    uint64_t size_;
};

}  // namespace tabulon
