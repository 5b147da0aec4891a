// The IMAP text Tabulon writes and reads itself: the UID SEARCH command made from
// a user's filters, the replies to it and to STATUS, and server text made safe to
// print. libcurl carries the protocol; no network here.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/status.h"
#include "platform/text.h"

namespace tabulon {

// Whether an input names an IMAP mailbox (imaps://... or imap://...) rather than
// a file.
inline bool isMailboxAddress(std::string_view input) {
    for (std::string_view scheme : {"imaps://", "imap://"}) {
        if (input.size() > scheme.size() &&
            equalsIgnoringCase(input.substr(0, scheme.size()), scheme)) {
            return true;
        }
    }
    return false;
}

// Which messages of a folder to read; empty filters match every message.
struct ImapSearch {
    std::string subject;  // the Subject contains this text (letter case aside)
    std::string from;     // the From field contains this text
    std::string since;    // YYYY-MM-DD: received on or after this day
    bool unread = false;  // only messages not marked read
};

// "UID SEARCH [CHARSET UTF-8] [SUBJECT "..."] [FROM "..."] [SINCE d-Mon-yyyy] [UID a:b]"
// for `search`, restricted to UIDs `first` to `last` when `last` is not 0. Refuses
// a filter holding a control character and a date that is not a real YYYY-MM-DD.
Status imapSearchCommand(const ImapSearch& search, uint64_t first, uint64_t last,
                         std::string* command);

// `uids` (ascending) as IMAP sets ("1:5,7,9:12"), each at most about `length`
// bytes long.
std::vector<std::string> imapUidSets(const std::vector<uint64_t>& uids, size_t length);

// Adds the UIDs of the "* SEARCH ..." lines in `reply` to `uids`; false when such a
// line holds something other than numbers.
bool parseSearchReply(std::string_view reply, std::vector<uint64_t>* uids);

// Reads "UIDVALIDITY n" and "UIDNEXT n" from a "* STATUS folder (...)" reply; a
// value absent from it is left as it was. False when there is no STATUS line.
bool parseStatusReply(std::string_view reply, uint64_t* uidValidity, uint64_t* uidNext);

// `text` from a server, fit to print on one line: control characters and bytes
// that are not UTF-8 shown as \xNN, cut to `limit` bytes with "..." after.
std::string printableServerText(std::string_view text, size_t limit = 200);

}  // namespace tabulon
