// The main window: three pages (Welcome, Fields, Preferences), the field list of
// the current template, and the run's settings, which it loads from the
// preferences file when it opens and writes back when it closes. The only
// long-lived window; the windows it opens are given what they need of it.
#pragma once

#include <QMainWindow>
#include <QString>
#include <deque>
#include <functional>

#include "app/qt/menu.h"
#include "preview/qt/field_list_owner.h"
#include "templates/field_list.h"

class QTabWidget;
class QTimer;
class QListWidget;
class QPushButton;
class QCheckBox;
class QComboBox;
class QLabel;

namespace tabulon {

class UpdateWindow;

class Window1 : public QMainWindow, public MenuClient, public FieldListOwner {
    Q_OBJECT
  public:
    Window1();

    // Opening and closing sequences. Event_Close runs once, however the window
    // or the application is closed.
    void Event_Open();
    void Event_Close();

    // Preferences and start-up options.
    void readprefs();
    void CheckBox1_Action();
    void CheckBox2_Action();
    void QuitTimer_Action();

    // The field list and its template file.
    bool readfields(const QString& path);
    void writefields(const QString& path);
    FieldList fields() const override;

    // What the preview's windows use of the field list (FieldListOwner).
    QAbstractItemModel* fieldListModel() const override;
    void appendField(const QString& name) override;
    QString templatesFolder() const override { return myfilepath; }
    void selectTemplate(const QString& name) override;

    // The Templates folder.
    void templates_copy();
    void update_fieldfiles();
    void PopupMenu1_Change();
    void BevelButton1_Action();
    void CheckBox3_Action();

    // Field list editing. Every edit goes through editFieldList: `edit` changes
    // ListBox1 and says whether it did; a change is marked, and saved into the
    // template when another is chosen and at closing.
    void editFieldList(const std::function<bool()>& edit);
    void FieldInsertButton_Action();
    void FieldDeleteButton_Action();
    void FieldDownButton_Action();
    void FieldUpButton_Action();
    void ListBox1_GotFocus();
    void ListBox1_LostFocus();
    void ListBox1_DoubleClick();

    // Layout behaviours.
    void TabPanel1_Change();
    void StaticText1_MouseEnter();
    void StaticText1_MouseExit();
    bool Canvas1_MouseDown(const QPoint& position);

    // Menu items. Each handler returns true (see MenuClient).
    bool _FileOpen_Action();
    bool _FileConvertToSpreadsheet_Action();
    bool _FileConvertFromMailbox_Action();
    bool _FileNewTemplateFromMail_Action();
    bool _EditPreferences_Action();
    bool _AppleAboutTabulon_Action();
    bool _HelpTabulonHelp_Action();

    // A new update window, at the place it had when it last closed, which stores
    // its place here again when it closes.
    UpdateWindow* newUpdateWindow();

    // How a run ended, for whoever asked for it: empty when it went well, else
    // what went wrong, in the words a message would have shown.
    using RunDone = std::function<void(const QString& failure)>;
    // Starts a conversion run of `mydragfile` (or of a file the user picks when it
    // is empty). A run asked for while another is under way waits for it.
    // `whenDone`, when given, is called once the run has ended, and the run shows
    // no message: its caller gets the text instead. Always false.
    bool openprogress(RunDone whenDone = {});
    bool isConverting() const { return converting_; }
    // A document handed to the app (opened with it, or dropped on this window):
    // converted in a run of its own, which asks only where the output goes. One
    // that cannot be read is refused with a message before anything is asked.
    void openDocument(const QString& path);

    // Quits through the normal road (closing this window). Whatever is modal ends
    // first: open dialogs as cancelled, a conversion under way stopped with no
    // output, runs not yet begun dropped; the window closes once back in the event
    // loop.
    void requestQuit();
    bool quitRequested() const { return quitRequested_; }

    // The run's settings (loaded from and saved to the preferences file).
    bool myupdate = false;
    bool mydrop = false;
    QString myfilename;
    bool mymultiplefiles = false;
    int myLeft = 0;
    int myTop = 0;
    // The update window's place (left, top), kept here and in the preferences so
    // that it opens where it was last closed; the names are historical.
    int myProgressleft = 0;
    int myProgresstop = 0;
    QString myfilepath;  // Templates folder; ":"-relative or native, ending in its separator
    QString myfullname;  // myfilepath + myfilename
    bool updatedfields = false;
    bool askforsave = false;
    QString mydragfile;  // input handed to the next run, or empty
    QString myversion;
    bool myOpened = false;
    bool myOpenedupdate = false;
    bool myTemplatescopy = true;

    // Controls, named as their objectName.
    Menu* menu;
    QTabWidget* TabPanel1;
    QListWidget* ListBox1;
    QWidget* Canvas1;
    QCheckBox* CheckBox2;
    QCheckBox* CheckBox1;
    QPushButton* FieldDeleteButton;
    QPushButton* FieldInsertButton;
    QPushButton* FieldDownButton;
    QPushButton* FieldUpButton;
    QCheckBox* CheckBox3;
    QLabel* StaticText1;
    QLabel* StaticText2;
    QComboBox* PopupMenu1;
    QLabel* myTemplateLoc;
    QPushButton* BevelButton1;
    QTimer* QuitTimer;
    UpdateWindow* updateWindow = nullptr;

  signals:
    // The window has closed (its closing sequence has run); the app quits.
    void closed();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void AddMenuHandlers();
    void createPages();
    void connectControls();
    void showTemplateFolder();
    void saveChangedFields();
    void loadTemplate(const QString& path);
    void selectRow(int row);
    // Delete, Down and Up enabled as the list's focus and selection allow.
    void enableFieldButtons();
    // Delete, Insert, Down and Up, in Tab order.
    QList<QPushButton*> fieldButtons() const;

    struct RunRequest {
        QString input;  // empty: ask for it
        bool askForSave;
        RunDone whenDone;
    };
    void runQueued();
    // Closes now when nothing modal is under way, else as soon as that has ended.
    void closeWhenIdle();

    bool closed_ = false;
    bool shown_ = false;
    std::deque<RunRequest> runs_;
    bool converting_ = false;
    bool quitRequested_ = false;
    bool fieldButtonsOn_ = false;           // the list or one of its buttons has the focus
    class Dialog2* run_ = nullptr;          // the run under way
    QTimer* closeWhenIdleTimer_ = nullptr;  // looks again while something modal ends
};

}  // namespace tabulon
