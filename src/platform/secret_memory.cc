#include "platform/secret_memory.h"

#include <sys/prctl.h>
#include <sys/resource.h>

#include <cstring>

namespace tabulon {

void keepOutOfCoreDumps() {
    rlimit none{0, 0};
    ::setrlimit(RLIMIT_CORE, &none);
    // Also where a core handler would ignore the limit.
    ::prctl(PR_SET_DUMPABLE, 0, 0, 0, 0);
}

void wipe(std::string* secret) {
    if (!secret->empty()) ::explicit_bzero(secret->data(), secret->size());
    secret->clear();
}

}  // namespace tabulon
