#include "e2e/running_tabulon.h"

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "platform/event_client.h"

namespace tabulon::test {
namespace {

void pointEnvironmentAt(const TempDir& home) {
    ::setenv("HOME", home.path().c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", home.file("config").c_str(), 1);
    ::setenv("XDG_DATA_HOME", home.file("data").c_str(), 1);
    ::setenv("XDG_RUNTIME_DIR", home.file("run").c_str(), 1);
    ::setenv("TABULON_DIALOG_SCRIPT", home.file("script").c_str(), 1);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
}

pid_t start(const std::vector<std::string>& argv, const std::string& out, const std::string& err) {
    pid_t pid = ::fork();
    if (pid != 0) return pid;
    int outFd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    int errFd = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ::dup2(outFd, 1);
    ::dup2(errFd, 2);
    std::vector<char*> args;
    for (const std::string& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    ::execv(args[0], args.data());
    ::_exit(127);
}

}  // namespace

RunningTabulon::RunningTabulon(std::vector<std::string> args) {
    pointEnvironmentAt(home);
    writeFile(home.file("script"), "");
    args.insert(args.begin(), TABULON_APP_BINARY);
    pid_ = start(args, home.file("app.out"), home.file("app.err"));
}

RunningTabulon::~RunningTabulon() {
    if (!running()) return;
    ::kill(pid_, SIGTERM);
    int code = 0;
    if (waitForExit(5, &code)) return;
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
}

bool RunningTabulon::waitUntilListening() {
    for (int i = 0; i < 200; ++i) {
        std::string error;
        if (sendEvent({"aevt", "ping", ""}, &error) == SendResult::kNotHandled) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

bool RunningTabulon::running() {
    int status = 0;
    if (pid_ <= 0 || ::waitpid(pid_, &status, WNOHANG) != pid_) return pid_ > 0;
    exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    pid_ = -1;
    return false;
}

bool RunningTabulon::waitForExit(double seconds, int* code) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (running()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    *code = exitCode_;
    return true;
}

ProgramResult RunningTabulon::runProgram(const std::vector<std::string>& argv) {
    pid_t pid = start(argv, home.file("program.out"), home.file("program.err"));
    int status = 0;
    ::waitpid(pid, &status, 0);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status),
            readFile(home.file("program.out")), readFile(home.file("program.err"))};
}

}  // namespace tabulon::test
