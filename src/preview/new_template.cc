#include "preview/new_template.h"

#include "mail/label_census.h"
#include "mail/template_guess.h"
#include "platform/app_paths.h"
#include "platform/atomic_file.h"
#include "platform/file_info.h"
#include "platform/file_source.h"

namespace tabulon {
namespace {

// The mail as the census reads it, telling how far the reading has come and
// ending it when asked to.
class WatchedSource : public ByteSource {
  public:
    WatchedSource(ByteSource& source, const ProgressFn& progress, const std::atomic<bool>* stop)
        : source_(source), progress_(progress), stop_(stop) {}
    Status read(char* buffer, size_t capacity, size_t* count) override {
        if (stop_ != nullptr && stop_->load(std::memory_order_relaxed))
            return Status::Stopped("The reading was stopped.");
        Status status = source_.read(buffer, capacity, count);
        read_ += *count;
        if (progress_) progress_(read_, source_.size());
        return status;
    }
    uint64_t size() const override { return source_.size(); }

  private:
    ByteSource& source_;
    const ProgressFn& progress_;
    const std::atomic<bool>* stop_;
    uint64_t read_ = 0;
};

}  // namespace

Status proposeTemplate(const std::string& mailPath, FieldList* fields, const ProgressFn& progress,
                       const std::atomic<bool>* stop) {
    fields->clear();
    std::unique_ptr<FileSource> source;
    Status status = FileSource::open(mailPath, &source);
    if (!status.ok()) return status;
    LabelCensus census;
    WatchedSource watched(*source, progress, stop);
    status = countLabels(watched, &census);
    if (!status.ok()) return status;
    *fields = guessTemplate(census);
    return Status::Ok();
}

Status checkTemplateName(const std::string& folder, const std::string& name) {
    if (name.empty()) return Status::InvalidArgument("Please give the new template a name.");
    if (name.find_first_of("/\r\n") != std::string::npos || name[0] == '.') {
        return Status::InvalidArgument(
            "A template's name cannot start with \".\" or hold \"/\" or a line "
            "end.");
    }
    if (fileExists(childPath(folder, name))) {
        return Status::InvalidArgument("The Templates folder already holds \"" + name +
                                       "\". Please choose another name.");
    }
    return Status::Ok();
}

Status saveNewTemplate(const std::string& folder, const std::string& name,
                       const FieldList& fields) {
    Status status = checkTemplateName(folder, name);
    if (!status.ok()) return status;
    return replaceFile(childPath(folder, name), fieldNamesText(fields), "TEXT", "R*ch");
}

}  // namespace tabulon
