// A Field Names template made from mail: the names proposed from a mail file's
// messages, and the new template's file in the Templates folder.
#pragma once

#include <atomic>
#include <string>

#include "conversion/converter.h"
#include "platform/status.h"
#include "templates/field_list.h"

namespace tabulon {

// The labels that most messages of the mail file at `mailPath` use, in their
// usual order (empty when none is found). `progress` gets the bytes read and
// the file's size; once `*stop` holds (set from any thread), the reading ends
// with an error and nothing is proposed.
Status proposeTemplate(const std::string& mailPath, FieldList* fields,
                       const ProgressFn& progress = {}, const std::atomic<bool>* stop = nullptr);

// Why `name` cannot name a new template in `folder`, or ok: it must not be
// empty, hold "/" or a line end, start with "." or name an existing item.
Status checkTemplateName(const std::string& folder, const std::string& name);

// Writes the new template `folder` + `name` (CR after each name) at once, with the
// Field Names files' type and creator; checks the name first.
Status saveNewTemplate(const std::string& folder, const std::string& name, const FieldList& fields);

}  // namespace tabulon
