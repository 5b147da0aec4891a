// Menus answer the front window; the link, Help and About.
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTextBrowser>

#include <filesystem>

#include "app/main_window_fixture.h"
#include "app/qt/about_box.h"
#include "app/qt/help.h"
#include "platform/qt/desktop.h"
#include "update/qt/update_window.h"

namespace tabulon::test {
namespace {

class MenuTest : public MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        openAfterFirstStart().show();
        activate(window.get());
    }
    void activate(QWidget* front) {
        QApplication::processEvents();  // earlier windows' hiding first
        QApplication::setActiveWindow(front);
        QApplication::processEvents();
        window->menu->refresh();
    }
    // Every enabled item, by name.
    std::string enabledItems() const {
        std::string names;
        for (const QAction* action : window->menu->findChildren<QAction*>()) {
            if (!action->objectName().isEmpty() && !action->isSeparator() && !action->menu() &&
                action->isEnabled())
                names += action->objectName().toStdString() + " ";
        }
        return names;
    }
    void choose(const char* item) { window->menu->item(QLatin1String(item))->trigger(); }
};

TEST_F(MenuTest, PreferencesAboutAndHelp) {
    window->TabPanel1->setCurrentIndex(1);
    choose("EditPreferences");
    EXPECT_EQ(window->TabPanel1->currentIndex(), 2);

    // Each About command makes a new box; the box in front disables the menus.
    choose("AppleAboutTabulon");
    QPointer<AboutBox> first = window->findChild<AboutBox*>();
    ASSERT_FALSE(first.isNull());
    activate(first);
    EXPECT_EQ(enabledItems(), "FileQuit ");
    first->reject();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(first.isNull());
    activate(window.get());
    choose("AppleAboutTabulon");
    ASSERT_NE(window->findChild<AboutBox*>(), nullptr);
    window->findChild<AboutBox*>()->reject();

    // Help shows in Tabulon's own window, not through another program.
    activate(window.get());
    writeHelpDocument(
        "<html><body><h1>Tabulon Help</h1><p><a href=\"#cli\">Command line</a> "
        "<a href=\"https://www.tabulon.example/faq\">FAQ</a></p>"
        "<h2 id=\"cli\">Command line</h2><pre>" +
        std::string(300, 'x') + "</pre></body></html>");
    choose("HelpTabulonHelp");
    HelpWindow* help = helpWindow();
    ASSERT_NE(help, nullptr);  // shown
    EXPECT_EQ(help->HelpText->toPlainText().toStdString().rfind("Tabulon Help\n", 0), 0u);
    QApplication::processEvents();
    EXPECT_EQ(help->HelpText->horizontalScrollBar()->maximum(), 0);    // long lines wrap
    emit help->HelpText->anchorClicked(QUrl(QStringLiteral("#cli")));  // scrolls, stays here
    EXPECT_TRUE(openedUrls.empty());
    emit help->HelpText->anchorClicked(QUrl(QStringLiteral("https://www.tabulon.example#top")));
    EXPECT_EQ(openedUrls, (Lines{"https://www.tabulon.example#top"}));
    // Return on the link Tab reached opens it as a click does; the page stays.
    help->HelpText->setFocus();
    QTest::keyClick(help->HelpText, Qt::Key_Tab);
    QTest::keyClick(help->HelpText, Qt::Key_Tab);
    QTest::keyClick(help->HelpText, Qt::Key_Return);
    EXPECT_EQ(openedUrls.back(), "https://www.tabulon.example/faq");
    EXPECT_EQ(help->HelpText->toPlainText().toStdString().rfind("Tabulon Help\n", 0), 0u);
    activate(window.get());
    choose("HelpTabulonHelp");  // the same window again
    EXPECT_EQ(helpWindow(), help);
    help->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    std::filesystem::remove(helpDocument());
    activate(window.get());
    choose("HelpTabulonHelp");
    EXPECT_EQ(helpWindow(), nullptr);
    EXPECT_EQ(dialogLog(),
              (Lines{"message The help document \"" + helpDocument() + "\" could not be read."}));
}

// Edit's items act on the text field with the focus, as their keys would.
TEST_F(MenuTest, EditItemsActOnTheFocusedField) {
    auto* field = new QLineEdit(QStringLiteral("Name: Ann"), window.get());
    field->show();
    field->setFocus();
    QApplication::processEvents();
    ASSERT_EQ(QApplication::focusWidget(), field);
    QApplication::clipboard()->clear();
    auto step = [&](const char* item, int from, int length) {
        field->setSelection(from, length);
        window->menu->refresh();
        choose(item);
        return field->text().toStdString() + "|" + QApplication::clipboard()->text().toStdString();
    };
    EXPECT_EQ(step("EditCopy", 0, 5), "Name: Ann|Name:");
    EXPECT_EQ(step("EditCut", 5, 4), "Name:| Ann");
    EXPECT_EQ(step("EditPaste", 0, 0), " AnnName:| Ann");
    EXPECT_EQ(step("EditUndo", 0, 0), "Name:| Ann");
    EXPECT_EQ(step("EditClear", 1, 2), "Ne:| Ann");
    // Cut and Clear need a selection in a field that takes text; Copy a selection.
    auto enabled = [&](const char* item) {
        window->menu->refresh();
        return window->menu->item(QLatin1String(item))->isEnabled();
    };
    field->setReadOnly(true);
    field->setSelection(0, 2);
    EXPECT_TRUE(enabled("EditCopy"));
    EXPECT_FALSE(enabled("EditCut") || enabled("EditClear"));
    field->setReadOnly(false);
    field->deselect();
    EXPECT_FALSE(enabled("EditCut") || enabled("EditClear") || enabled("EditCopy"));
}

// Stop ends a check for updates under way: the window is as before it began.
TEST_F(MenuTest, StopEndsAnUpdateCheck) {
    UpdateWindow updater;
    updater.PushButton1->setText(QStringLiteral("Stop"));
    updater.PushButton1->click();
    EXPECT_EQ(updater.PushButton1->text(), QStringLiteral("Start"));
}

// The links open their addresses, or show them when no program can, and show
// where they are under the pointer; the About box's button closes it.
TEST_F(MenuTest, LinksOpenTheirAddressesOrShowThem) {
    AboutBox box(window.get(), window->myversion);
    box.TabPanel1->setCurrentIndex(1);
    box.show();
    UpdateWindow updater;
    updater.PushButton1->setText(QStringLiteral("Download"));
    auto clickEveryLink = [&] {
        QTest::mouseClick(window->StaticText1, Qt::LeftButton, {}, QPoint(70, 8));
        QTest::mouseClick(box.StaticText5, Qt::LeftButton);
        QTest::mouseClick(box.Canvas3, Qt::LeftButton, {}, QPoint(2, 7));
        updater.PushButton1->click();
    };
    clickEveryLink();
    const std::string download = "http://www.tabulon.example/downloads/shareware/tabulon.zip";
    EXPECT_EQ(openedUrls, (Lines{"http://www.tabulon.example/", "http://www.tabulon.example/",
                                 "mailto:info@tabulon.example", download}));
    EXPECT_TRUE(dialogLog().empty());

    setUrlOpenerForTesting([](const QUrl&) { return false; });
    clickEveryLink();
    const std::string none = "message No program could open this address:\\n";
    EXPECT_EQ(dialogLog(),
              (Lines{none + "http://www.tabulon.example/", none + "http://www.tabulon.example/",
                     none + "info@tabulon.example", none + download}));
    box.PushButton1->click();
    EXPECT_FALSE(box.isVisible());
    // The main window's link takes another colour under the pointer.
    auto colour = [&] { return window->StaticText1->palette().color(QPalette::WindowText); };
    QEvent enter(QEvent::Enter), leave(QEvent::Leave);
    QApplication::sendEvent(window->StaticText1, &leave);  // the clicks above hovered it
    QColor normal = colour();
    QApplication::sendEvent(window->StaticText1, &enter);
    EXPECT_NE(colour(), normal);
}

}  // namespace
}  // namespace tabulon::test
