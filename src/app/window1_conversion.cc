// Conversion runs started from the main window. Runs happen one at a time, in
// the order asked for; each is carried by its own progress dialog.
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>

#include "app/preview_window.h"
#include "app/window1.h"
#include "conversion/progress_dialog.h"

namespace tabulon {

bool Window1::openprogress(std::function<void()> whenDone) {
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
        auto* dialog = new Dialog2(this, run.input, run.askForSave);
        dialog->Event_Open();  // returns when the run has ended
        dialog->deleteLater();
        if (run.whenDone) run.whenDone();
    }
    converting_ = false;
    if (quitRequested_) close();
}

void Window1::openDocument(const QString& path) {
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
    // Dropped with Ctrl held: a spreadsheet preview instead of the described runs.
    if (event->modifiers() & Qt::ControlModifier) {
        QMetaObject::invokeMethod(
            this, [this, files] { openSpreadsheetPreview(this, files); }, Qt::QueuedConnection);
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
    if (converting_) {
        quitRequested_ = true;
        return;
    }
    close();
}

}  // namespace tabulon
