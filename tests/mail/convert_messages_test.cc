// tabulon-convert --messages and --guess-template as a user runs them: the built
// binary in a scratch folder, its tables read back through real parsers.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "convert_at_home.h"
#include "program_runner.h"
#include "table/table_reader.h"
#include "test_util.h"

namespace tabulon {
namespace {

using test::readFile;
using test::writeFile;

std::string sample(const std::string& name) {
    return readFile(std::string(TABULON_SOURCE_DIR) + "/tests/mail/samples/" + name);
}

class ConvertMessages : public test::ConvertAtHome {
  protected:
    void SetUp() override {
        writeFile(dir.file("Template"), sample("contact.template"));
        writeFile(dir.file("french.mbox"), sample("latin1-french-and-utf8.mbox"));
        writeFile(dir.file("saved.txt"), sample("saved-as-text.txt"));
        writeFile(dir.file("Two"), "Name:\rEmail:\r");
    }
};

// Single messages saved one per file are one form's mail: what recurs in them
// (here a closing line) is learned from all of them together.
TEST_F(ConvertMessages, SeveralFilesTeachTheFormTogether) {
    std::vector<std::string> args = {"-m", "-f", "jsonl", "-t", "Two", "-o", "-"};
    for (const char* who : {"Ann", "Bo", "Cai"}) {
        writeFile(dir.file(std::string(who) + ".eml"),
                  std::string("Subject: Contact\n\nName: ") + who +
                      "\nEmail: Hello, a question.\n\nFrom " + who +
                      ".\n\nThank you for shopping with Example Shop\n");
        args.push_back(std::string(who) + ".eml");
    }
    test::ProgramResult r = run(args);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 3) << r.out;
    EXPECT_EQ(r.out.substr(0, r.out.find('\n')),
              "{\"Name\":\"Ann\",\"Email\":\"Hello, a question.\\n\\nFrom Ann.\"}");
}

// Folders as mail clients and exports leave them: each is one input and one
// table beside it, its messages in name order.
TEST_F(ConvertMessages, FoldersOfMailAreReadWhole) {
    auto message = [](const char* who) {
        return std::string("From: f@x.example\nSubject: Form\n\nName: ") + who + "\nEmail: " + who +
               "@x.example\n";
    };
    auto mbox = [&](const char* who) {
        return "From f@x.example Mon Nov 30 09:14:02 2026\n" + message(who);
    };
    // Each folder holds Ann's and Bo's messages; Maildir's also one marked deleted
    // and a link to mail elsewhere. Subfolders are read down to sixteen levels,
    // and one below is named. A table converted before is no mail.
    writeFile(dir.file("elsewhere.eml"), message("X"));
    const struct {
        const char* folder;
        std::vector<std::pair<std::string, std::string>> files;
        const char* said = "";  // in the report
        std::string link = "";  // a link to elsewhere.eml
    } kCases[] = {
        {"Saved",
         {{test::repeat("d/", 16) + "b.eml", message("Bo")},
          {test::repeat("d/", 17) + "x.eml", message("X")},
          {"a.eml", message("Ann")},
          {"notes.pdf", "%PDF"}},
         "Folders not read, more than 16 below the one given: 1\n  Saved/d/d/d/d/d/d/d/d/d/d/d/d/"
         "d/d/d/d/d: more than 16"},
        {"Maildir",
         {{"cur/2:2,S", message("Bo")},
          {"new/1", message("Ann")},
          {"cur/3:2,ST", message("X")},
          {"tmp/4", message("Y")}},
         "Messages skipped (marked deleted): 1",
         "cur/999:2,S"},
        {"Export.mbox", {{"mbox", mbox("Ann") + "\n" + mbox("Bo")}, {"Info.plist", "<plist/>"}}},
        // MH: messages in the order of their numbers, its dot-files aside.
        {"MH", {{"10", message("Bo")}, {"2", message("Ann")}, {".mh_sequences", "unseen: 10\n"}}},
        {"Local Folders",
         {{"Inbox", mbox("Ann")},
          {"Inbox.msf", "// index"},
          {"Inbox.sbd/Forms", mbox("Bo")},
          {"Orders Converted", "Name:\tEmail:\rMallory\tm@x.example\r"}},
         "Tables Tabulon wrote, not read as mail: 1"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.folder);
        for (const auto& [name, text] : c.files) {
            std::filesystem::path path = dir.file(std::string(c.folder) + "/" + name);
            std::filesystem::create_directories(path.parent_path());
            writeFile(path.string(), text);
        }
        if (!c.link.empty()) {
            std::filesystem::create_symlink(dir.file("elsewhere.eml"),
                                            dir.file(std::string(c.folder) + "/" + c.link));
        }
        std::filesystem::create_directories(dir.file(std::string(c.folder) + "/.hidden"));
        test::ProgramResult r = run({"-m", "-f", "csv", "--report", "-q", "-t", "Two", c.folder});
        ASSERT_EQ(r.exitCode, 0) << r.err;
        std::string table = readFile(dir.file(std::string(c.folder) + " Converted.csv"));
        EXPECT_EQ(table.substr(table.find('\n') + 1, 4), "Ann,") << table;
        EXPECT_NE(table.find("\nBo,"), std::string::npos) << table;
        EXPECT_EQ(std::count(table.begin(), table.end(), '\n'), 3) << table;
        EXPECT_NE(r.err.find(c.said), std::string::npos) << r.err;
    }
    // A mail program's folder in its store: the table beside the store.
    ASSERT_EQ(run({"-m", "-f", "csv", "-q", "-t", "Two", "Local Folders/Inbox.sbd/Forms"}).exitCode,
              0);
    EXPECT_TRUE(std::filesystem::exists(dir.file("Forms Converted.csv")));
}

// A Maildir's or MH folder's file and an .eml are one message, though the body
// quotes a forwarded message's header block; mail saved as text is split there.
TEST_F(ConvertMessages, AFileOfOneMessageIsOneRow) {
    std::string forwarded =
        "From: Form <f@x.example>\nTo: i@x.example\nSubject: Order\n\nName: "
        "Ann\n\nFrom: Bo <b@x.example>\nDate: Mon, 30 Nov 2026\nSubject: "
        "Old\n\nName: Bo\n";
    std::filesystem::create_directories(dir.file("md/cur"));
    std::filesystem::create_directories(dir.file("md/new"));
    std::filesystem::create_directories(dir.file("md/notes"));
    const struct {
        const char* file;
        const char* messages;
    } kCases[] = {{"md/cur/1:2,S", "1"}, {"md/new/2", "1"},  {"17", "1"},
                  {"f.EML", "1"},        {"saved.txt", "2"}, {"md/notes/saved.txt", "2"}};
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.file);
        writeFile(dir.file(c.file), forwarded);
        test::ProgramResult r = run({"-m", "--report", "-t", "Two", "-o", "-", c.file});
        EXPECT_NE(r.err.find(std::string("Messages read: ") + c.messages + "\n"), std::string::npos)
            << r.err;
    }
}

// A file of a folder that is gone by its turn (a mail program moved it from
// new/ to cur/) or cannot be read is left out, named, and the table written;
// --strict says the table is short. A file given by name is still an error.
TEST_F(ConvertMessages, AFileOfAFolderThatCannotBeReadIsLeftOut) {
    if (test::runProgram({"/bin/sh", "-c", "strace -o /dev/null true"}, dir.path()).exitCode != 0)
        GTEST_SKIP() << "strace cannot run here";
    std::filesystem::create_directories(dir.file("md/cur"));
    for (const char* who : {"1", "2", "3"}) {
        writeFile(dir.file(std::string("md/cur/") + who + ":2,S"),
                  std::string("Subject: Form\n\nName: P") + who + "\nEmail: e\n");
    }
    const struct {
        const char* error;
        const char* input;  // the folder, or the file by name
        bool strict;
        int exitCode;
        const char* said;
    } kCases[] = {
        {"ENOENT", "md", false, 0, "/md/cur/2:2,S\": No such file or directory; left out\n"},
        {"EACCES", "md", false, 0, "/md/cur/2:2,S\": Permission denied; left out\n"},
        {"EACCES", "md", true, 4, "1 file could not be read"},
        {"EACCES", "md/cur/2:2,S", false, 1, "Permission denied\n"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(std::string(c.error) + " " + c.input + (c.strict ? " --strict" : ""));
        // (LeakSanitizer cannot work under strace.)
        std::vector<std::string> args = {
            "/usr/bin/env", "ASAN_OPTIONS=detect_leaks=0", "strace", "-f", "-o", "/dev/null",
            "-P",           dir.file("md/cur/2:2,S")};
        args.push_back(std::string("-einject=openat:error=") + c.error);
        args.insert(args.end(), {TABULON_CONVERT_BINARY, "-m", "-q", "-t", "Two", "-f", "csv", "-o",
                                 "out.csv", dir.file(c.input)});
        if (c.strict) args.push_back("--strict");
        std::filesystem::remove(dir.file("out.csv"));
        test::ProgramResult r = test::runAtHome(args, dir.path());
        EXPECT_EQ(r.exitCode, c.exitCode) << r.err;
        EXPECT_NE(r.err.find(c.said), std::string::npos) << r.err;
        EXPECT_EQ(readFile(dir.file("out.csv")),
                  c.exitCode == 1 ? "" : "Name,Email\r\nP1,e\r\nP3,e\r\n");
    }
}

// Two inputs make one table under one header row. A template without
// "Comments:", which most messages have; --strict takes a phone number that
// only one message gives for an optional field, but a column that no message
// has for a doubt, and goes with --messages only.
TEST_F(ConvertMessages, ReportOnStandardError) {
    writeFile(dir.file("broken.mbox"), sample("broken.mbox"));
    writeFile(dir.file("Short"), "Name:\rEmail:\rPhone:\r");
    test::ProgramResult r =
        run({"-m", "--report", "-t", "Short", "-o", "-", "french.mbox", "broken.mbox"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\r'), 7) << r.out;
    EXPECT_EQ(r.out.rfind("Name:\t"), 0u) << r.out;
    EXPECT_EQ(r.err,
              "Messages read: 6\nRows written: 6\n"
              "Messages without each column (absent, or there but empty):\n"
              "  Name: 0 absent, 0 empty\n  Email: 0 absent, 0 empty\n  Phone: 5 absent, 0 empty\n"
              "Rows lacking a field: 5\nLines between fields that no field took: 0\n"
              "Lines shaped like a label kept in a value: 0\n"
              "Labels read with a doubt: 0\n"
              "Lines ending a value that may follow the form: 0\nRows read with a doubt: 0\n"
              "Parts that could not be decoded: 3\n"
              "  broken.mbox, message 1: broken base64\n"
              "  broken.mbox, message 2: text not readable in charset \"x-klingon-1\"\n"
              "  broken.mbox, message 3: cut or malformed MIME structure\n"
              "Labels in many messages that the template lacks:\n  Comments: (4 messages)\n");
    r = run({"-m", "--strict", "-q", "-t", "Short", "-o", "-", "french.mbox", "broken.mbox"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    writeFile(dir.file("Fax"), "Name:\rFax:\r");
    r = run({"-m", "--strict", "-q", "-t", "Fax", "-o", "-", "french.mbox", "broken.mbox"});
    EXPECT_EQ(r.exitCode, 4);
    EXPECT_EQ(r.err, "tabulon-convert: a column was found in no message: Fax:\n");
    EXPECT_EQ(run({"--strict", "-t", "Fax", "-o", "-", "french.mbox"}).exitCode, 2);
    r = run({"-m", "--strict", "-t", "Two", "-o", "-", "french.mbox"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    // Of the dates of a Date column, the one that does not read is counted.
    writeFile(dir.file("dates.mbox"),
              "From a@b  Mon Nov 30 09:14:02 2026\nDate: someday\n\nName: Ann\n");
    r = run(
        {"-m", "--report", "--headers=Date", "-t", "Two", "-o", "-", "french.mbox", "dates.mbox"});
    EXPECT_NE(r.err.find("Dates left as written, not readable as dates: 1\n"), std::string::npos)
        << r.err;
}

// A text alternative that reads a line on where its HTML ends the value (a
// note to the staff the HTML sets apart) leaves the table unsure.
TEST_F(ConvertMessages, StrictWeighsTheTextAgainstTheHtml) {
    writeFile(dir.file("alt.mbox"),
              "From a@b.example  Mon Nov 30 09:14:02 2026\nFrom: a@b.example\n"
              "Content-Type: multipart/alternative; boundary=b\n\n--b\n"
              "Content-Type: text/plain\n\nName: Ann Berg\nComments: Call after six.\n\n"
              "Staff: call back within a day.\n--b\nContent-Type: text/html\n\n"
              "<table><tr><td>Name:</td><td>Ann Berg</td></tr><tr><td>Comments:</td>"
              "<td>Call after six.</td></tr></table><p><i>Staff: call back within a day.</i>\n"
              "--b--\n");
    writeFile(dir.file("Comments"), "Name:\rComments:\r");
    EXPECT_EQ(run({"-m", "-q", "-t", "Comments", "-o", "-", "alt.mbox"}).exitCode, 0);
    test::ProgramResult r = run({"-m", "-q", "--strict", "-t", "Comments", "-o", "-", "alt.mbox"});
    EXPECT_EQ(r.exitCode, 4) << r.err;
    r = run({"-m", "-q", "--report", "-t", "Comments", "-o", "-", "alt.mbox"});
    EXPECT_NE(r.err.find("message 1: the HTML part ends Comments before \"Staff: call back within "
                         "a day.\"\n"),
              std::string::npos)
        << r.err;
}

// A crafted message: a value longer than a workbook cell holds, a charset named
// with terminal escapes. The cut is said, also with -q, and counted; the escapes
// reach the terminal escaped.
TEST_F(ConvertMessages, CutValuesAreSaidAndMailTextIsShownEscaped) {
    writeFile(dir.file("crafted.mbox"),
              "From a@b.example  Mon Nov 30 09:14:02 2026\nFrom: a@b.example\n"
              "Content-Type: text/plain; charset=\"\x1B]0;PWNED\a\x1B[2J\"\n\n"
              "Name: Ann\nComments: " +
                  std::string(40000, 'c') + "\n");
    test::ProgramResult r = run(
        {"-m", "-q", "--report", "-f", "xlsx", "-t", "Template", "-o", "out.xlsx", "crafted.mbox"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err.find('\x1B'), std::string::npos) << r.err;
    for (const char* said :
         {"crafted.mbox, message 1: the value of \"Comments\" was cut to the 32767 characters",
          "Values cut to fit a workbook cell: 1\n", "charset \"\\x1B]0;PWNED\\x07\\x1B[2J\"\n"}) {
        EXPECT_NE(r.err.find(said), std::string::npos) << said << "\n" << r.err;
    }
}

TEST_F(ConvertMessages, FailuresLeaveNoPartialOutputAndNeverTouchTheInput) {
    std::string input = readFile(dir.file("french.mbox"));
    test::ProgramResult r = run({"-m", "-t", "Template", "-o", "french.mbox", "french.mbox"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("french.mbox"), std::string::npos) << r.err;
    EXPECT_EQ(readFile(dir.file("french.mbox")), input);

    r = run({"-m", "-f", "csv", "-t", "Template", "-o", "out.csv", "french.mbox", "missing.mbox"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("missing.mbox"), std::string::npos) << r.err;
    EXPECT_EQ(dir.listing().find("out.csv"), std::string::npos) << dir.listing();
}

// A form mail carrying files, each a (header lines, content) pair.
std::string withFiles(const std::string& id,
                      const std::vector<std::pair<std::string, std::string>>& files) {
    std::string text =
        "From f@x.example Mon Nov 30 09:14:02 2026\nFrom: f@x.example\n"
        "Date: Mon, 30 Nov 2026 09:14:02 +0000\nMessage-ID: <" +
        id +
        ">\nMIME-Version: 1.0\nContent-Type: multipart/mixed; boundary=b\n\n"
        "--b\nContent-Type: text/plain\n\nName: " +
        id + "\n";
    for (const auto& [headers, content] : files)
        text += "--b\n" + headers + "\n\n" + content + "\n";
    return text + "--b--\n\n";
}

std::string attached(const std::string& name) {
    return "Content-Type: application/pdf\nContent-Disposition: attachment; filename=\"" + name +
           "\"";
}

// Names from mail write inside the message's folder of DIR and nowhere else;
// a link planted in DIR is never written through; a full disk leaves no table.
TEST_F(ConvertMessages, AttachedFilesAreSavedInsideTheirFolderOnly) {
    writeFile(dir.file("files.mbox"), withFiles("a", {{attached("../../up.pdf"), "1"},
                                                      {attached(".hidden"), "2"},
                                                      {attached("a\x1b]0;x\x07.pdf"), "3"},
                                                      {attached("cv.pdf"), "4"},
                                                      {attached("cv.pdf"), "5"},
                                                      {attached(".."), "6"}}) +
                                          withFiles("b", {{attached("cv.pdf"), "7"}}) +
                                          withFiles("c", {}));
    writeFile(dir.file("Attached"), "Attachments:\rName:\r");
    auto convert = [&](long limit = -1) {
        return run({"-m", "-f", "csv", "-t", "Attached", "--attachments", "out/files", "-o",
                    "out/t.csv", "--report", "files.mbox"},
                   limit);
    };
    std::filesystem::create_directories(dir.file("out"));
    test::ProgramResult r = convert();
    ASSERT_EQ(r.exitCode, 0) << r.err;
    // A message without files has the column, empty.
    EXPECT_PRED2(test::contains, r.err, "  Attachments: 0 absent, 1 empty\n");
    test::ReadTable table = test::readTable("csv", dir.file("out/t.csv"), dir.path());
    ASSERT_EQ(table.rows.size(), 4u);
    std::string cell = table.rows[1][0];
    std::string folder = cell.substr(0, cell.find('/', 6) + 1);
    EXPECT_EQ(cell, folder + "up.pdf\n" + folder + "hidden\n" + folder + "a_]0;x_.pdf\n" + folder +
                        "cv.pdf\n" + folder + "cv (2).pdf\n" + folder + "attachment");
    EXPECT_EQ(readFile(dir.file("out/" + folder + "cv (2).pdf")), "5");
    EXPECT_EQ(table.rows[3], (std::vector<std::string>{"", "c"}));
    // A template without the column has it added last.
    writeFile(dir.file("NameOnly"), "Name:\r");
    ASSERT_EQ(run({"-m", "-f", "csv", "-t", "NameOnly", "--attachments", "out/files", "-o",
                   "out/u.csv", "files.mbox"})
                  .exitCode,
              0);
    test::ReadTable added = test::readTable("csv", dir.file("out/u.csv"), dir.path());
    ASSERT_EQ(added.rows.size(), 4u);
    EXPECT_EQ(added.rows[0], (std::vector<std::string>{"Name", "Attachments"}));
    EXPECT_EQ(added.rows[3], (std::vector<std::string>{"c", ""}));
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir.file("out"))) {
        EXPECT_NE(entry.path().filename().string()[0], '.') << entry.path();
    }
    EXPECT_FALSE(std::filesystem::exists(dir.file("up.pdf")));
    // Again: the same files are found, not copied; a link planted for a name
    // of b's folder is passed by, and one planted for a folder refused.
    std::string bFolder = table.rows[2][0].substr(0, table.rows[2][0].rfind('/'));
    ASSERT_EQ(::unlink(dir.file("out/" + bFolder + "/cv.pdf").c_str()), 0);
    ASSERT_EQ(
        ::symlink(dir.file("elsewhere").c_str(), dir.file("out/" + bFolder + "/cv.pdf").c_str()),
        0);
    ASSERT_EQ(convert().exitCode, 0);
    EXPECT_EQ(test::readTable("csv", dir.file("out/t.csv"), dir.path()).rows[2][0],
              bFolder + "/cv (2).pdf");
    folder.pop_back();
    std::filesystem::remove_all(dir.file("out/" + folder));
    ASSERT_EQ(::symlink(dir.path().c_str(), dir.file("out/" + folder).c_str()), 0);
    std::string before = readFile(dir.file("out/t.csv"));
    r = convert();
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_PRED2(test::contains, r.err, "is a symbolic link or no folder");
    EXPECT_FALSE(std::filesystem::exists(dir.file("elsewhere")));
    EXPECT_EQ(readFile(dir.file("out/t.csv")), before);
    // A full disk: the table stays as it was, and no part of a file is left.
    ::unlink(dir.file("out/" + folder).c_str());
    writeFile(dir.file("files.mbox"),
              withFiles("d", {{attached("big.pdf"), test::repeat("x", 300000)}}));
    r = convert(200000);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_PRED2(test::contains, r.err, "big.pdf");
    EXPECT_EQ(readFile(dir.file("out/t.csv")), before);
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir.file("out")))
        EXPECT_NE(entry.path().filename().string()[0], '.') << entry.path();
}

TEST_F(ConvertMessages, GuessedTemplatePrintedOrSaved) {
    test::ProgramResult r = run({"--guess-template", "saved.txt"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "Name:\rEmail:\rComments:\r");  // one message in three has a phone

    ASSERT_EQ(run({"--guess-template", "-o", "Guessed", "french.mbox"}).exitCode, 0);
    EXPECT_EQ(readFile(dir.file("Guessed")), "Name:\rEmail:\rComments:\r");

    writeFile(dir.file("plain.txt"), "no labels here\n");
    r = run({"--guess-template", "-o", "Guessed", "plain.txt"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(readFile(dir.file("Guessed")), "Name:\rEmail:\rComments:\r");

    r = run({"--guess-template", "-o", "nowhere/Guessed", "saved.txt"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("\"nowhere/Guessed\": No such file or directory"), std::string::npos)
        << r.err;
}

}  // namespace
}  // namespace tabulon
