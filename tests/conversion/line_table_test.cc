// The line conversion as a table: the same rows as the tab-delimited
// engine, for any format.
#include "conversion/line_table.h"

#include <gtest/gtest.h>

#include <random>

#include "conversion/reference_model.h"
#include "conversion/table_file.h"
#include "table/table_test_util.h"

namespace tabulon {
namespace {

using test::randomText;
using test::Rows;

// Keeps what it is given.
struct RecordingWriter : TableWriter {
    Status begin(const std::vector<std::string>& n) override {
        names = n;
        return Status::Ok();
    }
    Status row(const std::vector<std::string>& c) override {
        rows.push_back(c);
        return Status::Ok();
    }
    Status finish() override { return Status::Ok(); }
    std::vector<std::string> names;
    Rows rows;
};

// The rows the naive model of the line conversion forms.
Rows modelRows(const std::string& input, const FieldList& fields) {
    Rows rows(1);
    for (const std::string& line : test::modelLines(input)) {
        std::string piece = test::modelCheckline(line, fields);
        if (piece.empty()) continue;
        rows.back().push_back(piece.substr(0, piece.size() - 1));
        if (piece.back() == '\r') rows.emplace_back();
    }
    if (rows.back().empty()) rows.pop_back();
    return rows;
}

TEST(LineTable, RowsAgreeWithTheLineConversion) {
    std::mt19937 random(20261206);
    const std::string nameAlphabet = "aAbB:\xc3";
    for (int round = 0; round < 4000; ++round) {
        // Every other round without Tab, so that the tab writer's bytes can be
        // compared with the engine's too.
        bool tabs = round % 2 == 0;
        std::string textAlphabet = tabs ? "aAbB: \t\r\n\xc3\x89" : "aAbB: \r\n\xc3\x89";
        FieldList fields(1 + random() % 4);
        for (std::string& field : fields)
            field = randomText(random, nameAlphabet, 4);
        std::string input = randomText(random, textAlphabet, round % 3 ? 60 : 400);
        size_t chunk = 1 + random() % (round % 5 ? 150 : 10);

        test::StringSource source(input, chunk);
        RecordingWriter recorder;
        uint64_t read = 0, total = 0;
        auto progress = [&](uint64_t r, uint64_t t) { read = r, total = t; };
        ASSERT_TRUE(convertToTable(source, fields, recorder, progress).ok());
        EXPECT_TRUE(read == input.size() && total == input.size());
        EXPECT_EQ(recorder.names, fields);
        ASSERT_EQ(recorder.rows, modelRows(input, fields)) << "round " << round;

        if (tabs) continue;
        test::StringSource again(input, chunk);
        test::StringSink tabBytes;
        auto writer = makeTableWriter(TableFormat::kTab, tabBytes);
        ASSERT_TRUE(convertToTable(again, fields, *writer).ok() && writer->finish().ok());
        test::StringSource third(input, chunk);
        test::StringSink engineBytes;
        ASSERT_TRUE(convert(third, fields, engineBytes).ok());
        // The engine leaves an unfinished last row open; a table ends it.
        std::string engine = engineBytes.text;
        if (engine.back() == '\t') engine.back() = '\r';
        ASSERT_EQ(tabBytes.text, engine) << "round " << round;
    }
}

}  // namespace
}  // namespace tabulon
