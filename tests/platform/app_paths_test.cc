#include "platform/app_paths.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdlib>
#include <string>

namespace tabulon {
namespace {

TEST(AppPaths, ColonPathsAreRelativeToTheApplicationFolder) {
    setApplicationFolderForTesting("/opt/tabulon");
    EXPECT_EQ(resolvePath(":Templates:Field Names"), "/opt/tabulon/Templates/Field Names");
    EXPECT_EQ(resolvePath(":Templates:"), "/opt/tabulon/Templates/");
    EXPECT_EQ(resolvePath("/home/ann/a:b"), "/home/ann/a:b");  // native paths stay
    setApplicationFolderForTesting("");
}

TEST(AppPaths, ChildPaths) {
    EXPECT_EQ(childPath(":Templates:", "Field Names"), ":Templates:Field Names");
    EXPECT_EQ(childPath(":Templates", "Field Names"), ":Templates:Field Names");
    EXPECT_EQ(childPath("/data/Templates/", "x"), "/data/Templates/x");
    EXPECT_EQ(childPath("/data/Templates", "x"), "/data/Templates/x");
}

TEST(AppPaths, XdgFoldersWithFallbacks) {
    const char* home = std::getenv("HOME");
    std::string savedHome = home ? home : "";
    ::setenv("HOME", "/home/ann", 1);
    ::setenv("XDG_CONFIG_HOME", "/cfg", 1);
    ::setenv("XDG_DATA_HOME", "relative/ignored", 1);
    EXPECT_EQ(configFolder(), "/cfg/");
    EXPECT_EQ(dataFolder(), "/home/ann/.local/share/");
    ::unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(configFolder(), "/home/ann/.config/");
    ::unsetenv("XDG_DATA_HOME");
    ::setenv("HOME", savedHome.c_str(), 1);
}

}  // namespace
}  // namespace tabulon
