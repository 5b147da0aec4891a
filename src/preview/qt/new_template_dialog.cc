#include "preview/qt/new_template_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

#include "platform/qt/dialogs.h"
#include "platform/qt/qt_paths.h"
#include "preview/new_template.h"
#include "preview/qt/field_list_owner.h"

namespace tabulon {

NewTemplateDialog::NewTemplateDialog(QWidget* parent, FieldListOwner* owner,
                                     const FieldList& proposed, const QString& name)
    : QDialog(parent), owner_(owner) {
    setObjectName(QStringLiteral("NewTemplateDialog"));
    setWindowTitle(QStringLiteral("New Template from Mail"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(this);
    auto* intro = new QLabel(QStringLiteral(
        "These labels stand in most of the messages. Untick those you do not want, and put "
        "them in the order the columns should have."));
    intro->setWordWrap(true);
    layout->addWidget(intro);

    auto* middle = new QHBoxLayout;
    FieldChoices = new QListWidget;
    FieldChoices->setObjectName(QStringLiteral("FieldChoices"));
    FieldChoices->setAccessibleName(QStringLiteral("Labels proposed"));
    for (const std::string& field : proposed) {
        auto* item = new QListWidgetItem(QString::fromUtf8(field), FieldChoices);
        item->setData(Qt::UserRole, QByteArray::fromStdString(field));
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Checked);
    }
    FieldChoices->setCurrentRow(0);
    middle->addWidget(FieldChoices, 1);
    auto* buttons = new QVBoxLayout;
    UpButton = new QPushButton(QStringLiteral("&Up"));
    UpButton->setObjectName(QStringLiteral("UpButton"));
    DownButton = new QPushButton(QStringLiteral("&Down"));
    DownButton->setObjectName(QStringLiteral("DownButton"));
    // Return saves: only Save is a default button.
    UpButton->setAutoDefault(false);
    DownButton->setAutoDefault(false);
    connect(UpButton, &QPushButton::clicked, this, [this] { moveSelected(-1); });
    connect(DownButton, &QPushButton::clicked, this, [this] { moveSelected(1); });
    buttons->addWidget(UpButton);
    buttons->addWidget(DownButton);
    buttons->addStretch();
    middle->addLayout(buttons);
    layout->addLayout(middle, 1);
    // Moving the current row from the keyboard, without leaving the list.
    connect(new QShortcut(QKeySequence(QStringLiteral("Ctrl+Up")), this), &QShortcut::activated,
            this, [this] { moveSelected(-1); });
    connect(new QShortcut(QKeySequence(QStringLiteral("Ctrl+Down")), this), &QShortcut::activated,
            this, [this] { moveSelected(1); });

    auto* form = new QFormLayout;
    TemplateName = new QLineEdit(name);
    TemplateName->setObjectName(QStringLiteral("TemplateName"));
    form->addRow(QStringLiteral("Template &name:"), TemplateName);
    layout->addLayout(form);

    auto* box = new QDialogButtonBox;
    SaveButton = box->addButton(QStringLiteral("Save"), QDialogButtonBox::AcceptRole);
    SaveButton->setObjectName(QStringLiteral("SaveButton"));
    SaveButton->setDefault(true);
    // No template without a name: Return does nothing until one is given.
    SaveButton->setEnabled(!name.isEmpty());
    connect(TemplateName, &QLineEdit::textChanged, SaveButton,
            [this](const QString& text) { SaveButton->setEnabled(!text.isEmpty()); });
    CancelButton = box->addButton(QDialogButtonBox::Cancel);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    connect(box, &QDialogButtonBox::accepted, this, [this] {
        if (saveTemplate()) accept();
    });
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(box);
    resize(360, 380);
}

FieldList NewTemplateDialog::chosenFields() const {
    FieldList fields;
    for (int row = 0; row < FieldChoices->count(); ++row) {
        QListWidgetItem* item = FieldChoices->item(row);
        if (item->checkState() == Qt::Checked)
            fields.push_back(item->data(Qt::UserRole).toByteArray().toStdString());
    }
    return fields;
}

void NewTemplateDialog::moveSelected(int step) {
    int row = FieldChoices->currentRow();
    int other = row + step;
    if (row < 0 || other < 0 || other >= FieldChoices->count()) return;
    QListWidgetItem* item = FieldChoices->takeItem(row);
    FieldChoices->insertItem(other, item);
    FieldChoices->setCurrentRow(other);
}

bool NewTemplateDialog::saveTemplate() {
    FieldList fields = chosenFields();
    if (fields.empty()) {
        dialogs().message(this, QStringLiteral("Please tick at least one field."));
        return false;
    }
    QString name = TemplateName->text();
    Status status = saveNewTemplate(nativePath(owner_->templatesFolder()),
                                    QFile::encodeName(name).toStdString(), fields);
    if (!status.ok()) {
        dialogs().message(this, QString::fromStdString(status.message()));
        return false;
    }
    owner_->selectTemplate(name);
    return true;
}

void newTemplateFromMail(QWidget* parent, FieldListOwner* owner) {
    QString mail = dialogs().openFile(parent);
    if (mail.isEmpty()) return;
    FieldList proposed;
    Status status = proposeTemplate(nativePath(mail), &proposed);
    if (!status.ok()) {
        dialogs().message(parent, QString::fromStdString(status.message()));
        return;
    }
    if (proposed.empty()) {
        dialogs().message(parent, QStringLiteral("No field labels were found in \"%1\".")
                                      .arg(QFileInfo(mail).fileName()));
        return;
    }
    auto* dialog =
        new NewTemplateDialog(parent, owner, proposed, QFileInfo(mail).completeBaseName());
    dialog->open();
}

}  // namespace tabulon
