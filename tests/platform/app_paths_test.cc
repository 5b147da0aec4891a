#include "platform/app_paths.h"

#include <pwd.h>
#include <unistd.h>

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "platform/scripting_event.h"

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

// The event socket's folder: an absolute XDG_RUNTIME_DIR, else a folder of the
// user's own under an absolute TMPDIR (trailing slashes dropped) or /tmp.
TEST(AppPaths, EventSocketPath) {
    std::vector<std::pair<const char*, std::string>> saved;
    for (const char* name : {"XDG_RUNTIME_DIR", "TMPDIR"}) {
        if (const char* value = std::getenv(name)) saved.emplace_back(name, value);
    }
    const passwd* user = ::getpwuid(::getuid());
    const std::string own =
        "/runtime-" + std::string(user != nullptr ? user->pw_name : "") + "/tabulon-events";
    struct Case {
        const char* runtime;
        const char* temp;
        std::string path;
    };
    for (const Case& c : std::vector<Case>{
             {"/run/user/7", "/var/tmp", "/run/user/7/tabulon-events"},
             {"run/relative", "/var/tmp/", "/var/tmp" + own},
             {nullptr, "/var/tmp//", "/var/tmp" + own},
             {nullptr, "relative", "/tmp" + own},
             {nullptr, nullptr, "/tmp" + own},
         }) {
        for (const auto& [name, value] :
             {std::pair{"XDG_RUNTIME_DIR", c.runtime}, {"TMPDIR", c.temp}}) {
            if (value != nullptr) {
                ::setenv(name, value, 1);
            } else {
                ::unsetenv(name);
            }
        }
        EXPECT_EQ(eventSocketPath(), c.path) << (c.temp ? c.temp : "(no TMPDIR)");
    }
    ::unsetenv("XDG_RUNTIME_DIR");
    ::unsetenv("TMPDIR");
    for (const auto& [name, value] : saved)
        ::setenv(name, value.c_str(), 1);
}

}  // namespace
}  // namespace tabulon
