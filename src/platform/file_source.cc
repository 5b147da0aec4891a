#include "platform/file_source.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace tabulon {

FileSource::FileSource(int fd, std::string name, bool owned, uint64_t size)
    : fd_(fd), name_(std::move(name)), owned_(owned), size_(size) {}

FileSource::~FileSource() {
    if (owned_) ::close(fd_);
}

Status FileSource::open(const std::string& path, std::unique_ptr<FileSource>* result) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return errnoStatus("open", path, errno);
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        int err = errno;
        ::close(fd);
        return errnoStatus("read", path, err);
    }
    if (S_ISDIR(st.st_mode)) {
        ::close(fd);
        return Status::InvalidArgument("Cannot read \"" + path + "\": it is a folder");
    }
    uint64_t size = S_ISREG(st.st_mode) ? static_cast<uint64_t>(st.st_size) : 0;
#ifdef POSIX_FADV_SEQUENTIAL
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
#endif
    result->reset(new FileSource(fd, path, true, size));
    return Status::Ok();
}

Status FileSource::openRegularFile(const std::string& path, std::unique_ptr<FileSource>* result) {
    auto notRegular = [&path](const struct stat& st) {
        return Status::InvalidArgument(
            "Cannot read \"" + path +
            "\": " + (S_ISDIR(st.st_mode) ? "it is a folder" : "it is not a regular file"));
    };
    // Looked at before opening, as opening some devices does something.
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return errnoStatus("open", path, errno);
    if (!S_ISREG(st.st_mode)) return notRegular(st);
    // Should it have been replaced by a pipe meanwhile, opening does not wait.
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) return errnoStatus("open", path, errno);
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        int err = errno;
        Status status = S_ISREG(st.st_mode) ? errnoStatus("read", path, err) : notRegular(st);
        ::close(fd);
        return status;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
#ifdef POSIX_FADV_SEQUENTIAL
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
#endif
    result->reset(new FileSource(fd, path, true, static_cast<uint64_t>(st.st_size)));
    return Status::Ok();
}

std::unique_ptr<FileSource> FileSource::fromDescriptor(int fd, std::string name) {
    struct stat st {};
    uint64_t size = 0;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) size = static_cast<uint64_t>(st.st_size);
    return std::unique_ptr<FileSource>(new FileSource(fd, std::move(name), false, size));
}

Status FileSource::read(char* buffer, size_t capacity, size_t* count) {
    for (;;) {
        ssize_t n = ::read(fd_, buffer, capacity);
        if (n >= 0) {
            *count = static_cast<size_t>(n);
            return Status::Ok();
        }
        if (errno != EINTR) {
            *count = 0;
            return errnoStatus("read", name_, errno);
        }
    }
}

Status FileSource::checkReadWhole(uint64_t bytesRead) const {
    if (!owned_ || size_ == 0 || bytesRead == size_) return Status::Ok();
    return Status::IoError("\"" + name_ + "\" changed while it was being converted (" +
                           std::to_string(size_) + " bytes were expected, " +
                           std::to_string(bytesRead) +
                           " were read); the converted file holds what was read.");
}

}  // namespace tabulon
