// Field Names files: whatever a file holds reads into names that write back as
// each name followed by CR, and read again into the same names.

#include <cstdint>
#include <string>

#include "templates/field_names_file.h"
#include "test_util.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static tabulon::test::TempDir dir;
    const std::string path = dir.file("Field Names");
    tabulon::test::writeFile(path, std::string(reinterpret_cast<const char*>(data), size));
    tabulon::FieldList names;
    if (!tabulon::readFieldNames(path, &names).ok()) __builtin_trap();
    if (!tabulon::writeFieldNames(path, names).ok()) __builtin_trap();
    std::string expected;
    for (const std::string& name : names)
        expected += name + '\r';
    if (tabulon::test::readFile(path) != expected) __builtin_trap();
    tabulon::FieldList again;
    if (!tabulon::readFieldNames(path, &again).ok() || again != names) __builtin_trap();
    return 0;
}
