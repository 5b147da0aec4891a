// Replaces a file's content all at once: bytes go to a temporary file beside the
// target, which is renamed over it by commit(). Until then the old file stays as it
// was; if the object is destroyed without commit() the temporary file is removed.
//
// A target that exists and is not a regular file (a device such as /dev/null, a
// pipe) is written in place instead: replacing it would be wrong. A symbolic link
// is followed, so the file it points to is replaced and the link kept.
#pragma once

#include <string>

#include "platform/byte_stream.h"

namespace tabulon {

class AtomicFile : public ByteSink {
  public:
    enum class Durability {
        kFlushToDisk,  // fsync before the rename: for files that only exist once
        kNoFlush,      // for files that can be made again from their input
    };

    AtomicFile() = default;
    ~AtomicFile() override;
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // REQUIRES: not open yet.
    Status open(const std::string& path, Durability durability = Durability::kFlushToDisk);
    Status write(const char* data, size_t size) override;
    // Makes the new content visible under the target's name. The object is closed
    // afterwards, whatever the result.
    Status commit();
    // Drops everything written; the target keeps its old content.
    void discard();

    // The descriptor being written, for setting attributes before commit().
    int descriptor() const { return fd_; }

  private:
    int fd_ = -1;
    bool inPlace_ = false;
    Durability durability_ = Durability::kFlushToDisk;
    std::string path_;    // as given, for messages
    std::string target_;  // what is replaced (links followed)
    std::string temp_;
};

// Replaces the file at `path` with `content` through an AtomicFile, flushed to
// disk, giving it the file type and creator codes when they are not empty.
Status replaceFile(const std::string& path, const std::string& content,
                   const std::string& type = "", const std::string& creator = "");

}  // namespace tabulon
