#include "cli/mailbox_password.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace tabulon {
namespace {

// Whether the words of ~/.netrc hold "machine HOST" or "default"; libcurl reads
// the entry itself.
bool netrcNames(const std::string& host) {
    const char* home = std::getenv("HOME");
    if (home == nullptr) return false;
    std::ifstream file(std::string(home) + "/.netrc");
    std::string word, previous;
    while (file >> word) {
        if (word == "default" || (previous == "machine" && word == host)) return true;
        previous = word;
    }
    return false;
}

// Reads a line from the terminal without showing it.
Status prompt(const std::string& question, std::string* answer) {
    int tty = ::open("/dev/tty", O_RDWR | O_CLOEXEC);
    if (tty < 0) return errnoStatus("open", "/dev/tty", errno);
    termios saved{};
    bool quiet = ::tcgetattr(tty, &saved) == 0;
    if (quiet) {
        termios silent = saved;
        silent.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        ::tcsetattr(tty, TCSAFLUSH, &silent);
    }
    if (::write(tty, question.data(), question.size()) < 0) answer->clear();
    answer->clear();
    char c = 0;
    while (::read(tty, &c, 1) == 1 && c != '\n')
        *answer += c;
    if (quiet) ::tcsetattr(tty, TCSAFLUSH, &saved);
    if (::write(tty, "\n", 1) < 0) {
        // The line end after the hidden answer is only for looks.
    }
    ::close(tty);
    return Status::Ok();
}

}  // namespace

Status mailboxPassword(const std::string& user, const std::string& host,
                       const std::string& passwordFile, std::string* password) {
    password->clear();
    if (!passwordFile.empty()) {
        std::ifstream file(passwordFile);
        if (!file) return errnoStatus("read", passwordFile, errno);
        std::getline(file, *password);
        if (!password->empty() && password->back() == '\r') password->pop_back();
        if (password->empty()) {
            return Status::Error("Cannot read \"" + passwordFile + "\": it holds no password");
        }
        return Status::Ok();
    }
    std::string name = host.substr(0, host.rfind(':') == std::string::npos || host.back() == ']'
                                          ? host.size()
                                          : host.rfind(':'));
    if (netrcNames(name) || !::isatty(STDIN_FILENO)) return Status::Ok();
    return prompt("Password for " + user + " at " + host + ": ", password);
}

}  // namespace tabulon
