// The preview's reader: the first rows kept, every row counted.
#include "preview/preview_reader.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "test_util.h"

namespace tabulon::test {
namespace {

TEST(PreviewReader, KeepsTheFirstRowsAndCountsThemAll) {
    TempDir dir;
    writeFile(dir.file("m.mbox"),
              "From a@b Mon Nov 30 09:14:02 2026\n\nName: Ann\n\n"
              "From a@b Mon Nov 30 09:14:02 2026\n\nName: Bo\n\n"
              "From a@b Mon Nov 30 09:14:02 2026\n\nCity: Oslo\n");
    PreviewReader reader(std::vector<std::string>{dir.file("m.mbox")},
                         MessageConversionOptions{{"Name:"}, {}, false, 1}, 2);
    reader.start();
    while (!reader.progress().done)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    std::vector<TableRow> rows;
    reader.takeRows(&rows);
    EXPECT_EQ(rows, (std::vector<TableRow>{{"Ann"}, {"Bo"}}));
    EXPECT_EQ(reader.progress().messages, 3u);
    EXPECT_EQ(reader.progress().missing, std::vector<uint64_t>{1});
}

}  // namespace
}  // namespace tabulon::test
