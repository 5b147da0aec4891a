#include "app/qt/app.h"

#include <QApplication>
#include <QFileInfo>
#include <QTimer>
#include <cstdio>

#include "app/qt/window1.h"
#include "platform/event_client.h"
#include "platform/qt/dialogs.h"
#include "platform/qt/qt_paths.h"
#include "platform/qt/termination_signals.h"
#include "platform/readable_input.h"
#include "preview/qt/preview_window.h"

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
    switch (sendEvent(event, &error)) {
        case SendResult::kNoApp:
            return false;
        case SendResult::kUntrusted:
            // Not handed to anyone; this process starts and says why it cannot
            // take events either.
            std::fprintf(stderr, "tabulon: %s\n", error.c_str());
            return false;
        case SendResult::kHandled:
        case SendResult::kNotHandled:
        case SendResult::kFailed:
            break;
    }
    return true;
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
    Status listening = events_->listen(eventSocketPath());
    window_->Event_Open();
    if (!window_->quitRequested()) window_->show();  // asked to quit while opening
    if (!listening.ok()) {
        // The app works on; only scripts and a second Tabulon cannot reach it.
        QString text = QStringLiteral("Tabulon cannot take scripting events: %1.")
                           .arg(QString::fromStdString(listening.message()));
        std::fprintf(stderr, "tabulon: %s\n", text.toLocal8Bit().constData());
        QTimer::singleShot(0, this, [this, text] { dialogs().message(window_.get(), text); });
    }
    // Documents given at launch arrive once the main window has opened.
    QTimer::singleShot(0, this, [this, documents, spreadsheet] {
        if (spreadsheet) return openSpreadsheetPreview(window_.get(), window_.get(), documents);
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
        return reply(true, {});
    }
    if (eventIdIs(id, "hail")) {
        // Showing the greeting is the event's whole purpose.
        dialogs().message(window_.get(), QStringLiteral("You called me? ") + text);
        return reply(true, {});
    }
    if (eventIdIs(id, "prcs")) {
        // A script is waiting, not a person: what goes wrong goes back in the reply.
        // An empty path stands for "zz" beside the app, a name that normally names
        // no file: the request is then answered as for any missing file (and a
        // file of that name, should one be there, is converted).
        QString path = text.isEmpty() ? QStringLiteral(":zz") : text;
        Status input = checkReadableInput(nativePath(path));
        if (!input.ok()) return reply(false, QString::fromStdString(input.message()));
        window_->askforsave = false;
        window_->mydragfile = path;
        window_->openprogress([this, reply](const QString& failure) {
            // A run stopped or dropped by quitting converted nothing.
            if (window_->quitRequested() && failure.isEmpty())
                return reply(false, QStringLiteral("Tabulon quit before the conversion ended."));
            reply(failure.isEmpty(), failure);
        });
        return;
    }
    if (event.eventClass == kSpreadsheetClass && event.eventId == kSpreadsheetId) {
        reply(true, {});
        openSpreadsheetPreview(window_.get(), window_.get(), documentsOf(event.parameter));
        return;
    }
    // Left to the standard handling: documents to open.
    if (event.eventClass == kOpenDocumentsClass && event.eventId == kOpenDocumentsId) {
        window_->raise();
        window_->activateWindow();
        QStringList documents = documentsOf(event.parameter);
        reply(true, {});
        for (const QString& document : documents)
            Event_OpenDocument(document);
        return;
    }
    reply(false, {});
}

}  // namespace tabulon
