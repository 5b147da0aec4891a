#include "platform/scripted_dialogs.h"

#include <QFile>

namespace tabulon {

void ScriptedDialogs::log(const QString& line) {
    QFile file(script_ + QStringLiteral(".log"));
    if (file.open(QIODevice::Append)) file.write(line.toUtf8() + '\n');
}

QString ScriptedDialogs::nextAnswer() {
    QFile file(script_);
    QByteArrayList lines;
    if (file.open(QIODevice::ReadOnly)) lines = file.readAll().split('\n');
    int index = answered_++;
    if (index >= lines.size()) return QString();
    QByteArray line = lines[index];
    if (line.endsWith('\r')) line.chop(1);
    return QString::fromUtf8(line);
}

void ScriptedDialogs::message(QWidget*, const QString& text) {
    QString escaped = text;
    escaped.replace(QLatin1Char('\r'), QStringLiteral("\\r"));
    escaped.replace(QLatin1Char('\n'), QStringLiteral("\\n"));
    log(QStringLiteral("message ") + escaped);
}

QString ScriptedDialogs::openFile(QWidget*) {
    log(QStringLiteral("open"));
    return nextAnswer();
}

QString ScriptedDialogs::saveFile(QWidget*, const QString& proposedName, const QString&) {
    log(QStringLiteral("save ") + proposedName);
    return nextAnswer();
}

QStringList ScriptedDialogs::openFiles(QWidget*) {
    log(QStringLiteral("open"));
    return nextAnswer().split(QLatin1Char('\t'), Qt::SkipEmptyParts);
}

QString ScriptedDialogs::saveFileWithTypes(QWidget*, const QString& proposedName, const QString&,
                                           const QStringList&, QString* selectedFilter) {
    log(QStringLiteral("save ") + proposedName);
    QStringList answer = nextAnswer().split(QLatin1Char('\t'));
    if (answer.size() > 1 && selectedFilter != nullptr) *selectedFilter = answer[1];
    return answer[0];
}

QString ScriptedDialogs::chooseFolder(QWidget*, const QString&) {
    log(QStringLiteral("folder"));
    return nextAnswer();
}

}  // namespace tabulon
