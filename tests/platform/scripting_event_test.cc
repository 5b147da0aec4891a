#include "platform/scripting_event.h"

#include <gtest/gtest.h>

namespace tabulon {
namespace {

// Each byte of the length counts: a peer cannot pass a huge message off as a small one.
TEST(ScriptingEvent, LengthsAreReadWhole) {
    ScriptingEvent event;
    std::string sent = encodeEvent({"aevt", "prcs", "/a/b"});
    EXPECT_EQ(decodeEvent(sent.substr(0, 10), &event), DecodeResult::kNeedMore);
    ASSERT_EQ(decodeEvent(sent, &event), DecodeResult::kComplete);
    EXPECT_EQ(event.eventId + event.parameter, "prcs/a/b");
    for (char top : {'\x01', '\x80'}) {
        std::string huge = sent;
        huge[4] = top;  // 16 MiB and more, the rest of the length as it was
        EXPECT_EQ(decodeEvent(huge, &event), DecodeResult::kMalformed);
    }
}

}  // namespace
}  // namespace tabulon
