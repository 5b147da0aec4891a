#include "preview/save_choice.h"

#include <gtest/gtest.h>

#include "test_util.h"

namespace tabulon::test {
namespace {

TEST(SaveChoice, PathAndFilterGiveFileAndFormat) {
    struct Case {
        const char* chosen;
        TableFormat filter;
        const char* path;
        TableFormat format;
    };
    const Case cases[] = {
        {"/d/mail Converted.xlsx", TableFormat::kXlsx, "/d/mail Converted.xlsx",
         TableFormat::kXlsx},
        // A typed extension wins over the filter, in any letter case.
        {"/d/out.CSV", TableFormat::kXlsx, "/d/out.CSV", TableFormat::kCsv},
        {"/d/out.tsv", TableFormat::kTab, "/d/out.tsv", TableFormat::kTsv},
        // Without one, the filter's extension is added; tab adds none.
        {"/d/out", TableFormat::kXlsx, "/d/out.xlsx", TableFormat::kXlsx},
        {"/d/out.txt", TableFormat::kCsv, "/d/out.txt.csv", TableFormat::kCsv},
        {"/d/out", TableFormat::kTab, "/d/out", TableFormat::kTab},
        {"/d/out.xlsx.bak", TableFormat::kTsv, "/d/out.xlsx.bak.tsv", TableFormat::kTsv},
        {"/d/notcsv", TableFormat::kXlsx, "/d/notcsv.xlsx", TableFormat::kXlsx},  // no dot
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.chosen);
        SaveTarget target = resolveSaveTarget(c.chosen, c.filter);
        EXPECT_EQ(target.path, c.path);
        EXPECT_EQ(target.format, c.format);
        // The dialog's filter text gives back its format.
        EXPECT_EQ(formatOfFilter(formatFilter(c.filter)), c.filter);
    }
}

// The save dialog's name follows the type chosen, so that it shows the file
// that will be written.
TEST(SaveChoice, ChoosingATypeRenamesTheFile) {
    struct Case {
        const char* name;
        TableFormat format;
        const char* renamed;
    };
    const Case cases[] = {
        {"x.mbox Converted", TableFormat::kCsv, "x.mbox Converted.csv"},
        {"x.mbox Converted.xlsx", TableFormat::kTab, "x.mbox Converted"},
        {"x.TSV", TableFormat::kXlsx, "x.xlsx"},
        {"x.txt", TableFormat::kTsv, "x.txt.tsv"},
        {"notcsv", TableFormat::kCsv, "notcsv.csv"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(renamedForFormat(c.name, c.format), c.renamed);
        EXPECT_EQ(offeredFormatOfName(c.renamed).value_or(TableFormat::kTab), c.format);
    }
}

}  // namespace
}  // namespace tabulon::test
