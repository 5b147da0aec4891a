// The application object: creates the main window, opens it, and quits when it
// closes. Quitting by any road (the Quit item, the quit timer, the session
// ending) goes through the main window's closing sequence.
#pragma once

#include <QObject>
#include <memory>

namespace tabulon {

class Menu;
class Window1;

class App : public QObject {
    Q_OBJECT
  public:
    App();
    ~App() override;

    // Opens the main window and runs the event loop; returns the exit code.
    int run();
    Window1* mainWindow() const { return window_.get(); }

  private:
    void quit();

    std::unique_ptr<Menu> menuBar_;  // the application's own menu bar (macOS)
    std::unique_ptr<Window1> window_;
};

}  // namespace tabulon
