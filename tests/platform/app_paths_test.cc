#include "platform/app_paths.h"

#include <gtest/gtest.h>
#include <pwd.h>
#include <stdlib.h>
#include <unistd.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/scripting_event.h"

namespace tabulon {
namespace {

// Sets `name` to `value` (null: unsets it); returns what it was.
std::optional<std::string> setEnv(const char* name, const char* value) {
    const char* old = std::getenv(name);
    std::optional<std::string> was = old ? std::optional<std::string>(old) : std::nullopt;
    value ? ::setenv(name, value, 1) : ::unsetenv(name);
    return was;
}

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
    auto home = setEnv("HOME", "/home/ann");
    setEnv("XDG_CONFIG_HOME", "/cfg");
    setEnv("XDG_DATA_HOME", "relative/ignored");
    EXPECT_EQ(configFolder(), "/cfg/");
    EXPECT_EQ(dataFolder(), "/home/ann/.local/share/");
    setEnv("XDG_CONFIG_HOME", nullptr);
    EXPECT_EQ(configFolder(), "/home/ann/.config/");
    setEnv("XDG_DATA_HOME", nullptr);
    setEnv("HOME", home ? home->c_str() : nullptr);
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
    auto runtime = setEnv("XDG_RUNTIME_DIR", nullptr), temp = setEnv("TMPDIR", nullptr);
    for (const Case& c : std::vector<Case>{
             {"/run/user/7", "/var/tmp", "/run/user/7/tabulon-events"},
             {"run/relative", "/var/tmp/", "/var/tmp" + own},
             {nullptr, "/var/tmp//", "/var/tmp" + own},
             {nullptr, "relative", "/tmp" + own},
             {nullptr, nullptr, "/tmp" + own},
         }) {
        setEnv("XDG_RUNTIME_DIR", c.runtime);
        setEnv("TMPDIR", c.temp);
        EXPECT_EQ(eventSocketPath(), c.path) << (c.temp ? c.temp : "(no TMPDIR)");
    }
    setEnv("XDG_RUNTIME_DIR", runtime ? runtime->c_str() : nullptr);
    setEnv("TMPDIR", temp ? temp->c_str() : nullptr);
}

}  // namespace
}  // namespace tabulon
