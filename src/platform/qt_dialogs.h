// Dialogs shown with Qt's message box and file dialogs.
#pragma once

#include "platform/dialogs.h"

namespace tabulon {

class QtDialogs : public Dialogs {
  public:
    void message(QWidget* parent, const QString& text) override;
    QString openFile(QWidget* parent) override;
    QString saveFile(QWidget* parent, const QString& proposedName, const QString& folder) override;
    QString chooseFolder(QWidget* parent, const QString& acceptCaption) override;
    QStringList openFiles(QWidget* parent) override;
    QString saveFileWithTypes(QWidget* parent, const QString& proposedName, const QString& folder,
                              const QStringList& filters, QString* selectedFilter) override;
};

}  // namespace tabulon
