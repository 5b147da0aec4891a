// tabulon-preview-bench FILE [TEMPLATE-FIELD...]: reads FILE the way the
// spreadsheet preview does (PreviewReader on its own thread, rows taken every
// millisecond as the window's timer takes them) and prints the time until the
// first rows arrive, the time of the whole reading, the rows kept and the peak
// resident memory.
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include "preview/preview_reader.h"

using namespace tabulon;
using Clock = std::chrono::steady_clock;

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs("Usage: tabulon-preview-bench FILE [FIELD...]\n", stderr);
        return 2;
    }
    MessageConversionOptions options;
    options.fields = {"Name:", "Email:", "Phone:", "Comments:"};
    if (argc > 2) options.fields.assign(argv + 2, argv + argc);
    options.countLabels = true;
    Clock::time_point start = Clock::now();
    PreviewReader reader({argv[1]}, options);
    reader.start();
    std::vector<TableRow> rows;
    double firstRows = -1;
    size_t kept = 0;
    for (;;) {
        bool done = reader.progress().done;
        reader.takeRows(&rows);
        if (!rows.empty() && firstRows < 0)
            firstRows = std::chrono::duration<double>(Clock::now() - start).count();
        kept += rows.size();
        rows.clear();
        if (done) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    double total = std::chrono::duration<double>(Clock::now() - start).count();
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    PreviewReader::Progress progress = reader.progress();
    std::printf(
        "first rows after %.3f s; whole file %.2f s; %llu messages, %zu rows kept; "
        "peak memory %ld KB\n",
        firstRows, total, static_cast<unsigned long long>(progress.messages), kept,
        usage.ru_maxrss);
    return reader.status().ok() ? 0 : 1;
}
