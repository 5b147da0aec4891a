// The event server in this process, its event loop driven by the test: what it
// finds at its socket path when it starts.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QTest>

#include "app/qt/event_server.h"
#include "test_util.h"

namespace tabulon::test {
namespace {

// The one-byte answer to `message`, running the event loop until it comes.
char answerTo(int fd, const std::string& message) {
    ::send(fd, message.data(), message.size(), MSG_NOSIGNAL);
    char answer = 0;
    bool ended = QTest::qWaitFor(
        [&] {
            ssize_t n = ::recv(fd, &answer, 1, MSG_DONTWAIT);
            return n >= 0 || (errno != EAGAIN && errno != EWOULDBLOCK);
        },
        60000);
    return ended ? answer : 0;
}

class EventServerTest : public ::testing::Test {
  protected:
    std::string path() const { return dir.file("tabulon-events"); }

    TempDir dir;
    EventServer server{[](const ScriptingEvent& event, EventServer::Reply reply) {
        reply(eventIdIs(event.eventId, "hail"), {});
    }};
};

TEST_F(EventServerTest, WhatLiesAtTheSocketPath) {
    // A stale socket (nobody answers at it) is replaced.
    int stale = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address = unixAddress(path());
    ASSERT_EQ(::bind(stale, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::close(stale);
    {
        EventServer first([](const ScriptingEvent&, EventServer::Reply reply) { reply(true, {}); });
        ASSERT_TRUE(first.listen(path()).ok());
        // A live one is not taken over.
        Status second = server.listen(path());
        EXPECT_FALSE(second.ok());
        EXPECT_NE(second.message().find("already answers"), std::string::npos) << second.message();
        int fd = connectTo(path());
        EXPECT_EQ(answerTo(fd, encodeEvent({"aevt", "ping", ""})), kHandled);  // still the first
        ::close(fd);
    }
    // Anything else is never deleted.
    for (bool folder : {false, true}) {
        ::unlink(path().c_str());
        if (folder) {
            ::mkdir(path().c_str(), 0700);
        } else {
            writeFile(path(), "precious");
        }
        Status status = server.listen(path());
        EXPECT_FALSE(status.ok());
        EXPECT_NE(status.message().find("is not a socket"), std::string::npos) << status.message();
        struct stat kept {};
        ASSERT_EQ(::lstat(path().c_str(), &kept), 0);
        EXPECT_EQ(S_ISDIR(kept.st_mode), folder);
        if (!folder) {
            EXPECT_EQ(readFile(path()), "precious");
        }
        ::rmdir(path().c_str());
    }
}

}  // namespace
}  // namespace tabulon::test
