// Every window usable from the keyboard and spoken by a screen reader: each
// control that takes the focus has a name and a role, windows are windows,
// Alt and F10 reach the menu bar, and Escape closes the secondary windows.
#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPointer>
#include <QProgressBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

#include "app/main_window_fixture.h"
#include "app/qt/about_box.h"
#include "app/qt/help.h"
#include "preview/preview_samples.h"
#include "preview/qt/mailbox_dialog.h"
#include "preview/qt/new_template_dialog.h"
#include "preview/qt/preview_window.h"
#include "update/qt/update_window.h"

namespace tabulon::test {
namespace {

class KeyboardAccessTest : public MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        writeHelpDocument("<html><body>Help</body></html>");
        writeFile(dir.file("form.mbox"), kFormMail);
        openAfterFirstStart().show();
    }
    static void activate(QWidget* shown) {
        shown->show();
        QApplication::setActiveWindow(shown);
        EXPECT_TRUE(QTest::qWaitForWindowActive(shown)) << shown->objectName().toStdString();
    }
    // What a screen reader would miss in `shown`: controls that take the focus
    // without a name, or with no role of their own.
    static Lines unspoken(QWidget* shown) {
        Lines missing;
        QAccessibleInterface* top = QAccessible::queryAccessibleInterface(shown);
        if (top->role() == QAccessible::Client) missing.push_back("window role");
        for (QWidget* control : shown->findChildren<QWidget*>()) {
            if (!control->isVisibleTo(shown) || !(control->focusPolicy() & Qt::TabFocus) ||
                control->focusProxy() != nullptr) {
                continue;  // a proxy's focus goes to the control it names, looked at itself
            }
            QAccessibleInterface* spoken = QAccessible::queryAccessibleInterface(control);
            if (spoken->text(QAccessible::Name).isEmpty() ||
                spoken->role() == QAccessible::Client) {
                missing.push_back(control->objectName().toStdString() + " " +
                                  control->metaObject()->className());
            }
        }
        return missing;
    }
};

// Each window and each page of the main window.
TEST_F(KeyboardAccessTest, EveryControlHasANameAndARole) {
    for (int page = 0; page < window->TabPanel1->count(); ++page) {
        window->TabPanel1->setCurrentIndex(page);
        EXPECT_EQ(unspoken(window.get()), Lines()) << "page " << page;
    }
    auto* preview = new PreviewWindow(window.get(), window.get(),
                                      {QString::fromStdString(dir.file("form.mbox"))});
    preview->show();
    EXPECT_TRUE(waitForEvents([&] { return !preview->isReading(); }));
    auto* proposal = new NewTemplateDialog(window.get(), window.get(), {"Name:"}, "x");
    auto* mailbox = new MailboxDialog(window.get(), window.get(), MailboxSettings());
    auto* about = new AboutBox(window.get(), QStringLiteral("1.0"));
    auto* updater = window->newUpdateWindow();
    openHelpDocument(window.get());
    HelpWindow* help = helpWindow();
    QWidget* shown[] = {preview, proposal, mailbox, about, updater, help};
    for (QWidget* each : shown) {
        ASSERT_NE(each, nullptr);
        each->show();
        EXPECT_EQ(unspoken(each), Lines()) << each->objectName().toStdString();
    }
    // The preview's table has the focus first, and Tab leaves it.
    EXPECT_EQ(preview->focusWidget(), preview->PreviewTable);
    EXPECT_FALSE(preview->PreviewTable->tabKeyNavigation());
    for (QWidget* each : shown) {
        if (each) each->close();
    }
}

// What is not a control is spoken as what it is, by name: the Welcome page's
// link, the About box's logo, the save's progress bar.
TEST_F(KeyboardAccessTest, LinksLogoAndProgressAreSpokenAsWhatTheyAre) {
    open().show();
    auto* about = new AboutBox(window.get(), QStringLiteral("1.0"));
    auto* preview = new PreviewWindow(window.get(), window.get(),
                                      {QString::fromStdString(dir.file("form.mbox"))});
    answerDialogs({dir.file("out.csv")});
    preview->save();
    struct Spoken {
        QWidget* widget;
        QAccessible::Role role;
        const char* name;
    };
    const Spoken spoken[] = {
        {window->StaticText1, QAccessible::Link, "www.tabulon.example"},
        {about->Canvas1, QAccessible::Graphic, "Tabulon"},
        {preview->SaveProgress ? preview->SaveProgress->findChild<QProgressBar*>() : nullptr,
         QAccessible::ProgressBar, "Saving"},
    };
    for (const Spoken& each : spoken) {
        ASSERT_NE(each.widget, nullptr) << each.name;
        QAccessibleInterface* told = QAccessible::queryAccessibleInterface(each.widget);
        EXPECT_EQ(told->role(), each.role) << each.name;
        EXPECT_EQ(told->text(QAccessible::Name).toStdString(), each.name);
    }
    EXPECT_TRUE(waitForEvents([&] { return !preview->isSaving(); }));
    about->close();
    preview->close();
}

// Alt alone and F10 go to the menu bar, Ctrl+Tab to the next page; Escape, and Ctrl+W for help,
// close the help and update windows.
TEST_F(KeyboardAccessTest, MenuBarAndClosingFromTheKeyboard) {
    activate(window.get());
    QTest::keyClick(window.get(), Qt::Key_Alt);
    EXPECT_NE(window->menu->activeAction(), nullptr);
    QTest::keyClick(window->menu, Qt::Key_Escape);
    QTest::keyClick(window.get(), Qt::Key_F10);
    EXPECT_TRUE(waitForEvents([&] { return QApplication::activePopupWidget() != nullptr; }));
    EXPECT_EQ(window->menu->activeAction(), window->menu->actions().value(0));  // File
    QApplication::activePopupWidget()->close();
    // Ctrl+Tab and Ctrl+Page Down go to the next page, their Shift and Page Up
    // forms back, wherever the focus is.
    struct Turn {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int page;
    };
    window->TabPanel1->setCurrentIndex(0);
    for (Turn turn :
         {Turn{Qt::Key_Tab, Qt::ControlModifier, 1}, Turn{Qt::Key_PageDown, Qt::ControlModifier, 2},
          Turn{Qt::Key_PageDown, Qt::ControlModifier, 0},
          Turn{Qt::Key_PageUp, Qt::ControlModifier, 2},
          Turn{Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier, 1}}) {
        QWidget* focus = QApplication::focusWidget();
        QTest::keyClick(focus ? focus : window.get(), turn.key, turn.modifiers);
        EXPECT_EQ(window->TabPanel1->currentIndex(), turn.page);
    }
    window->ListBox1->setFocus();  // on the Fields page, a list that takes keys
    QTest::keyClick(window->ListBox1, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(window->TabPanel1->currentIndex(), 2);

    UpdateWindow* updater = window->newUpdateWindow();
    activate(updater);
    QTest::keyClick(updater, Qt::Key_Escape);
    EXPECT_TRUE(waitForEvents([&] { return !updater->isVisible(); }));
    // Escape closes the help window, and so does File > Close (Ctrl+W).
    openHelpDocument(window.get());
    QPointer<HelpWindow> help = helpWindow();
    ASSERT_TRUE(help);
    activate(help);
    QTest::keyClick(help, Qt::Key_Escape);
    EXPECT_TRUE(waitForEvents([&] { return !help; }));
    openHelpDocument(window.get());
    help = helpWindow();
    ASSERT_TRUE(help);
    EXPECT_TRUE(help->handleMenuItem(QStringLiteral("FileClose")));
    EXPECT_TRUE(waitForEvents([&] { return !help; }));
}

// Return is the dialog's main action wherever the focus is, also after the
// focus has been on Cancel; on Cancel itself it cancels. The main action of
// Convert from Mailbox, with nothing filled in, asks for the server.
TEST_F(KeyboardAccessTest, ReturnIsTheMainActionOnceCancelHadTheFocus) {
    auto tabTo = [](QWidget* dialog, Qt::Key key, auto reached) {
        for (int i = 0; i < 40 && !reached(QApplication::focusWidget()); ++i)
            QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : dialog,
                            key);
    };
    auto isCancel = [](QWidget* focus) {
        return focus != nullptr && focus->objectName() == QLatin1String("CancelButton");
    };
    auto isField = [](QWidget* focus) { return qobject_cast<QLineEdit*>(focus) != nullptr; };
    struct Case {
        const char* path;
        Qt::Key key;     // Tab or Shift+Tab (Backtab) to Cancel
        bool clickBack;  // a click into a field, else on round to one with the key
        bool onCancel;   // Return on Cancel itself
    };
    const Case cases[] = {{"Tab round", Qt::Key_Tab, false, false},
                          {"Tab, click", Qt::Key_Tab, true, false},
                          {"Shift+Tab, click", Qt::Key_Backtab, true, false},
                          {"Shift+Tab round", Qt::Key_Backtab, false, false},
                          {"on Cancel", Qt::Key_Tab, false, true}};
    for (const Case& c : cases) {
        for (bool mailbox : {true, false}) {
            SCOPED_TRACE(std::string(c.path) + (mailbox ? " mailbox" : " new template"));
            ::remove(dir.file("script.log").c_str());
            QPointer<QDialog> dialog =
                mailbox ? static_cast<QDialog*>(
                              new MailboxDialog(window.get(), window.get(), MailboxSettings()))
                        : new NewTemplateDialog(window.get(), window.get(), {"Name:"}, c.path);
            int accepted = 0;
            int rejected = 0;
            QObject::connect(dialog, &QDialog::accepted, [&] { ++accepted; });
            QObject::connect(dialog, &QDialog::rejected, [&] { ++rejected; });
            activate(dialog);
            tabTo(dialog, c.key, isCancel);
            ASSERT_TRUE(isCancel(QApplication::focusWidget()));
            if (c.clickBack) {
                QTest::mouseClick(dialog->findChild<QLineEdit*>(), Qt::LeftButton);
            } else if (!c.onCancel) {
                tabTo(dialog, c.key, isField);
            }
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            QApplication::processEvents();
            bool asked = dialogLog() == Lines{
                                            "message Please give the server and the user of "
                                            "the mailbox."};
            EXPECT_EQ(rejected, c.onCancel ? 1 : 0);
            EXPECT_EQ(mailbox ? asked : accepted == 1, !c.onCancel);
            if (dialog) dialog->close();
        }
    }
}

}  // namespace
}  // namespace tabulon::test
