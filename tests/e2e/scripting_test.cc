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
#include "platform/file_info.h"
#include "version.h"

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
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(readFile(mail + " Converted"), expectedConversion());

    std::remove((mail + " Converted").c_str());
    EXPECT_EQ(send({"--class", "abcd", "SCRP", mail}).out, "handled\n");  // reversed, any case
    EXPECT_EQ(readFile(mail + " Converted"), expectedConversion());
    std::remove((mail + " Converted").c_str());
    ProgramOptions inHome;  // a path relative to the sender's folder, not the app's
    inHome.workingDir = app.home.path();
    EXPECT_EQ(runProgram({kSend, "prcs", "mail.txt"}, app.home.path(), "", inHome).out,
              "handled\n");
    EXPECT_EQ(readFile(mail + " Converted"), expectedConversion());
    EXPECT_EQ(send({"what"}).out, "not handled\n");
    // No dialog was shown for any of it, beyond the first start's message.
    EXPECT_EQ(app.dialogLog().find("save"), std::string::npos);
}

// A script waits for the answer, not a person: what went wrong comes back in it,
// in the words a message would have used, and no window waits for a click.
TEST_F(ScriptingTest, ScriptedConversionsAnswerWithWordsNotWindows) {
    std::string folder = app.home.file("a folder");
    ::mkdir(folder.c_str(), 0700);
    std::string blocked = app.home.file("blocked.txt");
    writeFile(blocked, "Name: Ann\n");
    ::mkdir((blocked + " Converted").c_str(), 0700);  // the output's place is taken
    struct Case {
        std::string parameter;
        std::string reason;  // what standard error says
    } cases[] = {
        {app.home.file("absent.txt"),
         "Cannot open \"" + app.home.file("absent.txt") + "\": No such file or directory\n"},
        {folder, "Cannot read \"" + folder + "\": it is a folder\n"},
        {blocked, blocked + " Converted"},
        {"", "zz\": No such file or directory\n"},  // "" stands for "zz" beside the app
    };
    for (const Case& c : cases) {
        ProgramResult r = send({"prcs", c.parameter});
        EXPECT_EQ(r.exitCode, 1) << c.parameter;
        EXPECT_EQ(r.out, "not handled\n") << c.parameter;
        EXPECT_NE(r.err.find(c.reason), std::string::npos) << c.parameter << ": " << r.err;
    }
    EXPECT_TRUE(isFolder(blocked + " Converted"));
    EXPECT_EQ(app.dialogLog().find("message Cannot"), std::string::npos) << app.dialogLog();
    EXPECT_EQ(send({"prcs", mail}).exitCode, 0);  // and it carries on
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
    // The hand-over is answered before its conversion runs; the output appears
    // whole once it is written.
    EXPECT_TRUE(waitFor([&] { return fileExists(app.home.file("chosen.txt")); }));
    EXPECT_EQ(readFile(app.home.file("chosen.txt")), expectedConversion());
}

TEST_F(ScriptingTest, DocumentsThatCannotBeReadAreRefusedBeforeAsking) {
    std::string absent = app.home.file("nosuch.mbox");
    std::string folder = app.home.file("folder.mbox");
    ::mkdir(folder.c_str(), 0700);
    app.answerDialogs(app.home.file("never.txt") + "\n" + app.home.file("never.txt") + "\n");
    EXPECT_EQ(app.runProgram({TABULON_APP_BINARY, absent, folder}).exitCode, 0);
    std::string expected = "message Cannot open \"" + absent +
                           "\": No such file or directory\n"
                           "message Cannot read \"" +
                           folder + "\": it is a folder\n";
    EXPECT_TRUE(waitFor([&] { return app.dialogLog().find(expected) != std::string::npos; }))
        << app.dialogLog();
    EXPECT_EQ(app.dialogLog().find("save"), std::string::npos) << app.dialogLog();
    EXPECT_FALSE(fileExists(app.home.file("never.txt")));
}

// Asking for help or the version neither starts a window nor reaches the app
// that runs (which would take the words for documents).
TEST_F(ScriptingTest, HelpAndVersionOnlyPrint) {
    struct Case {
        std::vector<std::string> argv;
        std::string out;
    } cases[] = {
        {{TABULON_APP_BINARY, "--help"}, "Usage: tabulon [FILE...]\n"},
        {{TABULON_APP_BINARY, "-h", mail}, "Usage: tabulon [FILE...]\n"},
        {{TABULON_APP_BINARY, mail, "--version"}, std::string("tabulon ") + kVersion + "\n"},
        {{kSend, "--help"}, "  3  Tabulon is not running"},
        {{kSend, "--version"}, std::string("tabulon-send ") + kVersion + "\n"},
    };
    std::string log = app.dialogLog();
    for (const Case& c : cases) {
        ProgramResult r = app.runProgram(c.argv);
        EXPECT_EQ(r.exitCode, 0) << c.argv[1];
        EXPECT_NE(r.out.find(c.out), std::string::npos) << r.out;
        EXPECT_EQ(r.err, "") << c.argv[1];
    }
    ASSERT_TRUE(app.waitUntilListening());
    EXPECT_EQ(app.dialogLog(), log);
}

TEST_F(ScriptingTest, QuitEndsTheAppAndSavesItsSettings) {
    EXPECT_EQ(send({"tiuq"}).out, "handled\n");
    int code = -1;
    ASSERT_TRUE(app.waitForExit(60, &code));  // a second, then closing
    EXPECT_EQ(code, 0);
    EXPECT_NE(readFile(app.home.file("config/Tabulon Prefs")).find(app.home.file("data/Tabulon/")),
              std::string::npos);
    ProgramResult none = send({"hail"});
    EXPECT_EQ(none.exitCode, 3);
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
    ProgramResult full = send({"prcs", input});
    EXPECT_EQ(full.exitCode, 1);
    EXPECT_EQ(full.out, "not handled\n");
    EXPECT_NE(full.err.find("No space left on device"), std::string::npos) << full.err;
    EXPECT_EQ(app.dialogLog().find("No space left on device"), std::string::npos)
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
        EXPECT_TRUE(waitFor([&] { return fileExists(big + " Converted"); })) << id;
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

// tabulon-send's own answers, with no app to reach: exit 0 for help, 2 for a
// call it cannot make sense of (with the usage), 3 when nothing listens.
TEST(TabulonSend, UsageErrorsAndNoApp) {
    TempDir scratch;
    ProgramOptions alone;
    alone.env = {{"XDG_RUNTIME_DIR", scratch.path()}};
    struct Case {
        std::vector<std::string> args;
        int exitCode;
        std::string errStart;
    };
    for (const Case& c : std::vector<Case>{
             {{"--help"}, 0, ""},
             {{"-h"}, 0, ""},
             {{}, 2, "tabulon-send: no event ID given\n\nUsage"},
             {{"--class"}, 2, "tabulon-send: --class needs a four-character code\n"},
             {{"--class", "abc", "hail"}, 2, "tabulon-send: the class must be four characters\n"},
             {{"hai"}, 2, "tabulon-send: the event ID must be four characters\n"},
             {{"hail", "a", "b"}, 2, "tabulon-send: too many arguments\n"},
             {{"hail"}, 3, "tabulon-send: Tabulon is not running"},
             {{"--class", "aevt", "hail"}, 3, "tabulon-send: Tabulon is not running"},
         }) {
        std::vector<std::string> argv = {kSend};
        argv.insert(argv.end(), c.args.begin(), c.args.end());
        ProgramResult r = runProgram(argv, scratch.path(), "", alone);
        std::string call = c.args.empty() ? "(none)" : c.args[0];
        EXPECT_EQ(r.exitCode, c.exitCode) << call;
        EXPECT_EQ(r.err.substr(0, c.errStart.size()), c.errStart) << call;
        if (c.exitCode == 0) {
            EXPECT_EQ(r.out.rfind("Usage", 0), 0u) << r.out;
        }
    }
}

TEST(EndToEndDocuments, FilesGivenAtLaunchRunAfterTheWindowOpens) {
    TempDir files;
    writeFile(files.file("a.txt"), "Name: Ann\n");
    writeFile(files.file("b.txt"), "Name: Bo\n");
    RunningTabulon app({files.file("a.txt"), files.file("b.txt")});
    app.answerDialogs(files.file("a.out") + "\n" + files.file("b.out") + "\n");
    ASSERT_TRUE(app.waitUntilListening());
    EXPECT_TRUE(waitFor([&] { return fileExists(files.file("b.out")); }));
    EXPECT_EQ(readFile(files.file("a.out")), "Name:\tEmail:\tPhone:\tComments:\r Ann\t");
    EXPECT_EQ(readFile(files.file("b.out")), "Name:\tEmail:\tPhone:\tComments:\r Bo\t");
    std::string log = app.dialogLog();
    EXPECT_NE(log.find("moved to"), std::string::npos);
    EXPECT_NE(log.find("\nsave a.txt Converted\nsave b.txt Converted\n"), std::string::npos) << log;
}

}  // namespace
}  // namespace tabulon::test
