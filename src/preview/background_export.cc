#include "preview/background_export.h"

#include <algorithm>
#include <chrono>

#include "conversion/converter.h"

namespace tabulon {
namespace {

// The share of a workbook's save that its rows take: compressing them into the
// workbook takes about as long again (400,000 rows of a form mail: 2.2 s, then 2.4 s).
constexpr int kWorkbookRowsShare = 50;

std::atomic<BackgroundExport::Point> holding{BackgroundExport::Point::kNone};
std::atomic<BackgroundExport::Point> waiting{BackgroundExport::Point::kNone};

}  // namespace

BackgroundExport::BackgroundExport(ExportRequest request) : request_(std::move(request)) {}

BackgroundExport::~BackgroundExport() {
    stop();
    if (thread_.joinable()) thread_.join();
}

void BackgroundExport::start(std::function<void()> finished) {
    request_.table.onFinishing = [this](uint64_t done, uint64_t total) {
        // The first call comes from the writer, with every row written.
        if (!finishing_.load() && !finishingTotal_.load()) reached(Point::kRowsWritten);
        finishingTotal_.store(total, std::memory_order_relaxed);
        finishing_.store(done, std::memory_order_relaxed);
    };
    request_.table.beforeCommit = [this] {
        reached(Point::kBeforeReplacing);
        return stopped() ? Status::Stopped() : Status::Ok();
    };
    thread_ = std::thread([this, finished = std::move(finished)] {
        auto progress = [this](uint64_t read, uint64_t total) {
            bytesRead_.store(read, std::memory_order_relaxed);
            totalBytes_.store(total, std::memory_order_relaxed);
        };
        status_ = exportTable(request_, progress, &stop_, &result_);
        if (finished) finished();
    });
}

Status BackgroundExport::wait() {
    if (thread_.joinable()) thread_.join();
    return status_;
}

int BackgroundExport::percent() const {
    int rows = progressPercent(bytesRead_.load(std::memory_order_relaxed),
                               totalBytes_.load(std::memory_order_relaxed));
    if (request_.format != TableFormat::kXlsx) return std::min(rows, 99);
    uint64_t total = finishingTotal_.load(std::memory_order_relaxed);
    if (total == 0) return std::min(rows, 99) * kWorkbookRowsShare / 100;
    int workbook = progressPercent(finishing_.load(std::memory_order_relaxed), total);
    return kWorkbookRowsShare + std::min(workbook, 99) * (100 - kWorkbookRowsShare) / 100;
}

void BackgroundExport::reached(Point point) {
    if (holding.load() != point) return;
    waiting.store(point);
    while (!stopped() && holding.load() == point)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    waiting.store(Point::kNone);
}

void BackgroundExport::holdForTests(Point point) {
    holding.store(point);
}

BackgroundExport::Point BackgroundExport::heldForTests() {
    return waiting.load();
}

}  // namespace tabulon
