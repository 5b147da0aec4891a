// Where the password of a mailbox comes from: a file the user names, ~/.netrc,
// or a prompt on the terminal that does not echo.
#pragma once

#include <string>

#include "platform/status.h"

namespace tabulon {

// The first line of `passwordFile` when it is given; else the password of
// ~/.netrc's entry for `user` at `hostName` (machine and login both match);
// else the one the app keeps in the desktop's keyring for `user` at `host`;
// else, on a terminal and when `mayPrompt`, what the user types at a prompt. No password is an
// error, and so is a password file or ~/.netrc that other users can read. From
// here on the process leaves no core dump.
Status mailboxPassword(const std::string& user, const std::string& host,
                       const std::string& hostName, const std::string& passwordFile,
                       std::string* password, bool mayPrompt = true);

}  // namespace tabulon
