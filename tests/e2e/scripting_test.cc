// Scripting the running app from outside: tabulon-send, a second tabulon handing
// over its documents, senders that hang up, and hostile messages on the event
// socket.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

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
        writeFile(mail, readFile(TABULON_SOURCE_DIR "/examples/Contact Form Mail.txt"));
    }
    // What tabulon-convert makes of the same file with the same template.
    std::string expectedConversion() {
        std::string out = app.home.file("expected");
        app.runProgram({TABULON_CONVERT_BINARY, "-q", "-t",
                        app.home.file("data/Tabulon/Templates/Field Names"), mail, "-o", out});
        return readFile(out);
    }
    // Sends raw bytes on a connection of the event socket; the one-byte answer.
    char exchange(int fd, const std::string& bytes) {
        ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        char answer = 0;
        return ::recv(fd, &answer, 1, 0) == 1 ? answer : 0;
    }

    RunningTabulon app;
    std::string mail = app.home.file("mail.txt");
};

// A script waits for the answer, not a person: what went wrong comes back in it,
// in the words a message would have used, and no window waits for a click. Every
// file that was there stays as it was.
TEST_F(ScriptingTest, ScriptedConversionsAnswerWithWordsNotWindows) {
    std::string folder = app.home.file("a folder");
    ::mkdir(folder.c_str(), 0700);
    std::string blocked = app.home.file("blocked.txt");
    writeFile(blocked, "Name: Ann\n");
    ::mkdir((blocked + " Converted").c_str(), 0700);  // the output's place is taken
    const std::vector<std::pair<std::string, std::string>> cases = {
        // the parameter, standard error
        {app.home.file("absent.txt"),
         "Cannot open \"" + app.home.file("absent.txt") + "\": No such file or directory\n"},
        {folder, "Cannot read \"" + folder + "\": it is a folder\n"},
        {blocked, blocked + " Converted"},
        {"", "zz\": No such file or directory\n"},  // "" stands for "zz" beside the app
    };
    std::string log = app.dialogLog();
    for (const auto& [parameter, reason] : cases) {
        ProgramResult r = app.send({"prcs", parameter});
        EXPECT_EQ(r.exitCode, 1) << parameter;
        EXPECT_EQ(r.out, "not handled\n") << parameter;
        EXPECT_PRED2(contains, r.err, reason);
    }
    EXPECT_TRUE(isFolder(blocked + " Converted"));
    // And it carries on: each output beside its input, the event named either way.
    std::string expected = expectedConversion();
    ProgramOptions inHome;  // a path relative to the sender's folder, not the app's
    inHome.workingDir = app.home.path();
    for (const std::vector<std::string>& argv :
         {std::vector<std::string>{kSend, "prcs", mail},
          {kSend, "--class", "abcd", "SCRP", mail},  // reversed, any case
          {kSend, "prcs", "mail.txt"}}) {
        ProgramResult r = runProgram(argv, app.home.path(), "", inHome);
        EXPECT_EQ(r.exitCode, 0);
        EXPECT_EQ(r.out, "handled\n");
        EXPECT_EQ(r.err, "");
        EXPECT_EQ(readFile(mail + " Converted"), expected);
        std::remove((mail + " Converted").c_str());
    }
    EXPECT_EQ(app.send({"what"}).out, "not handled\n");
    EXPECT_EQ(app.dialogLog(), log);
}

// A second tabulon hands its documents over; those that cannot be read are
// refused before anything is asked, and the hand-over is answered before its
// conversion runs (the output appears whole once it is written).
TEST_F(ScriptingTest, GreetingsAndDocumentsFromASecondTabulon) {
    EXPECT_EQ(app.send({"hail", "from a script"}).out, "handled\n");
    EXPECT_EQ(app.send({"liah"}).out, "handled\n");
    std::string absent = app.home.file("nosuch.mbox"), folder = app.home.file("folder.mbox");
    ::mkdir(folder.c_str(), 0700);
    app.answerDialogs(app.home.file("chosen.txt") + "\n" + app.home.file("never.txt") + "\n");
    EXPECT_EQ(app.runProgram({TABULON_APP_BINARY, absent, folder, mail}).exitCode, 0);
    EXPECT_TRUE(app.waitUntilShown(
        "message You called me? from a script\nmessage You called me? \nmessage Cannot open \"" +
        absent + "\": No such file or directory\nmessage Cannot read \"" + folder +
        "\": it is a folder\nsave mail.txt Converted\n"))
        << app.dialogLog();
    EXPECT_FALSE(contains(app.dialogLog(), "cannot take scripting events")) << app.dialogLog();
    EXPECT_TRUE(waitFor([&] { return fileExists(app.home.file("chosen.txt")); }));
    EXPECT_EQ(readFile(app.home.file("chosen.txt")), expectedConversion());
    EXPECT_FALSE(fileExists(app.home.file("never.txt")));
}

// Asking for help or the version neither starts a window nor reaches the app
// that runs (which would take the words for documents).
TEST_F(ScriptingTest, HelpAndVersionOnlyPrint) {
    std::string version = std::string(kVersion) + "\n";
    std::string log = app.dialogLog();
    for (const auto& [argv, out] : std::vector<std::pair<std::vector<std::string>, std::string>>{
             {{TABULON_APP_BINARY, "--help"}, "Usage: tabulon [FILE...]\n"},
             {{TABULON_APP_BINARY, "-h", mail}, "Usage: tabulon [FILE...]\n"},
             {{TABULON_APP_BINARY, mail, "--version"}, "tabulon " + version},
             {{kSend, "--version"}, "tabulon-send " + version},
         }) {
        ProgramResult r = app.runProgram(argv);
        EXPECT_EQ(r.exitCode, 0) << argv[1];
        EXPECT_PRED2(contains, r.out, out);
        EXPECT_EQ(r.err, "") << argv[1];
    }
    ASSERT_TRUE(app.waitUntilListening());
    EXPECT_EQ(app.dialogLog(), log);
}

// prcs: asks and goes away before its answer; odoc: goes away right after its
// answer, which comes before the conversion it starts. Each conversion is made.
TEST_F(ScriptingTest, SendersHangingUpDuringTheirConversion) {
    std::string big = app.home.file("big.txt");
    writeFile(big, repeat("Name: someone\r\nEmail: someone@example.org\r\n", 200000));
    for (const std::string id : {"prcs", "odoc"}) {
        if (id == "odoc") app.answerDialogs(big + " Converted\n");
        std::remove((big + " Converted").c_str());
        int fd = connectTo(eventSocketPath());
        std::string message = encodeEvent({"aevt", id, big});
        if (id == "odoc") {
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
    // Not an event; one that announces 100 MB; one cut short.
    for (const std::string& bytes : {std::string("GET / HTTP/1.0\r\n\r\n"),
                                     std::string("TBEV\x06\x40\x00\x00", 8) + "aevtprcs"}) {
        int fd = connectTo(eventSocketPath());
        EXPECT_EQ(exchange(fd, bytes), 'N') << bytes;
        ::close(fd);
    }
    int truncated = connectTo(eventSocketPath());
    ::send(truncated, (std::string("TBEV\x00\x00\x00\x20", 8) + "aevt").data(), 12, MSG_NOSIGNAL);
    ::close(truncated);
    std::vector<int> idle;  // many connections that say nothing
    for (int i = 0; i < 64; ++i)
        idle.push_back(connectTo(eventSocketPath()));
    for (int fd : idle)
        ::close(fd);
    EXPECT_EQ(app.send({"prcs", mail}).out, "handled\n");
    EXPECT_EQ(readFile(mail + " Converted"), expectedConversion());
}

// tabulon-send's own answers, with no app to reach: exit 0 for help, 2 for a
// call it cannot make sense of (one line and where to find help), 3 when nothing
// listens.
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
             {{}, 2, "tabulon-send: no event ID given\nTry 'tabulon-send --help'.\n"},
             {{"--class"}, 2, "tabulon-send: --class needs a four-character code\n"},
             {{"--class", "abc", "hail"}, 2, "tabulon-send: the class must be four characters\n"},
             {{"hai"}, 2, "tabulon-send: the event ID must be four characters\n"},
             {{"hail", "a", "b"}, 2, "tabulon-send: too many arguments\n"},
             {{"hail"}, 3, "tabulon-send: Tabulon is not running"},
             {{"--class", "aevt", "hail"}, 3, "tabulon-send: Tabulon is not running"},
             {{"--class=abc", "hail"}, 2, "tabulon-send: the class must be four characters\n"},
             {{"--class=aevt", "hail"}, 3, "tabulon-send: Tabulon is not running"},
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

}  // namespace
}  // namespace tabulon::test
