#include "output/table_writers.h"

#include "table/csv_writer.h"
#include "table/jsonl_writer.h"
#include "table/tab_writer.h"
#include "table/tsv_writer.h"
#include "table/xlsx_writer.h"

namespace tabulon {

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
