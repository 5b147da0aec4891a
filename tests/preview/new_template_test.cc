#include "preview/new_template.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "preview/preview_reader.h"
#include "preview/preview_samples.h"
#include "templates/field_names_file.h"
#include "test_util.h"

namespace tabulon::test {
namespace {

TEST(NewTemplate, ProposesTheLabelsOfMostMessages) {
    TempDir dir;
    writeFile(dir.file("mail.mbox"), kFormMail);
    FieldList fields;
    ASSERT_TRUE(proposeTemplate(dir.file("mail.mbox"), &fields).ok());
    EXPECT_EQ(fields, (FieldList{"Order:", "Name:", "Email:", "Phone:"}));
    EXPECT_FALSE(proposeTemplate(dir.file("absent"), &fields).ok());
    EXPECT_TRUE(fields.empty());
}

TEST(NewTemplate, NamesThatCannotBeUsed) {
    TempDir dir;
    writeFile(dir.file("Field Names"), "Name:\r");
    const char* const refused[] = {"", "a/b", ".hidden", "two\nlines", "Field Names"};
    for (const char* name : refused)
        EXPECT_FALSE(checkTemplateName(dir.path(), name).ok()) << name;
    EXPECT_TRUE(checkTemplateName(dir.path(), "Shop Contact").ok());
    EXPECT_FALSE(saveNewTemplate(dir.path(), "Field Names", {"X:"}).ok());
    EXPECT_EQ(readFile(dir.file("Field Names")), "Name:\r");
}

// The template made from a mail file converts that file with every column filled.
TEST(NewTemplate, ConvertsItsMailWithNoEmptyColumn) {
    TempDir dir;
    writeFile(dir.file("mail.mbox"), kFormMail);
    FieldList fields;
    ASSERT_TRUE(proposeTemplate(dir.file("mail.mbox"), &fields).ok());
    ASSERT_TRUE(saveNewTemplate(dir.path(), "Shop", fields).ok());
    EXPECT_EQ(readFile(dir.file("Shop")), "Order:\rName:\rEmail:\rPhone:\r");
    FieldList read;
    ASSERT_TRUE(readFieldNames(dir.file("Shop"), &read).ok());

    MessageConversionOptions options;
    options.fields = read;
    PreviewReader reader({dir.file("mail.mbox")}, options);
    reader.start();
    while (!reader.progress().done)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    std::vector<TableRow> rows;
    reader.takeRows(&rows);
    ASSERT_EQ(rows.size(), 3u);
    std::vector<uint64_t> missing = reader.progress().missing;
    for (size_t column = 0; column < missing.size(); ++column)
        EXPECT_LT(missing[column], rows.size()) << "column " << column << " is empty";
}

}  // namespace
}  // namespace tabulon::test
