#include "cli/convert_arguments.h"

#include <gtest/gtest.h>

namespace tabulon {
namespace {

using Outcome = ParsedCommandLine::Outcome;
using Args = std::vector<std::string>;

struct Case {
    Args args;
    std::string parsed;     // as parsed() tells it
    bool terminal = false;  // standard input is a terminal
};

std::string joined(const Args& items) {
    std::string text;
    for (const std::string& item : items)
        text += item + ",";
    return text;
}

// The parse of `args` in one line: what was asked for, or what is wrong.
std::string parsed(const Args& args, bool terminal) {
    ConvertArguments a;
    ParsedCommandLine result = parseConvertArguments(args, terminal, &a);
    if (result.outcome == Outcome::kUsageError) return result.problem;
    if (result.outcome != Outcome::kRun)
        return result.outcome == Outcome::kHelp ? "help" : "version";
    return "t=" + a.templatePath + " o=" + a.output + " in=" + joined(a.inputs) +
           " f=" + std::string(formatExtension(a.format)) + (a.quiet ? " q" : "") +
           (a.messages ? " m" : "") + (a.bom ? " bom" : "") + (a.report ? " report" : "") +
           (a.guessTemplate ? " guess" : "") +
           (a.headers.empty() ? "" : " h=" + joined(a.headers)) +
           " first=" + a.outputFor(a.inputs[0]);
}

void expectParses(const std::vector<Case>& cases) {
    for (const Case& c : cases)
        EXPECT_EQ(parsed(c.args, c.terminal), c.parsed) << joined(c.args);
}

TEST(ConvertArguments, WhatEachCallAsksFor) {
    const std::string usual = "t=T o=out in=in, f= first=out";
    // clang-format off
    expectParses({
        {{"-t", "T", "-o", "out", "in"}, usual},
        {{"--template=T", "--output=out", "in"}, usual},
        {{"--template", "T", "--output", "out", "in"}, usual},
        {{"-tT", "-oout", "in"}, usual},
        {{"in", "-qt", "T", "-o", "out"}, "t=T o=out in=in, f= q first=out"},
        {{"-t", "-x", "-o", "out", "in"}, "t=-x o=out in=in, f= first=out"},  // a value may begin with "-"
        // Standard input and output for a filter, each output beside its input otherwise.
        {{"-q"}, "t= o= in=-, f= q first=-"},
        {{"a.txt", "-"}, "t= o= in=a.txt,-, f= first=a.txt Converted"},
        {{"--", "-q", "--help"}, "t= o= in=-q,--help, f= first=-q Converted", true},
        {{"-m", "-f", "csv", "--bom", "--headers=Date,From,Subject", "--report", "in"},
         "t= o= in=in, f=.csv m bom report h=Date,From,Subject, first=in Converted.csv"},
        {{"--guess-template", "--format=jsonl", "-mfxlsx", "in"}, "t= o= in=in, f=.xlsx m guess first=in Converted.xlsx"},
        {{"-m", "-o", "x", "a", "b"}, "t= o=x in=a,b, f= m first=x"},  // one table of all inputs
        // Help and version end the parse, but not before an unknown option.
        {{"in", "--frobnicate", "--help"}, "unknown option --frobnicate"},
        {{"in", "-o", "x", "-h"}, "help"},
        {{"--version", "in"}, "version"},
    });
    // clang-format on
}

TEST(ConvertArguments, UsageErrorsSayWhatIsWrong) {
    // clang-format off
    expectParses({
        {{}, "no input file given", true},
        {{"-t", "", "in"}, "option -t has an empty value"},
        {{"--template=", "in"}, "option --template has an empty value"},
        {{"in", "-t"}, "option -t needs a value"},
        {{"in", "--output"}, "option --output needs a value"},
        {{"--quiet=yes", "in"}, "option --quiet takes no value"},
        {{"--frobnicate", "in"}, "unknown option --frobnicate"},
        {{"-qz", "in"}, "unknown option -z"},
        {{"--temp=T", "in"}, "unknown option --temp"},
        {{"-f", "doc", "in"}, "option -f: unknown format 'doc' (choose tab, tsv, csv, xlsx or jsonl)"},
        {{"--format=TAB", "in"}, "option --format: unknown format 'TAB' (choose tab, tsv, csv, xlsx or jsonl)"},
        {{"--headers", "Date,,From", "-m", "in"}, "option --headers: an empty header name in 'Date,,From'"},
        {{"--headers=Date,", "in"}, "option --headers: an empty header name in 'Date,'"},
        {{"-f", "xlsx", "--bom", "in"}, "--bom goes with --format csv only"},
        {{"--headers=Date", "in"}, "--headers goes with --messages"},
        {{"--report", "in"}, "--report goes with --messages"},
        {{"a", "b", "-o", "x"}, "-o takes one INPUT only; without it each output goes beside its input"},
        {{"-", "-"}, "standard input (-) can be read only once"},
    });
    // clang-format on
}

}  // namespace
}  // namespace tabulon
