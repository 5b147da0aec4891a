static const char kUsage[] =
    R"(Usage: tabulon-convert [-f FORMAT] [--bom] [-t TEMPLATE] [-o OUTPUT] [-q] INPUT...
       tabulon-convert --messages [-f FORMAT] [--bom] [--headers NAME,...]
                       [--report] [-t TEMPLATE] [-o OUTPUT] [-q] INPUT...
       tabulon-convert --guess-template [-o TEMPLATE] INPUT...

Converts saved form mail into tab-delimited text: one column per field of a
Field Names template, one row per message.

Options:
  -t TEMPLATE  the Field Names file to use (default: the template selected in
               Tabulon, else the "Field Names" template that comes with it)
  -o OUTPUT    where to write (default: beside each INPUT, named after it with
               " Converted" and the format's extension appended); "-" writes
               to standard output
  -f, --format FORMAT
               tab (the default: tab-delimited, CR row ends), tsv, csv, xlsx
               or jsonl; csv and tsv put a ' before a value that a
               spreadsheet would run as a formula
  --bom        start a csv file with a byte-order mark (for Excel)
  -q           show no progress on standard error
  -m, --messages  one row per message: MIME decoded, values trimmed and
               over several lines, a missing field an empty cell; with -o,
               several INPUTs make one table
  --headers NAME,...  with --messages: columns for these mail headers first
  --report     with --messages: a summary on standard error at the end
  --guess-template  propose a Field Names file from the labels in the mail
  --help       show this text and exit
  --version    show the version and exit

An INPUT of "-" reads standard input and needs -o.
Exit status: 0 converted, 1 a file could not be read or written, 2 wrong usage.
)";

#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/preferences.h"
#include "cli/convert_job.h"
#include "cli/message_job.h"
#include "platform/file_info.h"
#include "platform/line_reader.h"
#include "table/table_writer.h"
#include "templates/field_names_file.h"

namespace tabulon {
namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

struct Arguments {
    std::string templatePath;
    std::string output;
    bool hasOutput = false;
    bool quiet = false;
    TableFormat format = TableFormat::kTab;
    TableOptions table;
    bool messages = false;
    bool guessTemplate = false;
    bool report = false;
    std::vector<std::string> headers;
    std::vector<std::string> inputs;
};

std::vector<std::string> splitCommas(const std::string& text) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(',', start);
        if (end == std::string::npos) end = text.size();
        if (end > start) parts.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

int usageError(const std::string& problem) {
    std::fprintf(stderr, "tabulon-convert: %s\n\n%s", problem.c_str(), kUsage);
    return kExitUsage;
}

// Returns -1 when the arguments are good, else the exit code to leave with.
int parseArguments(int argc, char** argv, Arguments* args) {
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (optionsEnded || arg == "-" || arg.empty() || arg[0] != '-') {
            args->inputs.push_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return kExitOk;
        } else if (arg == "--version") {
            std::printf("tabulon-convert %s\n", TABULON_VERSION);
            return kExitOk;
        } else if (arg == "-q") {
            args->quiet = true;
        } else if (arg == "--bom") {
            args->table.byteOrderMark = true;
        } else if (arg == "-m" || arg == "--messages") {
            args->messages = true;
        } else if (arg == "--guess-template") {
            args->guessTemplate = true;
        } else if (arg == "--report") {
            args->report = true;
        } else if (arg == "--headers" || arg.rfind("--headers=", 0) == 0) {
            if (arg.rfind("--headers=", 0) == 0) {
                args->headers = splitCommas(arg.substr(10));
            } else if (i + 1 < argc) {
                args->headers = splitCommas(argv[++i]);
            } else {
                return usageError("option " + arg + " needs a value");
            }
        } else if (arg == "-f" || arg == "--format" || arg.rfind("--format=", 0) == 0) {
            std::string name;
            if (arg.rfind("--format=", 0) == 0) {
                name = arg.substr(9);
            } else if (i + 1 < argc) {
                name = argv[++i];
            } else {
                return usageError("option " + arg + " needs a value");
            }
            std::optional<TableFormat> format = parseTableFormat(name);
            if (!format)
                return usageError("unknown format \"" + name + "\" (tab, tsv, csv, xlsx or jsonl)");
            args->format = *format;
        } else if (arg == "-t" || arg == "-o") {
            if (i + 1 >= argc) return usageError("option " + arg + " needs a value");
            std::string value = argv[++i];
            if (arg == "-t") {
                args->templatePath = value;
            } else {
                args->output = value;
                args->hasOutput = true;
            }
        } else {
            return usageError("unknown option " + arg);
        }
    }
    if (args->inputs.empty()) return usageError("no input file given");
    if (args->table.byteOrderMark && args->format != TableFormat::kCsv) {
        return usageError("--bom goes with --format csv only");
    }
    if (args->hasOutput && args->inputs.size() > 1 && !args->messages && !args->guessTemplate) {
        return usageError("-o takes one INPUT only; without it each output goes beside its input");
    }
    for (const std::string& input : args->inputs) {
        if (input == "-" && !args->hasOutput && !args->guessTemplate)
            return usageError("reading standard input needs -o");
    }
    return -1;
}

// The template the app would use: the one named in its preferences, else the
// bundled "Field Names".
std::string defaultTemplatePath() {
    std::vector<std::string> lines;
    if (readLines(preferencesPath(), &lines).ok()) return templatePath(parsePreferences(lines));
    return templatePath(Preferences());
}

bool loadTemplate(const std::string& path, FieldList* fields) {
    Status status = readFieldNames(path, fields);
    if (!status.ok() && !fileExists(path)) {
        std::fprintf(stderr, "tabulon-convert: The Field Names file is missing! (%s)\n",
                     path.c_str());
        return false;
    }
    if (!status.ok()) {
        std::fprintf(stderr, "tabulon-convert: %s\n", status.message().c_str());
        return false;
    }
    // An empty list is stored as an empty file.
    if (fields->size() == 1 && fields->front().empty() && fileSize(path) == 0) {
        std::fprintf(stderr, "tabulon-convert: The Field Names file is missing! (%s is empty)\n",
                     path.c_str());
        return false;
    }
    return true;
}

int run(int argc, char** argv) {
    Arguments args;
    int exitCode = parseArguments(argc, argv, &args);
    if (exitCode >= 0) return exitCode;
    if (args.guessTemplate) {
        ::signal(SIGPIPE, SIG_IGN);
        return runGuessTemplate(args.inputs, args.output);
    }

    std::string templateFile =
        args.templatePath.empty() ? defaultTemplatePath() : args.templatePath;
    FieldList fields;
    if (!loadTemplate(templateFile, &fields)) return kExitFailure;

    ::signal(SIGPIPE, SIG_IGN);
    bool showProgress = !args.quiet && ::isatty(STDERR_FILENO);
    if (args.messages) {
        MessageJobOptions job;
        job.inputs = args.inputs;
        job.output = args.output;
        job.format = args.format;
        job.table = args.table;
        job.headers = args.headers;
        job.fields = fields;
        job.report = args.report;
        job.showProgress = showProgress;
        return runMessageConversion(job);
    }
    exitCode = kExitOk;
    for (const std::string& input : args.inputs) {
        std::string output = args.hasOutput
                                 ? args.output
                                 : input + " Converted" + std::string(formatExtension(args.format));
        Status status = runConvertJob(input, output, fields, args.format, args.table, showProgress);
        if (status.isBrokenPipe()) break;
        if (!status.ok()) {
            std::fprintf(stderr, "tabulon-convert: %s\n", status.message().c_str());
            exitCode = kExitFailure;
        }
    }
    return exitCode;
}

}  // namespace
}  // namespace tabulon

int main(int argc, char** argv) {
    return tabulon::run(argc, argv);
}
