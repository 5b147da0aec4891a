#include "table/table_writer.h"

#include "platform/text.h"
#include "table/csv_writer.h"
#include "table/jsonl_writer.h"
#include "table/tab_writer.h"
#include "table/tsv_writer.h"
#include "table/xlsx_writer.h"

namespace tabulon {

std::string columnTitle(std::string_view name) {
    std::string_view title = trimEndBlanks(name);
    if (!title.empty() && title.back() == ':') {
        title = trimEndBlanks(title.substr(0, title.size() - 1));
    }
    return std::string(title);
}

std::unique_ptr<TableWriter> makeTableWriter(TableFormat format, ByteSink& sink,
                                             const TableOptions& options) {
    switch (format) {
        case TableFormat::kTab:
            return std::make_unique<TabWriter>(sink);
        case TableFormat::kTsv:
            return std::make_unique<TsvWriter>(sink);
        case TableFormat::kCsv:
            return std::make_unique<CsvWriter>(sink, options);
        case TableFormat::kXlsx:
            return std::make_unique<XlsxWriter>(sink, options);
        case TableFormat::kJsonl:
            return std::make_unique<JsonlWriter>(sink);
    }
    return nullptr;
}

Status finishTable(TableWriter& writer, const TableOptions& options) {
    Status status = writer.finish();
    if (status.ok() && options.beforeCommit) status = options.beforeCommit();
    return status;
}

}  // namespace tabulon
