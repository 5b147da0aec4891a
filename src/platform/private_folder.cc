#include "platform/private_folder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace tabulon {
namespace {

std::string notPrivate(const std::string& folder, const std::string& reason) {
    return "the folder \"" + folder + "\" is not private to you (" + reason + ")";
}

// Makes the last part of `folder`, its parents first; true when this call made it.
Status makeFolder(const std::string& folder, bool* made) {
    *made = false;
    if (::mkdir(folder.c_str(), 0700) == 0) {
        *made = true;
        return Status::Ok();
    }
    if (errno == EEXIST) return Status::Ok();
    if (errno != ENOENT) return errnoStatus("create", folder, errno);
    std::string parent = folderOf(folder);
    if (parent.empty() || parent == folder) return errnoStatus("create", folder, ENOENT);
    bool parentMade = false;
    Status status = makeFolder(parent, &parentMade);
    if (!status.ok()) return status;
    if (::mkdir(folder.c_str(), 0700) == 0) {
        *made = true;
        return Status::Ok();
    }
    return errno == EEXIST ? Status::Ok() : errnoStatus("create", folder, errno);
}

}  // namespace

std::string folderOf(const std::string& path) {
    size_t slash = path.find_last_not_of('/');
    if (slash == std::string::npos) return "/";
    slash = path.rfind('/', slash);
    if (slash == std::string::npos) return ".";
    size_t end = path.find_last_not_of('/', slash);
    return end == std::string::npos ? "/" : path.substr(0, end + 1);
}

FolderCheck checkPrivateFolder(const std::string& folder, std::string* why) {
    struct stat st {};
    if (::lstat(folder.c_str(), &st) != 0) {
        if (errno == ENOENT) return FolderCheck::kMissing;
        *why = errnoStatus("examine", folder, errno).message();
        return FolderCheck::kNotPrivate;
    }
    if (S_ISLNK(st.st_mode)) {
        *why = notPrivate(folder, "it is a link");
    } else if (!S_ISDIR(st.st_mode)) {
        *why = notPrivate(folder, "it is not a folder");
    } else if (st.st_uid != ::geteuid()) {
        *why = notPrivate(folder, "it belongs to user " + std::to_string(st.st_uid));
    } else if ((st.st_mode & 077) != 0) {
        char mode[8];
        std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(st.st_mode & 07777));
        *why = notPrivate(folder, std::string("others have access to it: mode ") + mode);
    } else {
        return FolderCheck::kPrivate;
    }
    return FolderCheck::kNotPrivate;
}

Status makePrivateFolder(const std::string& folder) {
    bool made = false;
    Status status = makeFolder(folder, &made);
    if (!status.ok()) return status;
    if (made) {
        // Undo what the umask took away; through a descriptor of the folder itself,
        // so that nothing put in its place is changed.
        int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (fd >= 0) {
            struct stat st {};
            if (::fstat(fd, &st) == 0 && st.st_uid == ::geteuid()) ::fchmod(fd, 0700);
            ::close(fd);
        }
    }
    std::string why;
    switch (checkPrivateFolder(folder, &why)) {
        case FolderCheck::kPrivate:
            return Status::Ok();
        case FolderCheck::kMissing:
            return errnoStatus("create", folder, ENOENT);
        case FolderCheck::kNotPrivate:
            break;
    }
    return Status::InvalidArgument(why);
}

}  // namespace tabulon
