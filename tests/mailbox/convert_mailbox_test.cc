// tabulon-convert --messages with a mailbox as its input, run as a user runs it
// against a real Dovecot: filters, where the password comes from (a file, a
// prompt on a terminal, ~/.netrc) and when none is taken, folder names beyond
// ASCII, and failures that leave an older table as it was.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "mailbox/imap_servers.h"
#include "program_runner.h"
#include "table/table_reader.h"
#include "test_util.h"

namespace tabulon {
namespace {

using test::DovecotServer;
using test::readFile;
using test::writeFile;

// A Dovecot to read from, and beside it a template of Name and Email, the
// password in a file and the certificate to trust.
class ConvertMailbox : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string problem = test::makeCertificate(dir);
        if (!problem.empty()) GTEST_SKIP() << problem;
        server = std::make_unique<DovecotServer>(dir);
        if (!server->unavailable().empty()) GTEST_SKIP() << server->unavailable();
        writeFile(dir.file("Template"), "Name:\rEmail:\r");
        secret("password", DovecotServer::kPassword);  // no line end, as printf writes it
    }
    // A file of secrets only its owner can read.
    void secret(const std::string& name, const std::string& text, mode_t mode = 0600) {
        writeFile(dir.file(name), text);
        ::chmod(dir.file(name).c_str(), mode);
    }
    // A form's message from `who`, after the `headers` given.
    void deliver(const std::string& who, const std::string& headers) {
        server->deliver("From: shop@example.com\r\n" + headers + "\r\nName: " + who +
                            "\r\nEmail: " + who + "@example.com\r\n",
                        1796126400);
    }
    // Runs tabulon-convert with `args` from the server's `folder` into out.csv,
    // through `wrapper` when one is given.
    test::ProgramResult run(std::vector<std::string> args, const std::string& folder = "INBOX",
                            std::vector<std::string> wrapper = {}) {
        args.insert(args.begin(),
                    {TABULON_CONVERT_BINARY, "-m", "-f", "csv", "-t", "Template", "-o", "out.csv"});
        args.insert(args.begin(), wrapper.begin(), wrapper.end());
        args.push_back(server->url(folder));
        return test::runAtHome(args, dir.path());
    }
    std::vector<std::vector<std::string>> rows() {
        return test::readTable("csv", dir.file("out.csv"), dir.path()).rows;
    }

    test::TempDir dir;
    std::unique_ptr<DovecotServer> server;
};

TEST_F(ConvertMailbox, FilteredMessagesBecomeRowsOrNothingChanges) {
    for (const char* who : {"Ann", "Bo", "Cai"})
        deliver(who, who == std::string("Bo") ? "Subject: Question\r\n" : "Subject: New order\r\n");
    secret("wrong", "guess\n");
    std::vector<std::vector<std::string>> rows = {
        {"Name", "Email"}, {"Ann", "Ann@example.com"}, {"Cai", "Cai@example.com"}};

    test::ProgramResult r =
        run({"--search-subject", "order", "--cacert", "cert.pem", "--password-file", "password"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(this->rows(), rows);

    struct Case {
        std::vector<std::string> args;
        const char* says;
        const char* folder = "INBOX";
    };
    for (const Case& c : {
             Case{{"--cacert", "cert.pem", "--password-file", "wrong"},
                  "refused the login of \"tab\""},
             Case{{"--password-file", "password"}, "certificate is not trusted"},
             Case{{"--cacert", "cert.pem", "--password-file", "password"},
                  "refused opening the folder \"Nothing\" (\"Mailbox doesn't exist: Nothing",
                  "Nothing"},
         }) {
        writeFile(dir.file("out.csv"), "previous");
        r = run(c.args, c.folder);
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_EQ(r.err.rfind("tabulon-convert: Cannot read mail from 127.0.0.1:", 0), 0u) << r.err;
        EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
        EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
        EXPECT_EQ(readFile(dir.file("out.csv")), "previous");
    }

    // The password typed at a prompt on the terminal, not shown (~/.netrc knows
    // only another server).
    secret(".netrc", "machine mail.other.example login tab password x\n");
    r = run(
        {"--search-subject", "order", "--cacert", "cert.pem"}, "INBOX",
        {"/usr/bin/python3", std::string(TABULON_SOURCE_DIR) + "/tests/mailbox/type_password.py",
         DovecotServer::kPassword});
    ASSERT_EQ(r.exitCode, 0) << r.out;
    EXPECT_NE(r.out.find("Password for tab at 127.0.0.1:"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find(DovecotServer::kPassword), std::string::npos) << r.out;
    EXPECT_EQ(this->rows(), rows);

    // Ctrl-C at the prompt: the terminal shows what is typed again.
    r = run({"--cacert", "cert.pem"}, "INBOX",
            {"/usr/bin/python3",
             std::string(TABULON_SOURCE_DIR) + "/tests/mailbox/type_password.py", "^C"});
    EXPECT_NE(r.exitCode, 0);
    EXPECT_EQ(r.out.substr(r.out.size() - 8), "echo on\n") << r.out;

    // The password from ~/.netrc: only the entry for this login at this host,
    // and only from a file other users cannot read.
    secret(".netrc",
           "machine 127.0.0.1 login other password secret\n"
           "machine 127.0.0.1 login tab password secret\n");
    r = run({"--search-subject", "order", "--cacert", "cert.pem"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(this->rows(), rows);
    struct Refusal {
        const char* netrc;
        mode_t mode;
        std::vector<std::string> args;
        const char* says;
    };
    for (const Refusal& c : {
             Refusal{"machine 127.0.0.1 login other password secret\n",
                     0600,
                     {},
                     "No password for \"tab\""},
             Refusal{"default login tab password secret\n", 0600, {}, "No password for \"tab\""},
             Refusal{"machine 127.0.0.1 login tab password secret\n",
                     0644,
                     {},
                     "other users can read it"},
             Refusal{"", 0600, {"--password-file", "shared"}, "other users can read it"},
         }) {
        secret(".netrc", c.netrc, c.mode);
        secret("shared", "secret\n", 0640);
        std::vector<std::string> args = c.args;
        args.insert(args.end(), {"--cacert", "cert.pem"});
        r = run(args);
        EXPECT_EQ(r.exitCode, 1) << c.netrc;
        EXPECT_NE(r.err.find(c.says), std::string::npos) << c.netrc << r.err;
    }
}

// A folder whose name is not ASCII, written as a user writes it or %-escaped,
// and shown as it reads; a message gone from the server is counted and the
// others still make the table.
TEST_F(ConvertMailbox, FolderNamesBeyondAsciiAndGoneMessages) {
    server->deliver("Subject: Auftrag\r\n\r\nName: Ann\r\nEmail: a@example.com\r\n", 1796126400,
                    "Auftr&AOQ-ge");
    for (const char* folder : {"Auftr\xc3\xa4ge", "Auftr%C3%A4ge", "Best%C3%A4nde"}) {
        std::filesystem::remove(dir.file("out.csv"));
        test::ProgramResult r =
            run({"--cacert", "cert.pem", "--password-file", "password"}, folder);
        if (folder[0] == 'B') {
            EXPECT_NE(r.err.find("opening the folder \"Best\xc3\xa4nde\""), std::string::npos)
                << r.err;
            continue;
        }
        ASSERT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(rows().size(), 2u) << folder;
    }

    test::HostileImapServer hostile(dir, "gone-fetch");
    ASSERT_EQ(hostile.unavailable(), "");
    std::filesystem::remove(dir.file("out.csv"));
    // With --new-only, the UID of a message gone is not recorded: asked for again.
    for (int run = 0; run < 2; ++run) {
        test::ProgramResult r =
            test::runAtHome({TABULON_CONVERT_BINARY, "-m", "-f", "csv", "-t", "Template", "-o",
                             "out.csv", "--report", "--new-only", "--cacert", "cert.pem",
                             "--password-file", "password", hostile.url()},
                            dir.path());
        ASSERT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(rows().size(), 2u);
        EXPECT_NE(r.err.find("Messages skipped (gone from the server before they were read): 1"),
                  std::string::npos)
            << r.err;
    }
}

// --new-only across runs as mail arrives: messages known by UID are not
// fetched again, and after the folder's UIDVALIDITY changes (every UID stale)
// the messages are known by Message-ID or content: no row twice, none lost.
TEST_F(ConvertMailbox, NewOnlyAddsArrivingMailOnce) {
    // The Name column after a run that adds the new messages.
    auto addNew = [&] {
        test::ProgramResult r =
            run({"--new-only", "--cacert", "cert.pem", "--password-file", "password"});
        EXPECT_EQ(r.exitCode, 0) << r.err;
        std::string names;
        for (const auto& row : rows())
            names += row.at(0) + " ";
        return names;
    };
    deliver("Ann", "Subject: Order\r\nMessage-ID: <ann@example.com>\r\n");
    deliver("Bo", "Subject: Order\r\n");
    // Marked deleted by a mail client: counted, never an empty row.
    deliver("Gone", "Subject: Order\r\nX-Mozilla-Status: 0009\r\n");
    EXPECT_EQ(addNew(), "Name Ann Bo ");
    deliver("Cai", "Subject: Order\r\n");
    EXPECT_EQ(addNew(), "Name Ann Bo Cai ");
    EXPECT_EQ(addNew(), "Name Ann Bo Cai ");  // nothing new: nothing fetched, nothing added

    // A new UIDVALIDITY: Dovecot numbers the folder anew (its indexes dropped,
    // which would keep the old one).
    for (const auto& entry : std::filesystem::directory_iterator(dir.file("mail"))) {
        if (entry.path().filename().string().rfind("dovecot.index", 0) == 0)
            std::filesystem::remove(entry.path());
    }
    std::string uidlist = readFile(dir.file("mail/dovecot-uidlist"));
    size_t v = uidlist.find(" V");
    ASSERT_NE(v, std::string::npos) << uidlist;
    writeFile(dir.file("mail/dovecot-uidlist"), uidlist.replace(v, 2, " V1"));
    deliver("Dee", "Subject: Order\r\n");
    EXPECT_EQ(addNew(), "Name Ann Bo Cai Dee ");
    // Four UIDs of the old UIDVALIDITY, and all five messages fetched again.
    for (const auto& entry :
         std::filesystem::directory_iterator(dir.path() + ".local/state/Tabulon/new-only")) {
        if (entry.path().extension() == ".lock") continue;
        std::string record = readFile(entry.path().string());
        std::regex uid("\nuid:");
        EXPECT_EQ(std::distance(std::sregex_iterator(record.begin(), record.end(), uid),
                                std::sregex_iterator()),
                  9)
            << record;
    }
}

// The rows --new-only adds are those a full conversion of the folder writes:
// the form is learned from the folder's first messages either way (here the
// closing line that every message has is no part of the Email value).
TEST_F(ConvertMailbox, NewOnlyRowsAreTheRowsOfAFullRun) {
    std::vector<std::string> args = {"--cacert", "cert.pem", "--password-file", "password"};
    for (const char* who : {"Ann", "Bo", "Cai", "Dee"}) {
        server->deliver(std::string("From: shop@example.com\r\nSubject: Order\r\n\r\nName: ") +
                            who + "\r\nEmail: " + who +
                            "@example.com\r\n\r\nThank you for shopping with Example Shop\r\n",
                        1796126400);
        if (std::string(who) == "Ann" || std::string(who) == "Bo") continue;
        args.push_back("--new-only");
        test::ProgramResult r = run(args);  // Ann, Bo and Cai; then Dee alone
        args.pop_back();
        ASSERT_EQ(r.exitCode, 0) << r.err;
    }
    std::string added = readFile(dir.file("out.csv"));
    ASSERT_EQ(run(args).exitCode, 0);
    EXPECT_EQ(added, readFile(dir.file("out.csv")));
}

}  // namespace
}  // namespace tabulon
