#include "cli/update_tables.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "cli/convert_command.h"
#include "cli/exit_status.h"
#include "cli/message_job.h"
#include "mail/remembered_tables.h"
#include "mailbox/mailbox_options.h"
#include "platform/file_info.h"
#include "table/utf8_text.h"

namespace tabulon {
namespace {

std::string workingFolder() {
    std::error_code error;
    return std::filesystem::current_path(error).string();
}

std::string absoluteOf(const std::string& path) {
    std::error_code error;
    return std::filesystem::absolute(path, error).lexically_normal().string();
}

// Makes the remembered table again with only its new messages: 0, 1 or 4 as
// tabulon-convert would exit; `added` gets its new rows.
int update(const RememberedTable& entry, const std::string& passwordFile, uint64_t* added) {
    if (::chdir(entry.folder.c_str()) != 0) {
        std::fprintf(stderr, "tabulon-convert: Cannot go to the folder \"%s\" it was made in\n",
                     shownText(entry.folder).c_str());
        return kExitFailure;
    }
    ConvertArguments args;
    ParsedCommandLine parsed = parseConvertArguments(entry.arguments, true, &args);
    if (parsed.outcome != ParsedCommandLine::Outcome::kRun || !args.newOnly || !args.messages) {
        std::fprintf(stderr, "tabulon-convert: its remembered options no longer apply: %s\n",
                     parsed.problem.c_str());
        return kExitFailure;
    }
    args.quiet = true;
    args.report = false;
    bool mailbox = std::any_of(args.inputs.begin(), args.inputs.end(), isMailboxAddress);
    if (mailbox && args.mailbox.passwordFile.empty()) args.mailbox.passwordFile = passwordFile;
    FieldList fields;
    if (!loadConvertTemplate(args, &fields)) return kExitFailure;
    MessageJobOptions job = messageJobOptions(args, fields);
    job.neverPrompt = true;
    MessageReport report;
    int exitCode = runMessageConversion(job, &report);
    *added = report.rowsWritten;
    return exitCode;
}

}  // namespace

void rememberForUpdates(const ConvertArguments& args, int argc, char** argv) {
    if (args.output.empty() || args.output == "-" ||
        std::find(args.inputs.begin(), args.inputs.end(), "-") != args.inputs.end() ||
        args.templatePath == "-")
        return;  // nothing that can be made again
    RememberedTable entry{absoluteOf(args.output), workingFolder(),
                          std::vector<std::string>(argv + 1, argv + argc)};
    // The template is the one this run used, not whichever the app selects later.
    if (args.templatePath.empty())
        entry.arguments.insert(entry.arguments.begin(),
                               {"-t", absoluteOf(convertTemplatePath(""))});
    Status status = rememberTable(entry, rememberedTablesPath());
    if (!status.ok()) {
        std::fprintf(stderr,
                     "tabulon-convert: \"%s\" was written, but --update-tables will not know "
                     "it: %s\n",
                     shownText(args.output).c_str(), status.message().c_str());
    }
}

int runUpdateTables(const ConvertArguments& args) {
    std::vector<RememberedTable> tables;
    Status status = readRememberedTables(rememberedTablesPath(), &tables);
    if (!status.ok()) {
        std::fprintf(stderr, "tabulon-convert: %s\n", status.message().c_str());
        return kExitFailure;
    }
    if (tables.empty()) {
        std::printf(
            "No tables to update: a table made with --new-only -o FILE is "
            "remembered for this.\n");
        return kExitOk;
    }
    std::string passwordFile =
        args.mailbox.passwordFile.empty() ? "" : absoluteOf(args.mailbox.passwordFile);
    int exitCode = kExitOk;
    for (const RememberedTable& entry : tables) {
        std::string shown = shownText(entry.table, 400);
        if (!fileExists(entry.table)) {
            std::printf("\"%s\": moved or deleted since it was made; skipped\n", shown.c_str());
            continue;
        }
        uint64_t added = 0;
        int code = update(entry, passwordFile, &added);
        if (code == kExitFailure) {
            std::printf("\"%s\": not updated (see above)\n", shown.c_str());
            exitCode = kExitFailure;
        } else {
            std::printf("\"%s\": %llu %s added\n", shown.c_str(),
                        static_cast<unsigned long long>(added), added == 1 ? "row" : "rows");
        }
        std::fflush(stdout);
    }
    return exitCode;
}

}  // namespace tabulon
