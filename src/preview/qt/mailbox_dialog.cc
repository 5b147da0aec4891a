#include "preview/qt/mailbox_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

#include "mailbox/imap_command.h"
#include "mailbox/mailbox_address.h"
#include "platform/qt/dialogs.h"
#include "platform/qt/keyring.h"
#include "preview/qt/preview_model.h"
#include "preview/qt/preview_window.h"

namespace tabulon {
namespace {

QString fromUtf8(const std::string& text) {
    return QString::fromStdString(text);
}

std::string utf8(const QLineEdit* field) {
    return field->text().trimmed().toStdString();
}

// A sentence of a refusal that begins in lower case ("the date ...").
QString sentence(const std::string& text) {
    QString out = fromUtf8(text);
    if (!out.isEmpty()) out[0] = out[0].toUpper();
    if (!out.endsWith(QLatin1Char('.'))) out += QLatin1Char('.');
    return out;
}

// Modal to every window, as the file dialogs are: asked for from a preview in
// front, a dialog modal to the main window alone was given the keys, and then
// the window manager gave them to the main window, where no key did anything.
void showModal(MailboxDialog* dialog) {
    dialog->setWindowModality(Qt::ApplicationModal);
    dialog->show();
}

}  // namespace

MailboxDialog::MailboxDialog(QWidget* parent, FieldListOwner* owner, const MailboxSettings& entries,
                             const QString& password, bool remember)
    : QDialog(parent), owner_(owner) {
    setObjectName(QStringLiteral("MailboxDialog"));
    setWindowTitle(QStringLiteral("Convert from Mailbox"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(this);
    auto* intro = new QLabel(
        QStringLiteral("The messages of one folder of an IMAP mailbox, read over TLS, become "
                       "the rows of a spreadsheet. Nothing is changed on the server."));
    intro->setWordWrap(true);
    layout->addWidget(intro);

    auto* form = new QFormLayout;
    Server = addField(form, "Server", "&Server:", fromUtf8(entries.server));
    Server->setPlaceholderText(QStringLiteral("mail.example.com or mail.example.com:993"));
    User = addField(form, "User", "&User:", fromUtf8(entries.user));
    Folder = addField(form, "Folder", "F&older:", fromUtf8(entries.folder));
    Folder->setPlaceholderText(QStringLiteral("INBOX"));
    Subject = addField(form, "Subject", "Subject &contains:", fromUtf8(entries.subject));
    Subject->setPlaceholderText(QStringLiteral("any subject"));
    Since = addField(form, "Since", "Received s&ince:", fromUtf8(entries.since));
    Since->setPlaceholderText(QStringLiteral("YYYY-MM-DD (any day when empty)"));
    // The certificate file, typed or chosen with Browse...
    Certificate = new QLineEdit(fromUtf8(entries.certificate));
    Certificate->setObjectName(QStringLiteral("Certificate"));
    Certificate->setAccessibleName(QStringLiteral("Certificate file"));
    Certificate->setPlaceholderText(QStringLiteral("for a private server; the system's if empty"));
    auto* browse = new QPushButton(QStringLiteral("&Browse..."));
    browse->setObjectName(QStringLiteral("BrowseButton"));
    browse->setAutoDefault(false);  // Return stays Read Mailbox's
    browse->setAccessibleName(QStringLiteral("Browse for the certificate file"));
    connect(browse, &QPushButton::clicked, this, [this] {
        QString file = dialogs().openFile(this, QStringLiteral("Certificate File"));
        if (!file.isEmpty()) Certificate->setText(file);
    });
    auto* certificateRow = new QHBoxLayout;
    certificateRow->addWidget(Certificate, 1);
    certificateRow->addWidget(browse);
    auto* certificateLabel = new QLabel(QStringLiteral("Cer&tificate file:"));
    certificateLabel->setBuddy(Certificate);
    form->addRow(certificateLabel, certificateRow);
    Password = addField(form, "Password", "&Password:", password);
    Password->setEchoMode(QLineEdit::Password);
    RememberPassword = new QCheckBox(QStringLiteral("Re&member password in the desktop's keyring"));
    RememberPassword->setObjectName(QStringLiteral("RememberPassword"));
    RememberPassword->setChecked(remember);
    connect(RememberPassword, &QCheckBox::toggled, this, &MailboxDialog::showKeyringNote);
    form->addRow(QString(), RememberPassword);
    KeyringNote = new QLabel;
    KeyringNote->setObjectName(QStringLiteral("KeyringNote"));
    KeyringNote->setWordWrap(true);
    KeyringNote->hide();
    form->addRow(QString(), KeyringNote);
    layout->addLayout(form);

    // Made the dialog's at once: a default button set before the dialog is its
    // window would leave Return to whichever button last had the focus (Cancel).
    auto* buttons = new QDialogButtonBox(this);
    ReadButton = buttons->addButton(QStringLiteral("&Read Mailbox"), QDialogButtonBox::AcceptRole);
    ReadButton->setObjectName(QStringLiteral("ReadButton"));
    ReadButton->setDefault(true);
    QPushButton* cancel = buttons->addButton(QDialogButtonBox::Cancel);
    cancel->setObjectName(QStringLiteral("CancelButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, &MailboxDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &MailboxDialog::reject);
    layout->addWidget(buttons);
    setMinimumWidth(480);

    // The first empty field takes the focus: the server on a first use, the
    // password afterwards, and a password given back after a refused login.
    QLineEdit* first = Password;
    for (QLineEdit* field : {Server, User, Password}) {
        if (field->text().isEmpty()) {
            first = field;
            break;
        }
    }
    first->setFocus();
    first->selectAll();
    fillFromKeyring();
}

QLineEdit* MailboxDialog::addField(QFormLayout* form, const char* name, const char* label,
                                   const QString& value) {
    auto* field = new QLineEdit(value);
    field->setObjectName(QLatin1String(name));
    QString text = QString::fromUtf8(label);
    field->setAccessibleName(text.remove(QLatin1Char('&')).remove(QLatin1Char(':')));
    form->addRow(QString::fromUtf8(label), field);  // the label is the field's buddy
    return field;
}

void MailboxDialog::fillFromKeyring() {
    if (Server->text().trimmed().isEmpty() || User->text().trimmed().isEmpty()) return;
    QPointer<MailboxDialog> self(this);
    QString account = this->account();
    keyring().read(account, [self, account](const QString& password, const QString& note) {
        if (!self || self->account() != account) return;
        self->keyringTrouble_ = note;
        self->showKeyringNote();
        if (password.isEmpty()) return;
        self->keptInKeyring_ = true;
        if (!self->Password->text().isEmpty()) return;  // typed meanwhile
        self->Password->setText(password);
        self->RememberPassword->setChecked(true);
        if (self->Password->hasFocus()) self->ReadButton->setFocus();
    });
}

void MailboxDialog::showKeyringNote() {
    // Only when the password is to be kept: otherwise the keyring is not used.
    bool shown = RememberPassword->isChecked() && !keyringTrouble_.isEmpty();
    KeyringNote->setText(keyringTrouble_);
    if (shown == KeyringNote->isVisible()) return;
    KeyringNote->setVisible(shown);
    // Room for the note, wrapped at the dialog's width, or none.
    layout()->activate();
    resize(width(), layout()->hasHeightForWidth() ? layout()->totalHeightForWidth(width())
                                                  : sizeHint().height());
}

QString MailboxDialog::account() const {
    return User->text().trimmed() + QLatin1Char('@') + Server->text().trimmed();
}

MailboxSettings MailboxDialog::entries() const {
    MailboxSettings entries;
    entries.server = utf8(Server);
    entries.user = utf8(User);
    entries.folder = utf8(Folder);
    entries.subject = utf8(Subject);
    entries.since = utf8(Since);
    entries.certificate = utf8(Certificate);
    entries.rememberPassword = RememberPassword->isChecked() ? "yes" : "";
    return entries;
}

Status MailboxDialog::query(MailboxQuery* query) const {
    MailboxSettings asked = entries();
    Status status = mailboxAddressOf(asked.server, asked.user, asked.folder, &query->account.url);
    if (!status.ok()) return status;
    query->account.password = Password->text().toStdString();
    query->account.caFile = asked.certificate;
    // Said in the preview, once this dialog has closed.
    query->account.passwordHint = "it as the Password of File > Convert from Mailbox";
    query->account.certificateHint = "as the dialog's \"Certificate file\"";
    if (!asked.certificate.empty()) {
        query->account.certificateHint +=
            ", but the one given there, \"" + asked.certificate + "\", does not match the server's";
    }
    query->search.subject = asked.subject;
    query->search.since = asked.since;
    ImapAddress address;
    status = parseImapAddress(query->account.url, &address);
    if (!status.ok()) return status;
    std::string command;
    status = imapSearchCommand(query->search, 0, 0, &command);
    return status.ok() ? status : status.withMessage(sentence(status.message()).toStdString());
}

void MailboxDialog::accept() {
    MailboxQuery asked;
    Status status = query(&asked);
    if (!status.ok()) {
        dialogs().message(this, fromUtf8(status.message()));
        return;
    }
    // Remembered for the next time; a convenience only: a file that cannot be
    // written leaves the next dialog empty.
    SpreadsheetSettings settings = readSpreadsheetSettings(spreadsheetSettingsPath());
    MailboxSettings entries = this->entries();
    settings.mailbox = entries;
    static_cast<void>(writeSpreadsheetSettings(spreadsheetSettingsPath(), settings));

    QString password = Password->text();
    bool remember = RememberPassword->isChecked();
    bool kept = keptInKeyring_;
    bool told = KeyringNote->isVisible();  // that the keyring cannot keep it
    QString account = this->account();
    QWidget* parent = parentWidget();
    FieldListOwner* owner = owner_;
    QDialog::accept();
    auto* preview = new PreviewWindow(parent, owner, asked);
    connect(
        preview, &PreviewWindow::readingFinished, preview,
        [=] {
            // A mailbox that could not be read at all (a wrong password, no
            // such folder): after the message, the dialog comes back as it was
            // left, and the keyring is left as it was.
            if (!preview->readingFailure().isEmpty() && preview->model->rowCount() == 0) {
                preview->close();
                showModal(new MailboxDialog(parent, owner, entries, password, remember));
                return;
            }
            auto warn = [](const QString& note) {
                if (!note.isEmpty()) qWarning("tabulon: %s", qPrintable(note));
            };
            // Asked to keep the password and not told yet that it cannot be:
            // said once, over the preview.
            QPointer<PreviewWindow> shown(preview);
            auto tell = [shown, told](const QString& note) {
                if (!note.isEmpty() && !told && shown) dialogs().message(shown, note);
            };
            if (remember && !password.isEmpty()) {
                keyring().write(account, password, tell);
            } else if (!remember && kept) {
                keyring().remove(account, warn);
            }
        },
        Qt::SingleShotConnection);
    showPreview(parent, preview);
}

void convertFromMailbox(QWidget* parent, FieldListOwner* owner) {
    SpreadsheetSettings settings = readSpreadsheetSettings(spreadsheetSettingsPath());
    showModal(new MailboxDialog(parent, owner, settings.mailbox, QString(),
                                settings.mailbox.rememberPassword == "yes"));
}

}  // namespace tabulon
