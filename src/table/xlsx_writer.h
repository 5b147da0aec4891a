// The xlsx format: an Excel workbook of one sheet written by libxlsxwriter in its
// constant-memory mode. The header row is bold and frozen, every value is a text
// cell (nothing is read as a number, date or formula), columns are as wide as
// their content, multi-line values wrap in their cell.
//
// libxlsxwriter writes a file, not a stream: the workbook is built in a
// temporary file in $TMPDIR (else /tmp) and copied into the sink by finish().
// The temporary file is removed on every path, also when finish() is never
// reached.
#pragma once

#include <xlsxwriter.h>

#include "table/table_writer.h"

namespace tabulon {

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
    // Whether the rows so far reached the temporary file.
    Status checkRowFile();
    Status copyToSink();
    void removeTempFile();

    ByteSink& sink_;
    TableOptions options_;
    std::string tempDir_;
    std::string tempPath_;
    lxw_workbook* workbook_ = nullptr;
    lxw_worksheet* sheet_ = nullptr;
    lxw_format* headerFormat_ = nullptr;
    lxw_format* textFormat_ = nullptr;
    lxw_format* wrapFormat_ = nullptr;
    uint32_t nextRow_ = 0;
    std::vector<size_t> widths_;  // widest content of each column so far
    std::string cell_;            // the cell being written, made fit for a workbook
};

}  // namespace tabulon
