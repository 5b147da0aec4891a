#include "cli/convert_arguments.h"

#include <gtest/gtest.h>

namespace tabulon {
namespace {

using Outcome = ParsedCommandLine::Outcome;
using Args = std::vector<std::string>;

ParsedCommandLine parse(const Args& args, ConvertArguments* result, bool terminal = false) {
    return parseConvertArguments(args, terminal, result);
}

TEST(ConvertArguments, EveryWayOfGivingAValue) {
    for (const Args& args : std::vector<Args>{
             {"-t", "T", "-o", "out", "in"},
             {"--template=T", "--output=out", "in"},
             {"--template", "T", "--output", "out", "in"},
             {"-tT", "-oout", "in"},
             {"in", "-qt", "T", "-o", "out"},
             {"-t", "-x", "-o", "out", "in"},  // a value may begin with "-"
         }) {
        ConvertArguments a;
        ASSERT_EQ(parse(args, &a).outcome, Outcome::kRun) << args[0];
        EXPECT_EQ(a.templatePath, args[1] == "-x" ? "-x" : "T") << args[0];
        EXPECT_EQ(a.output, "out");
        EXPECT_EQ(a.inputs, Args{"in"});
    }
}

TEST(ConvertArguments, FiltersReadStandardInputAndWriteStandardOutput) {
    ConvertArguments piped;
    ASSERT_EQ(parse({"-q"}, &piped).outcome, Outcome::kRun);
    EXPECT_EQ(piped.inputs, Args{"-"});
    EXPECT_TRUE(piped.quiet);
    EXPECT_EQ(piped.outputFor("-"), "-");

    ConvertArguments mixed;
    ASSERT_EQ(parse({"a.txt", "-"}, &mixed).outcome, Outcome::kRun);
    EXPECT_EQ(mixed.outputFor("a.txt"), "a.txt Converted");
    EXPECT_EQ(mixed.outputFor("-"), "-");

    ConvertArguments named;
    ASSERT_EQ(parse({"--output", "x", "-"}, &named).outcome, Outcome::kRun);
    EXPECT_EQ(named.outputFor("-"), "x");

    ConvertArguments ended;
    ASSERT_EQ(parse({"--", "-q", "--help"}, &ended, true).outcome, Outcome::kRun);
    EXPECT_EQ(ended.inputs, (Args{"-q", "--help"}));
    EXPECT_FALSE(ended.quiet);
}

TEST(ConvertArguments, OptionsForMessageConversions) {
    ConvertArguments a;
    ASSERT_EQ(
        parse({"-m", "-f", "csv", "--bom", "--headers=Date,From,Subject", "--report", "in"}, &a)
            .outcome,
        Outcome::kRun);
    EXPECT_TRUE(a.messages);
    EXPECT_EQ(a.format, TableFormat::kCsv);
    EXPECT_TRUE(a.bom);
    EXPECT_EQ(a.headers, (Args{"Date", "From", "Subject"}));
    EXPECT_TRUE(a.report);
    EXPECT_FALSE(a.guessTemplate);

    ConvertArguments b;
    ASSERT_EQ(parse({"--guess-template", "--format=jsonl", "-mfxlsx", "in"}, &b).outcome,
              Outcome::kRun);
    EXPECT_TRUE(b.guessTemplate);
    EXPECT_TRUE(b.messages);
    EXPECT_EQ(b.format, TableFormat::kXlsx);

    ConvertArguments plain;
    ASSERT_EQ(parse({"in"}, &plain).outcome, Outcome::kRun);
    EXPECT_EQ(plain.format, TableFormat::kTab);
}

TEST(ConvertArguments, HelpAndVersionEndTheParse) {
    ConvertArguments a;
    EXPECT_EQ(parse({"in", "--frobnicate", "--help"}, &a).outcome, Outcome::kUsageError);
    EXPECT_EQ(parse({"in", "-o", "x", "-h"}, &a).outcome, Outcome::kHelp);
    EXPECT_EQ(parse({"--version", "in"}, &a).outcome, Outcome::kVersion);
}

TEST(ConvertArguments, UsageErrorsSayWhatIsWrong) {
    struct Case {
        Args args;
        bool terminal;
        std::string problem;
    };
    for (const Case& c : std::vector<Case>{
             {{}, true, "no input file given"},
             {{"-t", "", "in"}, false, "option -t has an empty value"},
             {{"--template=", "in"}, false, "option --template has an empty value"},
             {{"-o", "", "in"}, false, "option -o has an empty value"},
             {{"in", "-t"}, false, "option -t needs a value"},
             {{"in", "--output"}, false, "option --output needs a value"},
             {{"--quiet=yes", "in"}, false, "option --quiet takes no value"},
             {{"--frobnicate", "in"}, false, "unknown option --frobnicate"},
             {{"-qz", "in"}, false, "unknown option -z"},
             {{"--temp=T", "in"}, false, "unknown option --temp"},
             {{"-f", "doc", "in"},
              false,
              "option -f: unknown format 'doc' (choose tab, tsv, csv, xlsx or jsonl)"},
             {{"--format=TAB", "in"},
              false,
              "option --format: unknown format 'TAB' (choose tab, "
              "tsv, csv, xlsx or jsonl)"},
             {{"--headers", "Date,,From", "in"},
              false,
              "option --headers: an empty header name in 'Date,,From'"},
             {{"--headers=Date,", "in"},
              false,
              "option --headers: an empty header name in 'Date,'"},
             {{"a", "b", "-o", "x"},
              false,
              "-o takes one INPUT only; without it each output goes beside its input"},
             {{"-", "-"}, false, "standard input (-) can be read only once"},
         }) {
        ConvertArguments a;
        ParsedCommandLine parsed = parse(c.args, &a, c.terminal);
        EXPECT_EQ(parsed.outcome, Outcome::kUsageError) << c.problem;
        EXPECT_EQ(parsed.problem, c.problem);
    }
}

}  // namespace
}  // namespace tabulon
