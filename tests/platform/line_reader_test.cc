#include "platform/line_reader.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <vector>

#include "test_util.h"

namespace tabulon {
namespace {

// How lines are split is the differential test's and the Field Names file's;
// here: what is not a small file is refused at once (a device or a pipe would
// never end or never start), and nothing is read from it.
TEST(LineReader, RefusesWhatIsNotASmallFile) {
    test::TempDir dir;
    ASSERT_EQ(::mkfifo(dir.file("pipe").c_str(), 0600), 0);
    test::writeFile(dir.file("big"), std::string(2000, 'x'));
    for (const auto& [path, message] : std::vector<std::pair<std::string, std::string>>{
             {dir.file("absent"), "Cannot open \"" + dir.file("absent") + "\": No such file"},
             {dir.path(), "it is a folder"},
             {"/dev/zero", "not a regular file"},
             {dir.file("pipe"), "not a regular file"},
             {dir.file("big"), "too large (2000 bytes; at most 1000"},
         }) {
        std::vector<std::string> lines = {"stale"};
        Status status = readLines(path, &lines, 1000);
        EXPECT_PRED2(test::contains, status.message(), message);
        EXPECT_TRUE(lines.empty()) << path;
    }
    std::vector<std::string> lines;
    EXPECT_TRUE(readLines(dir.file("big"), &lines, 2000).ok());
}

}  // namespace
}  // namespace tabulon
