#include "cli/convert_arguments.h"

#include <gtest/gtest.h>

namespace tabulon {
namespace {

using Args = std::vector<std::string>;

// What the parser finds wrong with `args`, "" when nothing is.
std::string problem(const Args& args, bool terminal = false) {
    ConvertArguments parsed;
    ParsedCommandLine result = parseConvertArguments(args, terminal, &parsed);
    return result.outcome == ParsedCommandLine::Outcome::kUsageError ? result.problem : "";
}

TEST(ConvertArguments, UsageErrorsSayWhatIsWrong) {
    EXPECT_EQ(problem({}, true), "no input file given");  // standard input a terminal
    // clang-format off
    for (const auto& [args, wrong] : std::vector<std::pair<Args, std::string>>{
        {{"-t", "", "in"}, "option -t has an empty value"},
        {{"--template=", "in"}, "option --template has an empty value"},
        {{"in", "-t"}, "option -t needs a value"},
        {{"in", "--output"}, "option --output needs a value"},
        {{"--quiet=yes", "in"}, "option --quiet takes no value"},
        {{"--frobnicate", "in"}, "unknown option --frobnicate"},
        {{"-qz", "in"}, "unknown option -z"},
        {{"--temp=T", "in"}, "unknown option --temp"},
        {{"-f", "doc", "in"}, "option -f: unknown format 'doc' (choose " + formatNames() + ")"},
        {{"--format=TAB", "in"}, "option --format: unknown format 'TAB' (choose " + formatNames() + ")"},
        {{"--headers", "Date,,From", "-m", "in"}, "option --headers: an empty header name in 'Date,,From'"},
        {{"--headers=Date,", "in"}, "option --headers: an empty header name in 'Date,'"},
        {{"--search-since=2026-13-45", "in"}, "option --search-since: '2026-13-45' is not a day written YYYY-MM-DD"},
        {{"-f", "xlsx", "--bom", "in"}, "--bom goes with --format csv only"},
        {{"-f", "csv", "-o", "t.XLSX", "in"}, "-o t.XLSX is named for xlsx, but --format is csv"},
        {{"--bom", "-o", "t.tsv", "in"}, "--bom goes with --format csv only"},
        {{"--headers=Date", "in"}, "--headers goes with --messages"},
        {{"--report", "in"}, "--report goes with --messages"},
        {{"a", "b", "-o", "x"}, "-o takes one INPUT only; without it each output goes beside its input"},
        {{"-", "-"}, "standard input (-) can be read only once"},
        {{"imaps://u@h/INBOX", "-o", "x"}, "a mailbox (imaps://...) is read with --messages"},
        {{"-m", "imap://u@h/INBOX"}, "a mailbox needs -o FILE (\"-o -\" writes to standard output)"},
        {{"-m", "--search-since=2026-01-01", "in"}, "--search-since goes with a mailbox INPUT (imaps://...)"},
        {{"--new-only", "-o", "x", "in"}, "--new-only goes with --messages"},
        {{"-m", "--new-only", "-o", "-", "in"}, "--new-only needs -o FILE: the table the new messages are added to"},
        {{"-m", "--password-file", "pw", "-o", "-", "in"}, "--password-file goes with a mailbox INPUT (imaps://...)"},
        {{"-m", "--columns", "Name", "-t", "T", "in"}, "--columns and -t both name the columns: give one of them"},
        {{"--columns", "Name,,Email", "in"}, "option --columns: an empty column name in 'Name,,Email'"},
        {{"--columns", "Name,\"City", "in"}, "option --columns: 'Name,\"City' is not one line of comma-separated names"},
        {{"--columns", "Name\nEmail", "in"}, "option --columns: 'Name\nEmail' is not one line of comma-separated names"},
        {{"--columns", "\"Na\nme\"", "in"}, "option --columns: a column name holds a line end"},
        {{"--dates=utc", "-m", "in"}, "option --dates: 'utc' is neither local nor raw"},
        {{"--dates=raw", "in"}, "--dates goes with --messages"},
        {{"--columns-out", "in"}, "--columns-out goes with --guess-template"},
    }) {
        // clang-format on
        EXPECT_EQ(problem(args), wrong) << testing::PrintToString(args);
    }
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
