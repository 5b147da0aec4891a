#include "platform/event_client.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>

#include "platform/private_folder.h"
#include "platform/socket_peer.h"

namespace tabulon {
namespace {

class Socket {
  public:
    Socket() : fd_(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0)) {}
    ~Socket() {
        if (fd_ >= 0) ::close(fd_);
    }
    int fd() const { return fd_; }

  private:
    int fd_;
};

// Like write(), but a closed peer is an error, not a SIGPIPE.
bool sendAll(int fd, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

// Everything the peer sends until it closes, at most `limit` bytes; false when
// the connection broke before anything came.
bool receiveAll(int fd, size_t limit, std::string* bytes) {
    char buffer[4096];
    for (;;) {
        ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return !bytes->empty();
        bytes->append(buffer, std::min(static_cast<size_t>(n), limit - bytes->size()));
        if (bytes->size() >= limit) return true;
    }
}

}  // namespace

SendResult sendEvent(const ScriptingEvent& event, std::string* message,
                     const std::string& socketPath) {
    message->clear();
    std::string why;
    switch (checkPrivateFolder(folderOf(socketPath), &why)) {
        case FolderCheck::kPrivate:
            break;
        case FolderCheck::kMissing:
            *message = "Tabulon is not running (nothing answers at " + socketPath + ")";
            return SendResult::kNoApp;
        case FolderCheck::kNotPrivate:
            *message = "nothing was sent: " + why;
            return SendResult::kUntrusted;
    }
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (socketPath.size() >= sizeof address.sun_path) {
        *message = "the socket path is too long: " + socketPath;
        return SendResult::kFailed;
    }
    std::memcpy(address.sun_path, socketPath.c_str(), socketPath.size() + 1);
    Socket socket;
    if (socket.fd() < 0 ||
        ::connect(socket.fd(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        *message = "Tabulon is not running (nothing answers at " + socketPath + ")";
        return SendResult::kNoApp;
    }
    if (!peerIsThisUser(socket.fd())) {
        *message =
            "nothing was sent: the process listening at " + socketPath + " runs as another user";
        return SendResult::kUntrusted;
    }
    std::string answer;
    if (!sendAll(socket.fd(), encodeEvent(event)) ||
        !receiveAll(socket.fd(), 1 + kMaxReplyText, &answer)) {
        *message = "Tabulon closed the connection without answering";
        return SendResult::kFailed;
    }
    *message = answer.substr(1);
    return answer[0] == kHandled ? SendResult::kHandled : SendResult::kNotHandled;
}

}  // namespace tabulon
