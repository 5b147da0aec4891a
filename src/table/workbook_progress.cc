#include "table/workbook_progress.h"

#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <memory>

namespace tabulon {
namespace {

// The workbook's parts besides the sheet (styles, relations, the zip directory).
constexpr uint64_t kOtherParts = 8 * 1024;
constexpr auto kInterval = std::chrono::milliseconds(30);

uint64_t fileSize(const std::string& path) {
    struct stat info = {};
    return ::stat(path.c_str(), &info) == 0 ? static_cast<uint64_t>(info.st_size) : 0;
}

}  // namespace

uint64_t estimatedWorkbookSize(std::string_view sample, uint64_t sheetBytes) {
    if (sample.empty()) return sheetBytes + kOtherParts;
    uLongf packed = ::compressBound(static_cast<uLong>(sample.size()));
    std::unique_ptr<Bytef[]> out(new Bytef[packed]);
    if (::compress2(out.get(), &packed, reinterpret_cast<const Bytef*>(sample.data()),
                    static_cast<uLong>(sample.size()), Z_DEFAULT_COMPRESSION) != Z_OK) {
        return sheetBytes + kOtherParts;
    }
    return static_cast<uint64_t>(static_cast<double>(sheetBytes) * static_cast<double>(packed) /
                                 static_cast<double>(sample.size())) +
           kOtherParts;
}

WorkbookProgress::WorkbookProgress(std::string path, uint64_t total,
                                   std::function<void(uint64_t done, uint64_t total)> progress) {
    thread_ = std::thread([this, path = std::move(path), total, progress = std::move(progress)] {
        std::unique_lock<std::mutex> lock(mutex_);
        while (!ended_.wait_for(lock, kInterval, [this] { return end_; }))
            progress(std::min(fileSize(path), total - 1), total);
    });
}

WorkbookProgress::~WorkbookProgress() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        end_ = true;
    }
    ended_.notify_one();
    thread_.join();
}

}  // namespace tabulon
