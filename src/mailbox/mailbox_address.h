// Where a mailbox folder is: an imaps:// address read into its host, user and
// folder, or made from what a user typed in the window's fields.
#pragma once

#include <string>

#include "platform/status.h"

namespace tabulon {

// Splits an imap:// or imaps:// address into its host, user and folder; refuses
// any other address, one without user or folder, and one holding a password.
struct ImapAddress {
    std::string host;      // with the port when the address gives one
    std::string hostName;  // without it: the machine of ~/.netrc
    std::string user;
    // Decoded, %-escapes and IMAP's modified UTF-7 alike: "Orders/Aufträge"
    std::string folder;
    bool tls = true;  // imaps: TLS from the start
};
Status parseImapAddress(const std::string& url, ImapAddress* address);

// "host/folder" (the host with its port) of a mailbox, as rows, progress and
// titles name it; for an address parseImapAddress() refuses, the address itself.
std::string mailboxName(const ImapAddress& address);
std::string mailboxName(const std::string& url);

// The address of `folder` ("INBOX" when empty) of `user` at `server` ("name" or
// "name:port"): imaps://, or imap:// with STARTTLS on port 143. Refuses a
// server or user left out, and a server that is more than a name and a port.
Status mailboxAddressOf(const std::string& server, const std::string& user,
                        const std::string& folder, std::string* url);

}  // namespace tabulon
