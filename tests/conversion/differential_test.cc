// Random inputs converted by the engine and by a naive model of the same rules.
#include <gtest/gtest.h>

#include <cctype>
#include <random>

#include "conversion/checkline.h"
#include "conversion/converter.h"
#include "conversion/reference_model.h"
#include "test_util.h"

namespace tabulon {
namespace {

using test::modelCheckline;
using test::modelConvert;
using test::modelLines;
using test::randomText;

// The engine, read in blocks of `chunk` bytes, and checkline each agree with the
// model on `input`.
::testing::AssertionResult agreesWithModel(const std::string& input, const FieldList& fields,
                                           size_t chunk) {
    test::StringSource source(input, chunk);
    test::StringSink sink;
    if (!convert(source, fields, sink).ok()) return ::testing::AssertionFailure() << "failed";
    if (sink.text != modelConvert(input, fields)) {
        return ::testing::AssertionFailure()
               << "convert differs on " << ::testing::PrintToString(input);
    }
    FieldMatcher matcher(fields);
    for (const std::string& line : modelLines(input)) {
        if (checkline(line, matcher) != modelCheckline(line, fields)) {
            return ::testing::AssertionFailure()
                   << "checkline differs on " << ::testing::PrintToString(line);
        }
    }
    return ::testing::AssertionSuccess();
}

TEST(Differential, EngineAgreesWithNaiveModel) {
    std::mt19937 random(20261206);
    const std::string nameAlphabet = "aAbB:\xc3";
    const std::string textAlphabet = "aAbB: \t\r\n\xc3\x89";
    for (int round = 0; round < 4000; ++round) {
        FieldList fields(1 + random() % 4);
        for (std::string& field : fields)
            field = randomText(random, nameAlphabet, 4);
        std::string input = randomText(random, textAlphabet, round % 2 ? 60 : 400);
        size_t chunk = 1 + random() % (round % 3 ? 150 : 10);
        ASSERT_TRUE(agreesWithModel(input, fields, chunk)) << "round " << round;
    }
}

// Long names (past the 16 bytes compared as words), lists long enough to spread
// over many index buckets, names of zero and one byte, values around the 64 bytes
// copied at once, and names sharing long prefixes.
TEST(Differential, LongAndManyNames) {
    std::mt19937 random(14);
    const std::string nameAlphabet = "aAbZz:[`@{ \xc3";
    const std::string textAlphabet = "aAbZz:[`@{ \t\r\n\xc3";
    for (int round = 0; round < 600; ++round) {
        size_t count = round % 5 == 0 ? 200 + random() % 200 : 1 + random() % 12;
        FieldList fields(count);
        for (std::string& field : fields) {
            field = randomText(random, nameAlphabet, round % 3 == 0 ? 3 : 24);
            if (random() % 4 == 0) field = "Field name of some length " + field;
        }
        std::string input;
        while (input.size() < 2000) {
            const std::string& name = fields[random() % fields.size()];
            std::string line =
                random() % 3 == 0 ? name.substr(0, random() % (name.size() + 1)) : name;
            for (char& c : line) {
                if (random() % 2)
                    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            }
            input += line + randomText(random, textAlphabet, random() % 2 ? 70 : 8);
            input += "\r\n"[random() % 2];
        }
        size_t chunk = 1 + random() % (round % 2 ? 100 : 5000);
        ASSERT_TRUE(agreesWithModel(input, fields, chunk)) << "round " << round;
    }
}

// Bytes that are not text, at the start of lines and of names: NUL, 0xFF, 0x80,
// and names of one such byte (matched through the one-byte table).
TEST(Differential, NulAndHighBytesStartingLinesAndNames) {
    std::mt19937 random(5);
    const std::string alphabet("a:\0\xff\x80\xc3", 6);
    for (int round = 0; round < 2000; ++round) {
        FieldList fields(1 + random() % 4);
        for (std::string& field : fields)
            field = randomText(random, alphabet, round % 2 ? 1 : 10);
        std::string input;
        while (input.size() < 300) {
            input += fields[random() % fields.size()] + randomText(random, alphabet, 12);
            input += "\r\n"[random() % 2];
        }
        ASSERT_TRUE(agreesWithModel(input, fields, 1 + random() % 40)) << "round " << round;
    }
}

// Output of many blocks, so that it passes through the writer thread.
TEST(Differential, LargeOutput) {
    std::mt19937 random(7);
    FieldList fields = {"Name:", "Email:", "", "Comments:"};
    std::string input;
    while (input.size() < (12 << 20)) {
        input += fields[random() % fields.size()] + randomText(random, "aB \t\xc3", 90);
        input += "\n\r"[random() % 2];
    }
    test::StringSource source(input, 1 + random() % 70000);
    test::StringSink sink;
    ASSERT_TRUE(convert(source, fields, sink).ok());
    ASSERT_EQ(sink.text, modelConvert(input, fields));
}

}  // namespace
}  // namespace tabulon
