// One file conversion on a thread of its own, so that the thread that started it
// stays free (to keep windows painted). Progress can be read from any thread.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "platform/file_source.h"
#include "platform/status.h"
#include "templates/field_list.h"

namespace tabulon {

class BackgroundConversion {
  public:
    BackgroundConversion(std::unique_ptr<FileSource> input, std::string inputName,
                         std::string outputPath, FieldList fields);
    // Waits for the conversion to end.
    ~BackgroundConversion();
    BackgroundConversion(const BackgroundConversion&) = delete;
    BackgroundConversion& operator=(const BackgroundConversion&) = delete;

    // Starts converting; `finished` is called on the conversion's thread when it
    // has ended (the output closed or given up).
    void start(std::function<void()> finished);
    // Converts on the calling thread instead, to the end; wait() then returns at
    // once. For inputs so small that a thread would cost more than the work.
    void run();
    // Waits for the end and returns how it went: an error also when the input
    // changed while it was read (FileSource::checkReadWhole); the output is then
    // written and holds what was read.
    Status wait();
    // Asks the conversion to stop at its next block, leaving no output; from any
    // thread. wait() then returns an error.
    void stop() { stop_.store(true); }
    bool stopped() const { return stop_.load(); }

    uint64_t bytesRead() const { return bytesRead_.load(std::memory_order_relaxed); }
    uint64_t totalBytes() const { return totalBytes_; }

  private:
    std::unique_ptr<FileSource> input_;
    std::string inputName_;
    std::string outputPath_;
    FieldList fields_;
    uint64_t totalBytes_;
    std::atomic<uint64_t> bytesRead_{0};
    std::atomic<bool> stop_{false};
    Status status_;
    std::thread thread_;
};

}  // namespace tabulon
