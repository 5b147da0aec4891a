// A workbook that --new-only reads back: whatever its bytes, it is read or
// refused with a message, never a crash, a hang or memory out of bounds; every
// cell read is valid UTF-8.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/utf8.h"
#include "table/xlsx_reader.h"
#include "test_util.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static tabulon::test::TempDir dir;
    const std::string path = dir.file("table.xlsx");
    tabulon::test::writeFile(path, std::string(reinterpret_cast<const char*>(data), size));
    tabulon::XlsxReader reader;
    tabulon::Status status = reader.open(path);
    std::vector<std::string> cells;
    bool end = false;
    while (status.ok() && !end) {
        status = reader.next(&cells, &end);
        for (const std::string& cell : cells) {
            if (!tabulon::isValidUtf8(cell)) __builtin_trap();
        }
    }
    if (!status.ok() && status.message().empty()) __builtin_trap();
    return 0;
}
