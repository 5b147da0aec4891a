// The real tabulon, started offscreen in a scratch home with scripted dialogs:
// what a person's first start leaves on disk, and a clean quit on SIGTERM.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "test_util.h"

namespace tabulon {
namespace {

using test::readFile;

bool waitFor(const std::function<bool()>& condition) {
    for (int i = 0; i < 200; ++i) {
        if (condition()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

TEST(EndToEnd, FirstStartThenQuit) {
    test::TempDir home;
    std::string script = home.file("script");
    test::writeFile(script, "");
    pid_t pid = ::fork();
    if (pid == 0) {
        ::setenv("HOME", home.path().c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", home.file("config").c_str(), 1);
        ::setenv("XDG_DATA_HOME", home.file("data").c_str(), 1);
        ::setenv("XDG_RUNTIME_DIR", home.path().c_str(), 1);
        ::setenv("TABULON_DIALOG_SCRIPT", script.c_str(), 1);
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        ::execl(TABULON_APP_BINARY, TABULON_APP_BINARY, static_cast<char*>(nullptr));
        ::_exit(127);
    }
    const std::string moved =
        "message The Templates directory was moved to " + home.file("data/Tabulon/") + "\n";
    ASSERT_TRUE(waitFor([&] { return readFile(script + ".log") == moved; }))
        << readFile(script + ".log");
    EXPECT_EQ(readFile(home.file("config/Tabulon Prefs")),
              "true\nfalse\nField Names\nfalse\n10\n50\n10\n50\n:Templates:\n");
    EXPECT_EQ(readFile(home.file("data/Tabulon/Templates/Field Names")),
              readFile(TABULON_SOURCE_DIR "/resources/Templates/Field Names"));

    ::kill(pid, SIGTERM);
    int status = -1;
    ASSERT_TRUE(waitFor([&] { return ::waitpid(pid, &status, WNOHANG) == pid; }));
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    // Quitting rewrote the preferences with this run's settings.
    EXPECT_EQ(readFile(home.file("config/Tabulon Prefs")),
              "false\nfalse\nField Names\nfalse\n10\n50\n10\n50\n" +
                  home.file("data/Tabulon/Templates/") + "\n");
    EXPECT_EQ(readFile(script + ".log"), moved);
}

}  // namespace
}  // namespace tabulon
