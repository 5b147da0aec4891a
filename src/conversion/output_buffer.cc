#include "conversion/output_buffer.h"

#include <exception>

#include "platform/cpu_count.h"

namespace tabulon {
namespace {

// Blocks written by the run's own thread before a writer thread is worth starting.
constexpr int kBlocksBeforeWriter = 8;

}  // namespace

OutputBuffer::OutputBuffer(ByteSink& sink, size_t blockSize, size_t slack)
    : sink_(sink), blockSize_(blockSize), slack_(slack < kFixedCopy ? 0 : kFixedCopy) {
    blocks_[0].reset(new char[blockSize_ + slack_]);
    block_ = blocks_[0].get();
}

OutputBuffer::~OutputBuffer() {
    if (!writer_.joinable()) return;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    handedOver_.notify_one();
    writer_.join();
}

Status OutputBuffer::finish() {
    flush();
    std::unique_lock<std::mutex> lock(mutex_);
    waitUntilWritten(lock);
    return status_;
}

Status OutputBuffer::status() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return status_;
}

void OutputBuffer::flush() {
    if (used_ == 0) return;
    if (!writer_.joinable() && ++flushes_ == kBlocksBeforeWriter) startWriter();
    if (!writer_.joinable()) {
        put(block_, used_);
        used_ = 0;
        return;
    }
    {
        std::unique_lock<std::mutex> lock(mutex_);
        waitUntilWritten(lock);
        pending_ = block_;
        pendingSize_ = used_;
    }
    handedOver_.notify_one();
    block_ = block_ == blocks_[0].get() ? blocks_[1].get() : blocks_[0].get();
    used_ = 0;
}

void OutputBuffer::writeThrough(const char* bytes, size_t size) {
    if (writer_.joinable()) {
        std::unique_lock<std::mutex> lock(mutex_);
        waitUntilWritten(lock);
    }
    put(bytes, size);
}

void OutputBuffer::put(const char* bytes, size_t size) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (size > 0 && status_.ok()) status_ = sink_.write(bytes, size);
}

void OutputBuffer::startWriter() {
    if (usableCores() < 2) return;
    try {
        blocks_[1].reset(new char[blockSize_ + slack_]);
        writer_ = std::thread(&OutputBuffer::writerLoop, this);
    } catch (const std::exception&) {
        // No thread to be had: the run's own thread keeps writing.
    }
}

void OutputBuffer::waitUntilWritten(std::unique_lock<std::mutex>& lock) {
    written_.wait(lock, [this] { return pending_ == nullptr; });
}

void OutputBuffer::writerLoop() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        handedOver_.wait(lock, [this] { return pending_ != nullptr || stop_; });
        if (pending_ == nullptr) return;
        if (status_.ok()) {
            const char* bytes = pending_;
            size_t size = pendingSize_;
            lock.unlock();
            Status status = sink_.write(bytes, size);
            lock.lock();
            if (status_.ok()) status_ = status;
        }
        pending_ = nullptr;
        written_.notify_one();
    }
}

}  // namespace tabulon
