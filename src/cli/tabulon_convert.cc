// tabulon-convert: the line conversion, each field line's value into tab-delimited
// rows. Everything else it is asked for (the message conversion, the template
// guess, the other table formats) is done by tabulon-tables, which it runs in its
// place: those need the mail, HTML and workbook libraries, and a program that
// loads them costs several times as much to start, which many short calls in a
// row would feel.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "cli/convert_command.h"
#include "conversion/file_conversion.h"
#include "platform/app_paths.h"

namespace tabulon {
namespace {

// GMime and libxml2 make and free dozens of small objects for each message, on
// every decoding thread. glibc keeps 7 freed blocks of each size per thread and
// sends the rest back to the shared heap, under its lock; a cache of 1,000 makes
// the message conversion about 8% faster (bench/README.md) for some 0.6 MB more
// memory. Settings of the user's own come after ours, so theirs win.
void preferLargerMallocCache() {
    std::string tunables = "glibc.malloc.tcache_count=1000";
    const char* given = std::getenv("GLIBC_TUNABLES");
    if (given != nullptr && *given != '\0') tunables += std::string(":") + given;
    ::setenv("GLIBC_TUNABLES", tunables.c_str(), 1);
}

int runTablesProgram(char** argv) {
    std::string program = executableFolder() + "../libexec/tabulon/tabulon-tables";
    preferLargerMallocCache();
    ::execv(program.c_str(), argv);
    std::fprintf(stderr, "tabulon-convert: Cannot start \"%s\": %s\n", program.c_str(),
                 std::strerror(errno));
    return kExitFailure;
}

int run(int argc, char** argv) {
    ConvertArguments args;
    int exitCode = startConvertCommand(argc, argv, &args);
    if (exitCode >= 0) return exitCode;
    if (args.messages || args.guessTemplate || args.updateTables ||
        args.format != TableFormat::kTab) {
        return runTablesProgram(argv);
    }
    FieldList fields;
    if (!addListedInputs(&args) || !loadConvertTemplate(args, &fields)) return kExitFailure;
    return convertEachInput(args, [&](FileSource& input, const std::string& inputName,
                                      const OutputTarget& output, const ProgressFn& progress) {
        return convertToFile(input, inputName, output, fields, progress);
    });
}

}  // namespace
}  // namespace tabulon

int main(int argc, char** argv) {
    return tabulon::run(argc, argv);
}
