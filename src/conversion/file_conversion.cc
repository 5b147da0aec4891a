#include "conversion/file_conversion.h"

#include <memory>

#include "platform/atomic_file.h"
#include "platform/file_info.h"

namespace tabulon {

const char kStopped[] = "The conversion was stopped.";

namespace {

// Reads through to the input until told to stop.
class StoppableSource : public ByteSource {
  public:
    StoppableSource(ByteSource& input, const std::atomic<bool>& stop)
        : input_(input), stop_(stop) {}
    Status read(char* buffer, size_t capacity, size_t* count) override {
        if (stop_.load(std::memory_order_relaxed)) return Status::Error(kStopped);
        return input_.read(buffer, capacity, count);
    }
    uint64_t size() const override { return input_.size(); }

  private:
    ByteSource& input_;
    const std::atomic<bool>& stop_;
};

}  // namespace

Status convertToFile(FileSource& input, const std::string& inputName, const std::string& outputPath,
                     const FieldList& fields, const ProgressFn& progress,
                     const std::atomic<bool>* stop) {
    if (isSameFile(outputPath, input.descriptor())) {
        return Status::Error("Cannot write \"" + outputPath + "\": it is the input file \"" +
                             inputName + "\"; choose another name for the output");
    }
    AtomicFile output;
    // The output can always be made again from its input, so it is not flushed
    // to disk before it replaces the old one.
    Status status = output.open(outputPath, AtomicFile::Durability::kNoFlush);
    if (!status.ok()) return status;
    if (stop) {
        StoppableSource stoppable(input, *stop);
        status = convert(stoppable, fields, output, progress);
    } else {
        status = convert(input, fields, output, progress);
    }
    if (!status.ok()) return status;  // the temporary file goes with `output`
    return output.commit();
}

Status convertFile(const std::string& inputPath, const std::string& outputPath,
                   const FieldList& fields, const ProgressFn& progress) {
    std::unique_ptr<FileSource> input;
    Status status = FileSource::open(inputPath, &input);
    if (!status.ok()) return status;
    return convertToFile(*input, inputPath, outputPath, fields, progress);
}

}  // namespace tabulon
