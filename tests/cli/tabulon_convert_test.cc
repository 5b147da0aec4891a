// tabulon-convert as a user runs it: the built binary in a scratch folder, with
// its own HOME and configuration folder.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>
#include <vector>

#include "conversion/converter.h"

#include "program_runner.h"
#include "table/table_reader.h"
#include "test_util.h"

namespace tabulon {
namespace {

using test::readFile;
using test::writeFile;

using test::ProgramOptions;
using Result = test::ProgramResult;

// What the tests vary: standard input and output and the child's limits.
struct Options {
    std::string stdinData;
    std::string stdinFile;      // read instead of stdinData when set
    std::string stdoutFile;     // written instead of the harness's own file when set
    bool appendStdout = false;  // stdoutFile opened as `>>` does
    long fileSizeLimit = -1;    // RLIMIT_FSIZE for the child, -1: unchanged
    bool closedStdout = false;  // stdout is a pipe whose reader has gone
};

class TabulonConvert : public ::testing::Test {
  protected:
    void SetUp() override {
        ::mkdir(dir.file("tmp").c_str(), 0755);  // where a workbook's temporary file goes
        writeFile(dir.file("Template"), "Name:\rPhone:\rCity:\r");
        writeFile(dir.file("mail.txt"),
                  "Subject: Web form reply\r\nName: Ann Lee\r\nPhone: 555 0100\r\n"
                  "City: Oslo\r\n\r\nName: Bo Ek\r\nCity: Lund\r\n");
    }

    static constexpr const char* kConverted =
        "Name:\tPhone:\tCity:\r Ann Lee\t 555 0100\t Oslo\r Bo Ek\t Lund\r";

    ProgramOptions childOptions() {
        ProgramOptions child;
        child.workingDir = dir.path();
        child.env = {{"HOME", dir.path()},
                     {"XDG_CONFIG_HOME", dir.path() + "config"},
                     {"TMPDIR", dir.file("tmp")}};
        return child;
    }

    Result run(std::vector<std::string> args, const Options& options = {}) {
        args.insert(args.begin(), TABULON_CONVERT_BINARY);
        ProgramOptions child = childOptions();
        child.fileSizeLimit = options.fileSizeLimit;
        child.closedStdout = options.closedStdout;
        child.appendStdout = options.appendStdout;
        child.stdinFile = options.stdinFile;
        if (child.stdinFile.empty()) {
            child.stdinFile = dir.file(".stdin");
            writeFile(child.stdinFile, options.stdinData);
        }
        std::string out = options.stdoutFile.empty() ? dir.file(".stdout") : options.stdoutFile;
        pid_t pid = test::startProgram(args, out, dir.file(".stderr"), child);
        int status = 0;
        ::waitpid(pid, &status, 0);
        return {WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status),
                options.stdoutFile.empty() ? readFile(out) : "", readFile(dir.file(".stderr"))};
    }

    // The folder's entries other than the harness's own files.
    std::string files() {
        std::string all = dir.listing(), kept;
        size_t start = 0;
        while (start <= all.size()) {
            size_t end = all.find('|', start);
            if (end == std::string::npos) end = all.size();
            std::string name = all.substr(start, end - start);
            if (name != ".stdin" && name != ".stdout" && name != ".stderr" && name != "fifo" &&
                name != "tmp") {
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
    Options piped;
    piped.stdinData = readFile(dir.file("mail.txt"));
    Result r = run({"-t", "Template", "-", "-o", "-"}, piped);
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

// A terminal for the child's standard input; "" where none can be had.
class Terminal {
  public:
    Terminal() {
        fd_ = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (fd_ >= 0 && ::grantpt(fd_) == 0 && ::unlockpt(fd_) == 0) path_ = ::ptsname(fd_);
    }
    ~Terminal() {
        if (fd_ >= 0) ::close(fd_);
    }
    const std::string& path() const { return path_; }

  private:
    int fd_ = -1;
    std::string path_;
};

TEST_F(TabulonConvert, ExitStatusOfEachKindOfCall) {
    const std::string mail = readFile(dir.file("mail.txt"));
    const std::string tryHelp = "\nTry 'tabulon-convert --help'.\n";
    Terminal terminal;  // where the system has no terminals, those rows are left out
    struct Case {
        std::vector<std::string> args;
        std::string stdinData;
        bool stdinTerminal;
        int exitCode;
        std::string outStart;
        std::string err;
    };
    // clang-format off
    for (const Case& c : std::vector<Case>{
        // A filter in a pipe needs no flags.
        {{"-t", "Template"}, mail, false, 0, kConverted, ""},
        {{"-t", "Template", "-"}, mail, false, 0, kConverted, ""},
        {{"-qtTemplate", "-o-", "mail.txt"}, "", false, 0, kConverted, ""},
        {{"--help"}, "", false, 0, "Usage: tabulon-convert [OPTION]... [INPUT]...\n", ""},
        {{"--version"}, "", false, 0, "tabulon-convert 1.0\n", ""},
        // Usage errors: one line and where to find help (each error's wording is
        // the argument parser's test).
        {{"-t", "Template"}, "", true, 2, "", "tabulon-convert: no input file given" + tryHelp},
        {{"--frobnicate", "mail.txt"}, "", false, 2, "", "tabulon-convert: unknown option --frobnicate" + tryHelp},
        {{"-f", "doc", "mail.txt"}, "", false, 2, "",
         "tabulon-convert: option -f: unknown format 'doc' (choose tab, tsv, csv, xlsx or jsonl)" + tryHelp},
        {{"-f", "xlsx", "--bom", "mail.txt"}, "", false, 2, "", "tabulon-convert: --bom goes with --format csv only" + tryHelp},
        {{"-o", "x", "mail.txt", "mail.txt"}, "", false, 2, "",
         "tabulon-convert: -o takes one INPUT only; without it each output goes beside its input" + tryHelp},
    }) {
        // clang-format on
        if (c.stdinTerminal && terminal.path().empty()) continue;
        Options options;
        options.stdinData = c.stdinData;
        if (c.stdinTerminal) options.stdinFile = terminal.path();
        Result r = run(c.args, options);
        EXPECT_EQ(r.exitCode, c.exitCode) << c.args[0] << " " << r.err;
        EXPECT_EQ(r.out.substr(0, c.outStart.size()), c.outStart) << c.args[0];
        EXPECT_EQ(r.err, c.err);
    }
    EXPECT_EQ(files(), "Template|mail.txt");
}

TEST_F(TabulonConvert, MissingAndEmptyTemplates) {
    Result r = run({"-t", "absent", "mail.txt"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("The Field Names file is missing!"), std::string::npos);
    EXPECT_NE(r.err.find("absent"), std::string::npos);
    EXPECT_EQ(files(), "Template|mail.txt");

    // An empty file is one empty name, as the app reads it.
    writeFile(dir.file("Empty"), "");
    r = run({"-t", "Empty", "mail.txt", "-o", "-"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    test::StringSource input(readFile(dir.file("mail.txt")));
    test::StringSink expected;
    ASSERT_TRUE(convert(input, FieldList{""}, expected).ok());
    EXPECT_EQ(r.out, expected.bytes);
}

TEST_F(TabulonConvert, StandardOutputOntoItsOwnInputIsRefused) {
    const std::string mail = readFile(dir.file("mail.txt"));
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"-q", "-t", "Template", "-o", "-", "mail.txt"},  // ... mail.txt >> mail.txt
             {"-q", "-t", "Template", "mail.txt", "-o", "-"},
             {"-q", "-t", "Template", "-"},  // ... - < mail.txt >> mail.txt
             {"-q", "-t", "Template"},
         }) {
        Options options;
        options.stdinFile = dir.file("mail.txt");
        options.stdoutFile = dir.file("mail.txt");
        options.appendStdout = true;
        options.fileSizeLimit = 1 << 20;  // ends a run that feeds on itself
        Result r = run(args, options);
        EXPECT_EQ(r.exitCode, 1) << args.back();
        EXPECT_NE(r.err.find("Cannot write standard output: it is the input file \""),
                  std::string::npos)
            << r.err;
        EXPECT_EQ(readFile(dir.file("mail.txt")), mail);
    }
    EXPECT_EQ(files(), "Template|mail.txt");
}

TEST_F(TabulonConvert, StandardInputReadInPartBeforeUs) {
    // (read -r line; tabulon-convert [-m] -o out -) < mail.txt, for both conversions
    for (const char* mode : {"-q", "-qm"}) {
        Result r = test::runProgram(
            {"/bin/sh", "-c", "read -r line; exec \"$0\" \"$1\" -t Template -o out -",
             TABULON_CONVERT_BINARY, mode},
            dir.path(), readFile(dir.file("mail.txt")), childOptions());
        EXPECT_EQ(r.exitCode, 0) << mode << " " << r.err;
        EXPECT_EQ(r.err, "") << mode;
        if (std::string(mode) == "-q") {
            EXPECT_EQ(readFile(dir.file("out")), kConverted);
        }
    }
}

// True when process `pid` holds a file open in `folder` other than the streams
// the harness gave it.
bool holdsFileIn(pid_t pid, const std::string& folder) {
    std::error_code error;
    std::filesystem::path fds = "/proc/" + std::to_string(pid) + "/fd";
    for (const auto& entry : std::filesystem::directory_iterator(fds, error)) {
        std::string target = std::filesystem::read_symlink(entry.path(), error).string();
        if (target.compare(0, folder.size(), folder) != 0) continue;
        std::string name = target.substr(folder.size());
        if (name != "fifo" && name != ".stdout" && name != ".stderr") return true;
    }
    return false;
}

TEST_F(TabulonConvert, InterruptedRunsLeaveNoTemporaryFile) {
    ASSERT_EQ(::mkfifo(dir.file("fifo").c_str(), 0600), 0);
    writeFile(dir.file("out"), "previous");
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
        ProgramOptions child = childOptions();
        child.stdinFile = dir.file("fifo");
        pid_t pid =
            test::startProgram({TABULON_CONVERT_BINARY, "-q", "-t", "Template", "-o", "out", "-"},
                               dir.file(".stdout"), dir.file(".stderr"), child);
        ASSERT_GT(pid, 0);
        // The child waits for more input with its output open.
        int writer = ::open(dir.file("fifo").c_str(), O_WRONLY);
        ASSERT_GE(writer, 0);
        ASSERT_EQ(::write(writer, "Name: Ann\n", 10), 10);
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        bool outputOpen = false;
        while (!(outputOpen = holdsFileIn(pid, dir.path())) &&
               std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        EXPECT_EQ(files(), "Template|mail.txt|out");  // the new output has no name yet
        ::kill(pid, signal);
        int status = 0;
        ::waitpid(pid, &status, 0);
        ::close(writer);
        EXPECT_TRUE(outputOpen);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << signal;
        EXPECT_EQ(files(), "Template|mail.txt|out") << signal;
        EXPECT_EQ(readFile(dir.file("out")), "previous");
    }
}

TEST_F(TabulonConvert, OutputThroughLinks) {
    ::mkdir(dir.file("folder").c_str(), 0755);
    ASSERT_EQ(::symlink("folder/converted", dir.file("link").c_str()), 0);  // dangling
    Result r = run({"-q", "-t", "Template", "-o", "link", "mail.txt"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(readFile(dir.file("folder/converted")), kConverted);
    struct stat st {};
    ASSERT_EQ(::lstat(dir.file("link").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));

    ASSERT_EQ(::symlink("loop2", dir.file("folder/loop1").c_str()), 0);
    ASSERT_EQ(::symlink("loop1", dir.file("folder/loop2").c_str()), 0);
    r = run({"-q", "-t", "Template", "-o", "folder/loop1", "mail.txt"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err,
              "tabulon-convert: Cannot write \"folder/loop1\": it is a symbolic link that leads "
              "back to itself\n");
    ASSERT_EQ(::lstat(dir.file("folder/loop1").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(files(), "Template|folder|link|mail.txt");
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
             {{"-t", "Template", "mail.txt", "-o", test::scratchDevice("full")},
              "No space left on device"},
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

TEST_F(TabulonConvert, EachFormatBesideItsInputOrOnStandardOutput) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> runs = {
        {{"-f", "csv"}, "Name,Phone,City\r\n Ann Lee, 555 0100, Oslo\r\n Bo Ek, Lund\r\n"},
        {{"--format", "tsv"}, "Name\tPhone\tCity\n Ann Lee\t 555 0100\t Oslo\n Bo Ek\t Lund\n"},
        {{"--format=jsonl"},
         "{\"Name\":\" Ann Lee\",\"Phone\":\" 555 0100\",\"City\":\" Oslo\"}\n"
         "{\"Name\":\" Bo Ek\",\"Phone\":\" Lund\"}\n"},
        {{"-f", "xlsx"}, ""},  // read back below
        {{"-f", "tab"}, kConverted},
    };
    for (const auto& [options, bytes] : runs) {
        std::vector<std::string> args = options;
        args.insert(args.end(), {"-t", "Template", "mail.txt"});
        Result r = run(args);
        EXPECT_EQ(r.exitCode, 0) << options.back() << ": " << r.err;
        EXPECT_EQ(r.err, "");
        std::string format = options.back().substr(options.back().rfind('=') + 1);
        std::string name = format == "tab" ? "mail.txt Converted" : "mail.txt Converted." + format;
        if (!bytes.empty()) {
            EXPECT_EQ(readFile(dir.file(name)), bytes) << format;
        }
    }
    EXPECT_EQ(files(),
              "Template|mail.txt|mail.txt Converted|mail.txt Converted.csv|"
              "mail.txt Converted.jsonl|mail.txt Converted.tsv|mail.txt Converted.xlsx");
    test::ReadTable book = test::readTable("xlsx", dir.file("mail.txt Converted.xlsx"), dir.path());
    ASSERT_TRUE(book.ok) << book.error;
    EXPECT_EQ(book.rows, (std::vector<std::vector<std::string>>{{"Name", "Phone", "City"},
                                                                {" Ann Lee", " 555 0100", " Oslo"},
                                                                {" Bo Ek", " Lund"}}));
    EXPECT_TRUE(std::filesystem::is_empty(dir.file("tmp")));  // the workbook's temporary file

    Result r = run({"-f", "csv", "--bom", "-t", "Template", "-o", "-", "mail.txt"});
    EXPECT_EQ(r.out.substr(0, 20), "\xEF\xBB\xBFName,Phone,City\r\n");
    r = run({"-f", "xlsx", "-t", "Template", "-o", "-", "mail.txt"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out.substr(0, 2), "PK");  // a zip container
}

// The disk fills part way through each format: exit 1, a message naming the
// output, the older output whole, no temporary file left.
TEST_F(TabulonConvert, EachFormatOnAFullDiskKeepsTheOlderOutput) {
    std::string big;
    for (int i = 0; i < 20000; ++i)
        big += "Name: someone\r\nPhone: 0612 345\r\nCity: somewhere\r\n";
    writeFile(dir.file("big"), big);
    for (const char* format : {"csv", "xlsx", "jsonl", "tsv"}) {
        std::string output = std::string("big Converted.") + format;
        writeFile(dir.file(output), "previous");
        Options limited;
        limited.fileSizeLimit = 100000;
        Result r = run({"-f", format, "-t", "Template", "big"}, limited);
        EXPECT_EQ(r.exitCode, 1) << format;
        EXPECT_NE(r.err.find("\"" + output + "\""), std::string::npos) << r.err;
        EXPECT_EQ(readFile(dir.file(output)), "previous") << format;
        ::unlink(dir.file(output).c_str());
    }
    EXPECT_EQ(files(), "Template|big|mail.txt");
    EXPECT_TRUE(std::filesystem::is_empty(dir.file("tmp")));
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

// Where process `pid` is reading `file`: -1 until it has it open.
long long readPosition(pid_t pid, const std::string& file) {
    std::error_code error;
    std::string proc = "/proc/" + std::to_string(pid);
    for (const auto& entry : std::filesystem::directory_iterator(proc + "/fd", error)) {
        if (std::filesystem::read_symlink(entry.path(), error).string() != file) continue;
        std::string info = readFile(proc + "/fdinfo/" + entry.path().filename().string());
        return std::atoll(info.c_str() + info.find("pos:") + 4);
    }
    return -1;
}

TEST_F(TabulonConvert, AnInputThatShrinksWhileReadKeepsItsTableAndSaysSo) {
    std::string message =
        "From form@example.org Mon Jan  1 00:00:00 2024\nFrom: form@example.org\n\n"
        "Name: Ann Lee\nPhone: 555 0100\n\n";
    std::string block;
    while (block.size() < (1 << 20))
        block += message;
    std::string big = dir.file("big.txt");
    {
        FILE* f = std::fopen(big.c_str(), "w");
        for (int i = 0; i < 100; ++i)
            std::fwrite(block.data(), 1, block.size(), f);
        std::fclose(f);
    }
    pid_t pid = test::startProgram(
        {TABULON_CONVERT_BINARY, "-qm", "-t", "Template", "-o", "out.tsv", "-f", "tsv", big},
        dir.file(".stdout"), dir.file(".stderr"), childOptions());
    ASSERT_GT(pid, 0);
    // Cut the input once reading has begun, far from its end.
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (readPosition(pid, big) <= 0 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    std::filesystem::resize_file(big, 1000);
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_NE(readFile(dir.file(".stderr")).find("changed while it was being converted"),
              std::string::npos)
        << readFile(dir.file(".stderr"));
    EXPECT_EQ(readFile(dir.file("out.tsv")).rfind("Name\tPhone\tCity\nAnn Lee\t555 0100\t\n", 0),
              0u);
}

}  // namespace
}  // namespace tabulon
