// Dialogs that answer from a script file instead of a person. Each file dialog
// takes the script's next line as the chosen path (an empty line, or no line
// left, cancels); each message box is dismissed at once. A line "<stay open>"
// keeps the next dialog open, message boxes included, as a person who walked
// away would, until cancelAll() ends it as cancelled. Every dialog shown is
// appended to "<script>.log", one line each: "message <text>" (CR and LF written
// as \r and \n), "open", "save <proposed name>", "folder".
//
// An open dialog that takes several files takes them from one line, separated
// by Tabs. A save dialog that offers file types takes "PATH", keeping the type
// preselected, or "PATH<Tab>TYPE", TYPE being what the app should read as the
// chosen type (a filter's text, or a format's name such as "csv").
#pragma once

#include <QList>

#include "platform/qt/dialog_seam.h"

class QEventLoop;

namespace tabulon {

class ScriptedDialogs : public Dialogs {
  public:
    explicit ScriptedDialogs(QString scriptPath) : script_(std::move(scriptPath)) {}

    void message(QWidget* parent, const QString& text) override;
    QString openFile(QWidget* parent, const QString& title = QString()) override;
    QString saveFile(QWidget* parent, const QString& proposedName, const QString& folder) override;
    QString chooseFolder(QWidget* parent, const QString& acceptCaption) override;
    void cancelAll() override;
    int openCount() const override { return static_cast<int>(open_.size()); }
    QStringList openFiles(QWidget* parent) override;
    QString saveFileWithTypes(QWidget* parent, const QString& proposedName, const QString& folder,
                              const FileTypes& types, QString* selectedFilter) override;

  private:
    void log(const QString& line);
    // The script's line `index`, read afresh so that a test may add lines as it goes.
    QString line(int index) const;
    // The next answer of a file dialog that logged `shown`; "" when cancelled.
    QString answer(const QString& shown);
    // Runs the event loop until cancelAll().
    void stayOpen();

    QString script_;
    int answered_ = 0;
    bool cancelling_ = false;
    QList<QEventLoop*> open_;
};

}  // namespace tabulon
