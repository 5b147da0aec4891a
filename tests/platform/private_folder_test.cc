#include "platform/private_folder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>

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

// A folder that is not the user's alone is refused with its reason, by the app's
// makePrivateFolder and the clients' checkPrivateFolder alike, and keeps its mode
// and owner (a link: its target too).
TEST(PrivateFolder, FoldersNotTheUsersAloneAreLeftAsTheyAre) {
    auto folderWithMode = [](mode_t mode) {
        return [mode](const std::string& f) {
            ::mkdir(f.c_str(), 0700);
            ::chmod(f.c_str(), mode);
        };
    };
    struct Case {
        const char* name;
        std::function<void(const std::string&)> make;
        std::string reason;
    } cases[] = {
        {"shared", folderWithMode(01777), "others have access to it: mode 1777"},
        {"group", folderWithMode(0750), "others have access to it: mode 0750"},
        {"file", [](const std::string& f) { test::writeFile(f, "a file"); }, "it is not a folder"},
        {"link",
         [](const std::string& f) {
             ::mkdir((f + "-target").c_str(), 0700);
             ASSERT_EQ(::symlink((f + "-target").c_str(), f.c_str()), 0);
         },
         "it is a link"},
        {"another user's",
         [](const std::string& f) {
             ::mkdir(f.c_str(), 0700);
             ASSERT_EQ(::chown(f.c_str(), 65534, 65534), 0);
         },
         "it belongs to user 65534"},
    };
    test::TempDir dir;
    for (const Case& c : cases) {
        if (c.reason.find("user") != std::string::npos && ::geteuid() != 0) continue;  // root's
        std::string folder = dir.file(c.name);
        c.make(folder);
        struct stat before {};
        ::lstat(folder.c_str(), &before);
        Status made = makePrivateFolder(folder);
        std::string why;
        EXPECT_EQ(checkPrivateFolder(folder, &why), FolderCheck::kNotPrivate) << c.name;
        EXPECT_EQ(made.message(),
                  "the folder \"" + folder + "\" is not private to you (" + c.reason + ")");
        EXPECT_EQ(why, made.message());
        struct stat after {};
        ::lstat(folder.c_str(), &after);
        EXPECT_EQ(after.st_mode, before.st_mode) << c.name;
        EXPECT_EQ(after.st_uid, before.st_uid) << c.name;
    }
    EXPECT_EQ(modeOf(dir.file("link-target")), 0700u);
    std::string why;
    EXPECT_EQ(checkPrivateFolder(dir.file("absent"), &why), FolderCheck::kMissing);
    EXPECT_FALSE(fileExists(dir.file("absent")));
}

}  // namespace
}  // namespace tabulon
