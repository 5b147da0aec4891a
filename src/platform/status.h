// The outcome of an operation that can fail: ok, or an error of a kind (what a
// caller may act on) with a message that names what failed and why, ready to
// show to a person.
#pragma once

#include <string>
#include <utility>

namespace tabulon {

class [[nodiscard]] Status {
  public:
    enum class Code {
        kOk,
        kNotFound,         // no file, folder or entry of that name
        kIoError,          // reading, writing or reaching it failed
        kCorrupt,          // what was read is damaged or not what it should be
        kInvalidArgument,  // what was asked for cannot be done (a wrong name, a folder for a file)
        kStopped,          // a run ended on request before its end; nothing is wrong
        kBrokenPipe,       // the reader at the other end of a pipe went away
    };

    Status() = default;
    static Status Ok() { return Status(); }
    static Status NotFound(std::string message) {
        return Status(Code::kNotFound, std::move(message));
    }
    static Status IoError(std::string message) {
        return Status(Code::kIoError, std::move(message));
    }
    static Status Corrupt(std::string message) {
        return Status(Code::kCorrupt, std::move(message));
    }
    static Status InvalidArgument(std::string message) {
        return Status(Code::kInvalidArgument, std::move(message));
    }
    static Status Stopped(std::string message = "The conversion was stopped.") {
        return Status(Code::kStopped, std::move(message));
    }
    // Callers that write to a pipe treat this as a normal end.
    static Status BrokenPipe() { return Status(Code::kBrokenPipe, "broken pipe"); }
    // An error of kind `code` whose message already names the file `path`.
    static Status FileError(Code code, std::string path, std::string message) {
        Status status(code, std::move(message));
        status.file_ = std::move(path);
        return status;
    }
    // The same kind and file, said in other words (what was done, what was left).
    Status withMessage(std::string message) const {
        return FileError(code_, file_, std::move(message));
    }

    bool ok() const { return code_ == Code::kOk; }
    bool isNotFound() const { return code_ == Code::kNotFound; }
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

// "Cannot <action> "<path>": <strerror(err)>", a FileError naming `path`: not
// found when no file is reachable at `path` (ENOENT, ENOTDIR, ELOOP,
// ENAMETOOLONG), an I/O error otherwise.
Status errnoStatus(const std::string& action, const std::string& path, int err);

}  // namespace tabulon
