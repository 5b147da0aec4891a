// Passwords in ~/.netrc ("machine HOST login USER password SECRET"), and the
// refusal of a file of secrets that other users can read.
#pragma once

#include <string>

#include "platform/status.h"

namespace tabulon {

// The password of the entry of ~/.netrc ($HOME/.netrc) for `login` at `machine`:
// an entry counts only where both match, so that a password never goes to
// another login or another server ("default" entries never count). "" when no
// entry matches or there is no ~/.netrc. A ~/.netrc that other users can read is
// refused.
Status netrcPassword(const std::string& machine, const std::string& login, std::string* password);

// Refuses the open file `fd` (named `path`) when it is a regular file that users
// other than its owner may read or write.
Status refuseSharedSecrets(int fd, const std::string& path);

}  // namespace tabulon
