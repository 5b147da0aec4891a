#include "app/app.h"

#include <QApplication>

#include "app/window1.h"
#include "platform/termination_signals.h"

namespace tabulon {

App::App() {
#ifdef Q_OS_MACOS
    menuBar_ = std::make_unique<Menu>();
    connect(menuBar_.get(), &Menu::quitRequested, this, &App::quit);
#endif
    window_ = std::make_unique<Window1>();
    connect(window_->menu, &Menu::quitRequested, this, &App::quit);
    connect(window_.get(), &Window1::closed, qApp, &QApplication::quit, Qt::QueuedConnection);
    connect(qApp, &QApplication::aboutToQuit, window_.get(), &Window1::Event_Close);
}

App::~App() = default;

int App::run() {
    quitOnTerminationSignals([this] { quit(); });
    window_->Event_Open();
    window_->show();
    return QApplication::exec();
}

void App::quit() {
    window_->close();
}

}  // namespace tabulon
