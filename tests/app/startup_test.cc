// Start-up and the preferences file: the first run, what a quit writes back,
// lenient reading, and the update window's placement.
#include <QApplication>
#include <QCheckBox>
#include <QListWidget>
#include <QPointer>
#include <QTest>
#include <cstdio>

#include "app/main_window_fixture.h"
#include "platform/file_type.h"
#include "update/qt/update_window.h"

namespace tabulon::test {
namespace {

const char kDefaultPrefs[] = "true\nfalse\nField Names\nfalse\n10\n50\n10\n50\n:Templates:\n";

using StartupTest = MainWindowTest;

TEST_F(StartupTest, FirstRunWritesDefaultsAndOpensWithOptionsOff) {
    skipFirstStartCopy();
    Window1& w = open();
    EXPECT_EQ(prefs(), kDefaultPrefs);
    if (!fileType(prefsPath()).empty()) {
        EXPECT_EQ(fileType(prefsPath()), "pref");
        EXPECT_EQ(fileCreator(prefsPath()), "TBLN");
    }
    EXPECT_EQ(w.geometry().topLeft(), QPoint(10, 50));
    EXPECT_FALSE(w.CheckBox1->isChecked());  // although the file says "true"
    EXPECT_FALSE(w.CheckBox2->isChecked());
    EXPECT_FALSE(w.CheckBox3->isChecked());
    EXPECT_EQ(w.updateWindow, nullptr);
    EXPECT_EQ(w.myfullname.toStdString(), ":Templates:Field Names");
    EXPECT_EQ(rows(), (std::vector<std::string>{"Name:", "Email:"}));
    EXPECT_FALSE(w.updatedfields);
    EXPECT_TRUE(w.askforsave);
    EXPECT_EQ(w.myversion.toStdString(), "1.0");
    EXPECT_TRUE(dialogLog().empty());
}

// A quit writes the current settings, and the defaults when the file was deleted.
TEST_F(StartupTest, QuitWritesTheCurrentSettings) {
    skipFirstStartCopy();
    Window1& w = open();
    w.setGeometry(QRect(QPoint(120, 130), w.geometry().size()));
    w.CheckBox2->click();
    w.CheckBox3->click();
    quit();
    EXPECT_EQ(prefs(), "false\ntrue\nField Names\ntrue\n120\n130\n10\n50\n:Templates:\n");
    open().CheckBox2->click();
    std::remove(prefsPath().c_str());
    quit();
    EXPECT_EQ(prefs(), kDefaultPrefs);
}

TEST_F(StartupTest, LenientReadingOfThePreferences) {
    skipFirstStartCopy();
    writePrefs("TRUE\nyes\n\n1\n-5\n");  // short, with odd values
    Window1& w = open();
    EXPECT_TRUE(w.myupdate);
    EXPECT_FALSE(w.mydrop);
    EXPECT_FALSE(w.mymultiplefiles);
    EXPECT_EQ(w.myfilename.toStdString(), "Field Names");
    EXPECT_EQ(w.myfilepath.toStdString(), ":Templates:");
    EXPECT_EQ(w.geometry().topLeft(), QPoint(-5, 0));
    // The update window opened during the opening, at the window's place + 250, 50.
    ASSERT_NE(w.updateWindow, nullptr);
    EXPECT_EQ(w.updateWindow->windowTitle().toStdString(), "Online Updater");
    EXPECT_EQ(w.updateWindow->geometry().topLeft(), QPoint(245, 50));
    EXPECT_EQ(prefs(), "TRUE\nyes\n\n1\n-5\n");  // reading never writes
}

TEST_F(StartupTest, UpdateWindowOpensOncePlacedFromTheStartPosition) {
    skipFirstStartCopy();
    writePrefs("false\nfalse\nField Names\nfalse\n100\n200\n10\n50\n:Templates:\n");
    Window1& w = open();
    w.setGeometry(QRect(QPoint(300, 300), w.geometry().size()));
    w.CheckBox1->click();
    ASSERT_NE(w.updateWindow, nullptr);
    EXPECT_EQ(w.updateWindow->geometry().topLeft(), QPoint(350, 250));
    UpdateWindow* first = w.updateWindow;
    w.CheckBox1->click();  // unticking closes nothing
    w.CheckBox1->click();  // and ticking again opens no second window
    EXPECT_EQ(w.updateWindow, first);
    first->setGeometry(QRect(QPoint(40, 60), first->size()));
    first->close();
    quit();
    EXPECT_EQ(prefs(), "true\nfalse\nField Names\nfalse\n300\n300\n40\n60\n:Templates:\n");
}

TEST_F(StartupTest, UpdateWindowOpenedAtStartComesUpInFront) {
    skipFirstStartCopy();
    writePrefs("true\nfalse\nField Names\nfalse\n10\n50\n10\n50\n:Templates:\n");
    Window1& w = open();
    w.show();  // the main window shows after its opening, as at a start
    ASSERT_NE(w.updateWindow, nullptr);
    QPointer<UpdateWindow> updater = w.updateWindow;
    EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == updater; }));
    updater->close();
}

TEST_F(StartupTest, MissingOrUnreadableTemplateIsReported) {
    skipFirstStartCopy();
    writePrefs("false\nfalse\nGone\nfalse\n10\n50\n10\n50\n:Templates:\n");
    open();
    EXPECT_EQ(dialogLog(), (std::vector<std::string>{
                               "message The selected field names file does not exist. Field names "
                               "files must be located in the templates folder."}));
}

TEST_F(StartupTest, OpenFileDialogOnStartup) {
    skipFirstStartCopy();
    writePrefs("false\ntrue\nField Names\nfalse\n10\n50\n10\n50\n:Templates:\n");
    answerDialogs({""});  // the user cancels the open dialog
    Window1& w = open();
    EXPECT_EQ(dialogLog(), (std::vector<std::string>{"open"}));
    EXPECT_TRUE(w.CheckBox2->isChecked());
    EXPECT_TRUE(w.myOpened);
}

}  // namespace
}  // namespace tabulon::test
