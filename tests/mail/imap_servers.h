// IMAP servers for the tests, on loopback ports with TLS certificates made for
// 127.0.0.1: a real Dovecot whose mailbox the test fills, and a hostile script
// that stalls, closes or answers nonsense on request.
#pragma once

#include <sys/types.h>

#include <string>

#include "test_util.h"

namespace tabulon::test {

// A self-signed certificate and its key for 127.0.0.1, in `dir`; "" when made,
// else why not.
std::string makeCertificate(const TempDir& dir);

class DovecotServer {
  public:
    static constexpr const char* kUser = "tab";
    static constexpr const char* kPassword = "secret";

    // Starts Dovecot as root from a private configuration in `dir`, where
    // makeCertificate() put the certificate.
    explicit DovecotServer(const TempDir& dir);
    ~DovecotServer();
    DovecotServer(const DovecotServer&) = delete;
    DovecotServer& operator=(const DovecotServer&) = delete;

    // "" when the server runs, else why it cannot here (the test skips).
    const std::string& unavailable() const { return unavailable_; }
    // imaps://tab@127.0.0.1:PORT/FOLDER
    std::string url(const std::string& folder = "INBOX") const;
    // Puts `message` into `folder` (made when new) as a message received at
    // `received` (seconds since 1970); returns the file's path.
    std::string deliver(const std::string& message, long received,
                        const std::string& folder = "INBOX");

  private:
    const TempDir& dir_;
    std::string unavailable_;
    int port_ = 0;
    pid_t pid_ = -1;
    int delivered_ = 0;
};

// tests/mail/hostile_imap.py serving one behaviour (see the script) on a port of
// its own.
class HostileImapServer {
  public:
    HostileImapServer(const TempDir& dir, const std::string& behaviour);
    ~HostileImapServer();
    HostileImapServer(const HostileImapServer&) = delete;
    HostileImapServer& operator=(const HostileImapServer&) = delete;

    const std::string& unavailable() const { return unavailable_; }
    // imaps://, or imap:// for a server that speaks plain IMAP.
    std::string url() const;

  private:
    std::string unavailable_;
    bool plain_ = false;
    int port_ = 0;
    pid_t pid_ = -1;
};

}  // namespace tabulon::test
