// Every window usable from the keyboard and spoken by a screen reader: each
// control that takes the focus has a name and a role, windows are windows,
// Alt and F10 reach the menu bar, and Escape closes the secondary windows.
#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMetaEnum>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <cstdio>

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
    // without a name, or with no role of their own. And buttons claiming one
    // Alt+letter, which then only moves the focus between them.
    static Lines unspoken(QWidget* shown) {
        Lines missing;
        QSet<int> keys;
        QAccessibleInterface* top = QAccessible::queryAccessibleInterface(shown);
        if (top->role() == QAccessible::Client) missing.push_back("window role");
        for (QWidget* control : shown->findChildren<QWidget*>()) {
            if (!control->isVisibleTo(shown) || !(control->focusPolicy() & Qt::TabFocus) ||
                control->focusProxy() != nullptr) {
                continue;  // a proxy's focus goes to the control it names, looked at itself
            }
            auto* button = qobject_cast<QAbstractButton*>(control);
            int key = button ? QKeySequence::mnemonic(button->text())[0].toCombined() : 0;
            if (key != 0 && keys.contains(key))
                missing.push_back("Alt key of " + button->text().toStdString());
            keys.insert(key);
            QAccessibleInterface* spoken = QAccessible::queryAccessibleInterface(control);
            // What a screen reader is told, in the test's log: window, role, name.
            std::printf("%s: %s \"%s\"\n", qPrintable(shown->objectName()),
                        QMetaEnum::fromType<QAccessible::Role>().valueToKey(spoken->role()),
                        qPrintable(spoken->text(QAccessible::Name)));
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
    // What is not a control is spoken as what it is, by name.
    using Spoken = std::tuple<QWidget*, QAccessible::Role, std::string>;
    for (const auto& [widget, role, name] :
         {Spoken{window->StaticText1, QAccessible::Link, "www.tabulon.example"},
          Spoken{about->Canvas1, QAccessible::Graphic, "Tabulon"}}) {
        QAccessibleInterface* told = QAccessible::queryAccessibleInterface(widget);
        EXPECT_EQ(told->role(), role) << name;
        EXPECT_EQ(told->text(QAccessible::Name).toStdString(), name);
    }
    // The preview's table has the focus first, and Tab leaves it.
    EXPECT_EQ(preview->focusWidget(), preview->PreviewTable);
    EXPECT_FALSE(preview->PreviewTable->tabKeyNavigation());
    for (QWidget* each : shown) {
        if (each) each->close();
    }
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
    // Ctrl+Tab and Ctrl+Page Down go to the next page, Ctrl+Page Up back.
    window->TabPanel1->setCurrentIndex(0);
    for (auto [key, page] :
         {std::pair{Qt::Key_Tab, 1}, {Qt::Key_PageDown, 2}, {Qt::Key_PageUp, 1}}) {
        QTest::keyClick(QApplication::focusWidget(), key, Qt::ControlModifier);
        EXPECT_EQ(window->TabPanel1->currentIndex(), page);
    }

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
    auto cancel = [](QWidget* focus) { return focus->objectName() == "CancelButton"; };
    auto field = [](QWidget* focus) { return qobject_cast<QLineEdit*>(focus) != nullptr; };
    auto tabTo = [](Qt::Key key, auto reached) {
        for (int i = 0; i < 40 && !reached(QApplication::focusWidget()); ++i)
            QTest::keyClick(QApplication::focusWidget(), key);
    };
    // Tab or Shift+Tab (Backtab) to Cancel, then: on round to a field, a click
    // into one, or Return on Cancel itself.
    enum Then { kRound, kClick, kOnCancel };
    const std::pair<Qt::Key, Then> cases[] = {
        {Qt::Key_Tab, kRound}, {Qt::Key_Backtab, kClick}, {Qt::Key_Tab, kOnCancel}};
    for (const auto& [key, then] : cases) {
        for (bool mailbox : {true, false}) {
            SCOPED_TRACE(std::to_string(then) + (mailbox ? " mailbox" : " new template"));
            ::remove(dir.file("script.log").c_str());
            QPointer<QDialog> dialog =
                new NewTemplateDialog(window.get(), window.get(), {"Name:"}, QString::number(then));
            if (mailbox) dialog = new MailboxDialog(window.get(), window.get(), MailboxSettings());
            int accepted = 0, rejected = 0;
            QObject::connect(dialog, &QDialog::accepted, [&] { ++accepted; });
            QObject::connect(dialog, &QDialog::rejected, [&] { ++rejected; });
            activate(dialog);
            tabTo(key, cancel);
            if (then == kRound) tabTo(key, field);
            if (then == kClick) QTest::mouseClick(dialog->findChild<QLineEdit*>(), Qt::LeftButton);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            QApplication::processEvents();
            bool asked =
                dialogLog() == Lines{"message Please give the server and the user of the mailbox."};
            EXPECT_EQ(rejected, then == kOnCancel);
            EXPECT_EQ(mailbox ? asked : accepted == 1, then != kOnCancel);
            if (dialog) dialog->close();
        }
    }
}

}  // namespace
}  // namespace tabulon::test
