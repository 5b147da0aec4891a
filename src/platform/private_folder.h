// The folder that holds the event socket must be private to this user: a real
// folder (not a link), owned by the user, with no access for group or others.
// The app makes it when it is missing; the clients only check it. A folder that
// existed before keeps its mode: it is used as it is or not at all.
#pragma once

#include <string>

#include "platform/status.h"

namespace tabulon {

enum class FolderCheck { kPrivate, kMissing, kNotPrivate };

// Looks at `folder` without changing anything. When it is not private, `*why`
// says so in a sentence naming the folder.
FolderCheck checkPrivateFolder(const std::string& folder, std::string* why);

// Makes `folder` (and any missing parent) with access for this user alone, then
// checks it; an error says why it cannot be used.
Status makePrivateFolder(const std::string& folder);

// The folder part of `path` ("/run/user/1000" for "/run/user/1000/tabulon-events").
std::string folderOf(const std::string& path);

}  // namespace tabulon
