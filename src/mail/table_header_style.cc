#include "mail/table_header_style.h"

#include <optional>

#include "output/table_rows.h"
#include "table/date_time_text.h"

namespace tabulon {

HeaderStyle tableHeaderStyle(const std::string& path, TableFormat format,
                             const std::vector<std::string>& headerNames, HeaderStyle wanted) {
    std::vector<size_t> dateColumns, addressColumns;
    for (size_t i = 0; i < headerNames.size(); ++i) {
        if (isDateColumn(headerNames[i])) dateColumns.push_back(i);
        if (isAddressColumn(headerNames[i])) addressColumns.push_back(i);
    }
    if (dateColumns.empty() && addressColumns.empty()) return wanted;
    std::optional<DateStyle> dates;
    bool addressesAsWritten = false;
    DateTimeFields fields;
    for (const std::vector<std::string>& row : firstTableRows(path, format, headerNames)) {
        for (size_t column : dateColumns) {
            if (dates || column >= row.size() || row[column].empty()) continue;
            if (readDateTimeText(row[column], &fields)) {
                dates = DateStyle::kLocal;
            } else if (isMailDate(headerNames[column], row[column])) {
                dates = DateStyle::kAsWritten;
            }
        }
        // "Tim Chapman" <timc@example.org>: shown as read, it has no quotes.
        for (size_t column : addressColumns) {
            if (column < row.size() && row[column].starts_with('"') &&
                row[column].find("\" <") != std::string::npos)
                addressesAsWritten = true;
        }
    }
    return {dates.value_or(wanted.dates), addressesAsWritten || wanted.addressesAsWritten};
}

}  // namespace tabulon
