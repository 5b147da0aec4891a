// A one-line progress display on a terminal's standard error: "NAME: 42%",
// redrawn a few times a second and cleared when the run ends. On a terminal
// that knows no control sequences (TERM unset, empty or "dumb") the line is
// cleared by overwriting it with blanks.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

namespace tabulon {

class ProgressLine {
  public:
    explicit ProgressLine(const std::string& name);  // shown as shownText() shows it
    ~ProgressLine();
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    void update(uint64_t bytesRead, uint64_t totalBytes);

  private:
    // Takes the cursor back to the start of an empty line.
    void clear() const;

    std::string name_;
    bool dumbTerminal_;
    size_t width_ = 0;  // of the longest line drawn
    std::chrono::steady_clock::time_point lastDrawn_{};
    bool drawn_ = false;
};

}  // namespace tabulon
