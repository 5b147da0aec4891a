// The main window's side of templates: reading and writing the field list, the
// Templates folder, its popup and the choice of another folder.
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QSignalBlocker>

#include "app/qt/window1.h"
#include "platform/file_info.h"
#include "platform/qt/dialogs.h"
#include "platform/qt/qt_paths.h"
#include "templates/field_names_file.h"
#include "templates/qt/list_box_fields.h"
#include "templates/templates_folder.h"

namespace tabulon {
namespace {

const char kTemplateMissing[] =
    "The selected field names file does not exist. Field names files must be located in the "
    "templates folder.";
const char kTemplateUnreadable[] = "An error occurred reading the field names file.";

QString copyMessage(const CopyReport& report) {
    QString destination = fromNative(report.destination);
    if (report.failed.empty())
        return QStringLiteral("The Templates directory was moved to ") + destination;
    QStringList names;
    for (const std::string& name : report.failed)
        names << fromNative(name);
    return QStringLiteral("Some templates could not be copied to ") + destination +
           QStringLiteral(": ") + names.join(QStringLiteral(", "));
}

}  // namespace

bool Window1::readfields(const QString& path) {
    FieldList names;
    bool read = readFieldNames(nativePath(path), &names).ok();
    setListBoxFields(ListBox1, names);
    return read;
}

void Window1::writefields(const QString& path) {
    Status status = writeFieldNames(nativePath(path), fields());
    if (!status.ok()) {
        dialogs().message(this, QStringLiteral("The field names could not be saved. ") +
                                    QString::fromStdString(status.message()));
    }
}

FieldList Window1::fields() const {
    return listBoxFields(ListBox1);
}

QAbstractItemModel* Window1::fieldListModel() const {
    return ListBox1->model();
}

void Window1::selectTemplate(const QString& name) {
    update_fieldfiles();
    int row = PopupMenu1->findText(name, Qt::MatchFixedString | Qt::MatchCaseSensitive);
    if (row >= 0) PopupMenu1->setCurrentIndex(row);
}

void Window1::loadTemplate(const QString& path) {
    if (!fileExists(nativePath(path))) {
        dialogs().message(this, QLatin1String(kTemplateMissing));
    } else if (!readfields(path)) {
        dialogs().message(this, QLatin1String(kTemplateUnreadable));
    }
}

void Window1::saveChangedFields() {
    if (updatedfields && fileExists(nativePath(myfullname))) writefields(myfullname);
    updatedfields = false;
}

void Window1::showTemplateFolder() {
    // The label is one line across the page: a path too long for it loses its
    // middle (both the start and the folder's own name stay in view), and shows
    // whole in the tooltip and to a screen reader.
    myTemplateLoc->setText(myTemplateLoc->fontMetrics().elidedText(myfilepath, Qt::ElideMiddle,
                                                                   myTemplateLoc->width()));
    myTemplateLoc->setToolTip(myfilepath);
    myTemplateLoc->setAccessibleName(myfilepath);
}

void Window1::templates_copy() {
    std::string destination = templatesCopyFolder();
    if (!fileExists(destination)) {
        std::string source = nativePath(myfilepath);
        copyFileOrFolder(source, destination, [this](const CopyReport& report) {
            dialogs().message(this, copyMessage(report));
        });
        // The copy keeps the source folder's name ("Templates" unless the user
        // had chosen another folder).
        QString name = QDir(fromNative(source)).dirName();
        QString copy = fromNative(destination) + name + QLatin1Char('/');
        // Where nothing could be copied, the folder beside the app stays in use.
        if (isFolder(nativePath(copy))) myfilepath = copy;
    }
    myTemplatescopy = false;
}

void Window1::update_fieldfiles() {
    QList<int> matches;
    {
        QSignalBlocker blocker(PopupMenu1);
        PopupMenu1->clear();
        for (const std::string& name : listTemplatesFolder(nativePath(myfilepath))) {
            QString row = fromNative(name);
            if (row.compare(myfilename, Qt::CaseInsensitive) == 0) matches << PopupMenu1->count();
            PopupMenu1->addItem(row);
        }
        PopupMenu1->setCurrentIndex(-1);
    }
    for (int row : matches)
        PopupMenu1->setCurrentIndex(row);  // runs PopupMenu1_Change
}

void Window1::PopupMenu1_Change() {
    if (PopupMenu1->currentIndex() < 0) return;
    saveChangedFields();
    myfilename = PopupMenu1->currentText();
    myfullname = joinPath(myfilepath, myfilename);
    loadTemplate(myfullname);
}

void Window1::BevelButton1_Action() {
    QString folder = dialogs().chooseFolder(this, QStringLiteral("Select"));
    if (folder.isEmpty()) return;
    saveChangedFields();
    if (!folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('/');
    myfilepath = folder;
    myfullname = joinPath(myfilepath, myfilename);
    showTemplateFolder();
    update_fieldfiles();
}

void Window1::CheckBox3_Action() {
    mymultiplefiles = CheckBox3->isChecked();
    PopupMenu1->setEnabled(mymultiplefiles);
}

}  // namespace tabulon
