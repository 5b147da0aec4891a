// The update server's reply: any bytes parse, and the verdict agrees with the
// version it reports.
#include <cstdint>
#include <string>

#include "update/update_reply.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string reply(reinterpret_cast<const char*>(data), size);
    bool complete = tabulon::updateReplyComplete(reply);
    tabulon::UpdateVerdict verdict = tabulon::parseUpdateReply(reply, 1.5);
    using Kind = tabulon::UpdateVerdict::Kind;
    if (verdict.kind == Kind::kNewer && !(verdict.latest > 1.5)) __builtin_trap();
    if (verdict.kind == Kind::kLatest && verdict.latest > 1.5) __builtin_trap();
    if (!complete && verdict.kind != Kind::kNoVersion) __builtin_trap();
    return 0;
}
