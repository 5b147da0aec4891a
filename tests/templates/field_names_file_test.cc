#include "templates/field_names_file.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace tabulon
