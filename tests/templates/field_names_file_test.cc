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

FieldList read(const std::string& path) {
    FieldList fields = {"stale"};
    Status status = readFieldNames(path, &fields);
    EXPECT_TRUE(status.ok()) << status.message();
    return fields;
}

TEST(FieldNamesFile, ReadsEveryLineAsItStands) {
    test::TempDir dir;
    const std::string path = dir.file("Field Names");
    writeFile(path, "A\rB\r");
    EXPECT_EQ(read(path), (FieldList{"A", "B"}));
    writeFile(path, "A\rB");
    EXPECT_EQ(read(path), (FieldList{"A", "B"}));
    writeFile(path, "A\nB\r\n\r  C \t\r");
    EXPECT_EQ(read(path), (FieldList{"A", "B", "", "  C \t"}));
    writeFile(path, "");
    EXPECT_EQ(read(path), (FieldList{""}));
    writeFile(path, "Name:\rName:\r");
    EXPECT_EQ(read(path), (FieldList{"Name:", "Name:"}));
}

TEST(FieldNamesFile, RoundTripsKeepTheBytes) {
    test::TempDir dir;
    const std::string path = dir.file("t");
    const std::string bytes = "Name:\rE-mail \xc3\xa9:\r\r\tTab\r";
    writeFile(path, bytes);
    ASSERT_TRUE(writeFieldNames(path, read(path)).ok());
    EXPECT_EQ(readFile(path), bytes);

    writeFile(path, "");  // an empty file reads as one empty name, saved as one CR
    ASSERT_TRUE(writeFieldNames(path, read(path)).ok());
    EXPECT_EQ(readFile(path), "\r");

    ASSERT_TRUE(writeFieldNames(path, {}).ok());  // an empty list is 0 bytes
    EXPECT_EQ(fileSize(path), 0u);
    EXPECT_EQ(read(path), (FieldList{""}));
}

TEST(FieldNamesFile, WritingSetsTypeAndCreator) {
    test::TempDir dir;
    const std::string path = dir.file("t");
    writeFile(path, "x\r");
    ASSERT_TRUE(writeFieldNames(path, {"A"}).ok());
    if (fileType(path).empty()) GTEST_SKIP() << "no user extended attributes here";
    EXPECT_EQ(fileType(path), "TEXT");
    EXPECT_EQ(fileCreator(path), "R*ch");
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
