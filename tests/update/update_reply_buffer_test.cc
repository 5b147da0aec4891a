#include "update/update_reply_buffer.h"

#include <gtest/gtest.h>

namespace tabulon {
namespace {

using Action = UpdateReplyBuffer::Action;

TEST(UpdateReplyBuffer, ReplyInPiecesIsDecidedOnceBothKeysAreIn) {
    UpdateReplyBuffer reply;
    reply.startCheck();
    const std::string first =
        "HTTP/1.0 200 OK\rX-AppName: T\r\rAppVersion: 1.2\rAppName: Tabulon\r";
    // A name before the version is not the end of the reply.
    EXPECT_EQ(reply.add("HTTP/1.0 200 OK\r\nX-AppName: T\r\n\r\nAppVer"), Action::kNone);
    EXPECT_EQ(reply.add("sion: 1.2\r\nApp"), Action::kNone);
    EXPECT_EQ(reply.add("Na"), Action::kNone);
    EXPECT_EQ(reply.add("me: Tabulon\r\n"), Action::kDecide);
    EXPECT_EQ(reply.text(), first);
    // Decided once per check: what follows is neither kept nor decided again.
    EXPECT_EQ(reply.add("AppVersion: 9\r\nAppName: T\r\n"), Action::kNone);
    EXPECT_EQ(reply.closed(), Action::kNone);
    EXPECT_EQ(reply.text(), first);

    // A second check appends to the first reply and decides again.
    reply.startCheck();
    EXPECT_EQ(reply.add("AppVersion: 3.0\nAppName: T"), Action::kDecide);
    EXPECT_EQ(reply.text(), first + "AppVersion: 3.0AppName: T");
}

TEST(UpdateReplyBuffer, AtMost64KiBIsKeptThenTheCheckStops) {
    UpdateReplyBuffer reply;
    reply.startCheck();
    EXPECT_EQ(reply.add(std::string(kMaxUpdateReply - 1, 'x')), Action::kNone);
    EXPECT_EQ(reply.add(std::string(1000, '\n')), Action::kNone);  // line feeds take no room
    EXPECT_EQ(reply.add("x"), Action::kDecideAndStop);             // filled exactly
    EXPECT_EQ(reply.add("more"), Action::kNone);
    EXPECT_EQ(reply.text(), std::string(kMaxUpdateReply, 'x'));

    UpdateReplyBuffer huge;
    EXPECT_EQ(huge.add(std::string(kMaxUpdateReply + 10, 'y')), Action::kDecideAndStop);
    EXPECT_EQ(huge.text().size(), kMaxUpdateReply);
    // A full buffer decides the next check at its first byte.
    huge.startCheck();
    EXPECT_EQ(huge.add("z"), Action::kDecideAndStop);
    EXPECT_EQ(huge.text().size(), kMaxUpdateReply);
}

TEST(UpdateReplyBuffer, ClosingDecidesWhatCameOrSaysNothingCame) {
    struct Case {
        const char* received;  // nullptr: nothing arrived
        Action onClose;
    };
    for (const Case& c : {Case{nullptr, Action::kUnreachable}, Case{"", Action::kUnreachable},
                          Case{"\n\n", Action::kNone},  // bytes came, but nothing to read
                          Case{"HTTP/1.0 200 OK\r\nAppVersion: 1.2\r\nApp", Action::kDecide}}) {
        SCOPED_TRACE(c.received ? c.received : "(nothing)");
        UpdateReplyBuffer reply;
        reply.startCheck();
        if (c.received) {
            EXPECT_EQ(reply.add(c.received), Action::kNone);
        }
        EXPECT_EQ(reply.closed(), c.onClose);
        EXPECT_EQ(reply.closed(), c.onClose == Action::kUnreachable ? c.onClose : Action::kNone);
    }
}

}  // namespace
}  // namespace tabulon
