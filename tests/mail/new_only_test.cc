// tabulon-convert --messages --new-only run again and again over growing mail:
// each message becomes one row once, the table is added to whole or not at all,
// and a table whose record is lost or stale is refused rather than guessed at.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <filesystem>
#include <string>
#include <vector>

#include "convert_at_home.h"
#include "program_runner.h"
#include "test_util.h"

namespace tabulon {
namespace {

using test::readFile;
using test::writeFile;

// A form mail; `id` empty: one without a Message-ID, known by its content;
// `who` empty: one without fields, an empty row.
std::string message(const std::string& who, const std::string& id) {
    std::string headers = "From: form@x.example\nSubject: Contact\n";
    if (!id.empty()) headers += "Message-ID: <" + id + "@x.example>\n";
    if (who.empty()) return headers + "\nHello\n";
    return headers + "\nName: " + who + "\nEmail: " + who + "@x.example\n";
}

// Rewrites the workbook at argv[1] with its sheet replaced by the file argv[2]
// ("-": left out); with argv[3], its list of contents says the sheet is 4 GB.
constexpr char kDamageWorkbook[] = R"(
import sys, zipfile
path, sheet, name = sys.argv[1], sys.argv[2], 'xl/worksheets/sheet1.xml'
with zipfile.ZipFile(path) as z:
    entries = [(i.filename, z.read(i)) for i in z.infolist()]
with zipfile.ZipFile(path, 'w', zipfile.ZIP_DEFLATED) as z:
    for n, data in entries:
        if n != name: z.writestr(n, data)
        elif sheet != '-': z.writestr(n, open(sheet, 'rb').read())
if len(sys.argv) > 3:
    data = bytearray(open(path, 'rb').read())
    at = data.rfind(name.encode()) - 46 + 24
    data[at:at + 4] = (0xFFFFFFF0).to_bytes(4, 'little')
    open(path, 'wb').write(data)
)";

// A sheet of the header row "Name", "Email", then `rest`.
std::string sheetXml(const std::string& rest, const std::string& doctype = "") {
    return "<?xml version=\"1.0\"?>" + doctype +
           "<worksheet><sheetData><row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>Name</t></is>"
           "</c><c r=\"B1\" t=\"inlineStr\"><is><t>Email</t></is></c></row>" +
           rest + "</sheetData></worksheet>";
}

std::string mboxEntry(const std::string& who, const std::string& id) {
    return "From form@x.example Mon Nov 30 09:14:02 2026\n" + message(who, id) + "\n";
}

class NewOnly : public test::ConvertAtHome {
  protected:
    void SetUp() override { writeFile(dir.file("Two"), "Name:\rEmail:\r"); }

    test::ProgramResult add(const std::string& format, const std::string& input,
                            long fileSizeLimit = -1) {
        return run({"-m", "-q", "--new-only", "-t", "Two", "-f", format, "-o", "out", input},
                   fileSizeLimit);
    }
    std::string recordPath() {
        std::string folder = dir.path() + ".local/state/Tabulon/new-only/";
        for (const auto& entry : std::filesystem::directory_iterator(folder))
            if (entry.path().extension() != ".lock")
                return folder + entry.path().filename().string();
        return folder;
    }
    std::string record() { return readFile(recordPath()); }
    // The sheet's XML of a workbook, which holds its cells and column widths.
    std::string sheet(const std::string& workbook) {
        return test::runProgram({"/usr/bin/python3", "-c",
                                 "import sys, zipfile; sys.stdout.buffer.write(zipfile.ZipFile("
                                 "sys.argv[1]).read('xl/worksheets/sheet1.xml'))",
                                 workbook},
                                dir.path())
            .out;
    }
    // The workbook "out" with its sheet replaced by `sheetXml` (none: left out),
    // its record given its new size and time (restamp()), so that only reading
    // it can tell.
    void damage(const std::string& sheetXml, bool lie = false) {
        writeFile(dir.file("sheet.xml"), sheetXml);
        std::vector<std::string> args = {"/usr/bin/python3", "-c", kDamageWorkbook, dir.file("out"),
                                         sheetXml.empty() ? "-" : dir.file("sheet.xml")};
        if (lie) args.push_back("lie");
        ASSERT_EQ(test::runProgram(args, dir.path()).exitCode, 0);
        restamp();
    }
    // The record of "out" made to match it, as if damaged by a disk or a
    // program that kept its size and time.
    void restamp() {
        struct stat info;
        ASSERT_EQ(stat(dir.file("out").c_str(), &info), 0);
        std::string kept = record();
        size_t line = kept.find('\n') + 1;
        kept.replace(line, kept.find('\n', line) - line,
                     "size " + std::to_string(info.st_size) + " time " +
                         std::to_string(info.st_mtim.tv_sec) + "." +
                         std::to_string(info.st_mtim.tv_nsec));
        writeFile(recordPath(), kept);
    }
};

// The table grown run by run is the table one conversion of all the mail makes:
// the same header once, every message once, a message given again left out.
TEST_F(NewOnly, GrowingMailAddsOnlyTheNewRows) {
    const struct {
        const char* format;
        bool folder;  // .eml files in a folder, else one mbox
    } cases[] = {{"tab", false},  {"tsv", false}, {"csv", false},  {"jsonl", false},
                 {"xlsx", false}, {"csv", true},  {"jsonl", true}, {"xlsx", true}};
    // Text a workbook's XML escapes or could misread comes back as written;
    // another message under Ann's Message-ID is a message of its own.
    const std::vector<std::pair<std::string, std::string>> mail = {
        {"Ann", "a1"}, {"Bo", ""},    {"", "e"},    {"Cai &<>\"\t_x0041_ Zoë 😀", "c3"},
        {"Dee", ""},   {"Eve", "a1"}, {"Ann", "a1"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.format) + (c.folder ? " folder" : " mbox"));
        std::filesystem::remove_all(dir.path() + ".local");
        std::filesystem::remove_all(dir.file("mail"));
        std::filesystem::remove(dir.file("out"));
        std::string input = c.folder ? "mail" : "mail.mbox";
        if (c.folder) std::filesystem::create_directory(dir.file("mail"));
        std::string mbox;
        // The same mail twice (ending with an empty row), then new mail.
        for (size_t grown : {3, 3, 6, 7}) {
            mbox.clear();
            for (size_t i = 0; i < grown; ++i) {
                auto [who, id] = mail[i];
                mbox += mboxEntry(who, id);
                if (c.folder)
                    writeFile(dir.file("mail/" + std::to_string(i) + ".eml"), message(who, id));
            }
            if (!c.folder) writeFile(dir.file("mail.mbox"), mbox);
            test::ProgramResult r = add(c.format, input);
            ASSERT_EQ(r.exitCode, 0) << r.err;
        }
        // The report counts what was written.
        test::ProgramResult again =
            run({"-m", "--report", "--new-only", "-t", "Two", "-f", c.format, "-o", "out", input});
        EXPECT_NE(again.err.find("Rows written: 0\nMessages already in the table: 7\n"),
                  std::string::npos)
            << again.err;
        // The whole mail at once, the duplicate left out by hand.
        std::string last = mboxEntry("Ann", "a1");
        writeFile(dir.file("all.mbox"), mbox.substr(0, mbox.size() - last.size()));
        test::ProgramResult r =
            run({"-m", "-q", "-t", "Two", "-f", c.format, "-o", "whole", "all.mbox"});
        ASSERT_EQ(r.exitCode, 0) << r.err;
        if (std::string(c.format) == "xlsx") {
            // Its widths too; the zip's time stamps differ.
            EXPECT_EQ(sheet(dir.file("out")), sheet(dir.file("whole")));
            EXPECT_NE(sheet(dir.file("out")).find("Dee"), std::string::npos);
        } else {
            EXPECT_EQ(readFile(dir.file("out")), readFile(dir.file("whole")));
        }
    }
}

// Rows added to a table write their dates as its rows do, whichever style the
// run asks for: never two styles in one column.
TEST_F(NewOnly, AddedRowsFollowTheTablesDateStyle) {
    auto dated = [](const std::string& who, const std::string& id, const std::string& date) {
        return "From form@x.example Mon Nov 30 09:14:02 2026\nDate: " + date + "\n" +
               message(who, id) + "\n";
    };
    const std::string old = dated("Ann", "a1", "Mon, 30 Nov 2026 09:14:02 +0100");
    const std::string grown =
        old + dated("Bo", "b2", "Tue, 1 Dec 2026 23:30:00 -0800") + dated("Cy", "c3", "not a date");
    for (const char* format : {"tab", "tsv", "csv", "jsonl", "xlsx"}) {
        for (auto [made, added] : {std::pair{"raw", "local"}, std::pair{"local", "raw"}}) {
            SCOPED_TRACE(std::string(format) + ", made " + made);
            std::filesystem::remove_all(dir.path() + ".local");
            std::filesystem::remove(dir.file("out"));
            for (auto [mail, dates] : {std::pair{old, made}, std::pair{grown, added}}) {
                writeFile(dir.file("mail.mbox"), mail);
                test::ProgramResult r =
                    run({"-m", "-q", "--new-only", "--headers", "Date", "--dates", dates, "-t",
                         "Two", "-f", format, "-o", "out", "mail.mbox"});
                ASSERT_EQ(r.exitCode, 0) << r.err;
            }
            test::ProgramResult r = run({"-m", "-q", "--headers", "Date", "--dates", made, "-t",
                                         "Two", "-f", format, "-o", "whole", "mail.mbox"});
            ASSERT_EQ(r.exitCode, 0) << r.err;
            if (std::string(format) == "xlsx") {
                EXPECT_EQ(sheet(dir.file("out")), sheet(dir.file("whole")));
            } else {
                EXPECT_EQ(readFile(dir.file("out")), readFile(dir.file("whole")));
            }
        }
    }
    // A table whose addresses keep their quotes, as tables were written before
    // they were shown as people read them, keeps them in the rows added.
    std::filesystem::remove_all(dir.path() + ".local");
    std::filesystem::remove(dir.file("out"));
    const std::string quoted = "x\nFrom: \"Web Form\" <form@x.example>";
    std::vector<std::string> args = {"-m", "-q",  "--new-only", "--headers", "From",
                                     "-t", "Two", "-o",         "out",       "mail.mbox"};
    writeFile(dir.file("mail.mbox"), dated("Ann", "a1", quoted));
    ASSERT_EQ(run(args).exitCode, 0);
    std::string table = readFile(dir.file("out"));
    ASSERT_NE(table.find("\rWeb Form <form@x.example>\t"), std::string::npos) << table;
    table.replace(table.find("Web Form"), 8, "\"Web Form\"");
    writeFile(dir.file("out"), table);
    restamp();
    writeFile(dir.file("mail.mbox"), dated("Ann", "a1", quoted) + dated("Bo", "b2", quoted));
    ASSERT_EQ(run(args).exitCode, 0);
    std::string added = readFile(dir.file("out"));
    ASSERT_EQ(added.substr(0, table.size()), table);
    // (The tab format marks a value that begins with a quote, as it marks a formula.)
    EXPECT_TRUE(added.substr(table.size()).starts_with("'\"Web Form\" <form@x.example>\tBo"))
        << added;
}

// Refusals change nothing: neither the table nor its record.
TEST_F(NewOnly, WhatCannotBeAddedSafelyIsRefused) {
    writeFile(dir.file("old.mbox"), mboxEntry("Ann", "a1"));
    writeFile(dir.file("new.mbox"), mboxEntry("Ann", "a1") + mboxEntry("Bo", "b2"));
    // A billion laughs: h is ten g, each ten f, ... down to ten a's.
    std::string laughs = "<!DOCTYPE w [<!ENTITY a \"aaaaaaaaaa\">";
    for (char e = 'b'; e <= 'h'; ++e) {
        std::string ten;
        for (int i = 0; i < 10; ++i)
            ten += std::string("&") + char(e - 1) + ";";
        laughs += std::string("<!ENTITY ") + e + " \"" + ten + "\">";
    }
    laughs += "]>";
    const struct {
        const char* name;
        const char* format;  // null: no -f and no -o, a usage error
        const char* said;
        std::function<void()> before;
        bool otherColumns = false;  // a Subject column first
    } cases[] = {
        {"other columns", "csv", "columns are not", nullptr, true},
        {"rows of other columns", "jsonl", "columns are not", nullptr, true},
        {"a lost record", "csv", "start a new table",
         [this] { std::filesystem::remove(recordPath()); }},
        {"a record cut short", "csv", "is damaged",
         [this] {
             writeFile(recordPath(),
                       record().substr(0, record().rfind("\n", record().size() - 2) + 1));
         }},
        {"a record that cannot be read", "csv", "Is a directory; nothing was changed",
         [this] {
             std::string path = recordPath();
             std::filesystem::remove(path);
             std::filesystem::create_directory(path);
         }},
        {"a table changed by hand", "csv", "changed since",
         [this] { writeFile(dir.file("out"), readFile(dir.file("out")) + "x,y\r\n"); }},
        {"a table saved again by another program", "csv", "changed since",
         [this] { writeFile(dir.file("out"), readFile(dir.file("out"))); }},
        {"a workbook of other columns", "xlsx", "columns are not", nullptr, true},
        {"a damaged workbook", "xlsx", "not a zip file",
         [this] {
             writeFile(dir.file("out"), "PK\x03\x04 damaged");
             restamp();
         }},
        {"a workbook without its sheet", "xlsx", "holds no sheet", [this] { damage(""); }},
        {"a cell out of its row", "xlsx", "not in order",
         [this] { damage(sheetXml("<row r=\"2\"><c r=\"A3\" t=\"inlineStr\"/></row>")); }},
        {"a sheet with a number", "xlsx", "holds a number",
         [this] { damage(sheetXml("<row r=\"2\"><c r=\"A2\"><v>1</v></c></row>")); }},
        {"a sheet with entities", "xlsx", "entit",
         [&] {
             damage(sheetXml(
                 "<row r=\"2\"><c r=\"A2\" t=\"inlineStr\"><is><t>&h;</t></is></c></row>", laughs));
         }},
        {"a sheet said to be of 4 GB", "xlsx", "would unpack to",
         [this] { damage(sheetXml(""), true); }},
        {"a zip bomb", "xlsx", "would unpack to",
         [this] { damage(sheetXml(std::string(80 << 20, ' '))); }},
        {"rows beyond a workbook's", "xlsx", "within a workbook's rows",
         [this] { damage(sheetXml("<row r=\"1048577\"/>")); }},
        {"no output named", nullptr, "-o FILE", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove_all(dir.path() + ".local");
        std::filesystem::remove(dir.file("out"));
        ASSERT_EQ(add(c.format ? c.format : "csv", "old.mbox").exitCode, 0);
        std::string path = recordPath();
        if (c.before) c.before();
        std::string table = readFile(dir.file("out"));
        bool hadRecord = std::filesystem::exists(path);
        std::string kept = hadRecord ? readFile(path) : "";
        std::vector<std::string> args = {"-m", "--new-only", "-t", "Two"};
        if (c.otherColumns) args.insert(args.end(), {"--headers", "Subject"});
        if (c.format) args.insert(args.end(), {"-f", c.format, "-o", "out"});
        args.push_back("new.mbox");
        test::ProgramResult r = run(args);
        EXPECT_EQ(r.exitCode, c.format ? 1 : 2) << r.err;
        EXPECT_NE(r.err.find(c.said), std::string::npos) << r.err;
        // One line, and a usage error's hint.
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), c.format ? 1 : 2) << r.err;
        EXPECT_EQ(readFile(dir.file("out")), table);
        EXPECT_EQ(std::filesystem::exists(path), hadRecord);
        EXPECT_EQ(hadRecord ? readFile(path) : "", kept);
    }
}

// A write that fails (a full disk) keeps the old table and its record; the next
// run adds the rows that failed, once.
TEST_F(NewOnly, AFailedWriteKeepsTheTableAndItsRecord) {
    writeFile(dir.file("old.mbox"), mboxEntry("Ann", "a1"));
    ASSERT_EQ(add("tsv", "old.mbox").exitCode, 0);
    std::string table = readFile(dir.file("out"));
    std::string kept = record();
    std::string grown = mboxEntry("Ann", "a1");
    for (int i = 0; i < 2000; ++i) {
        std::string n = std::to_string(i);
        grown += mboxEntry(n.insert(0, "Person"), n);
    }
    writeFile(dir.file("new.mbox"), grown);
    test::ProgramResult r = add("tsv", "new.mbox", 20000);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(readFile(dir.file("out")), table);
    EXPECT_EQ(record(), kept);
    ASSERT_EQ(add("tsv", "new.mbox").exitCode, 0);
    std::string out = readFile(dir.file("out"));
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 2002);
}

// A record an older Tabulon kept (its first line "… 1", no last line, messages
// by Message-ID alone) is read: only new mail is added, and the record is kept anew.
TEST_F(NewOnly, AnOlderRecordIsRead) {
    writeFile(dir.file("old.mbox"), mboxEntry("Ann", "a1") + mboxEntry("Bo", ""));
    ASSERT_EQ(add("csv", "old.mbox").exitCode, 0);
    std::string kept = record();
    kept.replace(kept.find(" 2\n"), 2, " 1");
    kept.erase(kept.rfind("end "));
    kept.erase(kept.find(" body:"), 70);
    writeFile(recordPath(), kept);
    writeFile(dir.file("new.mbox"),
              mboxEntry("Ann", "a1") + mboxEntry("Bo", "") + mboxEntry("Cai", "c"));
    ASSERT_EQ(add("csv", "new.mbox").exitCode, 0);
    EXPECT_EQ(readFile(dir.file("out")),
              "Name,Email\r\nAnn,Ann@x.example\r\nBo,Bo@x.example\r\n"
              "Cai,Cai@x.example\r\n");
    EXPECT_EQ(record().substr(0, 19), "tabulon new-only 2\n");
}

// Two runs adding to one table at once take turns: neither adds a row the
// other added, nor loses one.
TEST_F(NewOnly, RunsAtOnceAddEachMessageOnce) {
    writeFile(dir.file("old.mbox"), mboxEntry("Ann", "a1"));
    ASSERT_EQ(add("csv", "old.mbox").exitCode, 0);
    std::string both[2];
    for (int i = 0; i < 3000; ++i) {
        std::string n = std::to_string(i);
        both[i % 2] += mboxEntry("P" + n, n) + mboxEntry("Ann", "a1");
    }
    test::ProgramOptions home;
    home.workingDir = dir.path();
    home.env = {{"HOME", dir.path()}, {"XDG_CONFIG_HOME", dir.path() + "config"}};
    pid_t runs[2];
    for (int i = 0; i < 2; ++i) {
        std::string n = std::to_string(i);
        writeFile(dir.file(n + ".mbox"), both[i]);
        runs[i] = test::startProgram({TABULON_CONVERT_BINARY, "-m", "-q", "--new-only", "-t", "Two",
                                      "-f", "csv", "-o", "out", n + ".mbox"},
                                     dir.file(n + ".out"), dir.file(n + ".err"), home);
    }
    for (int i = 0; i < 2; ++i) {
        int status = 0;
        ASSERT_EQ(waitpid(runs[i], &status, 0), runs[i]);
        EXPECT_EQ(status, 0) << readFile(dir.file(std::to_string(i) + ".err"));
    }
    std::string out = readFile(dir.file("out"));
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 3002);
    EXPECT_EQ(out.find("\nAnn,", out.find("\nAnn,") + 1), std::string::npos);
    // And the record knows them all: the same mail again adds nothing.
    for (const char* again : {"0.mbox", "1.mbox"})
        EXPECT_EQ(add("csv", again).exitCode, 0);
    EXPECT_EQ(readFile(dir.file("out")), out);
}

// Tables made with only the new messages are remembered, also by runs at once,
// and --update-tables brings each up to date; one moved away is said and
// skipped, and a mailbox without a password fails alone, never asking for it.
TEST_F(NewOnly, UpdateTablesBringsEachRememberedTableUpToDate) {
    test::ProgramOptions home;
    home.workingDir = dir.path();
    home.env = {{"HOME", dir.path()}, {"XDG_CONFIG_HOME", dir.path() + "config"}};
    std::vector<pid_t> runs;
    for (int i = 0; i < 8; ++i) {
        std::string n = std::to_string(i);
        writeFile(dir.file(n + ".mbox"), mboxEntry("P" + n, n));
        runs.push_back(test::startProgram({TABULON_CONVERT_BINARY, "-mq", "--new-only", "-t", "Two",
                                           "-o", "out" + n + ".csv", n + ".mbox"},
                                          dir.file(n + ".out"), dir.file(n + ".err"), home));
    }
    for (pid_t run : runs) {
        int status = 0;
        ASSERT_EQ(waitpid(run, &status, 0), run);
        EXPECT_EQ(status, 0);
    }
    std::string list = dir.path() + ".local/state/Tabulon/tables";
    for (int i = 0; i < 8; ++i)
        EXPECT_PRED2(test::contains, readFile(list), "out" + std::to_string(i) + ".csv\n");
    writeFile(dir.file("0.mbox"),
              mboxEntry("P0", "0") + mboxEntry("Q0", "q0") + mboxEntry("R", "r"));
    test::ProgramResult r = run({"--update-tables"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    // In the order remembered, which runs at once decide.
    EXPECT_PRED2(test::contains, r.out, "\"" + dir.file("out0.csv") + "\": 2 rows added\n");
    EXPECT_PRED2(test::contains, r.out, "\"" + dir.file("out1.csv") + "\": 0 rows added\n");
    EXPECT_EQ(readFile(dir.file("out0.csv")),
              "Name,Email\r\nP0,P0@x.example\r\nQ0,Q0@x.example\r\nR,R@x.example\r\n");
    // out1.csv moved away; out2.csv's mail now on a server, whose password is nowhere.
    std::filesystem::rename(dir.file("out1.csv"), dir.file("moved.csv"));
    std::string text = readFile(list);
    text.replace(text.find("argument 2.mbox"), 15, "argument imaps://ann@127.0.0.1:9/INBOX");
    writeFile(list, text);
    r = run({"--update-tables"});
    EXPECT_EQ(r.exitCode, 1);
    for (const std::string& line :
         {"\"" + dir.file("out1.csv") + "\": moved or deleted since it was made; skipped\n",
          "\"" + dir.file("out2.csv") + "\": not updated (see above)\n",
          "\"" + dir.file("out3.csv") + "\": 0 rows added\n"})
        EXPECT_PRED2(test::contains, r.out, line);
    EXPECT_PRED2(test::contains, r.err, "--update-tables never asks for it");
}

}  // namespace
}  // namespace tabulon
