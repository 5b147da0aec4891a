#include "conversion/background_conversion.h"

#include "conversion/file_conversion.h"

namespace tabulon {

BackgroundConversion::BackgroundConversion(std::unique_ptr<FileSource> input, std::string inputName,
                                           std::string outputPath, FieldList fields)
    : input_(std::move(input)),
      inputName_(std::move(inputName)),
      outputPath_(std::move(outputPath)),
      fields_(std::move(fields)),
      totalBytes_(input_->size()) {}

BackgroundConversion::~BackgroundConversion() {
    // The outcome stays in status_ for no one: the thread is only let finish.
    if (thread_.joinable()) thread_.join();
}

void BackgroundConversion::start(std::function<void()> finished) {
    thread_ = std::thread([this, finished = std::move(finished)] {
        run();
        if (finished) finished();
    });
}

void BackgroundConversion::run() {
    status_ = convertToFile(
        *input_, inputName_, OutputTarget::file(outputPath_), fields_,
        [this](uint64_t read, uint64_t) { bytesRead_.store(read, std::memory_order_relaxed); },
        &stop_);
    if (status_.ok()) status_ = input_->checkReadWhole(bytesRead_.load());
}

Status BackgroundConversion::wait() {
    if (thread_.joinable()) thread_.join();
    return status_;
}

}  // namespace tabulon
