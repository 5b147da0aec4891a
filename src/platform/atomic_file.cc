#include "platform/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <random>

#include "platform/fd_sink.h"
#include "platform/file_type.h"

namespace tabulon {
namespace {

std::string folderOf(const std::string& path) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) return "";
    return path.substr(0, slash + 1);
}

std::string nameOf(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Follows symbolic links so that the file behind them is the one replaced.
std::string resolveTarget(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved) == nullptr) return path;
    return resolved;
}

// Creates a new hidden file beside `target`; the mode follows the umask.
int createTemporary(const std::string& target, std::string* temp, int* err) {
    static thread_local std::mt19937_64 random{std::random_device{}()};
    for (int attempt = 0; attempt < 100; ++attempt) {
        // Long names are shortened so that the temporary name stays within the
        // file system's limit.
        *temp = folderOf(target) + "." + nameOf(target).substr(0, 200) + ".tabulon-" +
                std::to_string(random() % 1000000000ULL);
        int fd = ::open(temp->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) return fd;
        if (errno != EEXIST) break;
    }
    *err = errno;
    return -1;
}

}  // namespace

AtomicFile::~AtomicFile() {
    discard();
}

Status AtomicFile::open(const std::string& path, Durability durability) {
    path_ = path;
    durability_ = durability;
    target_ = resolveTarget(path);
    struct stat st {};
    bool exists = ::stat(target_.c_str(), &st) == 0;
    if (exists && S_ISDIR(st.st_mode)) {
        return Status::Error("Cannot write \"" + path + "\": it is a folder");
    }
    if (exists && !S_ISREG(st.st_mode)) {
        inPlace_ = true;
        fd_ = ::open(target_.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
        return fd_ < 0 ? errnoStatus("write", path, errno) : Status::Ok();
    }
    int err = 0;
    fd_ = createTemporary(target_, &temp_, &err);
    if (fd_ < 0) return errnoStatus("create", path, err);
    if (exists) ::fchmod(fd_, st.st_mode & 07777);
    return Status::Ok();
}

Status AtomicFile::write(const char* data, size_t size) {
    Status status = FdSink(fd_, path_).write(data, size);
    if (status.isBrokenPipe()) return Status::Error("Cannot write \"" + path_ + "\": broken pipe");
    return status;
}

Status AtomicFile::commit() {
    Status status;
    if (!inPlace_ && durability_ == Durability::kFlushToDisk && ::fsync(fd_) != 0) {
        status = errnoStatus("write", path_, errno);
    }
    if (::close(fd_) != 0 && status.ok()) status = errnoStatus("write", path_, errno);
    fd_ = -1;
    if (inPlace_) return status;
    if (status.ok() && ::rename(temp_.c_str(), target_.c_str()) != 0) {
        status = errnoStatus("replace", path_, errno);
    }
    if (!status.ok()) ::unlink(temp_.c_str());
    temp_.clear();
    return status;
}

void AtomicFile::discard() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!temp_.empty()) ::unlink(temp_.c_str());
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
