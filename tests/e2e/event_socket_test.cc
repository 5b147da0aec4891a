// The event socket's clients (tabulon-send, a second tabulon handing over its
// documents) send nothing to a listener of another user.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include "app/qt/app.h"
#include "e2e/running_tabulon.h"
#include "platform/event_client.h"

namespace tabulon::test {
namespace {

constexpr uid_t kNobody = 65534;

// A process of another user listening in the user's own folder (root can put it
// there) hears nothing from either client.
TEST(EventSocket, NothingIsSentToAListenerOfAnotherUser) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to listen as another user";
    TempDir home;
    std::string folder = home.file("run");
    ::mkdir(folder.c_str(), 0700);
    ScopedEnv runtime("XDG_RUNTIME_DIR", folder.c_str());
    sockaddr_un address = unixAddress(folder + "/tabulon-events");
    int report[2];
    ASSERT_EQ(::pipe(report), 0);
    pid_t listener = ::fork();
    if (listener == 0) {
        // Bound by root in the folder, listening as nobody: the credentials a
        // client sees are those of the call to listen().
        int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0 || ::listen(fd, 8) != 0) {
            ::_exit(1);
        }
        long ready = -1;
        if (::write(report[1], &ready, sizeof ready) != sizeof ready) ::_exit(1);
        for (;;) {
            // Reports how much a client sent, answering "handled" to anything.
            int client = ::accept(fd, nullptr, nullptr);
            char buffer[4096];
            ssize_t n = ::read(client, buffer, sizeof buffer);
            long received = n > 0 ? n : 0;
            if (n > 0 && ::write(client, "H", 1) != 1) ::_exit(1);
            ::close(client);
            if (::write(report[1], &received, sizeof received) != sizeof received) ::_exit(1);
        }
    }
    ::close(report[1]);
    auto nextReport = [&] {
        long value = -2;
        return ::read(report[0], &value, sizeof value) == sizeof value ? value : -2;
    };
    ASSERT_EQ(nextReport(), -1);  // listening

    ProgramResult sent = runProgram({TABULON_SEND_BINARY, "prcs", "/a/file"}, home.path());
    EXPECT_EQ(sent.exitCode, 3);
    EXPECT_PRED2(contains, sent.err, "runs as another user");
    EXPECT_EQ(nextReport(), 0);
    EXPECT_FALSE(handOffToRunningApp({QStringLiteral("/a/document")}));
    EXPECT_EQ(nextReport(), 0);

    ::kill(listener, SIGKILL);
    ::waitpid(listener, nullptr, 0);
    ::close(report[0]);
}

}  // namespace
}  // namespace tabulon::test
