#include "conversion/qt/progress_dialog.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>

#include "conversion/background_conversion.h"
#include "conversion/converter.h"
#include "output/output_plan.h"
#include "platform/qt/dialogs.h"
#include "platform/qt/fonts.h"
#include "platform/qt/placed_control.h"
#include "platform/qt/qt_paths.h"

namespace tabulon {
namespace {

// How often the bar follows the conversion: a few dozen times a second.
constexpr int kProgressIntervalMs = 30;
// The dialog appears only for a run that lasts long enough to be seen; drawing
// it costs more than converting a mail file of a few hundred kilobytes.
constexpr int kShowAfterMs = 200;
// Inputs up to this size convert in about a millisecond: on this thread, with no
// worker thread or event loop to hand over to.
constexpr uint64_t kConvertAtOnceBytes = 256 * 1024;

}  // namespace

Dialog2::Dialog2(QWidget* main, QString input, bool askForSave, std::function<FieldList()> fields)
    : QDialog(main),
      main_(main),
      input_(std::move(input)),
      askForSave_(askForSave),
      fields_(std::move(fields)) {
    setObjectName(QStringLiteral("Dialog2"));
    setWindowTitle(QStringLiteral("Please Wait..."));
    setWhatsThis(QStringLiteral(
        "Your input file is currently being processed. This may take a few minutes depending on "
        "the size of the file."));
    setModal(true);
    setFixedSize(298, 74);
    StaticText1 = placed(new QLabel(QStringLiteral("Processing Input File...")), "StaticText1",
                         this, QRect(13, 13, 258, 16));
    ProgressBar1 = placed(new QProgressBar, "ProgressBar1", this, QRect(13, 40, 272, 12));
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);
    ProgressBar1_Open();
    StaticText2 = placed(new QLabel(QStringLiteral("This may take a few minutes...")),
                         "StaticText2", this, QRect(84, 58, 143, 16), genevaFont(9));
}

void Dialog2::message(const QString& text) {
    if (sink_) return sink_(text);
    dialogs().message(this, text);
}

void Dialog2::stop() {
    stopped_ = true;
    if (conversion_) conversion_->stop();
}

void Dialog2::Event_Open() {
    QString input = input_.isEmpty() ? dialogs().openFile(main_) : input_;
    if (input.isEmpty()) {
        hide();
        return;
    }
    readdatafile(input);
}

bool Dialog2::readdatafile(const QString& input) {
    std::unique_ptr<FileSource> source = openInput(input);
    if (!source) {
        hide();
        return true;
    }
    QString output = chooseOutput(input);
    if (output.isEmpty() || stopped_) {
        hide();
        return false;
    }
    FieldList fields = fields_ ? fields_() : FieldList();
    if (fields.empty()) {
        // Nothing is written: an older output of the same name stays as it was.
        message(QStringLiteral("The Field Names file is missing!"));
        hide();
        return true;
    }
    Status status = convertShowingProgress(std::move(source), input, output, std::move(fields));
    hide();
    if (!status.ok()) message(QString::fromStdString(status.message()));
    return true;
}

std::unique_ptr<FileSource> Dialog2::openInput(const QString& input) {
    // The input is opened first: no one is asked where to put the conversion of a
    // file that cannot be read. Only regular files are taken; opening or reading
    // a pipe or a device could keep this thread waiting for ever.
    std::unique_ptr<FileSource> source;
    Status status = FileSource::openRegularFile(nativePath(input), &source);
    if (!status.ok()) message(QString::fromStdString(status.message()));
    return source;
}

QString Dialog2::chooseOutput(const QString& input) {
    // The line conversion's output has no extension: "<input> Converted".
    QString suffix = QString::fromStdString(OutputPlan("", "").suffix());
    QFileInfo info(input);
    return askForSave_ ? dialogs().saveFile(main_, info.fileName() + suffix, info.absolutePath())
                       : input + suffix;
}

void Dialog2::showProgress() {
    ProgressBar1->setRange(0, 100);
    show();
    repaint();
}

Status Dialog2::convertShowingProgress(std::unique_ptr<FileSource> source, const QString& input,
                                       const QString& output, FieldList fields) {
    BackgroundConversion conversion(std::move(source), nativePath(input), nativePath(output),
                                    std::move(fields));
    if (conversion.totalBytes() <= kConvertAtOnceBytes) {
        conversion.run();
        return conversion.wait();
    }
    // The conversion works on its own thread; this loop keeps the windows painted
    // and moves the bar until it has ended.
    QEventLoop loop;
    QTimer appear;
    appear.setSingleShot(true);
    connect(&appear, &QTimer::timeout, this, &Dialog2::showProgress);
    appear.start(kShowAfterMs);
    QTimer progress;
    connect(&progress, &QTimer::timeout, this, [&] {
        ProgressBar1->setValue(progressPercent(conversion.bytesRead(), conversion.totalBytes()));
    });
    progress.start(kProgressIntervalMs);
    conversion_ = &conversion;
    conversion.start([&loop] { QMetaObject::invokeMethod(&loop, "quit", Qt::QueuedConnection); });
    loop.exec();
    Status status = conversion.wait();
    conversion_ = nullptr;
    ProgressBar1->setValue(progressPercent(conversion.bytesRead(), conversion.totalBytes()));
    if (conversion.stopped()) return Status::Ok();  // no output, and nothing to say while quitting
    return status;
}

}  // namespace tabulon
