// Collects the conversion's output into large blocks and hands each full block to
// a ByteSink. Once a run has produced a few blocks, and when the process may run
// on a second core, a writer thread takes over the sink: the run fills one block while
// the previous one is being written. Remembers the first write error and drops
// everything after it. Used from one thread; the writer thread is its own, and
// the sink is written from one thread at a time, each write handed over under a lock.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/byte_stream.h"

namespace tabulon {

class OutputBuffer {
  public:
    // Blocks of `blockSize` bytes with `slack` more bytes for appendValue()'s
    // fixed-size copy.
    OutputBuffer(ByteSink& sink, size_t blockSize, size_t slack);
    ~OutputBuffer();
    OutputBuffer(const OutputBuffer&) = delete;
    OutputBuffer& operator=(const OutputBuffer&) = delete;

    void append(const char* bytes, size_t size) {
        if (size > blockSize_ - used_) {
            flush();
            if (size >= blockSize_) return writeThrough(bytes, size);
        }
        std::memcpy(block_ + used_, bytes, size);
        used_ += size;
    }
    void append(char byte) {
        if (used_ == blockSize_) flush();
        block_[used_++] = byte;
    }
    // `size` bytes then `separator`. Values shorter than the slack are copied as
    // one fixed-size move.
    // REQUIRES: bytes[0, size + slack) is readable.
    void appendValue(const char* bytes, size_t size, char separator) {
        if (size < slack_) {
            std::memcpy(block_ + used_, bytes, kFixedCopy);
            block_[used_ + size] = separator;
            used_ += size + 1;
            if (used_ >= blockSize_) flush();
            return;
        }
        append(bytes, size);
        append(separator);
    }

    // Writes what is buffered and waits until every byte has reached the sink.
    Status finish();
    // The first write error so far.
    Status status() const;

  private:
    static constexpr size_t kFixedCopy = 64;

    void flush();
    void writeThrough(const char* bytes, size_t size);
    void put(const char* bytes, size_t size);
    void startWriter();
    void writerLoop();
    void waitUntilWritten(std::unique_lock<std::mutex>& lock);

    ByteSink& sink_;
    const size_t blockSize_;
    const size_t slack_;
    std::unique_ptr<char[]> blocks_[2];
    char* block_;      // the block being filled
    size_t used_ = 0;  // bytes in it; at most blockSize_ between calls
    int flushes_ = 0;

    std::thread writer_;
    mutable std::mutex mutex_;
    std::condition_variable handedOver_;  // a block is pending, or stop
    std::condition_variable written_;     // the pending block is written
    const char* pending_ = nullptr;       // a block the writer has yet to write
    size_t pendingSize_ = 0;
    bool stop_ = false;
    Status status_;
};

}  // namespace tabulon
