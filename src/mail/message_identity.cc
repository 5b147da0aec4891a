#include "mail/message_identity.h"

#include <algorithm>

#include "mail/header_block.h"
#include "platform/sha256.h"

namespace tabulon {

namespace {

constexpr std::string_view kBody = " body:";
constexpr size_t kHexDigest = 64;

}  // namespace

std::string messageIdentity(std::string_view message) {
    HeaderBlock header = readHeaderBlock(message);
    std::string id = header.value("Message-ID");
    size_t first = id.find_first_not_of(" \t\r\n");
    size_t last = id.find_last_not_of(" \t\r\n");
    if (first != std::string::npos) {
        id = id.substr(first, last - first + 1);
        // One identity is one line of the record.
        for (char& c : id) {
            if (c == '\n' || c == '\r') c = ' ';
        }
        std::string_view body = message.substr(std::min(header.bodyOffset, message.size()));
        size_t end = body.find_last_not_of(" \t\n");
        body = body.substr(0, end == std::string_view::npos ? 0 : end + 1);
        return "id:" + id + std::string(kBody) + sha256Hex(body);
    }
    return "sha256:" + sha256Hex(message);
}

std::string_view olderIdentity(std::string_view identity) {
    size_t digest = kBody.size() + kHexDigest;
    if (identity.substr(0, 3) != "id:" || identity.size() < digest + 3 ||
        identity.substr(identity.size() - digest, kBody.size()) != kBody) {
        return identity;
    }
    return identity.substr(0, identity.size() - digest);
}

}  // namespace tabulon
