// The real tabulon, started offscreen in a scratch home with its own runtime
// folder and scripted dialogs, for end-to-end tests.
#pragma once

#include <sys/types.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "program_runner.h"
#include "test_util.h"

namespace tabulon::test {

// Waits until `condition` holds, checking it every few milliseconds; false when
// it still does not after a minute (a test fails then, instead of hanging).
bool waitFor(const std::function<bool()>& condition);

class RunningTabulon {
  public:
    using Preparation = std::function<void(const TempDir& home)>;

    // Starts tabulon with `args` in a fresh home; this process's environment is
    // pointed at the same folders, so that tools it starts reach that tabulon.
    // `dialogScript` holds the dialogs' first answers; without one the app shows
    // Qt's own dialogs, which wait for a person. `prepare` runs just before the
    // start, to change the home or environment.
    explicit RunningTabulon(std::vector<std::string> args = {},
                            std::optional<std::string> dialogScript = "",
                            const Preparation& prepare = {});
    // Stops it (SIGTERM) if it still runs.
    ~RunningTabulon();

    // True once its event socket answers.
    bool waitUntilListening();
    // True once the dialog log holds `text`.
    bool waitUntilShown(const std::string& text);
    // Its exit code once it has ended by itself; -1 if it still runs after a minute.
    int exitCode();
    bool running();
    void signal(int number);

    // Runs one of the built programs (or any path) with this environment, or
    // tabulon-send with `args`.
    ProgramResult runProgram(const std::vector<std::string>& argv);
    ProgramResult send(const std::vector<std::string>& args);
    std::string dialogLog() const { return readFile(home.file("script.log")); }
    void answerDialogs(const std::string& lines) { writeFile(home.file("script"), lines); }

    TempDir home;

  private:
    pid_t pid_ = -1;
    int exitCode_ = -1;
};

}  // namespace tabulon::test
