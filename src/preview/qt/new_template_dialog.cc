#include "preview/qt/new_template_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QEventLoop>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressDialog>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>
#include <QVBoxLayout>
#include <atomic>
#include <thread>

#include "conversion/converter.h"
#include "platform/qt/dialogs.h"
#include "platform/qt/qt_paths.h"
#include "preview/new_template.h"
#include "preview/qt/field_list_owner.h"

namespace tabulon {
namespace {

// The bar follows the reading a few dozen times a second, and shows once the
// reading has lasted long enough to be seen.
constexpr int kProgressIntervalMs = 30;
constexpr int kShowProgressAfterMs = 300;

}  // namespace

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

    // Made the dialog's at once: a default button set before the dialog is its
    // window would leave Return to whichever button last had the focus (Cancel).
    auto* box = new QDialogButtonBox(this);
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

namespace {

// Reads the labels of `mail` on a thread of its own, with its progress shown
// over `parent` while this thread's loop keeps the windows painted. Cancel, or
// a quit, stops the reading: false then, and nothing to say.
bool readProposal(QWidget* parent, const QString& mail, FieldList* proposed, Status* status) {
    std::atomic<bool> stop{false};
    std::atomic<bool> done{false};
    std::atomic<uint64_t> read{0};
    std::atomic<uint64_t> total{0};
    QEventLoop loop;
    std::thread reader([&] {
        auto progress = [&](uint64_t bytes, uint64_t size) {
            read.store(bytes, std::memory_order_relaxed);
            total.store(size, std::memory_order_relaxed);
        };
        *status = proposeTemplate(nativePath(mail), proposed, progress, &stop);
        done.store(true);
        QMetaObject::invokeMethod(&loop, "quit", Qt::QueuedConnection);
    });
    QProgressDialog shown(QStringLiteral("Reading the labels of \u201c%1\u201d\u2026")
                              .arg(QFileInfo(mail).fileName()),
                          QStringLiteral("Cancel"), 0, 100, parent);
    shown.setObjectName(QStringLiteral("ReadingProgress"));
    shown.setWindowTitle(QStringLiteral("New Template from Mail"));
    shown.setWindowModality(Qt::WindowModal);
    shown.setAutoClose(false);
    shown.setAutoReset(false);
    shown.setMinimumDuration(kShowProgressAfterMs);
    shown.setValue(0);
    QObject::connect(&shown, &QProgressDialog::canceled, &loop, [&] {
        stop.store(true);
        loop.quit();
    });
    QTimer bar;
    QObject::connect(&bar, &QTimer::timeout, &shown,
                     [&] { shown.setValue(progressPercent(read.load(), total.load())); });
    bar.start(kProgressIntervalMs);
    loop.exec();
    // Back here before the end only when cancelled or quitting: the reading
    // stops too.
    if (!done.load()) stop.store(true);
    reader.join();
    return !stop.load();
}

}  // namespace

void newTemplateFromMail(QWidget* parent, FieldListOwner* owner) {
    QString mail = dialogs().openFile(parent, QStringLiteral("New Template from Mail"));
    if (mail.isEmpty()) return;
    FieldList proposed;
    Status status;
    if (!readProposal(parent, mail, &proposed, &status)) return;
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
