#include "table/xlsx_reader.h"

#include <libxml/xmlreader.h>
#include <unzip.h>
#include <xlsxwriter.h>

#include <charconv>
#include <cstring>

#include "table/date_time_text.h"
#include "table/table_writer.h"
#include "table/utf8_text.h"

namespace tabulon {
namespace {

// Where XlsxWriter's one sheet is in the zip.
constexpr char kSheetEntry[] = "xl/worksheets/sheet1.xml";

// A sheet beyond these is refused before a byte of it is read: more than any
// table this program could sensibly add to, or compressed more than such XML is
// (its rows compress about 10 to 30 times), as a zip bomb is.
constexpr uint64_t kMaxSheetBytes = uint64_t{4} << 30;
constexpr uint64_t kRatioCheckedFrom = uint64_t{64} << 20;
constexpr uint64_t kMaxRatio = 200;
// No row this program writes holds more text: a message is at most 32 MB.
constexpr size_t kMaxRowBytes = size_t{64} << 20;

// The cell's UTF-16 units, as a workbook counts them.
size_t utf16Units(const std::string& text) {
    size_t units = 0;
    for (char c : text)
        units += utf16UnitsFrom(static_cast<unsigned char>(c));
    return units;
}

// A row number (from 1) within a workbook's limits.
bool parseRowNumber(const char* text, uint32_t* row) {
    uint64_t number = 0;
    size_t i = 0;
    for (; text[i] >= '0' && text[i] <= '9' && i < 7; ++i)
        number = number * 10 + static_cast<uint64_t>(text[i] - '0');
    if (text[i] != '\0' || number == 0 || number > LXW_ROW_MAX) return false;
    *row = static_cast<uint32_t>(number);
    return true;
}

// The column (from 1) and row of a cell reference such as "AB12"; false when it
// is not one within a workbook's limits.
bool parseReference(const char* ref, uint32_t* column, uint32_t* row) {
    uint64_t col = 0;
    size_t i = 0;
    for (; ref[i] >= 'A' && ref[i] <= 'Z' && i < 3; ++i)
        col = col * 26 + static_cast<uint64_t>(ref[i] - 'A' + 1);
    if (col == 0 || col > LXW_COL_MAX) return false;
    *column = static_cast<uint32_t>(col);
    return parseRowNumber(ref + i, row);
}

std::string attribute(xmlTextReaderPtr xml, const char* name) {
    xmlChar* value = xmlTextReaderGetAttribute(xml, reinterpret_cast<const xmlChar*>(name));
    std::string text = value != nullptr ? reinterpret_cast<const char*>(value) : "";
    xmlFree(value);
    return text;
}

bool hasAttribute(xmlTextReaderPtr xml, const char* name) {
    xmlChar* value = xmlTextReaderGetAttribute(xml, reinterpret_cast<const xmlChar*>(name));
    xmlFree(value);
    return value != nullptr;
}

bool named(xmlTextReaderPtr xml, const char* name) {
    const xmlChar* local = xmlTextReaderConstLocalName(xml);
    return local != nullptr && std::strcmp(reinterpret_cast<const char*>(local), name) == 0;
}

void keepFirstError(void* context, const char* message, xmlParserSeverities severity,
                    xmlTextReaderLocatorPtr) {
    auto* error = static_cast<std::string*>(context);
    bool serious =
        severity == XML_PARSER_SEVERITY_ERROR || severity == XML_PARSER_SEVERITY_VALIDITY_ERROR;
    if (!error->empty() || message == nullptr || !serious) return;
    *error = message;
    while (!error->empty() && (error->back() == '\n' || error->back() == ' '))
        error->pop_back();
}

}  // namespace

XlsxReader::~XlsxReader() {
    if (xml_ != nullptr) xmlFreeTextReader(xml_);
    if (zip_ != nullptr) {
        unzCloseCurrentFile(zip_);
        unzClose(zip_);
    }
}

Status XlsxReader::refuse(const std::string& why) const {
    return Status::FileError(Status::Code::kCorrupt, path_,
                             "Cannot read the workbook \"" + path_ + "\": " + why);
}

Status XlsxReader::parseError() const {
    if (zipError_ != 0) {
        return refuse("its sheet cannot be decompressed (zip error " + std::to_string(zipError_) +
                      ")");
    }
    std::string what = xmlError_.empty() ? std::string("it ends early") : shownText(xmlError_);
    return refuse("its sheet is not well-formed XML (" + what + ")");
}

int XlsxReader::readZip(void* context, char* buffer, int size) {
    auto* self = static_cast<XlsxReader*>(context);
    int count = unzReadCurrentFile(self->zip_, buffer, static_cast<unsigned>(size));
    if (count < 0) {
        self->zipError_ = count;
        return -1;
    }
    self->readSize_ += static_cast<uint64_t>(count);
    return count;
}

Status XlsxReader::open(const std::string& path) {
    path_ = path;
    zip_ = unzOpen64(path.c_str());
    if (zip_ == nullptr) return refuse("it is not a zip file");
    if (unzLocateFile(zip_, kSheetEntry, 1) != UNZ_OK) return refuse("it holds no sheet");
    unz_file_info64 info;
    if (unzGetCurrentFileInfo64(zip_, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK)
        return refuse("its list of contents cannot be read");
    declaredSize_ = info.uncompressed_size;
    bool absurd =
        declaredSize_ > kMaxSheetBytes ||
        (declaredSize_ > kRatioCheckedFrom && declaredSize_ / kMaxRatio > info.compressed_size);
    if (absurd) {
        return refuse("its sheet would unpack to " + std::to_string(declaredSize_) +
                      " bytes from " + std::to_string(info.compressed_size) +
                      ": too large or too packed to be read safely");
    }
    if ((info.compression_method != 0 && info.compression_method != Z_DEFLATED) ||
        unzOpenCurrentFile(zip_) != UNZ_OK) {
        return refuse("its sheet cannot be unpacked");
    }
    xmlInitParser();
    // No network, no DTD loaded, no entity replaced: a DTD is refused below.
    xml_ = xmlReaderForIO(readZip, nullptr, this, nullptr, nullptr, XML_PARSE_NONET);
    if (xml_ == nullptr) return refuse("its sheet cannot be read");
    xmlTextReaderSetErrorHandler(xml_, keepFirstError, &xmlError_);
    return Status::Ok();
}

Status XlsxReader::next(std::vector<std::string>* cells, bool* end) {
    cells->clear();
    *end = false;
    if (xml_ == nullptr) return refuse("it was not opened");
    if (pendingNumber_ == 0 && !sheetEnded_) {
        Status status = readRow(&pending_, &pendingNumber_, &sheetEnded_);
        if (!status.ok()) return status;
    }
    if (pendingNumber_ == 0) {
        *end = true;
        if (checked_) return Status::Ok();
        checked_ = true;
        return readToEnd();
    }
    // Rows the sheet skips held no cell.
    if (pendingNumber_ == nextRow_) {
        cells->swap(pending_);
        pendingNumber_ = 0;
    }
    ++nextRow_;
    return Status::Ok();
}

// Reads up to the next row of the sheet's data (into `cells`, numbered
// `number`), or to the end of the data (`end`).
Status XlsxReader::readRow(std::vector<std::string>* cells, uint32_t* number, bool* end) {
    cells->clear();
    *number = 0;
    rowBytes_ = 0;
    for (;;) {
        int got = xmlTextReaderRead(xml_);
        if (got != 1) return got == 0 ? refuse("its sheet has no rows") : parseError();
        int type = xmlTextReaderNodeType(xml_);
        if (type == XML_READER_TYPE_DOCUMENT_TYPE || type == XML_READER_TYPE_ENTITY_REFERENCE ||
            type == XML_READER_TYPE_ENTITY) {
            return refuse(
                "its sheet declares a DTD or entities, which a workbook written here "
                "never has");
        }
        bool element = type == XML_READER_TYPE_ELEMENT;
        if (!inData_) {
            if (!element || !named(xml_, "sheetData") || xmlTextReaderDepth(xml_) != 1) continue;
            inData_ = true;
            *end = xmlTextReaderIsEmptyElement(xml_) == 1;
            if (*end) return Status::Ok();
            continue;
        }
        // The rows' own ends are read with them: this one is the data's.
        if (type == XML_READER_TYPE_END_ELEMENT) {
            *end = true;
            return Status::Ok();
        }
        if (!element) continue;
        if (xmlTextReaderDepth(xml_) != 2 || !named(xml_, "row"))
            return refuse("its sheet holds more than rows");
        uint32_t row = 0;
        if (!parseRowNumber(attribute(xml_, "r").c_str(), &row) || row < nextRow_) {
            return refuse("its rows are not numbered in order, within a workbook's rows");
        }
        *number = row;
        if (xmlTextReaderIsEmptyElement(xml_) == 1) return Status::Ok();
        for (;;) {
            got = xmlTextReaderRead(xml_);
            if (got != 1) return parseError();
            type = xmlTextReaderNodeType(xml_);
            if (type == XML_READER_TYPE_END_ELEMENT) return Status::Ok();  // of the row
            if (type != XML_READER_TYPE_ELEMENT) continue;
            if (!named(xml_, "c")) return refuse("a row of its sheet holds more than cells");
            Status status = readCell(cells, row);
            if (!status.ok()) return status;
        }
    }
}

// Reads the cell the reader is at into its column of `cells`: the text of an
// inline string, the only cell XlsxWriter writes.
Status XlsxReader::readCell(std::vector<std::string>* cells, uint32_t row) {
    uint32_t column = 0, cellRow = 0;
    if (!parseReference(attribute(xml_, "r").c_str(), &column, &cellRow) || cellRow != row ||
        column <= cells->size()) {
        return refuse("its cells are not in order in row " + std::to_string(row));
    }
    std::string type = attribute(xml_, "t");
    bool number = type.empty() || type == "n";  // a date-time cell of a date column
    if ((type != "inlineStr" && !number) || hasAttribute(xml_, "cm")) {
        return refuse("row " + std::to_string(row) +
                      " holds a formula or shared text, which a workbook written here "
                      "never has");
    }
    cells->resize(column);
    std::string& text = cells->back();
    if (number) return readDate(row, &text);
    if (xmlTextReaderIsEmptyElement(xml_) == 1) return Status::Ok();
    int depth = xmlTextReaderDepth(xml_);
    for (;;) {
        if (xmlTextReaderRead(xml_) != 1) return parseError();
        int type = xmlTextReaderNodeType(xml_);
        if (type == XML_READER_TYPE_END_ELEMENT && xmlTextReaderDepth(xml_) == depth) break;
        if (type == XML_READER_TYPE_ELEMENT && !named(xml_, "is") && !named(xml_, "t")) {
            return refuse("row " + std::to_string(row) +
                          " holds a formula or formatted text, which a workbook written here "
                          "never has");
        }
        bool textNode = type == XML_READER_TYPE_TEXT || type == XML_READER_TYPE_CDATA ||
                        type == XML_READER_TYPE_WHITESPACE ||
                        type == XML_READER_TYPE_SIGNIFICANT_WHITESPACE;
        if (textNode) {
            const xmlChar* value = xmlTextReaderConstValue(xml_);
            if (value != nullptr) text += reinterpret_cast<const char*>(value);
            // Each UTF-16 unit takes at most three bytes.
            if (text.size() > 3 * kWorkbookCellLimit) break;
        } else if (type == XML_READER_TYPE_ENTITY_REFERENCE) {
            return refuse("its sheet uses an entity, which a workbook written here never does");
        }
    }
    if (utf16Units(text) > kWorkbookCellLimit) {
        return refuse("a cell of row " + std::to_string(row) + " is longer than a workbook holds");
    }
    rowBytes_ += text.size();
    if (rowBytes_ > kMaxRowBytes) {
        return refuse("row " + std::to_string(row) + " holds more text than a message can give");
    }
    return Status::Ok();
}

Status XlsxReader::readDate(uint32_t row, std::string* text) {
    auto notDate = [&] {
        return refuse("row " + std::to_string(row) +
                      " holds a number that is no date, which a workbook written here never has");
    };
    if (xmlTextReaderIsEmptyElement(xml_) == 1) return notDate();
    int depth = xmlTextReaderDepth(xml_);
    std::string number;
    for (;;) {
        if (xmlTextReaderRead(xml_) != 1) return parseError();
        int type = xmlTextReaderNodeType(xml_);
        if (type == XML_READER_TYPE_END_ELEMENT && xmlTextReaderDepth(xml_) == depth) break;
        if (type == XML_READER_TYPE_ELEMENT && !named(xml_, "v")) return notDate();
        if (type == XML_READER_TYPE_ENTITY_REFERENCE) {
            return refuse("its sheet uses an entity, which a workbook written here never does");
        }
        const xmlChar* value =
            type == XML_READER_TYPE_TEXT ? xmlTextReaderConstValue(xml_) : nullptr;
        if (value != nullptr) number += reinterpret_cast<const char*>(value);
        if (number.size() > 64) return notDate();
    }
    // Not strtod: the app's locale may write numbers with a decimal comma.
    double serial = 0;
    const char* last = number.data() + number.size();
    DateTimeFields fields;
    if (std::from_chars(number.data(), last, serial).ptr != last ||
        !fieldsOfWorkbookSerial(serial, &fields))
        return notDate();
    *text = dateTimeText(fields);
    rowBytes_ += text->size();
    return Status::Ok();
}

// Reads the rest of the sheet, so that its size and checksum are checked.
Status XlsxReader::readToEnd() {
    int got;
    while ((got = xmlTextReaderRead(xml_)) == 1) {
        int type = xmlTextReaderNodeType(xml_);
        if (type == XML_READER_TYPE_ENTITY_REFERENCE || type == XML_READER_TYPE_DOCUMENT_TYPE)
            return refuse("its sheet uses an entity, which a workbook written here never does");
    }
    if (got < 0) return parseError();
    char rest[4096];
    int count;
    while ((count = readZip(this, rest, sizeof rest)) > 0) {
    }
    if (count < 0) return parseError();
    if (readSize_ != declaredSize_ || unzCloseCurrentFile(zip_) != UNZ_OK) {
        return refuse("its sheet is not the size or checksum its zip says");
    }
    return Status::Ok();
}

}  // namespace tabulon
