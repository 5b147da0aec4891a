#include "output/seen_messages.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

#include "platform/app_paths.h"
#include "platform/atomic_file.h"
#include "platform/private_folder.h"
#include "platform/sha256.h"

namespace tabulon {
namespace {

constexpr char kFirstLine[] = "tabulon new-only 2";
// An older record: the same without its last line, "end N".
constexpr char kOlderFirstLine[] = "tabulon new-only 1";
constexpr char kPending[] = "pending ";
constexpr char kNoTable[] = "none";

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

// "size N sha256 HEX" of the file at `path`, or "" when it cannot be read.
std::string contentStamp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    Sha256 digest;
    std::vector<char> block(1 << 20);
    uint64_t size = 0;
    while (in.read(block.data(), static_cast<std::streamsize>(block.size())) || in.gcount() > 0) {
        digest.add(block.data(), static_cast<size_t>(in.gcount()));
        size += static_cast<uint64_t>(in.gcount());
    }
    if (!in.eof() || in.bad()) return "";
    return "size " + std::to_string(size) + " sha256 " + digest.hex();
}

std::string absolutePath(const std::string& path) {
    // Links followed, so that one table has one record however it is named.
    std::error_code error;
    std::filesystem::path full = std::filesystem::absolute(path, error).lexically_normal();
    std::filesystem::path real = std::filesystem::weakly_canonical(full, error);
    return (error ? full : real).string();
}

const char kStartOver[] = "; move it away (or delete it) to start a new table";

}  // namespace

SeenMessages::SeenMessages() = default;
SeenMessages::~SeenMessages() = default;

std::string SeenMessages::recordPath(const std::string& output) {
    return stateFolder() + "Tabulon/new-only/" + sha256Hex(absolutePath(output));
}

bool SeenMessages::has(std::string_view key, std::string_view olderKey) const {
    return seen_.count(key) > 0 || (!olderKey.empty() && seen_.count(olderKey) > 0);
}

void SeenMessages::add(std::string_view key) {
    if (seen_.count(key) > 0) return;
    added_.emplace_back(key);
    seen_.insert(added_.back());
}

Status SeenMessages::load(const std::string& output, const std::function<bool()>& stopped) {
    output_ = output;
    record_ = recordPath(output);
    seen_.clear();
    held_.clear();
    added_.clear();
    stamp_ = kNoTable;
    Status locked = makePrivateFolder(folderOf(record_));
    bool busy = false;
    if (locked.ok()) locked = lock_.take(record_ + ".lock", kLockWait, &busy, stopped);
    if (!locked.ok()) return locked;
    if (busy) {
        return Status::FileError(Status::Code::kIoError, output,
                                 "\"" + output + "\" is being updated by another run (waited " +
                                     std::to_string(kLockWait.count()) +
                                     " seconds); nothing was changed");
    }
    std::string stamp = tableStamp(output);
    tableExists_ = !stamp.empty();
    if (!tableExists_) return Status::Ok();  // an old record is of an older table
    Status status = read();
    if (status.ok() && !pending_.empty()) status = finishOrGoBack(stamp);
    if (!status.ok()) return status;
    if (stamp != stamp_) {
        return Status::FileError(Status::Code::kCorrupt, output,
                                 "\"" + output +
                                     "\" changed since new messages were last added to "
                                     "it, so which ones it holds is not known" +
                                     kStartOver);
    }
    seen_.insert(held_.begin(), held_.end());
    return Status::Ok();
}

Status SeenMessages::read() {
    int fd = ::open(record_.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0 && errno == ENOENT) {
        return Status::FileError(Status::Code::kNotFound, output_,
                                 "\"" + output_ +
                                     "\" exists, but there is no record of which "
                                     "messages it holds (kept in " +
                                     record_ + ")" + kStartOver);
    }
    // Every line ends in a line feed; the last one of a whole record says how
    // many identities come before it (an older record has no such line).
    RecordLines lines{*this};
    int err = fd < 0 ? errno : readLines(fd, lines);
    if (fd >= 0) ::close(fd);
    if (err != 0) {
        return Status::FileError(Status::Code::kIoError, output_,
                                 "Cannot read the record of which messages \"" + output_ +
                                     "\" holds (\"" + record_ + "\"): " + std::strerror(err) +
                                     "; nothing was changed");
    }
    if (!lines.whole()) {
        return Status::FileError(Status::Code::kCorrupt, output_,
                                 "The record of which messages \"" + output_ + "\" holds (\"" +
                                     record_ +
                                     "\") is damaged, so which ones it holds is not "
                                     "known" +
                                     kStartOver);
    }
    return Status::Ok();
}

void SeenMessages::RecordLines::take(std::string_view line) {
    size_t number = count++;
    if (number == 0) {
        older = line == kOlderFirstLine;
        known = older || line == kFirstLine;
    } else if (!known || ended) {
        known = false;  // nothing after the last line
    } else if (number == 1) {
        record.stamp_ = line;
    } else if (number == 2 && line.substr(0, std::strlen(kPending)) == kPending) {
        record.pending_ = line;
    } else if (!older && line.substr(0, 4) == "end ") {
        ended = line == "end " + std::to_string(record.held_.size() + record.pendingAdded_.size());
        known = ended && (!record.pending_.empty() || record.pendingAdded_.empty());
    } else if (line.empty()) {
        known = false;
    } else if (line[0] == '+') {
        record.pendingAdded_.emplace_back(line.substr(1));
    } else {
        record.held_.emplace_back(line);
    }
}

int SeenMessages::readLines(int fd, RecordLines& lines) {
    std::string buffer;
    size_t start = 0;
    char block[1 << 16];
    ssize_t got;
    while ((got = ::read(fd, block, sizeof block)) > 0) {
        buffer.erase(0, start);
        buffer.append(block, static_cast<size_t>(got));
        start = 0;
        for (size_t end; (end = buffer.find('\n', start)) != std::string::npos; start = end + 1)
            lines.take(std::string_view(buffer).substr(start, end - start));
    }
    if (got < 0) return errno;
    lines.cutShort = start != buffer.size();
    return 0;
}

Status SeenMessages::finishOrGoBack(const std::string& stamp) {
    if (stamp == stamp_) {
        // The table never took its new content: the record as it was before.
    } else if (contentStamp(output_) == pending_.substr(std::strlen(kPending))) {
        for (std::string& identity : pendingAdded_)
            held_.push_back(std::move(identity));
        stamp_ = stamp;
    } else {
        return Status::Ok();  // neither: the table changed behind the record's back
    }
    pending_.clear();
    pendingAdded_.clear();
    return write("");
}

Status SeenMessages::write(const std::string& pending) {
    Status status = makePrivateFolder(folderOf(record_));
    AtomicFile file;
    if (status.ok()) status = file.open(record_);
    std::string text = std::string(kFirstLine) + "\n" + stamp_ + "\n";
    if (!pending.empty()) text += pending + "\n";
    // Written a block at a time: a record holds a line for every message.
    auto line = [&](std::string_view mark, const std::string& identity) {
        text.append(mark).append(identity) += '\n';
        if (text.size() >= (1 << 16) && status.ok()) {
            status = file.write(text.data(), text.size());
            text.clear();
        }
    };
    for (const std::string& identity : held_)
        line("", identity);
    for (const std::string& identity : added_)
        line(pending.empty() ? "" : "+", identity);
    text += "end " + std::to_string(held_.size() + added_.size()) + "\n";
    if (status.ok()) status = file.write(text.data(), text.size());
    return status.ok() ? file.commit() : status;
}

const CommitSteps& SeenMessages::commitSteps() {
    written_ = 0;
    digest_ = std::make_unique<Sha256>();
    steps_.written = [this](const char* data, size_t size) {
        digest_->add(data, size);
        written_ += size;
    };
    steps_.beforeRename = [this] {
        Status status = write(std::string(kPending) + "size " + std::to_string(written_) +
                              " sha256 " + digest_->hex());
        if (status.ok()) return status;
        return Status::FileError(
            status.code(), output_,
            status.message() + "; \"" + output_ + "\" and its record were not changed");
    };
    steps_.afterRename = [this] {
        stamp_ = tableStamp(output_);
        Status status = write("");  // what the table holds now: held_, then added_
        if (status.ok()) return status;
        return Status::FileError(status.code(), output_,
                                 "The new rows were added to \"" + output_ +
                                     "\", but their record could not be completed (" +
                                     status.message() +
                                     "); the next run with --new-only completes it");
    };
    return steps_;
}

}  // namespace tabulon
