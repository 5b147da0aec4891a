// One logged-in IMAP session: libcurl makes the connection, the TLS and the
// login, then Tabulon writes tagged commands and reads the replies itself, line
// by line and literal by literal, with limits on silence and on a reply's whole
// time, so that several commands can be under way at once.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/status.h"

namespace tabulon {

struct ImapConnectionSettings {
    std::string url;       // imaps://HOST[:PORT]/ or imap://... (STARTTLS required)
    std::string user;      // the login
    std::string password;  // REQUIRES: not empty
    std::string caFile;    // "": the system's certificates
    long connectSeconds = 30;
    long stallSeconds = 60;   // the longest silence in the middle of a reply
    long replySeconds = 600;  // the longest time one reply (or one message) may take
    const std::atomic<bool>* stop = nullptr;
};

// Why a connection failed, for the caller's sentence.
enum class ImapFailure {
    kNone,
    kLoginDenied,
    kUntrusted,
    kBadCaFile,
    kNoStartTls,
    kSilent,    // no byte for stallSeconds
    kTooSlow,   // a reply took longer than replySeconds
    kNoServer,  // no connection made
    kBroken,    // closed, reset, TLS errors and others
};

class ImapConnection {
  public:
    // Connects and logs in. On failure `*failure` says which, and the status's
    // message holds libcurl's detail.
    static Status open(const ImapConnectionSettings& settings,
                       std::unique_ptr<ImapConnection>* connection, ImapFailure* failure);
    ~ImapConnection();
    ImapConnection(const ImapConnection&) = delete;
    ImapConnection& operator=(const ImapConnection&) = delete;

    // Sends "TAG command" and gives the tag.
    Status send(const std::string& command, std::string* tag);
    // The next line of a reply, without its CR LF; a line that announces a literal
    // ends with "{n}", and the literal follows. At most `limit` bytes.
    Status readLine(std::string* line, size_t limit);
    // The next `size` bytes, a literal's, appended to `*out`; let go when `out` is
    // null.
    Status readLiteral(uint64_t size, std::string* out);
    // The limit on a reply's whole time starts again now.
    void restartReplyClock() { replyStart_ = Clock::now(); }

    ImapFailure failure() const { return failure_; }

  private:
    using Clock = std::chrono::steady_clock;
    explicit ImapConnection(const ImapConnectionSettings& settings);
    // Reads more into `buffer_`; waits as the limits allow.
    Status fill();
    Status fail(ImapFailure failure, const std::string& detail);

    ImapConnectionSettings settings_;
    void* curl_ = nullptr;
    int socket_ = -1;
    std::string buffer_;  // received, not yet taken: buffer_[start_..end_)
    size_t start_ = 0;
    size_t end_ = 0;
    uint64_t nextTag_ = 0;
    Clock::time_point replyStart_;
    ImapFailure failure_ = ImapFailure::kNone;
    bool broken_ = false;
};

}  // namespace tabulon
