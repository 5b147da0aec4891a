// A table export (table_export.h) on a thread of its own, so that the thread
// that started it stays free to keep windows painted. Progress may be read, and
// the export stopped, from any thread.
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
    // Once ended: what was written.
    const ExportResult& result() const { return result_; }
    // Asks the export to end as soon as it can, leaving nothing: heeded until
    // the moment the output replaces the old file. From any thread.
    void stop() { stop_.store(true); }
    bool stopped() const { return stop_.load(); }

    // How much of the whole save is done, 0 to 100: the rows, then (of a
    // workbook) the writing of the workbook, which can take as long again.
    // 100 only once the output is complete.
    int percent() const;

    // Tests only: where an export can be held, to act while it is under way.
    enum class Point { kNone, kRowsWritten, kBeforeReplacing };
    // Every export from now on waits on reaching `point` until it is stopped or
    // another point is held (kNone: none), which lets one waiting go on.
    static void holdForTests(Point point);
    // Where an export waits now: kNone when none does.
    static Point heldForTests();

  private:
    // Waits at `point` while a test holds exports there.
    void reached(Point point);

    ExportRequest request_;
    std::atomic<uint64_t> bytesRead_{0};
    std::atomic<uint64_t> totalBytes_{0};
    std::atomic<uint64_t> finishing_{0};
    std::atomic<uint64_t> finishingTotal_{0};
    std::atomic<bool> stop_{false};
    Status status_;
    ExportResult result_;
    std::thread thread_;
};

}  // namespace tabulon
