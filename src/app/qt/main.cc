// tabulon: the desktop application.
static const char kUsage[] = R"(Usage: tabulon [FILE...]

Starts Tabulon, the desktop app that turns form mail saved in a text file into
a tab-delimited table, and converts each FILE, asking where its output goes.
When Tabulon already runs, the FILEs are handed to it and this command ends.

  --spreadsheet  open the FILEs in a spreadsheet preview instead: one row per
                 message, saved as a workbook, csv, tsv or tab-delimited text
  -h, --help     show this text and exit
  --version      show the version and exit
  --             the arguments after it are files, even when they begin with -

See also tabulon-convert (converts without a window) and tabulon-send (scripts
the running app).
)";

#include <QApplication>
#include <QIcon>
#include <QStringList>
#include <QStyleFactory>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/qt/app.h"
#include "app/qt/embedded_resources.h"
#include "platform/qt/window_place.h"
#include "version.h"

namespace {

// Qt aborts when it finds no display; say what to do instead.
bool displayAvailable() {
#ifdef Q_OS_LINUX
    auto set = [](const char* name) {
        const char* value = std::getenv(name);
        return value != nullptr && *value != '\0';
    };
    return set("DISPLAY") || set("WAYLAND_DISPLAY") || set("QT_QPA_PLATFORM");
#else
    return true;
#endif
}

enum class Request { kRun, kHelp, kVersion };

// Picks the documents out of the arguments; --help and --version win over them.
Request readArguments(int argc, char** argv, QStringList* documents, bool* spreadsheet) {
    bool options = true;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (options && std::strcmp(arg, "--") == 0) {
            options = false;
        } else if (options && std::strcmp(arg, "--spreadsheet") == 0) {
            *spreadsheet = true;
        } else if (options && (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0)) {
            return Request::kHelp;
        } else if (options && std::strcmp(arg, "--version") == 0) {
            return Request::kVersion;
        } else {
            *documents << QString::fromLocal8Bit(arg);
        }
    }
    return Request::kRun;
}

}  // namespace

int main(int argc, char** argv) {
    QStringList documents;
    bool spreadsheet = false;  // the files open in a spreadsheet preview
    switch (readArguments(argc, argv, &documents, &spreadsheet)) {
        case Request::kHelp:
            std::fputs(kUsage, stdout);
            return 0;
        case Request::kVersion:
            std::printf("tabulon %s\n", tabulon::kVersion);
            return 0;
        case Request::kRun:
            break;
    }
    if (!displayAvailable()) {
        std::fputs(
            "tabulon: no display found (neither DISPLAY nor WAYLAND_DISPLAY is set).\n"
            "To convert without a display, use tabulon-convert, for example:\n"
            "  tabulon-convert \"Saved mail.txt\"\n"
            "which writes \"Saved mail.txt Converted\" beside it (see tabulon-convert --help).\n",
            stderr);
        return 1;
    }
    // A Tabulon already running takes the documents; this process is done.
    if (tabulon::handOffToRunningApp(documents, spreadsheet)) return 0;

    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tabulon"));
    QApplication::setApplicationVersion(QString::fromLatin1(tabulon::kVersion));
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    tabulon::registerEmbeddedResources();
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/tabulon.png")));
    QGuiApplication::setDesktopFileName(QStringLiteral("example.tabulon.Tabulon"));
    QApplication::setQuitOnLastWindowClosed(false);
    tabulon::keepWindowsOnScreen();
    tabulon::App app;
    return app.run(documents, spreadsheet);
}
