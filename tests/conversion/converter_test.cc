#include "conversion/converter.h"

#include <gtest/gtest.h>

#include <vector>

#include "test_util.h"

namespace tabulon {
namespace {

using test::StringSink;
using test::StringSource;

std::string run(const FieldList& fields, const std::string& input, size_t chunk = 1 << 20) {
    StringSource source(input, chunk);
    StringSink sink;
    Status status = convert(source, fields, sink);
    EXPECT_TRUE(status.ok()) << status.message();
    return sink.bytes;
}

// The rows after the header.
std::string body(const FieldList& fields, const std::string& input, size_t chunk = 1 << 20) {
    return run(fields, input, chunk).substr(headerRow(fields).size());
}

TEST(Converter, WorkedExampleByteForByte) {
    const FieldList fields = {"Name:", "Phone:", "City:"};
    const std::string input =
        "Subject: Web form reply\r"
        "Name: Ann Lee\r"
        "Phone: 555 0100\r"
        "City: Oslo\r"
        "\r"
        "Subject: Web form reply\r"
        "Name: Bo Ek\r"
        "City: Lund\r";
    const std::string expected =
        "Name:\tPhone:\tCity:\r"
        " Ann Lee\t 555 0100\t Oslo\r"
        " Bo Ek\t Lund\r";
    EXPECT_EQ(run(fields, input), expected);
}

TEST(Converter, RowsFollowTheInputNotTheList) {
    const FieldList fields = {"A:", "B:", "C:"};
    // Out of order, repeated, and a message without its last field.
    EXPECT_EQ(body(fields, "B: 2\nA: 1\nC: 3\n"), " 2\t 1\t 3\r");
    EXPECT_EQ(body(fields, "A: 1\nA: 1b\nC: 3\n"), " 1\t 1b\t 3\r");
    EXPECT_EQ(body(fields, "A: 1\nB: 2\n\nA: x\nC: y\n"), " 1\t 2\t x\t y\r");
}

TEST(Converter, MatchingRules) {
    // Prefix rule: the entry's own characters are the whole prefix.
    EXPECT_EQ(body({"Name", "End"}, "Name: a\nNames b\nNamely c\nNam d\n"), ": a\ts b\tly c\t");
    // Last match wins, and its separator is used.
    EXPECT_EQ(body({"Name", "Name2", "X"}, "Name2: x\n"), ": x\t");
    EXPECT_EQ(body({"Name2", "Name"}, "Name2: x\n"), "2: x\r");
    // ASCII case is folded; the value keeps the line's own letters.
    EXPECT_EQ(body({"email:"}, "EMAIL: Ann@Example.ORG\n"), " Ann@Example.ORG\r");
    // Only ASCII is folded: other bytes compare exactly.
    EXPECT_EQ(body({"\xc3\xa9t\xc3\xa9:"}, "\xc3\x89T\xc3\x89: x\n\xc3\xa9T\xc3\xa9: y\n"), " y\r");
    // Nothing is stripped from values.
    EXPECT_EQ(body({"A:"}, "A:  two\tparts  \n"), "  two\tparts  \r");
    // A line that is exactly an entry gives an empty column.
    EXPECT_EQ(body({"A:", "B:"}, "A:\nB:\n"), "\t\r");
    // A line shorter than an entry never matches it.
    EXPECT_EQ(body({"Phone:"}, "Phone\nPh\n"), "");
}

TEST(Converter, EmptyEntryMatchesEveryLine) {
    EXPECT_EQ(body({"A:", ""}, "A: 1\nanything\n\n"), "A: 1\ranything\r\r");  // last match wins
    // An empty input is one empty line, which only an empty entry matches.
    EXPECT_EQ(run({"A:", ""}, ""), "A:\t\r\r");
    EXPECT_EQ(run({"A:", "B:"}, ""), "A:\tB:\r");
}

TEST(Converter, LongLinesStreamInPieces) {
    const FieldList fields = {"Comments:", "Long entry name:"};
    std::string value(3 << 20, 'v');
    value[12345] = '\t';
    std::string input = "comments:" + value + "\r\nLong entry name:\nLong entry na";
    for (size_t chunk : {size_t{1} << 20, size_t{4097}, size_t{7}}) {
        EXPECT_EQ(body(fields, input, chunk), value + "\t\r") << "chunk " << chunk;
    }
}

TEST(Converter, ProgressCountsBytesAndEndsFull) {
    std::vector<std::pair<uint64_t, uint64_t>> calls;
    StringSource source(std::string(10000, 'x'), 3000);
    StringSink sink;
    ASSERT_TRUE(convert(source, {"A"}, sink, [&](uint64_t read, uint64_t total) {
                    calls.emplace_back(read, total);
                }).ok());
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.front(), std::make_pair(uint64_t{3000}, uint64_t{10000}));
    EXPECT_EQ(calls.back(), std::make_pair(uint64_t{10000}, uint64_t{10000}));
    EXPECT_EQ(progressPercent(0, 0), 100);  // an empty input shows a full bar
    EXPECT_EQ(progressPercent(1, 3), 33);
    EXPECT_EQ(progressPercent(5, 4), 100);  // a file that grew while read
    EXPECT_EQ(progressPercent(uint64_t{3} << 32, uint64_t{6} << 32), 50);  // beyond 32 bits
}

TEST(Converter, WriteFailureStopsTheRun) {
    std::string input;
    for (int i = 0; i < 100000; ++i)
        input += "A: some value\n";
    StringSource source(input, 4096);
    test::FullDiskSink sink(1000);
    uint64_t lastRead = 0;
    Status status =
        convert(source, {"A:"}, sink, [&](uint64_t read, uint64_t) { lastRead = read; });
    EXPECT_FALSE(status.ok());
    EXPECT_NE(status.message().find("No space left"), std::string::npos);
    EXPECT_LT(lastRead, input.size());  // stopped early, not after reading everything
}

}  // namespace
}  // namespace tabulon
