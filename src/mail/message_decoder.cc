#include "mail/message_decoder.h"

#include <utility>

#include <gmime/gmime.h>
#include <libxml/parser.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdlib>

#include "mail/charset_text.h"
#include "mail/conversion_limits.h"
#include "mail/encoded_words.h"
#include "mail/flowed_text.h"
#include "mail/header_block.h"
#include "mail/header_cell.h"
#include "mail/html_text.h"
#include "mail/label_shape.h"
#include "mail/link_references.h"
#include "mail/quoted_message.h"
#include "platform/text.h"

namespace tabulon {
namespace {

// What the parser said about the structure while it read one message.
struct ParseWarnings {
    bool broken = false;
};

void onParserWarning(gint64, GMimeParserWarning code, const gchar*, gpointer data) {
    switch (code) {
        case GMIME_WARN_MALFORMED_MULTIPART:
        case GMIME_WARN_TRUNCATED_MESSAGE:
        case GMIME_WARN_MALFORMED_MESSAGE:
        case GMIME_CRIT_MULTIPART_WITHOUT_BOUNDARY:
        case GMIME_CRIT_NESTING_OVERFLOW:
        case GMIME_CRIT_PART_WITHOUT_HEADERS_OR_CONTENT:
            static_cast<ParseWarnings*>(data)->broken = true;
            break;
        default:
            break;
    }
}

std::string streamBytes(GMimeStream* stream) {
    GByteArray* array = g_mime_stream_mem_get_byte_array(GMIME_STREAM_MEM(stream));
    return std::string(reinterpret_cast<const char*>(array->data), array->len);
}

// What each byte is in base64 text: a symbol of the alphabet, the padding,
// a blank or line end between symbols, or none of these.
enum : unsigned char { kNotBase64, kBase64Blank, kBase64Symbol, kBase64Padding };
constexpr auto kBase64Kinds = [] {
    std::array<unsigned char, 256> kinds{};
    for (int c = 'A'; c <= 'Z'; ++c)
        kinds[c] = kBase64Symbol;
    for (int c = 'a'; c <= 'z'; ++c)
        kinds[c] = kBase64Symbol;
    for (int c = '0'; c <= '9'; ++c)
        kinds[c] = kBase64Symbol;
    kinds['+'] = kinds['/'] = kBase64Symbol;
    kinds['='] = kBase64Padding;
    kinds[' '] = kinds['\t'] = kinds['\r'] = kinds['\n'] = kBase64Blank;
    return kinds;
}();

// Base64 text that a decoder would have to guess at: letters outside the
// alphabet, or a length that does not come out in whole groups.
bool isBrokenBase64(std::string_view text) {
    size_t symbols = 0;
    size_t i = 0;
    for (; i < text.size(); ++i) {
        unsigned char kind = kBase64Kinds[static_cast<unsigned char>(text[i])];
        if (kind == kBase64Symbol) {
            ++symbols;
        } else if (kind != kBase64Blank) {
            break;
        }
    }
    // After the first padding, only padding and blanks may follow.
    for (; i < text.size(); ++i) {
        unsigned char kind = kBase64Kinds[static_cast<unsigned char>(text[i])];
        if (kind == kBase64Padding) {
            ++symbols;
        } else if (kind != kBase64Blank) {
            return true;
        }
    }
    return symbols % 4 != 0;
}

// "multipart/SUBTYPE" followed by its parameters or nothing: what GMime's parser
// would read as a multipart type anyway, and which differs from message to
// message in its boundary, so it is not worth parsing here.
bool isPlainMultipart(std::string_view value) {
    constexpr std::string_view kMultipart = "multipart/";
    if (value.size() <= kMultipart.size() ||
        !equalsIgnoringCase(value.substr(0, kMultipart.size()), kMultipart))
        return false;
    size_t i = kMultipart.size();
    auto isTokenChar = [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               c == '-' || c == '.' || c == '+';
    };
    if (!isTokenChar(value[i])) return false;
    while (i < value.size() && isTokenChar(value[i]))
        ++i;
    while (i < value.size() && (value[i] == ' ' || value[i] == '\t'))
        ++i;
    return i == value.size() || value[i] == ';';
}

struct FoundParts {
    GMimePart* plain = nullptr;
    GMimePart* html = nullptr;
    GMimeMessage* attached = nullptr;  // the first message attached (forwarded) whole
};

// The messages attached whole in `object`'s tree, not counting inside them.
int attachedMessages(GMimeObject* object, int depth) {
    if (object == nullptr || depth > 64) return 0;
    if (GMIME_IS_MESSAGE_PART(object)) return 1;
    if (!GMIME_IS_MULTIPART(object)) return 0;
    GMimeMultipart* multipart = GMIME_MULTIPART(object);
    int messages = 0;
    for (int i = 0, count = g_mime_multipart_get_count(multipart); i < count; ++i)
        messages += attachedMessages(g_mime_multipart_get_part(multipart, i), depth + 1);
    return messages;
}

void findTextParts(GMimeObject* object, FoundParts* found, int depth) {
    if (object == nullptr || depth > 64) return;
    if (GMIME_IS_MULTIPART(object)) {
        GMimeMultipart* multipart = GMIME_MULTIPART(object);
        // A delivery report that returns the form mail it could not deliver is
        // read as that mail, which may be the only copy of it: as a forward.
        int count = g_mime_multipart_get_count(multipart);
        for (int i = 0; i < count && found->attached == nullptr; ++i)
            findTextParts(g_mime_multipart_get_part(multipart, i), found, depth + 1);
        return;
    }
    if (GMIME_IS_MESSAGE_PART(object)) {
        found->attached = g_mime_message_part_get_message(GMIME_MESSAGE_PART(object));
        return;
    }
    if (!GMIME_IS_PART(object) || (found->plain != nullptr && found->html != nullptr)) return;
    GMimePart* part = GMIME_PART(object);
    if (g_mime_part_is_attachment(part)) return;
    GMimeContentType* type = g_mime_object_get_content_type(object);
    if (isPlainTextType(type)) {
        if (found->plain == nullptr) found->plain = part;
    } else if (found->html == nullptr && g_mime_content_type_is_type(type, "text", "html")) {
        found->html = part;
    }
}

// The part's bytes as they stand in the message, when the parser left its content
// as a window on the message's memory (as it does for a memory stream).
bool contentBytes(GMimeDataWrapper* content, std::string_view* bytes) {
    GMimeStream* stream = g_mime_data_wrapper_get_stream(content);
    if (stream == nullptr || !GMIME_IS_STREAM_MEM(stream)) return false;
    GByteArray* array = GMIME_STREAM_MEM(stream)->buffer;
    if (array == nullptr) return false;
    gint64 start = stream->bound_start;
    gint64 end = stream->bound_end == -1 ? static_cast<gint64>(array->len) : stream->bound_end;
    if (start < 0 || end < start || end > static_cast<gint64>(array->len)) return false;
    *bytes = std::string_view(reinterpret_cast<const char*>(array->data) + start,
                              static_cast<size_t>(end - start));
    return true;
}

// The part's content decoded from its transfer encoding into `scratch`, with
// GMime's decoders; false for what is left to GMime's data wrapper (uuencode, a
// content not in memory).
bool decodeInPlace(GMimeDataWrapper* content, std::string* scratch, DecodedMessage* out) {
    std::string_view bytes;
    if (!contentBytes(content, &bytes)) return false;
    GMimeContentEncoding encoding = g_mime_data_wrapper_get_encoding(content);
    switch (encoding) {
        case GMIME_CONTENT_ENCODING_DEFAULT:
        case GMIME_CONTENT_ENCODING_7BIT:
        case GMIME_CONTENT_ENCODING_8BIT:
        case GMIME_CONTENT_ENCODING_BINARY:
            scratch->assign(bytes);
            return true;
        case GMIME_CONTENT_ENCODING_BASE64:
        case GMIME_CONTENT_ENCODING_QUOTEDPRINTABLE: {
            if (encoding == GMIME_CONTENT_ENCODING_BASE64 && isBrokenBase64(bytes))
                out->problems.push_back("broken base64");
            GMimeEncoding decoder;
            g_mime_encoding_init_decode(&decoder, encoding);
            scratch->resize(g_mime_encoding_outlen(&decoder, bytes.size()));
            size_t n = g_mime_encoding_flush(&decoder, bytes.data(), bytes.size(), scratch->data());
            scratch->resize(std::min(n, scratch->size()));
            return true;
        }
        default:
            return false;
    }
}

void decodeWithWrapper(GMimeDataWrapper* content, std::string* bytes, DecodedMessage* out) {
    if (g_mime_data_wrapper_get_encoding(content) == GMIME_CONTENT_ENCODING_BASE64) {
        GMimeStream* raw = g_mime_data_wrapper_get_stream(content);
        GMimeStream* copy = g_mime_stream_mem_new();
        g_mime_stream_reset(raw);
        g_mime_stream_write_to_stream(raw, copy);
        g_mime_stream_reset(raw);
        if (isBrokenBase64(streamBytes(copy))) out->problems.push_back("broken base64");
        g_object_unref(copy);
    }
    GMimeStream* decoded = g_mime_stream_mem_new();
    g_mime_data_wrapper_write_to_stream(content, decoded);
    *bytes = streamBytes(decoded);
    g_object_unref(decoded);
}

// Whether text sent as plain is HTML all the same, as scripts that name no type
// send it: it opens with a tag of a document, a block or a bold label, or its
// first line ends with a line break tag.
bool looksLikeHtml(std::string_view text) {
    size_t start = text.find_first_not_of(" \t\r\n");
    if (start == std::string_view::npos) return false;
    text.remove_prefix(start);
    if (text[0] == '<') {
        for (std::string_view tag :
             {"<!doctype", "<html", "<head", "<body", "<table", "<div", "<p>", "<p ", "<h1", "<h2",
              "<h3", "<br", "<b>", "<strong", "<span", "<font", "<center", "<ul", "<meta"}) {
            if (text.size() >= tag.size() && equalsIgnoringCase(text.substr(0, tag.size()), tag))
                return true;
        }
    }
    std::string_view first = text.substr(0, text.find('\n'));
    while (!first.empty() && (first.back() == '\r' || first.back() == ' '))
        first.remove_suffix(1);
    for (std::string_view tag : {"<br>", "<br/>", "<br />"}) {
        if (first.size() >= tag.size() &&
            equalsIgnoringCase(first.substr(first.size() - tag.size()), tag))
            return true;
    }
    return false;
}

// Whether HTML of several lines holds no tag that ends a line (a <br>, a block,
// a row, an item): a script's text sent with a type of HTML, whose line ends
// are the breaks it meant.
bool breaksNoLine(std::string_view html) {
    size_t first = html.find('\n');
    if (first == std::string_view::npos || html.find('\n', first + 1) == std::string_view::npos)
        return false;
    static constexpr std::string_view kBreaking[] = {
        "br",     "p",      "div",    "tr",      "td",      "th",         "li",      "ul",
        "ol",     "dl",     "dt",     "dd",      "table",   "hr",         "h1",      "h2",
        "h3",     "h4",     "h5",     "h6",      "pre",     "blockquote", "section", "article",
        "header", "footer", "center", "address", "textarea"};
    for (size_t at = html.find('<'); at != std::string_view::npos; at = html.find('<', at + 1)) {
        size_t from = at + 1 + (at + 1 < html.size() && html[at + 1] == '/');
        size_t end = from;
        while (end < html.size() && std::isalnum(static_cast<unsigned char>(html[end])))
            ++end;
        std::string_view name = html.substr(from, end - from);
        for (std::string_view breaking : kBreaking) {
            if (equalsIgnoringCase(name, breaking)) return false;
        }
    }
    return true;
}

// Whether a line of HTML holds tags and blanks alone ("<html>", "</body>").
bool isTagsAlone(std::string_view line) {
    bool inTag = false;
    for (char c : line) {
        if (c == '<') inTag = true;
        if (!inTag && c != ' ' && c != '\t' && c != '\r') return false;
        if (c == '>') inTag = false;
    }
    return true;
}

std::string textOfHtml(std::string_view html, DecodedMessage* out) {
    bool cut = false;
    std::string text = htmlToText(html, &cut);
    // Text of one line from HTML of several: read again with a break at each line
    // end, where the HTML has no tag that ends a line, but for lines of tags alone.
    if (text.find('\n') == std::string::npos && breaksNoLine(html)) {
        std::string lines;
        for (size_t at = 0; at < html.size();) {
            size_t end = std::min(html.find('\n', at), html.size());
            std::string_view line = html.substr(at, end - at);
            lines.append(line);
            if (!isTagsAlone(line)) lines.append("<br>");
            lines += '\n';
            at = end + 1;
        }
        text = htmlToText(lines, &cut);
    }
    if (cut) out->problems.push_back("HTML the parser could not read to its end");
    return text;
}

// The part of a text body that is read: all of it, or up to the last line end
// within the limit.
std::string_view keptText(std::string_view bytes, DecodedMessage* out) {
    constexpr size_t kMax = MessageDecoder::kMaxTextBytes;
    if (bytes.size() <= kMax) return bytes;
    size_t end = bytes.rfind('\n', kMax - 1);
    if (end != std::string_view::npos) {
        ++end;
    } else {
        end = kMax;
        while (end > 0 && (static_cast<unsigned char>(bytes[end]) & 0xC0) == 0x80)
            --end;  // not inside a UTF-8 character
    }
    out->problems.push_back("text over " + std::to_string(kMax >> 20) +
                            " MB: the rest was not read");
    return bytes.substr(0, end);
}

void decodePart(GMimePart* part, bool html, std::string* scratch, DecodedMessage* out) {
    GMimeDataWrapper* content = g_mime_part_get_content(part);
    if (content == nullptr) return;
    if (!decodeInPlace(content, scratch, out)) decodeWithWrapper(content, scratch, out);
    const char* charset = g_mime_object_get_content_type_parameter(GMIME_OBJECT(part), "charset");
    std::string text;
    std::string name = charset == nullptr ? "" : charset;
    if (html && name.empty()) name = charsetOfHtml(*scratch);
    if (name.empty()) {
        appendUndeclaredText(keptText(*scratch, out), &text);
    } else if (!appendUtf8(keptText(*scratch, out), name, &text)) {
        out->problems.push_back("text not readable in charset \"" + name + "\"");
    }
    normalizeLineEnds(&text, html ? '\0' : kHtmlContinued);
    const char* format = g_mime_object_get_content_type_parameter(GMIME_OBJECT(part), "format");
    if (!html && format != nullptr && g_ascii_strcasecmp(format, "flowed") == 0) {
        const char* delsp = g_mime_object_get_content_type_parameter(GMIME_OBJECT(part), "delsp");
        unwrapFlowed(&text, delsp != nullptr && g_ascii_strcasecmp(delsp, "yes") == 0);
    }
    if (html || looksLikeHtml(text)) {
        out->body = textOfHtml(text, out);
        return;
    }
    markLinkReferences(&text);
    out->body = std::move(text);
}

// Lines of `text` that hold more than blanks, counted up to `most` + 1.
int linesWithText(std::string_view text, int most) {
    int lines = 0;
    for (size_t at = 0; at < text.size() && lines <= most;) {
        size_t end = std::min(text.find('\n', at), text.size());
        lines += text.find_first_not_of(" \t", at) < end;
        at = end + 1;
    }
    return lines;
}

// A text alternative of a line or two and no label, as a sender writes who puts
// the form in the HTML alone ("This message was sent as HTML; use a mail
// program that shows it").
bool isStub(std::string_view text) {
    if (text.find(':') != text.npos || text.find("\xEF\xBC\x9A") != text.npos) return false;
    return linesWithText(text, 3) <= 3;
}

// A text alternative made by stripping the HTML's tags and squeezing its
// blanks: the whole form on a line or two, its line ends lost ("Name: Ann
// Email: ann@example.org Message: Hi. -- Sent from ...").
bool isFlattened(std::string_view text) {
    if (text.size() < 160 || linesWithText(text, 3) > 3) return false;
    return std::count(text.begin(), text.end(), ':') >= 3;
}

// The columns a line takes on a screen: a character of Chinese, Japanese or
// Korean takes two.
size_t columnsOf(std::string_view line) {
    size_t columns = 0;
    for (size_t i = 0; i < line.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(line[i]);
        if (c < 0xE0) {
            columns += (c & 0xC0) != 0x80;
            continue;
        }
        gunichar wide =
            g_utf8_get_char_validated(line.data() + i, static_cast<gssize>(line.size() - i));
        columns += wide != static_cast<gunichar>(-1) && wide != static_cast<gunichar>(-2) &&
                           g_unichar_iswide(wide)
                       ? 2
                       : 1;
    }
    return columns;
}

// The columns of the longest line of `text` (UTF-8), looked at only in lines
// of at least `from` bytes; 0 when none is.
size_t longestLine(std::string_view text, size_t from) {
    size_t longest = 0;
    for (size_t pos = 0; pos < text.size();) {
        size_t end = std::min(text.find('\n', pos), text.size());
        if (end - pos >= from) longest = std::max(longest, columnsOf(text.substr(pos, end - pos)));
        pos = end + 1;
    }
    return longest;
}

// Whether a line is one word alone, or in a list of links a number and one
// word ("[4] https://..."): what no program that cuts lines at a width can cut.
bool isOneWord(std::string_view line) {
    line = trimBlanks(line);
    if (size_t number = line.find("] "); line.starts_with('[') && number != line.npos)
        line.remove_prefix(number + 2);
    return line.find(' ') == line.npos;
}

// The width a program that made a text alternative from the HTML cut long lines
// at; a line of its text that reaches it goes on below.
constexpr size_t kWrapWidth = 80;

// A text alternative whose long lines were cut at a width (76 columns, 80)
// where the HTML keeps them whole: a line of 66 columns or more that ends
// inside a sentence and goes on at the start of the line below (at the same
// indent, in a column of text), and none longer than the width but a word alone,
// which no program cuts.
bool isWrapped(std::string_view text) {
    bool cut = false;
    for (size_t pos = 0; pos < text.size();) {
        size_t end = std::min(text.find('\n', pos), text.size());
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        if (line.size() < 66) continue;
        size_t columns = columnsOf(line);
        if (columns > kWrapWidth) {
            if (isOneWord(line)) continue;
            return false;
        }
        if (columns < 66 || end + 1 >= text.size() || text[end + 1] == '\n') continue;
        size_t indent = line.find_first_not_of(' ');
        std::string_view below = text.substr(end + 1, text.find('\n', end + 1) - end - 1);
        if (below.find_first_not_of(' ') != indent || below[0] == '\t') continue;
        std::string_view last = line.substr(line.size() - 1);
        if (static_cast<unsigned char>(line.back()) >= 0x80) {
            size_t start = line.size() - 1;
            while (start > 0 && (static_cast<unsigned char>(line[start]) & 0xC0) == 0x80)
                --start;
            last = line.substr(start);
        }
        // The ideographic full stop, and the full-width "!", "?" and ":".
        static constexpr std::string_view kEnds[] = {
            ".", "!", "?", ":", "\xE3\x80\x82", "\xEF\xBC\x81", "\xEF\xBC\x9F", "\xEF\xBC\x9A"};
        cut = cut || std::find(std::begin(kEnds), std::end(kEnds), last) == std::end(kEnds);
    }
    return cut;
}

// Reads `html` in place of a stub text alternative when its text says far more,
// of a flattened one when its text keeps the lines the other lost, or of a
// wrapped one when its text has the lines the other cut.
[[gnu::noinline]] bool preferFullerHtml(GMimePart* html, DecodedMessage* out) {
    DecodedMessage fuller;
    std::string scratch;
    decodePart(html, true, &scratch, &fuller);
    if (isWrapped(out->body)) {
        if (longestLine(fuller.body, kWrapWidth) <= kWrapWidth) return false;
    } else if (isFlattened(out->body) ? linesWithText(fuller.body, 6) <= 6
                                      : fuller.body.size() <= 2 * out->body.size() + 80) {
        return false;
    }
    out->body = std::move(fuller.body);
    for (std::string& problem : fuller.problems)
        out->problems.push_back(std::move(problem));
    return true;
}

// Thunderbird marks a deleted message in its X-Mozilla-Status field (flag 0x0008)
// and leaves it in the file until the folder is compacted. IMAP servers that
// keep a folder as an mbox mark it in X-Status, a field of flag letters (A
// answered, F flagged, T draft, D deleted), until it is expunged.
bool isMarkedDeleted(const HeaderBlock& block) {
    bool deleted = false;
    // One pass over the fields; a name's length rules most out at once.
    for (const HeaderField& field : block.fields) {
        if (field.name.size() == 16 && equalsIgnoringCase(field.name, "x-mozilla-status")) {
            std::string status(trimBlanks(field.value));
            char* end = nullptr;
            unsigned long flags = std::strtoul(status.c_str(), &end, 16);
            return end != status.c_str() && (flags & 0x0008) != 0;
        }
        if (field.name.size() == 8 && equalsIgnoringCase(field.name, "x-status")) {
            std::string_view letters = trimBlanks(field.value);
            deleted = letters.find('D') != letters.npos &&
                      letters.find_first_not_of("AFTD") == letters.npos;
        }
    }
    return deleted;
}

// Mail programs that keep a folder's own data (its UIDs, its flags) in a first
// message of the file give it this subject and an X-IMAP or X-IMAPbase field.
bool isFolderData(const HeaderBlock& block) {
    if (!block.has("x-imap") && !block.has("x-imapbase")) return false;
    return block.value("subject").starts_with("DON'T DELETE THIS MESSAGE");
}

// How many lines could delimit a MIME part: those beginning "--".
size_t delimiterLines(std::string_view body) {
    size_t count = body.substr(0, 2) == "--" ? 1 : 0;
    for (size_t at = body.find("\n--"); at != std::string_view::npos;
         at = body.find("\n--", at + 3))
        ++count;
    return count;
}

// Whether the line with text above the one at `at` is a label and its answer.
bool isFormAbove(std::string_view text, size_t at) {
    size_t end = at;
    while (end > 0 && (text[end - 1] == '\n' || text[end - 1] == ' '))
        --end;
    if (end == 0) return false;
    size_t start = text.rfind('\n', end - 1);
    start = start == std::string_view::npos ? 0 : start + 1;
    std::string_view line = trimBlanks(text.substr(start, end - start));
    std::string plain;
    LabelLine label;
    return colonLabelOf(withoutEmphasis(line, &plain) ? std::string_view(plain) : line, &label,
                        kShortLabelWords) &&
           !label.value.empty();
}

// Where a reply's quote with ">" before each line begins, with the line that
// introduces it ("On Monday, Ann wrote:"): at the first quoted line from which
// most lines with text are quoted. npos when there is none.
size_t quotedLinesStart(std::string_view text) {
    if (text.find('>') == std::string_view::npos) return std::string_view::npos;
    size_t first = std::string_view::npos, introduced = std::string_view::npos;
    size_t quoted = 0, plain = 0, previous = std::string_view::npos;
    for (size_t at = 0; at < text.size();) {
        size_t end = text.find('\n', at);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = trimBlanks(text.substr(at, end - at));
        if (!line.empty()) {
            if (line[0] == '>') {
                if (first == std::string_view::npos) {
                    first = at;
                    std::string_view above =
                        previous == std::string_view::npos
                            ? std::string_view()
                            : trimBlanks(
                                  text.substr(previous, text.find('\n', previous) - previous));
                    // A Markdown block quote below a label alone is that label's
                    // answer: one in emphasis ("**Message**"), or one below the
                    // form's other answers ("Message:").
                    std::string plain;
                    if (isLabelAlone(above) &&
                        (withoutEmphasis(above, &plain) || isFormAbove(text, previous)))
                        return std::string_view::npos;
                    introduced = above.ends_with(':') ? previous : at;
                }
                ++quoted;
            } else if (first != std::string_view::npos) {
                ++plain;
            }
            previous = at;
        }
        at = end + 1;
    }
    if (first == std::string_view::npos || quoted < 2 || plain * 2 > quoted)
        return std::string_view::npos;
    return introduced;
}

// Takes the ">" from every line of `text`, when every line with text has one.
void unquoteLines(std::string* text) {
    bool quoted = false;
    for (size_t at = 0; at < text->size();) {
        size_t end = text->find('\n', at);
        if (end == std::string::npos) end = text->size();
        std::string_view line = trimBlanks(std::string_view(*text).substr(at, end - at));
        if (!line.empty() && line[0] != '>') return;
        quoted = quoted || !line.empty();
        at = end + 1;
    }
    if (!quoted) return;
    std::string plain;
    for (size_t at = 0; at < text->size();) {
        size_t end = text->find('\n', at);
        if (end == std::string::npos) end = text->size();
        std::string_view line = std::string_view(*text).substr(at, end - at);
        size_t mark = line.find('>');
        if (mark != std::string_view::npos && trimBlanks(line.substr(0, mark)).empty()) {
            line.remove_prefix(mark + 1);
            if (line.starts_with(' ')) line.remove_prefix(1);
        }
        plain.append(line);
        if (end < text->size()) plain += '\n';
        at = end + 1;
    }
    text->swap(plain);
}

// Keeps in `out` the text of the message a reply quotes, for a reply read alone.
void keepQuote(const QuotedMessage& quoted, bool marked, DecodedMessage* out) {
    std::string& text = out->quoted;
    size_t from = !marked && quoted.text < out->body.size() ? quoted.text : quoted.start;
    text.assign(out->body, std::min(from, out->body.size()));
    // Quoted with ">": its lines from the first (below "On ..., ... wrote:") to the
    // last; the replier's own lines set between them ("Call him after five.")
    // and below them are not the quoted message's.
    size_t first = text[0] == '>' ? 0 : text.find("\n>");
    if (first == std::string::npos ||
        (first > 0 && text.find_first_not_of(" \t\r\n", text.find('\n')) < first))
        return;
    std::string kept;
    size_t quoteEnd = 0;  // the end of the last quoted line in `kept`
    bool comment = false;
    for (size_t at = first == 0 ? 0 : first + 1; at < text.size();) {
        size_t end = std::min(text.find('\n', at), text.size());
        std::string_view raw = std::string_view(text).substr(at, end - at);
        std::string_view line = trimBlanks(raw);
        at = end + 1;
        if (!line.empty() && line[0] != '>') {
            kept.resize(quoteEnd);
            comment = true;
            continue;
        }
        if (line.empty() && comment) continue;
        kept.append(raw);
        kept += '\n';
        if (!line.empty()) {
            quoteEnd = kept.size();
            comment = false;
        }
    }
    kept.resize(comment ? quoteEnd : kept.size());
    text.swap(kept);
    unquoteLines(&text);
    text.erase(0, textBelowHeaderBlock(text));
}

}  // namespace

MessageDecoder::MessageDecoder(std::vector<std::string> headerNames, HeaderStyle style)
    : headerNames_(std::move(headerNames)), style_(style) {
    initGMime();
    xmlInitParser();  // before any thread parses HTML
    options_ = g_mime_parser_options_new();
    const char* fallback[] = {"UTF-8", "windows-1252", nullptr};
    g_mime_parser_options_set_fallback_charsets(options_, fallback);
    bytes_ = g_byte_array_new();
    stream_ = g_mime_stream_mem_new_with_byte_array(bytes_);
    g_mime_stream_mem_set_owner(GMIME_STREAM_MEM(stream_), FALSE);
    parser_ = g_mime_parser_new();
}

MessageDecoder::~MessageDecoder() {
    g_object_unref(parser_);
    g_object_unref(stream_);  // does not own bytes_
    g_byte_array_unref(bytes_);
    g_mime_parser_options_free(options_);
}

const MessageDecoder::ContentType& MessageDecoder::contentType(const std::string& value) {
    for (const auto& [seen, type] : recentTypes_) {
        if (seen == value) return type;
    }
    parsedType_ = ContentType();
    if (value.empty()) return parsedType_;  // no Content-Type: text/plain
    if (isPlainMultipart(value)) {
        parsedType_.kind = Kind::kStructured;
        return parsedType_;
    }
    GMimeContentType* type = g_mime_content_type_parse(options_, value.c_str());
    if (type == nullptr) {
        parsedType_.kind = Kind::kOther;
        return parsedType_;
    }
    const char* media = g_mime_content_type_get_media_type(type);
    if (isPlainTextType(type)) {
        parsedType_.kind = Kind::kPlain;
    } else if (g_mime_content_type_is_type(type, "text", "html")) {
        parsedType_.kind = Kind::kHtml;
    } else if (media != nullptr && (g_ascii_strcasecmp(media, "multipart") == 0 ||
                                    g_ascii_strcasecmp(media, "message") == 0)) {
        parsedType_.kind = Kind::kStructured;
    } else {
        parsedType_.kind = Kind::kOther;
    }
    const char* charset = g_mime_content_type_get_parameter(type, "charset");
    if (charset != nullptr) parsedType_.charset = charset;
    const char* format = g_mime_content_type_get_parameter(type, "format");
    const char* delsp = g_mime_content_type_get_parameter(type, "delsp");
    parsedType_.flowed = format != nullptr && g_ascii_strcasecmp(format, "flowed") == 0;
    parsedType_.delsp = delsp != nullptr && g_ascii_strcasecmp(delsp, "yes") == 0;
    g_object_unref(type);
    // Multipart values differ in their boundary from message to message: only
    // the others are worth keeping.
    if (parsedType_.kind == Kind::kStructured) return parsedType_;
    auto& slot = recentTypes_[nextSlot_];
    nextSlot_ = (nextSlot_ + 1) % recentTypes_.size();
    slot = {value, parsedType_};
    return slot.second;
}

void MessageDecoder::decode(std::string_view message, DecodedMessage* out) {
    out->skipped = Skip::kNone;
    out->quotesEarlier = false;
    out->quoted.clear();
    out->replySubject = false;
    out->body.clear();
    out->headers.clear();
    out->unreadDates.clear();
    out->problems.clear();
    out->files.clear();
    out->fileNames.clear();
    out->otherMessages = 0;
    out->htmlAlternative = false;
    out->date.clear();
    readHeaderBlock(message, &block_);
    const HeaderBlock& block = block_;
    if (isMarkedDeleted(block)) {
        out->skipped = Skip::kDeleted;
        return;
    }
    if (isFolderData(block)) {
        out->skipped = Skip::kFolderData;
        return;
    }
    for (const std::string& name : headerNames_) {
        bool unreadDate = false;
        out->headers.push_back(headerCell(block, name, style_, options_, &unreadDate));
        out->unreadDates.push_back(unreadDate);
    }
    if (!block.isMail) {
        appendUndeclaredText(keptText(message, out), &out->body);
    } else {
        std::string contentTypeValue = block.value("content-type");
        const ContentType& type = contentType(contentTypeValue);
        if (type.kind == Kind::kStructured) {
            // Read first: an attached message's decoding reads its own header block.
            std::string date;
            if (keepFiles_) date = block.has("date") ? block.value("date") : block.value("sent");
            decodeMime(contentTypeValue, message.substr(block.bodyOffset), out);
            if (!out->files.empty()) out->date = std::move(date);
        } else if (type.kind != Kind::kOther) {
            decodeSinglePart(message.substr(block.bodyOffset), type,
                             block.value("content-transfer-encoding"), out);
        }
        if (scratch_.capacity() > kKeptBytes) std::string().swap(scratch_);
    }
    // A forwarded message is what the mail is about: its text alone is read, not
    // the forwarder's note and signature above it. A reply's quote of the message
    // it answers is not this message's text.
    std::string subject;
    bool subjectRead = false;
    auto readSubject = [&] {
        if (!std::exchange(subjectRead, true)) appendHeaderText(block.value("subject"), &subject);
    };
    for (int depth = 0; depth < kMaxNesting; ++depth) {
        QuotedMessage quoted = findQuotedMessage(out->body);
        // A quote with ">" before each line, of a forward or of a reply.
        bool marked = false;
        if (quoted.start == std::string::npos) {
            quoted.start = quotedLinesStart(out->body);
            if (quoted.start == std::string::npos) break;
            marked = true;
        }
        readSubject();
        if (depth > 0) subject.clear();
        if (!quoted.forwarded && !isForwardSubject(subject)) {
            keepQuote(quoted, marked, out);
            out->body.resize(quoted.start);
            out->quotesEarlier = true;
            break;
        }
        if (marked) {
            // The forwarded lines, their ">" taken off, then below their header block.
            size_t first = out->body.find("\n>", quoted.start);
            out->body.erase(0, out->body[quoted.start] == '>' || first == std::string::npos
                                   ? quoted.start
                                   : first + 1);
            unquoteLines(&out->body);
            out->body.erase(0, textBelowHeaderBlock(out->body));
            continue;
        }
        out->body.erase(0, quoted.text);
        unquoteLines(&out->body);
    }
    if (out->quotesEarlier) {
        readSubject();
        out->replySubject = isReplySubject(subject);
    }
}

void MessageDecoder::decodeSinglePart(std::string_view body, const ContentType& type,
                                      const std::string& encoding, DecodedMessage* out) {
    std::string_view name = trimBlanks(encoding);
    GMimeContentEncoding transfer = GMIME_CONTENT_ENCODING_DEFAULT;
    if (!name.empty()) transfer = g_mime_content_encoding_from_string(std::string(name).c_str());
    bool encoded = transfer == GMIME_CONTENT_ENCODING_BASE64 ||
                   transfer == GMIME_CONTENT_ENCODING_QUOTEDPRINTABLE ||
                   transfer == GMIME_CONTENT_ENCODING_UUENCODE;
    std::string_view bytes = body;
    if (encoded) {
        if (transfer == GMIME_CONTENT_ENCODING_BASE64 && isBrokenBase64(body)) {
            out->problems.push_back("broken base64");
        }
        GMimeEncoding decoder;
        g_mime_encoding_init_decode(&decoder, transfer);
        std::string_view input = body;
        if (transfer == GMIME_CONTENT_ENCODING_UUENCODE) {
            // GMime's decoder starts past the "begin MODE NAME" line, which is the
            // caller's to find; without one there is nothing to decode.
            size_t begin = body.starts_with("begin ") ? 0 : body.find("\nbegin ");
            size_t next = begin == body.npos ? body.npos : body.find('\n', begin + 1);
            input = next == body.npos ? std::string_view() : body.substr(next + 1);
            if (input.empty()) out->problems.push_back("uuencoded text without its begin line");
            decoder.state |= GMIME_UUDECODE_STATE_BEGIN;
        }
        scratch_.resize(g_mime_encoding_outlen(&decoder, input.size()));
        size_t n = g_mime_encoding_flush(&decoder, input.data(), input.size(), scratch_.data());
        bytes = std::string_view(scratch_.data(), std::min(n, scratch_.size()));
    }
    std::string* text = &out->body;
    std::string html;
    if (type.kind == Kind::kHtml) text = &html;
    std::string charset = type.charset;
    if (type.kind == Kind::kHtml && charset.empty()) charset = charsetOfHtml(bytes);
    if (charset.empty()) {
        appendUndeclaredText(keptText(bytes, out), text);
    } else if (!appendUtf8(keptText(bytes, out), charset, text)) {
        out->problems.push_back("text not readable in charset \"" + charset + "\"");
    }
    if (encoded) normalizeLineEnds(text, type.kind == Kind::kPlain ? kHtmlContinued : '\0');
    if (type.kind == Kind::kHtml) out->body = textOfHtml(html, out);
    if (type.kind == Kind::kPlain && type.flowed) unwrapFlowed(&out->body, type.delsp);
    if (type.kind != Kind::kPlain) return;
    if (looksLikeHtml(out->body))
        out->body = textOfHtml(out->body, out);
    else
        markLinkReferences(&out->body);
}

void MessageDecoder::decodeMime(const std::string& contentType, std::string_view body,
                                DecodedMessage* out) {
    // Only the structure is parsed: the message's other header fields (addresses,
    // dates) would cost the parser more than the whole body does.
    static constexpr std::string_view kName = "Content-Type: ";
    if (delimiterLines(body) > kMaxParts) {
        out->skipped = Skip::kTooManyParts;
        out->headers.clear();
        out->unreadDates.clear();
        return;
    }
    g_byte_array_set_size(bytes_, 0);
    auto append = [&](std::string_view text) {
        g_byte_array_append(bytes_, reinterpret_cast<const guint8*>(text.data()),
                            static_cast<guint>(text.size()));
    };
    append(kName);
    append(contentType);
    append("\n\n");
    append(body);
    ParseWarnings warnings;
    g_mime_parser_options_set_warning_callback(options_, onParserWarning, &warnings);
    // One stream and one parser serve every message; the parts refer to the stream
    // and are done with before the next message.
    g_mime_stream_reset(stream_);
    g_mime_parser_init_with_stream(parser_, stream_);
    GMimeObject* entity = g_mime_parser_construct_part(parser_, options_);
    g_mime_parser_options_set_warning_callback(options_, nullptr, nullptr);
    if (entity == nullptr) {
        out->problems.push_back("not a MIME message");
        return;
    }
    FoundParts found;
    findTextParts(entity, &found, 0);
    // A message forwarded as an attachment is read as the message it holds, its
    // text and the header fields this one lacks.
    std::string attached;
    if (found.attached != nullptr) out->otherMessages = attachedMessages(entity, 0) - 1;
    if (found.attached != nullptr && nesting_ < kMaxNesting) {
        char* text = g_mime_object_to_string(GMIME_OBJECT(found.attached), nullptr);
        if (text != nullptr) attached = text;
        g_free(text);
    } else if (found.plain != nullptr && !(preferHtml_ && found.html != nullptr)) {
        decodePart(found.plain, false, &scratch_, out);
        out->htmlAlternative =
            found.html != nullptr &&
            !((isStub(out->body) || isFlattened(out->body) || isWrapped(out->body)) &&
              preferFullerHtml(found.html, out));
    } else if (found.html != nullptr) {
        decodePart(found.html, true, &scratch_, out);
    }
    if (warnings.broken) out->problems.push_back("cut or malformed MIME structure");
    if (keepFiles_) collectAttachedFiles(entity, found.plain, found.html, &out->files);
    collectAttachedNames(entity, found.plain, found.html, &out->fileNames);
    g_object_unref(entity);
    releaseLargeBuffer();
    if (found.attached != nullptr && nesting_ < kMaxNesting) decodeAttached(attached, out);
}

void MessageDecoder::decodeHtml(std::string_view message, DecodedMessage* out) {
    preferHtml_ = true;
    decode(message, out);
    preferHtml_ = false;
}

void MessageDecoder::decodeAttached(std::string_view message, DecodedMessage* out) {
    DecodedMessage inner;
    ++nesting_;
    decode(message, &inner);
    --nesting_;
    out->body = std::move(inner.body);
    out->htmlAlternative = inner.htmlAlternative;
    if (inner.skipped != Skip::kNone) out->skipped = inner.skipped;
    for (size_t i = 0; i < out->headers.size() && i < inner.headers.size(); ++i) {
        if (!out->headers[i].empty()) continue;
        out->headers[i] = std::move(inner.headers[i]);
        out->unreadDates[i] = inner.unreadDates[i];
    }
    for (std::string& problem : inner.problems)
        out->problems.push_back(std::move(problem));
    for (AttachedFile& file : inner.files)
        out->files.push_back(std::move(file));
    for (std::string& name : inner.fileNames)
        out->fileNames.push_back(std::move(name));
}

void MessageDecoder::releaseLargeBuffer() {
    // A rare huge message should not keep its copy in memory.
    if (bytes_->len <= kKeptBytes) return;
    GByteArray* fresh = g_byte_array_new();
    // The stream does not own its array (nor frees it when handed another).
    g_mime_stream_mem_set_byte_array(GMIME_STREAM_MEM(stream_), fresh);
    g_byte_array_unref(std::exchange(bytes_, fresh));
}

}  // namespace tabulon
