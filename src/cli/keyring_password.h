// The password the app keeps in the desktop's keyring for a mailbox, asked of
// tabulon-keyring (the small Qt program beside tabulon-tables), so that
// tabulon-convert itself links no Qt. Where that program is not installed,
// there is none.
#pragma once

#include <string>

namespace tabulon {

// The password kept for `account` ("user@host[:port]", as the app's mailbox
// dialog names it); "" when none is, or the keyring cannot be asked.
std::string keyringPassword(const std::string& account);

}  // namespace tabulon
