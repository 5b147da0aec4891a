#include "platform/qt/termination_signals.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#ifdef Q_OS_UNIX
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace tabulon {

#ifdef Q_OS_UNIX
namespace {

int signalPipe[2] = {-1, -1};

void onSignal(int) {
    char byte = 1;
    ssize_t ignored = ::write(signalPipe[0], &byte, 1);
    (void)ignored;
}

}  // namespace

void quitOnTerminationSignals(std::function<void()> quit) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) != 0) return;
    auto* notifier = new QSocketNotifier(signalPipe[1], QSocketNotifier::Read, qApp);
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [quit = std::move(quit)] {
        char byte;
        ssize_t ignored = ::read(signalPipe[1], &byte, 1);
        (void)ignored;
        quit();
    });
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : {SIGTERM, SIGINT, SIGHUP})
        ::sigaction(signal, &action, nullptr);
}
#else
void quitOnTerminationSignals(std::function<void()>) {}
#endif

}  // namespace tabulon
