// Makes the rows of a mail file on several threads: the caller's thread splits
// messages into batches and writes rows; worker threads decode the batches, each
// with its own RowMaker. Rows are handed on in input order. A bounded number of
// batches is in flight, so memory stays bounded by the batch size and the largest
// message, never the file.
#pragma once

#include <string_view>

#include "mail/message_conversion.h"
#include "mail/message_splitter.h"

namespace tabulon {

// REQUIRES: threads >= 2.
Status convertInParallel(MessageSplitter& splitter, std::string_view inputName, MessageRows& rows,
                         const RowFn& onRow, const ProgressFn& progress, unsigned threads);

}  // namespace tabulon
