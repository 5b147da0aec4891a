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

// The labels of a mail file proposed, unless the reading is stopped: then nothing.
TEST(NewTemplate, ProposedFromTheMailUnlessStopped) {
    TempDir dir;
    writeFile(dir.file("m.mbox"),
              repeat("From a@b Mon Nov 30 09:14:02 2026\n\nName: Ann\nCity: Oslo\n\n", 3));
    FieldList fields;
    ASSERT_TRUE(proposeTemplate(dir.file("m.mbox"), &fields).ok());
    EXPECT_EQ(fields, (FieldList{"Name:", "City:"}));
    std::atomic<bool> stop{true};
    fields.clear();
    EXPECT_FALSE(proposeTemplate(dir.file("m.mbox"), &fields, {}, &stop).ok());
    EXPECT_TRUE(fields.empty());
}

}  // namespace
}  // namespace tabulon::test
