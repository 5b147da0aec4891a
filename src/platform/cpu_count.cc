#include "platform/cpu_count.h"

#include <thread>

#ifdef __linux__
#include <sched.h>
#endif

namespace tabulon {

unsigned usableCores() {
#ifdef __linux__
    cpu_set_t set;
    if (::sched_getaffinity(0, sizeof set, &set) == 0) {
        int count = CPU_COUNT(&set);
        if (count > 0) return static_cast<unsigned>(count);
    }
#endif
    unsigned count = std::thread::hardware_concurrency();
    return count > 0 ? count : 1;
}

}  // namespace tabulon
