#include "mail/mail_folder.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "platform/file_info.h"

namespace tabulon {
namespace {

namespace fs = std::filesystem;

constexpr int kMaxDepth = 16;

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
            if (name.empty() || name[0] == '.' || !it->is_regular_file(error)) continue;
            if (isTrashed(name)) {
                ++out->trashed;
                continue;
            }
            messages.emplace_back(name, it->path());
        }
        if (error) return Status::Error("Cannot read \"" + sub.string() + "\": " + error.message());
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
    if (error) return Status::Error("Cannot read \"" + folder.string() + "\": " + error.message());
    std::sort(entries.begin(), entries.end(), comesBefore);
    for (const fs::path& entry : entries) {
        std::string name = entry.filename().string();
        if (name.empty() || name[0] == '.') continue;
        fs::file_status status = fs::symlink_status(entry, error);
        if (fs::is_directory(status)) {
            if (depth < kMaxDepth) {
                Status listed = list(entry, depth + 1, out);
                if (!listed.ok()) return listed;
            }
        } else if (fs::is_regular_file(status) && isMailFileName(name) &&
                   fs::file_size(entry, error) > 0) {
            out->files.push_back(entry.string());
        }
    }
    return Status::Ok();
}

}  // namespace

Status listMailFolder(const std::string& folder, MailFolderFiles* out) {
    return list(fs::path(folder), 0, out);
}

Status expandMailInputs(const std::vector<std::string>& inputs, std::vector<std::string>* files,
                        uint64_t* trashed) {
    files->clear();
    for (const std::string& input : inputs) {
        if (input == "-" || !isFolder(input)) {
            files->push_back(input);
            continue;
        }
        MailFolderFiles listed;
        Status status = listMailFolder(input, &listed);
        if (!status.ok()) return status;
        files->insert(files->end(), listed.files.begin(), listed.files.end());
        if (trashed != nullptr) *trashed += listed.trashed;
    }
    return Status::Ok();
}

}  // namespace tabulon
