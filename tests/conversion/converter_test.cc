#include "conversion/converter.h"

#include <gtest/gtest.h>

#include <vector>

#include "test_util.h"

namespace tabulon {
namespace {

using test::StringSink;
using test::StringSource;

// Worked examples of the rules. The differential test tries them at random, at
// every block edge, against a model of the conversion.
TEST(Converter, MatchingRules) {
    std::string bytes;  // every byte value but the line ends
    for (int c = 0; c < 256; ++c) {
        if (c != '\r' && c != '\n') bytes += static_cast<char>(c);
    }
    struct Case {
        FieldList fields;
        std::string input;
        std::string rows;  // the output after the header row
        size_t chunk = 1 << 20;
    };
    // clang-format off
    for (const Case& c : std::vector<Case>{
        {{"Name:", "Phone:", "City:"},
         "Subject: Web form reply\rName: Ann Lee\rPhone: 555 0100\rCity: Oslo\r\r"
         "Subject: Web form reply\rName: Bo Ek\rCity: Lund\r",
         " Ann Lee\t 555 0100\t Oslo\r Bo Ek\t Lund\r"},
        // Rows follow the input, not the list: out of order, repeated, a field missing.
        {{"A:", "B:", "C:"}, "B: 2\nA: 1\nC: 3\nA: 1\nA: 1b\nC: 3\nA: 1\nB: 2\n\nA: x\nC: y\n",
         " 2\t 1\t 3\r 1\t 1b\t 3\r 1\t 2\t x\t y\r"},
        // The entry's own characters are the whole prefix.
        {{"Name", "End"}, "Name: a\nNames b\nNamely c\nNam d\n", ": a\ts b\tly c\t"},
        // The last match wins, and its separator is used.
        {{"Name", "Name2", "X"}, "Name2: x\n", ": x\t"},
        {{"Name2", "Name"}, "Name2: x\n", "2: x\r"},
        // ASCII case is folded, other bytes compare exactly; values keep their letters.
        {{"email:"}, "EMAIL: Ann@Example.ORG\n", " Ann@Example.ORG\r"},
        {{"\xc3\xa9t\xc3\xa9:"}, "\xc3\x89T\xc3\x89: x\n\xc3\xa9T\xc3\xa9: y\n", " y\r"},
        {{"A:"}, "A:  two\tparts  \n", "  two\tparts  \r"},  // nothing is stripped
        {{"A:", "B:"}, "A:\nB:\n", "\t\r"},                // a line that is just an entry
        {{"Phone:"}, "Phone\nPh\n", ""},                     // lines shorter than the entry
        {{"A:", ""}, "A: 1\nanything\n\n", "A: 1\ranything\r\r"},  // "" matches every line
        {{"A:", ""}, "", "\r"},  // an empty input is one empty line
        {{"A:", "B:"}, "", ""},
        {{""}, bytes + "\n" + bytes, bytes + "\r" + bytes + "\r", 7},  // only CR and LF end lines
    }) {
        // clang-format on
        StringSource source(c.input, c.chunk);
        StringSink sink;
        ASSERT_TRUE(convert(source, c.fields, sink).ok());
        EXPECT_EQ(sink.bytes, headerRow(c.fields) + c.rows) << ::testing::PrintToString(c.input);
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
