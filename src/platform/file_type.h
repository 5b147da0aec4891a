// Four-character file type and creator codes, kept as the user extended
// attributes "user.mac.type" and "user.mac.creator". On file systems without
// user attributes they are skipped silently: they are a courtesy, not data.
#pragma once

#include <string>

namespace tabulon {

// Sets both codes on an open file. Returns false only on an unexpected error;
// a file system without extended attributes counts as success.
bool setFileTypeAndCreator(int fd, const std::string& type, const std::string& creator);

// The stored code, or "" when there is none.
std::string fileType(const std::string& path);
std::string fileCreator(const std::string& path);

}  // namespace tabulon
