// tabulon-tables: the part of tabulon-convert that writes table formats, reads
// mail message by message and guesses templates. tabulon-convert runs it in its
// own place with the same command line; it is not meant to be started by hand.
#include <string>

#include "cli/convert_command.h"
#include "cli/message_job.h"
#include "cli/update_tables.h"
#include "conversion/table_file.h"

namespace tabulon {
namespace {

int run(int argc, char** argv) {
    ConvertArguments args;
    int exitCode = startConvertCommand(argc, argv, &args);
    if (exitCode >= 0) return exitCode;
    if (!addListedInputs(&args)) return kExitFailure;
    if (args.guessTemplate) return runGuessTemplate(args.inputs, args.output, args.columnsOut);
    if (args.updateTables) return runUpdateTables(args);

    FieldList fields;
    if (!loadConvertTemplate(args, &fields)) return kExitFailure;
    TableOptions table{args.bom};
    if (args.messages) {
        int exitCode = runMessageConversion(messageJobOptions(args, fields));
        if (args.newOnly && exitCode != kExitFailure) rememberForUpdates(args, argc, argv);
        return exitCode;
    }
    return convertEachInput(args, [&](FileSource& input, const std::string& inputName,
                                      const OutputTarget& output, const ProgressFn& progress) {
        return convertToTableFile(input, inputName, output, fields, args.format, table, progress);
    });
}

}  // namespace
}  // namespace tabulon

int main(int argc, char** argv) {
    return tabulon::run(argc, argv);
}
