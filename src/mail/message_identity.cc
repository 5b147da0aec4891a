#include "mail/message_identity.h"

#include <glib.h>

#include "mail/header_block.h"

namespace tabulon {

std::string messageIdentity(std::string_view message) {
    std::string id = readHeaderBlock(message).value("Message-ID");
    size_t first = id.find_first_not_of(" \t\r\n");
    size_t last = id.find_last_not_of(" \t\r\n");
    if (first != std::string::npos) {
        id = id.substr(first, last - first + 1);
        // One identity is one line of the record.
        for (char& c : id) {
            if (c == '\n' || c == '\r') c = ' ';
        }
        return "id:" + id;
    }
    return "sha256:" + sha256Hex(message);
}

std::string sha256Hex(std::string_view bytes) {
    GChecksum* checksum = g_checksum_new(G_CHECKSUM_SHA256);
    g_checksum_update(checksum, reinterpret_cast<const guchar*>(bytes.data()),
                      static_cast<gssize>(bytes.size()));
    std::string hex = g_checksum_get_string(checksum);
    g_checksum_free(checksum);
    return hex;
}

}  // namespace tabulon
