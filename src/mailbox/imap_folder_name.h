// Folder names as IMAP writes them: modified UTF-7 (RFC 3501, 5.1.3), where
// "Aufträge" is "Auftr&AOQ-ge" and "&" is "&-". Names are shown decoded.
#pragma once

#include <string>
#include <string_view>

namespace tabulon {

// `name` (UTF-8) as IMAP writes it. REQUIRES: valid UTF-8.
std::string encodeImapFolder(std::string_view name);

// The UTF-8 of `encoded`; false when it is not modified UTF-7 (a byte outside
// printable ASCII, an "&" run that does not end in "-" or holds no whole
// UTF-16 text).
bool decodeImapFolder(std::string_view encoded, std::string* name);

}  // namespace tabulon
