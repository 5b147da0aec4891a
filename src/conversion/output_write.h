// Writes one output whole or not at all. A file is written through an
// AtomicFile: it appears only when `write` has succeeded, replacing any older
// file of that name at once, and after a failure the path holds what it held
// before. Standard output is written as the bytes come.
#pragma once

#include <functional>

#include "conversion/output_plan.h"
#include "platform/byte_stream.h"

namespace tabulon {

// `write` puts the whole output into the sink it is given and returns how it went.
// A file is not flushed to disk before it replaces the old one: an output can
// always be made again from its input.
Status writeOutput(const OutputTarget& target, const std::function<Status(ByteSink&)>& write);

}  // namespace tabulon
