// The Templates folder on disk: what it lists, and the copy of it that is put in
// the user's data folder at the first start.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace tabulon {

// Names of the items in `folder`, in name order ignoring case, without ".DS_Store"
// in any letter case. Empty when the folder cannot be read.
std::vector<std::string> listTemplatesFolder(const std::string& folder);

// Where the first-start copy goes: <data folder>/Tabulon/ (with "/").
std::string templatesCopyFolder();

// What one copying call did: the folder it copied into and the items it could
// not copy, each named with its cause ("Orders (Permission denied)").
struct CopyReport {
    std::string destination;
    std::vector<std::string> failed;
};

// Copies the file or folder `source` into the folder `destination` (created with
// its parents when missing), under the source's own name; sub-folders are copied
// by nested calls. `report` is called at the end of every call, nested ones first.
void copyFileOrFolder(const std::string& source, const std::string& destination,
                      const std::function<void(const CopyReport&)>& report);

}  // namespace tabulon
