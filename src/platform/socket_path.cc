#include "platform/socket_path.h"

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace tabulon {
namespace {

// True when something accepts connections at the socket `path`.
bool answers(const std::string& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) return false;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) return false;
    bool connected = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 ||
                     errno == EAGAIN;  // a full backlog: it is alive, only busy
    ::close(fd);
    return connected;
}

}  // namespace

Status clearStaleSocket(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) {
        return errno == ENOENT ? Status::Ok() : errnoStatus("examine", path, errno);
    }
    if (!S_ISSOCK(st.st_mode)) {
        return Status::InvalidArgument("\"" + path + "\" is not a socket; it is left as it is");
    }
    if (answers(path))
        return Status::IoError("another Tabulon already answers at \"" + path + "\"");
    if (::unlink(path.c_str()) != 0 && errno != ENOENT) {
        return errnoStatus("remove the old socket", path, errno);
    }
    return Status::Ok();
}

}  // namespace tabulon
