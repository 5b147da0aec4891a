// The account an IMAP folder is read with: its address, the password, the
// certificates to trust, the time limits and what stops a read.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "mail/message_splitter.h"

namespace tabulon {

struct ImapAccount {
    // imaps://USER@HOST[:PORT]/FOLDER, or imap://... where the server must then
    // agree to STARTTLS. A password in the address is refused.
    std::string url;
    std::string password;  // "": ~/.netrc's for this user at this host, else an error
    std::string caFile;    // certificates to trust instead of the system's; "": the system's
    // Giving up: on a connection not made within `connectSeconds`, on a server
    // that sends nothing for `stallSeconds` in the middle of a reply, and on a
    // reply (or one message of a fetch) not whole within `replySeconds`.
    long connectSeconds = 30;
    long stallSeconds = 60;
    long replySeconds = 300;
    // A message larger than this is let go unread, as a file's is.
    uint64_t maxMessageBytes = MessageSplitter::kMaxMessageBytes;
    // Once this holds (set from any thread), the request under way ends within
    // about a second, waiting included, and the call returns Status::Stopped().
    const std::atomic<bool>* stop = nullptr;
    // How the user gives a password and a certificate, for messages.
    std::string passwordHint = "--password-file";
    std::string certificateHint = "with --cacert FILE";
};

}  // namespace tabulon
