#include "mail/message_decoder.h"

#include <gmime/gmime.h>

#include <mutex>

#include "mail/charset_text.h"
#include "mail/header_block.h"
#include "mail/html_text.h"
#include "platform/text.h"

namespace tabulon {
namespace {

void initGMime() {
    static std::once_flag once;
    std::call_once(once, [] { g_mime_init(); });
}

bool isIdentityEncoding(std::string_view encoding) {
    encoding = trimBlanks(encoding);
    return encoding.empty() || equalsIgnoringCase(encoding, "7bit") ||
           equalsIgnoringCase(encoding, "8bit") || equalsIgnoringCase(encoding, "binary");
}

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

// Base64 text that a decoder would have to guess at: letters outside the
// alphabet, or a length that does not come out in whole groups.
bool isBrokenBase64(GMimeDataWrapper* content) {
    GMimeStream* raw = g_mime_data_wrapper_get_stream(content);
    if (raw == nullptr) return false;
    GMimeStream* copy = g_mime_stream_mem_new();
    g_mime_stream_reset(raw);
    g_mime_stream_write_to_stream(raw, copy);
    g_mime_stream_reset(raw);
    std::string text = streamBytes(copy);
    g_object_unref(copy);
    size_t symbols = 0;
    bool padding = false;
    for (char c : text) {
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') continue;
        bool alphabet = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                        (c >= '0' && c <= '9') || c == '+' || c == '/';
        if (c == '=') {
            padding = true;
        } else if (!alphabet || padding) {
            return true;
        }
        ++symbols;
    }
    return symbols % 4 != 0;
}

struct FoundParts {
    GMimePart* plain = nullptr;
    GMimePart* html = nullptr;
};

void findTextParts(GMimeObject* object, FoundParts* found, int depth) {
    if (object == nullptr || depth > 64 || found->plain != nullptr) return;
    if (GMIME_IS_MULTIPART(object)) {
        GMimeMultipart* multipart = GMIME_MULTIPART(object);
        int count = g_mime_multipart_get_count(multipart);
        for (int i = 0; i < count && found->plain == nullptr; ++i) {
            findTextParts(g_mime_multipart_get_part(multipart, i), found, depth + 1);
        }
        return;
    }
    if (!GMIME_IS_PART(object)) return;  // attached messages are not this message's text
    GMimePart* part = GMIME_PART(object);
    if (g_mime_part_is_attachment(part)) return;
    GMimeContentType* type = g_mime_object_get_content_type(object);
    if (type == nullptr || g_mime_content_type_is_type(type, "text", "plain")) {
        found->plain = part;
    } else if (found->html == nullptr && g_mime_content_type_is_type(type, "text", "html")) {
        found->html = part;
    }
}

void decodePart(GMimePart* part, bool html, DecodedMessage* out) {
    GMimeDataWrapper* content = g_mime_part_get_content(part);
    if (content == nullptr) return;
    if (g_mime_data_wrapper_get_encoding(content) == GMIME_CONTENT_ENCODING_BASE64 &&
        isBrokenBase64(content)) {
        out->problems.push_back("broken base64");
    }
    GMimeStream* decoded = g_mime_stream_mem_new();
    g_mime_data_wrapper_write_to_stream(content, decoded);
    std::string bytes = streamBytes(decoded);
    g_object_unref(decoded);
    const char* charset = g_mime_object_get_content_type_parameter(GMIME_OBJECT(part), "charset");
    std::string text;
    if (!appendUtf8(bytes, charset == nullptr ? "" : charset, &text)) {
        out->problems.push_back("text not readable in charset \"" + std::string(charset) + "\"");
    }
    normalizeLineEnds(&text);
    out->body = html ? htmlToText(text) : std::move(text);
}

}  // namespace

MessageDecoder::MessageDecoder(std::vector<std::string> headerNames)
    : headerNames_(std::move(headerNames)) {
    initGMime();
    options_ = g_mime_parser_options_new();
    const char* fallback[] = {"UTF-8", "windows-1252", nullptr};
    g_mime_parser_options_set_fallback_charsets(options_, fallback);
}

MessageDecoder::~MessageDecoder() {
    g_mime_parser_options_free(options_);
}

bool MessageDecoder::isPlainText(const std::string& contentType, std::string* charset) {
    if (contentType != lastContentType_ || lastContentType_.empty()) {
        lastContentType_ = contentType;
        lastCharset_.clear();
        GMimeContentType* type = g_mime_content_type_parse(options_, contentType.c_str());
        lastIsPlain_ = type != nullptr && g_mime_content_type_is_type(type, "text", "plain");
        if (type != nullptr) {
            const char* value = g_mime_content_type_get_parameter(type, "charset");
            if (value != nullptr) lastCharset_ = value;
            g_object_unref(type);
        }
    }
    *charset = lastCharset_;
    return lastIsPlain_;
}

void MessageDecoder::decode(std::string_view message, DecodedMessage* out) {
    out->body.clear();
    out->headers.clear();
    out->problems.clear();
    HeaderBlock block = readHeaderBlock(message);
    for (const std::string& name : headerNames_) {
        std::string raw = block.value(name);
        bool plain = raw.find("=?") == std::string::npos && isWellFormedUtf8(raw);
        if (plain) {
            out->headers.push_back(std::move(raw));
            continue;
        }
        char* decoded = g_mime_utils_header_decode_text(options_, raw.c_str());
        out->headers.emplace_back(decoded == nullptr ? "" : decoded);
        g_free(decoded);
    }
    if (!block.isMail) {
        appendUtf8(message, "", &out->body);
        return;
    }
    std::string contentType = block.value("content-type");
    std::string charset;
    bool plain = contentType.empty() || isPlainText(contentType, &charset);
    if (plain && isIdentityEncoding(block.value("content-transfer-encoding"))) {
        if (!appendUtf8(message.substr(block.bodyOffset), charset, &out->body)) {
            out->problems.push_back("text not readable in charset \"" + charset + "\"");
        }
        return;
    }
    decodeMime(message, out);
}

void MessageDecoder::decodeMime(std::string_view message, DecodedMessage* out) {
    ParseWarnings warnings;
    g_mime_parser_options_set_warning_callback(options_, onParserWarning, &warnings);
    GMimeStream* stream = g_mime_stream_mem_new_with_buffer(message.data(), message.size());
    GMimeParser* parser = g_mime_parser_new_with_stream(stream);
    g_mime_parser_set_format(parser, GMIME_FORMAT_MESSAGE);
    GMimeMessage* parsed = g_mime_parser_construct_message(parser, options_);
    g_object_unref(parser);
    g_object_unref(stream);
    g_mime_parser_options_set_warning_callback(options_, nullptr, nullptr);
    if (parsed == nullptr) {
        out->problems.push_back("not a MIME message");
        return;
    }
    FoundParts found;
    findTextParts(g_mime_message_get_mime_part(parsed), &found, 0);
    if (found.plain != nullptr) {
        decodePart(found.plain, false, out);
    } else if (found.html != nullptr) {
        decodePart(found.html, true, out);
    }
    if (warnings.broken) out->problems.push_back("cut or malformed MIME structure");
    g_object_unref(parsed);
}

}  // namespace tabulon
