// One folder of an IMAP mailbox: the UIDs of the messages a search matches, then
// the messages themselves, fetched by UID in batches over one TLS connection and
// given in UID order. The folder is opened read-only and messages are fetched
// without marking them read. Memory holds one message.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "mail/message_splitter.h"
#include "mailbox/imap_account.h"
#include "mailbox/imap_command.h"
#include "mailbox/mailbox_address.h"
#include "platform/status.h"

namespace tabulon {

class ImapConnection;
enum class ImapFailure;

class ImapMailbox {
  public:
    // Logs in and opens the folder read-only. Errors name the server.
    static Status open(const ImapAccount& account, std::unique_ptr<ImapMailbox>* mailbox);
    ~ImapMailbox();

    const ImapAddress& address() const { return address_; }
    // Changes when the folder's UIDs start afresh: a UID means the same message
    // only as long as this stays the same.
    uint64_t uidValidity() const { return uidValidity_; }

    // The UIDs of the folder's messages that `search` matches, in ascending order.
    Status search(const ImapSearch& search, std::vector<uint64_t>* uids);

    // A message as fetch() hands it on.
    struct Message {
        uint64_t uid = 0;
        std::string_view text;  // LF line ends; empty when gone or too large
        bool tooLarge = false;  // over maxMessageBytes: its bytes were let go
        bool gone = false;      // no longer in the folder (expunged since the search)
    };
    // Hands each message of `uids` to `onMessage` as it arrives, in ascending UID
    // order from any usual server; a message gone since the search is handed on
    // as gone. Stops at the first error, its own or one `onMessage` returns.
    using MessageFn = std::function<Status(const Message& message)>;
    Status fetch(std::vector<uint64_t> uids, const MessageFn& onMessage);

  private:
    ImapMailbox(const ImapAccount& account, ImapAddress address);
    // Runs `command` to its tagged end, handing each untagged line to `onLine`.
    Status run(const std::string& command, const std::string& doing,
               const std::function<void(std::string_view line)>& onLine);
    Status failure(ImapFailure failure, const std::string& detail, const std::string& doing) const;
    Status connectionFailure(const Status& status, const std::string& doing) const;

    ImapAccount account_;
    ImapAddress address_;
    std::unique_ptr<ImapConnection> connection_;
    uint64_t uidValidity_ = 0;
    uint64_t uidNext_ = 0;
};

}  // namespace tabulon
