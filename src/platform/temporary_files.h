// Named temporary files that must not outlive a process ended by SIGINT, SIGTERM
// or SIGHUP. Writers register a temporary's name while it exists; a program that
// wants them removed on those signals calls removeTemporariesOnTermination() once.
// Registration is thread-safe and async-signal-safe.
#pragma once

#include <signal.h>

namespace tabulon {

// Remembers `path` until unregisterTemporary(path). At most a handful of names are
// kept at once; beyond that a name is not remembered.
// REQUIRES: `path` stays valid and unchanged until it is unregistered.
void registerTemporary(const char* path);
void unregisterTemporary(const char* path);

// Installs handlers for SIGINT, SIGTERM and SIGHUP that remove the registered
// files and then end the process by the same signal. A signal that is ignored
// (nohup, a background job) stays ignored.
void removeTemporariesOnTermination();

// Holds SIGINT, SIGTERM and SIGHUP back from the calling thread while it lives,
// so that a step such as "rename, then forget the name" is never cut in two.
class TerminationSignalsHeld {
  public:
    TerminationSignalsHeld();
    ~TerminationSignalsHeld();
    TerminationSignalsHeld(const TerminationSignalsHeld&) = delete;
    TerminationSignalsHeld& operator=(const TerminationSignalsHeld&) = delete;

  private:
    sigset_t previous_;
};

}  // namespace tabulon
