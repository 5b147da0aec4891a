// Where the password of a mailbox comes from: a file the user names, ~/.netrc,
// the desktop's keyring, or a prompt on the terminal that does not echo; or,
// in the window, the password typed there. A password held is wiped after use,
// and from here on the process leaves no core dump.
#pragma once

#include <functional>
#include <string>

#include "mailbox/mailbox_address.h"
#include "platform/status.h"

namespace tabulon {

struct ImapAccount;

// The keyring's password for `account` ("user@host[:port]", as the window's
// mailbox dialog names it); "" when none is kept or the keyring cannot be asked.
using KeyringReader = std::function<std::string(const std::string& account)>;

// The sources tried after a password file and ~/.netrc.
struct PasswordSources {
    KeyringReader keyring;  // none asked when empty
    bool mayPrompt = true;  // on a terminal, when no other source has one
};

// The first line of `passwordFile` when it is given; else the password of
// ~/.netrc's entry for the address's user at its host name (machine and login
// both match); else the keyring's for `user@host`; else, on a terminal and when
// `mayPrompt`, what the user types at a prompt. No password is an error, and so
// is a password file or ~/.netrc that other users can read.
Status mailboxPassword(const ImapAddress& address, const std::string& passwordFile,
                       const PasswordSources& sources, std::string* password);

// The password `account` holds (typed in the window); when it holds none,
// ~/.netrc's for the address's user at its host name. None is an error saying
// to give `account.passwordHint`.
Status accountPassword(const ImapAccount& account, const ImapAddress& address,
                       std::string* password);

}  // namespace tabulon
