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
#include <thread>
#include <vector>

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

TEST_F(TabulonConvert, ExitStatusOfEachKindOfCall) {
    const std::string tryHelp = "\nTry 'tabulon-convert --help'.\n";
    writeFile(dir.file("Empty"), "");
    ::mkdir(dir.file("folder").c_str(), 0755);
    ASSERT_EQ(::symlink("folder/converted", dir.file("link").c_str()), 0);  // dangling
    ::mkdir(dir.file("sub").c_str(), 0755);
    writeFile(dir.file("sub/b"), "City: Rome\n");
    writeFile(dir.file("mail.txt Converted"), "an older conversion");
    struct Case {
        Args args;
        std::string stdinData;
        int exitCode;
        std::string outStart;
        std::string err;
        bool terminal = false;  // standard input a terminal; left out where there is none
    };
    // clang-format off
    for (const Case& c : std::vector<Case>{
        // A filter in a pipe needs no flags.
        {{"-t", "Template"}, kMail, 0, kConverted, ""},
        {{"-t", "Template", "-"}, kMail, 0, kConverted, ""},
        {{"-qtTemplate", "-o-", "mail.txt"}, "", 0, kConverted, ""},
        {{"-tTemplate", "-olink", "mail.txt"}, "", 0, "", ""},  // written through the link
        // Each output beside its input, an older one replaced; an input that
        // cannot be read is named, and the others are still converted.
        {{"-t", "Template", "absent.txt", "mail.txt", "sub/b"}, "", 1, "",
         "tabulon-convert: Cannot open \"absent.txt\": No such file or directory\n"},
        // An empty template is one empty name, as the app reads it: every line.
        {{"-t", "Empty", "mail.txt", "-o", "-"}, "", 0,
         "\rSubject: Web form reply\rName: Ann Lee\rPhone: 555 0100\rCity: Oslo\r\rName: Bo Ek\rCity: Lund\r", ""},
        {{"-fcsv", "--bom", "-tTemplate", "-o-", "mail.txt"}, "", 0, "\xEF\xBB\xBFName,Phone,City\r\n", ""},
        {{"-fxlsx", "-tTemplate", "-o-", "mail.txt"}, "", 0, "PK", ""},  // a zip container
        // Messages from standard input go to standard output too.
        {{"-m", "-t", "Template"}, kMail, 0, "Name:\tPhone:\tCity:\r", ""},
        {{"-qm", "-tTemplate", "-"}, kMail, 0, "Name:\tPhone:\tCity:\r", ""},
        // The template from standard input, or by its name in the Templates folder.
        {{"-m", "-t", "-", "mail.txt", "-o", "-"}, "Name:\rCity:\r", 0, "Name:\tCity:\r", ""},
        {{"-m", "-t", "Field Names", "mail.txt", "-o", "-"}, "", 0, "Name:\tEmail:\tPhone:\tComments:\r", ""},
        // A list of files, one to a line or ending in NUL; piped in as mail, it is no mail.
        {{"-m", "-t", "Template", "--files-from", "-", "-o", "-"}, "sub/b\n\nmail.txt\n", 0,
         "Name:\tPhone:\tCity:\r\t\tRome\rBo Ek\t\tLund\r", ""},
        {{"-m", "-t", "Template", "--files-from=-", "-o", "-"}, std::string("mail.txt\0sub/b", 15), 0,
         "Name:\tPhone:\tCity:\rBo Ek\t\tLund\r\t\tRome\r", ""},
        {{"-t", "Template", "--files-from", "-", "-o", "x"}, "mail.txt\nsub/b\n", 1, "",
         "tabulon-convert: -o takes one INPUT only; without it each output goes beside its input\n"},
        {{"-m", "-t", "Template", "--files-from", "absent"}, "", 1, "",
         "tabulon-convert: --files-from: Cannot open \"absent\": No such file or directory\n"},
        {{"-m", "-t", "Template", "--files-from", "Empty"}, "", 1, "",
         "tabulon-convert: the list of files \"Empty\" names no file\n"},
        {{"-m", "-t", "Template"}, "mail.txt\nsub/b\n", 1, "",
         "tabulon-convert: standard input holds no mail (to read the files a list names, give it with --files-from)\n"},
        // The template's names on the command line, in both conversions.
        {{"-q", "--columns", "Name:,Phone:,City:", "-o-", "mail.txt"}, "", 0, kConverted, ""},
        {{"-q", "--columns=\"Name:\",City:", "-o-", "mail.txt"}, "", 0, "Name:\tCity:\r Ann Lee\t Oslo\r Bo Ek\t Lund\r", ""},
        {{"-qm", "--columns=Name,\"Ci,ty\"", "-o-", "mail.txt"}, "", 0, "Name\tCi,ty\r", ""},
        {{"--guess-template", "--columns-out", "mail.txt"}, "", 0, "Name,City\n", ""},
        {{"--help"}, "", 0, "Usage: tabulon-convert [OPTION]... [INPUT]...\n", ""},
        {{"--version"}, "", 0, "tabulon-convert 1.0\n", ""},
        {{"-t", "absent", "mail.txt"}, "", 1, "", "tabulon-convert: The Field Names file is missing! (absent)\n"},
        // A name that carries a terminal's escape sequence is shown escaped.
        {{"-t", "Template", "a\x1B[2Jb"}, "", 1, "", "tabulon-convert: Cannot open \"a\\x1B[2Jb\": No such file or directory\n"},
        {{"-t", "folder", "mail.txt"}, "", 1, "", "tabulon-convert: Cannot read \"folder\": it is a folder\n"},
        // Nothing is written where a file cannot be read or written (why an
        // output cannot be written is the atomic file's test).
        {{"-t", "Template", "folder"}, "", 1, "", "tabulon-convert: Cannot read \"folder\": it is a folder\n"},
        {{"-tTemplate", "mail.txt", "-o", "nowhere/out"}, "", 1, "",
         "tabulon-convert: Cannot create \"nowhere/out\": No such file or directory\n"},
        {{"-tTemplate", "mail.txt", "-o", "mail.txt"}, "", 1, "",
         "tabulon-convert: Cannot write \"mail.txt\": it is the input file \"mail.txt\"; choose another name for the output\n"},
        // Usage errors: one line and where to find help (each error's wording is
        // the argument parser's test).
        {{"-t", "Template"}, "", 2, "", "tabulon-convert: no input file given" + tryHelp, true},
        {{"--frobnicate", "mail.txt"}, "", 2, "", "tabulon-convert: unknown option --frobnicate" + tryHelp},
    }) {
        // clang-format on
        if (c.terminal && terminalPath().empty()) continue;
        test::ProgramOptions options;
        if (c.terminal) options.stdinFile = terminalPath();
        Result r = run(c.args, options, c.stdinData);
        EXPECT_EQ(r.exitCode, c.exitCode) << c.args[0] << " " << r.err;
        EXPECT_EQ(r.out.substr(0, c.outStart.empty() ? npos : c.outStart.size()), c.outStart)
            << c.args[0];
        EXPECT_EQ(r.err, c.err);
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
    EXPECT_EQ(dir.listing(),
              "Template|big|mail.txt|mail.txt Converted|mail.txt Converted.csv|"
              "mail.txt Converted.jsonl|mail.txt Converted.tsv|mail.txt Converted.xlsx");
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
