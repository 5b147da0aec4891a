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
           " first=" + a.outputPlan().targetFor(a.inputs[0]).name();
}

void expectParses(const std::vector<Case>& cases) {
    for (const Case& c : cases)
        EXPECT_EQ(parsed(c.args, c.terminal), c.parsed) << joined(c.args);
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
        {{"-f", "doc", "in"}, "option -f: unknown format 'doc' (choose " + formatNames() + ")"},
        {{"--format=TAB", "in"}, "option --format: unknown format 'TAB' (choose " + formatNames() + ")"},
        {{"--headers", "Date,,From", "-m", "in"}, "option --headers: an empty header name in 'Date,,From'"},
        {{"--headers=Date,", "in"}, "option --headers: an empty header name in 'Date,'"},
        {{"-f", "xlsx", "--bom", "in"}, "--bom goes with --format csv only"},
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
    });
    // clang-format on
}

}  // namespace
}  // namespace tabulon
