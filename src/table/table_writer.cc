#include "table/table_writer.h"

#include "platform/text.h"

namespace tabulon {

std::string columnTitle(std::string_view name) {
    std::string_view title = trimEndBlanks(name);
    if (!title.empty() && title.back() == ':') {
        title = trimEndBlanks(title.substr(0, title.size() - 1));
    }
    return std::string(title);
}

Status finishTable(TableWriter& writer, const TableOptions& options) {
    Status status = writer.finish();
    if (status.ok() && options.beforeCommit) status = options.beforeCommit();
    return status;
}

}  // namespace tabulon
