#include "platform/status.h"

#include <cstring>

namespace tabulon {

Status errnoStatus(const std::string& action, const std::string& path, int err) {
    return Status::FileError(path, "Cannot " + action + " \"" + path + "\": " + std::strerror(err));
}

}  // namespace tabulon
