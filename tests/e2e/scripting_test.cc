// Scripting the running app from outside: tabulon-send, a second tabulon handing
// over its documents, and hostile messages on the event socket.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

#include "e2e/running_tabulon.h"
#include "platform/event_client.h"

namespace tabulon::test {
namespace {

const std::string kSend = TABULON_SEND_BINARY;

class ScriptingTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(app.waitUntilListening()) << readFile(app.home.file("app.err"));
        mail = app.home.file("mail.txt");
        writeFile(mail, readFile(TABULON_SOURCE_DIR "/examples/Contact Form Mail.txt"));
    }
    ProgramResult send(const std::vector<std::string>& args) {
        std::vector<std::string> argv = {kSend};
        argv.insert(argv.end(), args.begin(), args.end());
        return app.runProgram(argv);
    }
    // What tabulon-convert makes of the same file with the same template.
    std::string expectedConversion() {
        std::string out = app.home.file("expected");
        app.runProgram({TABULON_CONVERT_BINARY, "-q", "-t",
                        app.home.file("data/Tabulon/Templates/Field Names"), mail, "-o", out});
        return readFile(out);
    }
    // A raw connection to the event socket.
    int connectRaw() {
        int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::string path = eventSocketPath();
        std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
        EXPECT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        return fd;
    }
    char exchange(int fd, const std::string& bytes) {
        ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        char answer = 0;
        return ::recv(fd, &answer, 1, 0) == 1 ? answer : 0;
    }

    RunningTabulon app;
    std::string mail;
};

TEST_F(ScriptingTest, ConvertByPathWritesBesideTheInput) {
    ProgramResult r = send({"prcs", mail});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, "handled\n");
    EXPECT_EQ(readFile(mail + " Converted"), expectedConversion());

    std::remove((mail + " Converted").c_str());
    EXPECT_EQ(send({"--class", "abcd", "SCRP", mail}).out, "handled\n");  // reversed, any case
    EXPECT_EQ(readFile(mail + " Converted"), expectedConversion());

    ProgramResult missing = send({"prcs", app.home.file("absent.txt")});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.out, "not handled\n");
    EXPECT_EQ(send({"prcs", ""}).out, "not handled\n");  // stands for "zz" beside the app
    EXPECT_EQ(send({"what"}).out, "not handled\n");
    // No dialog was shown for any of it, beyond the first start's message.
    EXPECT_EQ(app.dialogLog().find("save"), std::string::npos);
}

TEST_F(ScriptingTest, GreetingsAndDocumentsFromASecondTabulon) {
    EXPECT_EQ(send({"hail", "from a script"}).out, "handled\n");
    EXPECT_EQ(send({"liah"}).out, "handled\n");
    app.answerDialogs(app.home.file("chosen.txt") + "\n");
    ProgramResult second = app.runProgram({TABULON_APP_BINARY, mail});
    EXPECT_EQ(second.exitCode, 0);
    ASSERT_TRUE(app.waitUntilListening());
    EXPECT_NE(app.dialogLog().find("message You called me? from a script\n"
                                   "message You called me? \n"
                                   "save mail.txt Converted\n"),
              std::string::npos)
        << app.dialogLog();
    EXPECT_EQ(readFile(app.home.file("chosen.txt")), expectedConversion());
}

TEST_F(ScriptingTest, QuitEndsTheAppAndSavesItsSettings) {
    EXPECT_EQ(send({"tiuq"}).out, "handled\n");
    int code = -1;
    ASSERT_TRUE(app.waitForExit(3.0, &code));  // a second, then closing
    EXPECT_EQ(code, 0);
    EXPECT_NE(readFile(app.home.file("config/Tabulon Prefs")).find(app.home.file("data/Tabulon/")),
              std::string::npos);
    ProgramResult none = send({"hail"});
    EXPECT_EQ(none.exitCode, 2);
    EXPECT_NE(none.err.find("Tabulon is not running"), std::string::npos);
}

TEST_F(ScriptingTest, ConversionOntoAFullDisk) {
    std::string disk = app.home.file("full");
    ::mkdir(disk.c_str(), 0700);
    if (::geteuid() != 0 || ::mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=256k") != 0) {
        GTEST_SKIP() << "needs root to mount a small tmpfs";
    }
    std::string input = disk + "/mail.txt";
    std::string big;
    while (big.size() < 200000)
        big += "Name: someone\r\nEmail: someone@example.org\r\n";
    writeFile(input, big);
    writeFile(input + " Converted", "an older conversion");
    EXPECT_EQ(send({"prcs", input}).out, "handled\n");
    EXPECT_NE(app.dialogLog().find("No space left on device"), std::string::npos)
        << app.dialogLog();
    EXPECT_EQ(readFile(input), big);
    EXPECT_EQ(readFile(input + " Converted"), "an older conversion");
    EXPECT_EQ(send({"prcs", mail}).out, "handled\n");  // and it carries on
    EXPECT_EQ(readFile(mail + " Converted"), expectedConversion());
    ::umount2(disk.c_str(), MNT_DETACH);
}

TEST_F(ScriptingTest, SendersHangingUpDuringTheirConversion) {
    std::string big = app.home.file("big.txt");
    std::string lines;
    while (lines.size() < (8 << 20))
        lines += "Name: someone\r\nEmail: someone@example.org\r\n";
    writeFile(big, lines);
    for (const char* id : {"prcs", "odoc"}) {
        if (std::string(id) == "odoc") app.answerDialogs(big + " Converted\n");
        std::remove((big + " Converted").c_str());
        // prcs: asks and goes away before its answer; odoc: goes away right after
        // its answer, which comes before the conversion it starts.
        int fd = connectRaw();
        std::string message = encodeEvent({"aevt", id, big});
        if (std::string(id) == "odoc") {
            EXPECT_EQ(exchange(fd, message), 'H');
        } else {
            ::send(fd, message.data(), message.size(), MSG_NOSIGNAL);
        }
        ::close(fd);
        ASSERT_TRUE(app.waitUntilListening()) << id;
        for (int i = 0; i < 200 && readFile(big + " Converted").size() < 1000; ++i)
            usleep(20000);
        EXPECT_GT(readFile(big + " Converted").size(), 1000u) << id;
        EXPECT_TRUE(app.running()) << id;
    }
}

TEST_F(ScriptingTest, HostileMessagesChangeNothing) {
    struct stat socketFile {};
    ASSERT_EQ(::stat(eventSocketPath().c_str(), &socketFile), 0);
    EXPECT_EQ(socketFile.st_mode & 077, 0u);  // the owner's alone

    int garbage = connectRaw();
    EXPECT_EQ(exchange(garbage, "GET / HTTP/1.0\r\n\r\n"), 'N');
    ::close(garbage);

    int huge = connectRaw();  // announces 100 MB
    EXPECT_EQ(exchange(huge, std::string("TBEV\x06\x40\x00\x00", 8) + "aevtprcs"), 'N');
    ::close(huge);

    int truncated = connectRaw();
    ::send(truncated,
           "TBEV\x00\x00\x00\x20"
           "aevt",
           12, MSG_NOSIGNAL);
    ::close(truncated);

    std::vector<int> idle;  // many connections that say nothing
    for (int i = 0; i < 64; ++i)
        idle.push_back(connectRaw());

    EXPECT_EQ(send({"usage:", "x", "y"}).exitCode, 2);  // wrong arguments never reach the app
    for (int fd : idle)
        ::close(fd);
    ProgramResult r = send({"prcs", mail});
    EXPECT_EQ(r.out, "handled\n");
    EXPECT_EQ(readFile(mail + " Converted"), expectedConversion());
    EXPECT_TRUE(app.running());
}

TEST(EndToEndDocuments, FilesGivenAtLaunchRunAfterTheWindowOpens) {
    TempDir files;
    writeFile(files.file("a.txt"), "Name: Ann\n");
    writeFile(files.file("b.txt"), "Name: Bo\n");
    RunningTabulon app({files.file("a.txt"), files.file("b.txt")});
    app.answerDialogs(files.file("a.out") + "\n" + files.file("b.out") + "\n");
    ASSERT_TRUE(app.waitUntilListening());
    for (int i = 0; i < 100 && readFile(files.file("b.out")).empty(); ++i)
        usleep(50000);
    EXPECT_EQ(readFile(files.file("a.out")), "Name:\tEmail:\tPhone:\tComments:\r Ann\t");
    EXPECT_EQ(readFile(files.file("b.out")), "Name:\tEmail:\tPhone:\tComments:\r Bo\t");
    std::string log = app.dialogLog();
    EXPECT_NE(log.find("moved to"), std::string::npos);
    EXPECT_NE(log.find("\nsave a.txt Converted\nsave b.txt Converted\n"), std::string::npos) << log;
}

}  // namespace
}  // namespace tabulon::test
