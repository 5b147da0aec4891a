#include "preview/spreadsheet_settings.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <utility>

#include "platform/app_paths.h"
#include "platform/atomic_file.h"

namespace tabulon {
namespace {

// The settings file is a few lines; anything bigger is not ours.
constexpr std::streamsize kMaxSettingsBytes = 64 * 1024;

std::vector<std::string> offeredHeadersIn(const std::string& list) {
    std::vector<std::string> named;
    std::stringstream items(list);
    for (std::string item; std::getline(items, item, ',');)
        named.push_back(item);
    std::vector<std::string> headers;
    for (const std::string& offered : kOfferedHeaders) {
        if (std::find(named.begin(), named.end(), offered) != named.end())
            headers.push_back(offered);
    }
    return headers;
}

// The mailbox's settings by key, for reading and writing them alike.
std::vector<std::pair<const char*, std::string MailboxSettings::*>> mailboxKeys() {
    return {{"mailbox-server", &MailboxSettings::server},
            {"mailbox-user", &MailboxSettings::user},
            {"mailbox-folder", &MailboxSettings::folder},
            {"mailbox-subject", &MailboxSettings::subject},
            {"mailbox-since", &MailboxSettings::since},
            {"mailbox-certificate", &MailboxSettings::certificate},
            {"mailbox-remember-password", &MailboxSettings::rememberPassword}};
}

// A value on one line: line ends become blanks.
std::string oneLine(std::string value) {
    for (char& c : value) {
        if (c == '\n' || c == '\r') c = ' ';
    }
    return value;
}

}  // namespace

std::string spreadsheetSettingsPath() {
    return configFolder() + kSettingsFileName;
}

SpreadsheetSettings parseSpreadsheetSettings(const std::string& text) {
    SpreadsheetSettings settings;
    std::stringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        size_t equals = line.find('=');
        if (equals == std::string::npos) continue;
        std::string key = line.substr(0, equals);
        std::string value = line.substr(equals + 1);
        if (key == "format") {
            // Only a format the save dialog offers.
            std::optional<TableFormat> format = parseTableFormat(value);
            if (format && formatInfo(*format).dialogPlace > 0) settings.format = *format;
        } else if (key == "headers") {
            settings.headers = offeredHeadersIn(value);
        }
        for (const auto& [name, member] : mailboxKeys()) {
            if (key == name) settings.mailbox.*member = value;
        }
    }
    return settings;
}

std::string spreadsheetSettingsText(const SpreadsheetSettings& settings) {
    std::string headers;
    for (const std::string& header : settings.headers) {
        if (!headers.empty()) headers += ',';
        headers += header;
    }
    std::string text =
        "format=" + std::string(formatName(settings.format)) + "\nheaders=" + headers + "\n";
    for (const auto& [name, member] : mailboxKeys()) {
        std::string value = oneLine(settings.mailbox.*member);
        if (!value.empty()) text += std::string(name) + "=" + value + "\n";
    }
    return text;
}

SpreadsheetSettings readSpreadsheetSettings(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return SpreadsheetSettings();
    std::ifstream file(path, std::ios::binary);
    std::string text(kMaxSettingsBytes, '\0');
    file.read(text.data(), kMaxSettingsBytes);
    text.resize(static_cast<size_t>(file.gcount()));
    return parseSpreadsheetSettings(text);
}

Status writeSpreadsheetSettings(const std::string& path, const SpreadsheetSettings& settings) {
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), error);
    return replaceFile(path, spreadsheetSettingsText(settings));
}

}  // namespace tabulon
