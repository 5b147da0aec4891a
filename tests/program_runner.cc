#include "program_runner.h"

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "test_util.h"

namespace tabulon::test {

pid_t startProgram(const std::vector<std::string>& argv, const std::string& outFile,
                   const std::string& errFile, const ProgramOptions& options) {
    int pipeFds[2] = {-1, -1};
    if (options.closedStdout && ::pipe(pipeFds) != 0) return -1;
    pid_t pid = ::fork();
    if (pid != 0) {
        if (options.closedStdout) {  // nobody will read what the child writes
            ::close(pipeFds[0]);
            ::close(pipeFds[1]);
        }
        return pid;
    }
    for (const auto& [name, value] : options.env)
        ::setenv(name.c_str(), value.c_str(), 1);
    if (!options.workingDir.empty() && ::chdir(options.workingDir.c_str()) != 0) ::_exit(126);
    int in = ::open(options.stdinFile.empty() ? "/dev/null" : options.stdinFile.c_str(), O_RDONLY);
    int outFlags = O_WRONLY | O_CREAT | (options.appendStdout ? O_APPEND : O_TRUNC);
    int out = options.closedStdout ? pipeFds[1] : ::open(outFile.c_str(), outFlags, 0600);
    int err = ::open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ::dup2(in, 0);
    ::dup2(out, 1);
    ::dup2(err, 2);
    if (options.closedStdout) ::close(pipeFds[0]);
    if (options.closedStdin) ::close(0);
    if (options.fileSizeLimit >= 0) {
        rlimit limit{static_cast<rlim_t>(options.fileSizeLimit), RLIM_INFINITY};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        ::signal(SIGXFSZ, SIG_IGN);
    }
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    for (int signal : {SIGINT, SIGTERM, SIGHUP})
        ::signal(signal, SIG_DFL);
    std::vector<char*> args;
    for (const std::string& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    ::execv(args[0], args.data());
    ::_exit(127);
}

ProgramResult runProgram(const std::vector<std::string>& argv, const std::string& scratch,
                         const std::string& stdinData, ProgramOptions options) {
    std::string folder = scratch.empty() || scratch.back() == '/' ? scratch : scratch + "/";
    if (options.stdinFile.empty()) {
        writeFile(folder + ".stdin", stdinData);
        options.stdinFile = folder + ".stdin";
    }
    pid_t pid = startProgram(argv, folder + ".stdout", folder + ".stderr", options);
    int status = 0;
    ::waitpid(pid, &status, 0);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status),
            readFile(folder + ".stdout"), readFile(folder + ".stderr")};
}

ProgramResult runAtHome(const std::vector<std::string>& argv, const std::string& home,
                        long fileSizeLimit) {
    ProgramOptions child;
    child.workingDir = home;
    child.env = {{"HOME", home}, {"XDG_CONFIG_HOME", home + "config"}};
    child.fileSizeLimit = fileSizeLimit;
    return runProgram(argv, home, "", child);
}

}  // namespace tabulon::test
