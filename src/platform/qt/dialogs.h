// The one way the app shows anything modal: message boxes and the open, save and
// folder dialogs (dialog_seam.h). The real implementation shows Qt dialogs; the
// scripted one answers from a file and logs what was shown, so tests never wait
// for a person.
#pragma once

#include <memory>

#include "platform/qt/dialog_seam.h"

namespace tabulon {

// The app's dialogs: scripted when TABULON_DIALOG_SCRIPT is set, Qt's otherwise.
Dialogs& dialogs();
// Replaces them (tests); the previous ones are destroyed.
void setDialogs(std::unique_ptr<Dialogs> replacement);

}  // namespace tabulon
