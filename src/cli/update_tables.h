// --update-tables: every table made with --new-only (remembered_tables.h) made
// again with only the new messages, one after the other, saying per table how
// many rows it gained. A table moved or deleted since is said and skipped; a
// mailbox's password comes from --password-file, ~/.netrc or the app's keyring
// entry, never a prompt.
#pragma once

#include "cli/convert_arguments.h"

namespace tabulon {

// Remembers the table that the command line argv[1..argc) of `args` (which
// adds only the new messages to it) wrote; a failure is only warned of.
void rememberForUpdates(const ConvertArguments& args, int argc, char** argv);

// 0 when every table that is still there was brought up to date (or there
// were none), 1 when one could not be.
int runUpdateTables(const ConvertArguments& args);

}  // namespace tabulon
