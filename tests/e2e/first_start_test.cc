// The real tabulon, started offscreen in a scratch home with scripted dialogs:
// what a person's first start leaves on disk, and a clean quit on SIGTERM, SIGINT,
// SIGHUP or the quit event while the first-start message waits for a person.
#include <gtest/gtest.h>
#include <signal.h>

#include "e2e/running_tabulon.h"

namespace tabulon::test {
namespace {

TEST(EndToEnd, QuitRequestsEndTheAppWhileAMessageWaits) {
    // 0: the quit event, sent by tabulon-send; -SIGTERM: SIGTERM to Qt's own
    // message box, unscripted, with no one to click it.
    for (int road : {SIGTERM, SIGINT, SIGHUP, 0, -SIGTERM}) {
        SCOPED_TRACE(road);
        RunningTabulon app({},
                           road < 0 ? std::nullopt : std::optional<std::string>("<stay open>\n"));
        std::string copied = app.home.file("data/Tabulon/Templates/Field Names");
        if (road < 0) {  // the box follows the copy; a signal waits for the box's event loop
            ASSERT_TRUE(waitFor([&] { return !readFile(copied).empty() || !app.running(); }));
        } else {
            ASSERT_TRUE(app.waitUntilShown("message The Templates directory was moved"))
                << readFile(app.home.file("app.err"));
        }
        EXPECT_EQ(readFile(copied),
                  readFile(TABULON_SOURCE_DIR "/resources/Templates/Field Names"));
        if (road == 0) {
            EXPECT_EQ(app.send({"quit"}).out, "handled\n");
        } else {
            app.signal(road < 0 ? -road : road);
        }
        ASSERT_EQ(app.exitCode(), 0);
        EXPECT_EQ(readFile(app.home.file("config/Tabulon Prefs")),
                  "false\nfalse\nField Names\nfalse\n10\n50\n10\n50\n" +
                      app.home.file("data/Tabulon/Templates/") + "\n");
    }
}

}  // namespace
}  // namespace tabulon::test
