#include "platform/fd_sink.h"

#include <unistd.h>

#include <cerrno>

namespace tabulon {

FdSink FdSink::standardOutput() {
    return FdSink(STDOUT_FILENO, "standard output");
}

Status FdSink::write(const char* data, size_t size) {
    while (size > 0) {
        ssize_t n = ::write(fd_, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            if (errno == EPIPE) return Status::BrokenPipe();
            return errnoStatus("write", name_, errno);
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    return Status::Ok();
}

}  // namespace tabulon
