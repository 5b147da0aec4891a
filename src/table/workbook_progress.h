// How far libxlsxwriter has come in writing a workbook once its rows are in:
// the workbook file grows as the rows' XML is compressed into it, and a sample
// of the rows, compressed here the same way, says about how big it will be.
// The library gives no progress of its own.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

namespace tabulon {

// What of the rows is kept as a sample: about this many bytes of their XML.
inline constexpr size_t kWorkbookSampleBytes = size_t{1} << 20;

// About how many bytes a workbook takes whose sheet's XML is `sheetBytes` long
// and compresses as `sample`, its beginning, does.
uint64_t estimatedWorkbookSize(std::string_view sample, uint64_t sheetBytes);

// While it lives, tells `progress` the size of the file at `path` a few dozen
// times a second, from a thread of its own, as `done` of `total` (never all of
// it: the end is told by the writer).
class WorkbookProgress {
  public:
    WorkbookProgress(std::string path, uint64_t total,
                     std::function<void(uint64_t done, uint64_t total)> progress);
    ~WorkbookProgress();
    WorkbookProgress(const WorkbookProgress&) = delete;
    WorkbookProgress& operator=(const WorkbookProgress&) = delete;

  private:
    std::mutex mutex_;
    std::condition_variable ended_;
    bool end_ = false;
    std::thread thread_;
};

}  // namespace tabulon
