#include "app/app.h"

#include <QApplication>
#include <QFileInfo>
#include <QTimer>

#include "app/preview_window.h"
#include "app/window1.h"
#include "platform/dialogs.h"
#include "platform/event_client.h"
#include "platform/file_info.h"
#include "platform/qt_paths.h"
#include "platform/termination_signals.h"

namespace tabulon {
namespace {

const char kOpenDocumentsClass[] = "aevt";
const char kOpenDocumentsId[] = "odoc";
// Documents for a spreadsheet preview (`tabulon --spreadsheet FILE...`).
const char kSpreadsheetClass[] = "TBLN";
const char kSpreadsheetId[] = "sprd";

// Documents travel as one parameter: absolute paths separated by NUL bytes.
std::string documentList(const QStringList& documents) {
    std::string list;
    for (const QString& document : documents) {
        if (!list.empty()) list += '\0';
        list += QFile::encodeName(QFileInfo(document).absoluteFilePath()).toStdString();
    }
    return list;
}

QStringList documentsOf(const std::string& list) {
    QStringList documents;
    for (const QByteArray& path : QByteArray::fromStdString(list).split('\0')) {
        if (!path.isEmpty()) documents << QFile::decodeName(path);
    }
    return documents;
}

}  // namespace

bool handOffToRunningApp(const QStringList& documents, bool spreadsheet) {
    std::string error;
    ScriptingEvent event{spreadsheet ? kSpreadsheetClass : kOpenDocumentsClass,
                         spreadsheet ? kSpreadsheetId : kOpenDocumentsId, documentList(documents)};
    return sendEvent(event, &error) != SendResult::kNoApp;
}

App::App() {
#ifdef Q_OS_MACOS
    menuBar_ = std::make_unique<Menu>();
    connect(menuBar_.get(), &Menu::quitRequested, this, &App::quit);
#endif
    window_ = std::make_unique<Window1>();
    connect(window_->menu, &Menu::quitRequested, this, &App::quit);
    connect(window_.get(), &Window1::closed, qApp, &QApplication::quit, Qt::QueuedConnection);
    connect(qApp, &QApplication::aboutToQuit, window_.get(), &Window1::Event_Close);
    events_ = new EventServer(
        [this](const ScriptingEvent& event, EventServer::Reply reply) {
            Event_HandleAppleEvent(event, std::move(reply));
        },
        this);
}

App::~App() = default;

int App::run(const QStringList& documents, bool spreadsheet) {
    quitOnTerminationSignals([this] { quit(); });
    events_->listen(fromNative(eventSocketPath()));
    window_->Event_Open();
    window_->show();
    // Documents given at launch arrive once the main window has opened.
    QTimer::singleShot(0, this, [this, documents, spreadsheet] {
        if (spreadsheet) return openSpreadsheetPreview(window_.get(), documents);
        for (const QString& document : documents)
            Event_OpenDocument(document);
    });
    return QApplication::exec();
}

void App::quit() {
    window_->requestQuit();
}

void App::Event_OpenDocument(const QString& path) {
    window_->openDocument(path);
}

void App::Event_HandleAppleEvent(const ScriptingEvent& event, EventServer::Reply reply) {
    const std::string& id = event.eventId;
    QString text = QString::fromUtf8(event.parameter);
    if (eventIdIs(id, "quit")) {
        window_->QuitTimer->start();  // the reply goes back before the app quits
        return reply(true);
    }
    if (eventIdIs(id, "hail")) {
        dialogs().message(window_.get(), QStringLiteral("You called me? ") + text);
        return reply(true);
    }
    if (eventIdIs(id, "prcs")) {
        QString path = text.isEmpty() ? QStringLiteral(":zz") : text;
        if (!fileExists(nativePath(path))) return reply(false);
        window_->askforsave = false;
        window_->mydragfile = path;
        window_->openprogress([reply] { reply(true); });
        return;
    }
    if (event.eventClass == kSpreadsheetClass && event.eventId == kSpreadsheetId) {
        reply(true);
        openSpreadsheetPreview(window_.get(), documentsOf(event.parameter));
        return;
    }
    // Left to the standard handling: documents to open.
    if (event.eventClass == kOpenDocumentsClass && event.eventId == kOpenDocumentsId) {
        window_->raise();
        window_->activateWindow();
        QStringList documents = documentsOf(event.parameter);
        reply(true);
        for (const QString& document : documents)
            Event_OpenDocument(document);
        return;
    }
    reply(false);
}

}  // namespace tabulon
