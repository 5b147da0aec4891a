// The real tabulon handed inputs that would block a reader: it refuses them and
// stays responsive, to events and to SIGTERM alike.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <filesystem>
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

TEST(EndToEnd, QuitDuringAScriptedRunStopsItAndSaysNotHandled) {
    RunningTabulon app;
    ASSERT_TRUE(app.waitUntilListening()) << readFile(app.home.file("app.err"));
    // A sparse terabyte: the run cannot end by itself while the test lasts.
    std::string big = app.home.file("big.txt");
    writeFile(big, "");
    std::filesystem::resize_file(big, uint64_t{1} << 40);
    pid_t sender = startProgram({TABULON_SEND_BINARY, "prcs", big}, app.home.file("send.out"),
                                app.home.file("send.err"));
    ASSERT_TRUE(app.waitUntilOpen(big));
    app.signal(SIGTERM);
    int code = -1;
    ASSERT_TRUE(app.waitForExit(30, &code));
    EXPECT_EQ(code, 0);
    int status = 0;
    ASSERT_EQ(::waitpid(sender, &status, 0), sender);
    EXPECT_EQ(readFile(app.home.file("send.out")), "not handled\n");
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_EQ(app.home.listing().find("big.txt Converted"), std::string::npos);
    EXPECT_EQ(app.home.listing().find(".tabulon"), std::string::npos) << app.home.listing();
}

}  // namespace
}  // namespace tabulon::test
