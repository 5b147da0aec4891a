// What a user asks of a mailbox besides its address: the filters of its
// messages, the certificates to trust and the password file. One table lists
// these options; the command line's parser, its --help, the IMAP search and
// the window's remembered runs all read it.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/text.h"

namespace tabulon {

// Whether an input names an IMAP mailbox (imaps://... or imap://...) rather than
// a file.
inline bool isMailboxAddress(std::string_view input) {
    for (std::string_view scheme : {"imaps://", "imap://"}) {
        if (input.size() > scheme.size() &&
            equalsIgnoringCase(input.substr(0, scheme.size()), scheme)) {
            return true;
        }
    }
    return false;
}

// Which messages of a folder to read; empty filters match every message.
struct ImapSearch {
    std::string subject;  // the Subject contains this text (letter case aside)
    std::string from;     // the From field contains this text
    std::string since;    // YYYY-MM-DD: received on or after this day
    bool unread = false;  // only messages not marked read
    bool operator==(const ImapSearch&) const = default;
};

// The options of one mailbox INPUT.
struct MailboxOptions {
    ImapSearch search;
    std::string caFile;        // certificates to trust instead of the system's
    std::string passwordFile;  // the password is its first line
    bool operator==(const MailboxOptions&) const = default;
};

// One option of the table: --NAME=VALUE on the command line.
struct MailboxOption {
    const char* name;   // "search-subject"
    const char* value;  // what --help calls the value: "TEXT"
    const char* help;   // --help's words for it
    // A filter: the search's field it sets and the IMAP SEARCH key that asks
    // for it; nullptr for an option that is no filter.
    std::string ImapSearch::*filter;
    const char* searchKey;
    bool day;  // the value is a day, YYYY-MM-DD
    // Not a filter: the setting it sets.
    std::string MailboxOptions::*setting;
};

// Every mailbox option, in the order --help lists them and a search asks for
// them. A new filter is a field of ImapSearch and a line here; its man page
// entry and its completions follow (Packaging.EveryOptionIsDocumentedAndCompleted).
// clang-format off
inline constexpr MailboxOption kMailboxOptions[] = {
    {"search-subject", "TEXT", "only messages whose subject contains TEXT",
     &ImapSearch::subject, "SUBJECT", false, nullptr},
    {"search-from", "TEXT", "only messages whose From field contains TEXT",
     &ImapSearch::from, "FROM", false, nullptr},
    {"search-since", "DATE", "only messages received on or after DATE (YYYY-MM-DD)",
     &ImapSearch::since, "SINCE", true, nullptr},
    {"cacert", "FILE", "trust the certificates in FILE (a private server's)",
     nullptr, nullptr, false, &MailboxOptions::caFile},
    {"password-file", "FILE", "the password is the first line of FILE (mode 600)",
     nullptr, nullptr, false, &MailboxOptions::passwordFile},
};
// clang-format on
inline std::span<const MailboxOption> mailboxOptions() {
    return kMailboxOptions;
}

// The value `option` has in `options` ("" when not given).
std::string& valueOf(MailboxOptions& options, const MailboxOption& option);
const std::string& valueOf(const MailboxOptions& options, const MailboxOption& option);

// Sets `option` to `value`; returns "" or what is wrong with the value.
std::string setMailboxOption(MailboxOptions& options, const MailboxOption& option,
                             const std::string& value);

// --help's lines for the options, one each.
std::string mailboxOptionsHelp();

// The options given in `options` as command-line arguments ("--search-from", "x", ...).
std::vector<std::string> mailboxArguments(const MailboxOptions& options);

}  // namespace tabulon
