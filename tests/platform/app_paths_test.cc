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
