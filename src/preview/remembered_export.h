// A save with only the new messages, remembered for --update-tables
// (remembered_tables.h) as the tabulon-convert command line that makes it
// again. The template's fields are kept in a file of their own under the
// state folder, as they were at the save: the app's field list may change, and
// the table's columns must not.
#pragma once

#include "mail/remembered_tables.h"
#include "preview/table_export.h"

namespace tabulon {

// The command line that makes `request`'s table again, taking its template
// from `templatePath`. REQUIRES: request.newOnly.
RememberedTable rememberedExport(const ExportRequest& request, const std::string& templatePath);

// stateFolder() + "Tabulon/templates/" and a name made from the table's path.
std::string rememberedTemplatePath(const std::string& table);

// Writes the template and remembers the table in the list at `listPath`.
Status rememberExport(const ExportRequest& request, const std::string& listPath);

}  // namespace tabulon
