#include "conversion/file_conversion.h"

#include "output/output_write.h"

namespace tabulon {
namespace {

// Reads through to the input until told to stop.
class StoppableSource : public ByteSource {
  public:
    StoppableSource(ByteSource& input, const std::atomic<bool>& stop)
        : input_(input), stop_(stop) {}
    Status read(char* buffer, size_t capacity, size_t* count) override {
        if (stop_.load(std::memory_order_relaxed)) return Status::Stopped();
        return input_.read(buffer, capacity, count);
    }
    uint64_t size() const override { return input_.size(); }

  private:
    ByteSource& input_;
    const std::atomic<bool>& stop_;
};

}  // namespace

Status convertToFile(FileSource& input, const std::string& inputName, const OutputTarget& output,
                     const FieldList& fields, const ProgressFn& progress,
                     const std::atomic<bool>* stop) {
    Status status = output.refuseInput(input.descriptor(), inputName);
    if (!status.ok()) return status;
    return writeOutput(output, [&](ByteSink& sink) {
        if (!stop) return convert(input, fields, sink, progress);
        StoppableSource stoppable(input, *stop);
        return convert(stoppable, fields, sink, progress);
    });
}

}  // namespace tabulon
