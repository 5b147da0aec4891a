// Splits a mail file into its messages, one at a time, reading the input block by
// block: memory holds the message being read and one input block, never the file.
//
// The layout is decided by the first line that is not blank:
// - an mbox "From " separator line ("From sender date" or "From - date"): each
//   separator at the start or after a blank line (or anywhere, when it carries a
//   full date) begins a message and is dropped, and the ">" that quotes a body
//   line beginning ">...From " comes off again;
// - otherwise mail saved as text (one message, an .eml, or several one after the
//   other): a new message begins where, after a blank line (or with no blank
//   line, where a raw message saved right after another opens with a server's
//   trace field, "Received:", "Delivered-To:"), comes a block of header lines
//   that holds a From: line with an address and another mail header,
//   or three mail headers (From, To, Subject, Date, Sent, ...), and at least as
//   many of From, To, Cc, Subject, Date and Sent as the first message's header
//   block (up to three); and at a separator line with a full date, which is
//   dropped. The first paragraph of a body never begins a message, so a form that
//   sends "From:" and "Subject:" fields at the top of its text stays one message.
//   Nor does a block after a line that announces a quoted message ("-----Original
//   Message-----"), nor one inside a multipart body's message parts (a forwarded
//   message, a digest, a returned one) before the line that closes it; a
//   multipart left unclosed ends where a message begins.
// A file that is not mail is one message. Lines end in LF, CR LF or CR (the first
// line end decides between LF and CR); messages are handed on with LF line ends.
//
// A message larger than the limit (a line longer than it included) is not kept:
// its bytes are read and let go until the next message begins, and it is handed on
// empty and marked too large, so that memory stays bounded on any input and the
// next message still converts. Not thread-safe.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "mail/header_block.h"
#include "platform/byte_stream.h"
#include "platform/read_buffer.h"

namespace tabulon {

class MessageSplitter {
  public:
    enum class Layout { kUndecided, kMbox, kSavedText };

    // The largest message kept, in bytes: far above any form mail, and low enough
    // that a few messages being decoded at once stay within a few hundred MB.
    static constexpr size_t kMaxMessageBytes = size_t{32} << 20;

    // `source` must outlive the splitter.
    explicit MessageSplitter(ByteSource& source, size_t blockSize = 1 << 16,
                             size_t maxMessageBytes = kMaxMessageBytes);

    // Stores the next message in `*message` and sets `*found`; at the end of the
    // input `*found` is false. A message over the limit comes out empty, with
    // `*tooLarge` set when given. Stops at the first read error and returns it.
    Status next(std::string* message, bool* found, bool* tooLarge = nullptr);

    // A message as next() gave it.
    struct Message {
        std::string text;
        bool tooLarge = false;
    };
    // The input is one message (a Maildir or MH file, an .eml): nothing in it
    // begins another, not a header block its body quotes, nor a separator line
    // (one that opens the file is dropped). REQUIRES: before next().
    void keepOneMessage() { oneMessage_ = true; }

    // Hands `messages` out again before any other, in their order: a look at the
    // first messages of an input that cannot be read twice.
    void giveBack(std::vector<Message> messages);

    uint64_t bytesRead() const { return bytesRead_; }
    uint64_t sourceSize() const { return source_.size(); }
    Layout layout() const { return layout_; }

  private:
    enum class Phase { kHeader, kFirstParagraph, kBody };

    struct Ready {
        std::string text;
        bool tooLarge = false;
        bool waits = false;  // saved text waiting to be read in its file's charset
    };

    Status readLine(std::string_view* line, bool* found);
    // Takes one line; a message it completes goes to `ready_`.
    void take(std::string_view line);
    // Takes the end of a line too long to keep, whose bytes were let go.
    void takeEndOfLongLine();
    // The current message passed the limit: what it holds so far is let go.
    void dropTooLarge();
    // The candidate block is not a header block after all.
    void dropCandidate();
    void takeSavedText(std::string_view line, bool blank);
    // A block of header lines that may begin a message opens at the line taken next.
    void startCandidate();
    void countCandidateLine(std::string_view line);
    // The candidate block has ended: when it is a header block, it begins the next
    // message, and the message before it goes to `ready_`.
    void closeCandidate();
    // Follows the parts of an open multipart body: whether `line` is in a part
    // header or in a part that is a message (forwarded, a digest's, a returned
    // one), where header blocks do not begin messages.
    bool inMessageOfMultipart(std::string_view line, bool blank);
    // REQUIRES: `line` comes from readLine().
    void append(std::string_view line);
    // Hands the current message on to `ready_` and begins the next in `spare_`.
    void handOn();
    // A message goes to `ready_`. Mail saved as text is read in the charset of
    // its file (charset_text.h), which the first messages may be too short to
    // tell: they wait until the messages after them tell it together, for
    // kMostWaitingBytes at most, or the file ends.
    void queue(std::string&& message) {
        if (layout_ != Layout::kSavedText || tooLarge_) {
            ready_.push_back({std::move(message), tooLarge_, false});
            return;
        }
        queueSavedText(std::move(message));
    }
    void queueSavedText(std::string&& message);
    void readWaiting(bool end);

    ByteSource& source_;
    size_t blockSize_;
    size_t maxMessageBytes_;
    ReadBuffer buffer_;   // input not yet taken
    size_t pos_ = 0;      // start of the next line in buffer_
    size_t scanned_ = 0;  // buffer_ holds no line end between pos_ and here
    bool eof_ = false;
    bool finished_ = false;
    char lineEnd_ = 0;  // '\n' or '\r' once the first line end is seen
    uint64_t bytesRead_ = 0;
    bool longLine_ = false;  // the line being read passed the limit; its bytes are let go
    bool oneMessage_ = false;

    Layout layout_ = Layout::kUndecided;
    std::string current_;      // the message being read, LF line ends
    bool tooLarge_ = false;    // current_ passed the limit and holds only a candidate block
    std::deque<Ready> ready_;  // complete messages waiting to be handed on
    std::string spare_;        // a string handed back by the caller, for reuse
    bool started_ = false;     // current_ has begun (a separator or a first line)
    bool previousBlank_ = true;

    // Mail saved as text: where the current message is, and a candidate block of
    // header lines that may begin the next message.
    Phase phase_ = Phase::kHeader;
    bool paragraphSeen_ = false;
    bool inCandidate_ = false;
    size_t candidateStart_ = 0;
    int candidateMailHeaders_ = 0;
    bool candidateFrom_ = false;
    bool candidateFromAddress_ = false;
    std::string openBoundary_;  // closes the current message's multipart body
    bool digest_ = false;       // that multipart is a digest: each part a message
    bool inPartHeader_ = false;
    bool inMessagePart_ = false;
    bool afterQuoteMarker_ = false;  // the last line with text announced a quoted message
    // The subject of the saved message being read says it answers or forwards
    // another, so a rule above a header block in its text announces a quote.
    bool quotes_ = false;
    HeaderBlock block_;              // a message's header block, room kept for the next
    std::string fileCharset_;        // the charset the file's saved text was told to be in
    size_t waitingBytes_ = 0;        // of the messages that wait for it in `ready_`
    size_t waitingBeyondAscii_ = 0;  // bytesBeyondAscii() of them
    // From, To, Cc, Subject, Date and Sent fields in the header block being read, in
    // the first message's and in the candidate block.
    int headerShownFields_ = 0;
    int firstShownFields_ = -1;
    int candidateShownFields_ = 0;
    // Whether a Tab follows the colon of the first message's shown fields
    // ("From:<Tab>..."), and of a field in the candidate block.
    bool firstTabbed_ = false;
    bool candidateTabbed_ = false;
    // The file's first message opens with a block of its From, Sent, To and
    // Subject, in any language and with any blank after the colons.
    bool firstShownBlock_ = false;
    bool candidateQuotes_ = false;  // the candidate block's subject answers or forwards
};

// An mbox separator line: "From ", a sender (or "-"), then a date with a time.
bool isMboxSeparator(std::string_view line);

}  // namespace tabulon
