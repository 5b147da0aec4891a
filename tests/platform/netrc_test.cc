// ~/.netrc's passwords: an entry counts only for its machine and its login, and
// a file that other users can read is refused.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "platform/netrc.h"
#include "test_util.h"

namespace tabulon {
namespace {

TEST(Netrc, AnEntryCountsOnlyForItsMachineAndLogin) {
    test::TempDir home;
    test::ScopedEnv env("HOME", home.path().c_str());
    struct Case {
        const char* netrc;
        mode_t mode;
        const char* found;  // the password, or the start of the refusal
    };
    for (const Case& c : {
             Case{"machine mail.example login tab password P\n", 0600, "P"},
             Case{"machine MAIL.example\n  login tab\n  password \"a b\\\"c\"\n", 0600, "a b\"c"},
             Case{"machine mail.example login other password P\n", 0600, ""},
             Case{"machine other.example login tab password P\n", 0600, ""},
             Case{"default login tab password P\n", 0600, ""},
             Case{"machine mail.example password P\n", 0600, ""},
             Case{"macdef x\nmachine mail.example login tab password M\n\n"
                  "machine mail.example login other password O\n"
                  "machine mail.example login tab password P\n",
                  0600, "P"},
             Case{"machine mail.example login tab password P\n", 0644, "Cannot use"},
             Case{"machine mail.example login tab password P\n", 0660, "Cannot use"},
         }) {
        test::writeFile(home.file(".netrc"), c.netrc);
        ::chmod(home.file(".netrc").c_str(), c.mode);
        std::string password;
        Status status = netrcPassword("mail.example", "tab", &password);
        EXPECT_EQ(status.ok() ? password : status.message().substr(0, 10), c.found) << c.netrc;
    }
}

}  // namespace
}  // namespace tabulon
