// Random inputs converted by the engine and by a naive model of the same rules,
// written here independently: whole input in memory, lines split one by one.
#include <gtest/gtest.h>

#include <random>

#include "conversion/checkline.h"
#include "conversion/converter.h"
#include "test_util.h"

namespace tabulon {
namespace {

std::vector<std::string> modelLines(const std::string& input) {
    std::vector<std::string> lines;
    std::string line;
    for (size_t i = 0; i < input.size(); ++i) {
        char c = input[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(line);
            line.clear();
            if (c == '\r' && i + 1 < input.size() && input[i + 1] == '\n') ++i;
        } else {
            line += c;
        }
    }
    if (!line.empty() || input.empty() || (input.back() != '\r' && input.back() != '\n')) {
        lines.push_back(line);
    }
    return lines;
}

std::string lower(std::string s) {
    for (char& c : s) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return s;
}

std::string modelCheckline(const std::string& line, const FieldList& fields) {
    std::string result;
    for (size_t i = 0; i < fields.size(); ++i) {
        const std::string& name = fields[i];
        if (lower(line.substr(0, name.size())) == lower(name) && line.size() >= name.size()) {
            result = line.substr(name.size()) + (i + 1 == fields.size() ? "\r" : "\t");
        }
    }
    return result;
}

std::string modelConvert(const std::string& input, const FieldList& fields) {
    std::string out;
    for (size_t i = 0; i < fields.size(); ++i) {
        out += fields[i] + (i + 1 == fields.size() ? "\r" : "\t");
    }
    for (const std::string& line : modelLines(input))
        out += modelCheckline(line, fields);
    return out;
}

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
