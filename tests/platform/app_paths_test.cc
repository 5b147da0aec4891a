#include "platform/app_paths.h"

#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "platform/scripting_event.h"
#include "test_util.h"

namespace tabulon {
namespace {

using test::ScopedEnv;

TEST(AppPaths, ColonPathsAreRelativeToTheApplicationFolder) {
    setApplicationFolderForTesting("/opt/tabulon");
    EXPECT_EQ(resolvePath(":Templates:Field Names"), "/opt/tabulon/Templates/Field Names");
    EXPECT_EQ(resolvePath(":Templates:"), "/opt/tabulon/Templates/");
    EXPECT_EQ(resolvePath("/home/ann/a:b"), "/home/ann/a:b");  // native paths stay
    setApplicationFolderForTesting("");
    // A child's path is written the way its folder's is.
    EXPECT_EQ(childPath(":Templates:", "Field Names"), ":Templates:Field Names");
    EXPECT_EQ(childPath(":Templates", "Field Names"), ":Templates:Field Names");
    EXPECT_EQ(childPath("/data/Templates/", "x"), "/data/Templates/x");
    EXPECT_EQ(childPath("/data/Templates", "x"), "/data/Templates/x");
}

TEST(AppPaths, XdgFoldersWithFallbacks) {
    ScopedEnv home("HOME", "/home/ann"), config("XDG_CONFIG_HOME", "/cfg"),
        data("XDG_DATA_HOME", "relative/ignored");
    EXPECT_EQ(configFolder(), "/cfg/");
    EXPECT_EQ(dataFolder(), "/home/ann/.local/share/");
    ScopedEnv noConfig("XDG_CONFIG_HOME", nullptr);
    EXPECT_EQ(configFolder(), "/home/ann/.config/");
}

// The event socket's folder: an absolute XDG_RUNTIME_DIR, else a folder of the
// user's own under an absolute TMPDIR (trailing slashes dropped) or /tmp.
TEST(AppPaths, EventSocketPath) {
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
        ScopedEnv runtime("XDG_RUNTIME_DIR", c.runtime), temp("TMPDIR", c.temp);
        EXPECT_EQ(eventSocketPath(), c.path) << (c.temp ? c.temp : "(no TMPDIR)");
    }
}

}  // namespace
}  // namespace tabulon
