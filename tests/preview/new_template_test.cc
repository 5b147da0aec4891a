#include "preview/new_template.h"

#include <gtest/gtest.h>

#include "test_util.h"

namespace tabulon::test {
namespace {

TEST(NewTemplate, NamesThatCannotBeUsed) {
    TempDir dir;
    writeFile(dir.file("Field Names"), "Name:\r");
    for (const char* name : {"", "a/b", ".hidden", "two\nlines", "Field Names"})
        EXPECT_FALSE(checkTemplateName(dir.path(), name).ok()) << name;
    EXPECT_TRUE(checkTemplateName(dir.path(), "Shop Contact").ok());
    EXPECT_FALSE(saveNewTemplate(dir.path(), "Field Names", {"X:"}).ok());
    EXPECT_EQ(readFile(dir.file("Field Names")), "Name:\r");
}

}  // namespace
}  // namespace tabulon::test
