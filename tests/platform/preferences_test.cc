#include "platform/preferences.h"

#include <gtest/gtest.h>

#include "file_size_limit.h"
#include "test_util.h"

namespace tabulon {
namespace {

using Lines = std::vector<std::string>;

// Yes/no lines are true only as "true" in any case, numbers are read up to what
// is not a number and clamped, missing lines are empty.
TEST(Preferences, LenientReading) {
    Preferences p = parsePreferences({"TRUE", "yes", "My Form", "1", "-20px", "x", "", "7"});
    EXPECT_EQ(preferenceLines(p),
              (Lines{"true", "false", "My Form", "false", "-20", "0", "0", "7", ""}));
    p = parsePreferences({"", "", "", "", "99999999999", "-1e300"});
    EXPECT_EQ(p.windowLeft, 2147483647);
    EXPECT_EQ(p.windowTop, -2147483647 - 1);
}

TEST(Preferences, FileWritesAreWholeOrNothing) {
    test::TempDir dir;
    const std::string path = dir.file("config/sub/Tabulon Prefs");  // folders made as needed
    Preferences prefs;
    prefs.templatesFolder = "/home/ann/Templates/";
    ASSERT_TRUE(writePreferencesFile(path, prefs).ok());
    const std::string written = test::readFile(path);
    EXPECT_EQ(written, "true\nfalse\nField Names\nfalse\n10\n50\n10\n50\n/home/ann/Templates/\n");
    Preferences back;
    ASSERT_TRUE(readPreferencesFile(path, &back).ok());
    EXPECT_EQ(preferenceLines(back), preferenceLines(prefs));

    prefs.templateName = std::string(200, 'x');
    {
        test::FileSizeLimit limit(16);  // the disk fills while writing
        EXPECT_FALSE(writePreferencesFile(path, prefs).ok());
    }
    EXPECT_EQ(test::readFile(path), written);
}

}  // namespace
}  // namespace tabulon
