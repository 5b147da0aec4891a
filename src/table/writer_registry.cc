// makeTableWriter() (table_writer.h): the one place that knows each format's
// writer. The writers implement TableWriter and never include this side.
#include "table/csv_writer.h"
#include "table/jsonl_writer.h"
#include "table/tab_writer.h"
#include "table/table_writer.h"
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

}  // namespace tabulon
