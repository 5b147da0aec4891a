#include "conversion/output_write.h"

#include "platform/atomic_file.h"
#include "platform/fd_sink.h"

namespace tabulon {

Status writeOutput(const OutputTarget& target, const std::function<Status(ByteSink&)>& write) {
    if (target.isStandardOutput()) {
        FdSink out = FdSink::standardOutput();
        return write(out);
    }
    AtomicFile file;
    Status status = file.open(target.path(), AtomicFile::Durability::kNoFlush);
    if (status.ok()) status = write(file);
    if (!status.ok()) return status;  // the unfinished file goes with `file`
    return file.commit();
}

}  // namespace tabulon
