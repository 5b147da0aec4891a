#include "cli/progress_line.h"

#include <cstdio>

#include "conversion/converter.h"

namespace tabulon {

ProgressLine::~ProgressLine() {
    if (drawn_) std::fputs("\r\033[K", stderr);
}

void ProgressLine::update(uint64_t bytesRead, uint64_t totalBytes) {
    auto now = std::chrono::steady_clock::now();
    if (drawn_ && now - lastDrawn_ < std::chrono::milliseconds(250)) return;
    lastDrawn_ = now;
    drawn_ = true;
    if (totalBytes > 0) {
        std::fprintf(stderr, "\r\033[K%s: %d%%", name_.c_str(),
                     progressPercent(bytesRead, totalBytes));
    } else {
        std::fprintf(stderr, "\r\033[K%s: %llu MB", name_.c_str(),
                     static_cast<unsigned long long>(bytesRead >> 20));
    }
    std::fflush(stderr);
}

}  // namespace tabulon
