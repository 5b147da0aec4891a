#include "mail/message_splitter.h"

#include <algorithm>
#include <cstring>

#include <gmime/gmime.h>

#include "mail/charset_text.h"
#include "mail/header_block.h"
#include "mail/quoted_message.h"
#include "platform/text.h"

namespace tabulon {
namespace {

bool isBlank(std::string_view line) {
    for (char c : line) {
        if (c != ' ' && c != '\t') return false;
    }
    return true;
}

// Strings up to this size are reused from message to message.
constexpr size_t kKeptCapacity = 1 << 16;

// How much saved text waits for its file's charset to be told.
constexpr size_t kMostWaitingBytes = 1 << 16;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Writers of mbox files put a ">" before a body line that begins "From " (and
// before one that already begins ">From "), so that it cannot pass for a separator.
bool isQuotedFromLine(std::string_view line) {
    size_t quotes = line.find_first_not_of('>');
    return quotes != 0 && quotes != std::string_view::npos && line.substr(quotes, 5) == "From ";
}

// Whether `word` is one of the three-letter words in `words` ("Mon Tue ...").
bool isOneOf(std::string_view words, std::string_view word) {
    for (size_t i = 0; i + 3 <= words.size(); i += 4) {
        if (words.substr(i, 3) == word) return true;
    }
    return false;
}

// A date as mbox writers put it after the sender: "Mon Nov 30 09:14:02 2026", the
// zone (if any) before the year or after it. (isMboxSeparator() sees to the time.)
bool hasDateOfMboxSeparator(std::string_view line) {
    static constexpr std::string_view kDays = "Mon Tue Wed Thu Fri Sat Sun";
    static constexpr std::string_view kMonths = "Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec";
    bool day = false, month = false, year = false;
    for (size_t pos = 5; pos < line.size();) {
        size_t end = std::min(line.find(' ', pos), line.size());
        std::string_view word = line.substr(pos, end - pos);
        day = day || isOneOf(kDays, word);
        month = month || isOneOf(kMonths, word);
        year = year || (word.size() == 4 && std::all_of(word.begin(), word.end(), isDigit));
        pos = end + 1;
    }
    return day && month && year;
}

// The fields that every way of saving mail shows of a message (not its MIME or
// transport fields): From, To, Cc, Subject, Date, Sent.
bool isShownField(std::string_view name) {
    for (std::string_view shown : {"from", "to", "cc", "subject", "date", "sent"}) {
        if (equalsIgnoringCase(name, shown)) return true;
    }
    return false;
}

// The English name of a field a mail program shows of a message it saves as
// text, named in the program's language with a Tab after the colon ("De:<Tab>"),
// or the name itself.
std::string_view savedFieldName(std::string_view line, std::string_view name) {
    // `name` ends at the line's first colon.
    if (name.size() + 1 >= line.size() || line[name.size() + 1] != '\t' || isMailHeaderName(name))
        return name;
    std::string_view shown = shownFieldOf(name);
    return shown.empty() ? name : shown;
}

// Whether `line`, a field `name` shows, is a subject that says its message
// answers or forwards another ("Subject: RE: ...").
bool quotesOthers(std::string_view line, std::string_view name) {
    if (!equalsIgnoringCase(name, "subject")) return false;
    std::string_view subject = line.substr(line.find(':') + 1);
    return isReplySubject(subject) || isForwardSubject(subject);
}

// A line that begins a MIME part's header lines: "--boundary" of the multipart or
// of one inside it (not a "-- " signature line).
bool isPartDelimiter(std::string_view line) {
    return line.size() > 2 && line[0] == '-' && line[1] == '-' && line[2] != ' ' && line[2] != '\t';
}

// A part header line that makes the part a message (forwarded, returned) or the
// header block of one (a delivery report's text/rfc822-headers).
bool declaresMessage(std::string_view line) {
    constexpr std::string_view kType = "content-type:";
    constexpr std::string_view kMessage = "message/";
    constexpr std::string_view kHeaders = "text/rfc822-headers";
    if (line.size() <= kType.size() || !equalsIgnoringCase(line.substr(0, kType.size()), kType))
        return false;
    std::string_view type = trimBlanks(line.substr(kType.size()));
    return (type.size() > kMessage.size() &&
            equalsIgnoringCase(type.substr(0, kMessage.size()), kMessage)) ||
           equalsIgnoringCase(type.substr(0, kHeaders.size()), kHeaders);
}

// The line that closes a message's multipart body ("--boundary--"), or "" when
// its header block declares no multipart. `*digest`: a multipart of messages.
std::string closingDelimiter(std::string_view message, bool* digest) {
    *digest = false;
    std::string type = readHeaderBlock(message).value("content-type");
    if (type.empty()) return {};
    initGMime();
    GMimeContentType* parsed = g_mime_content_type_parse(nullptr, type.c_str());
    if (parsed == nullptr) return {};
    std::string closing;
    const char* boundary = g_mime_content_type_get_parameter(parsed, "boundary");
    if (g_mime_content_type_is_type(parsed, "multipart", "*") && boundary != nullptr &&
        *boundary != '\0') {
        closing = std::string("--") + boundary + "--";
        *digest = g_mime_content_type_is_type(parsed, "multipart", "digest");
    }
    g_object_unref(parsed);
    return closing;
}

}  // namespace

bool isMboxSeparator(std::string_view line) {
    if (line.substr(0, 5) != "From ") return false;
    size_t sender = 5;
    while (sender < line.size() && line[sender] == ' ')
        ++sender;
    size_t senderEnd = line.find(' ', sender);
    if (senderEnd == std::string_view::npos || senderEnd == sender) return false;
    // The date: somewhere a time such as 9:14 or 09:14:02.
    for (size_t i = senderEnd + 1; i + 2 < line.size(); ++i) {
        if (isDigit(line[i]) && line[i + 1] == ':' && isDigit(line[i + 2])) return true;
    }
    return false;
}

MessageSplitter::MessageSplitter(ByteSource& source, size_t blockSize, size_t maxMessageBytes)
    : source_(source),
      blockSize_(blockSize == 0 ? 1 : blockSize),
      maxMessageBytes_(std::max<size_t>(maxMessageBytes, 1)) {}

void MessageSplitter::giveBack(std::vector<Message> messages) {
    for (auto it = messages.rbegin(); it != messages.rend(); ++it)
        ready_.push_front({std::move(it->text), it->tooLarge});
}

Status MessageSplitter::next(std::string* message, bool* found, bool* tooLarge) {
    while ((ready_.empty() || ready_.front().waits) && !finished_) {
        std::string_view line;
        bool got = false;
        bool endOfLongLine = longLine_;
        Status status = readLine(&line, &got);
        if (!status.ok()) return status;
        endOfLongLine = endOfLongLine || longLine_;
        longLine_ = false;
        if (got) {
            if (endOfLongLine) {
                takeEndOfLongLine();
            } else {
                take(line);
            }
            continue;
        }
        if (inCandidate_) closeCandidate();  // a header block at the very end
        if (started_ && (!current_.empty() || tooLarge_)) handOn();
        readWaiting(true);
        current_.clear();
        finished_ = true;
    }
    *found = !ready_.empty();
    message->clear();
    if (tooLarge != nullptr) *tooLarge = false;
    if (*found) {
        message->swap(ready_.front().text);
        if (tooLarge != nullptr) *tooLarge = ready_.front().tooLarge;
        // The caller's old string is kept for the next message but one, unless it
        // is large: a rare huge message should not stay in memory.
        std::string& old = ready_.front().text;
        if (old.capacity() > spare_.capacity() && old.capacity() <= kKeptCapacity) spare_.swap(old);
        ready_.pop_front();
    }
    return Status::Ok();
}

Status MessageSplitter::readLine(std::string_view* line, bool* found) {
    for (;;) {
        const char* data = buffer_.data();
        size_t size = buffer_.size();
        if (lineEnd_ == 0) {
            size_t i = scanned_;
            for (; i < size; ++i) {
                if (data[i] == '\n') {
                    lineEnd_ = '\n';
                } else if (data[i] == '\r' && (i + 1 < size || eof_)) {
                    lineEnd_ = (i + 1 < size && data[i + 1] == '\n') ? '\n' : '\r';
                } else if (data[i] == '\r') {
                    break;  // whether LF follows is in the next block
                }
                if (lineEnd_ != 0) break;
            }
            if (lineEnd_ == 0) scanned_ = i;  // what was looked at is not looked at again
        }
        if (lineEnd_ != 0) {
            const void* hit = std::memchr(data + scanned_, lineEnd_, size - scanned_);
            if (hit != nullptr) {
                size_t end = static_cast<size_t>(static_cast<const char*>(hit) - data);
                size_t length = end - pos_;
                if (lineEnd_ == '\n' && length > 0 && data[end - 1] == '\r') --length;
                *line = std::string_view(data + pos_, length);
                pos_ = scanned_ = end + 1;
                *found = true;
                return Status::Ok();
            }
            scanned_ = size;
        }
        if (eof_) {
            *found = pos_ < size;
            if (*found) {
                size_t length = size - pos_;
                if (data[size - 1] == '\r') --length;
                *line = std::string_view(data + pos_, length);
                pos_ = scanned_ = size;
            }
            return Status::Ok();
        }
        buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(pos_));
        scanned_ -= pos_;
        pos_ = 0;
        if (longLine_ || buffer_.size() > maxMessageBytes_) {
            // A line longer than any message may be: its bytes go as they come, and
            // the message that holds it is too large.
            buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(scanned_));
            scanned_ = 0;
            longLine_ = true;
            dropTooLarge();
        }
        if (buffer_.capacity() > 4 * (blockSize_ + buffer_.size())) buffer_.shrink_to_fit();
        size_t old = buffer_.size();
        buffer_.resize(old + blockSize_);
        size_t count = 0;
        Status status = source_.read(&buffer_[old], blockSize_, &count);
        buffer_.resize(old + count);
        if (!status.ok()) return status;
        bytesRead_ += count;
        if (count == 0) eof_ = true;
    }
}

void MessageSplitter::take(std::string_view line) {
    // A file an editor or a mail program saved with a UTF-8 byte-order mark.
    if (layout_ == Layout::kUndecided && line.starts_with("\xEF\xBB\xBF")) line.remove_prefix(3);
    bool blank = isBlank(line);
    if (layout_ == Layout::kUndecided) {
        if (blank) return;  // blank lines before the first message
        layout_ = isMboxSeparator(line) ? Layout::kMbox : Layout::kSavedText;
    }
    if (oneMessage_ && (started_ || layout_ == Layout::kSavedText)) {
        append(line);
        return;
    }
    if (layout_ == Layout::kMbox) {
        // A separator follows a blank line; some writers leave that line out, so a
        // separator with a full date ("Mon Nov 30 09:14:02 2026") is one anyway.
        if (isMboxSeparator(line) && (previousBlank_ || hasDateOfMboxSeparator(line))) {
            // Between two separators in a row there is no message to hand on.
            if (started_ && (!current_.empty() || tooLarge_)) handOn();
            current_.clear();
            started_ = true;
            previousBlank_ = false;
            return;
        }
        append(isQuotedFromLine(line) ? line.substr(1) : line);
        previousBlank_ = blank;
        return;
    }
    takeSavedText(line, blank);
}

void MessageSplitter::takeSavedText(std::string_view line, bool blank) {
    // A separator line with a full date, as some programs put between the raw
    // messages they save one after the other, ends the message before it.
    if (!blank && line[0] == 'F' && isMboxSeparator(line) && hasDateOfMboxSeparator(line)) {
        if (inCandidate_) dropCandidate();
        if (started_ && (!current_.empty() || tooLarge_)) handOn();
        phase_ = Phase::kHeader;
        quotes_ = false;
        openBoundary_.clear();
        digest_ = inPartHeader_ = inMessagePart_ = afterQuoteMarker_ = false;
        previousBlank_ = false;
        return;
    }
    if (inCandidate_) {
        if (blank) {
            closeCandidate();
        } else if (line[0] == ' ' || line[0] == '\t') {
            // a folded header line
        } else if (isFieldLine(line) || (candidateTabbed_ && isOtherSavedField(line))) {
            // Below a form's last pairs, a server's trace field opens the next raw
            // message: the block begins there.
            if (candidateMailHeaders_ == 0 && isTraceField(line)) startCandidate();
            countCandidateLine(line);
        } else {
            dropCandidate();
        }
    } else if (!(!openBoundary_.empty() && inMessageOfMultipart(line, blank)) &&
               phase_ == Phase::kBody && !blank && !(afterQuoteMarker_ && quotes_) &&
               isFieldLine(line) && (previousBlank_ || isTraceField(line))) {
        startCandidate();
        countCandidateLine(line);
    }
    if (!blank && !inCandidate_) afterQuoteMarker_ = isQuoteMarker(line);
    if (phase_ == Phase::kHeader && !blank && isFieldLine(line) &&
        isShownField(savedFieldName(line, headerName(line)))) {
        ++headerShownFields_;
        quotes_ = quotes_ || quotesOthers(line, savedFieldName(line, headerName(line)));
        if (firstShownFields_ < 0 && tabAfterColon(line)) firstTabbed_ = true;
    }
    append(line);
    if (phase_ == Phase::kHeader && blank) {
        openBoundary_ = closingDelimiter(current_, &digest_);
        inPartHeader_ = inMessagePart_ = false;
        if (firstShownFields_ < 0) {
            firstShownFields_ = headerShownFields_;
            firstShownBlock_ = textBelowHeaderBlock(current_) > 0;
        }
        headerShownFields_ = 0;
        phase_ = Phase::kFirstParagraph;
        paragraphSeen_ = false;
    } else if (phase_ == Phase::kFirstParagraph) {
        if (!blank) paragraphSeen_ = true;
        if (blank && paragraphSeen_) phase_ = Phase::kBody;
    }
    previousBlank_ = blank;
}

void MessageSplitter::startCandidate() {
    inCandidate_ = true;
    candidateStart_ = current_.size();
    candidateMailHeaders_ = candidateShownFields_ = 0;
    candidateFrom_ = candidateFromAddress_ = candidateTabbed_ = candidateQuotes_ = false;
}

bool MessageSplitter::inMessageOfMultipart(std::string_view line, bool blank) {
    std::string_view trimmed = trimBlanks(line);
    if (trimmed == openBoundary_) {
        openBoundary_.clear();
        return true;
    }
    if (inPartHeader_) {
        if (blank) inPartHeader_ = false;
        if (declaresMessage(line)) inMessagePart_ = true;
        return true;
    }
    if (isPartDelimiter(trimmed)) {
        // The multipart's own delimiter ends the part before it; one of a multipart
        // inside a message part does not.
        if (trimmed == std::string_view(openBoundary_).substr(0, openBoundary_.size() - 2))
            inMessagePart_ = false;
        inPartHeader_ = true;
        return true;
    }
    return digest_ || inMessagePart_;
}

void MessageSplitter::closeCandidate() {
    // As many of the shown fields as the file's first message has (up to three), so that
    // the From: and Subject: lines that some forms send in their text do not pass
    // for the header block of mail saved with From, Sent, To and Subject.
    bool asFirst = candidateShownFields_ >= std::min(firstShownFields_, 3);
    // A program that saves mail as text sets a Tab after the colons of every
    // message's fields; a reply's quote of an earlier message has a blank there.
    if (firstTabbed_ && !candidateTabbed_) asFirst = false;
    bool fromAndOne = candidateFromAddress_ && candidateMailHeaders_ >= 2;
    bool fromAndTwo = candidateFrom_ && candidateMailHeaders_ >= 3;
    // A block that shows From, Sent, To and Subject in the program's language,
    // as the file's first message's does, with blanks after the colons.
    bool shown = firstShownBlock_ && !quotes_ &&
                 textBelowHeaderBlock(std::string_view(current_).substr(candidateStart_)) > 0;
    if (!asFirst || (!fromAndOne && !fromAndTwo && !shown)) {
        dropCandidate();
        return;
    }
    inCandidate_ = false;
    // A message too large hands on none of its text (lines a block that began
    // after it was cut may have left).
    queue(tooLarge_ ? std::string() : current_.substr(0, candidateStart_));
    current_.erase(0, candidateStart_);
    tooLarge_ = false;
    phase_ = Phase::kHeader;
    quotes_ = candidateQuotes_;
}

void MessageSplitter::dropCandidate() {
    inCandidate_ = false;
    if (tooLarge_) current_.clear();
}

void MessageSplitter::dropTooLarge() {
    if (layout_ == Layout::kUndecided) layout_ = Layout::kSavedText;
    tooLarge_ = true;
    started_ = true;
    // A header block being read may begin the next message: it stays, unless it is
    // itself most of the limit.
    if (inCandidate_ && current_.size() - candidateStart_ < maxMessageBytes_ / 2) {
        current_.erase(0, candidateStart_);
        candidateStart_ = 0;
    } else {
        inCandidate_ = false;
        current_.clear();
    }
    current_.shrink_to_fit();
}

void MessageSplitter::takeEndOfLongLine() {
    // Text, whatever its bytes: it neither separates messages nor begins one.
    if (layout_ == Layout::kUndecided) layout_ = Layout::kSavedText;
    if (inCandidate_) dropCandidate();
    if (phase_ == Phase::kFirstParagraph) paragraphSeen_ = true;
    previousBlank_ = false;
}

void MessageSplitter::countCandidateLine(std::string_view line) {
    std::string_view name = savedFieldName(line, headerName(line));
    if (!isMailHeaderName(name)) return;
    ++candidateMailHeaders_;
    if (isShownField(name)) ++candidateShownFields_;
    if (tabAfterColon(line)) candidateTabbed_ = true;
    candidateQuotes_ = candidateQuotes_ || quotesOthers(line, name);
    if (equalsIgnoringCase(name, "from")) {
        candidateFrom_ = true;
        if (line.find('@') != std::string_view::npos) candidateFromAddress_ = true;
    }
}

void MessageSplitter::handOn() {
    queue(std::move(current_));
    tooLarge_ = false;
    current_.swap(spare_);
    current_.clear();
}

void MessageSplitter::queueSavedText(std::string&& message) {
    // Mail saved as text: its messages name no charset, but the file has one.
    readHeaderBlock(message, &block_);
    bool waits = !block_.has("content-type");
    if (waits && !fileCharset_.empty()) {
        readInFileCharset(&message, &fileCharset_);
        waits = false;
    }
    if (waits) {
        waitingBytes_ += message.size();
        waitingBeyondAscii_ += bytesBeyondAscii(message);
    }
    ready_.push_back({std::move(message), tooLarge_, waits});
    if (waits) readWaiting(false);
}

void MessageSplitter::readWaiting(bool end) {
    if (waitingBytes_ == 0) return;
    bool told = waitingBeyondAscii_ >= kFewestGuessedBytes;
    if (!told && !end && waitingBytes_ < kMostWaitingBytes) return;
    if (told) {
        std::string together;
        for (const Ready& ready : ready_) {
            if (ready.waits) together += ready.text;
        }
        guessFileCharset(together, &fileCharset_);
    }
    // Where they tell none, each message is read as its own letters tell.
    for (Ready& ready : ready_) {
        if (!ready.waits) continue;
        readInFileCharset(&ready.text, &fileCharset_);
        ready.waits = false;
    }
    waitingBytes_ = 0;
    waitingBeyondAscii_ = 0;
}

void MessageSplitter::append(std::string_view line) {
    started_ = true;
    if (current_.size() + line.size() >= maxMessageBytes_) dropTooLarge();
    if (tooLarge_ && !inCandidate_) return;
    // A line from readLine() is followed in the buffer by its line end, or by the
    // string's terminating NUL at the end of the input: an LF goes along in one copy.
    if (line.data()[line.size()] == '\n') {
        current_.append(line.data(), line.size() + 1);
        return;
    }
    current_.append(line);
    current_ += '\n';
}

}  // namespace tabulon
