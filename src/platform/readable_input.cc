#include "platform/readable_input.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace tabulon {

Status checkReadableInput(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return errnoStatus("open", path, errno);
    if (S_ISDIR(st.st_mode))
        return Status::InvalidArgument("Cannot read \"" + path + "\": it is a folder");
    if (::access(path.c_str(), R_OK) != 0) return errnoStatus("open", path, errno);
    return Status::Ok();
}

}  // namespace tabulon
