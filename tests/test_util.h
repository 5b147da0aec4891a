// Helpers shared by the tests: scratch folders, whole-file reads and writes, and
// in-memory byte sources and sinks that misbehave on request.
#pragma once

#include <sys/un.h>

#include <optional>
#include <string>

#include "platform/byte_stream.h"

namespace tabulon::test {

// A fresh folder under the system's temporary folder, removed with everything in
// it when the object goes away. path() ends with "/".
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + name; }
    // Names of the entries in the folder, sorted.
    std::string listing() const;

  private:
    std::string path_;
};

// A character device that acts as /dev/NAME ("null", "full"). As root it is a
// node of its own in a scratch folder, so that a fault that replaced the file
// instead of writing into it cannot replace the system's own device; otherwise
// (or where the scratch folder's file system refuses devices) the system's,
// which only root could replace.
std::string scratchDevice(const std::string& name);

std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& content);

// `unit` `count` times over: a large input, or a long value.
std::string repeat(const std::string& unit, size_t count);

// Whether `text` holds `part`, for EXPECT_PRED2, whose failure shows both.
inline bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// Sets the environment variable `name` to `value` (null: unsets it) for the
// object's lifetime.
class ScopedEnv {
  public:
    ScopedEnv(const char* name, const char* value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

  private:
    const char* name_;
    std::optional<std::string> old_;
};

// The address of the Unix socket at `path`, and a connection to it (-1 if none).
sockaddr_un unixAddress(const std::string& path);
int connectTo(const std::string& path);

// Serves `data` in reads of at most `chunk` bytes, to put block edges anywhere.
class StringSource : public ByteSource {
  public:
    explicit StringSource(std::string data, size_t chunk = 1 << 20)
        : data_(std::move(data)), chunk_(chunk) {}
    Status read(char* buffer, size_t capacity, size_t* count) override;
    uint64_t size() const override { return data_.size(); }

  private:
    std::string data_;
    size_t chunk_;
    size_t position_ = 0;
};

using tabulon::StringSink;

// Accepts `capacity` bytes, then fails as a full disk would.
class FullDiskSink : public ByteSink {
  public:
    explicit FullDiskSink(size_t capacity) : capacity_(capacity) {}
    Status write(const char* data, size_t size) override;
    std::string bytes;

  private:
    size_t capacity_;
};

}  // namespace tabulon::test
