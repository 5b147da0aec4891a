// Conversion runs started from the main window. Runs happen one at a time, in
// the order asked for; each is carried by its own progress dialog.
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QStringList>
#include <QTimer>
#include <memory>

#include "app/qt/window1.h"
#include "conversion/qt/progress_dialog.h"
#include "platform/qt/dialogs.h"
#include "platform/qt/qt_paths.h"
#include "platform/readable_input.h"
#include "preview/qt/preview_window.h"

namespace tabulon {

bool Window1::openprogress(RunDone whenDone) {
    if (quitRequested_) {  // quitting: no new run begins
        mydragfile.clear();
        if (whenDone) whenDone(QString());
        return false;
    }
    runs_.push_back({mydragfile, askforsave, std::move(whenDone)});
    // The handed-over file belongs to this run, and "don't ask" to this run only.
    mydragfile.clear();
    if (!runs_.back().input.isEmpty()) askforsave = true;
    if (!converting_) runQueued();
    return false;
}

void Window1::runQueued() {
    converting_ = true;
    while (!runs_.empty()) {
        RunRequest run = std::move(runs_.front());
        runs_.pop_front();
        auto* dialog = new Dialog2(this, run.input, run.askForSave, [this] { return fields(); });
        auto failures = std::make_shared<QStringList>();
        if (run.whenDone)
            dialog->reportMessagesTo([failures](const QString& text) { failures->append(text); });
        run_ = dialog;
        dialog->Event_Open();  // returns when the run has ended
        run_ = nullptr;
        askforsave = true;  // "don't ask" lasted for the run that took it
        dialog->deleteLater();
        if (run.whenDone) run.whenDone(failures->join(QLatin1Char('\n')));
    }
    converting_ = false;
    if (quitRequested_) closeWhenIdle();
}

void Window1::openDocument(const QString& path) {
    Status input = checkReadableInput(nativePath(path));
    if (!input.ok()) return dialogs().message(this, QString::fromStdString(input.message()));
    mydragfile = path;
    openprogress();
}

namespace {

QStringList droppedFiles(const QMimeData* data) {
    QStringList files;
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile()) files << url.toLocalFile();
    }
    return files;
}

}  // namespace

void Window1::dragEnterEvent(QDragEnterEvent* event) {
    if (!droppedFiles(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void Window1::dropEvent(QDropEvent* event) {
    QStringList files = droppedFiles(event->mimeData());
    event->acceptProposedAction();
    // Dropped with Ctrl held: a spreadsheet preview instead of line-by-line runs.
    if (event->modifiers() & Qt::ControlModifier) {
        QMetaObject::invokeMethod(
            this, [this, files] { openSpreadsheetPreview(this, this, files); },
            Qt::QueuedConnection);
        return;
    }
    // The drop returns first; the runs follow from the event loop.
    QMetaObject::invokeMethod(
        this,
        [this, files] {
            for (const QString& file : files)
                openDocument(file);
        },
        Qt::QueuedConnection);
}

void Window1::requestQuit() {
    quitRequested_ = true;
    std::deque<RunRequest> dropped;
    dropped.swap(runs_);
    for (RunRequest& run : dropped) {
        if (run.whenDone) run.whenDone(QString());
    }
    if (run_) run_->stop();
    dialogs().cancelAll();
    closeWhenIdle();
}

void Window1::closeWhenIdle() {
    if (!converting_ && dialogs().openCount() == 0) {
        if (closeWhenIdleTimer_) closeWhenIdleTimer_->stop();
        close();
        return;
    }
    // The dialogs and the run return at once, but only once the event loop has
    // carried their endings out; this looks again from the event loop.
    if (!closeWhenIdleTimer_) {
        closeWhenIdleTimer_ = new QTimer(this);
        closeWhenIdleTimer_->setInterval(10);
        connect(closeWhenIdleTimer_, &QTimer::timeout, this, &Window1::closeWhenIdle);
    }
    closeWhenIdleTimer_->start();
}

}  // namespace tabulon
