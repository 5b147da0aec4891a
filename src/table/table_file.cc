#include "table/table_file.h"

#include "platform/atomic_file.h"
#include "platform/file_info.h"
#include "table/line_table.h"

namespace tabulon {
namespace {

// Passes everything on to `writer`; a failure that does not name the output
// (a workbook's temporary folder filling up) is told as a failure to write it.
class OutputNamingWriter : public TableWriter {
  public:
    OutputNamingWriter(TableWriter& writer, const std::string& path)
        : writer_(writer), path_(path) {}
    Status begin(const std::vector<std::string>& names) override {
        return named(writer_.begin(names));
    }
    Status row(const std::vector<std::string>& cells) override { return named(writer_.row(cells)); }
    Status finish() override { return named(writer_.finish()); }

  private:
    Status named(Status status) const {
        if (status.ok() || status.message().find("\"" + path_ + "\"") != std::string::npos) {
            return status;
        }
        return Status::Error("Cannot write \"" + path_ + "\": " + status.message());
    }

    TableWriter& writer_;
    const std::string& path_;
};

}  // namespace

Status convertToTableFile(FileSource& input, const std::string& inputName,
                          const std::string& outputPath, const FieldList& fields,
                          TableFormat format, const TableOptions& options,
                          const ProgressFn& progress) {
    if (isSameFile(outputPath, input.descriptor())) {
        return Status::Error("Cannot write \"" + outputPath + "\": it is the input file \"" +
                             inputName + "\"; choose another name for the output");
    }
    AtomicFile output;
    // Made again from its input at any time: not flushed before it replaces the
    // old file.
    Status status = output.open(outputPath, AtomicFile::Durability::kNoFlush);
    if (!status.ok()) return status;
    std::unique_ptr<TableWriter> writer = makeTableWriter(format, output, options);
    OutputNamingWriter named(*writer, outputPath);
    status = convertToTable(input, fields, named, progress);
    writer.reset();                   // a workbook's temporary file goes now
    if (!status.ok()) return status;  // and the unfinished output with `output`
    return output.commit();
}

}  // namespace tabulon
