#include "preview/new_template.h"

#include <gtest/gtest.h>

#include "preview/preview_samples.h"
#include "test_util.h"

namespace tabulon::test {
namespace {

// The labels of most messages, header fields left out, saved as a template.
TEST(NewTemplate, ProposesTheLabelsOfMostMessages) {
    TempDir dir;
    writeFile(dir.file("mail.mbox"), kFormMail);
    FieldList fields;
    ASSERT_TRUE(proposeTemplate(dir.file("mail.mbox"), &fields).ok());
    EXPECT_EQ(fields, (FieldList{"Order:", "Name:", "Email:", "Phone:"}));
    ASSERT_TRUE(saveNewTemplate(dir.path(), "Shop", fields).ok());
    EXPECT_EQ(readFile(dir.file("Shop")), "Order:\rName:\rEmail:\rPhone:\r");
    EXPECT_FALSE(proposeTemplate(dir.file("absent"), &fields).ok());
    EXPECT_TRUE(fields.empty());
}

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
