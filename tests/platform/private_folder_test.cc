#include "platform/private_folder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

#include "platform/file_info.h"
#include "test_util.h"

namespace tabulon {
namespace {

mode_t modeOf(const std::string& path) {
    struct stat st {};
    ::lstat(path.c_str(), &st);
    return st.st_mode & 07777;
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

// A folder that is not the user's alone is refused with its reason, by the app's
// makePrivateFolder and the clients' checkPrivateFolder alike, and keeps its mode
// and owner (a link: its target too).
TEST(PrivateFolder, FoldersNotTheUsersAloneAreLeftAsTheyAre) {
    test::TempDir dir;
    ::mkdir(dir.file("shared").c_str(), 0700);
    ::chmod(dir.file("shared").c_str(), 01777);
    ::mkdir(dir.file("group").c_str(), 0700);
    ::chmod(dir.file("group").c_str(), 0750);
    test::writeFile(dir.file("file"), "a file");
    ::mkdir(dir.file("link-target").c_str(), 0700);
    ASSERT_EQ(::symlink(dir.file("link-target").c_str(), dir.file("link").c_str()), 0);
    std::vector<std::pair<std::string, std::string>> cases = {
        {"shared", "others have access to it: mode 1777"},
        {"group", "others have access to it: mode 0750"},
        {"file", "it is not a folder"},
        {"link", "it is a link"}};
    if (::geteuid() == 0) {  // only root can make a folder of another user
        ::mkdir(dir.file("another user's").c_str(), 0700);
        ASSERT_EQ(::chown(dir.file("another user's").c_str(), 65534, 65534), 0);
        cases.emplace_back("another user's", "it belongs to user 65534");
    }
    for (const auto& [name, reason] : cases) {
        std::string folder = dir.file(name);
        struct stat before {};
        ::lstat(folder.c_str(), &before);
        Status made = makePrivateFolder(folder);
        std::string why;
        EXPECT_EQ(checkPrivateFolder(folder, &why), FolderCheck::kNotPrivate) << name;
        EXPECT_EQ(made.message(),
                  "the folder \"" + folder + "\" is not private to you (" + reason + ")");
        EXPECT_EQ(why, made.message());
        struct stat after {};
        ::lstat(folder.c_str(), &after);
        EXPECT_EQ(after.st_mode, before.st_mode) << name;
        EXPECT_EQ(after.st_uid, before.st_uid) << name;
    }
    EXPECT_EQ(modeOf(dir.file("link-target")), 0700u);
    std::string why;
    EXPECT_EQ(checkPrivateFolder(dir.file("absent"), &why), FolderCheck::kMissing);
    EXPECT_FALSE(fileExists(dir.file("absent")));
}

}  // namespace
}  // namespace tabulon
