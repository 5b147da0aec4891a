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

// A server process listening on a loopback port of its own, stopped when the
// object goes away.
class LoopbackServer {
  public:
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    // "" when the server runs, else why it cannot here (the test skips).
    const std::string& unavailable() const { return unavailable_; }
    // imaps://tab@127.0.0.1:PORT/FOLDER, imap:// for a server of plain IMAP.
    std::string url(const std::string& folder = "INBOX") const;

  protected:
    explicit LoopbackServer(bool plain = false);
    // Waits until the port takes connections or the process has ended; on an
    // end, unavailable() quotes `log`.
    void waitListening(const std::string& log);

    std::string unavailable_;
    int port_;
    pid_t pid_ = -1;
    bool plain_;
};

class DovecotServer : public LoopbackServer {
  public:
    static constexpr const char* kUser = "tab";
    static constexpr const char* kPassword = "secret";

    // Starts Dovecot as root from a private configuration in `dir`, where
    // makeCertificate() put the certificate.
    explicit DovecotServer(const TempDir& dir);
    // Puts `message` into the inbox, or into `folder` (as IMAP writes its name),
    // as a message received at `received` (seconds since 1970).
    void deliver(const std::string& message, long received, const std::string& folder = "");

  private:
    const TempDir& dir_;
    int delivered_ = 0;
};

// tests/mailbox/hostile_imap.py serving one behaviour (see the script).
class HostileImapServer : public LoopbackServer {
  public:
    HostileImapServer(const TempDir& dir, const std::string& behaviour);
};

}  // namespace tabulon::test
