#include "output/output_write.h"

#include "platform/atomic_file.h"
#include "platform/fd_sink.h"

namespace tabulon {
namespace {

// Passes bytes on to a file, showing them to `seen` once written.
class WatchedSink : public ByteSink {
  public:
    WatchedSink(ByteSink& sink, const std::function<void(const char*, size_t)>& seen)
        : sink_(sink), seen_(seen) {}
    Status write(const char* data, size_t size) override {
        Status status = sink_.write(data, size);
        if (status.ok() && seen_) seen_(data, size);
        return status;
    }

  private:
    ByteSink& sink_;
    const std::function<void(const char*, size_t)>& seen_;
};

}  // namespace

Status writeOutput(const OutputTarget& target, const std::function<Status(ByteSink&)>& write,
                   const CommitSteps* steps) {
    if (target.isStandardOutput()) {
        FdSink out = FdSink::standardOutput();
        return write(out);
    }
    AtomicFile file;
    Status status = file.open(target.path(), steps ? AtomicFile::Durability::kFlushToDisk
                                                   : AtomicFile::Durability::kNoFlush);
    if (!steps) {
        if (status.ok()) status = write(file);
        if (!status.ok()) return status;  // the unfinished file goes with `file`
        return file.commit();
    }
    WatchedSink watched(file, steps->written);
    if (status.ok()) status = write(watched);
    if (status.ok()) status = file.commit(steps->beforeRename);
    if (status.ok() && steps->afterRename) status = steps->afterRename();
    return status;
}

}  // namespace tabulon
