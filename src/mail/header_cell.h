// The cell of a header column (--headers) as a person reads the header: a date
// as the local date and time (date_time_text.h), addresses as a mail program
// shows them ("Tim Chapman <timc@example.org>", without the quotes the header
// may carry), and an address header's parts as columns of their own
// ("From-Name", "From-Address"). GMime parses dates and addresses.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "mail/header_block.h"

typedef struct _GMimeParserOptions GMimeParserOptions;

namespace tabulon {

// How header columns that hold a date are written.
enum class DateStyle {
    kLocal,      // "2026-11-30 09:14:02", in the machine's time zone (TZ honoured)
    kAsWritten,  // the mail's own text
};

// How header columns are written. Tables made before may hold the other style,
// which rows added to them follow (table_header_style.h).
struct HeaderStyle {
    DateStyle dates = DateStyle::kLocal;
    // Addresses as the header has them, quotes and all, as tables were written
    // before addresses were shown as people read them.
    bool addressesAsWritten = false;
};

// Whether a header column of this name shows an address header whole (From,
// Sender, Reply-To, To, Cc, Bcc; not their -Name and -Address parts).
bool isAddressColumn(std::string_view name);

// Whether a header column of this name holds a date: Date, Resent-Date,
// Delivery-Date and Received (its date, after the last ";"); a trailing colon
// and letter case aside.
bool isDateColumn(std::string_view name);

// Whether `text`, a cell of the date column `name` left as the mail wrote it,
// reads as a date.
bool isMailDate(std::string_view name, const std::string& text);

// Per column of `headerNames` (then any columns after them, of the template):
// whether its cells are dates, for TableOptions::dateColumns.
std::vector<bool> dateColumnsOf(const std::vector<std::string>& headerNames, DateStyle style);

// The cell of the header column `name` for the message whose header is
// `block`, decoded to UTF-8; empty when the message lacks the header. A date
// that cannot be read stays as written and sets `*unreadDate`.
std::string headerCell(const HeaderBlock& block, std::string_view name, const HeaderStyle& style,
                       GMimeParserOptions* options, bool* unreadDate);

}  // namespace tabulon
