#include "mail/message_stream.h"

#include <algorithm>

#include "mail/conversion_limits.h"
#include "mail/layout_lookahead.h"
#include "mail/message_splitter.h"
#include "mail/parallel_rows.h"
#include "platform/cpu_count.h"

namespace tabulon {
namespace {

constexpr uint64_t kSmallInput = 256 << 10;

Status convertInOrder(MessageSplitter& splitter, std::string_view inputName, MessageRows& rows,
                      const RowFn& onRow, const ProgressFn& progress) {
    std::string message;
    std::vector<std::string> cells;
    uint64_t reported = 0;
    for (;;) {
        bool found = false;
        bool tooLarge = false;
        Status status = splitter.next(&message, &found, &tooLarge);
        if (!status.ok()) return status;
        if (!found) return Status::Ok();
        if (rows.rowOf(message, inputName, &cells, tooLarge)) {
            status = onRow(cells);
            if (!status.ok()) return status;
            rows.countWritten();
        }
        if (progress && splitter.bytesRead() - reported >= kProgressStep) {
            reported = splitter.bytesRead();
            progress(reported, splitter.sourceSize());
        }
    }
}

}  // namespace

Status convertMessages(ByteSource& input, std::string_view inputName, MessageRows& rows,
                       const RowFn& onRow, const ProgressFn& progress, bool oneMessage) {
    MessageSplitter splitter(input);
    if (oneMessage) splitter.keepOneMessage();
    if (!rows.learned()) {
        FormLayoutLearner learner;
        Status status = lookAhead(splitter, &learner);
        if (!status.ok()) return status;
        rows.learn(learner.layout());
    }
    unsigned threads = rows.options().threads;
    if (threads == 0) threads = std::min(4u, usableCores());
    // Starting threads costs more than a small file's messages take (a folder of
    // .eml files is thousands of such inputs).
    if (rows.options().threads == 0 && input.size() > 0 && input.size() < kSmallInput) threads = 1;
    Status status = threads > 1
                        ? convertInParallel(splitter, inputName, rows, onRow, progress, threads)
                        : convertInOrder(splitter, inputName, rows, onRow, progress);
    if (status.ok() && progress) progress(splitter.bytesRead(), input.size());
    return status;
}

}  // namespace tabulon
