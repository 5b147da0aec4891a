// What the app remembers about saving spreadsheets: the last format chosen and
// the header columns switched on; and the mailbox read last (never its
// password). Kept in a file of its own, "Tabulon Settings" beside "Tabulon
// Prefs" (which keeps its nine lines), as "key=value" lines:
//   format=xlsx
//   headers=Date,From
//   mailbox-server=mail.example.com:993
// Unknown keys and lines are ignored, so older and newer versions share the file.
#pragma once

#include <string>
#include <vector>

#include "output/table_format.h"
#include "platform/status.h"
#include "table/table_writer.h"

namespace tabulon {

// The header columns the preview offers, in column order.
inline const std::vector<std::string> kOfferedHeaders = {"Date", "From", "Subject"};

// What File > Convert from Mailbox asked for last; empty: not given.
struct MailboxSettings {
    std::string server;  // host[:port]
    std::string user;
    std::string folder = "INBOX";
    std::string subject;           // the Subject contains this
    std::string since;             // YYYY-MM-DD
    std::string certificate;       // a file of certificates to trust
    std::string rememberPassword;  // "yes": kept in the keyring when asked
    bool operator==(const MailboxSettings&) const = default;
};

struct SpreadsheetSettings {
    TableFormat format = TableFormat::kXlsx;
    std::vector<std::string> headers;  // a subset of kOfferedHeaders, in its order
    MailboxSettings mailbox;
};

inline constexpr const char* kSettingsFileName = "Tabulon Settings";

// configFolder() + "Tabulon Settings".
std::string spreadsheetSettingsPath();

// The settings a file's text holds; anything unreadable keeps its default.
SpreadsheetSettings parseSpreadsheetSettings(const std::string& text);
std::string spreadsheetSettingsText(const SpreadsheetSettings& settings);

// A missing or unreadable file gives the defaults.
SpreadsheetSettings readSpreadsheetSettings(const std::string& path);
// Replaces the file at once (its folder is created when missing).
Status writeSpreadsheetSettings(const std::string& path, const SpreadsheetSettings& settings);

}  // namespace tabulon
