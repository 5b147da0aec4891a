// File > Convert from Mailbox against a real Dovecot: the dialog filled as a
// person fills it, the matching messages in the preview, what is remembered
// (never the password in a file), the keyring used only when asked, a wrong
// password said once, Stop, and a save of only the new messages.
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

#include "mailbox/imap_servers.h"
#include "platform/qt/keyring.h"
#include "preview/preview_fixture.h"
#include "preview/qt/mailbox_dialog.h"
#include "preview/qt/preview_model.h"
#include "preview/spreadsheet_settings.h"
#include "table/table_reader.h"

namespace tabulon::test {
namespace {

// A keyring in memory that counts what it was asked to do.
class MemoryKeyring : public Keyring {
  public:
    void read(const QString& account, ReadFn done) override { done(kept.value(account), trouble); }
    void write(const QString& account, const QString& password, DoneFn done) override {
        ++writes;
        if (trouble.isEmpty()) kept[account] = password;
        done(trouble);
    }
    void remove(const QString& account, DoneFn done) override {
        kept.remove(account);
        done(QString());
    }
    QHash<QString, QString> kept;
    int writes = 0;
    QString trouble;  // why nothing can be kept, when nothing can
};

std::string message(const std::string& subject, const std::string& name) {
    return "From: forms@shop.example\r\nMessage-ID: <" + name +
           "@shop.example>\r\nSubject: " + subject + "\r\n\r\nName: " + name +
           "\r\nEmail: " + name + "@mail.example\r\n";
}

class MailboxDialogTest : public FormMailTest {
  protected:
    void SetUp() override {
        FormMailTest::SetUp();
        setListBoxFields(window->ListBox1, {"Name:", "Email:"});
        problem = makeCertificate(dir);
        if (!problem.empty()) return;
        server = std::make_unique<DovecotServer>(dir);
        problem = server->unavailable();
        if (!problem.empty()) return;
        for (const char* name : {"Ann", "Bo", "Cai"})
            server->deliver(message(*name == 'B' ? "Question" : "New order", name), 1796126400);
        auto memory = std::make_unique<MemoryKeyring>();
        keys = memory.get();
        setKeyring(std::move(memory));
    }
    void TearDown() override {
        setKeyring(nullptr);
        FormMailTest::TearDown();
    }
    // Opens File > Convert from Mailbox.
    MailboxDialog* openDialog() {
        window->handleMenuItem(QStringLiteral("FileConvertFromMailbox"));
        QApplication::processEvents();
        return window->findChild<MailboxDialog*>();
    }
    // Fills the dialog for the test's server and reads; the preview, read to
    // the end (none when it closed after a failure).
    // `certificate`: the certificate file given, by default the server's.
    PreviewWindow* read(MailboxDialog* dialog, const char* password, bool remember,
                        std::string certificate = "cert.pem") {
        std::string url = server->url();  // imaps://tab@127.0.0.1:PORT/INBOX
        size_t at = url.find('@');
        dialog->Server->setText(
            QString::fromStdString(url.substr(at + 1, url.rfind('/') - at - 1)));
        dialog->User->setText(QString::fromLatin1(DovecotServer::kUser));
        dialog->Subject->setText(QStringLiteral("order"));
        if (!certificate.empty() && certificate[0] != '/') certificate = dir.file(certificate);
        dialog->Certificate->setText(QString::fromStdString(certificate));
        dialog->Password->setText(QString::fromLatin1(password));
        dialog->RememberPassword->setChecked(remember);
        dialog->ReadButton->click();
        QPointer<PreviewWindow> preview;
        EXPECT_TRUE(waitForEvents([&] {
            preview = window->findChild<PreviewWindow*>();
            return preview != nullptr;
        }));
        // Read to the end, or closed after a failure.
        EXPECT_TRUE(waitForEvents([&] { return !preview || !preview->isReading(); }));
        QApplication::processEvents();
        return preview;
    }

    std::string problem;
    std::unique_ptr<DovecotServer> server;
    MemoryKeyring* keys = nullptr;
};

TEST_F(MailboxDialogTest, ShowsTheFilteredMessagesAndKeepsThePasswordOnlyWhenAsked) {
    if (!problem.empty()) GTEST_SKIP() << problem;
    struct Case {
        const char* password;
        bool remember;
        const char* certificate;  // the certificate file given
        const char* says;         // the message shown, if any; otherwise the rows are read
        int writes;               // passwords written to the keyring so far
    };
    const char* good = DovecotServer::kPassword;
    const char* other = "/etc/ssl/certs/ca-certificates.crt";  // not the server's
    for (const Case& c :
         {Case{"guess", true, "cert.pem", "refused the login of \"tab\"", 0},
          Case{good, true, "", "given as the dialog's \"Certificate", 0},
          Case{good, true, other, "\"Certificate file\", but the one given there", 0},
          Case{good, false, "cert.pem", "", 0}, Case{good, true, "cert.pem", "", 1}}) {
        SCOPED_TRACE(c.password);
        ::remove(dir.file("script.log").c_str());
        MailboxDialog* dialog = openDialog();
        ASSERT_NE(dialog, nullptr);
        QPointer<PreviewWindow> preview = read(dialog, c.password, c.remember, c.certificate);
        ASSERT_EQ(preview == nullptr, *c.says != '\0');
        if (preview) {
            EXPECT_EQ(shown(preview), (std::vector<TableRow>{{"Ann", "Ann@mail.example"},
                                                             {"Cai", "Cai@mail.example"}}));
        }
        Lines log = dialogLog();
        ASSERT_EQ(log.size(), *c.says ? 1u : 0u);
        if (*c.says) {
            // Said once, naming the server; then the dialog is back as it was left.
            ASSERT_EQ(log.size(), 1u);
            EXPECT_EQ(log[0].rfind("message Cannot read mail from 127.0.0.1:", 0), 0u) << log[0];
            EXPECT_NE(log[0].find(c.says), std::string::npos) << log[0];
            QApplication::processEvents();
            dialog = window->findChild<MailboxDialog*>();
            ASSERT_NE(dialog, nullptr);
            EXPECT_EQ(dialog->Password->text().toStdString(), c.password);
            dialog->reject();
        }
        EXPECT_EQ(keys->writes, c.writes);
        if (preview) preview->close();
        QApplication::processEvents();
    }
    // Remembered: all but the password, which only the keyring holds.
    std::string settings = readFile(spreadsheetSettingsPath());
    EXPECT_NE(settings.find("mailbox-user=tab\n"), std::string::npos) << settings;
    EXPECT_NE(settings.find("mailbox-subject=order\n"), std::string::npos) << settings;
    EXPECT_EQ(settings.find(DovecotServer::kPassword), std::string::npos) << settings;
    MailboxDialog* again = openDialog();
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->Server->text().toStdString(),
              readSpreadsheetSettings(spreadsheetSettingsPath()).mailbox.server);
    EXPECT_EQ(again->Password->text().toStdString(), DovecotServer::kPassword);
    EXPECT_TRUE(again->RememberPassword->isChecked());
    // Unticked: forgotten.
    again->RememberPassword->setChecked(false);
    read(again, DovecotServer::kPassword, false)->close();
    EXPECT_TRUE(keys->kept.isEmpty());
}

// A keyring that cannot keep the password is told once, when the password is
// to be kept: after the first reading with the box ticked, then in the dialog
// while the box (kept ticked from the last time) is ticked.
TEST_F(MailboxDialogTest, AKeyringThatCannotKeepIsToldOnceWhenAsked) {
    if (!problem.empty()) GTEST_SKIP() << problem;
    keys->trouble = QStringLiteral("no keyring here");
    QPointer<PreviewWindow> preview = read(openDialog(), DovecotServer::kPassword, true);
    ASSERT_TRUE(preview);
    EXPECT_EQ(dialogLog(), Lines{"message no keyring here"});
    preview->close();
    MailboxDialog* dialog = openDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->RememberPassword->isChecked());
    EXPECT_FALSE(dialog->KeyringNote->isHidden());
    dialog->RememberPassword->setChecked(false);
    EXPECT_TRUE(dialog->KeyringNote->isHidden());
    read(dialog, DovecotServer::kPassword, true)->close();
    EXPECT_EQ(dialogLog(), Lines{"message no keyring here"});  // not said again
}

TEST_F(MailboxDialogTest, OnlyNewMessagesAddsTheMessagesTheTableLacks) {
    if (!problem.empty()) GTEST_SKIP() << problem;
    PreviewWindow* preview = read(openDialog(), DovecotServer::kPassword, false);
    ASSERT_NE(preview, nullptr);
    preview->OnlyNew->setChecked(true);
    auto save = [&](const char* format) {
        answerDialogs({dir.file("orders.") + format + "\t" + format});
        return saveAndWait(preview);
    };
    // What each save did, said in the status line.
    auto said = [&](const std::string& note) {
        return preview->StatusText->text().toStdString().ends_with(". " + note);
    };
    ASSERT_TRUE(save("csv"));
    EXPECT_TRUE(said("\u201corders.csv\u201d was written with 2 rows."));
    // Other columns (a Date column more) are refused, in the window's words.
    preview->HeaderDate->setChecked(true);
    ASSERT_TRUE(waitForEvents([&] { return !preview->isReading(); }));
    ::remove(dir.file("script.log").c_str());
    EXPECT_FALSE(save("csv"));
    EXPECT_NE(dialogLog().back().find("(untick \"Only new messages\" to replace it, or choose "
                                      "another file); nothing was changed"),
              std::string::npos);
    preview->HeaderDate->setChecked(false);
    ASSERT_TRUE(waitForEvents([&] { return !preview->isReading(); }));
    ASSERT_TRUE(save("xlsx"));
    server->deliver(message("New order", "Dee"), 1796126400);
    for (const char* format : {"csv", "xlsx"}) {
        std::string file = std::string("\u201corders.") + format + "\u201d";
        ASSERT_TRUE(save(format));
        EXPECT_TRUE(said("1 row was added to " + file + "."));
        ASSERT_TRUE(save(format));  // nothing new
        EXPECT_TRUE(said(file + " already had every message: nothing was added."));
        EXPECT_EQ(readTable(format, dir.file("orders.") + format, dir.path()).rows,
                  (std::vector<std::vector<std::string>>{{"Name", "Email"},
                                                         {"Ann", "Ann@mail.example"},
                                                         {"Cai", "Cai@mail.example"},
                                                         {"Dee", "Dee@mail.example"}}))
            << format;
    }
}

// The server, user and folder as typed make the address read; port 143 is
// plain IMAP, where TLS must begin with STARTTLS.
TEST_F(MailboxDialogTest, TheAddressIsMadeOfWhatWasTyped) {
    const struct {
        const char* server;
        const char* folder;
        const char* address;  // or the start of the message refusing it
    } cases[] = {
        {"mail.example.com", "", "imaps://me%40example.com@mail.example.com/INBOX"},
        {"mail.example.com:143", "Forms/Orders 2026",
         "imap://me%40example.com@mail.example.com:143/Forms/Orders%202026"},
        {"imaps://mail.example.com", "", "Please give the server as a name"},
        {"mail.example.com", "Aufträge ~-_.%",
         "imaps://me%40example.com@mail.example.com/Auftr%C3%A4ge%20~-_.%25"},
    };
    MailboxDialog* dialog = openDialog();
    ASSERT_NE(dialog, nullptr);
    for (const auto& c : cases) {
        dialog->Server->setText(QString::fromLatin1(c.server));
        dialog->User->setText(QStringLiteral("me@example.com"));
        dialog->Folder->setText(QString::fromUtf8(c.folder));
        MailboxQuery query;
        Status status = dialog->query(&query);
        EXPECT_EQ(status.ok() ? query.account.url : status.message().substr(0, 32), c.address);
    }
    // Browse... fills in the certificate file chosen.
    answerDialogs({dir.file("cert.pem")});
    dialog->findChild<QPushButton*>(QStringLiteral("BrowseButton"))->click();
    EXPECT_EQ(dialog->Certificate->text().toStdString(), dir.file("cert.pem"));
    // A refusal of the search is told as a sentence.
    dialog->Server->setText(QStringLiteral("mail.example.com"));
    dialog->Since->setText(QStringLiteral("2026-02-30"));
    MailboxQuery query;
    EXPECT_EQ(dialog->query(&query).message(),
              "The date \"2026-02-30\" is not a day written YYYY-MM-DD.");
    dialog->reject();
}

TEST_F(MailboxDialogTest, StopEndsAReadingTheServerLetsStall) {
    if (!problem.empty()) GTEST_SKIP() << problem;
    HostileImapServer hostile(dir, "stall-fetch");
    if (!hostile.unavailable().empty()) GTEST_SKIP() << hostile.unavailable();
    MailboxQuery query;
    query.account.url = hostile.url();
    query.account.password = "any";
    query.account.caFile = dir.file("cert.pem");
    query.account.stallSeconds = 3600;  // only Stop ends the wait
    auto* preview = new PreviewWindow(window.get(), window.get(), query);
    EXPECT_TRUE(waitForEvents([&] { return preview->StatusText->text().contains("of 2"); }));
    EXPECT_TRUE(preview->isReading());
    preview->StopButton->click();
    EXPECT_TRUE(waitForEvents([&] { return !preview->isReading(); }));
    EXPECT_TRUE(preview->readingFailure().isEmpty());
    EXPECT_TRUE(
        preview->StatusText->text().startsWith("Reading stopped at 0 of 2 messages; Save "
                                               "fetches all 2 again"));
    EXPECT_TRUE(dialogLog().empty());
    // Closing the window while the server stalls returns as soon.
    preview->rerun();
    preview->close();
    QApplication::processEvents();
}

}  // namespace
}  // namespace tabulon::test
