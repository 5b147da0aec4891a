// tabulon-screenshots DIR: renders every page of the main window, the Edit Field
// dialog, the progress dialog, the update window's states and the About box's
// tabs to DIR/*.png, in a scratch home folder so that nothing of the
// user's is read or changed. Run with QT_QPA_PLATFORM=offscreen.
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QStyleFactory>
#include <QTabWidget>
#include <cstdio>

#include "app/qt/about_box.h"
#include "app/qt/help.h"
#include "app/qt/screenshot_file.h"
#include "app/qt/spreadsheet_screenshots.h"
#include "app/qt/window1.h"
#include "conversion/qt/progress_dialog.h"
#include "platform/app_paths.h"
#include "platform/qt/dialogs.h"
#include "platform/qt/scripted_dialogs.h"
#include "templates/qt/edit_field_dialog.h"
#include "update/qt/update_window.h"
#include "version.h"

using namespace tabulon;

namespace {}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationVersion(QString::fromLatin1(kVersion));
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    if (argc != 2) {
        std::fputs("Usage: tabulon-screenshots DIR\n", stderr);
        return 2;
    }
    QDir out(QString::fromLocal8Bit(argv[1]));
    out.mkpath(QStringLiteral("."));
    // The resources stand beside the app in build/bin/.
    setApplicationFolderForTesting(
        QFile::encodeName(QApplication::applicationDirPath() + QStringLiteral("/../bin"))
            .toStdString());
    // A fixed scratch home, so that the paths shown are the same at every run.
    QDir home(QDir::tempPath() + QStringLiteral("/ann"));
    home.removeRecursively();
    home.mkpath(QStringLiteral("."));
    qputenv("HOME", QFile::encodeName(home.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(QStringLiteral(".config"))));
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.filePath(QStringLiteral(".local/share"))));
    setDialogs(std::make_unique<ScriptedDialogs>(home.filePath(QStringLiteral("script"))));
    // Dates show in the local time zone: the sample mail's own, wherever this runs.
    qputenv("TZ", "Europe/Oslo");

    Window1 window;
    window.Event_Open();
    window.show();
    bool ok = true;
    const char* const pages[] = {"welcome", "fields", "preferences"};
    for (int page = 0; page < 3; ++page) {
        window.TabPanel1->setCurrentIndex(page);
        if (page == 1) {
            window.ListBox1->setFocus();
            window.ListBox1->setCurrentRow(1);
        }
        ok &= saveScreenshot(
            &window,
            out.filePath(QStringLiteral("main-window-%1.png").arg(QLatin1String(pages[page]))));
    }
    window.TabPanel1->setCurrentIndex(1);
    auto* dialog = new Dialog5(window.ListBox1, &window);
    dialog->show();
    ok &= saveScreenshot(dialog, out.filePath(QStringLiteral("edit-field-dialog.png")));
    dialog->close();

    // The progress dialog as it looks part way through a run.
    Dialog2 progress(&window, QString(), true);
    progress.ProgressBar1->setValue(42);
    progress.show();
    ok &= saveScreenshot(&progress, out.filePath(QStringLiteral("progress-dialog.png")));
    progress.hide();

    // The update window in its three states.
    UpdateWindow updater;
    updater.show();
    ok &= saveScreenshot(&updater, out.filePath(QStringLiteral("update-window-idle.png")));
    updater.PushButton1->setText(QStringLiteral("Stop"));
    updater.StaticText1->setText(QStringLiteral("Checking for updates..."));
    updater.ProgressBar1->show();
    ok &= saveScreenshot(&updater, out.filePath(QStringLiteral("update-window-checking.png")));
    updater.tempData = UpdateReplyBuffer("AppVersion: 1.2\rAppName: Tabulon\r");
    updater.Parsedata();
    ok &= saveScreenshot(&updater, out.filePath(QStringLiteral("update-window-newer.png")));
    updater.hide();
    UpdateWindow unreached;
    unreached.show();
    unreached.Socket1_Error();  // as when the server cannot be reached
    ok &= saveScreenshot(&unreached, out.filePath(QStringLiteral("update-window-unreachable.png")));
    unreached.hide();

    AboutBox about(&window, window.myversion);
    about.show();
    ok &= saveScreenshot(&about, out.filePath(QStringLiteral("about-box-about.png")));
    about.TabPanel1->setCurrentIndex(1);
    ok &= saveScreenshot(&about, out.filePath(QStringLiteral("about-box-contact.png")));
    about.hide();
    HelpWindow help;
    if (help.load()) {
        help.show();
        ok &= saveScreenshot(&help, out.filePath(QStringLiteral("help-window.png")));
        help.hide();
    }

    ok &= renderSpreadsheetPictures(window, out, QStringLiteral(TABULON_SOURCE_DIR));
    window.Event_Close();
    home.removeRecursively();
    return ok ? 0 : 1;
}
