#include "platform/private_folder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/file_info.h"
#include "test_util.h"

namespace tabulon {
namespace {

mode_t modeOf(const std::string& path) {
    struct stat st {};
    ::lstat(path.c_str(), &st);
    return st.st_mode & 07777;
}

TEST(PrivateFolder, FolderOfAPath) {
    EXPECT_EQ(folderOf("/run/user/1000/tabulon-events"), "/run/user/1000");
    EXPECT_EQ(folderOf("/tmp//runtime-ann//tabulon-events"), "/tmp//runtime-ann");
    EXPECT_EQ(folderOf("/a/b/"), "/a");
    EXPECT_EQ(folderOf("/tabulon-events"), "/");
    EXPECT_EQ(folderOf("tabulon-events"), ".");
}

TEST(PrivateFolder, MadeWithItsParentsForTheUserAloneWhateverTheUmask) {
    test::TempDir dir;
    mode_t old = ::umask(0);
    Status made = makePrivateFolder(dir.file("a/b/run"));
    ::umask(0777);
    Status again = makePrivateFolder(dir.file("c"));
    ::umask(old);
    ASSERT_TRUE(made.ok()) << made.message();
    ASSERT_TRUE(again.ok()) << again.message();
    for (const char* folder : {"a", "a/b", "a/b/run", "c"})
        EXPECT_EQ(modeOf(dir.file(folder)), 0700u) << folder;
    EXPECT_TRUE(makePrivateFolder(dir.file("a/b/run")).ok());  // found the second time
}

TEST(PrivateFolder, AFolderThatExistedKeepsItsMode) {
    test::TempDir dir;
    std::string shared = dir.file("shared");
    ::mkdir(shared.c_str(), 0700);
    ::chmod(shared.c_str(), 01777);
    Status status = makePrivateFolder(shared);
    EXPECT_FALSE(status.ok());
    EXPECT_EQ(status.message(), "the folder \"" + shared +
                                    "\" is not private to you (others have access to it: "
                                    "mode 1777)");
    EXPECT_EQ(modeOf(shared), 01777u);

    std::string why;
    EXPECT_EQ(checkPrivateFolder(dir.file("absent"), &why), FolderCheck::kMissing);
    EXPECT_FALSE(fileExists(dir.file("absent")));
}

}  // namespace
}  // namespace tabulon
