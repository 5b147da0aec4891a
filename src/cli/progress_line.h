// A one-line progress display on a terminal's standard error: "NAME: 42%",
// redrawn a few times a second and cleared when the run ends.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

namespace tabulon {

class ProgressLine {
  public:
    explicit ProgressLine(std::string name) : name_(std::move(name)) {}
    ~ProgressLine();
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    void update(uint64_t bytesRead, uint64_t totalBytes);

  private:
    std::string name_;
    std::chrono::steady_clock::time_point lastDrawn_{};
    bool drawn_ = false;
};

}  // namespace tabulon
