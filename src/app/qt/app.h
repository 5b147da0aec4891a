// The application object: creates the main window, opens it, and quits when it
// closes. Quitting by any road (the Quit item, the quit event, the session
// ending) goes through the main window's closing sequence. It also answers the
// scripting events that arrive on the event socket and hands documents to the
// main window.
#pragma once

#include <QObject>
#include <QStringList>
#include <memory>

#include "app/qt/event_server.h"

namespace tabulon {

class Menu;
class Window1;

class App : public QObject {
    Q_OBJECT
  public:
    App();
    ~App() override;

    // Opens the main window, then converts `documents` one after another (or
    // shows them in a spreadsheet preview), and runs the event loop; returns the
    // exit code.
    int run(const QStringList& documents = {}, bool spreadsheet = false);

    // Answers one scripting event; `reply` may come later (a conversion replies
    // once its output is closed).
    void Event_HandleAppleEvent(const ScriptingEvent& event, EventServer::Reply reply);
    // A document opened with the app.
    void Event_OpenDocument(const QString& path);

  private:
    void quit();

    std::unique_ptr<Menu> menuBar_;  // the application's own menu bar (macOS)
    std::unique_ptr<Window1> window_;
    EventServer* events_;
};

// Sends the documents to a Tabulon that already runs (to be converted, or shown
// in a spreadsheet preview); false when none answers.
bool handOffToRunningApp(const QStringList& documents, bool spreadsheet = false);

}  // namespace tabulon
