static const char kUsage[] = R"(Usage: tabulon-convert [OPTION]... [INPUT]...

Converts saved form mail into tab-delimited text: one column per field of a
Field Names template, one row per message. An INPUT of "-", or no INPUT when
standard input is not a terminal, reads standard input.

Options:
  -t, --template=FILE  the Field Names file to use (default: the template
                       selected in Tabulon, else the "Field Names" template
                       that comes with it)
  -o, --output=FILE    where to write (default: beside each INPUT, named after
                       it with " Converted" appended, and standard output for
                       standard input); "-" writes to standard output
  -q, --quiet          show no progress on standard error
  -m, --messages       one row per mail message, its fields read from the
                       decoded body
  -f, --format=FORMAT  tab (the default), tsv, csv, xlsx or jsonl
      --bom            begin the output with a UTF-8 byte-order mark
      --headers=NAMES  add columns for these mail headers, comma-separated
                       (for example Date,From,Subject)
      --report         tell on standard error what was read and what was missing
      --guess-template propose a Field Names file from the labels in the mail
  -h, --help           show this text and exit
      --version        show the version and exit

Options taking a value accept it as the next argument or after "=" (long
forms) or directly after the letter (short forms).
Exit status: 0 converted, 1 a file could not be read or written, 2 wrong usage.
)";

#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/preferences.h"
#include "cli/convert_arguments.h"
#include "cli/convert_job.h"
#include "platform/file_info.h"
#include "platform/line_reader.h"
#include "platform/temporary_files.h"
#include "templates/field_names_file.h"

namespace tabulon {
namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

int usageError(const std::string& problem) {
    std::fprintf(stderr, "tabulon-convert: %s\nTry 'tabulon-convert --help'.\n", problem.c_str());
    return kExitUsage;
}

// The first option given that this build parses but does not carry out yet.
std::string optionNotCarriedOut(const ConvertArguments& args) {
    if (args.messages) return "--messages";
    if (!args.headers.empty()) return "--headers";
    if (args.report) return "--report";
    if (args.guessTemplate) return "--guess-template";
    return "";
}

// The template the app would use: the one named in its preferences, else the
// bundled "Field Names".
std::string defaultTemplatePath() {
    std::vector<std::string> lines;
    if (readLines(preferencesPath(), &lines).ok()) return templatePath(parsePreferences(lines));
    return templatePath(Preferences());
}

// An empty file is read as one empty name, as the app reads it.
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
    return true;
}

int run(int argc, char** argv) {
    ConvertArguments args;
    ParsedCommandLine parsed = parseConvertArguments(
        std::vector<std::string>(argv + 1, argv + argc), ::isatty(STDIN_FILENO), &args);
    switch (parsed.outcome) {
        case ParsedCommandLine::Outcome::kHelp:
            std::fputs(kUsage, stdout);
            return kExitOk;
        case ParsedCommandLine::Outcome::kVersion:
            std::printf("tabulon-convert %s\n", TABULON_VERSION);
            return kExitOk;
        case ParsedCommandLine::Outcome::kUsageError:
            return usageError(parsed.problem);
        case ParsedCommandLine::Outcome::kRun:
            break;
    }
    std::string notYet = optionNotCarriedOut(args);
    if (!notYet.empty()) return usageError(notYet + " is not available in this build");

    std::string templateFile =
        args.templatePath.empty() ? defaultTemplatePath() : args.templatePath;
    FieldList fields;
    if (!loadTemplate(templateFile, &fields)) return kExitFailure;

    ::signal(SIGPIPE, SIG_IGN);
    removeTemporariesOnTermination();
    bool showProgress = !args.quiet && ::isatty(STDERR_FILENO);
    int exitCode = kExitOk;
    for (const std::string& input : args.inputs) {
        Status status = runConvertJob(input, args.outputFor(input), fields, args.format,
                                      TableOptions{args.bom}, showProgress);
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
