// The command line of tabulon-convert: what each option sets, checked. The options are a table in
// convert_arguments.cc, one line each; a mailbox's are mailboxOptions()'s rows.
#pragma once

#include <string>
#include <vector>

#include "mail/header_cell.h"
#include "mailbox/mailbox_options.h"
#include "output/output_plan.h"
#include "output/table_format.h"

namespace tabulon {

struct ConvertArguments {
    std::string templatePath;  // "": the template the app would use
    std::string output;        // "": beside each input, or standard output for "-"
    bool quiet = false;
    bool messages = false;
    TableFormat format = TableFormat::kTab;
    bool formatGiven = false;  // -f was given; else -o's extension may choose
    bool bom = false;
    std::vector<std::string> headers;     // mail header names, in the order given
    DateStyle dates = DateStyle::kLocal;  // how header columns' dates are written
    // --columns: the template's names given on the command line, instead of -t.
    std::vector<std::string> columns;
    bool columnsGiven = false;
    bool columnsOut = false;  // --guess-template prints the names as --columns takes them
    bool report = false;
    bool strict = false;  // exit status 4 when the table may be wrong
    bool guessTemplate = false;
    bool newOnly = false;       // add to the output only messages it does not hold yet
    std::string attachments;    // "": files attached to messages are not saved
    bool updateTables = false;  // run each remembered table again with --new-only
    // With an imaps:// INPUT: which messages, and how to reach the server.
    MailboxOptions mailbox;
    std::vector<std::string> inputs;  // "-" is standard input
    std::string filesFrom;            // a list of more inputs, "-" standard input

    bool operator==(const ConvertArguments&) const = default;

    // Where the conversion of each input goes.
    OutputPlan outputPlan() const { return OutputPlan(output, formatExtension(format)); }
};

struct ParsedCommandLine {
    enum class Outcome { kRun, kHelp, kVersion, kUsageError };
    Outcome outcome = Outcome::kRun;
    std::string problem;  // for kUsageError: one line saying what is wrong
};

// Reads `args` (without the program's name) into `result`. With no INPUT,
// standard input is read unless it is a terminal.
ParsedCommandLine parseConvertArguments(const std::vector<std::string>& args, bool stdinIsTerminal,
                                        ConvertArguments* result);

// What is wrong with the number of inputs for the output given, or "".
std::string outputCountProblem(const ConvertArguments& args);

}  // namespace tabulon
