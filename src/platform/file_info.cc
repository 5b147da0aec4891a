#include "platform/file_info.h"

#include <sys/stat.h>
#include <unistd.h>

namespace tabulon {
namespace {

FileId idOf(const struct stat& st) {
    return FileId{true, S_ISREG(st.st_mode), static_cast<uint64_t>(st.st_dev),
                  static_cast<uint64_t>(st.st_ino)};
}

}  // namespace

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

FileId fileIdOf(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? idOf(st) : FileId();
}

FileId fileIdOf(int fd) {
    struct stat st {};
    return ::fstat(fd, &st) == 0 ? idOf(st) : FileId();
}

FileId standardInputId() {
    return fileIdOf(STDIN_FILENO);
}

FileId standardOutputId() {
    return fileIdOf(STDOUT_FILENO);
}

bool standardOutputIsTerminal() {
    return ::isatty(STDOUT_FILENO) == 1;
}

}  // namespace tabulon
