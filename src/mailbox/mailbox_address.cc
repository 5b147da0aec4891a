#include "mailbox/mailbox_address.h"

#include <curl/curl.h>

#include <cctype>
#include <string_view>

#include "mailbox/imap_command.h"
#include "mailbox/imap_folder_name.h"
#include "mailbox/mailbox_options.h"
#include "platform/text.h"
#include "platform/utf8.h"

namespace tabulon {
namespace {

std::string urlPart(CURLU* url, CURLUPart part, unsigned flags = 0) {
    char* value = nullptr;
    if (curl_url_get(url, part, &value, flags) != CURLUE_OK || value == nullptr) return "";
    std::string text = value;
    curl_free(value);
    return text;
}

// `text` with each byte %-escaped but letters, digits, "-._~" and those of `keep`.
std::string percentEncoded(const std::string& text, std::string_view keep = {}) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (char c : text) {
        auto byte = static_cast<unsigned char>(c);
        if ((byte < 0x80 && std::isalnum(byte)) ||
            std::string_view("-._~").find(c) != std::string_view::npos ||
            keep.find(c) != std::string_view::npos) {
            out += c;
        } else {
            out += '%';
            out += kHex[byte >> 4];
            out += kHex[byte & 0xF];
        }
    }
    return out;
}

}  // namespace

Status parseImapAddress(const std::string& url, ImapAddress* address) {
    auto refuse = [&](const std::string& why) {
        return Status::InvalidArgument("Cannot read the mailbox \"" + printableServerText(url) +
                                       "\": " + why);
    };
    if (!isMailboxAddress(url)) return refuse("it is not an imaps:// address");
    CURLU* parsed = curl_url();
    CURLUcode code = curl_url_set(parsed, CURLUPART_URL, url.c_str(), 0);
    if (code == CURLUE_OK) {
        address->tls = equalsIgnoringCase(urlPart(parsed, CURLUPART_SCHEME), "imaps");
        address->hostName = urlPart(parsed, CURLUPART_HOST);
        address->host = address->hostName;
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
        if (!isValidUtf8(address->folder)) return refuse("the folder's name is not UTF-8");
        // A name given as IMAP writes it ("Auftr&AOQ-ge") is shown as it reads.
        std::string decoded;
        if (decodeImapFolder(address->folder, &decoded)) address->folder = decoded;
        return Status::Ok();
    }
    curl_url_cleanup(parsed);
    return refuse(curl_url_strerror(code));
}

std::string mailboxName(const ImapAddress& address) {
    return address.host + "/" + address.folder;
}

std::string mailboxName(const std::string& url) {
    ImapAddress address;
    return parseImapAddress(url, &address).ok() ? mailboxName(address) : url;
}

Status mailboxAddressOf(const std::string& server, const std::string& user,
                        const std::string& folder, std::string* url) {
    if (server.empty() || user.empty())
        return Status::InvalidArgument("Please give the server and the user of the mailbox.");
    if (server.find_first_of("/@ ") != std::string::npos)
        return Status::InvalidArgument(
            "Please give the server as a name, or a name and a port "
            "(mail.example.com:993).");
    // Port 143 is plain IMAP, where TLS begins with STARTTLS (which must succeed).
    bool startTls = server.size() > 4 && server.ends_with(":143");
    *url = (startTls ? "imap://" : "imaps://") + percentEncoded(user) + "@" + server + "/" +
           percentEncoded(folder.empty() ? "INBOX" : folder, "/");
    return Status::Ok();
}

}  // namespace tabulon
