// A table export (table_export.h) on a thread of its own, so that the thread
// that started it stays free to keep windows painted. Progress may be read from
// any thread.
#pragma once

#include <atomic>
#include <functional>
#include <thread>

#include "preview/table_export.h"

namespace tabulon {

class BackgroundExport {
  public:
    explicit BackgroundExport(ExportRequest request);
    // Stops the export and waits for it to end.
    ~BackgroundExport();
    BackgroundExport(const BackgroundExport&) = delete;
    BackgroundExport& operator=(const BackgroundExport&) = delete;

    // Starts writing; `finished` is called on the export's thread at its end.
    void start(std::function<void()> finished);
    // Waits for the end and returns how it went.
    Status wait();
    // Asks the export to end as soon as it can, leaving nothing; from any thread.
    void stop() { stop_.store(true); }
    bool stopped() const { return stop_.load(); }

    uint64_t bytesRead() const { return bytesRead_.load(std::memory_order_relaxed); }
    uint64_t totalBytes() const { return totalBytes_.load(std::memory_order_relaxed); }

  private:
    ExportRequest request_;
    std::atomic<uint64_t> bytesRead_{0};
    std::atomic<uint64_t> totalBytes_{0};
    std::atomic<bool> stop_{false};
    Status status_;
    std::thread thread_;
};

}  // namespace tabulon
