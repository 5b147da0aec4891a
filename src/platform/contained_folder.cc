#include "platform/contained_folder.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <random>
#include <utility>

#include "platform/fd_sink.h"
#include "platform/temporary_files.h"

namespace tabulon {
namespace {

// Names tried for one file before giving up: more copies of one name than a
// message ever carries.
constexpr unsigned kMaxNumbers = 1000;

// Gives `hidden` the name `name` in `fd`'s folder unless that name is taken.
int linkNoReplace(int fd, const std::string& hidden, const std::string& name) {
#ifdef RENAME_NOREPLACE
    if (::renameat2(fd, hidden.c_str(), fd, name.c_str(), RENAME_NOREPLACE) == 0) return 0;
    if (errno != EINVAL && errno != ENOSYS) return -1;
#endif
    // A file system without the flag: a hard link is refused on a taken name too.
    if (::linkat(fd, hidden.c_str(), fd, name.c_str(), 0) != 0) return -1;
    ::unlinkat(fd, hidden.c_str(), 0);
    return 0;
}

}  // namespace

ContainedFolder::~ContainedFolder() {
    if (fd_ >= 0) ::close(fd_);
}

ContainedFolder::ContainedFolder(ContainedFolder&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), path_(std::move(other.path_)) {}

ContainedFolder& ContainedFolder::operator=(ContainedFolder&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = std::exchange(other.fd_, -1);
        path_ = std::move(other.path_);
    }
    return *this;
}

Status ContainedFolder::open(const std::string& path, ContainedFolder* folder) {
    std::error_code error;
    std::filesystem::create_directories(path, error);
    int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return errnoStatus("open the folder", path, errno);
    *folder = ContainedFolder();
    folder->fd_ = fd;
    folder->path_ = path.empty() || path.back() == '/' ? path : path + "/";
    return Status::Ok();
}

Status ContainedFolder::subfolder(const std::string& name, ContainedFolder* folder) const {
    std::string path = path_ + name;
    if (::mkdirat(fd_, name.c_str(), 0777) != 0 && errno != EEXIST)
        return errnoStatus("make the folder", path, errno);
    int fd = ::openat(fd_, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0 && (errno == ELOOP || errno == ENOTDIR)) {
        return Status::FileError(Status::Code::kInvalidArgument, path,
                                 "Cannot write into \"" + path +
                                     "\": it is a symbolic link or no folder; nothing "
                                     "is written through it");
    }
    if (fd < 0) return errnoStatus("open the folder", path, errno);
    *folder = ContainedFolder();
    folder->fd_ = fd;
    folder->path_ = path + "/";
    return Status::Ok();
}

ContainedFolder::Slot ContainedFolder::look(const std::string& name, std::string_view bytes) const {
    int fd = ::openat(fd_, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return errno == ENOENT ? Slot::kFree : Slot::kTaken;
    struct stat info {};
    bool same = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) &&
                static_cast<uint64_t>(info.st_size) == bytes.size();
    std::string held(same ? bytes.size() : 0, '\0');
    size_t got = 0;
    while (same && got < held.size()) {
        ssize_t n = ::read(fd, held.data() + got, held.size() - got);
        if (n <= 0) break;
        got += static_cast<size_t>(n);
    }
    ::close(fd);
    return same && got == held.size() && held == bytes ? Slot::kSame : Slot::kTaken;
}

Status ContainedFolder::writeHidden(std::string_view bytes, std::string* hidden) {
    static thread_local std::mt19937_64 random{std::random_device{}()};
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        *hidden = ".tabulon-" + std::to_string(random() % 1000000000ULL) + ".part";
        fd = ::openat(fd_, hidden->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                      0666);
        if (fd < 0 && errno != EEXIST) return errnoStatus("write into", path_, errno);
    }
    if (fd < 0) return errnoStatus("write into", path_, EEXIST);
    std::string full = path_ + *hidden;
    registerTemporary(full.c_str());
    Status status = FdSink(fd, full).write(bytes.data(), bytes.size());
    if (status.ok() && ::fsync(fd) != 0) status = errnoStatus("write", full, errno);
    if (::close(fd) != 0 && status.ok()) status = errnoStatus("write", full, errno);
    if (!status.ok()) ::unlinkat(fd_, hidden->c_str(), 0);
    unregisterTemporary(full.c_str());
    return status;
}

Status ContainedFolder::addFile(const std::function<std::string(unsigned)>& nameFor,
                                std::string_view bytes, std::string* used) {
    std::string hidden;
    for (unsigned n = 1; n <= kMaxNumbers; ++n) {
        std::string name = nameFor(n);
        Slot slot = look(name, bytes);
        if (slot == Slot::kSame) {
            if (!hidden.empty()) ::unlinkat(fd_, hidden.c_str(), 0);
            *used = name;
            return Status::Ok();
        }
        if (slot == Slot::kTaken) continue;
        if (hidden.empty()) {
            Status status = writeHidden(bytes, &hidden);
            if (!status.ok()) {
                // Says which file could not be written, not the hidden one.
                const std::string& text = status.message();
                size_t why = text.rfind(": ");
                return Status::FileError(
                    status.code(), path_ + name,
                    "Cannot write \"" + path_ + name +
                        "\": " + (why == std::string::npos ? text : text.substr(why + 2)));
            }
        }
        if (linkNoReplace(fd_, hidden, name) == 0) {
            ::fsync(fd_);
            *used = name;
            return Status::Ok();
        }
        if (errno != EEXIST) {
            int error = errno;
            ::unlinkat(fd_, hidden.c_str(), 0);
            return errnoStatus("write", path_ + name, error);
        }
    }
    if (!hidden.empty()) ::unlinkat(fd_, hidden.c_str(), 0);
    return Status::FileError(
        Status::Code::kIoError, path_ + nameFor(1),
        "Cannot write \"" + path_ + nameFor(1) + "\": every numbered name for it is taken");
}

}  // namespace tabulon
