#include "app/dialogs/DialogArt.h"

#include <QtGlobal>

// Q_INIT_RESOURCE must be used outside any namespace.
static void InitDialogArtResource() {
    Q_INIT_RESOURCE(dialogs_art);
}

namespace corvanel::dialogs {

void RegisterDialogArt() {
    static const bool registered = [] {
        InitDialogArtResource();
        return true;
    }();
    (void)registered;
}

} // namespace corvanel::dialogs
