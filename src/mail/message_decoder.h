// Turns one message into its text: the body as UTF-8 lines and the asked-for header
// fields decoded. MIME structure, transfer encodings, RFC 2047 and charsets are
// GMime's work; HTML bodies become text through html_text.h.
//
// The body is the first text/plain part that is not an attachment (in multipart
// mail the plain alternative), else the first text/html part as text. Only
// multipart mail goes through GMime's MIME parser: a message of one part (most
// form mail) is decoded straight from its body with GMime's transfer decoders,
// which gives the same text without building the parser's object tree.
//
// Whatever cannot be decoded (a broken base64 part, an unknown charset, a cut or
// malformed multipart) is listed in `problems`; what could be read is still used.
// One decoder per thread.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "mail/attached_files.h"
#include "mail/header_block.h"
#include "mail/header_cell.h"

typedef struct _GMimeParserOptions GMimeParserOptions;
typedef struct _GMimeParser GMimeParser;
typedef struct _GMimeStream GMimeStream;
typedef struct _GByteArray GByteArray;

namespace tabulon {

// Why a message gives no row.
enum class Skip {
    kNone,
    kDeleted,       // marked deleted by the mail client, not yet removed from the file
    kTooLarge,      // larger than the splitter keeps
    kTooManyParts,  // more MIME parts than are worth parsing
    kQuotedReply,   // a reply whose only fields were in its quote of an earlier message
    kFolderData,    // the message a mail program keeps a folder's own data in
    kGone,          // gone from the server (expunged) before it was fetched
};

struct DecodedMessage {
    Skip skipped = Skip::kNone;         // when not kNone, the rest is empty
    std::string body;                   // UTF-8, LF line ends
    std::vector<std::string> headers;   // one per asked-for name (header_cell.h); empty when absent
    std::vector<bool> unreadDates;      // per header: a date that stayed as written
    std::vector<std::string> problems;  // one short text per part that could not be decoded
    bool quotesEarlier = false;         // the body ended where a quote of an earlier message began
    bool replySubject = false;          // the subject says the message is a reply ("Re:")
    // With quotesEarlier: the message quoted, its ">" taken off and from its text
    // on (below a quoted header block).
    std::string quoted;
    // With keepAttachedFiles(): the files it carries, and its raw Date field
    // when it carries any.
    std::vector<AttachedFile> files;
    std::string date;
    // The names of the files it carries (whether kept or not), for telling a
    // line that names one ("Attachment: cv.pdf") from an answer.
    std::vector<std::string> fileNames;
    // Messages it carries whole beside the one read (a digest, several mails
    // forwarded as attachments at once): not read.
    int otherMessages = 0;
    // Its text alternative was read, and an HTML one is there too
    // (decodeHtml()).
    bool htmlAlternative = false;
};

// What a Content-Type field says about a body, as far as this decoder cares.
enum class BodyKind { kPlain, kHtml, kStructured, kOther };
struct BodyType {
    BodyKind kind = BodyKind::kPlain;
    std::string charset;
    bool flowed = false;  // format=flowed text (RFC 3676)
    bool delsp = false;   // its delsp=yes
};

class MessageDecoder {
  public:
    // `headerNames` are the header columns to hand on, in this order (headerCell()).
    explicit MessageDecoder(std::vector<std::string> headerNames = {}, HeaderStyle style = {});
    ~MessageDecoder();
    MessageDecoder(const MessageDecoder&) = delete;
    MessageDecoder& operator=(const MessageDecoder&) = delete;

    // A multipart message with more parts than this is skipped: parsing costs a few
    // KB a part, and no form mail comes near it.
    static constexpr size_t kMaxParts = 10000;
    // A text body is read up to this many bytes (to a line end): no form writes
    // that much, and text costs several times its size while it is read. The
    // rest is listed in `problems`.
    static constexpr size_t kMaxTextBytes = size_t{4} << 20;

    void useStyle(const HeaderStyle& style) { style_ = style; }

    // REQUIRES: `message` has LF line ends.
    void decode(std::string_view message, DecodedMessage* out);
    // decode(), reading the HTML alternative in place of the text one.
    void decodeHtml(std::string_view message, DecodedMessage* out);
    // From now on decode() also hands on the files each message carries.
    void keepAttachedFiles() { keepFiles_ = true; }

  private:
    using Kind = BodyKind;
    using ContentType = BodyType;

    // What a Content-Type value says; the last few are kept, as files repeat them.
    const ContentType& contentType(const std::string& value);
    void decodeSinglePart(std::string_view body, const ContentType& type,
                          const std::string& encoding, DecodedMessage* out);
    void decodeMime(const std::string& contentType, std::string_view body, DecodedMessage* out);
    // `message`: a message attached to the one being decoded, into `out`.
    void decodeAttached(std::string_view message, DecodedMessage* out);
    void releaseLargeBuffer();

    static constexpr int kMaxNesting = 8;  // messages attached to attached messages

    std::vector<std::string> headerNames_;
    HeaderStyle style_;
    GMimeParserOptions* options_;
    // For multipart messages: their text, a stream over it and the parser.
    GByteArray* bytes_;
    GMimeStream* stream_;
    GMimeParser* parser_;
    std::array<std::pair<std::string, ContentType>, 4> recentTypes_;
    size_t nextSlot_ = 0;
    ContentType parsedType_;
    HeaderBlock block_;  // of the message being decoded
    std::string scratch_;
    int nesting_ = 0;
    bool keepFiles_ = false;
    bool preferHtml_ = false;
};

}  // namespace tabulon
