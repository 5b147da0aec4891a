// A folder that files from outside are written into and never out of. Every
// name is opened relative to the folder's own descriptor and is one name, never
// a path; a symbolic link found under a name is never followed (a folder or
// file someone planted as a link is refused), and a file takes its name only
// once it is whole, as AtomicFile does, but never over a file already there.
// Not thread-safe.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "platform/status.h"

namespace tabulon {

class ContainedFolder {
  public:
    ContainedFolder() = default;
    ~ContainedFolder();
    ContainedFolder(ContainedFolder&& other) noexcept;
    ContainedFolder& operator=(ContainedFolder&& other) noexcept;

    // The folder at `path`, made (with any missing parent) when missing. The
    // path is the user's own, so links along it are followed.
    static Status open(const std::string& path, ContainedFolder* folder);

    // The folder `name` inside this one, made when missing. A link of that
    // name, or anything else that is no folder, is refused.
    // REQUIRES: `name` holds no "/" and is neither "." nor "..".
    Status subfolder(const std::string& name, ContainedFolder* folder) const;

    // Writes `bytes` under the first of nameFor(1), nameFor(2), ... that is free
    // or already holds exactly these bytes (then nothing is written), flushed
    // to disk. `*used` gets that name. On failure nothing new is left.
    // REQUIRES: each name holds no "/" and is neither "." nor "..".
    Status addFile(const std::function<std::string(unsigned)>& nameFor, std::string_view bytes,
                   std::string* used);

    // The folder's path as given, ending in "/", for messages.
    const std::string& path() const { return path_; }

  private:
    enum class Slot { kFree, kSame, kTaken };
    Slot look(const std::string& name, std::string_view bytes) const;
    Status writeHidden(std::string_view bytes, std::string* hidden);

    int fd_ = -1;
    std::string path_;
};

}  // namespace tabulon
