#include "mailbox/imap_command.h"

#include <charconv>
#include <cstdio>

#include "platform/text.h"
#include "table/utf8_text.h"

namespace tabulon {
namespace {

constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

bool readNumber(std::string_view text, uint64_t* value) {
    if (text.empty()) return false;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), *value);
    return error == std::errc() && end == text.data() + text.size();
}

// "2026-12-07" -> "7-Dec-2026", the date form of IMAP's SEARCH.
bool imapDate(std::string_view date, std::string* out) {
    unsigned year = 0, month = 0, day = 0;
    if (!readCalendarDay(date, &year, &month, &day)) return false;
    *out = std::to_string(day) + "-" + kMonths[month - 1] + "-" + std::to_string(year);
    return true;
}

// `text` as an IMAP quoted string; false when it holds a control character (a line
// end would end the command and begin another).
bool quoted(std::string_view text, std::string* out) {
    out->assign(1, '"');
    if (holdsControl(text)) return false;
    for (char c : text) {
        if (c == '"' || c == '\\') *out += '\\';
        *out += c;
    }
    *out += '"';
    return true;
}

bool isAscii(std::string_view text) {
    for (char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    }
    return true;
}

// Calls `onLine` with each line of `reply` that begins with `prefix` (ASCII case
// aside), the prefix taken off.
template <typename Fn>
void forEachLine(std::string_view reply, std::string_view prefix, Fn onLine) {
    while (!reply.empty()) {
        size_t end = reply.find('\n');
        std::string_view line = reply.substr(0, end);
        reply = end == std::string_view::npos ? std::string_view() : reply.substr(end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.size() >= prefix.size() &&
            equalsIgnoringCase(line.substr(0, prefix.size()), prefix)) {
            onLine(line.substr(prefix.size()));
        }
    }
}

}  // namespace

Status imapSearchCommand(const ImapSearch& search, uint64_t first, uint64_t last,
                         std::string* command) {
    std::string criteria;
    bool unicode = false;
    for (const MailboxOption& option : mailboxOptions()) {
        const std::string* text = option.filter ? &(search.*option.filter) : nullptr;
        if (text == nullptr || text->empty()) continue;
        std::string value;
        if (option.day && !imapDate(*text, &value)) {
            return Status::InvalidArgument("the date \"" + printableServerText(*text) +
                                           "\" is not a day written YYYY-MM-DD");
        }
        if (!option.day && !quoted(*text, &value)) {
            return Status::InvalidArgument("the search text \"" + printableServerText(*text) +
                                           "\" holds a control character");
        }
        unicode = unicode || (!option.day && !isAscii(*text));
        criteria += std::string(" ") + option.searchKey + " " + value;
    }
    if (search.unread) criteria += " UNSEEN";
    if (last != 0) criteria += " UID " + std::to_string(first) + ":" + std::to_string(last);
    if (criteria.empty()) criteria = " ALL";
    *command = std::string("UID SEARCH") + (unicode ? " CHARSET UTF-8" : "") + criteria;
    return Status::Ok();
}

std::vector<std::string> imapUidSets(const std::vector<uint64_t>& uids, size_t length) {
    std::vector<std::string> sets;
    for (size_t i = 0; i < uids.size();) {
        size_t end = i;
        while (end + 1 < uids.size() && uids[end + 1] == uids[end] + 1)
            ++end;
        if (sets.empty() || sets.back().size() >= length) {
            sets.emplace_back();
        } else {
            sets.back() += ',';
        }
        sets.back() += std::to_string(uids[i]);
        if (end > i) {
            sets.back() += ':';
            sets.back() += std::to_string(uids[end]);
        }
        i = end + 1;
    }
    return sets;
}

bool parseSearchReply(std::string_view reply, std::vector<uint64_t>* uids) {
    bool valid = true;
    forEachLine(reply, "* SEARCH", [&](std::string_view rest) {
        while (valid && !rest.empty()) {
            size_t start = rest.find_first_not_of(' ');
            if (start == std::string_view::npos) break;
            rest.remove_prefix(start);
            size_t end = rest.find(' ');
            uint64_t uid = 0;
            valid = readNumber(rest.substr(0, end), &uid) && uid != 0;
            if (valid) uids->push_back(uid);
            rest = end == std::string_view::npos ? std::string_view() : rest.substr(end);
        }
    });
    return valid;
}

void parseExamineLine(std::string_view line, uint64_t* uidValidity, uint64_t* uidNext) {
    if (line.size() < 6 || !equalsIgnoringCase(line.substr(0, 6), "* OK [")) return;
    size_t close = line.find(']');
    if (close == std::string_view::npos) return;
    std::string_view code = line.substr(6, close - 6);
    size_t space = code.find(' ');
    if (space == std::string_view::npos) return;
    uint64_t value = 0;
    if (!readNumber(code.substr(space + 1), &value)) return;
    if (equalsIgnoringCase(code.substr(0, space), "UIDVALIDITY")) *uidValidity = value;
    if (equalsIgnoringCase(code.substr(0, space), "UIDNEXT")) *uidNext = value;
}

bool literalAtEnd(std::string_view line, uint64_t* bytes) {
    if (line.empty() || line.back() != '}') return false;
    size_t open = line.rfind('{');
    if (open == std::string_view::npos) return false;
    std::string_view number = line.substr(open + 1, line.size() - open - 2);
    if (!number.empty() && number.back() == '+') number.remove_suffix(1);
    return readNumber(number, bytes);
}

bool isFetchReply(std::string_view line) {
    if (line.size() < 3 || line.substr(0, 2) != "* ") return false;
    size_t space = line.find(' ', 2);
    uint64_t number = 0;
    return space != std::string_view::npos && readNumber(line.substr(2, space - 2), &number) &&
           line.size() >= space + 8 && equalsIgnoringCase(line.substr(space, 8), " FETCH (");
}

FetchPiece readFetchPiece(std::string_view piece) {
    FetchPiece out;
    out.literal = literalAtEnd(piece, &out.literalBytes);
    std::string_view items = piece;
    if (isFetchReply(piece)) items = piece.substr(piece.find('(') + 1);
    std::string_view previous;
    while (!items.empty()) {
        size_t start = items.find_first_not_of(" ()");
        if (start == std::string_view::npos) break;
        items.remove_prefix(start);
        size_t end = items.find_first_of(" ()");
        std::string_view word = items.substr(0, end);
        items = end == std::string_view::npos ? std::string_view() : items.substr(end);
        uint64_t uid = 0;
        if (equalsIgnoringCase(previous, "UID") && readNumber(word, &uid)) out.uid = uid;
        if (equalsIgnoringCase(previous, "BODY[]")) {
            if (equalsIgnoringCase(word, "NIL")) out.bodyNil = true;
            if (out.literal && items.empty() && word.front() == '{') out.bodyFollows = true;
        }
        previous = word;
    }
    return out;
}

std::string printableServerText(std::string_view text, size_t limit) {
    // At most four bytes a character: what is cut off is more than `limit` shows.
    std::string valid;
    appendValidUtf8(text.substr(0, 4 * limit + 4), &valid);
    return shownText(valid, limit);
}

}  // namespace tabulon
