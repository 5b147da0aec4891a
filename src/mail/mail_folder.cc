#include "mail/mail_folder.h"

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "output/table_writers.h"
#include "platform/file_info.h"

namespace tabulon {
namespace {

namespace fs = std::filesystem;

bool isDirectory(const fs::path& path) {
    std::error_code error;
    return fs::is_directory(fs::symlink_status(path, error));
}

bool isMaildir(const fs::path& folder) {
    return isDirectory(folder / "cur") || isDirectory(folder / "new");
}

// A Maildir name's flags follow ":2,"; "T" marks a message trashed.
bool isTrashed(const std::string& name) {
    size_t info = name.rfind(":2,");
    return info != std::string::npos && name.find('T', info + 3) != std::string::npos;
}

// Files a folder of saved mail holds besides its messages: indexes, settings,
// and what no mail client saves a message as.
bool isMailFileName(const std::string& name) {
    if (name.empty() || name[0] == '.') return false;
    size_t dot = name.rfind('.');
    if (dot == std::string::npos) return true;
    std::string extension = name.substr(dot + 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (const char* mail : {"eml", "mbox", "mbx", "txt", "mail", "msg822"}) {
        if (extension == mail) return true;
    }
    return false;
}

Status list(const fs::path& folder, int depth, MailFolderFiles* out);

bool isNumber(const std::string& name) {
    return !name.empty() && name.size() <= 18 &&
           std::all_of(name.begin(), name.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Path order, byte for byte; but an MH folder's messages, files named by their
// number ("1", "2", "10"), come in the order of their numbers.
bool comesBefore(const fs::path& a, const fs::path& b) {
    std::string nameA = a.filename().string(), nameB = b.filename().string();
    if (a.parent_path() == b.parent_path() && isNumber(nameA) && isNumber(nameB) &&
        nameA.size() != nameB.size())
        return nameA.size() < nameB.size();
    return a < b;
}

Status listMaildir(const fs::path& folder, MailFolderFiles* out) {
    std::vector<std::pair<std::string, fs::path>> messages;  // by name, cur/ and new/ together
    for (const char* part : {"cur", "new"}) {
        fs::path sub = folder / part;
        if (!isDirectory(sub)) continue;
        std::error_code error;
        for (fs::directory_iterator it(sub, error), end; !error && it != end; it.increment(error)) {
            std::string name = it->path().filename().string();
            // A message renamed away meanwhile is not there; a link is not followed.
            std::error_code gone;
            if (name.empty() || name[0] == '.' || !fs::is_regular_file(it->symlink_status(gone)))
                continue;
            if (isTrashed(name)) {
                ++out->trashed;
                continue;
            }
            messages.emplace_back(name, it->path());
        }
        if (error)
            return Status::IoError("Cannot read \"" + sub.string() + "\": " + error.message());
    }
    std::sort(messages.begin(), messages.end());
    for (const auto& [name, path] : messages)
        out->files.push_back(path.string());
    return Status::Ok();
}

Status list(const fs::path& folder, int depth, MailFolderFiles* out) {
    if (isMaildir(folder)) return listMaildir(folder, out);
    // Apple Mail exports a mailbox as a folder "X.mbox" holding its messages in "mbox".
    fs::path bundle = folder / "mbox";
    std::error_code error;
    if (folder.extension() == ".mbox" && fs::is_regular_file(bundle, error)) {
        out->files.push_back(bundle.string());
        return Status::Ok();
    }
    std::vector<fs::path> entries;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
        entries.push_back(it->path());
    if (error)
        return Status::IoError("Cannot read \"" + folder.string() + "\": " + error.message());
    std::sort(entries.begin(), entries.end(), comesBefore);
    for (const fs::path& entry : entries) {
        std::string name = entry.filename().string();
        if (name.empty() || name[0] == '.') continue;
        fs::file_status status = fs::symlink_status(entry, error);
        if (fs::is_directory(status)) {
            if (depth >= kMaxFolderDepth) {
                out->tooDeep.push_back(entry.string());
                continue;
            }
            Status listed = list(entry, depth + 1, out);
            if (!listed.ok()) return listed;
        } else if ((name[0] == ',' || name[0] == '#') && isNumber(name.substr(1))) {
            ++out->trashed;  // a message an MH program removed, kept as ",N" until purged
        } else if (fs::is_regular_file(status) && isMailFileName(name) &&
                   fs::file_size(entry, error) > 0) {
            out->files.push_back(entry.string());
        }
    }
    return Status::Ok();
}

// A folder that a mail program keeps: a Maildir, an MH folder, a folder of mbox
// files beside their .msf indexes, or the .sbd folder of an mbox's subfolders.
bool isMailStore(const fs::path& folder) {
    std::error_code error;
    if (folder.extension() == ".sbd" || isMaildir(folder) ||
        fs::exists(folder / ".mh_sequences", error))
        return true;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        if (it->path().extension() == ".msf") return true;
    }
    return false;
}

}  // namespace

bool holdsOneMessage(const std::string& path) {
    fs::path file(path);
    std::string name = file.filename().string();
    if (isNumber(name)) return true;
    std::string extension = file.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (extension == ".eml") return true;
    fs::path part = file.parent_path();
    return (part.filename() == "cur" || part.filename() == "new") && isMaildir(part.parent_path());
}

std::string outputBaseFor(const std::string& input) {
    if (input == "-") return input;
    std::error_code error;
    fs::path path = fs::absolute(input, error).lexically_normal();
    if (error || !path.has_filename()) return input;
    fs::path outer;
    for (fs::path folder = path.parent_path(); folder.has_relative_path() && isMailStore(folder);
         folder = folder.parent_path())
        outer = folder;
    if (outer.empty()) return input;
    return (outer.parent_path() / path.filename()).string();
}

bool isTableOf(int fd, const std::vector<std::string>& columns) {
    char start[4096];
    ssize_t got = ::pread(fd, start, sizeof start, 0);
    if (got <= 0) return false;
    std::string_view text(start, static_cast<size_t>(got));
    std::string_view line = text.substr(0, text.find_first_of("\r\n"));
    if (line.size() == text.size()) return false;                    // no whole first line
    if (line.substr(0, 3) == "\xEF\xBB\xBF") line.remove_prefix(3);  // a csv's byte-order mark
    for (const FormatInfo& format : tableFormats()) {
        if (format.addedTo != AddedTo::kAfterHeaderRow) continue;  // no header line
        StringSink header;
        std::unique_ptr<TableWriter> writer = makeTableWriter(format.format, header, {});
        if (!writer->begin(columns).ok() || !writer->finish().ok()) continue;
        std::string_view rendered = header.text;
        if (rendered.substr(0, 3) == "\xEF\xBB\xBF") rendered.remove_prefix(3);
        rendered = rendered.substr(0, rendered.find_first_of("\r\n"));
        if (!rendered.empty() && rendered == line) return true;
    }
    return false;
}

Status listMailFolder(const std::string& folder, MailFolderFiles* out) {
    return list(fs::path(folder), 0, out);
}

Status expandMailInputs(const std::vector<std::string>& inputs, MailFolderFiles* out) {
    for (const std::string& input : inputs) {
        if (input == "-" || !isFolder(input)) {
            out->files.push_back(input);
            continue;
        }
        size_t first = out->files.size();
        Status status = listMailFolder(input, out);
        if (!status.ok()) return status;
        out->listed.insert(out->files.begin() + static_cast<std::ptrdiff_t>(first),
                           out->files.end());
    }
    return Status::Ok();
}

void countLeftOut(const MailFolderFiles& inputs, MessageRows& rows) {
    rows.countTrashed(inputs.trashed);
    for (const std::string& folder : inputs.tooDeep)
        rows.countFolderTooDeep(folder);
}

Status openMailFile(const std::string& path, const MailFolderFiles& inputs, MessageRows& rows,
                    std::unique_ptr<FileSource>* source, std::string* leftOut) {
    source->reset();
    std::unique_ptr<FileSource> opened;
    Status status = FileSource::open(path, &opened);
    if (!status.ok()) {
        if (!inputs.listed.count(path)) return status;
        rows.countUnreadFile(status.message());
        if (leftOut) *leftOut = status.message();
        return Status::Ok();
    }
    if (isTableOf(opened->descriptor(), rows.columnNames())) {
        rows.countOwnTable();
        if (leftOut) *leftOut = "\"" + path + "\" is a table Tabulon wrote, not mail";
        return Status::Ok();
    }
    *source = std::move(opened);
    return Status::Ok();
}

}  // namespace tabulon
