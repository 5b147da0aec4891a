#include "preview/new_template.h"

#include "mail/label_census.h"
#include "mail/template_guess.h"
#include "platform/app_paths.h"
#include "platform/atomic_file.h"
#include "platform/file_info.h"
#include "platform/file_source.h"

namespace tabulon {

Status proposeTemplate(const std::string& mailPath, FieldList* fields) {
    fields->clear();
    std::unique_ptr<FileSource> source;
    Status status = FileSource::open(mailPath, &source);
    if (!status.ok()) return status;
    LabelCensus census;
    status = countLabels(*source, &census);
    if (!status.ok()) return status;
    *fields = guessTemplate(census);
    return Status::Ok();
}

Status checkTemplateName(const std::string& folder, const std::string& name) {
    if (name.empty()) return Status::Error("Please give the new template a name.");
    if (name.find_first_of("/\r\n") != std::string::npos || name[0] == '.') {
        return Status::Error(
            "A template's name cannot start with \".\" or hold \"/\" or a line "
            "end.");
    }
    if (fileExists(childPath(folder, name))) {
        return Status::Error("The Templates folder already holds \"" + name +
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
