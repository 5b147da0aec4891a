#include "templates/field_names_file.h"

#include "platform/atomic_file.h"
#include "platform/file_info.h"
#include "platform/line_reader.h"

namespace tabulon {

Status readFieldNames(const std::string& path, FieldList* fields) {
    Status status = readLines(path, fields);
    if (!status.ok()) fields->clear();
    return status;
}

Status writeFieldNames(const std::string& path, const FieldList& fields) {
    if (!fileExists(path)) return Status::Ok();
    std::string content;
    for (const std::string& name : fields) {
        content += name;
        content += '\r';
    }
    return replaceFile(path, content, "TEXT", "R*ch");
}

}  // namespace tabulon
