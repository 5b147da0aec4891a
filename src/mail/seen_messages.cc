#include "mail/seen_messages.h"

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "mail/message_identity.h"
#include "platform/app_paths.h"
#include "platform/atomic_file.h"
#include "platform/private_folder.h"

namespace tabulon {
namespace {

constexpr char kFirstLine[] = "tabulon new-only 1";

// How long a run waits for another adding to the same table.
constexpr std::chrono::seconds kLockWait(60);

// The table's size and time of change ("size N time S.NS"), or "" when there is
// no file: what tells a table changed by anything but --new-only.
std::string tableStamp(const std::string& path) {
    struct stat info;
    if (stat(path.c_str(), &info) != 0) return "";
    return "size " + std::to_string(info.st_size) + " time " + std::to_string(info.st_mtim.tv_sec) +
           "." + std::to_string(info.st_mtim.tv_nsec);
}

std::string absolutePath(const std::string& path) {
    // Links followed, so that one table has one record however it is named.
    std::error_code error;
    std::filesystem::path full = std::filesystem::absolute(path, error).lexically_normal();
    std::filesystem::path real = std::filesystem::weakly_canonical(full, error);
    return (error ? full : real).string();
}

}  // namespace

std::string SeenMessages::recordPath(const std::string& output) {
    return stateFolder() + "Tabulon/new-only/" + sha256Hex(absolutePath(output));
}

Status SeenMessages::load(const std::string& output, const std::function<bool()>& stopped) {
    output_ = output;
    record_ = recordPath(output);
    seen_.clear();
    Status locked = makePrivateFolder(folderOf(record_));
    bool busy = false;
    if (locked.ok()) locked = lock_.take(record_ + ".lock", kLockWait, &busy, stopped);
    if (!locked.ok()) return locked;
    if (busy) {
        return Status::FileError(
            output, "\"" + output + "\" is being updated by another run (waited " +
                        std::to_string(kLockWait.count()) + " seconds); nothing was changed");
    }
    std::string stamp = tableStamp(output);
    tableExists_ = !stamp.empty();
    if (!tableExists_) return Status::Ok();  // an old record is of an older table
    std::string startOver = "; move it away (or delete it) to start a new table";
    std::ifstream in(record_, std::ios::binary);
    std::string line;
    if (!in.is_open()) {
        return Status::FileError(output, "\"" + output +
                                             "\" exists, but there is no record of which messages "
                                             "it holds (kept in " +
                                             record_ + ")" + startOver);
    }
    bool same =
        std::getline(in, line) && line == kFirstLine && std::getline(in, line) && line == stamp;
    if (!same) {
        return Status::FileError(output, "\"" + output +
                                             "\" changed since new messages were last added to "
                                             "it, so which ones it holds is not known" +
                                             startOver);
    }
    while (std::getline(in, line))
        seen_.insert(line);
    if (in.bad()) return Status::FileError(record_, "Cannot read \"" + record_ + "\"");
    return Status::Ok();
}

Status SeenMessages::save() {
    Status status = makePrivateFolder(folderOf(record_));
    if (!status.ok()) return status;
    std::string text = std::string(kFirstLine) + "\n" + tableStamp(output_) + "\n";
    for (const std::string& identity : seen_)
        text += identity + "\n";
    return replaceFile(record_, text);
}

}  // namespace tabulon
