#include "output/table_sink.h"

#include "output/table_append.h"
#include "output/table_output.h"

namespace tabulon {
namespace {

// Passes rows on to the format's writer; with a record, only the rows of keys
// it lacks, which it then holds (a key given twice becomes one row).
class KeptRowsSink : public TableSink {
  public:
    KeptRowsSink(TableWriter& writer, SeenMessages* record) : writer_(writer), record_(record) {}
    Status begin(const std::vector<std::string>& names) override { return writer_.begin(names); }
    Status row(const std::vector<std::string>& cells) override { return writer_.row(cells); }
    Status finish() override { return writer_.finish(); }
    bool keepsRecord() const override { return record_ != nullptr; }
    Status keyedRow(const std::vector<std::string>& cells, std::string_view key,
                    std::string_view olderKey, bool* added) override {
        *added = record_ == nullptr || !record_->has(key, olderKey);
        if (!*added) return Status::Ok();
        if (record_ != nullptr) record_->add(std::string(key));
        return writer_.row(cells);
    }

  private:
    TableWriter& writer_;
    SeenMessages* record_;
};

}  // namespace

Status writeRows(const TableRequest& request, const std::function<Status(TableSink& sink)>& fill) {
    auto fillSink = [&](TableWriter& writer) {
        KeptRowsSink sink(writer, request.newOnly);
        return fill(sink);
    };
    if (request.newOnly == nullptr)
        return writeTable(request.target, request.format, request.options, fillSink);
    const CommitSteps& steps = request.newOnly->commitSteps();
    if (!request.addsToTable()) {
        return writeTable(request.target, request.format, request.options, fillSink, &steps);
    }
    return appendTable(request.target.path(), request.format, request.options, request.columns,
                       fillSink, &steps);
}

}  // namespace tabulon
