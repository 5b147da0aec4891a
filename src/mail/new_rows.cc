#include "mail/new_rows.h"

#include "mail/message_identity.h"
#include "mail/table_header_style.h"

namespace tabulon {

Status MessageRowsWriter::row(const std::vector<std::string>& cells) {
    if (!sink_.keepsRecord()) return sink_.row(cells);
    const std::string& identity = rows_.lastIdentity();
    bool added = true;
    Status status = sink_.keyedRow(cells, identity, olderIdentity(identity), &added);
    if (!added) rows_.countHeld();
    return status;
}

bool tableHolds(const SeenMessages* seen, const MessageRows& rows) {
    const std::string& identity = rows.lastIdentity();
    return seen != nullptr && seen->has(identity, olderIdentity(identity));
}

void followTableStyle(TableRequest& request, MessageRows& rows) {
    if (!request.addsToTable()) return;
    const std::vector<std::string>& headers = rows.options().headers;
    HeaderStyle style = tableHeaderStyle(request.target.path(), request.format, headers,
                                         rows.options().headerStyle);
    rows.useHeaderStyle(style);
    request.options.dateColumns = dateColumnsOf(headers, style.dates);
}

}  // namespace tabulon
