// tabulon-convert as a user runs it: the built binary in a scratch folder, with
// its own HOME and configuration folder.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <set>
#include <thread>
#include <vector>

#include "case_file.h"
#include "program_runner.h"
#include "table/table_reader.h"
#include "table/table_test_util.h"
#include "test_util.h"

namespace tabulon {
namespace {

using test::readFile;
using test::writeFile;
using Args = std::vector<std::string>;
using Result = test::ProgramResult;
constexpr auto npos = std::string::npos;

constexpr const char* kMail =
    "Subject: Web form reply\r\nName: Ann Lee\r\nPhone: 555 0100\r\nCity: Oslo\r\n\r\n"
    "Name: Bo Ek\r\nCity: Lund\r\n";
constexpr const char* kConverted =
    "Name:\tPhone:\tCity:\r Ann Lee\t 555 0100\t Oslo\r Bo Ek\t Lund\r";

// A terminal for the child's standard input, "" where none can be had. Its other
// side stays open as long as the tests run.
std::string terminalPath() {
    static int fd = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (fd < 0 || ::grantpt(fd) != 0 || ::unlockpt(fd) != 0) return "";
    return ::ptsname(fd);
}

int waitStatus(pid_t pid) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    return status;
}

// `dir` holds the user's files and nothing else; the standard streams, the
// temporary folder and a pipe are in `io`.
class TabulonConvert : public ::testing::Test {
  protected:
    void SetUp() override {
        ::mkdir(io.file("tmp").c_str(), 0755);  // where a workbook's temporary file goes
        writeFile(dir.file("Template"), "Name:\rPhone:\rCity:\r");
        writeFile(dir.file("mail.txt"), kMail);
    }

    test::ProgramOptions child(test::ProgramOptions options = {}) {
        options.workingDir = dir.path();
        options.env = {{"HOME", dir.path()},
                       {"XDG_CONFIG_HOME", dir.path() + "config"},
                       {"TMPDIR", io.file("tmp")}};
        return options;
    }

    Result run(Args args, test::ProgramOptions options = {}, const std::string& stdinData = "") {
        args.insert(args.begin(), TABULON_CONVERT_BINARY);
        return test::runProgram(args, io.path(), stdinData, child(options));
    }

    pid_t start(Args args, test::ProgramOptions options = {}, const std::string& out = "") {
        args.insert(args.begin(), TABULON_CONVERT_BINARY);
        return test::startProgram(args, out.empty() ? io.file(".stdout") : out, io.file(".stderr"),
                                  child(options));
    }

    test::TempDir dir, io;
};

// The calls are in cli/cases/exit_status.cases.
TEST_F(TabulonConvert, ExitStatusOfEachKindOfCall) {
    writeFile(dir.file("Empty"), "");
    ::mkdir(dir.file("folder").c_str(), 0755);
    ASSERT_EQ(::symlink("folder/converted", dir.file("link").c_str()), 0);  // dangling
    ::mkdir(dir.file("sub").c_str(), 0755);
    writeFile(dir.file("sub/b"), "City: Rome\n");
    writeFile(dir.file("mail.txt Converted"), "an older conversion");
    for (const test::Case& c : test::readCases("cli/cases/exit_status.cases")) {
        const bool terminal = c.has("terminal");
        if (terminal && terminalPath().empty()) continue;
        test::ProgramOptions options;
        if (terminal) options.stdinFile = terminalPath();
        Result r = run(c.list("args"), options, c.text("stdin", ""));
        const std::string out = c.text("out", "");
        EXPECT_EQ(r.exitCode, std::stoi(c.text("exit"))) << c.where << " " << r.err;
        EXPECT_EQ(r.out.substr(0, out.empty() ? npos : out.size()), out) << c.where;
        EXPECT_EQ(r.err, c.text("err", "")) << c.where;
    }
    EXPECT_EQ(dir.listing(), "Empty|Template|folder|link|mail.txt|mail.txt Converted|sub");
    EXPECT_EQ(readFile(dir.file("mail.txt Converted")), kConverted);
    EXPECT_EQ(readFile(dir.file("sub/b Converted")), "Name:\tPhone:\tCity:\r Rome\r");
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file("link")));
    EXPECT_EQ(readFile(dir.file("folder/converted")), kConverted);
    EXPECT_EQ(readFile(dir.file("mail.txt")), kMail);
    EXPECT_TRUE(std::filesystem::is_empty(io.file("tmp")));  // the workbook's temporary file

    // Started with standard input closed: the template, then the output, open as
    // descriptor 0.
    test::ProgramOptions noStdin;
    noStdin.closedStdin = true;
    EXPECT_EQ(run({"-tTemplate", "-o", "closed.txt", "mail.txt"}, noStdin).exitCode, 0);
    EXPECT_EQ(readFile(dir.file("closed.txt")), kConverted);

    if (::geteuid() != 0) {  // root reads every file
        ::chmod(dir.file("mail.txt").c_str(), 0);
        Result r = run({"-t", "Template", "mail.txt", "-o", "-"});
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_PRED2(test::contains, r.err, "\"mail.txt\": Permission denied");
    }
}

// Standard output that cannot take what is written: the failure is told, exit 1,
// and an input that standard output appends to is left as it was. A terminal
// gets no workbook, as it gets no compressed data from a compressor.
TEST_F(TabulonConvert, StandardOutputThatFails) {
    const std::string mbox = TABULON_SOURCE_DIR "/tests/mail/samples/php-mail-form.mbox";
    const std::string mail = dir.file("mail.txt"), full = test::scratchDevice("full");
    const std::string input = "Cannot write standard output: it is the input file \"";
    const std::string noSpace = "Cannot write \"standard output\": No space left";
    const std::string noXlsx =
        "Cannot write standard output: it is a terminal, which cannot show xlsx";
    struct Case {
        Args args;
        std::string out;
        std::string err;
    };
    for (const Case& c : std::vector<Case>{
             // ... < mail.txt >> mail.txt
             {{"-q", "-t", "Template", "-o", "-", "mail.txt"}, mail, input},
             {{"-q", "-t", "Template"}, mail, input},
             {{"-q", "-t", "Template", "-m", "-o", "-", "mail.txt"}, mail, input},
             {{"-q", "-t", "Template", "-m"}, mail, input},
             {{"--guess-template", mbox}, full, noSpace},
             {{"-qm", "-tTemplate", "-o-", mbox}, full, noSpace},
             {{"-fxlsx", "-tTemplate", "-o-", "mail.txt"}, terminalPath(), noXlsx},
             {{"-qm", "-fxlsx", "-tTemplate", mbox, "-o", "-"}, terminalPath(), noXlsx},
         }) {
        if (c.out.empty()) continue;  // no terminal to be had
        test::ProgramOptions options;
        options.stdinFile = mail;
        options.appendStdout = true;
        options.fileSizeLimit = 1 << 20;  // ends a run that feeds on itself
        EXPECT_EQ(WEXITSTATUS(waitStatus(start(c.args, options, c.out))), 1) << c.args[0];
        EXPECT_PRED2(test::contains, readFile(io.file(".stderr")), c.err);
        EXPECT_EQ(readFile(mail), kMail);
    }
    EXPECT_EQ(dir.listing(), "Template|mail.txt");
}

TEST_F(TabulonConvert, StandardInputReadInPartBeforeUs) {
    // (read -r line; tabulon-convert [-m] -o out -) < mail.txt, for both conversions
    for (std::string mode : {"-q", "-qm"}) {
        Result r = test::runProgram(
            {"/bin/sh", "-c", "read -r line; exec \"$0\" \"$1\" -t Template -o out -",
             TABULON_CONVERT_BINARY, mode},
            io.path(), kMail, child());
        EXPECT_EQ(r.exitCode, 0) << mode << " " << r.err;
        EXPECT_EQ(r.err, "") << mode;
        if (mode == "-q") {
            EXPECT_EQ(readFile(dir.file("out")), kConverted);
        }
    }
}

// On a terminal, standard error shows how much of the input is read, as a share of
// its size when it has one (a file, or a file on standard input), and is cleared
// when the run ends; with blanks where the terminal knows no control sequences.
TEST_F(TabulonConvert, ProgressOnATerminalIsClearedAtTheEnd) {
    int terminal = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_TRUE(terminal >= 0 && ::grantpt(terminal) == 0 && ::unlockpt(terminal) == 0);
    writeFile(dir.file("one"), "x");  // the smallest size to show as a share
    writeFile(dir.file("none"), "");  // no size to take a share of, as a pipe
    const struct {
        const char *input, *term;
        bool quiet = false;  // -q: nothing shown
        std::string read = "100%";
    } kRuns[] = {{"one", "xterm"},
                 {"-", "xterm"},
                 {"one", "dumb"},
                 {"one", "xterm", true},
                 {"none", "xterm", false, "0 MB"}};
    for (auto [input, term, quiet, read] : kRuns) {
        std::string name = input == std::string("-") ? "standard input" : input;
        bool dumb = term == std::string("dumb");
        const std::string end =
            ": " + read + "\r" +
            (dumb ? std::string(name.size() + read.size() + 2, ' ') + "\r" : "\033[K");
        test::ProgramOptions options = child();
        options.stdinFile = dir.file("one");
        options.env.push_back({"TERM", term});
        pid_t pid = test::startProgram(
            {TABULON_CONVERT_BINARY, quiet ? "-qtTemplate" : "-tTemplate", "-oout", input},
            io.file(".stdout"), ::ptsname(terminal), options);
        std::string shown;
        int status = -1;
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while ((quiet ? status == -1 : !shown.ends_with(end)) &&
               std::chrono::steady_clock::now() < deadline) {
            char buffer[256];
            ssize_t n = ::read(terminal, buffer, sizeof buffer);
            // What the child wrote may reach us a moment after it has ended.
            if (n > 0) {
                shown.append(buffer, static_cast<size_t>(n));
            } else if (status == -1 && ::waitpid(pid, &status, WNOHANG) == pid) {
                deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
            } else {
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
        }
        if (status == -1) status = waitStatus(pid);
        EXPECT_EQ(status, 0);
        if (quiet) {
            EXPECT_EQ(shown, "");
            continue;
        }
        EXPECT_TRUE(shown.starts_with((dumb ? "\r" : "\r\033[K") + name) &&
                    shown.ends_with(name + end))
            << shown;
        EXPECT_EQ(shown.find('\033') == npos, dumb) << shown;
    }
    ::close(terminal);
}

// Each format beside its input; and when the disk fills part way: a message
// naming the output, the older output whole, no temporary file left (the
// workbook's included).
TEST_F(TabulonConvert, EachFormatBesideItsInputAndOnAFullDisk) {
    writeFile(dir.file("big"),
              test::repeat("Name: someone\r\nPhone: 0612 345\r\nCity: somewhere\r\n", 20000));
    // What the writers make of the rows; the workbook is read back below.
    const test::Rows rows = {{" Ann Lee", " 555 0100", " Oslo"}, {" Bo Ek", " Lund"}};
    for (const FormatInfo& info : tableFormats()) {
        std::string format(info.name), name = " Converted" + std::string(info.extension);
        Result r = run({"-f", format, "-t", "Template", "mail.txt"});
        EXPECT_EQ(r.exitCode, 0) << format << ": " << r.err;
        EXPECT_EQ(r.err, "");
        if (info.format != TableFormat::kXlsx) {
            EXPECT_EQ(readFile(dir.file("mail.txt" + name)),
                      test::writeTable(info.format, {"Name:", "Phone:", "City:"}, rows))
                << format;
        }
        writeFile(dir.file("big" + name), "previous");
        test::ProgramOptions limited;
        limited.fileSizeLimit = 100000;
        r = run({"-f", format, "-t", "Template", "big"}, limited);
        EXPECT_EQ(r.exitCode, 1) << format;
        EXPECT_PRED2(test::contains, r.err, "\"big" + name + "\"");
        EXPECT_EQ(readFile(dir.file("big" + name)), "previous") << format;
        ::unlink(dir.file("big" + name).c_str());
    }
    std::set<std::string> made = {"Template", "big", "mail.txt"};
    for (const FormatInfo& info : tableFormats())
        made.insert("mail.txt Converted" + std::string(info.extension));
    std::string listing;
    for (const std::string& name : made)
        listing += (listing.empty() ? "" : "|") + name;
    EXPECT_EQ(dir.listing(), listing);
    EXPECT_TRUE(std::filesystem::is_empty(io.file("tmp")));
    test::ReadTable book = test::readTable("xlsx", dir.file("mail.txt Converted.xlsx"), io.path());
    ASSERT_TRUE(book.ok) << book.error;
    test::Rows withHeader = rows;
    withHeader.insert(withHeader.begin(), {"Name", "Phone", "City"});
    EXPECT_EQ(book.rows, withHeader);

    test::ProgramOptions closed;  // a reader that has gone is no failure
    closed.closedStdout = true;
    Result r = run({"-t", "Template", "big", "-o", "-"}, closed);
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.err, "");
}

}  // namespace
}  // namespace tabulon
