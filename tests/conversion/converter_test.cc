#include "conversion/converter.h"

#include <gtest/gtest.h>

#include <vector>

#include "test_util.h"

namespace tabulon {
namespace {

using test::StringSink;
using test::StringSource;

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
    const std::string input = test::repeat("A: some value\n", 100000);
    StringSource source(input, 4096);
    test::FullDiskSink sink(1000);
    uint64_t lastRead = 0;
    Status status =
        convert(source, {"A:"}, sink, [&](uint64_t read, uint64_t) { lastRead = read; });
    EXPECT_FALSE(status.ok());
    EXPECT_PRED2(test::contains, status.message(), "No space left");
    EXPECT_LT(lastRead, input.size());  // stopped early, not after reading everything
}

}  // namespace
}  // namespace tabulon
