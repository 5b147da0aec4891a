#include "mail/header_cell.h"

#include <gmime/gmime.h>

#include <array>
#include <cctype>

#include "mail/charset_text.h"
#include "mail/encoded_words.h"
#include "platform/text.h"
#include "table/date_time_text.h"

namespace tabulon {
namespace {

constexpr std::array<std::string_view, 4> kDateHeaders = {"date", "resent-date", "delivery-date",
                                                          "received"};
constexpr std::array<std::string_view, 6> kAddressHeaders = {"from", "sender", "reply-to",
                                                             "to",   "cc",     "bcc"};

// Which part of an address header a column takes.
enum class AddressPart { kWhole, kName, kAddress };

std::string_view fieldName(std::string_view name) {
    std::string_view field = trimBlanks(name);
    if (!field.empty() && field.back() == ':')
        field = trimBlanks(field.substr(0, field.size() - 1));
    return field;
}

template <size_t N>
bool isOneOf(std::string_view name, const std::array<std::string_view, N>& names) {
    for (std::string_view known : names) {
        if (equalsIgnoringCase(name, known)) return true;
    }
    return false;
}

bool endsWithIgnoringCase(std::string_view text, std::string_view end) {
    return text.size() > end.size() &&
           equalsIgnoringCase(text.substr(text.size() - end.size()), end);
}

// "From-Name" is the From header's names; the header itself is "whole".
std::string_view addressHeader(std::string_view field, AddressPart* part) {
    *part = AddressPart::kWhole;
    if (isOneOf(field, kAddressHeaders)) return field;
    for (auto [suffix, which] : {std::pair{std::string_view("-name"), AddressPart::kName},
                                 std::pair{std::string_view("-address"), AddressPart::kAddress}}) {
        if (!endsWithIgnoringCase(field, suffix)) continue;
        std::string_view base = field.substr(0, field.size() - suffix.size());
        if (!isOneOf(base, kAddressHeaders)) continue;
        *part = which;
        return base;
    }
    return {};
}

// The part of the header `field` that holds its date: Received's after its last ";".
std::string datePart(std::string_view field, const std::string& raw) {
    if (!equalsIgnoringCase(field, "received")) return raw;
    size_t semicolon = raw.rfind(';');
    return semicolon == std::string::npos ? "" : raw.substr(semicolon + 1);
}

// The blank-, comma- and parenthesis-separated words of a date.
std::vector<std::string_view> dateWords(std::string_view date) {
    std::vector<std::string_view> words;
    size_t start = 0;
    while (start < date.size()) {
        size_t end = date.find_first_of(" \t,()", start);
        if (end == std::string_view::npos) end = date.size();
        if (end > start) words.push_back(date.substr(start, end - start));
        start = end + 1;
    }
    return words;
}

// Whether a date names its time zone: an offset ("+0100") or a zone RFC 5322
// knows. A date without one ("Sent: Monday, December 7, 2026 10:00 AM", as a
// mail program saves mail as text) is its writer's local time, which GMime
// reads as UTC.
bool namesZone(const std::vector<std::string_view>& words) {
    constexpr std::array<std::string_view, 11> kZones = {"UT",  "GMT", "Z",   "EST", "EDT", "CST",
                                                         "CDT", "MST", "MDT", "PST", "PDT"};
    for (std::string_view word : words) {
        if (word.size() == 5 && (word[0] == '+' || word[0] == '-') &&
            word.find_first_not_of("0123456789", 1) == std::string_view::npos)
            return true;
        if (isOneOf(word, kZones)) return true;
    }
    return false;
}

// Hours to add for a 12-hour clock's "AM" or "PM", which GMime passes over:
// 2:30 PM is 14:30, 12:10 AM is 00:10.
int twelveHourShift(const std::vector<std::string_view>& words, int hour) {
    constexpr std::array<std::string_view, 2> kAm = {"AM", "a.m."}, kPm = {"PM", "p.m."};
    for (std::string_view word : words) {
        if (isOneOf(word, kPm) && hour < 12) return 12;
        if (isOneOf(word, kAm) && hour == 12) return -12;
    }
    return 0;
}

// "12/07/2026" is 12 July or 7 December, as its writer's country has it: a day
// written with slashes is no date to guess at.
bool numericDay(std::string_view date) {
    for (size_t i = 1; i + 1 < date.size(); ++i) {
        if (date[i] == '/' && std::isdigit(static_cast<unsigned char>(date[i - 1])) &&
            std::isdigit(static_cast<unsigned char>(date[i + 1])))
            return true;
    }
    return false;
}

// The local date and time `raw` says; false when GMime cannot read it as a date.
bool localDate(const std::string& raw, std::string* out) {
    if (numericDay(raw)) return false;
    GDateTime* when = g_mime_utils_header_decode_date(raw.c_str());
    if (when == nullptr) return false;
    std::vector<std::string_view> words = dateWords(raw);
    if (int shift = twelveHourShift(words, g_date_time_get_hour(when)); shift != 0) {
        GDateTime* shifted = g_date_time_add_hours(when, shift);
        g_date_time_unref(when);
        when = shifted;
        if (when == nullptr) return false;
    }
    GDateTime* local = namesZone(words) ? g_date_time_to_local(when) : g_date_time_ref(when);
    g_date_time_unref(when);
    if (local == nullptr) return false;
    DateTimeFields fields{g_date_time_get_year(local),         g_date_time_get_month(local),
                          g_date_time_get_day_of_month(local), g_date_time_get_hour(local),
                          g_date_time_get_minute(local),       g_date_time_get_second(local)};
    g_date_time_unref(local);
    *out = dateTimeText(fields);
    // A year a workbook cannot hold is no date a mail was sent on.
    return readDateTimeText(*out, &fields);
}

void appendAddresses(InternetAddressList* list, AddressPart part, std::string* out, int depth) {
    int count = list == nullptr ? 0 : internet_address_list_length(list);
    for (int i = 0; i < count; ++i) {
        InternetAddress* address = internet_address_list_get_address(list, i);
        if (INTERNET_ADDRESS_IS_GROUP(address)) {
            if (depth < 4) {
                appendAddresses(internet_address_group_get_members(INTERNET_ADDRESS_GROUP(address)),
                                part, out, depth + 1);
            }
            continue;
        }
        const char* name = internet_address_get_name(address);
        const char* addr =
            INTERNET_ADDRESS_IS_MAILBOX(address)
                ? internet_address_mailbox_get_addr(INTERNET_ADDRESS_MAILBOX(address))
                : nullptr;
        std::string shownName = name != nullptr ? std::string(trimBlanks(name)) : "";
        std::string shownAddr = addr != nullptr ? addr : "";
        std::string text = part == AddressPart::kName      ? shownName
                           : part == AddressPart::kAddress ? shownAddr
                           : shownName.empty()             ? shownAddr
                           : shownAddr.empty()             ? shownName
                                                           : shownName + " <" + shownAddr + ">";
        if (text.empty()) continue;
        if (!out->empty()) *out += ", ";
        // GMime passes 8-bit bytes of an address through as they came.
        appendUtf8(text, "", out);
    }
}

}  // namespace

bool isAddressColumn(std::string_view name) {
    return isOneOf(fieldName(name), kAddressHeaders);
}

bool isDateColumn(std::string_view name) {
    return isOneOf(fieldName(name), kDateHeaders);
}

bool isMailDate(std::string_view name, const std::string& text) {
    std::string local;
    return localDate(datePart(fieldName(name), text), &local);
}

std::vector<bool> dateColumnsOf(const std::vector<std::string>& headerNames, DateStyle style) {
    std::vector<bool> dates;
    if (style == DateStyle::kAsWritten) return dates;
    for (const std::string& name : headerNames)
        dates.push_back(isDateColumn(name));
    return dates;
}

std::string headerCell(const HeaderBlock& block, std::string_view name, const HeaderStyle& style,
                       GMimeParserOptions* options, bool* unreadDate) {
    std::string_view field = fieldName(name);
    AddressPart part;
    std::string_view addressField = addressHeader(field, &part);
    std::string raw = block.value(addressField.empty() ? field : addressField);
    // Mail saved as text by some clients gives its date as "Sent:".
    if (raw.empty() && equalsIgnoringCase(field, "date")) raw = block.value("sent");
    std::string cell;
    if (raw.empty()) return cell;
    if (!addressField.empty() && !(style.addressesAsWritten && part == AddressPart::kWhole)) {
        // Encoded words are decoded by this program's rule (Latin-1 read as
        // Windows-1252), not GMime's.
        InternetAddressList* list =
            internet_address_list_parse(options, quoteEncodedWords(raw).c_str());
        appendAddresses(list, part, &cell, 0);
        if (list != nullptr) g_object_unref(list);
        // Text that holds no address ("From: Web Form") stays as written.
        if (cell.empty() && part != AddressPart::kAddress) appendHeaderText(raw, &cell);
        return cell;
    }
    if (style.dates == DateStyle::kLocal && isDateColumn(field)) {
        if (localDate(datePart(field, raw), &cell)) return cell;
        cell.clear();
        *unreadDate = true;
    }
    appendHeaderText(raw, &cell);
    return cell;
}

}  // namespace tabulon
