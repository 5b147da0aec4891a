#include "cli/convert_arguments.h"

#include <algorithm>
#include <iterator>
#include <optional>

#include "platform/text.h"
#include "table/csv_text.h"

namespace tabulon {
namespace {

using Outcome = ParsedCommandLine::Outcome;

// Stores an option's value in the arguments; returns "" or what is wrong with it.
using Setter = std::string (*)(ConvertArguments& args, const std::string& value);

struct Option {
    const char* longName;  // used as --NAME, --NAME=VALUE or --NAME VALUE
    char shortName;        // used as -X, -X VALUE or -XVALUE; 0 when there is none
    bool takesValue;
    Setter set;
    const MailboxOption* mailbox = nullptr;  // instead of `set`: a mailbox option
};

std::string setFormat(ConvertArguments& args, const std::string& value) {
    std::optional<TableFormat> format = parseTableFormat(value);
    if (!format) return "unknown format '" + value + "' (choose " + formatNames() + ")";
    args.format = *format;
    args.formatGiven = true;
    return "";
}

std::string setHeaders(ConvertArguments& args, const std::string& value) {
    args.headers.clear();
    size_t start = 0;
    for (;;) {
        size_t comma = value.find(',', start);
        std::string name = value.substr(start, comma - start);
        if (name.empty()) return "an empty header name in '" + value + "'";
        args.headers.push_back(name);
        if (comma == std::string::npos) return "";
        start = comma + 1;
    }
}

std::string setDates(ConvertArguments& args, const std::string& value) {
    if (value != "local" && value != "raw") return "'" + value + "' is neither local nor raw";
    args.dates = value == "raw" ? DateStyle::kAsWritten : DateStyle::kLocal;
    return "";
}

// The names as one csv record: "Name,Email" or "Name,\"Street, number\"".
std::string setColumns(ConvertArguments& args, const std::string& value) {
    size_t end = 0;
    if (!readCsvRecord(value, &end, &args.columns) || end != value.size())
        return "'" + value + "' is not one line of comma-separated names";
    for (const std::string& name : args.columns) {
        if (name.empty()) return "an empty column name in '" + value + "'";
        if (name.find_first_of("\r\n") != std::string::npos)
            return "a column name holds a line end";
    }
    args.columnsGiven = true;
    return "";
}

// clang-format off
constexpr Option kOptions[] = {
    {"template", 't', true, [](ConvertArguments& a, const std::string& v) -> std::string { a.templatePath = v; return ""; }},
    {"output",   'o', true, [](ConvertArguments& a, const std::string& v) -> std::string { a.output = v; return ""; }},
    {"quiet",    'q', false, [](ConvertArguments& a, const std::string&) -> std::string { a.quiet = true; return ""; }},
    {"messages", 'm', false, [](ConvertArguments& a, const std::string&) -> std::string { a.messages = true; return ""; }},
    {"format",   'f', true, setFormat},
    {"bom",      0,   false, [](ConvertArguments& a, const std::string&) -> std::string { a.bom = true; return ""; }},
    {"headers",  0,   true, setHeaders},
    {"dates",    0,   true, setDates},
    {"columns",  0,   true, setColumns},
    {"columns-out", 0, false, [](ConvertArguments& a, const std::string&) -> std::string { a.columnsOut = true; return ""; }},
    {"report",   0,   false, [](ConvertArguments& a, const std::string&) -> std::string { a.report = true; return ""; }},
    {"strict",   0,   false, [](ConvertArguments& a, const std::string&) -> std::string { a.strict = true; return ""; }},
    {"new-only", 0,   false, [](ConvertArguments& a, const std::string&) -> std::string { a.newOnly = true; return ""; }},
    {"attachments",    0, true, [](ConvertArguments& a, const std::string& v) -> std::string { a.attachments = v; return ""; }},
    {"update-tables",  0, false, [](ConvertArguments& a, const std::string&) -> std::string { a.updateTables = true; return ""; }},
    {"guess-template", 0, false, [](ConvertArguments& a, const std::string&) -> std::string { a.guessTemplate = true; return ""; }},
    {"files-from",     0, true, [](ConvertArguments& a, const std::string& v) -> std::string { a.filesFrom = v; return ""; }},
};
// clang-format on

// kOptions, then the mailbox's.
const std::vector<Option>& options() {
    static const std::vector<Option> all = [] {
        std::vector<Option> all(std::begin(kOptions), std::end(kOptions));
        for (const MailboxOption& option : mailboxOptions())
            all.push_back({option.name, 0, true, nullptr, &option});
        return all;
    }();
    return all;
}

const Option* findLong(const std::string& name) {
    for (const Option& option : options()) {
        if (name == option.longName) return &option;
    }
    return nullptr;
}

const Option* findShort(char name) {
    for (const Option& option : options()) {
        if (option.shortName != 0 && name == option.shortName) return &option;
    }
    return nullptr;
}

// Applies `option`, spelled `spelling` on the command line, to `args`.
std::string apply(const Option& option, const std::string& spelling, const std::string& value,
                  ConvertArguments* args) {
    if (option.takesValue && value.empty()) return "option " + spelling + " has an empty value";
    std::string problem = option.mailbox ? setMailboxOption(args->mailbox, *option.mailbox, value)
                                         : option.set(*args, value);
    return problem.empty() ? "" : "option " + spelling + ": " + problem;
}

// A mailbox is read by the message conversion into one named output; its
// options need one.
std::string checkMailboxArguments(const ConvertArguments& args) {
    bool mailbox = std::any_of(args.inputs.begin(), args.inputs.end(),
                               [](const std::string& input) { return isMailboxAddress(input); });
    if (mailbox && (!args.messages || args.guessTemplate)) {
        return "a mailbox (imaps://...) is read with --messages";
    }
    if (mailbox && args.output.empty()) {
        return "a mailbox needs -o FILE (\"-o -\" writes to standard output)";
    }
    for (const MailboxOption& option : mailboxOptions()) {
        if (!valueOf(args.mailbox, option).empty() && !mailbox) {
            return std::string("--") + option.name + " goes with a mailbox INPUT (imaps://...)";
        }
    }
    return "";
}

}  // namespace

ParsedCommandLine parseConvertArguments(const std::vector<std::string>& args, bool stdinIsTerminal,
                                        ConvertArguments* result) {
    auto usageError = [](std::string problem) {
        return ParsedCommandLine{Outcome::kUsageError, std::move(problem)};
    };
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        bool hasNext = i + 1 < args.size();
        std::string problem;
        if (optionsEnded || arg == "-" || arg.empty() || arg[0] != '-') {
            result->inputs.push_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "--help" || arg == "-h") {
            return {Outcome::kHelp, ""};
        } else if (arg == "--version") {
            return {Outcome::kVersion, ""};
        } else if (arg.compare(0, 2, "--") == 0) {
            size_t equals = arg.find('=');
            std::string spelling = arg.substr(0, equals);
            const Option* option = findLong(spelling.substr(2));
            if (option == nullptr) return usageError("unknown option " + spelling);
            if (!option->takesValue && equals != std::string::npos) {
                return usageError("option " + spelling + " takes no value");
            }
            if (option->takesValue && equals == std::string::npos && !hasNext) {
                return usageError("option " + spelling + " needs a value");
            }
            std::string value = !option->takesValue           ? ""
                                : equals != std::string::npos ? arg.substr(equals + 1)
                                                              : args[++i];
            problem = apply(*option, spelling, value, result);
        } else {
            // One or more short options: -q, -qm, -t NAME, -tNAME, -qt NAME.
            for (size_t k = 1; k < arg.size() && problem.empty(); ++k) {
                std::string spelling = std::string("-") + arg[k];
                const Option* option = findShort(arg[k]);
                if (option == nullptr) return usageError("unknown option " + spelling);
                if (!option->takesValue) {
                    problem = apply(*option, spelling, "", result);
                    continue;
                }
                if (k + 1 == arg.size() && !hasNext) {
                    return usageError("option " + spelling + " needs a value");
                }
                std::string value = k + 1 < arg.size() ? arg.substr(k + 1) : args[++i];
                problem = apply(*option, spelling, value, result);
                break;
            }
        }
        if (!problem.empty()) return usageError(problem);
    }
    if (result->updateTables) {
        // The tables are remembered with their own options; only these apply to all.
        ConvertArguments plain;
        plain.inputs = result->inputs;
        plain.quiet = result->quiet;
        plain.mailbox.passwordFile = result->mailbox.passwordFile;
        plain.updateTables = true;
        if (!result->inputs.empty()) return usageError("--update-tables takes no INPUT");
        if (!(plain == *result)) {
            return usageError("--update-tables goes with -q and --password-file only");
        }
        return {Outcome::kRun, ""};
    }
    if (result->inputs.empty() && result->filesFrom.empty()) {
        if (stdinIsTerminal) return usageError("no input file given");
        result->inputs.push_back("-");
    }
    if (std::count(result->inputs.begin(), result->inputs.end(), "-") +
            (result->templatePath == "-") + (result->filesFrom == "-") >
        1) {
        return usageError("standard input (-) can be read only once");
    }
    // An output named "t.xlsx" is a workbook; -f saying otherwise is a mistake.
    if (std::optional<TableFormat> named =
            result->output == "-" ? std::nullopt : formatOfName(result->output)) {
        if (result->formatGiven && *named != result->format) {
            return usageError("-o " + result->output + " is named for " +
                              std::string(formatName(*named)) + ", but --format is " +
                              std::string(formatName(result->format)));
        }
        result->format = *named;
    }
    if (result->bom && !formatInfo(result->format).byteOrderMark) {
        return usageError("--bom goes with --format " + formatNames(&FormatInfo::byteOrderMark) +
                          " only");
    }
    if ((!result->headers.empty() || result->report || result->strict) && !result->messages) {
        return usageError(std::string(result->report   ? "--report"
                                      : result->strict ? "--strict"
                                                       : "--headers") +
                          " goes with --messages");
    }
    if (!result->attachments.empty() && (!result->messages || result->guessTemplate)) {
        return usageError("--attachments goes with --messages");
    }
    if (result->columnsGiven && !result->templatePath.empty()) {
        return usageError("--columns and -t both name the columns: give one of them");
    }
    if (result->dates != DateStyle::kLocal && !result->messages) {
        return usageError("--dates goes with --messages");
    }
    if (result->columnsOut && !result->guessTemplate) {
        return usageError("--columns-out goes with --guess-template");
    }
    if (result->newOnly && (!result->messages || result->guessTemplate)) {
        return usageError("--new-only goes with --messages");
    }
    if (result->newOnly && (result->output.empty() || result->output == "-")) {
        return usageError("--new-only needs -o FILE: the table the new messages are added to");
    }
    std::string problem = checkMailboxArguments(*result);
    if (!problem.empty()) return usageError(problem);
    problem = outputCountProblem(*result);
    if (!problem.empty()) return usageError(problem);
    return {Outcome::kRun, ""};
}

std::string outputCountProblem(const ConvertArguments& args) {
    // A message conversion or a template guess makes one output of all its inputs.
    bool oneOutput = args.messages || args.guessTemplate;
    if (!args.output.empty() && args.inputs.size() > 1 && !oneOutput) {
        return "-o takes one INPUT only; without it each output goes beside its input";
    }
    return "";
}

}  // namespace tabulon
