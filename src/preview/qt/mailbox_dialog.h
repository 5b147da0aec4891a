// File > Convert from Mailbox: asks for a mailbox folder (server, user, folder),
// the filters of its messages and the password, then shows the matching
// messages in the spreadsheet preview. All but the password is remembered in
// "Tabulon Settings"; the password is kept in the desktop's keyring only when
// "Remember password" is ticked, and read from there the next time.
#pragma once

#include <QDialog>

#include "mailbox/mailbox_conversion.h"
#include "platform/status.h"
#include "preview/spreadsheet_settings.h"

class QCheckBox;
class QFormLayout;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tabulon {

class FieldListOwner;

class MailboxDialog : public QDialog {
    Q_OBJECT
  public:
    // Filled with `entries`, and with the password the keyring keeps for them
    // when `password` is empty.
    MailboxDialog(QWidget* parent, FieldListOwner* owner, const MailboxSettings& entries,
                  const QString& password = QString(), bool remember = false);

    // What the entries ask for, or why they cannot be read.
    Status query(MailboxQuery* query) const;
    MailboxSettings entries() const;
    // The keyring's name for the account the entries name.
    QString account() const;

    // Checks the entries (a message says what is wrong), remembers them, keeps
    // or forgets the password, and opens the preview.
    void accept() override;

    QLineEdit* Server;
    QLineEdit* User;
    QLineEdit* Folder;
    QLineEdit* Subject;
    QLineEdit* Since;
    QLineEdit* Certificate;
    QLineEdit* Password;
    QCheckBox* RememberPassword;
    QLabel* KeyringNote;
    QPushButton* ReadButton;

  private:
    QLineEdit* addField(QFormLayout* form, const char* name, const char* label,
                        const QString& value);
    void fillFromKeyring();
    // The note on the keyring's trouble, shown while the password is to be kept.
    void showKeyringNote();

    FieldListOwner* owner_;
    bool keptInKeyring_ = false;  // the keyring had a password for the account
    QString keyringTrouble_;      // why the keyring cannot be used, if it cannot
};

// Opens the dialog, filled with what was asked for last.
void convertFromMailbox(QWidget* parent, FieldListOwner* owner);

}  // namespace tabulon
