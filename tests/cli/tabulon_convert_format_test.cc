// tabulon-convert --format: the line conversion written as tsv, csv, xlsx or
// jsonl, with the failure rules of every conversion.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <vector>

#include "program_runner.h"
#include "table/table_reader.h"
#include "test_util.h"

namespace tabulon {
namespace {

using test::readFile;
using test::writeFile;
using Result = test::ProgramResult;

class TabulonConvertFormat : public ::testing::Test {
  protected:
    void SetUp() override {
        ::mkdir(dir.file("tmp").c_str(), 0755);
        writeFile(dir.file("Template"), "Name:\rPhone:\rCity:\r");
        writeFile(dir.file("mail.txt"),
                  "Subject: Web form reply\r\nName: Ann Lee\r\nPhone: +45 5555 0101\r\n"
                  "City: Oslo\r\n\r\nName: Bo, Ek\r\nCity: Lund\r\n");
    }

    Result run(std::vector<std::string> args, long fileSizeLimit = -1) {
        args.insert(args.begin(), TABULON_CONVERT_BINARY);
        test::ProgramOptions child;
        child.workingDir = dir.path();
        child.env = {{"HOME", dir.path()},
                     {"XDG_CONFIG_HOME", dir.path() + "config"},
                     {"TMPDIR", dir.file("tmp")}};
        child.fileSizeLimit = fileSizeLimit;
        return test::runProgram(args, dir.path(), "", child);
    }

    // The folder's entries other than the harness's own files.
    std::string files() {
        std::string kept;
        for (std::string name : split(dir.listing())) {
            if (name[0] != '.') kept += (kept.empty() ? "" : "|") + name;
        }
        return kept;
    }

    static std::vector<std::string> split(const std::string& listing) {
        std::vector<std::string> names;
        size_t start = 0;
        while (start < listing.size()) {
            size_t end = listing.find('|', start);
            if (end == std::string::npos) end = listing.size();
            names.push_back(listing.substr(start, end - start));
            start = end + 1;
        }
        return names;
    }

    test::TempDir dir;
};

TEST_F(TabulonConvertFormat, EachFormatBesideItsInput) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> runs = {
        {{"-f", "csv"}, "mail.txt Converted.csv"},
        {{"--format", "tsv"}, "mail.txt Converted.tsv"},
        {{"--format=jsonl"}, "mail.txt Converted.jsonl"},
        {{"-f", "xlsx"}, "mail.txt Converted.xlsx"},
        {{"-f", "tab"}, "mail.txt Converted"},
    };
    for (const auto& [options, name] : runs) {
        std::vector<std::string> args = options;
        args.insert(args.end(), {"-t", "Template", "mail.txt"});
        Result r = run(args);
        EXPECT_EQ(r.exitCode, 0) << name << ": " << r.err;
        EXPECT_EQ(r.err, "");
    }
    EXPECT_EQ(files(),
              "Template|mail.txt|mail.txt Converted|mail.txt Converted.csv|"
              "mail.txt Converted.jsonl|mail.txt Converted.tsv|mail.txt Converted.xlsx|tmp");
    EXPECT_EQ(readFile(dir.file("mail.txt Converted")),
              "Name:\tPhone:\tCity:\r Ann Lee\t +45 5555 0101\t Oslo\r Bo, Ek\t Lund\r");
    EXPECT_EQ(readFile(dir.file("mail.txt Converted.csv")),
              "Name,Phone,City\r\n Ann Lee,' +45 5555 0101, Oslo\r\n\" Bo, Ek\", Lund\r\n");
    EXPECT_EQ(readFile(dir.file("mail.txt Converted.tsv")),
              "Name\tPhone\tCity\n Ann Lee\t' +45 5555 0101\t Oslo\n Bo, Ek\t Lund\n");
    EXPECT_EQ(readFile(dir.file("mail.txt Converted.jsonl")),
              "{\"Name\":\" Ann Lee\",\"Phone\":\" +45 5555 0101\",\"City\":\" Oslo\"}\n"
              "{\"Name\":\" Bo, Ek\",\"Phone\":\" Lund\"}\n");
    test::ReadTable book = test::readTable("xlsx", dir.file("mail.txt Converted.xlsx"), dir.path());
    ASSERT_TRUE(book.ok) << book.error;
    EXPECT_EQ(book.rows,
              (std::vector<std::vector<std::string>>{{"Name", "Phone", "City"},
                                                     {" Ann Lee", " +45 5555 0101", " Oslo"},
                                                     {" Bo, Ek", " Lund"}}));
    EXPECT_TRUE(std::filesystem::is_empty(dir.file("tmp")));  // the workbook's temporary file
}

TEST_F(TabulonConvertFormat, ByteOrderMarkAndStandardOutput) {
    Result r = run({"-f", "csv", "--bom", "-t", "Template", "-o", "-", "mail.txt"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out.substr(0, 20), "\xEF\xBB\xBFName,Phone,City\r\n");
    r = run({"-f", "xlsx", "-t", "Template", "-o", "-", "mail.txt"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out.substr(0, 2), "PK");  // a zip container
}

// Exit 1, a message naming the file, nothing partial left, the input untouched.
TEST_F(TabulonConvertFormat, FailuresLeaveNothingPartial) {
    std::string big;
    for (int i = 0; i < 20000; ++i)
        big += "Name: someone\r\nPhone: 0612 345\r\nCity: somewhere\r\n";
    writeFile(dir.file("big"), big);
    for (const char* format : {"csv", "xlsx", "jsonl", "tsv"}) {
        std::string output = std::string("big Converted.") + format;
        writeFile(dir.file(output), "previous");
        Result r = run({"-f", format, "-t", "Template", "big"}, 100000);
        EXPECT_EQ(r.exitCode, 1) << format;
        EXPECT_NE(r.err.find("\"" + output + "\""), std::string::npos) << r.err;
        EXPECT_EQ(readFile(dir.file(output)), "previous") << format;
        ::unlink(dir.file(output).c_str());

        r = run({"-f", format, "-t", "Template", "-o", "mail.txt", "mail.txt"});
        EXPECT_EQ(r.exitCode, 1) << format;
        EXPECT_NE(r.err.find("it is the input file"), std::string::npos) << r.err;

        r = run({"-f", format, "-t", "Template", "-o", "no/such/folder/out", "mail.txt"});
        EXPECT_EQ(r.exitCode, 1) << format;
        EXPECT_NE(r.err.find("no/such/folder/out"), std::string::npos) << r.err;
    }
    EXPECT_EQ(files(), "Template|big|mail.txt|tmp");
    EXPECT_TRUE(std::filesystem::is_empty(dir.file("tmp")));
    EXPECT_EQ(readFile(dir.file("mail.txt")).substr(0, 8), "Subject:");
}

}  // namespace
}  // namespace tabulon
