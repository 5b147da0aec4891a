#include "table/xlsx_writer.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>

#include "platform/file_source.h"
#include "platform/temporary_files.h"
#include "table/date_time_text.h"
#include "table/utf8_text.h"
#include "table/workbook_progress.h"

namespace tabulon {
namespace {

constexpr double kMaxColumnWidth = 80;  // in characters of the default font
// A row's own XML, about: <row r="12" spans="1:4"> and </row>.
constexpr uint64_t kRowBytes = 32;

Status workbookError(const std::string& what, lxw_error error) {
    return Status::IoError(what + ": " + lxw_strerror(error));
}

// Makes `text` (as appendCellText leaves it) fit for a cell: line ends become LF,
// U+FFFE and U+FFFF, which XML cannot carry, U+FFFD, and the text is cut at the
// last whole character within the workbook's limit, which counts UTF-16 units (a
// character beyond U+FFFF takes two). False when the text was cut.
bool fitForCell(std::string_view text, std::string* out) {
    out->clear();
    size_t units = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        auto c = static_cast<unsigned char>(text[i]);
        units += utf16UnitsFrom(c);
        if (units > kWorkbookCellLimit) return false;
        if (c == '\r') {
            *out += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else if (c == 0xEF && i + 2 < text.size() && text[i + 1] == '\xBF' &&
                   (text[i + 2] == '\xBE' || text[i + 2] == '\xBF')) {
            *out += kReplacementCharacter;
            i += 2;
        } else {
            *out += static_cast<char>(c);
        }
    }
    return true;
}

std::string temporaryFolder() {
    const char* dir = ::getenv("TMPDIR");
    return dir != nullptr && *dir != '\0' ? dir : "/tmp";
}

}  // namespace

bool workbookCell(std::string_view value, std::string* cell) {
    std::string valid;
    appendCellText(value, &valid);
    return fitForCell(valid, cell);
}

XlsxWriter::~XlsxWriter() {
    if (workbook_ != nullptr) lxw_workbook_free(workbook_);
    removeTempFile();
}

Status XlsxWriter::createTempFile() {
    tempDir_ = temporaryFolder();
    std::string pattern = tempDir_ + "/tabulon-XXXXXX.xlsx";
    // Held until the name is gone or remembered for removal, so that no signal
    // leaves it behind.
    TerminationSignalsHeld held;
    int fd = ::mkstemps(pattern.data(), 5);
    if (fd < 0) return errnoStatus("create a temporary file in", tempDir_, errno);
    std::string byDescriptor = "/proc/self/fd/" + std::to_string(fd);
    if (::access(byDescriptor.c_str(), F_OK) == 0) {
        ::unlink(pattern.c_str());
        tempFd_ = fd;
        tempPath_ = byDescriptor;
    } else {
        ::close(fd);
        tempPath_ = pattern;
        registerTemporary(tempPath_.c_str());
    }
    return Status::Ok();
}

void XlsxWriter::removeTempFile() {
    if (tempFd_ >= 0) {
        ::close(tempFd_);
        tempFd_ = -1;
    } else if (!tempPath_.empty()) {
        TerminationSignalsHeld held;
        ::unlink(tempPath_.c_str());
        unregisterTemporary(tempPath_.c_str());
    }
    tempPath_.clear();
}

Status XlsxWriter::begin(const std::vector<std::string>& names) {
    Status created = createTempFile();
    if (!created.ok()) return created;

    lxw_workbook_options options = {};
    options.constant_memory = LXW_TRUE;
    options.tmpdir = tempDir_.data();
    options.use_zip64 = LXW_TRUE;
    // The sheet's rows go to a temporary file created here: errno says why
    // that failed.
    errno = 0;
    workbook_ = workbook_new_opt(tempPath_.c_str(), &options);
    if (workbook_ != nullptr) sheet_ = workbook_add_worksheet(workbook_, nullptr);
    if (sheet_ == nullptr) {
        int err = errno;
        if (workbook_ != nullptr) lxw_workbook_free(workbook_);
        workbook_ = nullptr;
        return err != 0 ? errnoStatus("start a workbook in", tempDir_, err)
                        : Status::IoError("Cannot start a workbook in \"" + tempDir_ + "\"");
    }

    // "@": the Text number format, so a cell edited later stays text too.
    textFormat_ = workbook_add_format(workbook_);
    format_set_num_format(textFormat_, "@");
    wrapFormat_ = workbook_add_format(workbook_);
    format_set_num_format(wrapFormat_, "@");
    format_set_text_wrap(wrapFormat_);
    format_set_align(wrapFormat_, LXW_ALIGN_VERTICAL_TOP);
    // Shown as the text tables write dates, so both read alike.
    dateFormat_ = workbook_add_format(workbook_);
    format_set_num_format(dateFormat_, "yyyy-mm-dd hh:mm:ss");
    headerFormat_ = workbook_add_format(workbook_);
    format_set_num_format(headerFormat_, "@");
    format_set_bold(headerFormat_);

    worksheet_freeze_panes(sheet_, 1, 0);
    std::vector<std::string> titles;
    for (const std::string& name : names)
        titles.push_back(columnTitle(name));
    return writeRow(titles, headerFormat_);
}

Status XlsxWriter::row(const std::vector<std::string>& cells) {
    return writeRow(cells, nullptr);
}

Status XlsxWriter::writeRow(const std::vector<std::string>& cells, lxw_format* format) {
    if (workbook_ == nullptr)
        return Status::InvalidArgument("Cannot write the workbook: it was not started");
    if (nextRow_ >= LXW_ROW_MAX) {
        return Status::InvalidArgument(
            "Cannot write the workbook: the table has more rows than a workbook holds (" +
            std::to_string(LXW_ROW_MAX) + "); choose csv for a table this long");
    }
    if (cells.size() > LXW_COL_MAX) {
        return Status::InvalidArgument(
            "Cannot write the workbook: row " + std::to_string(nextRow_ + 1) + " has " +
            std::to_string(cells.size()) + " cells, more than a workbook holds (" +
            std::to_string(LXW_COL_MAX) + "); choose csv for this table");
    }
    if (widths_.size() < cells.size()) widths_.resize(cells.size(), 0);
    bool written = false;
    for (size_t col = 0; col < cells.size(); ++col) {
        if (cells[col].empty()) continue;
        written = true;
        if (!workbookCell(cells[col], &cell_) && options_.onCellCut) options_.onCellCut(col);
        lxw_format* cellFormat = format;
        if (cellFormat == nullptr) {
            cellFormat = cell_.find('\n') == std::string::npos ? textFormat_ : wrapFormat_;
        }
        lxw_error error = LXW_NO_ERROR;
        bool date = format == nullptr && writeDate(col, &error);
        if (!date) {
            error = worksheet_write_string(sheet_, nextRow_, static_cast<lxw_col_t>(col),
                                           cell_.c_str(), cellFormat);
        }
        if (error != LXW_NO_ERROR)
            return workbookError("Cannot write a cell of the workbook", error);
        widths_[col] = std::max(widths_[col], displayWidth(cell_));
        ++written_.cells;
        if (!date) written_.textBytes += cell_.size();  // a date cell holds a number
        // About what libxlsxwriter makes of it, for the estimate of the workbook's size.
        constexpr std::string_view kCellOpen = "<c r=\"A1\" s=\"1\" t=\"inlineStr\"><is><t>";
        constexpr std::string_view kCellClose = "</t></is></c>";
        sheetBytes_ += kCellOpen.size() + cell_.size() + kCellClose.size();
        if (sample_.size() < kWorkbookSampleBytes)
            sample_.append(kCellOpen).append(cell_).append(kCellClose);
    }
    // A row of no cell is kept as an empty row, so that the sheet says how many
    // rows it has even when the last ones are empty.
    if (!written) {
        lxw_error error = worksheet_set_row(sheet_, nextRow_, LXW_DEF_ROW_HEIGHT, nullptr);
        if (error != LXW_NO_ERROR)
            return workbookError("Cannot write a row of the workbook", error);
    }
    sheetBytes_ += kRowBytes;
    ++nextRow_;
    return nextRow_ % 1024 == 0 ? checkRowFolder() : Status::Ok();
}

bool XlsxWriter::writeDate(size_t col, lxw_error* error) {
    DateTimeFields fields;
    if (col >= options_.dateColumns.size() || !options_.dateColumns[col] ||
        !readDateTimeText(cell_, &fields))
        return false;
    lxw_datetime when = {fields.year, fields.month,  fields.day,
                         fields.hour, fields.minute, static_cast<double>(fields.second)};
    *error =
        worksheet_write_datetime(sheet_, nextRow_, static_cast<lxw_col_t>(col), &when, dateFormat_);
    return true;
}

// libxlsxwriter does not check its writes of the rows to its temporary file
// (constant-memory mode): a folder with no room left stops the workbook here,
// before more rows are lost; checkSheet() then finds any row that was.
Status XlsxWriter::checkRowFolder() {
    struct statvfs room = {};
    if (::statvfs(tempDir_.c_str(), &room) != 0 || room.f_bavail > 0) return Status::Ok();
    return errnoStatus("build the workbook in", tempDir_, ENOSPC);
}

Status XlsxWriter::checkSheet() {
    SheetCount found;
    Status status = countSheet(tempPath_, &found);
    if (status.ok() && found == written_) return Status::Ok();
    std::string why = status.ok() ? "rows were lost on their way into it" : status.message();
    // The likely causes, as the failed writes would have named them.
    struct statvfs room = {};
    struct rlimit limit = {};
    if (::statvfs(tempDir_.c_str(), &room) == 0 && room.f_bavail == 0) {
        why = std::strerror(ENOSPC);
    } else if (::getrlimit(RLIMIT_FSIZE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY &&
               sheetBytes_ >= limit.rlim_cur) {
        why = std::strerror(EFBIG);
    }
    return Status::IoError("Cannot build the workbook in \"" + tempDir_ + "\": " + why);
}

Status XlsxWriter::finish() {
    if (workbook_ == nullptr)
        return Status::InvalidArgument("Cannot write the workbook: it was not started");
    Status status = checkRowFolder();
    if (!status.ok()) return status;
    for (size_t col = 0; col < widths_.size(); ++col) {
        if (widths_[col] == 0) continue;
        // Bold header text and the cell's margins need a little more than the
        // characters themselves.
        double width = std::min(kMaxColumnWidth, static_cast<double>(widths_[col]) * 1.1 + 2);
        auto c = static_cast<lxw_col_t>(col);
        worksheet_set_column(sheet_, c, c, width, nullptr);
    }
    // Compressing the rows into the workbook can take longer than writing them.
    uint64_t total = 0;
    std::optional<WorkbookProgress> progress;
    if (options_.onFinishing) {
        total = estimatedWorkbookSize(sample_, sheetBytes_);
        options_.onFinishing(0, total);
        progress.emplace(tempPath_, total, options_.onFinishing);
    }
    errno = 0;
    lxw_error error = workbook_close(workbook_);
    int err = errno;
    workbook_ = nullptr;
    progress.reset();
    if (error != LXW_NO_ERROR) {
        removeTempFile();
        // The failed write's own cause ("No space left on device") says more
        // than the library's ("Error adding file to zip").
        return err != 0 ? errnoStatus("build the workbook in", tempDir_, err)
                        : workbookError("Cannot build the workbook in \"" + tempDir_ + "\"", error);
    }
    status = checkSheet();
    if (status.ok()) status = copyToSink();
    removeTempFile();
    if (status.ok() && options_.onFinishing) options_.onFinishing(total, total);
    return status;
}

Status XlsxWriter::copyToSink() {
    std::unique_ptr<FileSource> file;
    Status status = FileSource::open(tempPath_, &file);
    if (!status.ok()) return status;
    constexpr size_t kBlock = 256 * 1024;
    std::unique_ptr<char[]> block(new char[kBlock]);
    for (;;) {
        size_t count = 0;
        status = file->read(block.get(), kBlock, &count);
        if (!status.ok() || count == 0) return status;
        status = sink_.write(block.get(), count);
        if (!status.ok()) return status;
    }
}

}  // namespace tabulon
