#include "platform/line_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>

#include "platform/file_source.h"
#include "platform/line_scanner.h"

namespace tabulon {
namespace {

// Opens without waiting (a pipe with no writer would block) and checks that the
// file is a regular one of acceptable size before anything is read. A descriptor
// the caller handed over ("/dev/stdin", "/dev/fd/63" of a shell's "<(...)") may
// be a pipe: its size is bounded as it is read.
Status openSmallFile(const std::string& path, uint64_t maxBytes, int* fd) {
    *fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (*fd < 0) return errnoStatus("open", path, errno);
    struct stat st {};
    Status status;
    bool handedOver =
        path == "/dev/stdin" || path.starts_with("/dev/fd/") || path.starts_with("/proc/self/fd/");
    if (::fstat(*fd, &st) != 0) {
        status = errnoStatus("read", path, errno);
    } else if (S_ISDIR(st.st_mode)) {
        status = Status::InvalidArgument("Cannot read \"" + path + "\": it is a folder");
    } else if (handedOver && (S_ISFIFO(st.st_mode) || S_ISSOCK(st.st_mode))) {
        // read below, up to maxBytes
    } else if (!S_ISREG(st.st_mode)) {
        status = Status::InvalidArgument("Cannot read \"" + path + "\": it is not a regular file");
    } else if (static_cast<uint64_t>(st.st_size) > maxBytes) {
        status = Status::InvalidArgument("Cannot read \"" + path + "\": it is too large (" +
                                         std::to_string(st.st_size) + " bytes; at most " +
                                         std::to_string(maxBytes) + " are read)");
    }
    if (!status.ok()) {
        ::close(*fd);
        *fd = -1;
        return status;
    }
    ::fcntl(*fd, F_SETFL, ::fcntl(*fd, F_GETFL) & ~O_NONBLOCK);
    return status;
}

}  // namespace

Status readLines(const std::string& path, std::vector<std::string>* lines, uint64_t maxBytes) {
    lines->clear();
    int fd = -1;
    Status status = openSmallFile(path, maxBytes, &fd);
    if (!status.ok()) return status;
    std::unique_ptr<FileSource> source = FileSource::fromDescriptor(fd, path);

    LineScanner scanner;
    std::string current;
    auto segment = [&](const char* data, size_t size, bool endsLine) {
        current.append(data, size);
        if (endsLine) {
            lines->push_back(std::move(current));
            current.clear();
        }
    };
    constexpr size_t kBlock = 64 * 1024;
    std::unique_ptr<char[]> block(new char[kBlock]);
    uint64_t total = 0;
    for (;;) {
        size_t count = 0;
        status = source->read(block.get(), kBlock, &count);
        if (status.ok() && (total += count) > maxBytes) {  // it grew while being read
            status = Status::InvalidArgument("Cannot read \"" + path + "\": it is too large");
        }
        if (!status.ok() || count == 0) break;
        scanner.feed(block.get(), count, segment);
    }
    ::close(fd);
    if (!status.ok()) {
        lines->clear();
        return status;
    }
    scanner.finish(segment);
    return Status::Ok();
}

}  // namespace tabulon
