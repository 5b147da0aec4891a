// The outcome of an operation that can fail: ok, or an error with a message that
// names what failed and why, ready to show to a person.
#pragma once

#include <string>
#include <utility>

namespace tabulon {

class [[nodiscard]] Status {
  public:
    enum class Code { kOk, kError, kBrokenPipe, kStopped };

    Status() = default;
    static Status Ok() { return Status(); }
    static Status Error(std::string message) { return Status(Code::kError, std::move(message)); }
    // The reader at the other end of a pipe went away; callers that write to a
    // pipe treat this as a normal end.
    static Status BrokenPipe() { return Status(Code::kBrokenPipe, "broken pipe"); }
    // An error whose message already names the file `path` (and says what failed).
    static Status FileError(std::string path, std::string message) {
        Status status(Code::kError, std::move(message));
        status.file_ = std::move(path);
        return status;
    }
    // A run ended on request before its end; nothing is wrong.
    static Status Stopped() { return Status(Code::kStopped, "The conversion was stopped."); }

    bool ok() const { return code_ == Code::kOk; }
    bool isBrokenPipe() const { return code_ == Code::kBrokenPipe; }
    bool isStopped() const { return code_ == Code::kStopped; }
    Code code() const { return code_; }
    const std::string& message() const { return message_; }
    // The file a FileError names; "" for any other status.
    const std::string& file() const { return file_; }

  private:
    // A message may name a file or quote a server or a mail: what it carries of
    // them is made printable (platform/control_characters.h), line ends kept.
    Status(Code code, std::string message);

    Code code_ = Code::kOk;
    std::string message_;
    std::string file_;
};

// "Cannot <action> "<path>": <strerror(err)>", a FileError naming `path`.
Status errnoStatus(const std::string& action, const std::string& path, int err);

}  // namespace tabulon
