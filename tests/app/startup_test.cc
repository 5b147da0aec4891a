// Start-up and the preferences file: the first run, what a quit writes back, and
// the update window opened at start.
#include <QApplication>
#include <QCheckBox>
#include <QPointer>
#include <QTest>
#include <cstdio>

#include "app/main_window_fixture.h"
#include "app/qt/app.h"
#include "platform/file_type.h"
#include "preview/qt/preview_window.h"
#include "update/qt/update_window.h"

namespace tabulon::test {
namespace {

const char kDefaultPrefs[] = "true\nfalse\nField Names\nfalse\n10\n50\n10\n50\n:Templates:\n";

using StartupTest = MainWindowTest;

TEST_F(StartupTest, FirstRunWritesDefaultsAndOpensWithOptionsOff) {
    Window1& w = openAfterFirstStart();
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
    EXPECT_TRUE(w.askforsave);
}

// A quit writes the current settings, and the defaults when the file was deleted.
TEST_F(StartupTest, QuitWritesTheCurrentSettings) {
    Window1& w = openAfterFirstStart();
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

TEST_F(StartupTest, UpdateWindowOpenedAtStartComesUpInFront) {
    writePrefs("true\nfalse\nField Names\nfalse\n10\n50\n10\n50\n:Templates:\n");
    Window1& w = openAfterFirstStart();
    w.show();  // the main window shows after its opening, as at a start
    ASSERT_NE(w.updateWindow, nullptr);
    QPointer<UpdateWindow> updater = w.updateWindow;
    EXPECT_EQ(updater->geometry().topLeft(), QPoint(260, 100));  // right of and below the window
    EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == updater; }));
    updater->close();
}

// Documents a second Tabulon hands over with --spreadsheet open in a preview;
// an event the app does not know is answered as not handled.
TEST_F(StartupTest, HandedOverSpreadsheetDocumentsOpenInAPreview) {
    App app;
    std::vector<bool> handled;
    auto reply = [&](bool ok, const QString&) { handled.push_back(ok); };
    writeFile(dir.file("form.mbox"), "From a@b Mon Nov 30 09:14:02 2026\n\nName: Ann\n");
    app.Event_HandleAppleEvent({"TBLN", "sprd", dir.file("form.mbox")}, reply);
    app.Event_HandleAppleEvent({"TBLN", "what", ""}, reply);
    EXPECT_EQ(handled, (std::vector<bool>{true, false}));
    int previews = 0;
    for (QWidget* shown : QApplication::topLevelWidgets())
        previews += qobject_cast<PreviewWindow*>(shown) != nullptr;
    EXPECT_EQ(previews, 1);
}

}  // namespace
}  // namespace tabulon::test
