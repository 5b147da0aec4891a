#include "mail/message_identity.h"

#include <glib.h>

#include <algorithm>

#include "mail/header_block.h"

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

std::string sha256Hex(std::string_view bytes) {
    Sha256 digest;
    digest.add(bytes.data(), bytes.size());
    return digest.hex();
}

Sha256::Sha256() : checksum_(g_checksum_new(G_CHECKSUM_SHA256)) {}

Sha256::~Sha256() {
    g_checksum_free(checksum_);
}

void Sha256::add(const char* data, size_t size) {
    g_checksum_update(checksum_, reinterpret_cast<const guchar*>(data), static_cast<gssize>(size));
}

std::string Sha256::hex() {
    return g_checksum_get_string(checksum_);
}

}  // namespace tabulon
