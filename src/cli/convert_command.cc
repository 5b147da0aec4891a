#include "cli/convert_command.h"

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "mailbox/mailbox_options.h"
#include "platform/app_paths.h"
#include "platform/control_characters.h"
#include "platform/file_info.h"
#include "platform/file_source.h"
#include "platform/line_reader.h"
#include "platform/preferences.h"
#include "platform/temporary_files.h"
#include "templates/field_names_file.h"
#include "version.h"

namespace tabulon {
namespace {

// The usage text, in parts around what the format registry gives (the --bom
// line and the list of formats) and the mailbox options (mailboxOptions()).
static const char kUsageStart[] = R"(Usage: tabulon-convert [OPTION]... [INPUT]...
       tabulon-convert --messages [OPTION]... [INPUT]...
       tabulon-convert --messages -o OUTPUT [OPTION]... imaps://USER@HOST[:PORT]/FOLDER
       tabulon-convert --guess-template [--columns-out] [-o TEMPLATE] [INPUT]...
       tabulon-convert --update-tables [-q] [--password-file FILE]

Converts saved form mail into a table: one column per field of a Field Names
template. By default each line that begins with a field name gives a value and
the rows are tab-delimited; with --messages each mail message is one row. An
INPUT of "-", or no INPUT when standard input is not a terminal, reads
standard input.

Options:
  -t, --template=FILE  the Field Names file to use (default: the template
                       selected in Tabulon, else the "Field Names" template
                       that comes with it); a name that is no file here is
                       looked up in the Templates folder; - reads standard
                       input
      --columns=NAMES  the columns, instead of -t: names as a template lists
                       them, comma-separated, a name holding a comma in double
                       quotes as in csv (--columns 'Name,Email,"City, zip"')
  -o, --output=FILE    where to write (default: beside each INPUT, named after
                       it with " Converted" and the format's extension
                       appended, and standard output for standard input);
                       "-" writes to standard output
  -q, --quiet          show no progress on standard error
  -f, --format=FORMAT  the table's format (see Formats below); without it,
                       an OUTPUT named )";
static const char kUsageOptions[] =
    R"(  -m, --messages       one row per mail message: MIME decoded, each value as
                       the form laid it out (to the next label, its paragraphs
                       kept), a missing field an empty cell; with -o, several
                       INPUTs make one table. An INPUT may be a folder: saved
                       .eml and mbox files, a Maildir (trashed messages left
                       out), an "X.mbox" export or a mail client's folder,
                       subfolders included, read in name order
      --headers=NAMES  with --messages: first, columns for these mail headers,
                       comma-separated (for example Date,From,Subject); an
                       address as a mail program shows it (Tim Chapman
                       <timc@example.org>), its parts as From-Name and
                       From-Address (also Reply-To-..., To-..., Cc-...,
                       Sender-...); a date (Date, Resent-Date, Delivery-Date,
                       Received's date) as the local date and time
                       2026-11-30 09:14:02, a date cell in xlsx
      --dates=STYLE    with --messages: local (the default) or raw, the
                       mail's own text; a date that cannot be read stays as
                       written and --report counts it. --new-only follows
                       the style of the table it adds to
      --report         with --messages: tell on standard error what was read,
                       which fields were absent or empty, and what no field took
      --strict         with --messages: exit status 4 when the table may be
                       wrong: a line between a message's fields that no field
                       took, a label that may be the text above it or a
                       template's label inside another value, a field
                       answered twice, a line ending a value that may
                       follow the form, a column found in no message, a
                       value cut, a file of a folder not read (a field that
                       only some messages have is no reason)
      --new-only       with --messages and -o: add to the output only the
                       messages it does not hold yet (known by Message-ID and
                       body, else by content); )";
static const char kUsageOptionsNewOnlyEnd[] =
    R"(. What the output holds is kept in
                       $XDG_STATE_HOME/Tabulon/new-only/ (default
                       ~/.local/state) and committed with the output, so that
                       a run killed at any moment is finished or undone by the
                       next; an output without that record, with a damaged
                       one, or changed since, is refused rather than given a
                       row twice.
                       A run waits up to 60 seconds for another adding to the
                       same output, then gives up and changes nothing
      --files-from=LIST  also read the files LIST names, one to a line (or
                       each ended by a NUL); - reads the list from standard
                       input
      --attachments=DIR  with --messages: save each message's attached files
                       (not its text) in a folder of its own under DIR, named
                       by its date and digest, and list their paths, as seen
                       from the table, in an Attachments column (a template
                       field "Attachments" places it). Names from the mail
                       are made safe (no folders, no leading dot, no control
                       characters, 120 bytes at most, a taken name numbered);
                       nothing is written through a link or outside DIR;
                       files over 25 MB are counted, not saved
      --update-tables  make each table written with --new-only -o FILE again
                       with only its new messages, saying per table how many
                       rows it gained; a table moved or deleted since is
                       said and skipped. The tables are remembered in
                       $XDG_STATE_HOME/Tabulon/tables. A mailbox's password
                       comes from --password-file, ~/.netrc or the keyring,
                       never a prompt. The systemd user timer
                       tabulon-update-tables.timer runs it every 15 minutes
                       once enabled
      --guess-template propose a Field Names file from the labels in the mail
      --columns-out    with --guess-template: print the names as --columns
                       takes them, on one line
  -h, --help           show this text and exit
      --version        show the version and exit

A mailbox INPUT (imaps://, or imap:// with STARTTLS) is read over TLS with the
server's certificate checked; its messages, fetched by UID in batches, are
converted as they arrive and stay unread. The password comes from
--password-file, the ~/.netrc entry for this login at this host, the keyring
entry Tabulon keeps for it, or a prompt on the terminal, never from the command
line; a file of it that other users can read is refused.
)";
static const char kUsageAfterMailbox[] = R"(
Options taking a value accept it as the next argument or after "=" (long
forms) or directly after the letter (short forms).

Formats:
)";
static const char kUsageEnd[] = R"(
Exit status: 0 converted, 1 a file or mailbox could not be read or written,
2 wrong usage, 4 (with --strict) converted but the table may be wrong.
)";

std::string usageText() {
    std::string text = kUsageStart;
    // The formats named inside the options' text come from their entries.
    const std::string wrap = "\n" + std::string(23, ' ');  // an option's next line
    auto appended = [](const FormatInfo& f) { return f.addedTo != AddedTo::kReadBack; };
    auto readBack = [&](const FormatInfo& f) { return !appended(f); };
    auto named = [](const FormatInfo& f) { return !f.extension.empty(); };
    text += formatNames(named, " or ", &FormatInfo::extension) + " is written" + wrap +
            "in that format\n";
    text += "      --bom            with " + formatNames(&FormatInfo::byteOrderMark) +
            ": begin with a UTF-8 byte-order mark (for Excel)\n";
    text += kUsageOptions;
    text += formatNames(appended, " and ") + " outputs are" + wrap + "appended to, an " +
            formatNames(readBack, " and ") + " workbook is written anew with its" + wrap +
            "rows kept";
    text += kUsageOptionsNewOnlyEnd;
    text += mailboxOptionsHelp();
    text += kUsageAfterMailbox;
    const TableFormat defaultFormat = ConvertArguments().format;
    for (const FormatInfo& format : tableFormats()) {
        std::string name(format.name);
        name.resize(std::max<size_t>(name.size(), 6), ' ');
        text += "  " + name + " " + std::string(format.summary) +
                (format.format == defaultFormat ? " (the default)" : "") + "\n";
    }
    return text + kUsageEnd;
}

// The app's preferences, or their defaults when it never saved any.
Preferences appPreferences() {
    std::vector<std::string> lines;
    return readLines(preferencesPath(), &lines).ok() ? parsePreferences(lines) : Preferences();
}

}  // namespace

std::string convertTemplatePath(const std::string& given) {
    if (given.empty()) return templatePath(appPreferences());
    if (given == "-") return "/dev/stdin";
    if (given.find('/') != std::string::npos || fileExists(given)) return given;
    std::string named =
        childPath(resolvePath(withTemplateDefaults(appPreferences()).templatesFolder), given);
    return fileExists(named) ? named : given;
}

int startConvertCommand(int argc, char** argv, ConvertArguments* args) {
    ParsedCommandLine parsed = parseConvertArguments(
        std::vector<std::string>(argv + 1, argv + argc), ::isatty(STDIN_FILENO), args);
    switch (parsed.outcome) {
        case ParsedCommandLine::Outcome::kHelp:
            std::fputs(usageText().c_str(), stdout);
            return kExitOk;
        case ParsedCommandLine::Outcome::kVersion:
            std::printf("tabulon-convert %s\n", kVersion);
            return kExitOk;
        case ParsedCommandLine::Outcome::kUsageError:
            std::fprintf(stderr, "tabulon-convert: %s\nTry 'tabulon-convert --help'.\n",
                         parsed.problem.c_str());
            return kExitUsage;
        case ParsedCommandLine::Outcome::kRun:
            break;
    }
    ::signal(SIGPIPE, SIG_IGN);
    removeTemporariesOnTermination();
    return -1;
}

bool addListedInputs(ConvertArguments* args) {
    if (args->filesFrom.empty()) return true;
    std::string shown = "standard input";
    if (args->filesFrom != "-") shown = '"' + shownText(args->filesFrom).append(1, '"');
    std::unique_ptr<FileSource> source;
    Status status =
        args->filesFrom == "-"
            ? (source = FileSource::fromDescriptor(STDIN_FILENO, "standard input"), Status::Ok())
            : FileSource::open(args->filesFrom, &source);
    std::string list;
    char block[1 << 16];
    for (size_t count = 1; status.ok() && count > 0;) {
        status = source->read(block, sizeof block, &count);
        list.append(block, count);
    }
    if (!status.ok()) {
        std::fprintf(stderr, "tabulon-convert: --files-from: %s\n", status.message().c_str());
        return false;
    }
    const char end = list.find('\0') != std::string::npos ? '\0' : '\n';
    size_t given = args->inputs.size();
    for (size_t start = 0; start < list.size();) {
        size_t stop = std::min(list.find(end, start), list.size());
        std::string name = list.substr(start, stop - start);
        start = stop + 1;
        if (name.empty()) continue;
        if (isMailboxAddress(name)) {
            std::fprintf(stderr,
                         "tabulon-convert: the list of files %s names a mailbox (%s); give a "
                         "mailbox on the command line\n",
                         shown.c_str(), shownText(name).c_str());
            return false;
        }
        args->inputs.push_back(std::move(name));
    }
    if (args->inputs.size() == given) {
        std::fprintf(stderr, "tabulon-convert: the list of files %s names no file\n",
                     shown.c_str());
        return false;
    }
    if (std::string problem = outputCountProblem(*args); !problem.empty()) {
        std::fprintf(stderr, "tabulon-convert: %s\n", problem.c_str());
        return false;
    }
    return true;
}

// An empty file is read as one empty name, as the app reads it.
bool loadConvertTemplate(const ConvertArguments& args, FieldList* fields) {
    if (args.columnsGiven) {
        *fields = args.columns;
        return true;
    }
    std::string path = convertTemplatePath(args.templatePath);
    Status status = readFieldNames(path, fields);
    if (status.isNotFound()) {
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

int convertEachInput(const ConvertArguments& args, const JobConversion& conversion) {
    int exitCode = kExitOk;
    OutputPlan plan = args.outputPlan();
    for (const std::string& input : args.inputs) {
        Status status =
            runConvertJob(input, plan.targetFor(input), showsProgress(args), conversion);
        if (status.isBrokenPipe()) break;
        if (!status.ok()) {
            std::fprintf(stderr, "tabulon-convert: %s\n", status.message().c_str());
            exitCode = kExitFailure;
        }
    }
    return exitCode;
}

bool showsProgress(const ConvertArguments& args) {
    return !args.quiet && ::isatty(STDERR_FILENO);
}

}  // namespace tabulon
