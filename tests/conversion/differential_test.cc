// Random inputs converted by the engine and by a naive model of the same rules.
#include <gtest/gtest.h>

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

std::string randomText(std::mt19937& random, const std::string& alphabet, size_t maxLength) {
    std::string text(std::uniform_int_distribution<size_t>(0, maxLength)(random), ' ');
    for (char& c : text)
        c = alphabet[random() % alphabet.size()];
    return text;
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

        test::StringSource source(input, chunk);
        test::StringSink sink;
        ASSERT_TRUE(convert(source, fields, sink).ok());
        ASSERT_EQ(sink.bytes, modelConvert(input, fields)) << "round " << round;

        FieldMatcher matcher(fields);
        for (const std::string& line : modelLines(input)) {
            ASSERT_EQ(checkline(line, matcher), modelCheckline(line, fields)) << "round " << round;
        }
    }
}

}  // namespace
}  // namespace tabulon
