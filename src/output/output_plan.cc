#include "output/output_plan.h"

#include "platform/file_info.h"

namespace tabulon {
namespace {

Status refusal(const OutputTarget& target, const FileId& input, const std::string& inputName) {
    bool same = target.isStandardOutput() ? input.regular && standardOutputId().isSameFile(input)
                                          : fileIdOf(target.path()).isSameFile(input);
    if (!same) return Status::Ok();
    if (target.isStandardOutput()) {
        return Status::InvalidArgument("Cannot write standard output: it is the input file \"" +
                                       inputName + "\"; send the output elsewhere");
    }
    return Status::FileError(Status::Code::kInvalidArgument, target.path(),
                             "Cannot write \"" + target.path() + "\": it is the input file \"" +
                                 inputName + "\"; choose another name for the output");
}

}  // namespace

Status OutputTarget::refuseInput(int inputFd, const std::string& inputName) const {
    return refusal(*this, fileIdOf(inputFd), inputName);
}

Status OutputTarget::refuseInput(const std::string& input) const {
    FileId id = input == "-" ? standardInputId() : fileIdOf(input);
    return refusal(*this, id, inputDisplayName(input));
}

OutputTarget OutputPlan::targetFor(const std::string& input) const {
    if (namedOutput()) return OutputTarget::named(output_);
    return input == "-" ? OutputTarget::standardOutput() : OutputTarget::file(besideName(input));
}

std::string inputDisplayName(const std::string& input) {
    return input == "-" ? "standard input" : input;
}

}  // namespace tabulon
