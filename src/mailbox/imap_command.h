// The IMAP text Tabulon writes and reads itself: the UID SEARCH command made from
// a user's filters, the replies to it and to STATUS, and server text made safe to
// print. libcurl carries the protocol; no network here.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "mailbox/mailbox_options.h"
#include "platform/status.h"

namespace tabulon {

// "UID SEARCH [CHARSET UTF-8] [SUBJECT "..."] [FROM "..."] [SINCE d-Mon-yyyy] [UID a:b]"
// for `search`, restricted to UIDs `first` to `last` when `last` is not 0; each
// filter as its row of mailboxOptions() asks. Refuses a filter holding a control
// character and a date that is not a real YYYY-MM-DD.
Status imapSearchCommand(const ImapSearch& search, uint64_t first, uint64_t last,
                         std::string* command);

// `uids` (ascending) as IMAP sets ("1:5,7,9:12"), each at most about `length`
// bytes long.
std::vector<std::string> imapUidSets(const std::vector<uint64_t>& uids, size_t length);

// Adds the UIDs of the "* SEARCH ..." lines in `reply` to `uids`; false when such a
// line holds something other than numbers.
bool parseSearchReply(std::string_view reply, std::vector<uint64_t>* uids);

// Reads "[UIDVALIDITY n]" and "[UIDNEXT n]" from one untagged line of an EXAMINE
// reply ("* OK [UIDVALIDITY 7] UIDs valid"); a value absent is left as it was.
void parseExamineLine(std::string_view line, uint64_t* uidValidity, uint64_t* uidNext);

// A literal announced at the end of `line` ("... {120}"): its size.
bool literalAtEnd(std::string_view line, uint64_t* bytes);

// What one piece of a FETCH reply says: the reply's first line
// ("* 3 FETCH (UID 5 BODY[] {120}"), or a piece that follows a literal.
struct FetchPiece {
    uint64_t uid = 0;          // "UID n", where the piece holds it
    bool bodyNil = false;      // "BODY[] NIL": the message is gone
    bool bodyFollows = false;  // the piece ends "BODY[] {n}": the message is the literal
    bool literal = false;      // the piece ends in a literal of some item
    uint64_t literalBytes = 0;
};
// False when `line` is the first line of something other than a FETCH reply.
bool isFetchReply(std::string_view line);
FetchPiece readFetchPiece(std::string_view piece);

// `text` from a server, fit to print on one line: bytes that are not UTF-8 read
// as Windows-1252, then shown as shownText() shows it, cut to `limit` characters.
std::string printableServerText(std::string_view text, size_t limit = 200);

}  // namespace tabulon
