#include "app/qt/embedded_resources.h"

#include <QtGlobal>

// Q_INIT_RESOURCE must be used outside any namespace.
static void registerTabulonResources() {
    Q_INIT_RESOURCE(tabulon);
}

namespace tabulon {

void registerEmbeddedResources() {
    static bool registered = false;
    if (!registered) registerTabulonResources();
    registered = true;
}

}  // namespace tabulon
