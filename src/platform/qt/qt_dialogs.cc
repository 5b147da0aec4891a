#include "platform/qt/qt_dialogs.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>

namespace tabulon {
namespace {

// Most file systems take names of up to 255 bytes.
constexpr int kMaxNameBytes = 255;

bool tooLong(const QString& path) {
    return QFile::encodeName(QFileInfo(path).fileName()).size() > kMaxNameBytes;
}

// Qt's save dialog greys Save for a name too long for the folder without a
// word; this says why, under the name, while the file that the name typed
// would write (`written`) has too long a name.
void explainLongNames(QFileDialog& dialog, std::function<QString(const QString&)> written) {
    auto* nameField = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    auto* grid = qobject_cast<QGridLayout*>(dialog.layout());
    if (nameField == nullptr || grid == nullptr) return;
    auto* hint = new QLabel(&dialog);
    hint->setObjectName(QStringLiteral("NameTooLong"));
    hint->setWordWrap(true);
    hint->hide();
    grid->addWidget(hint, grid->rowCount(), 0, 1, grid->columnCount());
    QObject::connect(
        nameField, &QLineEdit::textChanged, hint, [hint, written](const QString& text) {
            QString name = QFileInfo(written(text)).fileName();
            qsizetype bytes = QFile::encodeName(name).size();
            hint->setVisible(tooLong(name));
            hint->setText(QStringLiteral("This name is too long to save: a file name can have at "
                                         "most %1 bytes, and this one has %2. Please shorten it.")
                              .arg(kMaxNameBytes)
                              .arg(bytes));
        });
}

// Qt's save dialog, keeping the name and the type in step (FileTypes): choosing
// a type renames the file, typing a known extension chooses its type, and
// "replace?" is asked about the file that will really be written.
class TypedSaveDialog : public QFileDialog {
  public:
    TypedSaveDialog(QWidget* parent, const FileTypes& types, std::function<int(QDialog&)> execute)
        : QFileDialog(parent), types_(types), execute_(std::move(execute)) {
        setFileMode(QFileDialog::AnyFile);
        setAcceptMode(QFileDialog::AcceptSave);
        // The one used everywhere, whose name field and type list are known.
        setOption(QFileDialog::DontUseNativeDialog);
        setOption(QFileDialog::DontConfirmOverwrite);  // asked in accept(), about the real file
        // The types by their names: their patterns would crowd the names out of
        // the list, and the tab format's "(*)" says nothing.
        setOption(QFileDialog::HideNameFilterDetails);
        setNameFilters(types_.filters);
        explainLongNames(*this, [this](const QString&) { return writtenFile(); });
        nameField_ = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        typeList_ = findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        QComboBox* typeList = typeList_;
        // A type chosen in the list comes first as a new index, then to Qt's own
        // handling, which would put the type's extension in place of anything
        // after the name's last dot ("x.mbox Converted" became "x.xlsx"). The
        // name as it was is kept here and renamed once Qt is done.
        if (typeList != nullptr && nameField_ != nullptr) {
            connect(typeList, &QComboBox::currentIndexChanged, this,
                    [this] { nameBefore_ = nameField_->text(); });
        }
        connect(this, &QFileDialog::filterSelected, this, [this] { rename(typeChosen()); });
        if (nameField_ != nullptr) {
            connect(nameField_, &QLineEdit::textEdited, this, &TypedSaveDialog::followName);
            // Qt selects the file named in its list as the folder loads; a slow
            // load can leave a second, stale row selected, the folder itself,
            // which greys Save. One file is saved: the name typed is what counts.
            connect(nameField_, &QLineEdit::textChanged, this, [this] {
                auto* list = findChild<QAbstractItemView*>(QStringLiteral("listView"));
                if (list != nullptr && list->selectionModel() != nullptr &&
                    list->selectionModel()->selectedRows().size() > 1)
                    list->selectionModel()->clearSelection();
            });
        }
    }

    // Shows `name` with `filter` chosen, as the dialog opens.
    void propose(const QString& name, const QString& filter) {
        if (!filter.isEmpty()) selectNameFilter(filter);
        // The name last: choosing a filter would change its extension.
        selectFile(name);
        nameBefore_ = QString();
    }

    // The filter of the type chosen, in full (the list shows only its name).
    QString typeChosen() const {
        int index = typeList_ != nullptr ? typeList_->currentIndex() : -1;
        return types_.filters.value(index, selectedNameFilter());
    }

    // The file that accepting now writes.
    QString writtenFile() const {
        QStringList files = selectedFiles();
        if (files.isEmpty()) return QString();
        return types_.written ? types_.written(files.constFirst(), typeChosen())
                              : files.constFirst();
    }

    void accept() override {
        QStringList files = selectedFiles();
        if (files.isEmpty() || QFileInfo(files.constFirst()).isDir())
            return QFileDialog::accept();  // opens the folder typed or chosen
        QFileInfo target(writtenFile());
        if (tooLong(target.fileName())) return;  // as the hint under the name says
        if (target.exists() && !types_.addedTo) {
            QMessageBox question(QMessageBox::Warning, windowTitle(),
                                 QStringLiteral("\u201c%1\u201d already exists.\nDo you want to "
                                                "replace it?")
                                     .arg(target.fileName()),
                                 QMessageBox::Yes | QMessageBox::No, this);
            question.setDefaultButton(QMessageBox::No);
            if (execute_(question) != QMessageBox::Yes) return;
        }
        QFileDialog::accept();
    }

  private:
    void rename(const QString& filter) {
        if (nameField_ == nullptr || !types_.renamed) return;
        QString name = nameBefore_.isNull() ? nameField_->text() : nameBefore_;
        nameBefore_ = QString();
        if (!name.isEmpty()) nameField_->setText(types_.renamed(name, filter));
    }

    // A name typed with a known extension chooses that type.
    void followName(const QString& name) {
        if (!types_.filterOfName) return;
        QString filter = types_.filterOfName(name);
        if (filter.isEmpty() || filter == typeChosen()) return;
        int cursor = nameField_->cursorPosition();
        selectNameFilter(filter);
        nameBefore_ = QString();
        nameField_->setText(name);  // as typed, whatever Qt made of it
        nameField_->setCursorPosition(cursor);
    }

    FileTypes types_;
    std::function<int(QDialog&)> execute_;
    QLineEdit* nameField_ = nullptr;
    QComboBox* typeList_ = nullptr;
    QString nameBefore_;
};

}  // namespace

int QtDialogs::execute(QDialog& dialog) {
    if (cancelling_) return QDialog::Rejected;
    QPointer<QDialog> entry(&dialog);
    open_.append(entry);
    int result = dialog.exec();
    open_.removeOne(entry);
    return cancelling_ ? QDialog::Rejected : result;
}

void QtDialogs::cancelAll() {
    cancelling_ = true;
    for (const QPointer<QDialog>& dialog : open_) {
        if (dialog) dialog->reject();
    }
}

void QtDialogs::message(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Tabulon"), text, QMessageBox::Ok, parent);
    // Paths and addresses in messages can be copied.
    box.setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    execute(box);
}

QString QtDialogs::openFile(QWidget* parent, const QString& title) {
    QFileDialog dialog(parent, title);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (execute(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
    return dialog.selectedFiles().constFirst();
}

QString QtDialogs::saveFile(QWidget* parent, const QString& proposedName, const QString& folder) {
    QString start = folder.isEmpty() ? proposedName : QDir(folder).filePath(proposedName);
    QFileDialog dialog(parent, QString(), start);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    explainLongNames(dialog, [](const QString& text) { return text; });
    if (execute(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
    return dialog.selectedFiles().constFirst();
}

QStringList QtDialogs::openFiles(QWidget* parent) {
    QFileDialog dialog(parent);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    if (execute(dialog) != QDialog::Accepted) return QStringList();
    return dialog.selectedFiles();
}

QString QtDialogs::saveFileWithTypes(QWidget* parent, const QString& proposedName,
                                     const QString& folder, const FileTypes& types,
                                     QString* selectedFilter) {
    TypedSaveDialog dialog(parent, types, [this](QDialog& question) { return execute(question); });
    if (!folder.isEmpty()) dialog.setDirectory(folder);
    dialog.propose(proposedName, selectedFilter != nullptr ? *selectedFilter : QString());
    if (execute(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
    if (selectedFilter != nullptr) *selectedFilter = dialog.typeChosen();
    return dialog.writtenFile();
}

QString QtDialogs::chooseFolder(QWidget* parent, const QString& acceptCaption) {
    QFileDialog dialog(parent);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    dialog.setLabelText(QFileDialog::Accept, acceptCaption);
    if (execute(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
    return dialog.selectedFiles().constFirst();
}

}  // namespace tabulon
