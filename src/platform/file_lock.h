// An exclusive lock that one process at a time holds on a file (flock), until
// the lock is destroyed or the process ends, however it ends.
#pragma once

#include <chrono>
#include <functional>
#include <string>

#include "platform/status.h"

namespace tabulon {

class FileLock {
  public:
    FileLock() = default;
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    // Takes the lock on `path`, made (empty, for this user alone) when missing,
    // waiting up to `wait` while another process holds it. `*busy` says whether
    // it was still held then; an error names `path`. The wait ends early with
    // Status::Stopped() once `stopped` (when given) says so.
    Status take(const std::string& path, std::chrono::milliseconds wait, bool* busy,
                const std::function<bool()>& stopped = {});

  private:
    int fd_ = -1;
};

}  // namespace tabulon
