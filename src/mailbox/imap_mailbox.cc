#include "mailbox/imap_mailbox.h"

#include <algorithm>
#include <deque>

#include "mail/conversion_limits.h"
#include "mailbox/imap_connection.h"
#include "mailbox/imap_folder_name.h"
#include "mailbox/mailbox_password.h"
#include "platform/secret_memory.h"
#include "platform/text.h"

namespace tabulon {
namespace {

// A SEARCH is asked of this many UIDs at a time, so that no reply line grows
// without end.
constexpr uint64_t kSearchSpan = 20000;
// A reply line (a search's, a status) longer than this is refused.
constexpr size_t kMaxReplyBytes = 16 << 20;
// Messages fetched by one command: a command's set of UIDs stays short.
constexpr size_t kBatchMessages = 250;

// The folder as an IMAP quoted string.
std::string quotedFolder(const std::string& folder) {
    std::string out = "\"";
    for (char c : encodeImapFolder(folder)) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + "\"";
}

// LF line ends in place of CR LF.
void toLineFeeds(std::string* text) {
    size_t out = 0;
    for (size_t i = 0; i < text->size(); ++i) {
        if ((*text)[i] == '\r' && i + 1 < text->size() && (*text)[i + 1] == '\n') continue;
        (*text)[out++] = (*text)[i];
    }
    text->resize(out);
}

// "t7 OK ..." for `tag`: the word after the tag, or "" for another line.
std::string_view taggedResult(std::string_view line, const std::string& tag) {
    if (line.size() <= tag.size() || line.compare(0, tag.size(), tag) != 0 ||
        line[tag.size()] != ' ') {
        return {};
    }
    std::string_view rest = line.substr(tag.size() + 1);
    return rest.substr(0, rest.find(' '));
}

}  // namespace

ImapMailbox::ImapMailbox(const ImapAccount& account, ImapAddress address)
    : account_(account), address_(std::move(address)) {}

ImapMailbox::~ImapMailbox() = default;

Status ImapMailbox::open(const ImapAccount& account, std::unique_ptr<ImapMailbox>* mailbox) {
    ImapAddress address;
    Status status = parseImapAddress(account.url, &address);
    if (!status.ok()) return status;
    std::unique_ptr<ImapMailbox> opened(new ImapMailbox(account, std::move(address)));
    const ImapAddress& at = opened->address_;
    ImapConnectionSettings settings;
    keepOutOfCoreDumps();
    status = accountPassword(account, at, &settings.password);
    if (!status.ok()) return status;
    wipe(&opened->account_.password);
    settings.url = std::string(at.tls ? "imaps://" : "imap://") + at.host + "/";
    settings.user = at.user;
    settings.caFile = account.caFile;
    settings.connectSeconds = account.connectSeconds;
    settings.stallSeconds = account.stallSeconds;
    settings.replySeconds = account.replySeconds;
    settings.stop = account.stop;
    ImapFailure failure = ImapFailure::kNone;
    status = ImapConnection::open(settings, &opened->connection_, &failure);
    wipe(&settings.password);
    if (status.isStopped()) return status;
    if (!status.ok()) return opened->failure(failure, status.message(), "logging in");
    // Read-only: nothing a run does can change the folder.
    status = opened->run("EXAMINE " + quotedFolder(at.folder),
                         "opening the folder \"" + at.folder + "\"", [&](std::string_view line) {
                             parseExamineLine(line, &opened->uidValidity_, &opened->uidNext_);
                         });
    if (!status.ok()) return status;
    if (opened->uidValidity_ == 0) {
        return opened->failure(ImapFailure::kBroken, "no UIDVALIDITY",
                               "reading the folder's UIDVALIDITY");
    }
    *mailbox = std::move(opened);
    return Status::Ok();
}

Status ImapMailbox::failure(ImapFailure failure, const std::string& detail,
                            const std::string& doing) const {
    std::string server = printableServerText(address_.host);
    std::string shown = printableServerText(detail);
    std::string why;
    switch (failure) {
        case ImapFailure::kLoginDenied:
            why = "the server refused the login of \"" + printableServerText(address_.user) +
                  "\" (wrong user or password)";
            break;
        case ImapFailure::kUntrusted:
            why = "its certificate is not trusted (" + shown +
                  "); a private server's certificate can be given " + account_.certificateHint;
            break;
        case ImapFailure::kBadCaFile:
            why = "the certificates file \"" + printableServerText(account_.caFile) +
                  "\" cannot be read";
            break;
        case ImapFailure::kNoStartTls:
            why = "the server does not offer STARTTLS, and mail is read over TLS only";
            break;
        case ImapFailure::kSilent:
            why = "the server stopped answering while " + doing + " (" + shown + ")";
            break;
        case ImapFailure::kTooSlow:
            why = "the server answers too slowly while " + doing + " (" + shown + ")";
            break;
        case ImapFailure::kNoServer:
            why = "no connection (" + shown + ")";
            break;
        default:
            why = "the connection failed while " + doing + " (" + shown + ")";
            break;
    }
    return Status::IoError("Cannot read mail from " + server + ": " +
                           printableServerText(why, 400));
}

Status ImapMailbox::connectionFailure(const Status& status, const std::string& doing) const {
    if (status.isStopped()) return status;
    return failure(connection_->failure(), status.message(), doing);
}

Status ImapMailbox::run(const std::string& command, const std::string& doing,
                        const std::function<void(std::string_view line)>& onLine) {
    std::string tag, line;
    Status status = connection_->send(command, &tag);
    connection_->restartReplyClock();
    while (status.ok()) {
        status = connection_->readLine(&line, kMaxReplyBytes);
        if (!status.ok()) break;
        std::string_view result = taggedResult(line, tag);
        if (result.empty()) {
            uint64_t bytes = 0;
            // A literal in a reply that does not need one is read and let go.
            if (literalAtEnd(line, &bytes)) {
                status = connection_->readLiteral(bytes, nullptr);
            }
            onLine(line);
            continue;
        }
        if (equalsIgnoringCase(result, "OK")) return Status::Ok();
        std::string said = line.substr(std::min(line.size(), tag.size() + result.size() + 2));
        return Status::IoError("Cannot read mail from " + printableServerText(address_.host) +
                               ": the server refused " + doing + " (\"" +
                               printableServerText(said) + "\")");
    }
    return connectionFailure(status, doing);
}

Status ImapMailbox::search(const ImapSearch& search, std::vector<uint64_t>* uids) {
    uids->clear();
    uint64_t last = std::max<uint64_t>(uidNext_, 2) - 1;
    // Without a UIDNEXT, one search of the whole folder.
    bool whole = uidNext_ == 0;
    bool valid = true;
    for (uint64_t first = 1; first <= last; first += kSearchSpan) {
        uint64_t end = std::min(last, first + kSearchSpan - 1);
        std::string command;
        Status status = imapSearchCommand(search, first, whole ? 0 : end, &command);
        size_t before = uids->size();
        if (status.ok()) {
            status =
                run(command, "searching the folder \"" + address_.folder + "\"",
                    [&](std::string_view line) { valid = valid && parseSearchReply(line, uids); });
        }
        if (!status.ok()) return status;
        // A UID outside the span asked for is a reply gone wrong.
        valid = valid &&
                std::all_of(uids->begin() + static_cast<std::ptrdiff_t>(before), uids->end(),
                            [&](uint64_t uid) { return whole || (uid >= first && uid <= end); });
        if (!valid)
            return failure(ImapFailure::kBroken, "not a list of UIDs",
                           "reading the search's reply");
        if (whole) break;
    }
    std::sort(uids->begin(), uids->end());
    uids->erase(std::unique(uids->begin(), uids->end()), uids->end());
    return Status::Ok();
}

Status ImapMailbox::fetch(std::vector<uint64_t> uids, const MessageFn& onMessage) {
    std::sort(uids.begin(), uids.end());
    uids.erase(std::unique(uids.begin(), uids.end()), uids.end());
    const std::string doing = "fetching a message";
    // A batch is uids[begin, end); `arrived` marks what came of it.
    struct Batch {
        std::string tag;
        size_t begin = 0, end = 0;
        std::vector<char> arrived;
        size_t count = 0;  // of `arrived` set
    };
    std::deque<Batch> underWay;
    size_t sent = 0;
    auto sendNext = [&]() {
        Batch batch;
        batch.begin = sent;
        batch.end = std::min(uids.size(), sent + kBatchMessages);
        batch.arrived.assign(batch.end - batch.begin, 0);
        std::vector<uint64_t> part(uids.begin() + static_cast<std::ptrdiff_t>(batch.begin),
                                   uids.begin() + static_cast<std::ptrdiff_t>(batch.end));
        sent = batch.end;
        std::string set = imapUidSets(part, SIZE_MAX).front();
        Status status = connection_->send("UID FETCH " + set + " (UID BODY.PEEK[])", &batch.tag);
        underWay.push_back(std::move(batch));
        return status;
    };
    // The batch and the index in it of `uid`, if one under way asked for it.
    auto find = [&](uint64_t uid) -> std::pair<Batch*, size_t> {
        auto at = std::lower_bound(uids.begin(), uids.end(), uid);
        if (at == uids.end() || *at != uid) return {nullptr, 0};
        size_t index = static_cast<size_t>(at - uids.begin());
        for (Batch& batch : underWay) {
            if (index >= batch.begin && index < batch.end) return {&batch, index - batch.begin};
        }
        return {nullptr, 0};
    };
    // A server may answer commands under way at once interleaved (Dovecot
    // does), which would make rows out of UID order. The next batch is asked
    // for once every message asked for has come: only the tagged ends are
    // still on their way, and the server waits one round trip per batch.
    auto sendWhenAllCame = [&]() {
        bool allCame = std::all_of(underWay.begin(), underWay.end(), [](const Batch& batch) {
            return batch.count == batch.arrived.size();
        });
        return allCame && sent < uids.size() ? sendNext() : Status::Ok();
    };
    Status status = uids.empty() ? Status::Ok() : sendNext();
    connection_->restartReplyClock();
    std::string line, text;
    while (status.ok() && !underWay.empty()) {
        status = connection_->readLine(&line, kMaxReplyBytes);
        if (!status.ok()) break;
        if (line.rfind("* ", 0) == 0) {
            if (equalsIgnoringCase(line.substr(0, 5), "* BYE")) {
                return failure(ImapFailure::kBroken, line.substr(2), doing);
            }
            // Any untagged reply: a FETCH is read piece by piece, each literal
            // taken (a message's) or let go.
            bool fetchReply = isFetchReply(line);
            Message message;
            bool body = false;
            text.clear();
            for (;;) {
                FetchPiece piece = fetchReply ? readFetchPiece(line) : FetchPiece{};
                if (piece.uid != 0) message.uid = piece.uid;
                message.gone = message.gone || piece.bodyNil;
                uint64_t bytes = 0;
                if (!literalAtEnd(line, &bytes)) break;
                if (piece.bodyFollows) {
                    body = true;
                    message.tooLarge = bytes > account_.maxMessageBytes;
                    if (!message.tooLarge) text.reserve(bytes);
                }
                status = connection_->readLiteral(
                    bytes, piece.bodyFollows && !message.tooLarge ? &text : nullptr);
                if (status.ok()) status = connection_->readLine(&line, kMaxReplyBytes);
                if (!status.ok()) break;
            }
            if (!status.ok() || !(body || message.gone)) continue;
            auto [batch, index] = find(message.uid);
            if (batch == nullptr || batch->arrived[index]) continue;
            batch->arrived[index] = 1;
            ++batch->count;
            if (message.tooLarge || message.gone) std::string().swap(text);
            toLineFeeds(&text);
            message.text = text;
            status = onMessage(message);
            if (status.ok()) status = sendWhenAllCame();
            // Each message must arrive whole within the time for one reply.
            connection_->restartReplyClock();
            if (text.capacity() > kKeptBytes) std::string().swap(text);
            continue;
        }
        auto done = std::find_if(underWay.begin(), underWay.end(), [&](const Batch& batch) {
            return !taggedResult(line, batch.tag).empty();
        });
        if (done == underWay.end()) continue;
        std::string_view result = taggedResult(line, done->tag);
        // NO: some messages could not be fetched, gone since the search
        // ([EXPUNGEISSUED]); BAD: the command itself was refused.
        if (!equalsIgnoringCase(result, "OK") && !equalsIgnoringCase(result, "NO")) {
            return failure(ImapFailure::kBroken, line, doing);
        }
        for (size_t i = 0; status.ok() && i < done->arrived.size(); ++i) {
            if (done->arrived[i]) continue;
            Message gone;
            gone.uid = uids[done->begin + i];
            gone.gone = true;
            status = onMessage(gone);
        }
        underWay.erase(done);
        if (status.ok()) status = sendWhenAllCame();
        connection_->restartReplyClock();
    }
    if (status.ok() || status.isStopped() || connection_->failure() == ImapFailure::kNone) {
        return status;
    }
    return connectionFailure(status, doing);
}

}  // namespace tabulon
