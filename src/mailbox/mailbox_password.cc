#include "mailbox/mailbox_password.h"

#include <fcntl.h>
#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>

#include "mailbox/imap_account.h"
#include "mailbox/imap_command.h"
#include "platform/netrc.h"
#include "platform/secret_memory.h"

namespace tabulon {
namespace {

constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

// The terminal as it was before the prompt hid what is typed, for the signal
// handler below.
int promptTerminal = -1;
termios shownTerminal{};
struct sigaction before[NSIG];

// A signal that ends the process at the prompt gives the terminal its echo back
// first, then goes on to what would have happened without the prompt.
void restoreEchoThenEnd(int signal) {
    ::tcsetattr(promptTerminal, TCSANOW, &shownTerminal);
    ::sigaction(signal, &before[signal], nullptr);
    ::raise(signal);  // held until this handler returns
}

// Reads a line from the terminal without showing it; the echo comes back
// however the reading ends.
Status prompt(const std::string& question, std::string* answer) {
    int tty = ::open("/dev/tty", O_RDWR | O_CLOEXEC);
    if (tty < 0) return errnoStatus("open", "/dev/tty", errno);
    termios saved{};
    bool quiet = ::tcgetattr(tty, &saved) == 0;
    if (quiet) {
        promptTerminal = tty;
        shownTerminal = saved;
        struct sigaction restore {};
        restore.sa_handler = restoreEchoThenEnd;
        sigemptyset(&restore.sa_mask);
        for (int signal : kEndingSignals) {
            ::sigaction(signal, nullptr, &before[signal]);
            if (before[signal].sa_handler != SIG_IGN) ::sigaction(signal, &restore, nullptr);
        }
        termios silent = saved;
        silent.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        ::tcsetattr(tty, TCSAFLUSH, &silent);
    }
    if (::write(tty, question.data(), question.size()) < 0) answer->clear();
    answer->clear();
    char c = 0;
    ssize_t got = 0;
    while ((got = ::read(tty, &c, 1)) == 1 && c != '\n')
        *answer += c;
    if (quiet) {
        ::tcsetattr(tty, TCSAFLUSH, &saved);
        for (int signal : kEndingSignals)
            ::sigaction(signal, &before[signal], nullptr);
    }
    if (::write(tty, "\n", 1) < 0) {
        // The line end after the hidden answer is only for looks.
    }
    ::close(tty);
    c = 0;
    if (got < 0) return errnoStatus("read", "/dev/tty", errno);
    return Status::Ok();
}

Status readPasswordFile(const std::string& path, std::string* password) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return errnoStatus("read", path, errno);
    Status status = refuseSharedSecrets(fd, path);
    // The first line is enough: read up to its end.
    char c = 0;
    ssize_t got = 0;
    while (status.ok() && (got = ::read(fd, &c, 1)) == 1 && c != '\n')
        *password += c;
    if (status.ok() && got < 0) status = errnoStatus("read", path, errno);
    ::close(fd);
    c = 0;
    if (!password->empty() && password->back() == '\r') password->pop_back();
    if (status.ok() && password->empty()) {
        status = Status::FileError(Status::Code::kNotFound, path,
                                   "Cannot read \"" + path + "\": it holds no password");
    }
    return status;
}

}  // namespace

Status mailboxPassword(const ImapAddress& address, const std::string& passwordFile,
                       const PasswordSources& sources, std::string* password) {
    const std::string &user = address.user, &host = address.host, &hostName = address.hostName;
    password->clear();
    keepOutOfCoreDumps();
    if (!passwordFile.empty()) return readPasswordFile(passwordFile, password);
    Status status = netrcPassword(hostName, user, password);
    if (!status.ok() || !password->empty()) return status;
    // What the app remembered of this mailbox, under the name its dialog gives it.
    if (sources.keyring) *password = sources.keyring(user + "@" + host);
    if (!password->empty()) return Status::Ok();
    bool mayPrompt = sources.mayPrompt;
    if (!mayPrompt || !::isatty(STDIN_FILENO)) {
        return Status::NotFound("No password for \"" + user + "\" at " + host +
                                ": give --password-file FILE, put it in ~/.netrc (\"machine " +
                                hostName + " login " + user +
                                " password ...\"), or have Tabulon remember it in the keyring; " +
                                (mayPrompt ? "it is asked for only on a terminal"
                                           : "--update-tables never asks for it"));
    }
    status = prompt("Password for " + user + " at " + host + ": ", password);
    if (status.ok() && password->empty()) {
        status =
            Status::NotFound("No password for \"" + user + "\" at " + host + ": none was typed");
    }
    return status;
}

Status accountPassword(const ImapAccount& account, const ImapAddress& address,
                       std::string* password) {
    keepOutOfCoreDumps();
    *password = account.password;
    if (!password->empty()) return Status::Ok();
    Status status = netrcPassword(address.hostName, address.user, password);
    if (!status.ok() || !password->empty()) return status;
    return Status::NotFound("Cannot read mail from " + printableServerText(address.host) +
                            ": no password for \"" + printableServerText(address.user) +
                            "\" (~/.netrc has none for this user at this host); give " +
                            account.passwordHint);
}

}  // namespace tabulon
