#include "templates/field_names_file.h"

#include "platform/atomic_file.h"
#include "platform/file_info.h"
#include "platform/file_type.h"
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
    AtomicFile file;
    Status status = file.open(path);
    if (!status.ok()) return status;
    setFileTypeAndCreator(file.descriptor(), "TEXT", "R*ch");
    status = file.write(content.data(), content.size());
    if (!status.ok()) return status;
    return file.commit();
}

}  // namespace tabulon
