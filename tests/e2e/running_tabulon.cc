#include "e2e/running_tabulon.h"

#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>

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

}  // namespace

bool waitFor(const std::function<bool()>& condition) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

RunningTabulon::RunningTabulon(std::vector<std::string> args,
                               std::optional<std::string> dialogScript,
                               const Preparation& prepare) {
    pointEnvironmentAt(home);
    writeFile(home.file("script"), dialogScript.value_or(""));
    if (prepare) prepare(home);
    args.insert(args.begin(), TABULON_APP_BINARY);
    ProgramOptions options;
    if (!dialogScript) options.env.emplace_back("TABULON_DIALOG_SCRIPT", "");
    pid_ = startProgram(args, home.file("app.out"), home.file("app.err"), options);
}

RunningTabulon::~RunningTabulon() {
    if (!running()) return;
    ::kill(pid_, SIGTERM);
    if (exitCode() >= 0) return;
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
}

bool RunningTabulon::waitUntilListening() {
    bool answered = false;
    waitFor([&] {
        std::string error;
        answered = sendEvent({"aevt", "ping", ""}, &error) == SendResult::kNotHandled;
        return answered || !running();
    });
    return answered;
}

bool RunningTabulon::waitUntilShown(const std::string& text) {
    return waitFor([&] { return contains(dialogLog(), text) || !running(); }) &&
           contains(dialogLog(), text);
}

bool RunningTabulon::running() {
    int status = 0;
    if (pid_ <= 0 || ::waitpid(pid_, &status, WNOHANG) != pid_) return pid_ > 0;
    exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    pid_ = -1;
    return false;
}

void RunningTabulon::signal(int number) {
    if (running()) ::kill(pid_, number);
}

int RunningTabulon::exitCode() {
    return waitFor([&] { return !running(); }) ? exitCode_ : -1;
}

ProgramResult RunningTabulon::runProgram(const std::vector<std::string>& argv) {
    return test::runProgram(argv, home.path());
}

ProgramResult RunningTabulon::send(const std::vector<std::string>& args) {
    std::vector<std::string> argv = {TABULON_SEND_BINARY};
    argv.insert(argv.end(), args.begin(), args.end());
    return runProgram(argv);
}

}  // namespace tabulon::test
