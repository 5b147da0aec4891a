#include "platform/file_type.h"

#include <sys/xattr.h>

#include <cerrno>

namespace tabulon {
namespace {

constexpr const char* kTypeAttribute = "user.mac.type";
constexpr const char* kCreatorAttribute = "user.mac.creator";

bool unsupported(int err) {
    return err == ENOTSUP || err == EOPNOTSUPP || err == EPERM;
}

bool setCode(int fd, const char* attribute, const std::string& code) {
    if (::fsetxattr(fd, attribute, code.data(), code.size(), 0) == 0) return true;
    return unsupported(errno);
}

std::string getCode(const std::string& path, const char* attribute) {
    char buffer[64];
    ssize_t n = ::getxattr(path.c_str(), attribute, buffer, sizeof buffer);
    return n > 0 ? std::string(buffer, static_cast<size_t>(n)) : std::string();
}

}  // namespace

bool setFileTypeAndCreator(int fd, const std::string& type, const std::string& creator) {
    bool typeSet = setCode(fd, kTypeAttribute, type);
    bool creatorSet = setCode(fd, kCreatorAttribute, creator);
    return typeSet && creatorSet;
}

std::string fileType(const std::string& path) {
    return getCode(path, kTypeAttribute);
}
std::string fileCreator(const std::string& path) {
    return getCode(path, kCreatorAttribute);
}

}  // namespace tabulon
