#include "cli/progress_line.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "conversion/converter.h"
#include "platform/control_characters.h"

namespace tabulon {

ProgressLine::ProgressLine(const std::string& name) : name_(shownText(name)) {
    const char* term = std::getenv("TERM");
    dumbTerminal_ = term == nullptr || *term == '\0' || std::strcmp(term, "dumb") == 0;
}

ProgressLine::~ProgressLine() {
    if (drawn_) clear();
}

void ProgressLine::clear() const {
    if (dumbTerminal_) {
        std::fprintf(stderr, "\r%*s\r", static_cast<int>(width_), "");
    } else {
        std::fputs("\r\033[K", stderr);
    }
}

void ProgressLine::update(uint64_t bytesRead, uint64_t totalBytes) {
    auto now = std::chrono::steady_clock::now();
    if (drawn_ && now - lastDrawn_ < std::chrono::milliseconds(250)) return;
    lastDrawn_ = now;
    std::string line = name_ + ": ";
    if (totalBytes > 0) {
        line += std::to_string(progressPercent(bytesRead, totalBytes)) + "%";
    } else {
        line += std::to_string(bytesRead >> 20) + " MB";
    }
    if (dumbTerminal_) {
        std::fprintf(stderr, "\r%-*s", static_cast<int>(width_), line.c_str());
    } else {
        std::fprintf(stderr, "\r\033[K%s", line.c_str());
    }
    std::fflush(stderr);
    width_ = std::max(width_, line.size());
    drawn_ = true;
}

}  // namespace tabulon
