// The spreadsheet preview: the table that one or more mail files (or a mailbox
// folder) give in the one-row-per-message conversion with the main window's field list, shown as it
// is read (on a thread of its own), with the messages and missing fields
// counted, the labels the template lacks offered for adding, header columns to
// switch on, and Save, which writes the whole table in a chosen format. Follows
// edits of the field list while it is open.
#pragma once

#include <QStringList>
#include <QWidget>
#include <memory>
#include <optional>

#include "platform/qt/menu_client.h"
#include "preview/background_export.h"
#include "preview/preview_reader.h"
#include "preview/spreadsheet_settings.h"

class QCheckBox;
class QLabel;
class QProgressBar;
class QProgressDialog;
class QPushButton;
class QTableView;
class QTimer;
class QListWidget;

namespace tabulon {

class FieldListOwner;
class PreviewModel;

class PreviewWindow : public QWidget, public MenuClient {
    Q_OBJECT
  public:
    // `inputs`: native paths of the mail files, read as one table. The window
    // belongs to `parent`, which answers the menu items it does not; `owner`
    // holds the field list.
    PreviewWindow(QWidget* parent, FieldListOwner* owner, QStringList inputs);
    // The messages of a mailbox folder, fetched again for each reading and save.
    PreviewWindow(QWidget* parent, FieldListOwner* owner, MailboxQuery mailbox);
    ~PreviewWindow() override;

    // Reads the files again with the current field list and header columns.
    void rerun();
    // Adds `label` to the main window's field list, as an edit there would.
    void addLabel(const QString& label);
    // Asks where and in which format, then starts writing the whole table on a
    // thread of its own, with its progress shown over this window; false when
    // cancelled or refused. saveFinished tells the end.
    bool save();
    bool isReading() const;
    // Stops the reading under way; the rows read so far stay.
    void stopReading();
    // Once a reading has ended: why it failed, or "" when it did not.
    QString readingFailure() const { return failure_; }
    bool isSaving() const { return exporting_ != nullptr; }
    // Stops the save under way: nothing is written, and a file it would have
    // replaced keeps its content. Closing the window, or quitting, does this too.
    void stopSaving();

    // Close closes this window; every other item is the main window's.
    void Event_EnableMenuItems(MenuItems& items) override;
    bool handleMenuItem(const QString& itemName) override;

    QCheckBox* HeaderDate;
    QCheckBox* HeaderFrom;
    QCheckBox* HeaderSubject;
    QPushButton* SaveButton;
    // Of a mailbox only: the save adds to the chosen table only the messages it
    // does not hold yet.
    QCheckBox* OnlyNew;
    // The save also saves the files the messages carry, in a folder beside the
    // table (attachmentsFolderFor()), and lists them in an Attachments column.
    QCheckBox* SaveAttachments;
    // Of a mailbox only, while it is read: stops the reading.
    QPushButton* StopButton;
    QTableView* PreviewTable;
    QProgressBar* ReadProgress;
    QLabel* StatusText;
    QLabel* MissingText;
    QLabel* LabelsText;
    // The labels the template lacks, side by side and wrapped to the window's
    // width; clicking one (or Return on it) adds it.
    QListWidget* LabelList;
    PreviewModel* model;
    QProgressDialog* SaveProgress = nullptr;  // while a save runs

  signals:
    // The reading of the current run has ended.
    void readingFinished();
    // The save has ended: written, or failed (after a message) or stopped.
    void saveFinished(bool saved);

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    PreviewWindow(QWidget* parent, FieldListOwner* owner, QStringList inputs,
                  std::optional<MailboxQuery> mailbox);
    void AddMenuHandlers();
    void createControls();
    void followFieldList();
    std::vector<std::string> headers() const;
    void poll();
    void showCounts(const PreviewReader::Progress& progress);
    void showReport();
    void finishSave();
    void takeFocusFromProgress(bool progressInFront);
    // What a save of only the new messages did, as a sentence.
    QString addedNote(const ExportResult& result) const;

    FieldListOwner* owner_;
    MenuClient* menuOwner_;
    QStringList inputs_;
    std::optional<MailboxQuery> mailbox_;
    QString failure_;
    bool readingStopped_ = false;  // by Stop Reading
    QString counts_;               // the status the counts make
    std::unique_ptr<PreviewReader> reader_;
    QTimer* pollTimer_;
    QTimer* rerunTimer_;
    std::unique_ptr<BackgroundExport> exporting_;  // while a save runs
    SpreadsheetSettings saving_;                   // what a good save records
    bool savingNewOnly_ = false;
    std::optional<ExportRequest> remembering_;  // a save of only the new messages, once written
    QString savingFile_;                        // the name of the file being saved
    QTimer* saveTimer_;
};

// File > Convert to Spreadsheet: a preview of `files`, or of files the user
// picks when it is empty.
void openSpreadsheetPreview(QWidget* parent, FieldListOwner* owner, const QStringList& files = {});
// Shows `preview` beside `parent`, where it can be seen whole.
void showPreview(QWidget* parent, PreviewWindow* preview);

}  // namespace tabulon
