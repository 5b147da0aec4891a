// One folder of an IMAP mailbox, read through libcurl: the UIDs of the messages
// a search matches, then the messages themselves, fetched by UID one at a time
// over one TLS connection. Memory holds one message at a time.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "mail/imap_command.h"
#include "platform/status.h"

namespace tabulon {

// A message larger than this is refused rather than held in memory.
constexpr uint64_t kMaxImapMessageBytes = 100 << 20;

struct ImapAccount {
    // imaps://USER@HOST[:PORT]/FOLDER, or imap://... where the server must then
    // agree to STARTTLS. A password in the address is refused.
    std::string url;
    std::string password;  // "": ~/.netrc's for the host, if any
    std::string caFile;    // certificates to trust instead of the system's; "": the system's
    // Giving up: on a connection not made within `connectSeconds`, and on a
    // server that sends nothing for `stallSeconds` in the middle of a reply.
    long connectSeconds = 30;
    long stallSeconds = 60;
    uint64_t maxMessageBytes = kMaxImapMessageBytes;
    // Once this holds (set from any thread), the request under way ends within
    // about a second, waiting included, and the call returns Status::Stopped().
    const std::atomic<bool>* stop = nullptr;
    // How the user gives a password and a certificate, for messages.
    std::string passwordHint = "--password-file";
    std::string certificateHint = "with --cacert FILE";
};

// Splits an imap:// or imaps:// address into its host, user and folder; refuses
// any other address, one without user or folder, and one holding a password.
struct ImapAddress {
    std::string host;
    std::string user;
    std::string folder;  // decoded: "Orders/2026"
    bool tls = true;     // imaps: TLS from the start
};
Status parseImapAddress(const std::string& url, ImapAddress* address);

class ImapMailbox {
  public:
    // Logs in and reads the folder's UIDVALIDITY. Errors name the server.
    static Status open(const ImapAccount& account, std::unique_ptr<ImapMailbox>* mailbox);
    ~ImapMailbox();

    const ImapAddress& address() const { return address_; }
    // Changes when the folder's UIDs start afresh: a UID means the same message
    // only as long as this stays the same.
    uint64_t uidValidity() const { return uidValidity_; }

    // The UIDs of the folder's messages that `search` matches, in ascending order.
    Status search(const ImapSearch& search, std::vector<uint64_t>* uids);

    // Hands each message, LF line ends, to `onMessage` as it arrives, in the order
    // of `uids`. Stops at the first error, its own or one `onMessage` returns; a
    // message gone since the search, or a folder whose UIDVALIDITY changed, is one.
    // Messages that were unread stay unread.
    using MessageFn = std::function<Status(uint64_t uid, std::string_view message)>;
    Status fetch(const std::vector<uint64_t>& uids, const MessageFn& onMessage);

    // What one request receives; for the write callback.
    struct Transfer;

  private:
    ImapMailbox(const ImapAccount& account, ImapAddress address);
    // Runs `command` on `url` (or fetches `url` when `command` is empty).
    Status perform(const std::string& url, const std::string& command, Transfer* transfer);
    Status failure(int code, const std::string& doing) const;
    void markUnread(std::vector<uint64_t> uids);
    std::string escaped(const std::string& text) const;
    std::string serverUrl() const;
    std::string folderUrl() const;

    ImapAccount account_;
    ImapAddress address_;
    void* curl_ = nullptr;
    uint64_t uidValidity_ = 0;
    uint64_t uidNext_ = 0;
    std::string errorBuffer_;
};

}  // namespace tabulon
