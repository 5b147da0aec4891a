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
// a Maildir's own (".Sent", ".Trash"), hidden ones and symbolic links, and
// (named in the report) those more than 16 folders below the one given.
//
// Also the rules for the mail files of the inputs: which hold one message,
// which are no mail (a table Tabulon wrote), which may be left out when they
// cannot be opened, and where a table goes that is made beside its input.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "mail/message_conversion.h"
#include "platform/file_source.h"
#include "platform/status.h"

namespace tabulon {

struct MailFolderFiles {
    std::vector<std::string> files;  // what to read, in order
    uint64_t trashed = 0;  // Maildir messages flagged as trashed and MH ones removed, left out
    std::vector<std::string> tooDeep;  // folders too deep to be read
    // The files that were found in a folder, not given: one that cannot be
    // opened when its turn comes (gone since, unreadable) is left out, not
    // a failure (openMailFile()).
    std::unordered_set<std::string> listed;
};

// REQUIRES: `folder` is a folder. Fails when it cannot be listed.
Status listMailFolder(const std::string& folder, MailFolderFiles* out);

// `inputs` with each folder replaced by its mail files, added to `out`;
// standard input ("-") and files stay as they are.
Status expandMailInputs(const std::vector<std::string>& inputs, MailFolderFiles* out);

// Counts in `rows`'s report what listing `inputs` left out: trashed messages,
// folders too deep.
void countLeftOut(const MailFolderFiles& inputs, MessageRows& rows);

// Where the table of `input` goes when no output is named, as a path that
// " Converted" and an extension are added to: `input`, but for an input inside
// a mail program's store (a Maildir, an MH folder, a folder of mbox files with
// their .msf indexes, an .sbd folder) the same name beside the outermost such
// folder, so that the table lands in no folder a mail program keeps.
std::string outputBaseFor(const std::string& input);

// Whether the mail file `path` is one message whatever its body holds: a file of
// a Maildir's cur/ or new/, an MH folder's numbered file, an .eml. (Other files
// may hold many, one after the other.)
bool holdsOneMessage(const std::string& path);

// Whether the file open as `fd` begins with the header row a text table of
// `columns` begins with (the tab format's is also the line conversion's).
bool isTableOf(int fd, const std::vector<std::string>& columns);

// Opens `path`, a file of `inputs`. A file found in a folder that cannot be
// opened, and any file that is a table Tabulon wrote (its first line the header
// row of `rows`'s columns in a text format), is left out: counted in `rows`'s
// report, `*source` left empty, and Ok; `*leftOut` (when given) says why. Any
// other failure is returned.
Status openMailFile(const std::string& path, const MailFolderFiles& inputs, MessageRows& rows,
                    std::unique_ptr<FileSource>* source, std::string* leftOut = nullptr);

}  // namespace tabulon
