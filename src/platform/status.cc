#include "platform/status.h"

#include <cerrno>
#include <cstring>

#include "platform/control_characters.h"
#include "platform/utf8.h"

namespace tabulon {

Status::Status(Code code, std::string message) : code_(code), message_(std::move(message)) {
    // Most messages are plain text: nothing to do.
    for (char c : message_) {
        auto b = static_cast<unsigned char>(c);
        if (b >= 0x80 || (b < 0x20 && c != '\n' && c != '\t') || b == 0x7F) {
            if (holdsControl(message_) || !isValidUtf8(message_))
                message_ = shownText(message_, std::string::npos, true);
            break;
        }
    }
}

Status errnoStatus(const std::string& action, const std::string& path, int err) {
    bool absent = err == ENOENT || err == ENOTDIR || err == ELOOP || err == ENAMETOOLONG;
    return Status::FileError(absent ? Status::Code::kNotFound : Status::Code::kIoError, path,
                             "Cannot " + action + " \"" + path + "\": " + std::strerror(err));
}

}  // namespace tabulon
