#include "preview/new_template.h"

#include <gtest/gtest.h>

#include "mail/message_conversion.h"
#include "preview/preview_samples.h"
#include "templates/field_names_file.h"
#include "test_util.h"

namespace tabulon::test {
namespace {

// The template proposed for a mail file, once saved, converts that file with
// every column filled in some message.
TEST(NewTemplate, ConvertsItsMailWithNoEmptyColumn) {
    TempDir dir;
    writeFile(dir.file("mail.mbox"), kFormMail);
    FieldList fields;
    ASSERT_TRUE(proposeTemplate(dir.file("mail.mbox"), &fields).ok());
    EXPECT_EQ(fields, (FieldList{"Order:", "Name:", "Email:", "Phone:"}));
    ASSERT_TRUE(saveNewTemplate(dir.path(), "Shop", fields).ok());
    FieldList read;
    ASSERT_TRUE(readFieldNames(dir.file("Shop"), &read).ok());

    MessageConversionOptions options;
    options.fields = read;
    MessageRows rows(options);
    StringSource source(kFormMail);
    ASSERT_TRUE(
        convertMessages(source, "mail.mbox", rows, [](const auto&) { return Status::Ok(); }).ok());
    EXPECT_EQ(rows.report().messagesRead, 3u);
    EXPECT_EQ(rows.report().missing, (std::vector<uint64_t>{0, 0, 0, 1}));

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
