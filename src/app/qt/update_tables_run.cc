#include "app/qt/update_tables_run.h"

#include <QPointer>
#include <QProcess>
#include <QWidget>

#include "platform/app_paths.h"
#include "platform/qt/dialogs.h"

namespace tabulon {
namespace {

QPointer<QProcess> running;
const char* programForTesting = "";

// What the run said: its lines per table, then any error it told of.
QString report(QProcess& process) {
    QString said = QString::fromUtf8(process.readAllStandardOutput()).trimmed();
    QString errors = QString::fromUtf8(process.readAllStandardError()).trimmed();
    errors.replace(QStringLiteral("tabulon-convert: "), QString());
    if (process.exitStatus() != QProcess::NormalExit || process.error() == QProcess::FailedToStart)
        return QStringLiteral("The tables could not be updated: ") + process.errorString();
    QString text = said.isEmpty() ? QStringLiteral("No tables were updated.") : said;
    if (!errors.isEmpty()) text += QStringLiteral("\n\n") + errors;
    return text;
}

}  // namespace

void updateTables(QWidget* parent) {
    if (running) return;  // its message comes when it ends
    auto* process = new QProcess(parent);
    running = process;
    QPointer<QWidget> window = parent;
    process->setStandardInputFile(QProcess::nullDevice());
    QObject::connect(process, &QProcess::finished, process, [process, window] {
        QString text = report(*process);
        process->deleteLater();
        dialogs().message(window, text);
    });
    QObject::connect(process, &QProcess::errorOccurred, process,
                     [process, window](QProcess::ProcessError error) {
                         if (error != QProcess::FailedToStart) return;
                         process->deleteLater();
                         dialogs().message(window,
                                           QStringLiteral("The tables could not be updated: ") +
                                               process->errorString());
                     });
    std::string program = *programForTesting != '\0' ? std::string(programForTesting)
                                                     : executableFolder() + "tabulon-convert";
    process->start(QString::fromStdString(program),
                   {QStringLiteral("--update-tables"), QStringLiteral("-q")});
}

void setUpdateTablesProgramForTesting(const char* program) {
    programForTesting = program;
}

}  // namespace tabulon
