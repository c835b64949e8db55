#include "app/window/WindowArt.h"

#include <QtGlobal>

// The resources live in a static library whose object nothing else references: name it so
// the linker keeps it.
static void InitArtResources() {
    Q_INIT_RESOURCE(art);
}

namespace corvanel::window {

void EnsureArtLoaded() {
    static const bool loaded = [] {
        InitArtResources();
        return true;
    }();
    (void)loaded;
}

} // namespace corvanel::window
