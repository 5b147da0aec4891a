// How many processor cores this process may run on: the cores it is allowed
// (e.g. by `taskset` or a container's CPU set), not all the machine has.
#pragma once

namespace tabulon {

// At least 1.
unsigned usableCores();

}  // namespace tabulon
