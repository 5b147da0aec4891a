// Turns one message into its text: the body as UTF-8 lines and the asked-for header
// fields decoded. MIME structure, transfer encodings, RFC 2047 and charsets are
// GMime's work; HTML bodies become text through html_text.h.
//
// The body is the first text/plain part that is not an attachment (in multipart
// mail the plain alternative), else the first text/html part as text. Plain
// messages without transfer encoding skip the MIME parser: their body is taken
// as it stands and only converted to UTF-8.
//
// Whatever cannot be decoded (a broken base64 part, an unknown charset, a cut or
// malformed multipart) is listed in `problems`; what could be read is still used.
// One decoder per thread.
#pragma once

#include <string>
#include <string_view>
#include <vector>

typedef struct _GMimeParserOptions GMimeParserOptions;

namespace tabulon {

struct DecodedMessage {
    std::string body;                   // UTF-8, LF line ends
    std::vector<std::string> headers;   // one per asked-for name, UTF-8; empty when absent
    std::vector<std::string> problems;  // one short text per part that could not be decoded
};

class MessageDecoder {
  public:
    // `headerNames` are the header fields to hand on, in this order.
    explicit MessageDecoder(std::vector<std::string> headerNames = {});
    ~MessageDecoder();
    MessageDecoder(const MessageDecoder&) = delete;
    MessageDecoder& operator=(const MessageDecoder&) = delete;

    // REQUIRES: `message` has LF line ends.
    void decode(std::string_view message, DecodedMessage* out);

  private:
    // True when a Content-Type value names text/plain; its charset goes to `charset`.
    bool isPlainText(const std::string& contentType, std::string* charset);
    void decodeMime(std::string_view message, DecodedMessage* out);

    std::vector<std::string> headerNames_;
    GMimeParserOptions* options_;
    // The last Content-Type seen and what it said: most files repeat one.
    std::string lastContentType_;
    bool lastIsPlain_ = false;
    std::string lastCharset_;
};

}  // namespace tabulon
