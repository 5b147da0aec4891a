// An input's messages made into rows one after another: the look at its first
// messages that teaches the form's layout, then the rows, made on the caller's
// thread or on several (parallel_rows.h).
#pragma once

#include <string_view>

#include "conversion/converter.h"
#include "mail/message_conversion.h"
#include "platform/byte_stream.h"

namespace tabulon {

// Splits `input` into messages and hands each one's row to `onRow`. Stops at the
// first read error or the first error `onRow` returns. Unless `rows` has learned
// the form's layout, the first messages of `input` teach it. `oneMessage`: the
// input is one message (MessageSplitter::keepOneMessage()).
Status convertMessages(ByteSource& input, std::string_view inputName, MessageRows& rows,
                       const RowFn& onRow, const ProgressFn& progress = {},
                       bool oneMessage = false);

}  // namespace tabulon
