#include "mail/remembered_tables.h"

#include <algorithm>
#include <chrono>

#include "platform/app_paths.h"
#include "platform/atomic_file.h"
#include "platform/file_info.h"
#include "platform/file_lock.h"
#include "platform/line_reader.h"
#include "platform/private_folder.h"

namespace tabulon {
namespace {

constexpr std::chrono::seconds kLockWait(30);
constexpr const char kHeading[] =
    "# Tables tabulon-convert --update-tables brings up to date; delete a table's lines to "
    "forget it\n";

std::string escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\\') {
            out += "\\\\";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else {
            out += c;
        }
    }
    return out;
}

std::string unescaped(std::string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        char next = text[++i];
        out += next == 'n' ? '\n' : next == 'r' ? '\r' : next;
    }
    return out;
}

}  // namespace

std::string rememberedTablesPath() {
    return stateFolder() + "Tabulon/tables";
}

std::string rememberedTablesText(const std::vector<RememberedTable>& tables) {
    std::string text = kHeading;
    for (const RememberedTable& entry : tables) {
        text += "\ntable " + escaped(entry.table) + "\nfolder " + escaped(entry.folder) + "\n";
        for (const std::string& argument : entry.arguments)
            text += "argument " + escaped(argument) + "\n";
    }
    return text;
}

std::vector<RememberedTable> parseRememberedTables(const std::vector<std::string>& lines) {
    std::vector<RememberedTable> tables;
    for (const std::string& line : lines) {
        std::string_view text = line;
        size_t space = text.find(' ');
        std::string_view key = text.substr(0, space);
        std::string value = space == text.npos ? "" : unescaped(text.substr(space + 1));
        if (key == "table") {
            tables.push_back({value, "", {}});
        } else if (tables.empty()) {
            continue;  // the heading, or lines before any table
        } else if (key == "folder") {
            tables.back().folder = value;
        } else if (key == "argument") {
            tables.back().arguments.push_back(value);
        }
    }
    std::erase_if(tables, [](const RememberedTable& entry) {
        return entry.table.empty() || entry.folder.empty() || entry.arguments.empty();
    });
    return tables;
}

Status readRememberedTables(const std::string& path, std::vector<RememberedTable>* tables) {
    tables->clear();
    if (!fileExists(path)) return Status::Ok();
    std::vector<std::string> lines;
    Status status = readLines(path, &lines, 16 << 20);
    if (status.ok()) *tables = parseRememberedTables(lines);
    return status;
}

Status rememberTable(const RememberedTable& entry, const std::string& path) {
    Status status = makePrivateFolder(folderOf(path));
    FileLock lock;
    bool busy = false;
    if (status.ok()) status = lock.take(path + ".lock", kLockWait, &busy);
    if (status.ok() && busy) {
        status = Status::FileError(Status::Code::kIoError, path,
                                   "Cannot remember the table in \"" + path +
                                       "\": another run held it for " +
                                       std::to_string(kLockWait.count()) + " seconds");
    }
    std::vector<RememberedTable> tables;
    if (status.ok()) status = readRememberedTables(path, &tables);
    if (!status.ok()) return status;
    auto same = std::find_if(tables.begin(), tables.end(), [&](const RememberedTable& kept) {
        return kept.table == entry.table;
    });
    if (same != tables.end()) {
        if (*same == entry) return Status::Ok();
        *same = entry;
    } else {
        tables.push_back(entry);
    }
    return replaceFile(path, rememberedTablesText(tables));
}

}  // namespace tabulon
