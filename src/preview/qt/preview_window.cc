#include "preview/qt/preview_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QProgressBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QShortcut>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include "conversion/converter.h"
#include "platform/qt/accessible_role.h"
#include "platform/qt/dialogs.h"
#include "platform/qt/qt_paths.h"
#include "platform/qt/window_place.h"
#include "platform/secret_memory.h"
#include "preview/qt/field_list_owner.h"
#include "preview/qt/preview_model.h"
#include "preview/remembered_export.h"
#include "preview/save_choice.h"
#include "table/table_writer.h"

namespace tabulon {
namespace {

// How often the table takes the rows read meanwhile: often enough that the first
// rows show at once, seldom enough that a big file is not slowed by repainting.
constexpr int kPollIntervalMs = 40;
// Edits of the field list come in bursts (a drag, a few clicks): read again once
// they pause.
constexpr int kRerunDelayMs = 250;
// The bar follows the save a few dozen times a second; it shows for a save that
// lasts long enough to be seen.
constexpr int kSaveProgressIntervalMs = 30;
constexpr int kShowSaveProgressAfterMs = 300;

// The save's progress: over the preview, but not modal, so that closing the
// preview and quitting still reach the save and stop it. Close (Ctrl+W) and
// Escape cancel it.
class SaveProgressDialog : public QProgressDialog, public MenuClient {
  public:
    SaveProgressDialog(const QString& file, QWidget* parent)
        : QProgressDialog(QStringLiteral("Writing \u201c%1\u201d\u2026").arg(file),
                          QStringLiteral("Cancel"), 0, 100, parent) {
        setObjectName(QStringLiteral("SaveProgress"));
        setWindowTitle(QStringLiteral("Saving Spreadsheet"));
        setWindowModality(Qt::NonModal);
        setAutoClose(false);
        setAutoReset(false);
        setMinimumDuration(kShowSaveProgressAfterMs);
        // Room for the title, however short the file's name.
        setMinimumWidth(360);
        if (auto* bar = findChild<QProgressBar*>())
            bar->setAccessibleName(QStringLiteral("Saving"));
        // As its close button: cancel() alone would hide the bar, not stop the save.
        addMenuHandler(menu_item::kFileClose, [this] {
            close();
            return true;
        });
    }
};

QString number(uint64_t value) {
    return QLocale(QLocale::English).toString(static_cast<qulonglong>(value));
}

TableFormat formatOf(const QString& filter) {
    return formatOfFilter(filter.toStdString()).value_or(TableFormat::kXlsx);
}

// The offered formats, and the rules that keep the save dialog's name, type and
// written file in step.
FileTypes saveTypes() {
    FileTypes types;
    for (TableFormat format : offeredFormats())
        types.filters << QString::fromStdString(formatFilter(format));
    types.renamed = [](const QString& name, const QString& filter) {
        return fromNative(renamedForFormat(nativePath(name), formatOf(filter)));
    };
    types.filterOfName = [](const QString& name) {
        std::optional<TableFormat> format = offeredFormatOfName(nativePath(name));
        return format ? QString::fromStdString(formatFilter(*format)) : QString();
    };
    types.written = [](const QString& path, const QString& filter) {
        return fromNative(resolveSaveTarget(nativePath(path), formatOf(filter)).path);
    };
    return types;
}

// "host/folder" of a mailbox.
QString mailboxName(const MailboxQuery& mailbox) {
    ImapAddress address;
    // The dialog refused an address that does not parse; the address as given otherwise.
    if (!parseImapAddress(mailbox.account.url, &address).ok())
        return QString::fromStdString(mailbox.account.url);
    return QString::fromStdString(address.host + "/" + address.folder);
}

QString windowTitleFor(const QStringList& inputs, const std::optional<MailboxQuery>& mailbox) {
    QString name = QFileInfo(inputs.value(0)).fileName();
    if (mailbox) name = mailboxName(*mailbox);
    if (inputs.size() > 1) name += QStringLiteral(" and %1 more").arg(inputs.size() - 1);
    return name + QStringLiteral(" \u2013 Spreadsheet Preview");
}

}  // namespace

PreviewWindow::PreviewWindow(QWidget* parent, FieldListOwner* owner, QStringList inputs)
    : PreviewWindow(parent, owner, std::move(inputs), std::nullopt) {}

PreviewWindow::PreviewWindow(QWidget* parent, FieldListOwner* owner, MailboxQuery mailbox)
    : PreviewWindow(parent, owner, {}, std::move(mailbox)) {}

PreviewWindow::PreviewWindow(QWidget* parent, FieldListOwner* owner, QStringList inputs,
                             std::optional<MailboxQuery> mailbox)
    : QWidget(parent, Qt::Window),
      owner_(owner),
      menuOwner_(dynamic_cast<MenuClient*>(parent)),
      inputs_(std::move(inputs)),
      mailbox_(std::move(mailbox)) {
    setObjectName(QStringLiteral("PreviewWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(windowTitleFor(inputs_, mailbox_));
    setAccessibleRole(this, QAccessible::Window);
    AddMenuHandlers();
    createControls();
    pollTimer_ = new QTimer(this);
    pollTimer_->setInterval(kPollIntervalMs);
    connect(pollTimer_, &QTimer::timeout, this, &PreviewWindow::poll);
    rerunTimer_ = new QTimer(this);
    rerunTimer_->setSingleShot(true);
    rerunTimer_->setInterval(kRerunDelayMs);
    connect(rerunTimer_, &QTimer::timeout, this, &PreviewWindow::rerun);
    saveTimer_ = new QTimer(this);
    saveTimer_->setInterval(kSaveProgressIntervalMs);
    connect(saveTimer_, &QTimer::timeout, this, [this] {
        // Once stopped, the progress stays away: the save ends without writing.
        if (exporting_ && SaveProgress && !exporting_->stopped())
            SaveProgress->setValue(exporting_->percent());
    });
    followFieldList();
    resize(760, 480);
    rerun();
}

PreviewWindow::~PreviewWindow() {
    exporting_.reset();  // stops a save under way and waits for it
}

void PreviewWindow::createControls() {
    auto* layout = new QVBoxLayout(this);

    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("Header columns:")));
    SpreadsheetSettings settings = readSpreadsheetSettings(spreadsheetSettingsPath());
    auto header = [&](const char* name, const char* text) {
        auto* box = new QCheckBox(QLatin1String(text));
        box->setObjectName(QLatin1String(name));
        std::string title = std::string(name).substr(6);  // "HeaderDate" -> "Date"
        box->setChecked(std::find(settings.headers.begin(), settings.headers.end(), title) !=
                        settings.headers.end());
        connect(box, &QCheckBox::toggled, this, &PreviewWindow::rerun);
        top->addWidget(box);
        return box;
    };
    HeaderDate = header("HeaderDate", "&Date");
    HeaderFrom = header("HeaderFrom", "&From");
    HeaderSubject = header("HeaderSubject", "S&ubject");
    top->addStretch();
    OnlyNew = new QCheckBox(QStringLiteral("Only &new messages"));
    OnlyNew->setObjectName(QStringLiteral("OnlyNew"));
    OnlyNew->setToolTip(
        QStringLiteral("Save adds to the chosen table only the messages it does not hold yet"));
    OnlyNew->setVisible(mailbox_.has_value());
    top->addWidget(OnlyNew);
    SaveAttachments = new QCheckBox(QStringLiteral("Save a&ttached files beside the table"));
    SaveAttachments->setObjectName(QStringLiteral("SaveAttachments"));
    SaveAttachments->setToolTip(
        QStringLiteral("Save also writes the files the messages carry into a folder named after "
                       "the table, and lists them in an Attachments column"));
    top->addWidget(SaveAttachments);
    SaveButton = new QPushButton(QStringLiteral("&Save As Spreadsheet..."));
    SaveButton->setObjectName(QStringLiteral("SaveButton"));
    SaveButton->setDefault(true);
    connect(SaveButton, &QPushButton::clicked, this, &PreviewWindow::save);
    top->addWidget(SaveButton);
    layout->addLayout(top);

    model = new PreviewModel(this);
    PreviewTable = new QTableView;
    PreviewTable->setObjectName(QStringLiteral("PreviewTable"));
    PreviewTable->setModel(model);
    PreviewTable->setWordWrap(false);
    PreviewTable->setAccessibleName(QStringLiteral("Spreadsheet preview"));
    // Tab leaves the table for the next control; arrows and Page Down move in it,
    // which has the focus first.
    PreviewTable->setTabKeyNavigation(false);
    PreviewTable->setAlternatingRowColors(true);
    PreviewTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    PreviewTable->horizontalHeader()->setDefaultSectionSize(150);
    PreviewTable->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    PreviewTable->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    layout->addWidget(PreviewTable, 1);
    PreviewTable->setFocus();

    auto* status = new QHBoxLayout;
    StatusText = new QLabel;
    StatusText->setObjectName(QStringLiteral("StatusText"));
    StatusText->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // A long message (a server's refusal) wraps rather than widening the window.
    StatusText->setWordWrap(true);
    status->addWidget(StatusText, 1);
    ReadProgress = new QProgressBar;
    ReadProgress->setObjectName(QStringLiteral("ReadProgress"));
    ReadProgress->setRange(0, 100);
    ReadProgress->setAccessibleName(QStringLiteral("Reading"));
    ReadProgress->setMaximumWidth(220);
    status->addWidget(ReadProgress);
    StopButton = new QPushButton(QStringLiteral("S&top Reading"));
    StopButton->setObjectName(QStringLiteral("StopButton"));
    StopButton->hide();
    connect(StopButton, &QPushButton::clicked, this, &PreviewWindow::stopReading);
    status->addWidget(StopButton);
    layout->addLayout(status);

    MissingText = new QLabel;
    MissingText->setObjectName(QStringLiteral("MissingText"));
    MissingText->setWordWrap(true);
    layout->addWidget(MissingText);

    LabelsText =
        new QLabel(QStringLiteral("&Labels in the mail that the template lacks (click "
                                  "one to add it as a column):"));
    LabelsText->setObjectName(QStringLiteral("LabelsText"));
    LabelsText->setWordWrap(true);
    layout->addWidget(LabelsText);
    // However many labels the mail holds, they wrap within the window's width
    // (two rows show, more scroll), so the window still fits a small screen.
    LabelList = new QListWidget;
    LabelList->setObjectName(QStringLiteral("LabelList"));
    LabelList->setFlow(QListView::LeftToRight);
    LabelList->setWrapping(true);
    LabelList->setResizeMode(QListView::Adjust);
    LabelList->setSpacing(2);
    LabelList->setAccessibleName(QStringLiteral("Labels the template lacks"));
    LabelList->setUniformItemSizes(false);
    LabelList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    LabelList->setFixedHeight(2 * (fontMetrics().height() + 10) + 2 * LabelList->frameWidth());
    LabelsText->setBuddy(LabelList);
    auto add = [this](QListWidgetItem* item) { addLabel(item->data(Qt::UserRole).toString()); };
    connect(LabelList, &QListWidget::itemClicked, this, add);
    connect(LabelList, &QListWidget::itemActivated, this, add);
    layout->addWidget(LabelList);
    LabelsText->hide();
    LabelList->hide();

    auto* close = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(close, &QShortcut::activated, this, &QWidget::close);
}

void PreviewWindow::followFieldList() {
    QAbstractItemModel* fields = owner_->fieldListModel();
    auto later = [this] { rerunTimer_->start(); };
    connect(fields, &QAbstractItemModel::rowsInserted, this, later);
    connect(fields, &QAbstractItemModel::rowsRemoved, this, later);
    connect(fields, &QAbstractItemModel::rowsMoved, this, later);
    connect(fields, &QAbstractItemModel::dataChanged, this, later);
    connect(fields, &QAbstractItemModel::modelReset, this, later);
}

std::vector<std::string> PreviewWindow::headers() const {
    std::vector<std::string> names;
    if (HeaderDate->isChecked()) names.push_back("Date");
    if (HeaderFrom->isChecked()) names.push_back("From");
    if (HeaderSubject->isChecked()) names.push_back("Subject");
    return names;
}

void PreviewWindow::stopReading() {
    if (!reader_ || !isReading()) return;
    readingStopped_ = true;
    reader_->stop();
}

bool PreviewWindow::isReading() const {
    // Until the last rows and the report are shown, not only read.
    return pollTimer_->isActive() || rerunTimer_->isActive();
}

void PreviewWindow::rerun() {
    rerunTimer_->stop();
    reader_.reset();  // stops the reading under way and waits for it
    MessageConversionOptions options;
    options.fields = owner_->fields();
    options.headers = headers();
    options.countLabels = true;
    std::vector<std::string> paths;
    for (const QString& input : inputs_)
        paths.push_back(nativePath(input));
    if (mailbox_) {
        reader_ = std::make_unique<PreviewReader>(*mailbox_, options);
    } else {
        reader_ = std::make_unique<PreviewReader>(std::move(paths), options);
    }
    failure_.clear();
    readingStopped_ = false;
    model->reset(reader_->columnNames());
    PreviewTable->resizeColumnsToContents();
    ReadProgress->setValue(0);
    ReadProgress->show();
    StopButton->setVisible(mailbox_.has_value());
    StatusText->setText(mailbox_ ? QStringLiteral("Connecting to %1...").arg(mailboxName(*mailbox_))
                                 : QStringLiteral("Reading..."));
    MissingText->clear();
    reader_->start();
    pollTimer_->start();
}

void PreviewWindow::poll() {
    if (!reader_) return;
    // The progress first: rows taken afterwards are never fewer than it counts.
    PreviewReader::Progress progress = reader_->progress();
    bool firstRows = model->rowCount() == 0;
    std::vector<TableRow> rows;
    reader_->takeRows(&rows);
    model->appendRows(&rows);
    if (firstRows && model->rowCount() > 0) {
        PreviewTable->resizeColumnsToContents();
        for (int column = 0; column < model->columnCount(); ++column) {
            if (PreviewTable->columnWidth(column) > 320) PreviewTable->setColumnWidth(column, 320);
        }
    }
    ReadProgress->setValue(progressPercent(progress.bytesRead, progress.totalBytes));
    showCounts(progress);
    if (!progress.done) return;
    pollTimer_->stop();
    ReadProgress->hide();
    bool focusStop = StopButton->hasFocus();
    StopButton->hide();
    if (focusStop) PreviewTable->setFocus();
    showReport();
    emit readingFinished();
}

void PreviewWindow::showCounts(const PreviewReader::Progress& progress) {
    QString text = QStringLiteral("%1 messages").arg(number(progress.messages));
    if (progress.messages == 1) text = QStringLiteral("1 message");
    if (!progress.done) text = QStringLiteral("Reading... ") + text;
    if (mailbox_ && !progress.done && progress.totalBytes > 0) {
        text = QStringLiteral("Reading %1 of %2 messages from %3...")
                   .arg(number(progress.bytesRead), number(progress.totalBytes),
                        mailboxName(*mailbox_));
    }
    // A mailbox's progress counts the messages fetched of those found.
    if (mailbox_ && progress.done && readingStopped_ && progress.bytesRead < progress.totalBytes) {
        text = QStringLiteral(
                   "Reading stopped at %1 of %2 messages; Save fetches all %2 again, "
                   "not only those shown")
                   .arg(number(progress.bytesRead), number(progress.totalBytes));
    }
    if (progress.skipped > 0) {
        text += QStringLiteral(" (%1 more skipped: replies, marked deleted or too large)")
                    .arg(number(progress.skipped));
    }
    if (progress.messages > static_cast<uint64_t>(model->rowCount()) && progress.done &&
        !readingStopped_) {
        text +=
            QStringLiteral("; the first %1 rows are shown, and Save writes all %2")
                .arg(number(static_cast<uint64_t>(model->rowCount())), number(progress.messages));
    }
    counts_ = text;
    StatusText->setText(text);
    // "Phone in 2 messages, Email in 1 message" for the columns counted in `counts`.
    auto perColumn = [&](const std::vector<uint64_t>& counts) {
        QStringList parts;
        for (int column = 0; column < model->columnCount(); ++column) {
            auto at = static_cast<size_t>(column);
            uint64_t count = at < counts.size() ? counts[at] : 0;
            if (count == 0) continue;
            parts << QStringLiteral("%1 in %2 %3")
                         .arg(model->titles().value(column), number(count),
                              count == 1 ? QStringLiteral("message") : QStringLiteral("messages"));
        }
        return parts.join(QStringLiteral(", "));
    };
    QString missing = perColumn(progress.missing);
    QString empty = perColumn(progress.empty);
    QString counts;
    if (!missing.isEmpty()) counts = QStringLiteral("Missing: ") + missing;
    if (!empty.isEmpty()) {
        if (!counts.isEmpty()) counts += QStringLiteral("; ");
        counts += QStringLiteral("there but empty: ") + empty;
    }
    // Before the first message (or when none could be read) there is nothing to say.
    if (progress.messages == 0)
        counts.clear();
    else if (counts.isEmpty())
        counts = QStringLiteral("No field is missing from any message.");
    MissingText->setText(counts);
}

void PreviewWindow::showReport() {
    LabelList->clear();
    Status status = reader_->status();
    if (!status.ok()) {
        failure_ = QString::fromStdString(status.message());
        StatusText->setText(failure_);
        // A mailbox that cannot be read is said at once, naming the server.
        if (mailbox_) dialogs().message(this, failure_);
    }
    MessageReport report = reader_->report();
    for (const LabelCensus::Label& label : report.unknownLabels) {
        QString text = QString::fromStdString(label.text);
        auto* item = new QListWidgetItem(QStringLiteral("Add \u201c%1\u201d").arg(text), LabelList);
        item->setData(Qt::UserRole, text);
        item->setToolTip(QStringLiteral("Add %1 to the template's fields (%2 messages have it)")
                             .arg(text, number(label.messages)));
    }
    bool any = !report.unknownLabels.empty();
    LabelsText->setVisible(any);
    LabelList->setVisible(any);
}

void PreviewWindow::addLabel(const QString& label) {
    owner_->appendField(label);
    rerun();
}

bool PreviewWindow::save() {
    if ((inputs_.isEmpty() && !mailbox_) || isSaving()) return false;
    std::string settingsPath = spreadsheetSettingsPath();
    SpreadsheetSettings settings = readSpreadsheetSettings(settingsPath);
    bool newOnly = mailbox_ && OnlyNew->isChecked();
    QString filter = QString::fromStdString(formatFilter(settings.format));
    QFileInfo first(mailbox_ ? mailboxName(*mailbox_) : inputs_.constFirst());
    QString folder = mailbox_ ? QDir::homePath() : first.absolutePath();
    QString proposed = fromNative(
        proposedOutputName(QFile::encodeName(first.fileName()).toStdString(), settings.format));
    FileTypes types = saveTypes();
    types.addedTo = newOnly;
    QString chosen = dialogs().saveFileWithTypes(this, proposed, folder, types, &filter);
    if (chosen.isEmpty()) return false;
    TableFormat filterFormat = formatOfFilter(filter.toStdString()).value_or(settings.format);
    SaveTarget target = resolveSaveTarget(nativePath(chosen), filterFormat);

    ExportRequest request;
    for (const QString& input : inputs_)
        request.inputs.push_back(nativePath(input));
    request.options.fields = owner_->fields();
    request.options.headers = headers();
    request.format = target.format;
    request.table = tableOptionsFor(target.format);
    request.output = target.path;
    request.mailbox = mailbox_;
    request.newOnly = newOnly;
    if (SaveAttachments->isChecked()) request.attachments = attachmentsFolderFor(target.path);
    request.table.otherColumnsAdvice =
        "untick \"Only new messages\" to replace it, or choose another file";
    if (request.options.fields.empty() && request.options.headers.empty()) {
        dialogs().message(this, QStringLiteral("The Field Names file is missing!"));
        return false;
    }
    // What this save records once written: its own choice, whatever the window
    // shows by then.
    saving_ = settings;
    saving_.format = target.format;
    saving_.headers = request.options.headers;
    savingNewOnly_ = newOnly;
    remembering_.reset();
    if (newOnly) {
        remembering_ = request;
        if (remembering_->mailbox) wipe(&remembering_->mailbox->account.password);
    }
    savingFile_ = QFileInfo(fromNative(target.path)).fileName();

    SaveProgress = new SaveProgressDialog(QFileInfo(fromNative(target.path)).fileName(), this);
    SaveProgress->setValue(0);
    SaveButton->setEnabled(false);
    connect(SaveProgress, &QProgressDialog::canceled, this, &PreviewWindow::stopSaving);

    exporting_ = std::make_unique<BackgroundExport>(std::move(request));
    saveTimer_->start();
    exporting_->start([this] {
        QMetaObject::invokeMethod(this, &PreviewWindow::finishSave, Qt::QueuedConnection);
    });
    return true;
}

QString PreviewWindow::addedNote(const ExportResult& result) const {
    QString rows = result.rows == 1 ? QStringLiteral("1 row")
                                    : QStringLiteral("%1 rows").arg(number(result.rows));
    if (!result.addedTo)
        return QStringLiteral("\u201c%1\u201d was written with %2.").arg(savingFile_, rows);
    if (result.rows == 0) {
        return QStringLiteral("\u201c%1\u201d already had every message: nothing was added.")
            .arg(savingFile_);
    }
    return QStringLiteral("%1 added to \u201c%2\u201d.")
        .arg(rows + (result.rows == 1 ? QStringLiteral(" was") : QStringLiteral(" were")),
             savingFile_);
}

void PreviewWindow::stopSaving() {
    if (!exporting_) return;
    exporting_->stop();
    // Stopped from the progress (Cancel, Escape, its close): it had the keys,
    // though while it closes no window of the app is active.
    takeFocusFromProgress(true);
    // The workbook being compressed may take a moment to give up.
    StatusText->setText(
        QStringLiteral("Stopping the save; \u201c%1\u201d is left as it was...").arg(savingFile_));
}

void PreviewWindow::finishSave() {
    if (!exporting_) return;
    Status status = exporting_->wait();
    bool stopped = exporting_->stopped();
    ExportResult result = exporting_->result();
    exporting_.reset();
    saveTimer_->stop();
    takeFocusFromProgress(SaveProgress && SaveProgress->isActiveWindow());
    // Gone before any message: a dialog only hidden would show itself again,
    // over the message, once its delay has passed.
    delete SaveProgress;
    SaveProgress = nullptr;
    SaveButton->setEnabled(true);
    bool saved = status.ok() && !stopped;
    if (saved) {
        // A convenience only: a file that cannot be written leaves the next
        // save with the defaults.
        static_cast<void>(writeSpreadsheetSettings(spreadsheetSettingsPath(), saving_));
        if (savingNewOnly_) StatusText->setText(counts_ + QStringLiteral(". ") + addedNote(result));
        if (result.filesSaved > 0) {
            StatusText->setText(StatusText->text() +
                                QStringLiteral(" %1 attached files saved beside it.")
                                    .arg(number(result.filesSaved)));
        }
        // For File > Update Tables; a table it cannot remember is still saved.
        if (remembering_) static_cast<void>(rememberExport(*remembering_, rememberedTablesPath()));
    } else if (stopped) {
        StatusText->setText(counts_);
    } else {
        dialogs().message(this, QStringLiteral("The spreadsheet could not be saved. ") +
                                    QString::fromStdString(status.message()));
    }
    emit saveFinished(saved);
}

void PreviewWindow::takeFocusFromProgress(bool progressInFront) {
    // The keys go on to the preview, not to whichever window the window manager
    // would pick once the progress is gone (the main window, at times).
    if (progressInFront && isVisible()) activateWindow();
}

void PreviewWindow::closeEvent(QCloseEvent* event) {
    // A save under way ends with the window: stopped, and waited for, so that
    // nothing it leaves behind outlives the window.
    if (exporting_) {
        exporting_->stop();
        finishSave();
    }
    QWidget::closeEvent(event);
}

void PreviewWindow::AddMenuHandlers() {
    addMenuHandler(menu_item::kFileClose, [this] {
        close();
        return true;
    });
}

void PreviewWindow::Event_EnableMenuItems(MenuItems& items) {
    if (menuOwner_) menuOwner_->Event_EnableMenuItems(items);
    MenuClient::Event_EnableMenuItems(items);
}

bool PreviewWindow::handleMenuItem(const QString& itemName) {
    return MenuClient::handleMenuItem(itemName) ||
           (menuOwner_ && menuOwner_->handleMenuItem(itemName));
}

void openSpreadsheetPreview(QWidget* parent, FieldListOwner* owner, const QStringList& files) {
    QStringList inputs = files.isEmpty() ? dialogs().openFiles(parent) : files;
    if (inputs.isEmpty()) return;
    showPreview(parent, new PreviewWindow(parent, owner, inputs));
}

void showPreview(QWidget* parent, PreviewWindow* preview) {
    // Beside the main window, where it can be seen whole (a window manager may
    // put it partly off a small screen).
    QPoint beside = parent != nullptr ? parent->geometry().topLeft() + QPoint(40, 40) : QPoint();
    preview->move(placeOnScreen(beside, preview->size()));
    preview->show();
    preview->activateWindow();
}

}  // namespace tabulon
