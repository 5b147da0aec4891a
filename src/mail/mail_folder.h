// The mail files of a folder given as an input of the message conversion: a
// folder of saved messages (.eml and mbox files), a Maildir (cur/ and new/; tmp/
// holds messages still being delivered), Apple Mail's exported "X.mbox" bundle
// (its file "mbox"), an MH folder (one message per numbered file), and a mail
// client's folder of mbox files (files without an
// extension beside their .msf indexes, subfolders in "X.sbd").
//
// Order: by path, byte for byte, so the same folder always gives the same rows;
// Maildir names begin with their delivery time, so there it is the order mail
// came; an MH folder's messages, files named by their numbers beside its
// dot-files (".mh_sequences"), come in the order of their numbers. Subfolders are read too, except
// a Maildir's own (".Sent", ".Trash"), hidden ones and symbolic links.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/status.h"

namespace tabulon {

struct MailFolderFiles {
    std::vector<std::string> files;  // what to read, in order
    uint64_t trashed = 0;            // Maildir messages flagged as trashed, left out
};

// REQUIRES: `folder` is a folder. Fails when it cannot be listed.
Status listMailFolder(const std::string& folder, MailFolderFiles* out);

// `inputs` with each folder replaced by its mail files; standard input ("-") and
// files stay as they are. `trashed` adds up the Maildir messages left out.
Status expandMailInputs(const std::vector<std::string>& inputs, std::vector<std::string>* files,
                        uint64_t* trashed);

}  // namespace tabulon
