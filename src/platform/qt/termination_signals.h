// Turns SIGTERM, SIGINT and SIGHUP (logout, Ctrl+C in a terminal, `kill`) into a
// call on the event loop, so that the app quits by its normal road and saves
// what it holds instead of dying on the spot.
#pragma once

#include <functional>

namespace tabulon {

// Installs the handlers; `quit` runs on the event loop's thread. Call once, after
// the application object exists.
void quitOnTerminationSignals(std::function<void()> quit);

}  // namespace tabulon
