// tabulon-hello-window: the yardstick for the app's start-up. A Qt window with a
// menu bar and a label is shown, and the process quits on the first turn of its
// event loop, so its wall time is what Qt itself needs to start and show a window.
#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QTimer>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.menuBar()->addMenu("File")->addAction("Quit", &app, &QApplication::quit);
    window.setCentralWidget(new QLabel("Hello"));
    window.show();
    QTimer::singleShot(0, &app, &QApplication::quit);
    return app.exec();
}
