// The xlsx format: an Excel workbook of one sheet written by libxlsxwriter in its
// constant-memory mode. The header row is bold and frozen, every value is a text
// cell (nothing is read as a number, date or formula) but the dates of a date
// column (TableOptions::dateColumns), columns are as wide as their content,
// multi-line values wrap in their cell.
//
// libxlsxwriter writes a file, not a stream: the workbook is built in a
// temporary file in $TMPDIR (else /tmp) and copied into the sink by finish().
// That file has no name once created (libxlsxwriter opens it by its
// /proc/self/fd name), so nothing of it outlives the process, however it ends;
// where /proc is missing it keeps its name and is removed on every path, on
// SIGINT, SIGTERM and SIGHUP too (temporary_files.h).
#pragma once

#include <xlsxwriter.h>

#include "table/table_writer.h"
#include "table/workbook_check.h"

namespace tabulon {

// What a workbook cell holds of `value`: appendCellText's text with line ends as
// LF, U+FFFE and U+FFFF as U+FFFD, cut to kWorkbookCellLimit (false when cut).
bool workbookCell(std::string_view value, std::string* cell);

class XlsxWriter : public TableWriter {
  public:
    explicit XlsxWriter(ByteSink& sink, const TableOptions& options = {})
        : sink_(sink), options_(options) {}
    ~XlsxWriter() override;
    XlsxWriter(const XlsxWriter&) = delete;
    XlsxWriter& operator=(const XlsxWriter&) = delete;

    Status begin(const std::vector<std::string>& names) override;
    Status row(const std::vector<std::string>& cells) override;
    Status finish() override;

  private:
    Status writeRow(const std::vector<std::string>& cells, lxw_format* format);
    // Whether the folder of the rows' temporary file has room left.
    Status checkRowFolder();
    // Whether every cell written is in the finished workbook.
    Status checkSheet();
    // Writes cell_ into column `col` of the current row as a date-time cell when
    // it is a date of a date column; false when it is no such date.
    bool writeDate(size_t col, lxw_error* error);
    // Whether the rows so far reached the temporary file.
    Status checkRowFile();
    Status copyToSink();
    Status createTempFile();
    void removeTempFile();

    ByteSink& sink_;
    TableOptions options_;
    std::string tempDir_;
    std::string tempPath_;  // the name libxlsxwriter writes to
    int tempFd_ = -1;       // the unnamed file's descriptor, when it has no name
    lxw_workbook* workbook_ = nullptr;
    lxw_worksheet* sheet_ = nullptr;
    lxw_format* headerFormat_ = nullptr;
    lxw_format* textFormat_ = nullptr;
    lxw_format* wrapFormat_ = nullptr;
    lxw_format* dateFormat_ = nullptr;
    uint32_t nextRow_ = 0;
    std::vector<size_t> widths_;  // widest content of each column so far
    std::string cell_;            // the cell being written, made fit for a workbook
    SheetCount written_;          // the cells handed to libxlsxwriter
    uint64_t sheetBytes_ = 0;     // about how long the sheet's XML is
    std::string sample_;          // its beginning, about, for the estimate of its size
};

}  // namespace tabulon
