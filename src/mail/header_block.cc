#include "mail/header_block.h"

#include <algorithm>
#include <array>

#include "mail/quoted_message.h"
#include "platform/text.h"

namespace tabulon {
namespace {

constexpr std::string_view kMailHeaders[] = {
    "from",        "to",           "cc",           "subject",      "date",
    "sent",        "reply-to",     "sender",       "message-id",   "received",
    "return-path", "mime-version", "content-type", "delivered-to", "x-mailer",
    "user-agent",  "in-reply-to",  "references",   "x-original-to"};

// The bytes of a header field's line up to its colon: a name's (printable
// ASCII but the colon), the colon, and any other, which ends the name.
enum : unsigned char { kEndsName, kInName, kColon };
constexpr std::array<unsigned char, 256> kNameBytes = [] {
    std::array<unsigned char, 256> bytes{};
    for (int c = '!'; c < 127; ++c)
        bytes[c] = c == ':' ? kColon : kInName;
    return bytes;
}();

// Where the colon after a header field's name is in `line`, or 0 when the line
// opens with no such name.
size_t headerColon(std::string_view line) {
    for (size_t i = 0; i < line.size(); ++i) {
        unsigned char kind = kNameBytes[static_cast<unsigned char>(line[i])];
        if (kind != kInName) return kind == kColon ? i : 0;
    }
    return 0;
}

// Whether a line is a field of mail saved as text whose name holds letters
// beyond ASCII ("Předmět:<Tab>"), and where its colon is.
[[gnu::noinline, gnu::cold]] bool isSavedField(std::string_view line, size_t* colon) {
    if (!isFieldLine(line)) return false;
    *colon = line.find(':');
    return true;
}

// Mail a program saved as text with a blank after each colon, its fields named
// in the program's language ("Assunto: ..."): a block that shows the message's
// From, Sent (or Date), To and Subject, read into `block`.
[[gnu::cold]] void readShownBlock(std::string_view message, HeaderBlock* block) {
    size_t body = textBelowHeaderBlock(message);
    if (body == 0) return;
    size_t pos = message.find_first_not_of('\n');
    while (pos < body) {
        size_t end = message.find('\n', pos);
        if (end == std::string_view::npos) end = message.size();
        std::string_view line = message.substr(pos, end - pos);
        if (trimBlanks(line).empty()) break;
        size_t colon = line.find(':');
        if (colon != std::string_view::npos)
            block->fields.push_back({line.substr(0, colon), trimBlanks(line.substr(colon + 1))});
        pos = end + 1;
    }
    block->isMail = true;
    block->bodyOffset = body;
}

}  // namespace

bool isHeaderLine(std::string_view line) {
    return headerColon(line) > 0;
}

bool tabAfterColon(std::string_view line) {
    size_t colon = line.find(':');
    return colon != std::string_view::npos && colon + 1 < line.size() && line[colon + 1] == '\t';
}

bool isFieldLine(std::string_view line) {
    if (isHeaderLine(line)) return true;
    size_t colon = line.find(':');
    return colon != std::string_view::npos && colon + 1 < line.size() &&
           (line[colon + 1] == '\t' || line[colon + 1] == ' ') &&
           !shownFieldOf(line.substr(0, colon)).empty();
}

bool isOtherSavedField(std::string_view line) {
    if (!tabAfterColon(line)) return false;
    std::string_view name = headerName(line);
    return !name.empty() && name.size() <= kMaxShownNameBytes && name[0] != ' ' &&
           name.back() != ' ' && std::count(name.begin(), name.end(), ' ') <= 2;
}

std::string_view headerName(std::string_view line) {
    return line.substr(0, line.find(':'));
}

bool isMailHeaderName(std::string_view name) {
    for (std::string_view known : kMailHeaders) {
        if (equalsIgnoringCase(name, known)) return true;
    }
    return false;
}

bool isTraceField(std::string_view line) {
    static constexpr std::string_view kTrace[] = {
        "received",    "x-received", "delivered-to",           "x-original-to",
        "return-path", "arc-seal",   "authentication-results", "dkim-signature"};
    size_t colon = headerColon(line);
    if (colon == 0) return false;
    std::string_view name = line.substr(0, colon);
    return std::any_of(std::begin(kTrace), std::end(kTrace),
                       [&](std::string_view trace) { return equalsIgnoringCase(name, trace); });
}

HeaderBlock readHeaderBlock(std::string_view message) {
    HeaderBlock block;
    readHeaderBlock(message, &block);
    return block;
}

void readHeaderBlock(std::string_view message, HeaderBlock* out) {
    HeaderBlock& block = *out;
    block.fields.clear();
    block.bodyOffset = 0;
    block.isMail = false;
    size_t pos = 0;
    bool known = false;
    while (pos < message.size()) {
        size_t end = message.find('\n', pos);
        size_t next = end == std::string_view::npos ? message.size() : end + 1;
        std::string_view line =
            message.substr(pos, next - pos - (end == std::string_view::npos ? 0 : 1));
        if (line.empty()) {
            pos = next;
            break;
        }
        if ((line[0] == ' ' || line[0] == '\t') && !block.fields.empty()) {
            HeaderField& last = block.fields.back();
            last.value = message.substr(last.value.data() - message.data(),
                                        line.data() + line.size() - last.value.data());
        } else if (size_t colon = headerColon(line);
                   colon > 0 || isSavedField(line, &colon) ||
                   (known && isOtherSavedField(line) && (colon = line.find(':')) > 0)) {
            std::string_view name = line.substr(0, colon);
            std::string_view value = line.substr(colon + 1);
            size_t skip = 0;
            while (skip < value.size() && (value[skip] == ' ' || value[skip] == '\t'))
                ++skip;
            block.fields.push_back({name, value.substr(skip)});
            // Mail saved as text names its fields in the mail program's
            // language, a Tab after each colon ("Assunto:<Tab>...").
            known = known || isMailHeaderName(name) ||
                    (value.starts_with('\t') && !shownFieldOf(name).empty());
        } else {
            break;  // not a header line: the body begins here
        }
        pos = next;
    }
    if (!known) {
        block.fields.clear();
        readShownBlock(message, &block);
        return;
    }
    block.isMail = true;
    block.bodyOffset = pos;
}

std::string HeaderBlock::value(std::string_view name) const {
    const HeaderField* found = nullptr;
    for (const HeaderField& field : fields) {
        if (equalsIgnoringCase(field.name, name)) {
            found = &field;
            break;
        }
    }
    // A field of mail saved as text, named in the mail program's language.
    if (found == nullptr &&
        (equalsIgnoringCase(name, "subject") || equalsIgnoringCase(name, "from") ||
         equalsIgnoringCase(name, "to") || equalsIgnoringCase(name, "date"))) {
        std::string_view wanted = equalsIgnoringCase(name, "date") ? "sent" : name;
        for (const HeaderField& field : fields) {
            if (!isMailHeaderName(field.name) &&
                equalsIgnoringCase(shownFieldOf(field.name), wanted)) {
                found = &field;
                break;
            }
        }
    }
    if (found == nullptr) return std::string();
    if (found->value.find('\n') == std::string_view::npos) return std::string(found->value);
    std::string unfolded;
    for (char c : found->value) {
        if (c != '\n') unfolded += c;
    }
    return unfolded;
}

bool HeaderBlock::has(std::string_view name) const {
    for (const HeaderField& field : fields) {
        if (equalsIgnoringCase(field.name, name)) return true;
    }
    return false;
}

}  // namespace tabulon
