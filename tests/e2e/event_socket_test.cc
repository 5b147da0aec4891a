// Where the event socket may live, tried with the real programs: the app and both
// clients (tabulon-send, a second tabulon handing over its documents) use only a
// folder that is the user's alone, change no folder they did not make, delete
// nothing but a stale socket, and send nothing to a listener of another user.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QStringList>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <optional>

#include "app/qt/app.h"
#include "e2e/running_tabulon.h"
#include "platform/event_client.h"
#include "platform/file_info.h"
#include "platform/private_folder.h"

namespace tabulon::test {
namespace {

const std::string kSend = TABULON_SEND_BINARY;
constexpr uid_t kNobody = 65534;

// Sets (or unsets) an environment variable of this process for one scope.
class ScopedEnv {
  public:
    ScopedEnv(const char* name, std::optional<std::string> value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        if (value) {
            ::setenv(name, value->c_str(), 1);
        } else {
            ::unsetenv(name);
        }
    }
    ~ScopedEnv() {
        if (old_) {
            ::setenv(name_, old_->c_str(), 1);
        } else {
            ::unsetenv(name_);
        }
    }

  private:
    const char* name_;
    std::optional<std::string> old_;
};

struct stat lstatOf(const std::string& path) {
    struct stat st {};
    ::lstat(path.c_str(), &st);
    return st;
}

std::string socketIn(const std::string& folder) {
    return folder + "/tabulon-events";
}

TEST(EventSocket, FallbackFolderIsMadeForTheUserAlone) {
    TempDir temp;  // stands for /tmp
    ::chmod(temp.path().c_str(), 01777);
    ScopedEnv tmpdir("TMPDIR", temp.path());
    std::optional<ScopedEnv> runtime;
    RunningTabulon app({}, "",
                       [&](const TempDir&) { runtime.emplace("XDG_RUNTIME_DIR", std::nullopt); });
    ASSERT_TRUE(app.waitUntilListening()) << readFile(app.home.file("app.err"));
    std::string folder = folderOf(eventSocketPath());
    EXPECT_EQ(folderOf(folder) + "/", temp.path());
    struct stat made = lstatOf(folder);
    EXPECT_TRUE(S_ISDIR(made.st_mode));
    EXPECT_EQ(made.st_mode & 07777, 0700u);
    EXPECT_EQ(made.st_uid, ::geteuid());
    EXPECT_EQ(lstatOf(temp.path()).st_mode & 07777, 01777u);  // left as it was
    EXPECT_EQ(app.runProgram({kSend, "hail", "x"}).exitCode, 0);
    writeFile(app.home.file("mail.txt"), "Name: Ann\n");
    app.answerDialogs(app.home.file("out.txt") + "\n");
    EXPECT_TRUE(handOffToRunningApp({QString::fromStdString(app.home.file("mail.txt"))}));
    EXPECT_TRUE(waitFor([&] { return fileExists(app.home.file("out.txt")); }));
}

// Each folder that is not the user's alone: the app says so and runs without the
// event server; tabulon-send and a second tabulon send nothing; the folder keeps
// its mode and owner, and no socket appears in it.
TEST(EventSocket, FoldersThatAreNotTheUsersAloneAreNeverUsed) {
    struct Case {
        const char* name;
        bool fallback;  // the folder in the temporary folder, XDG_RUNTIME_DIR unset
        std::function<void(const std::string& folder, const std::string& beside)> make;
        std::string reason;
        bool needsRoot = false;
    } cases[] = {
        {"a shared runtime folder", false,
         [](const std::string& f, const std::string&) {
             ::mkdir(f.c_str(), 0700);
             ::chmod(f.c_str(), 01777);
         },
         "others have access to it: mode 1777"},
        {"a runtime folder the group may enter", false,
         [](const std::string& f, const std::string&) {
             ::mkdir(f.c_str(), 0700);
             ::chmod(f.c_str(), 0750);
         },
         "others have access to it: mode 0750"},
        {"a runtime folder that is a file", false,
         [](const std::string& f, const std::string&) { writeFile(f, "a file"); },
         "it is not a folder"},
        {"a fallback folder that is a link", true,
         [](const std::string& f, const std::string& beside) {
             ::mkdir(beside.c_str(), 0700);
             ASSERT_EQ(::symlink(beside.c_str(), f.c_str()), 0);
         },
         "it is a link"},
        {"a fallback folder made by another user first", true,
         [](const std::string& f, const std::string&) {
             ::mkdir(f.c_str(), 0700);
             ASSERT_EQ(::chown(f.c_str(), kNobody, kNobody), 0);
         },
         "it belongs to user 65534", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.needsRoot && ::geteuid() != 0) continue;  // only root can give a folder away
        TempDir place;
        std::string folder;
        struct stat before {};
        ScopedEnv tmpdir("TMPDIR", place.path());
        std::optional<ScopedEnv> runtime;
        RunningTabulon app({}, "", [&](const TempDir&) {
            if (c.fallback) {
                runtime.emplace("XDG_RUNTIME_DIR", std::nullopt);
            } else {
                runtime.emplace("XDG_RUNTIME_DIR", place.file("run"));
            }
            folder = folderOf(eventSocketPath());
            c.make(folder, place.file("elsewhere"));
            before = lstatOf(folder);
        });
        std::string said = "message Tabulon cannot take scripting events: the folder \"" + folder +
                           "\" is not private to you (" + c.reason + ").\n";
        EXPECT_TRUE(waitFor([&] { return app.dialogLog().find(said) != std::string::npos; }))
            << app.dialogLog();
        EXPECT_NE(readFile(app.home.file("app.err")).find(c.reason), std::string::npos);

        ProgramResult sent = app.runProgram({kSend, "hail", "x"});
        EXPECT_EQ(sent.exitCode, 3);
        EXPECT_NE(sent.err.find("nothing was sent: the folder \"" + folder), std::string::npos)
            << sent.err;
        EXPECT_FALSE(handOffToRunningApp({QStringLiteral("/a/document")}));

        struct stat after = lstatOf(folder);
        EXPECT_EQ(after.st_mode, before.st_mode);
        EXPECT_EQ(after.st_uid, before.st_uid);
        EXPECT_FALSE(fileExists(socketIn(folder)));
        EXPECT_FALSE(fileExists(socketIn(place.file("elsewhere"))));
        EXPECT_TRUE(app.running());
    }
}

// A process of another user listening in the user's own folder (root can put it
// there) hears nothing from either client.
TEST(EventSocket, NothingIsSentToAListenerOfAnotherUser) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to listen as another user";
    TempDir home;
    std::string folder = home.file("run");
    ::mkdir(folder.c_str(), 0700);
    ScopedEnv runtime("XDG_RUNTIME_DIR", folder);
    std::string path = socketIn(folder);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
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

    ProgramResult sent = runProgram({kSend, "prcs", "/a/file"}, home.path());
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
