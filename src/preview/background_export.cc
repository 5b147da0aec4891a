#include "preview/background_export.h"

namespace tabulon {

BackgroundExport::BackgroundExport(ExportRequest request) : request_(std::move(request)) {}

BackgroundExport::~BackgroundExport() {
    stop();
    if (thread_.joinable()) thread_.join();
}

void BackgroundExport::start(std::function<void()> finished) {
    thread_ = std::thread([this, finished = std::move(finished)] {
        auto progress = [this](uint64_t read, uint64_t total) {
            bytesRead_.store(read, std::memory_order_relaxed);
            totalBytes_.store(total, std::memory_order_relaxed);
        };
        status_ = exportTable(request_, progress, &stop_);
        if (finished) finished();
    });
}

Status BackgroundExport::wait() {
    if (thread_.joinable()) thread_.join();
    return status_;
}

}  // namespace tabulon
