#include "app/qt/window1.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QShortcut>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "app/qt/about_box.h"
#include "app/qt/help.h"
#include "app/qt/main_window_pages.h"
#include "app/qt/update_tables_run.h"
#include "platform/file_info.h"
#include "platform/preferences.h"
#include "platform/qt/desktop.h"
#include "platform/qt/dialogs.h"
#include "platform/qt/links.h"
#include "platform/qt/maker.h"
#include "platform/qt/placed_control.h"
#include "platform/qt/qt_paths.h"
#include "platform/qt/text_colours.h"
#include "platform/qt/window_place.h"
#include "preview/qt/mailbox_dialog.h"
#include "preview/qt/new_template_dialog.h"
#include "preview/qt/preview_window.h"
#include "update/qt/update_window.h"

namespace tabulon {

Window1::Window1() {
    setObjectName(QStringLiteral("Window1"));
    setWindowTitle(QStringLiteral("Tabulon"));
    setWhatsThis(QStringLiteral("This is the main application window."));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowMinimizeButtonHint);
    setAcceptDrops(true);
    menu = new Menu(this);
    setMenuBar(menu);
    AddMenuHandlers();
    createPages();
    QuitTimer = new QTimer(this);
    QuitTimer->setObjectName(QStringLiteral("QuitTimer"));
    QuitTimer->setInterval(1000);
    QuitTimer->setSingleShot(true);
    connectControls();
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

void Window1::createPages() {
    auto* content = new QWidget;
    content->setObjectName(QStringLiteral("content"));
    content->setFixedSize(381, 317);
    setCentralWidget(content);

    TabPanel1 = placed(new QTabWidget, "TabPanel1", content, {13, 13, 353, 291});
    auto* welcome = new WelcomePage(content);
    auto* fields = new FieldsPage(content);
    auto* preferences = new PreferencesPage(content);
    TabPanel1->addTab(welcome, QStringLiteral("Welcome"));
    TabPanel1->addTab(fields, QStringLiteral("Fields"));
    TabPanel1->addTab(preferences, QStringLiteral("Preferences"));
    // The pages from anywhere in the window, as on other desktops' tab pages.
    auto turn = [this](const char* keys, int step) {
        auto* shortcut = new QShortcut(QKeySequence(QLatin1String(keys)), this);
        connect(shortcut, &QShortcut::activated, this, [this, step] {
            int count = TabPanel1->count();
            TabPanel1->setCurrentIndex((TabPanel1->currentIndex() + step + count) % count);
        });
    };
    turn("Ctrl+Tab", 1);
    turn("Ctrl+PgDown", 1);
    turn("Ctrl+Shift+Tab", -1);
    turn("Ctrl+PgUp", -1);

    ListBox1 = fields->ListBox1;
    FieldDeleteButton = fields->FieldDeleteButton;
    FieldInsertButton = fields->FieldInsertButton;
    FieldDownButton = fields->FieldDownButton;
    FieldUpButton = fields->FieldUpButton;
    Canvas1 = welcome->Canvas1;
    StaticText1 = welcome->StaticText1;
    StaticText2 = welcome->StaticText2;
    CheckBox1 = preferences->CheckBox1;
    CheckBox2 = preferences->CheckBox2;
    CheckBox3 = preferences->CheckBox3;
    PopupMenu1 = preferences->PopupMenu1;
    myTemplateLoc = preferences->myTemplateLoc;
    BevelButton1 = preferences->BevelButton1;
}

void Window1::connectControls() {
    connect(TabPanel1, &QTabWidget::currentChanged, this, &Window1::TabPanel1_Change);
    connect(CheckBox1, &QCheckBox::clicked, this, &Window1::CheckBox1_Action);
    connect(CheckBox2, &QCheckBox::clicked, this, &Window1::CheckBox2_Action);
    connect(CheckBox3, &QCheckBox::clicked, this, &Window1::CheckBox3_Action);
    connect(PopupMenu1, &QComboBox::currentIndexChanged, this, &Window1::PopupMenu1_Change);
    connect(BevelButton1, &QPushButton::clicked, this, &Window1::BevelButton1_Action);
    connect(FieldInsertButton, &QPushButton::clicked, this, &Window1::FieldInsertButton_Action);
    connect(FieldDeleteButton, &QPushButton::clicked, this, &Window1::FieldDeleteButton_Action);
    connect(ListBox1, &QListWidget::itemSelectionChanged, this, &Window1::enableFieldButtons);
    connect(ListBox1->model(), &QAbstractItemModel::rowsRemoved, this,
            &Window1::enableFieldButtons);
    connect(ListBox1->model(), &QAbstractItemModel::rowsInserted, this,
            &Window1::enableFieldButtons);
    connect(FieldDownButton, &QPushButton::clicked, this, &Window1::FieldDownButton_Action);
    connect(FieldUpButton, &QPushButton::clicked, this, &Window1::FieldUpButton_Action);
    connect(QuitTimer, &QTimer::timeout, this, &Window1::QuitTimer_Action);
    ListBox1->installEventFilter(this);
    ListBox1->viewport()->installEventFilter(this);
    for (QPushButton* button : fieldButtons())
        button->installEventFilter(this);
    StaticText1->installEventFilter(this);
    Canvas1->installEventFilter(this);
    makeKeyboardLink(StaticText1, [this] { Canvas1_MouseDown({}); });
}

QList<QPushButton*> Window1::fieldButtons() const {
    return {FieldDeleteButton, FieldInsertButton, FieldDownButton, FieldUpButton};
}

bool Window1::eventFilter(QObject* watched, QEvent* event) {
    QEvent::Type type = event->type();
    if (watched == ListBox1 && type == QEvent::FocusIn) ListBox1_GotFocus();
    // Tabbing from the list to its buttons keeps them enabled; leaving both ends it.
    auto isFieldControl = [this](QObject* object) {
        return object != nullptr &&
               (object == ListBox1 || fieldButtons().contains(qobject_cast<QPushButton*>(object)));
    };
    if (type == QEvent::FocusOut && isFieldControl(watched) &&
        !isFieldControl(QApplication::focusWidget())) {
        ListBox1_LostFocus();
    }
    if (watched == ListBox1 && type == QEvent::KeyPress) {
        int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Delete) {
            FieldDeleteButton_Action();
            return true;
        }
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            ListBox1_DoubleClick();
            return true;
        }
    }
    if (watched == ListBox1->viewport() && type == QEvent::MouseButtonDblClick) {
        ListBox1_DoubleClick();
        return true;
    }
    if (watched == StaticText1 && type == QEvent::Enter) StaticText1_MouseEnter();
    if (watched == StaticText1 && type == QEvent::Leave) StaticText1_MouseExit();
    if ((watched == StaticText1 || watched == Canvas1) && type == QEvent::MouseButtonPress) {
        // The label lies over the canvas; a click on it belongs to the canvas.
        auto* widget = static_cast<QWidget*>(watched);
        QPoint inCanvas = Canvas1->mapFrom(
            widget->window(),
            widget->mapTo(widget->window(), static_cast<QMouseEvent*>(event)->pos()));
        if (Canvas1->rect().contains(inCanvas)) {
            Canvas1_MouseDown(inCanvas);
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void Window1::Event_Open() {
    askforsave = true;
    if (myOpened) return;
    readprefs();
    setGeometry(QRect(placeOnScreen(QPoint(myLeft, myTop), geometry().size()), geometry().size()));
    CheckBox1->setChecked(myupdate);
    CheckBox1_Action();
    CheckBox2->setChecked(mydrop);
    CheckBox3->setChecked(mymultiplefiles);
    PopupMenu1->setEnabled(mymultiplefiles);
    if (myTemplatescopy) templates_copy();
    myfullname = joinPath(myfilepath, myfilename);
    showTemplateFolder();
    update_fieldfiles();
    loadTemplate(myfullname);
    updatedfields = false;
    if (mydrop) openprogress();
    myversion = QApplication::applicationVersion();
    myOpened = true;
}

void Window1::readprefs() {
    std::string path = preferencesPath();
    Preferences prefs;
    if (fileExists(path)) {
        // A file that is there but cannot be read reads as one whose lines are all
        // missing, as the missing end of a short file does: false, 0 and empty.
        // It is not taken for a first start, which would write the default lines
        // over a file that may only be unreadable for now.
        if (!readPreferencesFile(path, &prefs).ok()) prefs = parsePreferences({});
    } else {
        // The first start: the file gets the default lines, which the next starts
        // read. This start opens the main window alone, with the update check off
        // although the default line says "true" (from the next start on it opens
        // the update window). The multiple-templates option and the Templates
        // folder keep what the window holds: off, and no folder yet, which means
        // the Templates folder beside the app (or the copy the opening makes).
        // A file that cannot be written makes the next start a first start
        // again, which is all it changes.
        static_cast<void>(writePreferencesFile(path, Preferences()));
        prefs.checkForUpdates = false;
        prefs.multipleTemplates = mymultiplefiles;
        prefs.templatesFolder = QFile::encodeName(myfilepath).toStdString();
    }
    prefs = withTemplateDefaults(prefs);  // an empty name or folder means the defaults
    myupdate = prefs.checkForUpdates;
    mydrop = prefs.openDialogOnStartup;
    myfilename = fromNative(prefs.templateName);
    mymultiplefiles = prefs.multipleTemplates;
    myLeft = prefs.windowLeft;
    myTop = prefs.windowTop;
    myProgressleft = prefs.updateWindowLeft;
    myProgresstop = prefs.updateWindowTop;
    myfilepath = fromNative(prefs.templatesFolder);
}

void Window1::Event_Close() {
    if (closed_) return;
    closed_ = true;
    std::string path = preferencesPath();
    Preferences prefs;  // the default lines, when the file has gone meanwhile
    if (fileExists(path)) {
        prefs.checkForUpdates = myupdate;
        prefs.openDialogOnStartup = mydrop;
        prefs.templateName = QFile::encodeName(myfilename).toStdString();
        prefs.multipleTemplates = mymultiplefiles;
        prefs.windowLeft = geometry().x();
        prefs.windowTop = geometry().y();
        prefs.updateWindowLeft = myProgressleft;
        prefs.updateWindowTop = myProgresstop;
        prefs.templatesFolder = QFile::encodeName(myfilepath).toStdString();
    }
    Status saved = writePreferencesFile(path, prefs);
    if (!saved.ok()) {
        dialogs().message(this, QStringLiteral("The preferences could not be saved. ") +
                                    QString::fromStdString(saved.message()));
    }
    saveChangedFields();
}

void Window1::closeEvent(QCloseEvent* event) {
    if (closed_) {
        event->accept();
        return;
    }
    if (converting_ || dialogs().openCount() > 0) {  // closed by the session meanwhile
        event->ignore();
        requestQuit();
        return;
    }
    Event_Close();
    event->accept();
    emit closed();
}

void Window1::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (shown_) return;
    shown_ = true;
    // The update window opened during the opening, before this window showed:
    // once this one is up, it goes in front of it.
    if (!updateWindow) return;
    QPointer<UpdateWindow> updater = updateWindow;
    QTimer::singleShot(0, this, [updater] {
        if (!updater) return;
        updater->raise();
        updater->activateWindow();
    });
}

void Window1::CheckBox1_Action() {
    myupdate = CheckBox1->isChecked();
    if (!myupdate || myOpenedupdate) return;
    updateWindow = newUpdateWindow();
    myOpenedupdate = true;
    QSize size = updateWindow->size();
    updateWindow->setGeometry(QRect(placeOnScreen(QPoint(myLeft + 250, myTop + 50), size), size));
    updateWindow->show();
}

UpdateWindow* Window1::newUpdateWindow() {
    auto* window = new UpdateWindow(QPoint(myProgressleft, myProgresstop));
    connect(window, &UpdateWindow::helpRequested, this, [window] { openHelpDocument(window); });
    connect(window, &UpdateWindow::closing, this, [this, window](QPoint place) {
        myProgressleft = place.x();
        myProgresstop = place.y();
        if (updateWindow == window) updateWindow = nullptr;
        menu->enable(menu_item::kFileClose, false);
    });
    return window;
}

void Window1::CheckBox2_Action() {
    mydrop = CheckBox2->isChecked();
}

void Window1::QuitTimer_Action() {
    requestQuit();
}

void Window1::TabPanel1_Change() {
    update();
}

void Window1::StaticText1_MouseEnter() {
    setLinkHovered(StaticText1, true);
}

void Window1::StaticText1_MouseExit() {
    setLinkHovered(StaticText1, false);
}

bool Window1::Canvas1_MouseDown(const QPoint&) {
    openLink(this, QUrl(makerAddress()));
    return false;
}

void Window1::AddMenuHandlers() {
    using namespace menu_item;
    addMenuHandler(kAppleAboutTabulon, [this] { return _AppleAboutTabulon_Action(); });
    addMenuHandler(kFileOpen, [this] { return _FileOpen_Action(); });
    addMenuHandler(kFileConvertToSpreadsheet,
                   [this] { return _FileConvertToSpreadsheet_Action(); });
    addMenuHandler(kFileConvertFromMailbox, [this] { return _FileConvertFromMailbox_Action(); });
    addMenuHandler(kFileNewTemplateFromMail, [this] { return _FileNewTemplateFromMail_Action(); });
    addMenuHandler(kFileUpdateTables, [this] {
        updateTables(this);
        return true;
    });
    addMenuHandler(kEditPreferences, [this] { return _EditPreferences_Action(); });
    addMenuHandler(kHelpTabulonHelp, [this] { return _HelpTabulonHelp_Action(); });
}

bool Window1::_FileOpen_Action() {
    openprogress();
    return true;
}

bool Window1::_FileConvertToSpreadsheet_Action() {
    openSpreadsheetPreview(this, this);
    return true;
}

bool Window1::_FileConvertFromMailbox_Action() {
    convertFromMailbox(this, this);
    return true;
}

bool Window1::_FileNewTemplateFromMail_Action() {
    newTemplateFromMail(this, this);
    return true;
}

bool Window1::_EditPreferences_Action() {
    TabPanel1->setCurrentIndex(2);
    return true;
}

bool Window1::_AppleAboutTabulon_Action() {
    (new AboutBox(this, myversion))->open();
    return true;
}

bool Window1::_HelpTabulonHelp_Action() {
    openHelpDocument(this);
    return true;
}

}  // namespace tabulon
