// The real tabulon, started offscreen in a scratch home with scripted dialogs:
// what a person's first start leaves on disk, and a clean quit on SIGTERM, also
// while the first-start message waits for a person.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <thread>

#include "e2e/running_tabulon.h"

namespace tabulon::test {
namespace {

// True once `path` exists.
bool waitForFile(RunningTabulon& app, const std::string& path) {
    for (int i = 0; i < 400 && app.running(); ++i) {
        if (!readFile(path).empty()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

TEST(EndToEnd, QuitRequestsEndTheAppWhileAMessageWaits) {
    // 0: the quit event, sent by tabulon-send.
    for (int road : {SIGTERM, SIGINT, SIGHUP, 0}) {
        SCOPED_TRACE(road);
        RunningTabulon app({}, "<stay open>\n");
        ASSERT_TRUE(app.waitUntilShown("message The Templates directory was moved"))
            << readFile(app.home.file("app.err"));
        EXPECT_EQ(readFile(app.home.file("data/Tabulon/Templates/Field Names")),
                  readFile(TABULON_SOURCE_DIR "/resources/Templates/Field Names"));
        if (road == 0) {
            EXPECT_EQ(app.runProgram({TABULON_SEND_BINARY, "quit"}).out, "handled\n");
        } else {
            app.signal(road);
        }
        int code = -1;
        ASSERT_TRUE(app.waitForExit(30, &code));
        EXPECT_EQ(code, 0);
        EXPECT_EQ(readFile(app.home.file("config/Tabulon Prefs")),
                  "false\nfalse\nField Names\nfalse\n10\n50\n10\n50\n" +
                      app.home.file("data/Tabulon/Templates/") + "\n");
    }
}

TEST(EndToEnd, QuitEndsQtsOwnMessageBox) {
    RunningTabulon app({}, std::nullopt);
    // The message box follows the copy; a signal waits for the box's event loop.
    ASSERT_TRUE(waitForFile(app, app.home.file("data/Tabulon/Templates/Field Names")))
        << readFile(app.home.file("app.err"));
    app.signal(SIGTERM);
    int code = -1;
    ASSERT_TRUE(app.waitForExit(30, &code));
    EXPECT_EQ(code, 0);
    EXPECT_NE(readFile(app.home.file("config/Tabulon Prefs")).find(app.home.file("data/Tabulon/")),
              std::string::npos);
}

}  // namespace
}  // namespace tabulon::test
