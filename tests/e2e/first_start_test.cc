// The real tabulon, started offscreen in a scratch home with scripted dialogs:
// what a person's first start leaves on disk, and a clean quit on SIGTERM.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <thread>

#include "e2e/running_tabulon.h"

namespace tabulon::test {
namespace {

TEST(EndToEnd, FirstStartThenQuit) {
    RunningTabulon app;
    ASSERT_TRUE(app.waitUntilListening()) << readFile(app.home.file("app.err"));
    const std::string moved =
        "message The Templates directory was moved to " + app.home.file("data/Tabulon/") + "\n";
    EXPECT_EQ(app.dialogLog(), moved);
    EXPECT_EQ(readFile(app.home.file("config/Tabulon Prefs")),
              "true\nfalse\nField Names\nfalse\n10\n50\n10\n50\n:Templates:\n");
    EXPECT_EQ(readFile(app.home.file("data/Tabulon/Templates/Field Names")),
              readFile(TABULON_SOURCE_DIR "/resources/Templates/Field Names"));

    app.signal(SIGTERM);
    int code = -1;
    ASSERT_TRUE(app.waitForExit(10, &code));
    EXPECT_EQ(code, 0);
    // Quitting rewrote the preferences with this run's settings.
    EXPECT_EQ(readFile(app.home.file("config/Tabulon Prefs")),
              "false\nfalse\nField Names\nfalse\n10\n50\n10\n50\n" +
                  app.home.file("data/Tabulon/Templates/") + "\n");
    EXPECT_EQ(app.dialogLog(), moved);
}

}  // namespace
}  // namespace tabulon::test
