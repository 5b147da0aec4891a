#include "platform/line_reader.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "test_util.h"

namespace tabulon {
namespace {

// How lines are split is the differential test's and the Field Names file's;
// here: what is not a small file is refused at once (a device or a pipe would
// never end or never start), and nothing is read from it. Only a file that is
// not there is not found: tabulon-convert calls that a missing template.
TEST(LineReader, RefusesWhatIsNotASmallFile) {
    test::TempDir dir;
    ASSERT_EQ(::mkfifo(dir.file("pipe").c_str(), 0600), 0);
    test::writeFile(dir.file("big"), std::string(2000, 'x'));
    using Code = Status::Code;
    struct Case {
        std::string path;
        std::string message;
        Code code;
    };
    for (const Case& c : std::vector<Case>{
             {dir.file("absent"), "Cannot open \"" + dir.file("absent") + "\": No such file",
              Code::kNotFound},
             {dir.file("big/x"), "Not a directory", Code::kNotFound},
             {dir.path(), "it is a folder", Code::kInvalidArgument},
             {"/dev/zero", "not a regular file", Code::kInvalidArgument},
             {dir.file("pipe"), "not a regular file", Code::kInvalidArgument},
             {dir.file("big"), "too large (2000 bytes; at most 1000", Code::kInvalidArgument},
         }) {
        std::vector<std::string> lines = {"stale"};
        Status status = readLines(c.path, &lines, 1000);
        EXPECT_PRED2(test::contains, status.message(), c.message);
        EXPECT_EQ(status.code(), c.code) << c.path;
        EXPECT_TRUE(lines.empty()) << c.path;
    }
    std::vector<std::string> lines;
    EXPECT_TRUE(readLines(dir.file("big"), &lines, 2000).ok());
}

}  // namespace
}  // namespace tabulon
