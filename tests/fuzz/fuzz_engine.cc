// The line scanner and the engine against the reference model. Input: the field
// names, one per line, then a NUL byte, then the mail; the first byte also picks
// the block size the mail is read in.
#include <cstddef>
#include <cstdint>
#include <string>

#include "conversion/converter.h"
#include "conversion/reference_model.h"
#include "test_util.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string bytes(reinterpret_cast<const char*>(data), size);
    size_t split = bytes.find('\0');
    if (split == std::string::npos || split == 0) return 0;
    size_t chunk = 1 + static_cast<unsigned char>(bytes[0]) % 97;
    tabulon::FieldList fields = tabulon::test::modelLines(bytes.substr(1, split - 1));
    std::string mail = bytes.substr(split + 1);

    tabulon::test::StringSource source(mail, chunk);
    tabulon::test::StringSink sink;
    if (!tabulon::convert(source, fields, sink).ok()) __builtin_trap();
    std::string expected = tabulon::test::modelConvert(mail, fields);
    if (sink.text != expected) __builtin_trap();
    if (sink.text.compare(0, tabulon::headerRow(fields).size(), tabulon::headerRow(fields)) != 0) {
        __builtin_trap();
    }
    return 0;
}
