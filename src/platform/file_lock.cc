#include "platform/file_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

namespace tabulon {

FileLock::~FileLock() {
    if (fd_ >= 0) ::close(fd_);  // which lets the lock go
}

Status FileLock::take(const std::string& path, std::chrono::milliseconds wait, bool* busy,
                      const std::function<bool()>& stopped) {
    *busy = false;
    if (fd_ >= 0) return Status::Ok();
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return errnoStatus("open the lock file", path, errno);
    // Polled rather than waited on, so that the wait has an end.
    constexpr std::chrono::milliseconds kPoll(50);
    auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            fd_ = fd;
            return Status::Ok();
        }
        int err = errno;
        if (err == EINTR) continue;
        if (err != EWOULDBLOCK || std::chrono::steady_clock::now() >= deadline) {
            ::close(fd);
            if (err == EWOULDBLOCK) {
                *busy = true;
                return Status::Ok();
            }
            return errnoStatus("lock", path, err);
        }
        if (stopped && stopped()) {
            ::close(fd);
            return Status::Stopped();
        }
        std::this_thread::sleep_for(kPoll);
    }
}

}  // namespace tabulon
