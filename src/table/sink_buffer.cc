#include "table/sink_buffer.h"

namespace tabulon {

Status SinkBuffer::flush() {
    if (status_.ok() && !pending_.empty()) status_ = sink_.write(pending_.data(), pending_.size());
    pending_.clear();
    return status_;
}

}  // namespace tabulon
