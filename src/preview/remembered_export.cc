#include "preview/remembered_export.h"

#include <filesystem>

#include "mail/template_guess.h"
#include "mailbox/mailbox_options.h"
#include "platform/app_paths.h"
#include "platform/atomic_file.h"
#include "platform/private_folder.h"
#include "platform/sha256.h"

namespace tabulon {

RememberedTable rememberedExport(const ExportRequest& request, const std::string& templatePath) {
    std::error_code error;
    RememberedTable entry;
    entry.table = std::filesystem::absolute(request.output, error).lexically_normal().string();
    entry.folder = std::filesystem::path(entry.table).parent_path().string();
    std::vector<std::string>& args = entry.arguments;
    args = {"-m",
            "-q",
            "--new-only",
            "-t",
            templatePath,
            "-f",
            std::string(formatName(request.format))};
    if (request.table.byteOrderMark) args.push_back("--bom");
    if (!request.options.headers.empty()) {
        std::string names;
        for (const std::string& name : request.options.headers)
            names += (names.empty() ? "" : ",") + name;
        args.insert(args.end(), {"--headers", names});
    }
    if (!request.attachments.empty())
        args.insert(args.end(), {"--attachments", request.attachments});
    args.insert(args.end(), {"-o", entry.table});
    if (request.mailbox) {
        std::vector<std::string> mailbox =
            mailboxArguments({request.mailbox->search, request.mailbox->account.caFile, ""});
        args.insert(args.end(), mailbox.begin(), mailbox.end());
        args.push_back("--");
        args.push_back(request.mailbox->account.url);
    } else {
        args.push_back("--");
        args.insert(args.end(), request.inputs.begin(), request.inputs.end());
    }
    return entry;
}

std::string rememberedTemplatePath(const std::string& table) {
    return stateFolder() + "Tabulon/templates/" + sha256Hex(table).substr(0, 16);
}

Status rememberExport(const ExportRequest& request, const std::string& listPath) {
    std::error_code error;
    std::string table =
        std::filesystem::absolute(request.output, error).lexically_normal().string();
    std::string templatePath = rememberedTemplatePath(table);
    Status status = makePrivateFolder(folderOf(templatePath));
    if (status.ok()) status = replaceFile(templatePath, fieldNamesText(request.options.fields));
    if (!status.ok()) return status;
    return rememberTable(rememberedExport(request, templatePath), listPath);
}

}  // namespace tabulon
