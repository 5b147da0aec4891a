// What the workbook reader refuses, and how it says it, on sheets no workbook
// written here holds (table/cases/xlsx_refusals.cases).
#include <gtest/gtest.h>
#include <minizip/zip.h>

#include <string>
#include <vector>

#include "case_file.h"
#include "table/xlsx_reader.h"
#include "test_util.h"

namespace tabulon {
namespace {

// A zip at `path` whose one entry is the sheet.
void writeWorkbook(const std::string& path, const std::string& sheet) {
    zipFile zip = zipOpen64(path.c_str(), APPEND_STATUS_CREATE);
    ASSERT_NE(zip, nullptr);
    ASSERT_EQ(zipOpenNewFileInZip64(zip, "xl/worksheets/sheet1.xml", nullptr, nullptr, 0, nullptr,
                                    0, nullptr, Z_DEFLATED, Z_DEFAULT_COMPRESSION, 0),
              ZIP_OK);
    ASSERT_EQ(zipWriteInFileInZip(zip, sheet.data(), static_cast<unsigned>(sheet.size())), ZIP_OK);
    ASSERT_EQ(zipCloseFileInZip(zip), ZIP_OK);
    ASSERT_EQ(zipClose(zip, nullptr), ZIP_OK);
}

TEST(XlsxReader, RefusesWhatNoWorkbookWrittenHereHolds) {
    test::TempDir dir;
    for (const test::Case& c : test::readCases("table/cases/xlsx_refusals.cases")) {
        SCOPED_TRACE(c.where);
        std::string path = dir.file("t.xlsx");
        writeWorkbook(path, c.text("sheet"));
        XlsxReader reader;
        Status status = reader.open(path);
        std::vector<std::string> rows, cells;
        for (bool end = false; status.ok() && !end;) {
            status = reader.next(&cells, &end);
            std::string row;
            for (size_t i = 0; i < cells.size(); ++i)
                row += (i > 0 ? "|" : "") + cells[i];
            if (status.ok() && !end) rows.push_back(row);
        }
        if (c.has("rows")) {
            EXPECT_TRUE(status.ok()) << status.message();
            EXPECT_EQ(rows, c.list("rows"));
        } else {
            EXPECT_PRED2(test::contains, status.message(), path + "\": " + c.text("problem"));
        }
    }
}

}  // namespace
}  // namespace tabulon
