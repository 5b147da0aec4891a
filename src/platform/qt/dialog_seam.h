// The one way the app shows anything modal, as each implementation provides it:
// message boxes and the open, save and folder dialogs. Every call returns once
// the dialog has ended; dialogs open meanwhile run the event loop.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

namespace tabulon {

// The file types a save dialog offers, and how it keeps the name and the type
// in step, so that what the dialog shows, what it asks about and what is
// written agree.
struct FileTypes {
    QStringList filters;
    // The name that choosing `filter` gives the name typed so far.
    std::function<QString(const QString& name, const QString& filter)> renamed;
    // The filter that a name's extension stands for, or "" for none.
    std::function<QString(const QString& name)> filterOfName;
    // The file that choosing `path` with `filter` writes: whether to replace
    // it is asked about this file.
    std::function<QString(const QString& path, const QString& filter)> written;
    // The chosen file is added to rather than replaced: nothing is asked when
    // it exists.
    bool addedTo = false;
};

class Dialogs {
  public:
    virtual ~Dialogs() = default;

    // A modal message with an OK button.
    virtual void message(QWidget* parent, const QString& text) = 0;
    // The chosen file's path, or "" when cancelled. Any file may be chosen.
    // `title` says what the file is for ("Open" when empty).
    virtual QString openFile(QWidget* parent, const QString& title = QString()) = 0;
    // The chosen output path, or "" when cancelled. `proposedName` is offered in
    // `folder` (or the dialog's own default folder when empty).
    virtual QString saveFile(QWidget* parent, const QString& proposedName,
                             const QString& folder) = 0;
    // The chosen folder's path, or "" when cancelled. `acceptCaption` labels the
    // button that chooses.
    virtual QString chooseFolder(QWidget* parent, const QString& acceptCaption) = 0;

    // For quitting: ends every dialog now open as cancelled, and from now on
    // answers every dialog asked for as cancelled at once, without showing it.
    virtual void cancelAll() = 0;
    // How many dialogs are open now; a dialog opened while another waits counts too.
    virtual int openCount() const = 0;
    // The chosen files' paths (one or more), or none when cancelled. By default
    // the open dialog's single choice.
    virtual QStringList openFiles(QWidget* parent);
    // A save dialog that also offers the file types `types`: `*selectedFilter`
    // is preselected, and holds the type chosen on return. By default saveFile(),
    // leaving the type as it was.
    virtual QString saveFileWithTypes(QWidget* parent, const QString& proposedName,
                                      const QString& folder, const FileTypes& types,
                                      QString* selectedFilter);
};

}  // namespace tabulon
