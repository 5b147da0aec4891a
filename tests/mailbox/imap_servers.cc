#include "mailbox/imap_servers.h"

#include <arpa/inet.h>
#include <grp.h>
#include <netinet/in.h>
#include <pwd.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "program_runner.h"

namespace tabulon::test {
namespace {

const char kDovecot[] = "/usr/sbin/dovecot";

// A port nothing listens on now.
int freePort() {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), length);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(fd);
    return ntohs(address.sin_port);
}

// Makes `path` Dovecot's, whose processes read and write the mail.
void giveToDovecot(const std::string& path) {
    passwd* dovecot = ::getpwnam("dovecot");
    if (dovecot == nullptr || ::chown(path.c_str(), dovecot->pw_uid, dovecot->pw_gid) != 0)
        ADD_FAILURE() << "Cannot give " << path << " to the user dovecot";
}

bool listening(int port) {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bool connected = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return connected;
}

}  // namespace

LoopbackServer::LoopbackServer(bool plain) : port_(freePort()), plain_(plain) {}

LoopbackServer::~LoopbackServer() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGTERM);
    ::waitpid(pid_, nullptr, 0);
}

std::string LoopbackServer::url(const std::string& folder) const {
    return std::string(plain_ ? "imap" : "imaps") + "://tab@127.0.0.1:" + std::to_string(port_) +
           "/" + folder;
}

void LoopbackServer::waitListening(const std::string& log) {
    for (int i = 0; i < 600; ++i) {
        if (listening(port_)) return;
        if (::waitpid(pid_, nullptr, WNOHANG) == pid_) {
            unavailable_ = "the server ended at once: " + readFile(log);
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    unavailable_ = "the server did not listen within a minute";
}

std::string makeCertificate(const TempDir& dir) {
    if (::access("/usr/bin/openssl", X_OK) != 0) return "openssl is not installed";
    ProgramResult r = runProgram({"/usr/bin/openssl", "req", "-x509", "-newkey", "ec", "-pkeyopt",
                                  "ec_paramgen_curve:prime256v1", "-nodes", "-days", "2", "-subj",
                                  "/CN=127.0.0.1", "-addext", "subjectAltName=IP:127.0.0.1",
                                  "-keyout", dir.file("key.pem"), "-out", dir.file("cert.pem")},
                                 dir.path());
    return r.exitCode == 0 ? "" : "openssl cannot make a certificate: " + r.err;
}

DovecotServer::DovecotServer(const TempDir& dir) : dir_(dir) {
    passwd* dovecot = ::getpwnam("dovecot");
    if (::access(kDovecot, X_OK) != 0 || dovecot == nullptr || ::getpwnam("dovenull") == nullptr)
        unavailable_ = "Dovecot (dovecot-imapd) is not installed";
    else if (::geteuid() != 0)
        unavailable_ = "Dovecot runs from a private configuration only as root";
    if (!unavailable_.empty()) return;
    std::string root = dir.path();
    // Dovecot's own users reach the mail and the sockets under the scratch folder.
    ::chmod(root.c_str(), 0755);
    for (const char* folder : {"run", "state", "mail"})
        std::filesystem::create_directories(root + folder);
    giveToDovecot(root + "mail");
    writeFile(root + "passwd", std::string(kUser) + ":{PLAIN}" + kPassword + ":" +
                                   std::to_string(dovecot->pw_uid) + ":" +
                                   std::to_string(dovecot->pw_gid) + "::" + root + "mail\n");
    // Every @ is the scratch folder.
    std::string conf =
        "base_dir = @run\nstate_dir = @state\nlog_path = /dev/stderr\nprotocols = imap\n"
        "listen = 127.0.0.1\ndefault_login_user = dovenull\ndefault_internal_user = dovecot\n"
        "first_valid_uid = 1\nfirst_valid_gid = 1\nssl = required\nssl_cert = <@cert.pem\n"
        "ssl_key = <@key.pem\nauth_mechanisms = plain login\n"
        "passdb {\n  driver = passwd-file\n  args = @passwd\n}\n"
        "userdb {\n  driver = passwd-file\n  args = @passwd\n}\nmail_location = maildir:@mail\n"
        "service imap-login {\n  inet_listener imap {\n    port = 0\n  }\n"
        "  inet_listener imaps {\n    address = 127.0.0.1\n    port = " +
        std::to_string(port_) + "\n    ssl = yes\n  }\n}\nservice anvil {\n  chroot =\n}\n";
    for (size_t at = conf.find('@'); at != std::string::npos; at = conf.find('@', at))
        conf.replace(at, 1, root);
    writeFile(root + "dovecot.conf", conf);
    pid_ = startProgram({kDovecot, "-F", "-c", root + "dovecot.conf"}, root + "dovecot.out",
                        root + "dovecot.log");
    waitListening(root + "dovecot.log");
}

void DovecotServer::deliver(const std::string& message, long received, const std::string& folder) {
    std::string maildir = dir_.file("mail/");
    if (!folder.empty()) maildir += "." + folder + "/";
    for (const char* part : {"", "cur", "new", "tmp"}) {
        std::string path = maildir + part;
        std::filesystem::create_directories(path);
        giveToDovecot(path);
    }
    std::string path =
        maildir + "new/" + std::to_string(received) + "." + std::to_string(++delivered_) + ".test";
    writeFile(path, message);
    giveToDovecot(path);
    timeval times[2] = {{received, 0}, {received, 0}};
    ::utimes(path.c_str(), times);
}

HostileImapServer::HostileImapServer(const TempDir& dir, const std::string& behaviour)
    : LoopbackServer(behaviour == "no-starttls") {
    std::string script = std::string(TABULON_SOURCE_DIR) + "/tests/mailbox/hostile_imap.py";
    pid_ = startProgram({"/usr/bin/python3", script, std::to_string(port_), dir.file("cert.pem"),
                         dir.file("key.pem"), behaviour},
                        dir.file("hostile.out"), dir.file("hostile.err"));
    waitListening(dir.file("hostile.err"));
}

}  // namespace tabulon::test
