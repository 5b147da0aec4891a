// Sends one scripting event to a running Tabulon over its event socket and waits
// for the answer (for a conversion, until the output has been closed).
#pragma once

#include <string>

#include "platform/scripting_event.h"

namespace tabulon {

enum class SendResult {
    kHandled,
    kNotHandled,
    kNoApp,   // nothing listens at the socket
    kFailed,  // the connection broke; `error` says how
};

SendResult sendEvent(const ScriptingEvent& event, std::string* error,
                     const std::string& socketPath = eventSocketPath());

}  // namespace tabulon
