#include "platform/temporary_files.h"

#include <pthread.h>
#include <unistd.h>

#include <atomic>

namespace tabulon {
namespace {

constexpr int kSlots = 16;
std::atomic<const char*> registered[kSlots];

constexpr int kTerminationSignals[] = {SIGINT, SIGTERM, SIGHUP};

void onTerminationSignal(int signal) {
    for (auto& slot : registered) {
        const char* path = slot.load();
        if (path != nullptr) ::unlink(path);
    }
    // SA_RESETHAND restored the default action; the signal raised here is held
    // until this handler returns and then ends the process.
    ::raise(signal);
}

sigset_t terminationSet() {
    sigset_t set;
    sigemptyset(&set);
    for (int signal : kTerminationSignals)
        sigaddset(&set, signal);
    return set;
}

}  // namespace

void registerTemporary(const char* path) {
    for (auto& slot : registered) {
        const char* empty = nullptr;
        if (slot.compare_exchange_strong(empty, path)) return;
    }
}

void unregisterTemporary(const char* path) {
    for (auto& slot : registered) {
        const char* expected = path;
        if (slot.compare_exchange_strong(expected, nullptr)) return;
    }
}

void removeTemporariesOnTermination() {
    struct sigaction action {};
    action.sa_handler = onTerminationSignal;
    action.sa_mask = terminationSet();
    action.sa_flags = SA_RESETHAND;
    for (int signal : kTerminationSignals) {
        struct sigaction old {};
        if (::sigaction(signal, nullptr, &old) == 0 && old.sa_handler == SIG_IGN) continue;
        ::sigaction(signal, &action, nullptr);
    }
}

TerminationSignalsHeld::TerminationSignalsHeld() {
    sigset_t set = terminationSet();
    ::pthread_sigmask(SIG_BLOCK, &set, &previous_);
}

TerminationSignalsHeld::~TerminationSignalsHeld() {
    ::pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
}

}  // namespace tabulon
