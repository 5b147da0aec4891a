#include "templates/field_names_file.h"

#include <gtest/gtest.h>

#include "file_size_limit.h"
#include "platform/file_info.h"
#include "platform/file_type.h"
#include "test_util.h"

namespace tabulon {
namespace {

using test::readFile;
using test::writeFile;

// Each line as it stands, whatever ends it; written back with CR line ends.
TEST(FieldNamesFile, ReadAndWrittenBackByteForByte) {
    test::TempDir dir;
    const std::string path = dir.file("Field Names");
    struct Case {
        std::string bytes;
        FieldList fields;
        std::string saved;
    };
    for (const Case& c : std::vector<Case>{
             {"A\rB", {"A", "B"}, "A\rB\r"},
             {"A\nB\r\n\r  C \t\r", {"A", "B", "", "  C \t"}, "A\rB\r\r  C \t\r"},
             {"", {""}, "\r"},  // an empty file is one empty name
             {"Name:\rE-mail \xc3\xa9:\rName:\r\tTab\r",
              {"Name:", "E-mail \xc3\xa9:", "Name:", "\tTab"},
              ""},
         }) {
        writeFile(path, c.bytes);
        FieldList fields = {"stale"};
        ASSERT_TRUE(readFieldNames(path, &fields).ok());
        EXPECT_EQ(fields, c.fields);
        ASSERT_TRUE(writeFieldNames(path, fields).ok());
        EXPECT_EQ(readFile(path), c.saved.empty() ? c.bytes : c.saved);
    }
    ASSERT_TRUE(writeFieldNames(path, {}).ok());  // an empty list is 0 bytes
    EXPECT_EQ(fileSize(path), 0u);
    if (!fileType(path).empty()) {  // where the file system keeps user attributes
        EXPECT_EQ(fileType(path), "TEXT");
        EXPECT_EQ(fileCreator(path), "R*ch");
    }
}

TEST(FieldNamesFile, NothingIsCreatedOrLost) {
    test::TempDir dir;
    ASSERT_TRUE(writeFieldNames(dir.file("gone"), {"A"}).ok());
    EXPECT_FALSE(fileExists(dir.file("gone")));

    writeFile(dir.file("t"), "Old\r");
    {
        test::FileSizeLimit limit(2);
        EXPECT_FALSE(writeFieldNames(dir.file("t"), {"Longer", "List"}).ok());
    }
    EXPECT_EQ(readFile(dir.file("t")), "Old\r");
    EXPECT_EQ(dir.listing(), "t");

    FieldList fields = {"stale"};
    EXPECT_FALSE(readFieldNames(dir.file("absent"), &fields).ok());
    EXPECT_TRUE(fields.empty());
}

}  // namespace
}  // namespace tabulon
