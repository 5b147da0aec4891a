// What both programs behind tabulon-convert share: the command line and its usage
// text, the choice of template, and converting each input in turn.
#pragma once

#include "cli/convert_arguments.h"
#include "cli/convert_job.h"
#include "cli/exit_status.h"
#include "templates/field_list.h"

namespace tabulon {

// Reads the command line into `args`. Returns -1 when there is work to do, else
// the exit status (after --help, --version or a usage error). Also makes a
// closed pipe an error to report rather than a signal, and removes any named
// temporary file when the program is interrupted.
int startConvertCommand(int argc, char** argv, ConvertArguments* args);

// Adds the files named by --files-from to the inputs: names one to a line, or
// ending in NUL when the list holds one (find -print0); empty names skipped.
// False after telling on standard error why the list cannot be used.
bool addListedInputs(ConvertArguments* args);

// The template given with -t, else the one the app would use; false after
// telling on standard error why it cannot be read.
bool loadConvertTemplate(const ConvertArguments& args, FieldList* fields);

// The template -t names: "-" is standard input; a name without a slash that is
// no file here is the Templates folder's template of that name; no -t, the one
// the app would use (named in its preferences, else the bundled "Field Names").
std::string convertTemplatePath(const std::string& given);

// Converts each input into its output; the exit status.
int convertEachInput(const ConvertArguments& args, const JobConversion& conversion);

// Progress goes to standard error when it is a terminal and -q was not given.
bool showsProgress(const ConvertArguments& args);

}  // namespace tabulon
