#include "platform/netrc.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "platform/secret_memory.h"
#include "platform/text.h"

namespace tabulon {
namespace {

// The words of a .netrc: separated by white space, a word in double quotes may
// hold spaces and \-escapes. A "macdef" runs to the next empty line and is left out.
std::vector<std::string> words(std::string_view text) {
    std::vector<std::string> out;
    size_t i = 0;
    auto space = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
    while (i < text.size()) {
        if (space(text[i])) {
            ++i;
            continue;
        }
        std::string word;
        if (text[i] == '"') {
            for (++i; i < text.size() && text[i] != '"'; ++i) {
                if (text[i] == '\\' && i + 1 < text.size()) ++i;
                word += text[i];
            }
            ++i;
        } else {
            while (i < text.size() && !space(text[i]))
                word += text[i++];
        }
        if (!out.empty() && out.back() == "macdef") {
            size_t end = text.find("\n\n", i);
            i = end == std::string_view::npos ? text.size() : end + 2;
            out.pop_back();
            continue;
        }
        out.push_back(std::move(word));
    }
    return out;
}

}  // namespace

Status refuseSharedSecrets(int fd, const std::string& path) {
    struct stat info {};
    if (::fstat(fd, &info) != 0) return errnoStatus("read", path, errno);
    if (S_ISREG(info.st_mode) && (info.st_mode & (S_IRWXG | S_IRWXO)) != 0) {
        return Status::FileError(Status::Code::kInvalidArgument, path,
                                 "Cannot use \"" + path +
                                     "\": it holds a password and other users can read "
                                     "it; make it yours alone (chmod 600 \"" +
                                     path + "\")");
    }
    return Status::Ok();
}

Status netrcPassword(const std::string& machine, const std::string& login, std::string* password) {
    password->clear();
    const char* home = std::getenv("HOME");
    if (home == nullptr || *home == '\0') return Status::Ok();
    std::string path = std::string(home) + "/.netrc";
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return errno == ENOENT ? Status::Ok() : errnoStatus("read", path, errno);
    Status status = refuseSharedSecrets(fd, path);
    std::string text;
    char block[4096];
    ssize_t got = 0;
    while (status.ok() && (got = ::read(fd, block, sizeof block)) > 0)
        text.append(block, static_cast<size_t>(got));
    if (status.ok() && got < 0) status = errnoStatus("read", path, errno);
    ::close(fd);
    if (!status.ok()) return status;
    keepOutOfCoreDumps();
    std::vector<std::string> tokens = words(text);
    wipe(&text);
    // Each entry: "machine NAME" or "default", then its keys and values.
    bool matches = false, loginMatches = false;
    std::string entryPassword;
    auto finish = [&] {
        if (matches && loginMatches && password->empty()) *password = entryPassword;
        wipe(&entryPassword);
    };
    for (size_t i = 0; i < tokens.size(); ++i) {
        const std::string& key = tokens[i];
        if (key == "machine" || key == "default") {
            finish();
            matches = key == "machine" && i + 1 < tokens.size() &&
                      equalsIgnoringCase(tokens[i + 1], machine);
            loginMatches = false;
            if (key == "machine") ++i;
        } else if (i + 1 < tokens.size() &&
                   (key == "login" || key == "password" || key == "account")) {
            if (key == "login") loginMatches = tokens[i + 1] == login;
            if (key == "password") entryPassword = tokens[i + 1];
            ++i;
        }
    }
    finish();
    for (std::string& token : tokens)
        wipe(&token);
    return Status::Ok();
}

}  // namespace tabulon
