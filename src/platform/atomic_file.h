// Replaces a file's content all at once: bytes go to a new file in the target's
// folder, which takes the target's name only in commit(). Until then the old file
// stays as it was, and the new one has no name where the file system allows it,
// so that nothing is left behind by a process that dies mid-way; elsewhere it is
// a hidden file beside the target, removed when the object is destroyed without
// commit() and, in programs that ask for it, on termination signals
// (platform/temporary_files.h). The replacement keeps the old file's permissions
// and, where the process may set them, its owner and group.
//
// A target that exists and is not a regular file (a device such as /dev/null, a
// pipe) is written in place instead: replacing it would be wrong. A symbolic link
// is followed, even one whose target does not exist yet, so the file it points to
// is written and the link kept; a link loop is refused.
#pragma once

#include <functional>
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
    // afterwards, whatever the result. With kFlushToDisk the content is on disk
    // before the rename and the rename is on disk (the folder flushed) before
    // commit() returns. `beforeRename`, when given, runs once the content is on
    // disk and before it takes the name; its failure leaves the old file.
    Status commit(const std::function<Status()>& beforeRename = {});
    // Drops everything written; the target keeps its old content.
    void discard();

    // The descriptor being written, for setting attributes before commit().
    int descriptor() const { return fd_; }
    // The hidden file being written, or "" while the new file has no name.
    const std::string& temporaryName() const { return temp_; }

    // For tests: behave as on a file system without unnamed files.
    static void setUnnamedFilesAllowed(bool allowed);

  private:
    Status commitUnnamed();
    Status commitNamed();
    Status flushFolder();

    int fd_ = -1;
    bool inPlace_ = false;
    Durability durability_ = Durability::kFlushToDisk;
    std::string path_;    // as given, for messages
    std::string target_;  // what is replaced (links followed)
    std::string temp_;    // the hidden file's name; "" when the file has none
};

// Replaces the file at `path` with `content` through an AtomicFile, flushed to
// disk, giving it the file type and creator codes when they are not empty.
Status replaceFile(const std::string& path, const std::string& content,
                   const std::string& type = "", const std::string& creator = "");

}  // namespace tabulon
