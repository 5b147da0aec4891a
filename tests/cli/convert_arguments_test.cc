#include "cli/convert_arguments.h"

#include <gtest/gtest.h>

#include "case_file.h"

namespace tabulon {
namespace {

using Args = std::vector<std::string>;

// What the parser finds wrong with `args`, "" when nothing is.
std::string problem(const Args& args, bool terminal = false) {
    ConvertArguments parsed;
    ParsedCommandLine result = parseConvertArguments(args, terminal, &parsed);
    return result.outcome == ParsedCommandLine::Outcome::kUsageError ? result.problem : "";
}

// The arguments are in cli/cases/usage_errors.cases.
TEST(ConvertArguments, UsageErrorsSayWhatIsWrong) {
    EXPECT_EQ(problem({}, true), "no input file given");  // standard input a terminal
    for (const test::Case& c : test::readCases("cli/cases/usage_errors.cases"))
        EXPECT_EQ(problem(c.list("args")), c.text("problem")) << c.where;
    const std::string choose = " (choose " + formatNames() + ")";  // the formats there are
    EXPECT_EQ(problem({"-f", "doc", "in"}), "option -f: unknown format 'doc'" + choose);
    EXPECT_EQ(problem({"--format=TAB", "in"}), "option --format: unknown format 'TAB'" + choose);
}

// --columns: one csv line of names, as a template would list them.
TEST(ConvertArguments, ColumnsNameTheTemplatesEntries) {
    ConvertArguments parsed;
    ASSERT_EQ(parseConvertArguments(
                  {"-m", "--dates", "raw", "--columns=Name:,\"City, zip\",\"\"\"Q\"\"\"", "in"},
                  false, &parsed)
                  .outcome,
              ParsedCommandLine::Outcome::kRun);
    EXPECT_EQ(parsed.columns, (std::vector<std::string>{"Name:", "City, zip", "\"Q\""}));
    EXPECT_EQ(parsed.dates, DateStyle::kAsWritten);
}

// An output's name chooses the format -f did not: "t.xlsx" is a workbook.
TEST(ConvertArguments, AnOutputsExtensionChoosesItsFormat) {
    for (const auto& [args, format] : std::vector<std::pair<Args, TableFormat>>{
             {{"-o", "t.xlsx", "in"}, TableFormat::kXlsx},
             {{"-o", "T.Csv", "in"}, TableFormat::kCsv},
             {{"-f", "jsonl", "-o", "t.jsonl", "in"}, TableFormat::kJsonl},
             {{"-o", "t.txt", "in"}, TableFormat::kTab},
             {{"-f", "tsv", "-o", "-", "in"}, TableFormat::kTsv}}) {
        ConvertArguments parsed;
        EXPECT_EQ(parseConvertArguments(args, false, &parsed).outcome,
                  ParsedCommandLine::Outcome::kRun);
        EXPECT_EQ(parsed.format, format) << testing::PrintToString(args);
    }
}

}  // namespace
}  // namespace tabulon
