#include "mail/imap_mailbox.h"

#include <curl/curl.h>

#include <algorithm>
#include <mutex>

#include "platform/text.h"

namespace tabulon {
namespace {

// A SEARCH reply is one line, which must fit libcurl's receive buffer (set to
// 512 KiB below): this many UIDs of up to ten digits always do.
constexpr uint64_t kSearchSpan = 20000;
// A search or STATUS reply larger than this is refused.
constexpr uint64_t kMaxReplyBytes = 16 << 20;
// How long marking messages unread again may take once a stop was asked for.
constexpr long kUnreadAfterStopMs = 500;

CURL* handle(void* curl) {
    return static_cast<CURL*>(curl);
}

// The folder as an IMAP quoted string for STATUS.
std::string quotedFolder(const std::string& folder) {
    std::string out = "\"";
    for (char c : folder) {
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

std::string urlPart(CURLU* url, CURLUPart part, unsigned flags = 0) {
    char* value = nullptr;
    if (curl_url_get(url, part, &value, flags) != CURLUE_OK || value == nullptr) return "";
    std::string text = value;
    curl_free(value);
    return text;
}

}  // namespace

struct ImapMailbox::Transfer {
    CURL* curl = nullptr;
    uint64_t limit = 0;
    std::string data;
    uint64_t announced = 0;  // the size the server gave for a message, if any
    bool tooLarge = false;
};

namespace {

size_t takeData(char* data, size_t size, size_t count, void* user) {
    auto* transfer = static_cast<ImapMailbox::Transfer*>(user);
    size_t bytes = size * count;
    if (transfer->data.empty() && transfer->announced == 0) {
        curl_off_t length = -1;
        curl_easy_getinfo(transfer->curl, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
        if (length > 0) {
            transfer->announced = static_cast<uint64_t>(length);
            if (transfer->announced > transfer->limit) {
                transfer->tooLarge = true;
                return 0;
            }
            transfer->data.reserve(transfer->announced);
        }
    }
    if (transfer->data.size() + bytes > transfer->limit) {
        transfer->tooLarge = true;
        return 0;
    }
    transfer->data.append(data, bytes);
    return bytes;
}

// libcurl calls this often while it works, and about once a second while it
// waits for the server.
int stopWhenAsked(void* stop, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return static_cast<const std::atomic<bool>*>(stop)->load(std::memory_order_relaxed) ? 1 : 0;
}

}  // namespace

Status parseImapAddress(const std::string& url, ImapAddress* address) {
    auto refuse = [&](const std::string& why) {
        return Status::Error("Cannot read the mailbox \"" + printableServerText(url) +
                             "\": " + why);
    };
    if (!isMailboxAddress(url)) return refuse("it is not an imaps:// address");
    CURLU* parsed = curl_url();
    CURLUcode code = curl_url_set(parsed, CURLUPART_URL, url.c_str(), 0);
    if (code == CURLUE_OK) {
        address->tls = equalsIgnoringCase(urlPart(parsed, CURLUPART_SCHEME), "imaps");
        address->host = urlPart(parsed, CURLUPART_HOST);
        std::string port = urlPart(parsed, CURLUPART_PORT);
        if (!port.empty()) address->host += ":" + port;
        address->user = urlPart(parsed, CURLUPART_USER, CURLU_URLDECODE);
        std::string path = urlPart(parsed, CURLUPART_PATH, CURLU_URLDECODE);
        address->folder = path.empty() ? "" : path.substr(1);
        bool password = !urlPart(parsed, CURLUPART_PASSWORD).empty();
        bool extra = !urlPart(parsed, CURLUPART_QUERY).empty() ||
                     !urlPart(parsed, CURLUPART_FRAGMENT).empty() ||
                     !urlPart(parsed, CURLUPART_OPTIONS).empty();
        curl_url_cleanup(parsed);
        if (password) {
            return refuse(
                "a password does not go on the command line; put it in ~/.netrc or give "
                "--password-file");
        }
        if (address->user.empty()) return refuse("the user is missing (imaps://USER@HOST/FOLDER)");
        // libcurl leaves a part empty that decodes to a control character.
        if (address->folder.empty() || extra || address->folder.find(';') != std::string::npos) {
            return refuse("name one folder after the host (imaps://USER@HOST/FOLDER)");
        }
        return Status::Ok();
    }
    curl_url_cleanup(parsed);
    return refuse(curl_url_strerror(code));
}

ImapMailbox::ImapMailbox(const ImapAccount& account, ImapAddress address)
    : account_(account), address_(std::move(address)), errorBuffer_(CURL_ERROR_SIZE, '\0') {}

ImapMailbox::~ImapMailbox() {
    if (curl_ != nullptr) curl_easy_cleanup(handle(curl_));
}

Status ImapMailbox::open(const ImapAccount& account, std::unique_ptr<ImapMailbox>* mailbox) {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
    ImapAddress address;
    Status status = parseImapAddress(account.url, &address);
    if (!status.ok()) return status;
    std::unique_ptr<ImapMailbox> opened(new ImapMailbox(account, std::move(address)));
    CURL* curl = curl_easy_init();
    if (curl == nullptr) return Status::Error("Cannot read mail: libcurl could not start");
    opened->curl_ = curl;
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "imap,imaps");
    curl_easy_setopt(curl, CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_ALL));
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
    if (!account.caFile.empty()) curl_easy_setopt(curl, CURLOPT_CAINFO, account.caFile.c_str());
    if (account.password.empty()) {
        curl_easy_setopt(curl, CURLOPT_NETRC, static_cast<long>(CURL_NETRC_OPTIONAL));
    } else {
        curl_easy_setopt(curl, CURLOPT_PASSWORD, account.password.c_str());
    }
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, account.connectSeconds);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, account.stallSeconds);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    // Room for a whole SEARCH line of kSearchSpan UIDs: libcurl passes a longer
    // line on with a part left out.
    curl_easy_setopt(curl, CURLOPT_BUFFERSIZE, 512L << 10);
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, opened->errorBuffer_.data());
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, takeData);
    if (account.stop != nullptr) {
        curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, stopWhenAsked);
        curl_easy_setopt(curl, CURLOPT_XFERINFODATA, account.stop);
        curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    }

    Transfer transfer;
    std::string command =
        "STATUS " + quotedFolder(opened->address_.folder) + " (UIDVALIDITY UIDNEXT)";
    status = opened->perform(opened->serverUrl(), command, &transfer);
    if (!status.ok()) return status;
    if (!parseStatusReply(transfer.data, &opened->uidValidity_, &opened->uidNext_) ||
        opened->uidValidity_ == 0) {
        return opened->failure(CURLE_WEIRD_SERVER_REPLY, "reading the folder's UIDVALIDITY");
    }
    *mailbox = std::move(opened);
    return Status::Ok();
}

std::string ImapMailbox::escaped(const std::string& text) const {
    char* escaped = curl_easy_escape(handle(curl_), text.c_str(), static_cast<int>(text.size()));
    std::string out = escaped != nullptr ? escaped : "";
    curl_free(escaped);
    return out;
}

// The user goes in the address rather than CURLOPT_USERNAME: libcurl looks a
// password up in ~/.netrc only for a user named there.
std::string ImapMailbox::serverUrl() const {
    return std::string(address_.tls ? "imaps://" : "imap://") + escaped(address_.user) + "@" +
           address_.host + "/";
}

std::string ImapMailbox::folderUrl() const {
    return serverUrl() + escaped(address_.folder);
}

Status ImapMailbox::perform(const std::string& url, const std::string& command,
                            Transfer* transfer) {
    CURL* curl = handle(curl_);
    transfer->curl = curl;
    transfer->data.clear();
    transfer->announced = 0;
    transfer->tooLarge = false;
    if (transfer->limit == 0) transfer->limit = kMaxReplyBytes;
    errorBuffer_[0] = '\0';
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, command.empty() ? nullptr : command.c_str());
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, transfer);
    CURLcode code = curl_easy_perform(curl);
    if (code == CURLE_OK) return Status::Ok();
    if (code == CURLE_ABORTED_BY_CALLBACK) return Status::Stopped();
    if (transfer->tooLarge) {
        uint64_t size = std::max<uint64_t>(transfer->announced, transfer->data.size());
        return Status::Error("Cannot read mail from " + printableServerText(address_.host) +
                             ": the server offered " + std::to_string(size) +
                             " bytes or more where at most " + std::to_string(transfer->limit) +
                             " are taken");
    }
    std::string doing = command.empty() ? "fetching a message"
                        : command.compare(0, 6, "STATUS") == 0
                            ? "opening the folder \"" + address_.folder + "\""
                            : "searching the folder \"" + address_.folder + "\"";
    return failure(code, doing);
}

Status ImapMailbox::failure(int code, const std::string& doing) const {
    std::string server = printableServerText(address_.host);
    std::string detail = printableServerText(errorBuffer_.c_str());
    if (detail.empty()) detail = curl_easy_strerror(static_cast<CURLcode>(code));
    std::string why;
    switch (code) {
        case CURLE_LOGIN_DENIED:
            why = "the server refused the login of \"" + printableServerText(address_.user) +
                  "\" (wrong user or password" +
                  (account_.password.empty()
                       ? "; none was given unless ~/.netrc has it: put it there or give " +
                             account_.passwordHint
                       : "") +
                  ")";
            break;
        case CURLE_PEER_FAILED_VERIFICATION:
            why = "its certificate is not trusted (" + detail +
                  "); a private server's certificate can be given " + account_.certificateHint;
            break;
        case CURLE_SSL_CACERT_BADFILE:
            why = "the certificates file \"" + printableServerText(account_.caFile) +
                  "\" cannot be read";
            break;
        case CURLE_USE_SSL_FAILED:
            why = "the server does not offer STARTTLS, and mail is read over TLS only";
            break;
        case CURLE_OPERATION_TIMEDOUT:
            why = "the server stopped answering while " + doing + " (" + detail + ")";
            break;
        case CURLE_QUOTE_ERROR:
            why = "the server refused " + doing + " (is there such a folder?)";
            break;
        case CURLE_REMOTE_FILE_NOT_FOUND:
            why = "a message went away, or the folder's UIDs started afresh, while " + doing;
            break;
        case CURLE_COULDNT_RESOLVE_HOST:
        case CURLE_COULDNT_CONNECT:
            why = "no connection (" + detail + ")";
            break;
        default:
            why = "the connection failed while " + doing + " (" + detail + ")";
            break;
    }
    return Status::Error("Cannot read mail from " + server + ": " + printableServerText(why, 400));
}

Status ImapMailbox::search(const ImapSearch& search, std::vector<uint64_t>* uids) {
    uids->clear();
    Transfer transfer;
    std::string url = folderUrl();
    // In spans of UIDs, so that each reply is a line libcurl takes whole. (A
    // span that grew where UIDs are sparse could meet a dense stretch.)
    uint64_t last = std::max<uint64_t>(uidNext_, 2) - 1;
    // Without a UIDNEXT from STATUS, one search of the whole folder.
    bool whole = uidNext_ == 0;
    for (uint64_t first = 1; first <= last; first += kSearchSpan) {
        uint64_t end = std::min(last, first + kSearchSpan - 1);
        std::string command;
        Status status = imapSearchCommand(search, first, whole ? 0 : end, &command);
        if (status.ok()) status = perform(url, command, &transfer);
        if (!status.ok()) return status;
        size_t before = uids->size();
        // A UID outside the span asked for is a reply gone wrong.
        bool valid =
            parseSearchReply(transfer.data, uids) &&
            std::all_of(uids->begin() + static_cast<std::ptrdiff_t>(before), uids->end(),
                        [&](uint64_t uid) { return whole || (uid >= first && uid <= end); });
        if (!valid) return failure(CURLE_WEIRD_SERVER_REPLY, "reading the search's reply");
        if (whole) break;
    }
    std::sort(uids->begin(), uids->end());
    uids->erase(std::unique(uids->begin(), uids->end()), uids->end());
    return Status::Ok();
}

Status ImapMailbox::fetch(const std::vector<uint64_t>& uids, const MessageFn& onMessage) {
    // libcurl fetches BODY[], which marks a message read: the messages that were
    // not are marked unread again afterwards, however the fetching ends.
    ImapSearch unread;
    unread.unread = true;
    std::vector<uint64_t> wasUnread, touched;
    Status status = search(unread, &wasUnread);
    Transfer transfer;
    transfer.limit = account_.maxMessageBytes;
    std::string base = folderUrl() + ";UIDVALIDITY=" + std::to_string(uidValidity_) + ";UID=";
    for (size_t i = 0; status.ok() && i < uids.size(); ++i) {
        if (std::binary_search(wasUnread.begin(), wasUnread.end(), uids[i])) {
            touched.push_back(uids[i]);
        }
        status = perform(base + std::to_string(uids[i]), "", &transfer);
        if (!status.ok()) break;
        toLineFeeds(&transfer.data);
        status = onMessage(uids[i], transfer.data);
    }
    markUnread(std::move(touched));
    return status;
}

void ImapMailbox::markUnread(std::vector<uint64_t> uids) {
    std::sort(uids.begin(), uids.end());
    if (uids.empty()) return;
    // After a stop, a last short try that the stop does not cut.
    if (account_.stop != nullptr && account_.stop->load()) {
        curl_easy_setopt(handle(curl_), CURLOPT_NOPROGRESS, 1L);
        curl_easy_setopt(handle(curl_), CURLOPT_TIMEOUT_MS, kUnreadAfterStopMs);
    }
    Transfer transfer;
    // Best effort: a read-only folder refuses, and marked nothing read either.
    for (const std::string& set : imapUidSets(uids, 4000)) {
        if (!perform(folderUrl(), "UID STORE " + set + " -FLAGS.SILENT (\\Seen)", &transfer).ok()) {
            return;
        }
    }
}

}  // namespace tabulon
