// tabulon-tables: the part of tabulon-convert that writes table formats, reads
// mail message by message and guesses templates. tabulon-convert runs it in its
// own place with the same command line; it is not meant to be started by hand.
#include <string>

#include "cli/convert_command.h"
#include "cli/message_job.h"
#include "table/table_file.h"

namespace tabulon {
namespace {

int run(int argc, char** argv) {
    ConvertArguments args;
    int exitCode = startConvertCommand(argc, argv, &args);
    if (exitCode >= 0) return exitCode;
    if (args.guessTemplate) return runGuessTemplate(args.inputs, args.output, args.columnsOut);

    FieldList fields;
    if (!loadConvertTemplate(args, &fields)) return kExitFailure;
    TableOptions table{args.bom};
    if (args.messages) {
        MessageJobOptions job;
        job.inputs = args.inputs;
        job.output = args.output;
        job.format = args.format;
        job.table = table;
        job.headers = args.headers;
        job.dates = args.dates;
        job.fields = fields;
        job.report = args.report;
        job.strict = args.strict;
        job.newOnly = args.newOnly;
        job.showProgress = showsProgress(args);
        job.search = args.search;
        job.caFile = args.caFile;
        job.passwordFile = args.passwordFile;
        return runMessageConversion(job);
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
