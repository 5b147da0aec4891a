// Questions about files by path or descriptor. Links are followed; a path that
// cannot be examined counts as absent.
#pragma once

#include <cstdint>
#include <string>

namespace tabulon {

bool fileExists(const std::string& path);
bool isFolder(const std::string& path);
// Size in bytes; 0 when absent.
uint64_t fileSize(const std::string& path);

// Which file a path or an open descriptor stands for: two known ids that are
// equal are one file, whatever the names that lead to it.
struct FileId {
    bool known = false;    // false when it could not be examined
    bool regular = false;  // a regular file (not a terminal, pipe or device)
    uint64_t device = 0;
    uint64_t inode = 0;

    bool isSameFile(const FileId& other) const {
        return known && other.known && device == other.device && inode == other.inode;
    }
};
FileId fileIdOf(const std::string& path);
FileId fileIdOf(int fd);
FileId standardInputId();
FileId standardOutputId();

bool standardOutputIsTerminal();

}  // namespace tabulon
