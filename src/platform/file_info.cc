#include "platform/file_info.h"

#include <sys/stat.h>

namespace tabulon {

bool fileExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

bool isFolder(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

uint64_t fileSize(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? static_cast<uint64_t>(st.st_size) : 0;
}

bool isSameFile(const std::string& path, int fd) {
    struct stat byPath {
    }, byDescriptor{};
    if (::stat(path.c_str(), &byPath) != 0 || ::fstat(fd, &byDescriptor) != 0) return false;
    return byPath.st_dev == byDescriptor.st_dev && byPath.st_ino == byDescriptor.st_ino;
}

bool isSameRegularFile(int fd, int otherFd) {
    struct stat one {
    }, other{};
    if (::fstat(fd, &one) != 0 || ::fstat(otherFd, &other) != 0) return false;
    return S_ISREG(one.st_mode) && one.st_dev == other.st_dev && one.st_ino == other.st_ino;
}

}  // namespace tabulon
