// The pictures built into the app (the About box's picture, the window icon).
// A static library's resources must be registered by hand before first use.
#pragma once

namespace tabulon {

void registerEmbeddedResources();

}  // namespace tabulon
