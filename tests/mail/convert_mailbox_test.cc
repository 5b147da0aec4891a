// tabulon-convert --messages with a mailbox as its input, run as a user runs it
// against a real Dovecot: filters, where the password comes from (a file, a
// prompt on a terminal, ~/.netrc), and failures that leave an older table as it
// was.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "mail/imap_servers.h"
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
        writeFile(dir.file("password"), std::string(DovecotServer::kPassword) + "\n");
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
    writeFile(dir.file("wrong"), "guess\n");
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
                  "refused opening the folder \"Nothing\"",
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
    writeFile(dir.file(".netrc"), "machine mail.other.example login tab password x\n");
    r = run({"--search-subject", "order", "--cacert", "cert.pem"}, "INBOX",
            {"/usr/bin/python3", std::string(TABULON_SOURCE_DIR) + "/tests/mail/type_password.py",
             DovecotServer::kPassword});
    ASSERT_EQ(r.exitCode, 0) << r.out;
    EXPECT_NE(r.out.find("Password for tab at 127.0.0.1:"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find(DovecotServer::kPassword), std::string::npos) << r.out;
    EXPECT_EQ(this->rows(), rows);

    // The password from ~/.netrc, as libcurl reads it.
    writeFile(dir.file(".netrc"), "machine 127.0.0.1 login tab password secret\n");
    r = run({"--search-subject", "order", "--cacert", "cert.pem"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(this->rows(), rows);
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
