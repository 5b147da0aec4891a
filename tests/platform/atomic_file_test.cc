#include "platform/atomic_file.h"

#include <grp.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "file_size_limit.h"
#include "platform/temporary_files.h"
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

// Descriptor 0 closed for as long as it lives, as in a program started with
// standard input closed.
struct StdinClosed {
    StdinClosed() { ::close(STDIN_FILENO); }
    ~StdinClosed() {
        ::dup2(saved, STDIN_FILENO);
        ::close(saved);
    }
    int saved = ::dup(STDIN_FILENO);
};

// Every case runs twice: with the new content in an unnamed file, and as on a
// file system that has none, in a hidden file beside the target.
class AtomicFileTest : public ::testing::TestWithParam<bool> {
  protected:
    void SetUp() override { AtomicFile::setUnnamedFilesAllowed(GetParam()); }
    void TearDown() override { AtomicFile::setUnnamedFilesAllowed(true); }
};

INSTANTIATE_TEST_SUITE_P(AtomicFile, AtomicFileTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Unnamed" : "Named"; });

// The new content takes the old file's place only on commit, with its mode and
// (as root: a file of another user) its owner and group.
TEST_P(AtomicFileTest, ReplacesOnlyOnCommitKeepingOwnerAndMode) {
    test::TempDir dir;
    writeFile(dir.file("t"), "old");
    ASSERT_EQ(::chmod(dir.file("t").c_str(), 0604), 0);
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(dir.file("t").c_str(), 65534, 65534), 0);
    }
    struct stat before {
    }, after{};
    ASSERT_EQ(::stat(dir.file("t").c_str(), &before), 0);
    {
        StdinClosed stdinClosed;  // so that the new file may get descriptor 0
        AtomicFile file;
        ASSERT_TRUE(file.open(dir.file("t")).ok());
        ASSERT_TRUE(file.write("new", 3).ok());
        EXPECT_EQ(readFile(dir.file("t")), "old");
        ASSERT_TRUE(file.commit().ok());
    }
    EXPECT_EQ(readFile(dir.file("t")), "new");
    EXPECT_EQ(dir.listing(), "t");
    ASSERT_EQ(::stat(dir.file("t").c_str(), &after), 0);
    EXPECT_EQ(after.st_mode & 07777, 0604u);
    EXPECT_EQ(after.st_uid, before.st_uid);
    EXPECT_EQ(after.st_gid, before.st_gid);

    {
        AtomicFile abandoned;
        ASSERT_TRUE(abandoned.open(dir.file("t")).ok());
        ASSERT_TRUE(abandoned.write("partial", 7).ok());
        std::string hidden = std::filesystem::path(abandoned.temporaryName()).filename();
        EXPECT_EQ(dir.listing(), GetParam() ? "t" : hidden + "|t");
    }
    EXPECT_EQ(readFile(dir.file("t")), "new");
    EXPECT_EQ(dir.listing(), "t");  // no temporary file left behind

    // A user who does not own the file keeps the group they share with it.
    if (::geteuid() != 0) return;  // becoming another user needs root
    ASSERT_EQ(::chown(dir.file("t").c_str(), 0, 4321), 0);
    ASSERT_EQ(::chmod(dir.path().c_str(), 0777), 0);
    pid_t pid = ::fork();
    if (pid == 0) {
        gid_t group = 4321;
        bool ok = ::setgroups(1, &group) == 0 && ::setgid(65534) == 0 && ::setuid(65534) == 0;
        if (ok && ::access(dir.path().c_str(), W_OK | X_OK) != 0) ::_exit(77);  // TMPDIR private
        ::_exit(ok && writeAll(dir.file("t"), "other").ok() ? 0 : 1);
    }
    int status = -1;
    ::waitpid(pid, &status, 0);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 77) GTEST_SKIP() << "TMPDIR is not reachable";
    EXPECT_EQ(status, 0);
    ASSERT_EQ(::stat(dir.file("t").c_str(), &after), 0);
    EXPECT_EQ(after.st_uid, 65534u);
    EXPECT_EQ(after.st_gid, 4321u);
}

// Failures name the file, and leave the old one as it was.
TEST_P(AtomicFileTest, FailuresKeepTheOldFile) {
    test::TempDir dir;
    writeFile(dir.file("t"), "old content");
    {
        test::FileSizeLimit limit(4);  // the disk fills while writing
        EXPECT_PRED2(test::contains, writeAll(dir.file("t"), "a longer new content").message(),
                     dir.file("t"));
    }
    EXPECT_EQ(readFile(dir.file("t")), "old content");
    EXPECT_EQ(dir.listing(), "t");

    EXPECT_PRED2(test::contains, writeAll(dir.file("no/such/folder/t"), "x").message(),
                 "no/such/folder/t");
    EXPECT_PRED2(test::contains, writeAll(dir.path(), "x").message(), "it is a folder");
    {  // a folder took the target's place meanwhile: no hidden file stays behind
        AtomicFile file;
        ASSERT_TRUE(file.open(dir.file("taken")).ok());
        ASSERT_EQ(::mkdir(dir.file("taken").c_str(), 0700), 0);
        EXPECT_FALSE(file.commit().ok());
        EXPECT_EQ(dir.listing(), "t|taken");
    }
    std::string longName(255, 'n');  // the longest name a file may have
    EXPECT_TRUE(writeAll(dir.file(longName), "x").ok());
}

TEST_P(AtomicFileTest, LinksAreFollowedAndDevicesWrittenInPlace) {
    test::TempDir dir;
    writeFile(dir.file("real"), "old");
    ASSERT_EQ(::symlink("real", dir.file("link").c_str()), 0);
    ASSERT_TRUE(writeAll(dir.file("link"), "new").ok());
    EXPECT_EQ(readFile(dir.file("real")), "new");
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file("link")));

    // A link to a file that does not exist yet, through another link.
    ASSERT_EQ(::symlink("dangling", dir.file("first").c_str()), 0);
    ASSERT_EQ(::symlink(dir.file("new").c_str(), dir.file("dangling").c_str()), 0);
    ASSERT_TRUE(writeAll(dir.file("first"), "made").ok());
    EXPECT_EQ(readFile(dir.file("new")), "made");
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file("first")));

    ASSERT_EQ(::symlink("loop", dir.file("loop").c_str()), 0);
    Status loop = writeAll(dir.file("loop"), "x");
    EXPECT_EQ(loop.message(), "Cannot write \"" + dir.file("loop") +
                                  "\": it is a symbolic link that leads back to itself");
    EXPECT_EQ(dir.listing(), "dangling|first|link|loop|new|real");

    EXPECT_TRUE(writeAll(test::scratchDevice("null"), "discarded").ok());
    EXPECT_PRED2(test::contains, writeAll(test::scratchDevice("full"), "x").message(),
                 "No space left");
}

// A process ended by a termination signal while writing leaves the old file and
// nothing else.
TEST_P(AtomicFileTest, TerminationSignalsLeaveNoTemporaryFile) {
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
        test::TempDir dir;
        writeFile(dir.file("t"), "old");
        pid_t pid = ::fork();
        if (pid == 0) {
            for (int s : {SIGINT, SIGTERM, SIGHUP})
                ::signal(s, SIG_DFL);
            removeTemporariesOnTermination();
            AtomicFile file;
            if (!file.open(dir.file("t")).ok() || !file.write("partial", 7).ok()) ::_exit(3);
            ::raise(signal);
            ::_exit(4);  // not reached
        }
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;
        EXPECT_EQ(dir.listing(), "t") << signal;
        EXPECT_EQ(readFile(dir.file("t")), "old");
    }
}

}  // namespace
}  // namespace tabulon
