// Runs the built programs as a person or a script would: a child process with its
// own environment additions, working folder and limits, its standard streams in
// files.
#pragma once

#include <sys/types.h>

#include <string>
#include <utility>
#include <vector>

namespace tabulon::test {

struct ProgramOptions {
    std::string workingDir;                                // "" keeps ours
    std::vector<std::pair<std::string, std::string>> env;  // set in the child only
    std::string stdinFile;                                 // "" reads /dev/null
    bool closedStdin = false;                              // started with descriptor 0 closed
    long fileSizeLimit = -1;                               // RLIMIT_FSIZE; -1 keeps it
    bool closedStdout = false;                             // stdout is a pipe whose reader has gone
    bool appendStdout = false;  // stdout appends to the file, as `>>` does
};

struct ProgramResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Starts `argv` with standard output and error going to the two files, and the
// termination signals in their default state, as a shell would start it.
pid_t startProgram(const std::vector<std::string>& argv, const std::string& outFile,
                   const std::string& errFile, const ProgramOptions& options = {});

// Runs `argv` to its end; its streams pass through ".stdout" and ".stderr" in the
// folder `scratch`, and `stdinData` through ".stdin" there unless
// `options.stdinFile` names another file to read.
ProgramResult runProgram(const std::vector<std::string>& argv, const std::string& scratch,
                         const std::string& stdinData = "", ProgramOptions options = {});

// Runs `argv` in the folder `home`, which is also its home and holds its
// settings ("<home>config"), so that nothing of the user's is read or changed.
ProgramResult runAtHome(const std::vector<std::string>& argv, const std::string& home,
                        long fileSizeLimit = -1);

}  // namespace tabulon::test
