#include "platform/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <random>

#include "platform/fd_sink.h"
#include "platform/file_type.h"
#include "platform/temporary_files.h"

namespace tabulon {
namespace {

std::atomic<bool> unnamedFilesAllowed{true};

// More links in a row than this are taken for a loop (the kernel's own limit).
constexpr int kMaxLinks = 40;

std::string folderOf(const std::string& path) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) return "";
    return path.substr(0, slash + 1);
}

std::string nameOf(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Follows symbolic links at the end of `path`, also to a target that does not
// exist yet, so that the file behind them is the one written.
Status followLinks(const std::string& path, std::string* target) {
    std::string current = path;
    for (int hop = 0; hop <= kMaxLinks; ++hop) {
        struct stat st {};
        if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
            *target = current;  // anything else wrong shows when it is opened
            return Status::Ok();
        }
        char link[PATH_MAX];
        ssize_t size = ::readlink(current.c_str(), link, sizeof link);
        if (size <= 0) {
            *target = current;
            return Status::Ok();
        }
        std::string next(link, static_cast<size_t>(size));
        current = next[0] == '/' ? next : folderOf(current) + next;
    }
    return Status::FileError(
        Status::Code::kInvalidArgument, path,
        "Cannot write \"" + path + "\": it is a symbolic link that leads back to itself");
}

// A hidden name beside `target` that is not taken yet at the time of asking.
std::string hiddenName(const std::string& target) {
    static thread_local std::mt19937_64 random{std::random_device{}()};
    // Long names are shortened so that the hidden name stays within the file
    // system's limit.
    return folderOf(target) + "." + nameOf(target).substr(0, 200) + ".tabulon-" +
           std::to_string(random() % 1000000000ULL);
}

// A new file without a name in the target's folder, or -1 where the file system
// (or the kernel) has no such files or they could not be named later.
int openUnnamed(const std::string& target) {
#ifdef O_TMPFILE
    if (!unnamedFilesAllowed || ::access("/proc/self/fd", X_OK) != 0) return -1;
    std::string folder = folderOf(target);
    return ::open(folder.empty() ? "." : folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
#else
    (void)target;
    return -1;
#endif
}

// Creates a new hidden file beside `target`; the mode follows the umask.
int createTemporary(const std::string& target, std::string* temp, int* err) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        *temp = hiddenName(target);
        int fd = ::open(temp->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) return fd;
        if (errno != EEXIST) break;
    }
    *err = errno;
    temp->clear();
    return -1;
}

// Gives the unnamed file open as `fd` the name `name`; 0 or an errno value.
int linkDescriptor(int fd, const std::string& name) {
#ifdef AT_EMPTY_PATH
    // Allowed to privileged processes only, but needs no /proc.
    if (::linkat(fd, "", AT_FDCWD, name.c_str(), AT_EMPTY_PATH) == 0) return 0;
    if (errno == EEXIST) return EEXIST;
#endif
    std::string self = "/proc/self/fd/" + std::to_string(fd);
    if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) return 0;
    return errno;
}

void keepOwnerAndMode(int fd, const struct stat& old) {
    // The owner first: a change of owner clears the set-user-ID and set-group-ID
    // bits. Only a privileged process may give the file away; others may still
    // keep its group when they belong to it.
    if (::fchown(fd, old.st_uid, old.st_gid) != 0 && ::fchown(fd, -1, old.st_gid) != 0) {
        // The new file stays ours, which is what a new file would be.
    }
    ::fchmod(fd, old.st_mode & 07777);
}

}  // namespace

void AtomicFile::setUnnamedFilesAllowed(bool allowed) {
    unnamedFilesAllowed = allowed;
}

AtomicFile::~AtomicFile() {
    discard();
}

Status AtomicFile::open(const std::string& path, Durability durability) {
    path_ = path;
    durability_ = durability;
    Status status = followLinks(path, &target_);
    if (!status.ok()) return status;
    struct stat st {};
    bool exists = ::stat(target_.c_str(), &st) == 0;
    if (exists && S_ISDIR(st.st_mode)) {
        return Status::FileError(Status::Code::kInvalidArgument, path,
                                 "Cannot write \"" + path + "\": it is a folder");
    }
    if (exists && !S_ISREG(st.st_mode)) {
        inPlace_ = true;
        fd_ = ::open(target_.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
        return fd_ < 0 ? errnoStatus("write", path, errno) : Status::Ok();
    }
    fd_ = openUnnamed(target_);
    if (fd_ < 0) {
        // Created and remembered for removal on termination as one step.
        TerminationSignalsHeld held;
        int err = 0;
        fd_ = createTemporary(target_, &temp_, &err);
        if (fd_ < 0) return errnoStatus("create", path, err);
        registerTemporary(temp_.c_str());
    }
    if (exists) keepOwnerAndMode(fd_, st);
    return Status::Ok();
}

Status AtomicFile::write(const char* data, size_t size) {
    Status status = FdSink(fd_, path_).write(data, size);
    if (status.isBrokenPipe()) {
        return Status::FileError(Status::Code::kIoError, path_,
                                 "Cannot write \"" + path_ + "\": broken pipe");
    }
    return status;
}

Status AtomicFile::commit(const std::function<Status()>& beforeRename) {
    Status status;
    bool flush = !inPlace_ && durability_ == Durability::kFlushToDisk;
    if (flush && ::fsync(fd_) != 0) status = errnoStatus("write", path_, errno);
    if (status.ok() && beforeRename) status = beforeRename();
    // An unnamed file is named while still open: the descriptor is all that keeps
    // it. (File systems that have them report write errors before close.)
    if (status.ok() && !inPlace_ && temp_.empty()) status = commitUnnamed();
    if (::close(fd_) != 0 && status.ok()) status = errnoStatus("write", path_, errno);
    fd_ = -1;
    if (status.ok() && !temp_.empty()) status = commitNamed();
    discard();  // the hidden file, when it could not take the target's place
    if (status.ok() && flush) status = flushFolder();
    return status;
}

Status AtomicFile::flushFolder() {
    std::string folder = folderOf(target_);
    int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return errnoStatus("write", path_, errno);
    int err = ::fsync(fd) == 0 ? 0 : errno;
    ::close(fd);
    // Some file systems cannot flush a folder; the content itself is on disk.
    return err == 0 || err == EINVAL ? Status::Ok() : errnoStatus("write", path_, err);
}

Status AtomicFile::commitUnnamed() {
    // Held so that the hidden name below cannot be left behind.
    TerminationSignalsHeld held;
    int err = linkDescriptor(fd_, target_);
    if (err == 0) return Status::Ok();
    if (err != EEXIST) return errnoStatus("create", path_, err);
    std::string hidden;
    for (int attempt = 0; attempt < 100 && err == EEXIST; ++attempt) {
        hidden = hiddenName(target_);
        err = linkDescriptor(fd_, hidden);
    }
    if (err != 0) return errnoStatus("replace", path_, err);
    if (::rename(hidden.c_str(), target_.c_str()) != 0) {
        err = errno;
        ::unlink(hidden.c_str());
        return errnoStatus("replace", path_, err);
    }
    return Status::Ok();
}

Status AtomicFile::commitNamed() {
    TerminationSignalsHeld held;
    if (::rename(temp_.c_str(), target_.c_str()) != 0) return errnoStatus("replace", path_, errno);
    unregisterTemporary(temp_.c_str());
    temp_.clear();
    return Status::Ok();
}

void AtomicFile::discard() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (temp_.empty()) return;
    TerminationSignalsHeld held;
    ::unlink(temp_.c_str());
    unregisterTemporary(temp_.c_str());
    temp_.clear();
}

Status replaceFile(const std::string& path, const std::string& content, const std::string& type,
                   const std::string& creator) {
    AtomicFile file;
    Status status = file.open(path);
    if (!status.ok()) return status;
    if (!type.empty()) setFileTypeAndCreator(file.descriptor(), type, creator);
    status = file.write(content.data(), content.size());
    if (!status.ok()) return status;
    return file.commit();
}

}  // namespace tabulon
