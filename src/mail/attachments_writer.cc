#include "mail/attachments_writer.h"

#include <filesystem>

#include "mail/attached_file_name.h"
#include "mail/new_rows.h"

namespace tabulon {

Status AttachmentsWriter::row(const std::vector<std::string>& cells) {
    std::vector<AttachedFile>& files = rows_.lastFiles();
    if (files.empty()) return next_.row(cells);
    // A row the table holds already is not written (MessageRowsWriter): nor are its files.
    if (tableHolds(seen_, rows_)) return next_.row(cells);
    ContainedFolder message;
    Status status = folder_.subfolder(rows_.lastFilesFolder(), &message);
    if (!status.ok()) return status;
    std::string list;
    for (AttachedFile& file : files) {
        if (file.tooLarge) {
            ++count_.tooLarge;
            continue;
        }
        std::string name = safeSavedName(file.name);
        count_.renamed += !file.name.empty() && name != file.name;
        std::string used;
        status =
            message.addFile([&](unsigned n) { return numberedName(name, n); }, file.bytes, &used);
        if (!status.ok()) return status;
        ++count_.saved;
        count_.bytes += file.bytes.size();
        if (!list.empty()) list += '\n';
        list += shown_ + rows_.lastFilesFolder() + "/" + used;
        std::string().swap(file.bytes);
    }
    cells_ = cells;
    size_t column = rows_.filesColumn();
    if (cells_.size() <= column) cells_.resize(column + 1);
    cells_[column] = list;
    return next_.row(cells_);
}

std::string folderFromTable(const std::string& folder, const std::string& table) {
    namespace fs = std::filesystem;
    std::error_code error;
    fs::path target = fs::absolute(folder, error).lexically_normal();
    fs::path from = table == "-" ? fs::current_path(error)
                                 : fs::absolute(table, error).lexically_normal().parent_path();
    fs::path relative = target.lexically_relative(from);
    std::string shown = relative.empty() ? target.string() : relative.string();
    if (shown == ".") return "";
    if (!shown.empty() && shown.back() == '/') shown.pop_back();
    return shown + "/";
}

}  // namespace tabulon
