#include "platform/qt/scripted_dialogs.h"

#include <QEventLoop>
#include <QFile>

namespace tabulon {
namespace {

const char kStayOpen[] = "<stay open>";

}  // namespace

void ScriptedDialogs::log(const QString& line) {
    QFile file(script_ + QStringLiteral(".log"));
    if (file.open(QIODevice::Append)) file.write(line.toUtf8() + '\n');
}

QString ScriptedDialogs::line(int index) const {
    QFile file(script_);
    QByteArrayList lines;
    if (file.open(QIODevice::ReadOnly)) lines = file.readAll().split('\n');
    if (index >= lines.size()) return QString();
    QByteArray text = lines[index];
    if (text.endsWith('\r')) text.chop(1);
    return QString::fromUtf8(text);
}

void ScriptedDialogs::stayOpen() {
    QEventLoop loop;
    open_.append(&loop);
    loop.exec();
    open_.removeOne(&loop);
}

void ScriptedDialogs::cancelAll() {
    cancelling_ = true;
    for (QEventLoop* loop : open_)
        loop->quit();
}

QString ScriptedDialogs::answer(const QString& shown) {
    if (cancelling_) return QString();
    log(shown);
    QString chosen = line(answered_++);
    if (chosen != QLatin1String(kStayOpen)) return chosen;
    stayOpen();
    return QString();
}

void ScriptedDialogs::message(QWidget*, const QString& text) {
    if (cancelling_) return;
    QString escaped = text;
    escaped.replace(QLatin1Char('\r'), QStringLiteral("\\r"));
    escaped.replace(QLatin1Char('\n'), QStringLiteral("\\n"));
    log(QStringLiteral("message ") + escaped);
    // Message boxes take no answer; only "<stay open>" is meant for them.
    if (line(answered_) != QLatin1String(kStayOpen)) return;
    ++answered_;
    stayOpen();
}

QString ScriptedDialogs::openFile(QWidget*, const QString&) {
    return answer(QStringLiteral("open"));
}

QString ScriptedDialogs::saveFile(QWidget*, const QString& proposedName, const QString&) {
    return answer(QStringLiteral("save ") + proposedName);
}

QStringList ScriptedDialogs::openFiles(QWidget*) {
    return answer(QStringLiteral("open")).split(QLatin1Char('\t'), Qt::SkipEmptyParts);
}

QString ScriptedDialogs::saveFileWithTypes(QWidget*, const QString& proposedName, const QString&,
                                           const FileTypes&, QString* selectedFilter) {
    QStringList chosen = answer(QStringLiteral("save ") + proposedName).split(QLatin1Char('\t'));
    if (chosen.size() > 1 && selectedFilter != nullptr) *selectedFilter = chosen[1];
    return chosen[0];
}

QString ScriptedDialogs::chooseFolder(QWidget*, const QString&) {
    return answer(QStringLiteral("folder"));
}

}  // namespace tabulon
