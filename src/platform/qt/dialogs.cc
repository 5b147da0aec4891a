#include "platform/qt/dialogs.h"

#include <QtGlobal>

#include "platform/qt/qt_dialogs.h"
#include "platform/qt/scripted_dialogs.h"

namespace tabulon {
namespace {

std::unique_ptr<Dialogs>& current() {
    static std::unique_ptr<Dialogs> dialogs;
    return dialogs;
}

}  // namespace

Dialogs& dialogs() {
    if (!current()) {
        QString script = qEnvironmentVariable("TABULON_DIALOG_SCRIPT");
        if (script.isEmpty()) {
            current() = std::make_unique<QtDialogs>();
        } else {
            current() = std::make_unique<ScriptedDialogs>(script);
        }
    }
    return *current();
}

void setDialogs(std::unique_ptr<Dialogs> replacement) {
    current() = std::move(replacement);
}

}  // namespace tabulon
