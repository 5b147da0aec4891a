#include "output/table_output.h"

#include "output/output_write.h"
#include "platform/file_info.h"

namespace tabulon {
namespace {

// Passes everything on to `writer`, naming the output in failures that do not.
class OutputNamingWriter : public TableWriter {
  public:
    OutputNamingWriter(TableWriter& writer, const OutputTarget& target)
        : writer_(writer), target_(target) {}
    Status begin(const std::vector<std::string>& names) override {
        return named(writer_.begin(names));
    }
    Status row(const std::vector<std::string>& cells) override { return named(writer_.row(cells)); }
    Status finish() override { return named(writer_.finish()); }

  private:
    Status named(Status status) const {
        if (status.ok() || status.isBrokenPipe() || target_.isStandardOutput() ||
            status.file() == target_.path()) {
            return status;
        }
        return Status::FileError(status.code(), target_.path(),
                                 "Cannot write \"" + target_.path() + "\": " + status.message());
    }

    TableWriter& writer_;
    const OutputTarget& target_;
};

}  // namespace

Status writeTable(const OutputTarget& target, TableFormat format, const TableOptions& options,
                  const std::function<Status(TableWriter& writer)>& fill,
                  const CommitSteps* steps) {
    if (target.isStandardOutput() && formatInfo(format).binary && standardOutputIsTerminal()) {
        return Status::InvalidArgument(
            "Cannot write standard output: it is a terminal, which cannot show " +
            std::string(formatName(format)) + " data; send it to a file or a pipe");
    }
    return writeOutput(
        target,
        [&](ByteSink& sink) {
            std::unique_ptr<TableWriter> writer = makeTableWriter(format, sink, options);
            OutputNamingWriter named(*writer, target);
            Status status = fill(named);
            if (status.ok()) status = finishTable(named, options);
            return status;  // a workbook's temporary file goes with `writer`, before the commit
        },
        steps);
}

}  // namespace tabulon
