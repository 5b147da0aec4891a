// tabulon-convert as a user runs it: the built binary in a scratch folder, with
// its own HOME and configuration folder.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

#include "program_runner.h"
#include "test_util.h"

namespace tabulon {
namespace {

using test::readFile;
using test::writeFile;

using test::ProgramOptions;
using Result = test::ProgramResult;

// What the tests vary: standard input and the child's limits.
struct Options {
    std::string stdinData;
    long fileSizeLimit = -1;    // RLIMIT_FSIZE for the child, -1: unchanged
    bool closedStdout = false;  // stdout is a pipe whose reader has gone
};

class TabulonConvert : public ::testing::Test {
  protected:
    void SetUp() override {
        writeFile(dir.file("Template"), "Name:\rPhone:\rCity:\r");
        writeFile(dir.file("mail.txt"),
                  "Subject: Web form reply\r\nName: Ann Lee\r\nPhone: 555 0100\r\n"
                  "City: Oslo\r\n\r\nName: Bo Ek\r\nCity: Lund\r\n");
    }

    static constexpr const char* kConverted =
        "Name:\tPhone:\tCity:\r Ann Lee\t 555 0100\t Oslo\r Bo Ek\t Lund\r";

    Result run(std::vector<std::string> args, const Options& options = {}) {
        args.insert(args.begin(), TABULON_CONVERT_BINARY);
        ProgramOptions child;
        child.workingDir = dir.path();
        child.env = {{"HOME", dir.path()}, {"XDG_CONFIG_HOME", dir.path() + "config"}};
        child.fileSizeLimit = options.fileSizeLimit;
        child.closedStdout = options.closedStdout;
        return test::runProgram(args, dir.path(), options.stdinData, child);
    }

    // The folder's entries other than the harness's own files.
    std::string files() {
        std::string all = dir.listing(), kept;
        size_t start = 0;
        while (start <= all.size()) {
            size_t end = all.find('|', start);
            if (end == std::string::npos) end = all.size();
            std::string name = all.substr(start, end - start);
            if (name != ".stdin" && name != ".stdout" && name != ".stderr") {
                kept += (kept.empty() ? "" : "|") + name;
            }
            start = end + 1;
        }
        return kept;
    }

    test::TempDir dir;
};

TEST_F(TabulonConvert, ConvertsBesideTheInput) {
    Result r = run({"-t", "Template", "mail.txt"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err, "");  // no progress when standard error is not a terminal
    EXPECT_EQ(readFile(dir.file("mail.txt Converted")), kConverted);

    writeFile(dir.file("mail.txt Converted"), "an older conversion");
    EXPECT_EQ(run({"-q", "-t", "Template", "mail.txt"}).exitCode, 0);
    EXPECT_EQ(readFile(dir.file("mail.txt Converted")), kConverted);
    EXPECT_EQ(files(), "Template|mail.txt|mail.txt Converted");
}

TEST_F(TabulonConvert, PipesAndSeveralInputs) {
    Result r = run({"-t", "Template", "-", "-o", "-"}, {readFile(dir.file("mail.txt"))});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, kConverted);

    ::mkdir(dir.file("sub").c_str(), 0755);
    writeFile(dir.file("sub/b"), "City: Rome\n");
    r = run({"-t", "Template", "mail.txt", "sub/b", "-o", "x"});
    EXPECT_EQ(r.exitCode, 2);
    r = run({"-t", "Template", "mail.txt", "sub/b"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(readFile(dir.file("sub/b Converted")), "Name:\tPhone:\tCity:\r Rome\r");
}

TEST_F(TabulonConvert, DefaultTemplateFollowsTheAppsPreferences) {
    // No preferences: the template that comes with Tabulon.
    Result r = run({"mail.txt", "-o", "-"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    std::string bundled = readFile(TABULON_SOURCE_DIR "/resources/Templates/Field Names");
    ASSERT_FALSE(bundled.empty());
    std::string header = bundled;
    for (size_t i = 0; i + 1 < header.size(); ++i) {
        if (header[i] == '\r') header[i] = '\t';
    }
    EXPECT_EQ(r.out.substr(0, header.size()), header);

    // Preferences naming a template in another folder (lines 3 and 9).
    ::mkdir(dir.file("config").c_str(), 0755);
    ::mkdir(dir.file("mine").c_str(), 0755);
    writeFile(dir.file("mine/Orders"), "City:\r");
    writeFile(dir.file("config/Tabulon Prefs"),
              "false\nfalse\nOrders\nfalse\n10\n50\n10\n50\n" + dir.file("mine/") + "\n");
    r = run({"mail.txt", "-o", "-"});
    EXPECT_EQ(r.out, "City:\r Oslo\r Lund\r");
    EXPECT_FALSE(test::readFile(dir.file("config/Tabulon Prefs")).empty());
}

TEST_F(TabulonConvert, UsageErrorsExitTwo) {
    for (auto args : std::vector<std::vector<std::string>>{
             {}, {"-t"}, {"--frobnicate", "mail.txt"}, {"-t", "Template", "-"}}) {
        Result r = run(args);
        EXPECT_EQ(r.exitCode, 2);
        EXPECT_NE(r.err.find("Usage: tabulon-convert"), std::string::npos);
    }
    Result help = run({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("Usage: tabulon-convert"), std::string::npos);
    Result version = run({"--version"});
    EXPECT_EQ(version.out, "tabulon-convert 1.0\n");
    EXPECT_EQ(files(), "Template|mail.txt");
}

TEST_F(TabulonConvert, TemplateProblemsExitOne) {
    Result r = run({"-t", "absent", "mail.txt"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("The Field Names file is missing!"), std::string::npos);
    EXPECT_NE(r.err.find("absent"), std::string::npos);
    writeFile(dir.file("Empty"), "");
    r = run({"-t", "Empty", "mail.txt"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("The Field Names file is missing!"), std::string::npos);
    EXPECT_EQ(files(), "Empty|Template|mail.txt");
}

TEST_F(TabulonConvert, FailuresLeaveNoPartialOutput) {
    struct Case {
        std::vector<std::string> args;
        std::string message;
    };
    ::mkdir(dir.file("folder").c_str(), 0755);
    for (const Case& c : std::vector<Case>{
             {{"-t", "Template", "absent.txt"}, "absent.txt\": No such file"},
             {{"-t", "Template", "folder"}, "\"folder\": it is a folder"},
             {{"-t", "Template", "mail.txt", "-o", "nowhere/out"}, "nowhere/out"},
             {{"-t", "Template", "mail.txt", "-o", "mail.txt"}, "it is the input file"},
             {{"-t", "Template", "mail.txt", "-o", "/dev/full"}, "No space left on device"},
         }) {
        Result r = run(c.args);
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_EQ(files(), "Template|folder|mail.txt");
    }
    EXPECT_EQ(readFile(dir.file("mail.txt")).substr(0, 8), "Subject:");

    // The disk fills part way: the old output survives whole.
    std::string big;
    for (int i = 0; i < 20000; ++i)
        big += "Name: someone\nCity: somewhere\n";
    writeFile(dir.file("big"), big);
    writeFile(dir.file("big Converted"), "previous");
    Options limited;
    limited.fileSizeLimit = 100000;
    Result r = run({"-t", "Template", "big"}, limited);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("big Converted"), std::string::npos) << r.err;
    EXPECT_EQ(readFile(dir.file("big Converted")), "previous");
    EXPECT_EQ(files(), "Template|big|big Converted|folder|mail.txt");

    // One bad input among several: the others are still converted.
    r = run({"-t", "Template", "absent.txt", "mail.txt"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(readFile(dir.file("mail.txt Converted")), kConverted);
}

TEST_F(TabulonConvert, UnreadableInputWhenNotRoot) {
    if (::geteuid() == 0) GTEST_SKIP() << "root reads every file";
    ::chmod(dir.file("mail.txt").c_str(), 0);
    Result r = run({"-t", "Template", "mail.txt"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("Permission denied"), std::string::npos);
    EXPECT_EQ(files(), "Template|mail.txt");
}

TEST_F(TabulonConvert, ClosedPipeIsNotAnError) {
    std::string big;
    for (int i = 0; i < 50000; ++i)
        big += "Name: someone\n";
    writeFile(dir.file("big"), big);
    Options closed;
    closed.closedStdout = true;
    Result r = run({"-t", "Template", "big", "-o", "-"}, closed);
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.err, "");
}

}  // namespace
}  // namespace tabulon
