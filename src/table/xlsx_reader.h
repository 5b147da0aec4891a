// Reads back, row by row, the cells of a workbook XlsxWriter wrote, as they were
// given to it: the sheet streamed out of the zip (minizip) through libxml2's reader.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/status.h"

struct _xmlTextReader;

namespace tabulon {

class XlsxReader {
  public:
    XlsxReader() = default;
    ~XlsxReader();
    XlsxReader(const XlsxReader&) = delete;
    XlsxReader& operator=(const XlsxReader&) = delete;

    // Opens the sheet of the workbook at `path`. Anything XlsxWriter does not
    // write (another zip, no sheet, a sheet of absurd size or compression, a DTD
    // or an entity, a formula cell, a number cell that is no date-time, a cell or row beyond a
    // workbook's limits) is refused by open() or next() with a message naming the file.
    Status open(const std::string& path);

    // The next row's cells, the header row first (a date-time cell as
    // dateTimeText() writes it); a row with no cell (skipped
    // by the sheet or kept as an empty row) comes as no cells. `*end` is set
    // after the last row, once the whole sheet was checked against its size and
    // checksum.
    Status next(std::vector<std::string>* cells, bool* end);

  private:
    Status readRow(std::vector<std::string>* cells, uint32_t* number, bool* end);
    Status readCell(std::vector<std::string>* cells, uint32_t row);
    Status readDate(uint32_t row, std::string* text);
    Status readToEnd();
    Status refuse(const std::string& why) const;
    Status parseError() const;
    static int readZip(void* context, char* buffer, int size);

    std::string path_;
    void* zip_ = nullptr;  // unzFile
    _xmlTextReader* xml_ = nullptr;
    uint64_t declaredSize_ = 0;   // of the sheet, as the zip says
    uint64_t readSize_ = 0;       // of the sheet, read so far
    int zipError_ = 0;            // minizip's, when reading the sheet failed
    std::string xmlError_;        // libxml2's first complaint
    uint32_t nextRow_ = 1;        // the row next() gives next
    uint32_t pendingNumber_ = 0;  // the row read ahead, 0 when none
    std::vector<std::string> pending_;
    size_t rowBytes_ = 0;  // of the row being read
    bool inData_ = false;  // within the sheet's rows
    bool sheetEnded_ = false;
    bool checked_ = false;  // the whole sheet, against its size and checksum
};

}  // namespace tabulon
