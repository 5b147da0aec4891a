// tabulon: the desktop application.
#include <QApplication>
#include <QIcon>
#include <QStringList>
#include <QStyleFactory>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/app.h"
#include "app/embedded_resources.h"

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

}  // namespace

int main(int argc, char** argv) {
    if (!displayAvailable()) {
        std::fputs(
            "tabulon: no display found (neither DISPLAY nor WAYLAND_DISPLAY is set).\n"
            "To convert without a display, use tabulon-convert, for example:\n"
            "  tabulon-convert \"Saved mail.txt\"\n"
            "which writes \"Saved mail.txt Converted\" beside it (see tabulon-convert --help).\n",
            stderr);
        return 1;
    }
    // `--spreadsheet FILE...`: the files open in a spreadsheet preview.
    bool spreadsheet = argc > 1 && std::strcmp(argv[1], "--spreadsheet") == 0;
    QStringList documents;
    for (int i = spreadsheet ? 2 : 1; i < argc; ++i)
        documents << QString::fromLocal8Bit(argv[i]);
    // A Tabulon already running takes the documents; this process is done.
    if (tabulon::handOffToRunningApp(documents, spreadsheet)) return 0;

    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tabulon"));
    QApplication::setApplicationVersion(QStringLiteral(TABULON_VERSION));
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    tabulon::registerEmbeddedResources();
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/tabulon.png")));
    QGuiApplication::setDesktopFileName(QStringLiteral("example.tabulon.Tabulon"));
    QApplication::setQuitOnLastWindowClosed(false);
    tabulon::App app;
    return app.run(documents, spreadsheet);
}
