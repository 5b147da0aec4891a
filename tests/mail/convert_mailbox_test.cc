// tabulon-convert --messages with a mailbox as its input, run as a user runs it
// against a real Dovecot: filters, where the password comes from (a file, a
// prompt on a terminal, ~/.netrc), and failures that leave an older table as it
// was.
#include <gtest/gtest.h>

#include <filesystem>
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

TEST(ConvertMailbox, FilteredMessagesBecomeRowsOrNothingChanges) {
    test::TempDir dir;
    std::string problem = test::makeCertificate(dir);
    if (!problem.empty()) GTEST_SKIP() << problem;
    DovecotServer server(dir);
    if (!server.unavailable().empty()) GTEST_SKIP() << server.unavailable();
    for (const char* who : {"Ann", "Bo", "Cai"}) {
        std::string subject = who == std::string("Bo") ? "Question" : "New order";
        server.deliver("From: shop@example.com\r\nSubject: " + subject + "\r\n\r\nName: " + who +
                           "\r\nEmail: " + who + "@example.com\r\n",
                       1796126400);
    }
    writeFile(dir.file("Template"), "Name:\rEmail:\r");
    writeFile(dir.file("password"), std::string(DovecotServer::kPassword) + "\n");
    writeFile(dir.file("wrong"), "guess\n");
    // Runs tabulon-convert with `args`, through `wrapper` when one is given.
    auto run = [&](std::vector<std::string> args, std::vector<std::string> wrapper = {}) {
        args.insert(args.begin(), {TABULON_CONVERT_BINARY, "-m", "-f", "csv", "-t", "Template",
                                   "-o", "out.csv", "--search-subject", "order"});
        args.insert(args.begin(), wrapper.begin(), wrapper.end());
        args.push_back(server.url());
        return test::runAtHome(args, dir.path());
    };
    std::vector<std::vector<std::string>> rows = {
        {"Name", "Email"}, {"Ann", "Ann@example.com"}, {"Cai", "Cai@example.com"}};

    test::ProgramResult r = run({"--cacert", "cert.pem", "--password-file", "password"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(test::readTable("csv", dir.file("out.csv"), dir.path()).rows, rows);

    std::string server_name = "tabulon-convert: Cannot read mail from 127.0.0.1:";
    struct Case {
        std::vector<std::string> args;
        const char* says;
    };
    for (const Case& c : {
             Case{{"--cacert", "cert.pem", "--password-file", "wrong"}, "refused the login"},
             Case{{"--password-file", "password"}, "certificate is not trusted"},
         }) {
        writeFile(dir.file("out.csv"), "previous");
        r = run(c.args);
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_EQ(r.err.rfind(server_name, 0), 0u) << r.err;
        EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
        EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
        EXPECT_EQ(readFile(dir.file("out.csv")), "previous");
    }

    // The password typed at a prompt on the terminal, not shown (~/.netrc knows
    // only another server).
    writeFile(dir.file(".netrc"), "machine mail.other.example login tab password x\n");
    std::vector<std::string> typing = {
        "/usr/bin/python3", std::string(TABULON_SOURCE_DIR) + "/tests/mail/type_password.py",
        DovecotServer::kPassword};
    r = run({"--cacert", "cert.pem"}, typing);
    ASSERT_EQ(r.exitCode, 0) << r.out;
    EXPECT_NE(r.out.find("Password for tab at 127.0.0.1:"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find(DovecotServer::kPassword), std::string::npos) << r.out;
    EXPECT_EQ(test::readTable("csv", dir.file("out.csv"), dir.path()).rows, rows);

    // The password from ~/.netrc, as libcurl reads it.
    writeFile(dir.file(".netrc"), "machine 127.0.0.1 login tab password secret\n");
    r = run({"--cacert", "cert.pem"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(test::readTable("csv", dir.file("out.csv"), dir.path()).rows, rows);
}

// --new-only across runs as mail arrives: messages known by UID are not
// fetched again, and after the folder's UIDVALIDITY changes (every UID stale)
// the messages are known by Message-ID or content: no row twice, none lost.
TEST(ConvertMailbox, NewOnlyAddsArrivingMailOnce) {
    test::TempDir dir;
    std::string problem = test::makeCertificate(dir);
    if (!problem.empty()) GTEST_SKIP() << problem;
    DovecotServer server(dir);
    if (!server.unavailable().empty()) GTEST_SKIP() << server.unavailable();
    auto deliver = [&](const std::string& who, const std::string& extra) {
        server.deliver("From: shop@example.com\r\nSubject: Order\r\n" + extra + "\r\nName: " + who +
                           "\r\nEmail: " + who + "@example.com\r\n",
                       1796126400);
    };
    writeFile(dir.file("Template"), "Name:\rEmail:\r");
    writeFile(dir.file("password"), std::string(DovecotServer::kPassword) + "\n");
    auto run = [&]() {
        return test::runAtHome(
            {TABULON_CONVERT_BINARY, "-m", "--new-only", "-f", "csv", "-t", "Template", "-o",
             "out.csv", "--cacert", "cert.pem", "--password-file", "password", server.url()},
            dir.path());
    };
    auto names = [&]() {
        std::string names;
        for (const auto& row : test::readTable("csv", dir.file("out.csv"), dir.path()).rows)
            names += row.at(0) + " ";
        return names;
    };
    deliver("Ann", "Message-ID: <ann@example.com>\r\n");
    deliver("Bo", "");
    // Marked deleted by a mail client: counted, never an empty row.
    deliver("Gone", "X-Mozilla-Status: 0009\r\n");
    test::ProgramResult r = run();
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(names(), "Name Ann Bo ");
    deliver("Cai", "");
    r = run();
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(names(), "Name Ann Bo Cai ");
    r = run();  // nothing new: nothing fetched, nothing added
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(names(), "Name Ann Bo Cai ");

    // A new UIDVALIDITY: Dovecot numbers the folder anew (its indexes dropped,
    // which would keep the old one).
    for (const auto& entry : std::filesystem::directory_iterator(dir.file("mail"))) {
        if (entry.path().filename().string().rfind("dovecot.index", 0) == 0)
            std::filesystem::remove(entry.path());
    }
    std::string uidlist = readFile(dir.file("mail/dovecot-uidlist"));
    size_t v = uidlist.find(" V");
    ASSERT_NE(v, std::string::npos) << uidlist;
    writeFile(dir.file("mail/dovecot-uidlist"),
              uidlist.substr(0, v) + " V1" + uidlist.substr(v + 2));
    deliver("Dee", "");
    r = run();
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(names(), "Name Ann Bo Cai Dee ");
    // Four UIDs of the old UIDVALIDITY, and all five messages fetched again.
    for (const auto& entry :
         std::filesystem::directory_iterator(dir.path() + ".local/state/Tabulon/new-only")) {
        if (entry.path().extension() == ".lock") continue;
        std::string record = readFile(entry.path().string());
        size_t uids = 0;
        for (size_t at = record.find("\nuid:"); at != std::string::npos;
             at = record.find("\nuid:", at + 1))
            ++uids;
        EXPECT_EQ(uids, 9u) << record;
    }
}

}  // namespace
}  // namespace tabulon
