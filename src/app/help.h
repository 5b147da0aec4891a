// Opens the help document ":Tabulon Help:Tabulon Help" with the desktop's handler.
#pragma once

class QWidget;

namespace tabulon {

// Shows "The AppleEvent could not be sent." when the desktop refuses it.
void openHelpDocument(QWidget* parent);

}  // namespace tabulon
