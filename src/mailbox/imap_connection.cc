#include "mailbox/imap_connection.h"

#include <curl/curl.h>
#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <cstring>
#include <mutex>

namespace tabulon {
namespace {

constexpr size_t kBlockBytes = 256 << 10;
// How often a wait looks at the stop flag.
constexpr auto kStopCheck = std::chrono::milliseconds(250);

CURL* handle(void* curl) {
    return static_cast<CURL*>(curl);
}

// libcurl calls this often while it connects, and about once a second while it
// waits for the server.
int stopWhenAsked(void* stop, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return static_cast<const std::atomic<bool>*>(stop)->load(std::memory_order_relaxed) ? 1 : 0;
}

ImapFailure failureOf(CURLcode code) {
    switch (code) {
        case CURLE_LOGIN_DENIED:
            return ImapFailure::kLoginDenied;
        case CURLE_PEER_FAILED_VERIFICATION:
            return ImapFailure::kUntrusted;
        case CURLE_SSL_CACERT_BADFILE:
            return ImapFailure::kBadCaFile;
        case CURLE_USE_SSL_FAILED:
            return ImapFailure::kNoStartTls;
        case CURLE_OPERATION_TIMEDOUT:
            return ImapFailure::kSilent;
        case CURLE_COULDNT_RESOLVE_HOST:
        case CURLE_COULDNT_CONNECT:
            return ImapFailure::kNoServer;
        default:
            return ImapFailure::kBroken;
    }
}

// Every setting must take: a TLS setting that libcurl refused would leave the
// connection less safe than asked.
class Settings {
  public:
    explicit Settings(CURL* curl) : curl_(curl) {}
    template <typename T>
    void set(CURLoption option, T value) {
        if (code_ == CURLE_OK) code_ = curl_easy_setopt(curl_, option, value);
    }
    CURLcode code() const { return code_; }

  private:
    CURL* curl_;
    CURLcode code_ = CURLE_OK;
};

}  // namespace

ImapConnection::ImapConnection(const ImapConnectionSettings& settings)
    : settings_(settings), buffer_(kBlockBytes, '\0'), replyStart_(Clock::now()) {}

ImapConnection::~ImapConnection() {
    if (curl_ == nullptr) return;
    if (socket_ >= 0) {
        if (!broken_) {
            // Polite, not waited for: a server in the middle of a reply would
            // keep the answer behind it.
            size_t sent = 0;
            curl_easy_send(handle(curl_), "z LOGOUT\r\n", 10, &sent);
        }
        // libcurl's own goodbye then fails at once instead of waiting.
        ::shutdown(socket_, SHUT_RDWR);
    }
    curl_easy_cleanup(handle(curl_));
}

Status ImapConnection::open(const ImapConnectionSettings& settings,
                            std::unique_ptr<ImapConnection>* connection, ImapFailure* failure) {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
    *failure = ImapFailure::kBroken;
    std::unique_ptr<ImapConnection> opened(new ImapConnection(settings));
    CURL* curl = curl_easy_init();
    if (curl == nullptr) return Status::IoError("libcurl could not start");
    opened->curl_ = curl;
    std::string errors(CURL_ERROR_SIZE, '\0');
    Settings set(curl);
    set.set(CURLOPT_URL, settings.url.c_str());
    set.set(CURLOPT_PROTOCOLS_STR, "imap,imaps");
    set.set(CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_ALL));
    set.set(CURLOPT_SSL_VERIFYPEER, 1L);
    set.set(CURLOPT_SSL_VERIFYHOST, 2L);
    if (!settings.caFile.empty()) set.set(CURLOPT_CAINFO, settings.caFile.c_str());
    set.set(CURLOPT_NETRC, static_cast<long>(CURL_NETRC_IGNORED));
    set.set(CURLOPT_USERNAME, settings.user.c_str());
    set.set(CURLOPT_PASSWORD, settings.password.c_str());
    set.set(CURLOPT_CONNECT_ONLY, 1L);
    set.set(CURLOPT_CONNECTTIMEOUT, settings.connectSeconds);
    // The greeting and the login: each answer within the silence allowed, all
    // of it within a reply's time.
    set.set(CURLOPT_SERVER_RESPONSE_TIMEOUT, settings.stallSeconds);
    set.set(CURLOPT_TIMEOUT, std::max(settings.replySeconds, settings.connectSeconds));
    set.set(CURLOPT_NOSIGNAL, 1L);
    set.set(CURLOPT_ERRORBUFFER, errors.data());
    if (settings.stop != nullptr) {
        set.set(CURLOPT_XFERINFOFUNCTION, stopWhenAsked);
        set.set(CURLOPT_XFERINFODATA, settings.stop);
        set.set(CURLOPT_NOPROGRESS, 0L);
    }
    if (set.code() != CURLE_OK) {
        return Status::IoError(std::string("libcurl refused a setting (") +
                               curl_easy_strerror(set.code()) + ")");
    }
    CURLcode code = curl_easy_perform(curl);
    // The buffer dies here; libcurl must not write to it later.
    CURLcode unset = curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, nullptr);
    if (code == CURLE_ABORTED_BY_CALLBACK) return Status::Stopped();
    if (code != CURLE_OK) {
        *failure = failureOf(code);
        std::string detail = errors.c_str();
        return Status::IoError(detail.empty() ? curl_easy_strerror(code) : detail);
    }
    curl_socket_t socket = CURL_SOCKET_BAD;
    CURLcode info = curl_easy_getinfo(curl, CURLINFO_ACTIVESOCKET, &socket);
    if (unset != CURLE_OK || info != CURLE_OK || socket == CURL_SOCKET_BAD) {
        return Status::IoError("libcurl gave no connection");
    }
    opened->socket_ = socket;
    *failure = ImapFailure::kNone;
    *connection = std::move(opened);
    return Status::Ok();
}

Status ImapConnection::fail(ImapFailure failure, const std::string& detail) {
    failure_ = failure;
    broken_ = true;
    return Status::IoError(detail);
}

Status ImapConnection::send(const std::string& command, std::string* tag) {
    if (broken_) return fail(failure_, "the connection was lost");
    *tag = std::to_string(++nextTag_);
    tag->insert(tag->begin(), 't');
    std::string text = *tag + " " + command + "\r\n";
    size_t done = 0;
    auto start = Clock::now();
    while (done < text.size()) {
        size_t sent = 0;
        CURLcode code =
            curl_easy_send(handle(curl_), text.data() + done, text.size() - done, &sent);
        done += sent;
        if (code == CURLE_OK) continue;
        if (code != CURLE_AGAIN) return fail(ImapFailure::kBroken, curl_easy_strerror(code));
        if (Clock::now() - start > std::chrono::seconds(settings_.stallSeconds)) {
            return fail(ImapFailure::kSilent, "the server took nothing for " +
                                                  std::to_string(settings_.stallSeconds) + " s");
        }
        if (settings_.stop != nullptr && settings_.stop->load()) return Status::Stopped();
        pollfd want{socket_, POLLOUT, 0};
        ::poll(&want, 1, static_cast<int>(kStopCheck.count()));
    }
    return Status::Ok();
}

Status ImapConnection::fill() {
    if (broken_) return fail(failure_, "the connection was lost");
    // Also while bytes keep coming: a large message let go at full speed.
    if (settings_.stop != nullptr && settings_.stop->load()) return Status::Stopped();
    if (start_ == end_) {
        start_ = end_ = 0;
    } else if (start_ > 0 && end_ == buffer_.size()) {
        std::memmove(buffer_.data(), buffer_.data() + start_, end_ - start_);
        end_ -= start_;
        start_ = 0;
    }
    if (end_ == buffer_.size()) buffer_.resize(buffer_.size() * 2);
    auto waitStart = Clock::now();
    const auto silence = std::chrono::seconds(settings_.stallSeconds);
    const auto whole = std::chrono::seconds(settings_.replySeconds);
    for (;;) {
        size_t got = 0;
        CURLcode code =
            curl_easy_recv(handle(curl_), buffer_.data() + end_, buffer_.size() - end_, &got);
        if (code == CURLE_OK) {
            if (got == 0) return fail(ImapFailure::kBroken, "the server closed the connection");
            end_ += got;
            return Status::Ok();
        }
        if (code != CURLE_AGAIN) return fail(ImapFailure::kBroken, curl_easy_strerror(code));
        auto now = Clock::now();
        if (now - waitStart >= silence) {
            return fail(ImapFailure::kSilent,
                        "nothing came for " + std::to_string(settings_.stallSeconds) + " s");
        }
        if (now - replyStart_ >= whole) {
            return fail(ImapFailure::kTooSlow, "one reply took more than " +
                                                   std::to_string(settings_.replySeconds) + " s");
        }
        if (settings_.stop != nullptr && settings_.stop->load()) return Status::Stopped();
        auto left = std::min(
            {waitStart + silence - now, replyStart_ + whole - now, Clock::duration(kStopCheck)});
        pollfd want{socket_, POLLIN, 0};
        ::poll(&want, 1,
               static_cast<int>(
                   std::chrono::duration_cast<std::chrono::milliseconds>(left).count() + 1));
    }
}

Status ImapConnection::readLine(std::string* line, size_t limit) {
    size_t scanned = start_;
    for (;;) {
        const char* begin = buffer_.data() + start_;
        const void* found = std::memchr(buffer_.data() + scanned, '\n', end_ - scanned);
        if (found != nullptr) {
            size_t length = static_cast<const char*>(found) - begin;
            start_ += length + 1;
            if (length > 0 && begin[length - 1] == '\r') --length;
            line->assign(begin, length);
            return Status::Ok();
        }
        if (end_ - start_ > limit) {
            return fail(ImapFailure::kBroken,
                        "a line of its reply is longer than " + std::to_string(limit) + " bytes");
        }
        size_t kept = end_ - start_;
        Status status = fill();
        if (!status.ok()) return status;
        scanned = start_ + kept;
    }
}

Status ImapConnection::readLiteral(uint64_t size, std::string* out) {
    while (size > 0) {
        if (start_ == end_) {
            Status status = fill();
            if (!status.ok()) return status;
        }
        size_t take = static_cast<size_t>(std::min<uint64_t>(size, end_ - start_));
        if (out != nullptr) out->append(buffer_.data() + start_, take);
        start_ += take;
        size -= take;
    }
    return Status::Ok();
}

}  // namespace tabulon
