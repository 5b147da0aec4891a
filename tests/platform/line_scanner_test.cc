#include "platform/line_scanner.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <vector>

#include "platform/line_reader.h"
#include "test_util.h"

namespace tabulon {
namespace {

// Feeds `input` in blocks of `chunk` bytes and joins the pieces back into lines.
std::vector<std::string> scan(const std::string& input, size_t chunk) {
    std::vector<std::string> lines;
    std::string current;
    auto segment = [&](const char* data, size_t size, bool endsLine) {
        current.append(data, size);
        if (endsLine) lines.push_back(std::exchange(current, {}));
    };
    LineScanner scanner;
    for (size_t i = 0; i < input.size(); i += chunk) {
        scanner.feed(input.data() + i, std::min(chunk, input.size() - i), segment);
    }
    scanner.finish(segment);
    return lines;
}

using Lines = std::vector<std::string>;

// Where lines end, at every block edge, is the differential test's (it runs the
// scanner through the engine); here: every other byte value passes untouched.
TEST(LineScanner, BytesAreKeptExactly) {
    std::string bytes;
    for (int c = 0; c < 256; ++c) {
        if (c != '\r' && c != '\n') bytes += static_cast<char>(c);
    }
    EXPECT_EQ(scan(bytes + "\n" + bytes, 7), (Lines{bytes, bytes}));
}

TEST(LineReader, ReadsFilesAndReportsFailures) {
    test::TempDir dir;
    test::writeFile(dir.file("f"), "one\r\ntwo\n");
    std::vector<std::string> lines;
    ASSERT_TRUE(readLines(dir.file("f"), &lines).ok());
    EXPECT_EQ(lines, (Lines{"one", "two"}));

    Status missing = readLines(dir.file("absent"), &lines);
    EXPECT_FALSE(missing.ok());
    EXPECT_NE(missing.message().find(dir.file("absent")), std::string::npos);
    Status folder = readLines(dir.path(), &lines);
    EXPECT_FALSE(folder.ok());
    EXPECT_NE(folder.message().find("it is a folder"), std::string::npos);
}

TEST(LineReader, RefusesWhatIsNotASmallFile) {
    test::TempDir dir;
    std::vector<std::string> lines;
    // A device or a pipe would never end or never start: refused at once.
    EXPECT_NE(readLines("/dev/zero", &lines).message().find("not a regular file"),
              std::string::npos);
    ASSERT_EQ(::mkfifo(dir.file("pipe").c_str(), 0600), 0);
    EXPECT_NE(readLines(dir.file("pipe"), &lines).message().find("not a regular file"),
              std::string::npos);
    test::writeFile(dir.file("big"), std::string(2000, 'x'));
    Status big = readLines(dir.file("big"), &lines, 1000);
    EXPECT_NE(big.message().find("too large (2000 bytes; at most 1000"), std::string::npos);
    EXPECT_TRUE(lines.empty());
    EXPECT_TRUE(readLines(dir.file("big"), &lines, 2000).ok());
}

}  // namespace
}  // namespace tabulon
