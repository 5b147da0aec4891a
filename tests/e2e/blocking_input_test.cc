// The real tabulon handed inputs that would block a reader: it refuses them and
// stays responsive, to events and to SIGTERM alike.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <fstream>

#include "e2e/running_tabulon.h"

namespace tabulon::test {
namespace {

TEST(EndToEnd, PipesHandedOverNeverBlockTheApp) {
    RunningTabulon app;
    ASSERT_TRUE(app.waitUntilListening()) << readFile(app.home.file("app.err"));
    std::string fifo = app.home.file("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::string mail = app.home.file("mail.txt");
    writeFile(mail, readFile(TABULON_SOURCE_DIR "/examples/Contact Form Mail.txt"));

    // Answered, whatever the answer; nothing waits for a writer to the FIFO.
    app.runProgram({TABULON_SEND_BINARY, "prcs", fifo});
    EXPECT_NE(app.runProgram({TABULON_SEND_BINARY, "odoc", fifo}).exitCode, 2);
    EXPECT_EQ(app.runProgram({TABULON_SEND_BINARY, "prcs", mail}).out, "handled\n");
    EXPECT_FALSE(readFile(mail + " Converted").empty());
    EXPECT_FALSE(std::ifstream(fifo + " Converted").good());

    app.signal(SIGTERM);
    int code = -1;
    ASSERT_TRUE(app.waitForExit(30, &code));
    EXPECT_EQ(code, 0);
}

}  // namespace
}  // namespace tabulon::test
