#include "platform/sha256.h"

#include <glib.h>

namespace tabulon {

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
