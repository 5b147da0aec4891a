#include "platform/atomic_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "file_size_limit.h"
#include "test_util.h"

namespace tabulon {
namespace {

using test::readFile;
using test::writeFile;

Status writeAll(const std::string& path, const std::string& content) {
    AtomicFile file;
    Status status = file.open(path);
    if (status.ok()) status = file.write(content.data(), content.size());
    if (status.ok()) status = file.commit();
    return status;
}

TEST(AtomicFile, ReplacesOnlyOnCommit) {
    test::TempDir dir;
    writeFile(dir.file("t"), "old");
    ::chmod(dir.file("t").c_str(), 0640);
    {
        AtomicFile file;
        ASSERT_TRUE(file.open(dir.file("t")).ok());
        ASSERT_TRUE(file.write("new", 3).ok());
        EXPECT_EQ(readFile(dir.file("t")), "old");
        ASSERT_TRUE(file.commit().ok());
    }
    EXPECT_EQ(readFile(dir.file("t")), "new");
    struct stat st {};
    ::stat(dir.file("t").c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0640u);  // the replaced file keeps its permissions
    EXPECT_EQ(dir.listing(), "t");

    {
        AtomicFile abandoned;
        ASSERT_TRUE(abandoned.open(dir.file("t")).ok());
        ASSERT_TRUE(abandoned.write("partial", 7).ok());
    }
    EXPECT_EQ(readFile(dir.file("t")), "new");
    EXPECT_EQ(dir.listing(), "t");  // no temporary file left behind
}

TEST(AtomicFile, FailedWriteKeepsTheOldFile) {
    test::TempDir dir;
    writeFile(dir.file("t"), "old content");
    {
        test::FileSizeLimit limit(4);
        Status status = writeAll(dir.file("t"), "a longer new content");
        EXPECT_FALSE(status.ok());
        EXPECT_NE(status.message().find(dir.file("t")), std::string::npos);
    }
    EXPECT_EQ(readFile(dir.file("t")), "old content");
    EXPECT_EQ(dir.listing(), "t");
}

TEST(AtomicFile, AwkwardTargets) {
    test::TempDir dir;
    Status missingFolder = writeAll(dir.file("no/such/folder/t"), "x");
    EXPECT_FALSE(missingFolder.ok());
    EXPECT_NE(missingFolder.message().find("no/such/folder/t"), std::string::npos);

    std::string longName(255, 'n');  // the longest name a file may have
    EXPECT_TRUE(writeAll(dir.file(longName), "x").ok());

    Status folder = writeAll(dir.path(), "x");
    EXPECT_NE(folder.message().find("it is a folder"), std::string::npos);
}

TEST(AtomicFile, LinksAreFollowedAndDevicesWrittenInPlace) {
    test::TempDir dir;
    writeFile(dir.file("real"), "old");
    ASSERT_EQ(::symlink("real", dir.file("link").c_str()), 0);
    ASSERT_TRUE(writeAll(dir.file("link"), "new").ok());
    EXPECT_EQ(readFile(dir.file("real")), "new");
    struct stat st {};
    ASSERT_EQ(::lstat(dir.file("link").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));

    EXPECT_TRUE(writeAll("/dev/null", "discarded").ok());
    Status full = writeAll("/dev/full", "x");
    EXPECT_FALSE(full.ok());
    EXPECT_NE(full.message().find("No space left"), std::string::npos);
}

}  // namespace
}  // namespace tabulon
