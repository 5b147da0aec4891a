#include "conversion/output_buffer.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "test_util.h"

namespace tabulon {
namespace {

constexpr size_t kBlock = 256;
constexpr size_t kSlack = 64;

// Appends pieces of every kind and length, some longer than a block, in random
// order to `out`; returns what should have been written.
std::string appendMix(OutputBuffer& out, int pieces, unsigned seed) {
    static const std::string source = [] {
        std::string bytes(4096, '\0');  // with kSlack readable bytes past any piece
        for (size_t i = 0; i < bytes.size(); ++i)
            bytes[i] = static_cast<char>(i * 131 + i / 256);
        return bytes;
    }();
    std::mt19937 random(seed);
    std::string expected;
    for (int i = 0; i < pieces; ++i) {
        size_t size = random() % 4 == 0 ? random() % 700 : random() % 80;
        const char* bytes = source.data() + random() % (source.size() - kSlack - size);
        switch (random() % 3) {
            case 0:
                out.append(bytes, size);
                expected.append(bytes, size);
                break;
            case 1:
                out.append(bytes[0]);
                expected += bytes[0];
                break;
            default:
                out.appendValue(bytes, size, '\t');
                expected.append(bytes, size) += '\t';
        }
    }
    return expected;
}

TEST(OutputBuffer, WritesEveryByteInOrder) {
    for (int pieces : {0, 1, 5, 40, 3000}) {
        test::StringSink sink;
        std::string expected;
        {
            OutputBuffer out(sink, kBlock, kSlack);
            expected = appendMix(out, pieces, static_cast<unsigned>(pieces));
            ASSERT_TRUE(out.finish().ok());
        }
        EXPECT_EQ(sink.bytes, expected) << pieces << " pieces";
    }
}

// A full disk early (before the writer thread starts) and late (after): the
// first error is kept, nothing after it is written, and going away while a
// block is pending is clean.
TEST(OutputBuffer, KeepsTheFirstWriteError) {
    for (size_t capacity : {size_t{0}, size_t{700}, size_t{40 * kBlock}}) {
        test::FullDiskSink sink(capacity);
        std::string expected;
        {
            OutputBuffer out(sink, kBlock, kSlack);
            expected = appendMix(out, 3000, 5);
            Status status = out.finish();
            EXPECT_FALSE(status.ok()) << capacity;
            EXPECT_EQ(status.message(), out.status().message());
        }
        EXPECT_EQ(sink.bytes, expected.substr(0, capacity)) << capacity;
    }
    test::FullDiskSink sink(10 * kBlock);
    OutputBuffer out(sink, kBlock, kSlack);
    appendMix(out, 3000, 6);  // no finish(): the destructor waits for the writer
}

}  // namespace
}  // namespace tabulon
