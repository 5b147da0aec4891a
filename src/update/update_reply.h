// Reading the update server's reply: the text received so far (line feeds
// removed) holds "AppVersion:", one separator, the latest version number, and
// later "AppName", which marks where the version ends. Keys are found ignoring
// case, anywhere in the reply (status line and headers included); the first
// "AppVersion:" decides.
#pragma once

#include <cstddef>
#include <string>

namespace tabulon {

// The reply names the version and its end marker, so the decision can be made
// without waiting for the rest.
bool updateReplyComplete(const std::string& received);

struct UpdateVerdict {
    enum class Kind {
        kNewer,      // a newer version than the running one is out
        kLatest,     // the running version is the latest (or newer)
        kNoVersion,  // the reply does not say which version is the latest
    };
    Kind kind;
    double latest;  // the version read from the reply (0 when there is none)
};

// Compares the reply's version with `runningVersion`, both read as decimal
// numbers (so 1.10 is 1.1, and older than 1.9; 2.0.1 reads as 2.0).
UpdateVerdict parseUpdateReply(const std::string& received, double runningVersion);

}  // namespace tabulon
