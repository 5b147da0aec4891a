// Sends one scripting event to a running Tabulon over its event socket and waits
// for the answer (for a conversion, until the output has been closed). Nothing is
// sent unless the socket's folder is private to this user and the process
// listening runs as this user.
#pragma once

#include <string>

#include "platform/scripting_event.h"

namespace tabulon {

enum class SendResult {
    kHandled,
    kNotHandled,  // `message` holds the reason Tabulon gave, if any
    kNoApp,       // nothing listens at the socket
    kUntrusted,   // the socket's folder or its listener is not this user's; nothing was sent
    kFailed,      // the connection broke; `message` says how
};

// `*message`: the text that came with the answer, or what went wrong.
SendResult sendEvent(const ScriptingEvent& event, std::string* message,
                     const std::string& socketPath = eventSocketPath());

}  // namespace tabulon
