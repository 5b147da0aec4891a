// Questions about files by path. Links are followed; a path that cannot be
// examined counts as absent.
#pragma once

#include <cstdint>
#include <string>

namespace tabulon {

bool fileExists(const std::string& path);
bool isFolder(const std::string& path);
// Size in bytes; 0 when absent.
uint64_t fileSize(const std::string& path);
// True when `path` names the file already open as `fd`.
bool isSameFile(const std::string& path, int fd);
// True when both descriptors are open on one regular file (not, say, one terminal).
bool isSameRegularFile(int fd, int otherFd);

}  // namespace tabulon
