#include "test_util.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <stdexcept>

namespace tabulon::test {

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tabulon-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern + "/";
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
}

ScopedEnv::ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = ::getenv(name)) old_ = old;
    value ? ::setenv(name, value, 1) : ::unsetenv(name);
}

ScopedEnv::~ScopedEnv() {
    old_ ? ::setenv(name_, old_->c_str(), 1) : ::unsetenv(name_);
}

sockaddr_un unixAddress(const std::string& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.c_str(), std::min(path.size() + 1, sizeof address.sun_path));
    return address;
}

int connectTo(const std::string& path) {
    int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address = unixAddress(path);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) return fd;
    ::close(fd);
    return -1;
}

std::string TempDir::listing() const {
    std::set<std::string> names;  // sorted
    for (const auto& entry : std::filesystem::directory_iterator(path_))
        names.insert(entry.path().filename().string());
    std::string result;
    for (const std::string& name : names)
        result += (result.empty() ? "" : "|") + name;
    return result;
}

std::string scratchDevice(const std::string& name) {
    std::string system = "/dev/" + name;
    struct stat st {};
    if (::geteuid() != 0 || ::stat(system.c_str(), &st) != 0 || !S_ISCHR(st.st_mode)) return system;
    static TempDir devices;
    std::string path = devices.file(name);
    if (::access(path.c_str(), F_OK) != 0 &&
        ::mknod(path.c_str(), S_IFCHR | 0666, st.st_rdev) != 0) {
        return system;
    }
    int fd = ::open(path.c_str(), O_WRONLY);
    if (fd < 0) return system;  // a file system mounted without devices
    ::close(fd);
    return path;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

void writeFile(const std::string& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
}

std::string repeat(const std::string& unit, size_t count) {
    std::string text;
    text.reserve(unit.size() * count);
    for (size_t i = 0; i < count; ++i)
        text += unit;
    return text;
}

Status StringSource::read(char* buffer, size_t capacity, size_t* count) {
    size_t n = std::min({capacity, chunk_, data_.size() - position_});
    std::copy_n(data_.data() + position_, n, buffer);
    position_ += n;
    *count = n;
    return Status::Ok();
}

Status FullDiskSink::write(const char* data, size_t size) {
    size_t fits = std::min(size, capacity_ - bytes.size());
    bytes.append(data, fits);
    if (fits < size) return Status::IoError("Cannot write \"output\": No space left on device");
    return Status::Ok();
}

}  // namespace tabulon::test
