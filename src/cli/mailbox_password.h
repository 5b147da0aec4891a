// Where the password of a mailbox comes from: a file the user names, ~/.netrc
// (which libcurl reads), or a prompt on the terminal that does not echo.
#pragma once

#include <string>

#include "platform/status.h"

namespace tabulon {

// The first line of `passwordFile` when it is given. Otherwise "" when ~/.netrc
// has an entry for `host` (port aside) or standard input is not a terminal; else
// what the user types at a prompt on the terminal.
Status mailboxPassword(const std::string& user, const std::string& host,
                       const std::string& passwordFile, std::string* password);

}  // namespace tabulon
