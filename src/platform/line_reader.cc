#include "platform/line_reader.h"

#include <memory>

#include "platform/file_source.h"
#include "platform/line_scanner.h"

namespace tabulon {

Status readLines(const std::string& path, std::vector<std::string>* lines) {
    lines->clear();
    std::unique_ptr<FileSource> source;
    Status status = FileSource::open(path, &source);
    if (!status.ok()) return status;

    LineScanner scanner;
    std::string current;
    auto segment = [&](const char* data, size_t size, bool endsLine) {
        current.append(data, size);
        if (endsLine) {
            lines->push_back(std::move(current));
            current.clear();
        }
    };
    std::unique_ptr<char[]> block(new char[64 * 1024]);
    for (;;) {
        size_t count = 0;
        status = source->read(block.get(), 64 * 1024, &count);
        if (!status.ok()) return status;
        if (count == 0) break;
        scanner.feed(block.get(), count, segment);
    }
    scanner.finish(segment);
    return Status::Ok();
}

}  // namespace tabulon
