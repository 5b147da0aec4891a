#include "platform/event_client.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

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

}  // namespace

SendResult sendEvent(const ScriptingEvent& event, std::string* error,
                     const std::string& socketPath) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (socketPath.size() >= sizeof address.sun_path) {
        *error = "the socket path is too long: " + socketPath;
        return SendResult::kFailed;
    }
    std::memcpy(address.sun_path, socketPath.c_str(), socketPath.size() + 1);
    Socket socket;
    if (socket.fd() < 0 ||
        ::connect(socket.fd(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        *error = "Tabulon is not running (nothing answers at " + socketPath + ")";
        return SendResult::kNoApp;
    }
    std::string message = encodeEvent(event);
    bool sent = sendAll(socket.fd(), message);
    char answer = 0;
    ssize_t received = -1;
    if (sent) {
        do {
            received = ::recv(socket.fd(), &answer, 1, 0);
        } while (received < 0 && errno == EINTR);
    }
    if (received != 1) {
        *error = "Tabulon closed the connection without answering";
        return SendResult::kFailed;
    }
    return answer == kHandled ? SendResult::kHandled : SendResult::kNotHandled;
}

}  // namespace tabulon
