// Where the event socket may live, tried with the real programs: the app and both
// clients (tabulon-send, a second tabulon handing over its documents) use only a
// folder that is the user's alone, change no folder they did not make, and send
// nothing to a listener of another user.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QStringList>
#include <optional>

#include "app/qt/app.h"
#include "e2e/running_tabulon.h"
#include "platform/event_client.h"
#include "platform/file_info.h"
#include "platform/private_folder.h"

namespace tabulon::test {
namespace {

constexpr uid_t kNobody = 65534;

struct stat lstatOf(const std::string& path) {
    struct stat st {};
    ::lstat(path.c_str(), &st);
    return st;
}

TEST(EventSocket, FallbackFolderIsMadeForTheUserAlone) {
    TempDir temp;  // stands for /tmp
    ::chmod(temp.path().c_str(), 01777);
    ScopedEnv tmpdir("TMPDIR", temp.path().c_str());
    std::optional<ScopedEnv> runtime;
    RunningTabulon app({}, "",
                       [&](const TempDir&) { runtime.emplace("XDG_RUNTIME_DIR", nullptr); });
    ASSERT_TRUE(app.waitUntilListening()) << readFile(app.home.file("app.err"));
    std::string folder = folderOf(eventSocketPath());
    EXPECT_EQ(folderOf(folder) + "/", temp.path());
    struct stat made = lstatOf(folder);
    EXPECT_TRUE(S_ISDIR(made.st_mode));
    EXPECT_EQ(made.st_mode & 07777, 0700u);
    EXPECT_EQ(made.st_uid, ::geteuid());
    EXPECT_EQ(lstatOf(temp.path()).st_mode & 07777, 01777u);  // left as it was
    EXPECT_EQ(app.send({"hail", "x"}).exitCode, 0);
    writeFile(app.home.file("mail.txt"), "Name: Ann\n");
    app.answerDialogs(app.home.file("out.txt") + "\n");
    EXPECT_TRUE(handOffToRunningApp({QString::fromStdString(app.home.file("mail.txt"))}));
    EXPECT_TRUE(waitFor([&] { return fileExists(app.home.file("out.txt")); }));
}

// The fallback folder found as a link (to a folder of the user's): the app says
// so and runs without the event server; tabulon-send and a second tabulon send
// nothing; the link and its target are left as they were, with no socket in them.
// Each reason a folder is refused: PrivateFolder.FoldersNotTheUsersAloneAreLeftAsTheyAre.
TEST(EventSocket, FoldersThatAreNotTheUsersAloneAreNeverUsed) {
    TempDir place;
    std::string folder, elsewhere = place.file("elsewhere");
    struct stat before {};
    ScopedEnv tmpdir("TMPDIR", place.path().c_str());
    std::optional<ScopedEnv> runtime;
    RunningTabulon app({}, "", [&](const TempDir&) {
        runtime.emplace("XDG_RUNTIME_DIR", nullptr);
        folder = folderOf(eventSocketPath());
        ::mkdir(elsewhere.c_str(), 0700);
        ASSERT_EQ(::symlink(elsewhere.c_str(), folder.c_str()), 0);
        before = lstatOf(folder);
    });
    EXPECT_TRUE(app.waitUntilShown("message Tabulon cannot take scripting events: the folder \"" +
                                   folder + "\" is not private to you (it is a link).\n"))
        << app.dialogLog();
    EXPECT_NE(readFile(app.home.file("app.err")).find("it is a link"), std::string::npos);

    ProgramResult sent = app.send({"hail", "x"});
    EXPECT_EQ(sent.exitCode, 3);
    EXPECT_NE(sent.err.find("nothing was sent: the folder \"" + folder), std::string::npos)
        << sent.err;
    EXPECT_FALSE(handOffToRunningApp({QStringLiteral("/a/document")}));

    struct stat after = lstatOf(folder);
    EXPECT_EQ(after.st_mode, before.st_mode);
    EXPECT_EQ(after.st_uid, before.st_uid);
    EXPECT_EQ(lstatOf(elsewhere).st_mode & 07777, 0700u);
    EXPECT_FALSE(fileExists(elsewhere + "/tabulon-events"));
    EXPECT_TRUE(app.running());
}

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
    EXPECT_NE(sent.err.find("runs as another user"), std::string::npos) << sent.err;
    EXPECT_EQ(nextReport(), 0);
    EXPECT_FALSE(handOffToRunningApp({QStringLiteral("/a/document")}));
    EXPECT_EQ(nextReport(), 0);

    ::kill(listener, SIGKILL);
    ::waitpid(listener, nullptr, 0);
    ::close(report[0]);
}

}  // namespace
}  // namespace tabulon::test
