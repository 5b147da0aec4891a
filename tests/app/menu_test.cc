// Menus answer the front window; the link, Help and About.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include <QTextBrowser>
#include <filesystem>

#include "app/qt/about_box.h"
#include "app/qt/help.h"
#include "app/main_window_fixture.h"
#include "app/qt/main_window_pages.h"
#include "platform/qt/desktop.h"
#include "templates/qt/edit_field_dialog.h"
#include "update/qt/update_window.h"

namespace tabulon::test {
namespace {

class MenuTest : public MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        skipFirstStartCopy();
        open().show();
        activate(window.get());
    }
    void activate(QWidget* front) {
        QApplication::processEvents();  // earlier windows' hiding first
        QApplication::setActiveWindow(front);
        QApplication::processEvents();
        window->menu->refresh();
    }
    HelpWindow* helpWindow() const {
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (auto* help = qobject_cast<HelpWindow*>(top)) return help;
        }
        return nullptr;
    }
    // The enabled items, in menu order.
    std::string enabledItems() const {
        std::string names;
        for (const char* name :
             {"FileOpen", "FileClose", "FileQuit", "EditUndo", "EditCut", "EditCopy", "EditPaste",
              "EditClear", "EditPreferences", "HelpTabulonHelp", "AppleAboutTabulon"}) {
            if (window->menu->item(QLatin1String(name))->isEnabled())
                names += std::string(name) + " ";
        }
        return names;
    }
    void choose(const char* item) { window->menu->item(QLatin1String(item))->trigger(); }
};

TEST_F(MenuTest, ItemsFollowTheFrontWindow) {
    EXPECT_EQ(enabledItems(),
              "FileOpen FileQuit EditPreferences HelpTabulonHelp AppleAboutTabulon ");

    window->CheckBox1->click();
    UpdateWindow* updater = window->updateWindow;
    ASSERT_NE(updater, nullptr);
    activate(updater);
    EXPECT_EQ(enabledItems(), "FileClose FileQuit HelpTabulonHelp ");
    QPointer<UpdateWindow> watched(updater);
    choose("FileClose");
    QApplication::processEvents();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(watched.isNull());

    activate(window.get());
    window->ListBox1->setCurrentRow(0);
    window->ListBox1_DoubleClick();
    auto* dialog = window->findChild<Dialog5*>();
    ASSERT_NE(dialog, nullptr);
    activate(dialog);
    dialog->EditField1->setFocus();
    dialog->EditField1->selectAll();
    window->menu->refresh();
    EXPECT_EQ(enabledItems(), "FileQuit EditCut EditCopy EditClear ");
    choose("EditCut");
    EXPECT_EQ(dialog->EditField1->text().toStdString(), "");
    dialog->reject();
}

TEST_F(MenuTest, PreferencesAboutAndHelp) {
    window->TabPanel1->setCurrentIndex(1);
    choose("EditPreferences");
    EXPECT_EQ(window->TabPanel1->currentIndex(), 2);

    // Each About command makes a new box; the box in front disables the menus.
    choose("AppleAboutTabulon");
    QPointer<AboutBox> first = window->findChild<AboutBox*>();
    ASSERT_FALSE(first.isNull());
    EXPECT_EQ(first->windowTitle().toStdString(), "About Tabulon");
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
    std::filesystem::create_directories(dir.file("app/Tabulon Help"));
    writeFile(dir.file("app/Tabulon Help/Tabulon Help"),
              "<html><body><h1>Tabulon Help</h1><p><a href=\"#cli\">Command line</a> "
              "<a href=\"https://www.tabulon.example/faq\">FAQ</a></p>"
              "<h2 id=\"cli\">Command line</h2></body></html>");
    choose("HelpTabulonHelp");
    HelpWindow* help = helpWindow();
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    EXPECT_EQ(help->HelpText->toPlainText().toStdString().rfind("Tabulon Help\n", 0), 0u);
    emit help->HelpText->anchorClicked(QUrl(QStringLiteral("#cli")));  // scrolls, stays here
    EXPECT_TRUE(openedUrls.empty());
    emit help->HelpText->anchorClicked(QUrl(QStringLiteral("https://www.tabulon.example/faq")));
    EXPECT_EQ(openedUrls, (std::vector<std::string>{"https://www.tabulon.example/faq"}));
    activate(window.get());
    choose("HelpTabulonHelp");  // the same window again
    EXPECT_EQ(helpWindow(), help);
    help->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    std::filesystem::remove(dir.file("app/Tabulon Help/Tabulon Help"));
    activate(window.get());
    choose("HelpTabulonHelp");
    EXPECT_EQ(helpWindow(), nullptr);
    EXPECT_EQ(dialogLog(), (std::vector<std::string>{"message The help document \"" +
                                                     dir.file("app/Tabulon Help/Tabulon Help") +
                                                     "\" could not be read."}));
}

TEST_F(MenuTest, LinksThatCannotBeOpenedShowTheirAddress) {
    setUrlOpenerForTesting([](const QUrl&) { return false; });
    QTest::mouseClick(window->StaticText1, Qt::LeftButton, {}, QPoint(70, 8));
    AboutBox box(window.get(), window->myversion);
    box.TabPanel1->setCurrentIndex(1);
    box.show();
    QTest::mouseClick(box.Canvas3, Qt::LeftButton, {}, QPoint(2, 7));
    UpdateWindow updater;
    updater.PushButton1->setText(QStringLiteral("Download"));
    updater.PushButton1->click();
    EXPECT_EQ(dialogLog(),
              (std::vector<std::string>{
                  "message No program could open this address:\\nhttp://www.tabulon.example/",
                  "message No program could open this address:\\ninfo@tabulon.example",
                  "message No program could open this address:\\n"
                  "http://www.tabulon.example/downloads/shareware/tabulon.zip"}));
}

TEST_F(MenuTest, AboutBoxShowsVersionPictureAndLinks) {
    AboutBox box(window.get(), window->myversion);
    EXPECT_EQ(box.size(), QSize(379, 234));
    EXPECT_EQ(box.TabPanel1->tabText(0).toStdString(), "About");
    EXPECT_EQ(box.TabPanel1->tabText(1).toStdString(), "Contact");
    EXPECT_EQ(box.StaticText2->text().toStdString(), "Version 1.0");
    EXPECT_EQ(box.p.size(), QSize(146, 20));
    EXPECT_EQ(box.StaticText3->text().count(QLatin1Char('\n')), 2);  // three lines
    QEvent enter(QEvent::Enter), leave(QEvent::Leave);
    QApplication::sendEvent(box.StaticText4, &enter);
    EXPECT_EQ(box.StaticText4->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    QApplication::sendEvent(box.StaticText4, &leave);
    EXPECT_EQ(box.StaticText4->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    box.TabPanel1->setCurrentIndex(1);
    box.show();
    QTest::mouseClick(box.StaticText5, Qt::LeftButton);
    QTest::mouseClick(box.Canvas3, Qt::LeftButton, {}, QPoint(2, 7));
    EXPECT_EQ(openedUrls, (std::vector<std::string>{"http://www.tabulon.example/",
                                                    "mailto:info@tabulon.example"}));
    box.PushButton1->click();
    EXPECT_FALSE(box.isVisible());
}

TEST_F(MenuTest, TheLinkOnTheWelcomePage) {
    QLabel* link = window->StaticText1;
    EXPECT_EQ(link->palette().color(QPalette::WindowText), QColor(0, 0, 244));
    QEvent enter(QEvent::Enter), leave(QEvent::Leave);
    QApplication::sendEvent(link, &enter);
    EXPECT_EQ(link->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    QApplication::sendEvent(link, &leave);
    EXPECT_EQ(link->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    QTest::mouseClick(link, Qt::LeftButton, {}, QPoint(70, 8));
    EXPECT_EQ(openedUrls, (std::vector<std::string>{"http://www.tabulon.example/"}));
}

TEST_F(MenuTest, LayoutTextsAndGeometry) {
    EXPECT_EQ(window->windowTitle().toStdString(), "Tabulon");
    EXPECT_EQ(window->centralWidget()->size(), QSize(381, 317));
    QString welcome = QString::fromUtf8(kWelcomeText).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    EXPECT_EQ(window->StaticText2->text(), welcome);
    EXPECT_EQ(window->TabPanel1->tabText(0).toStdString(), "Welcome");
    // Controls stand at the layout's window coordinates, whatever the tab bar.
    for (int page = 0; page < 3; ++page) {
        window->TabPanel1->setCurrentIndex(page);
        QApplication::processEvents();
    }
    auto at = [this](QWidget* control) {
        return QRect(control->mapTo(window->centralWidget(), QPoint()), control->size());
    };
    EXPECT_EQ(at(window->ListBox1), QRect(26, 48, 326, 211));
    EXPECT_EQ(at(window->BevelButton1), QRect(102, 155, 176, 22));
    EXPECT_EQ(at(window->StaticText1), QRect(113, 269, 148, 16));
    for (const char* name :
         {"TabPanel1", "ListBox1", "Canvas1", "CheckBox1", "CheckBox2", "CheckBox3", "GroupBox2",
          "StaticText3", "FieldDeleteButton", "FieldInsertButton", "FieldDownButton",
          "FieldUpButton", "StaticText1", "StaticText2", "PopupMenu1", "myTemplateLoc",
          "BevelButton1", "QuitTimer"}) {
        EXPECT_NE(window->findChild<QObject*>(QLatin1String(name)), nullptr) << name;
    }
}

}  // namespace
}  // namespace tabulon::test
