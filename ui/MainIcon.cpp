#include "MainIcon.h"

// The resource lives in a static library, where nothing else would pull its registration into the
// program.  Q_INIT_RESOURCE declares a global function, hence a function outside any namespace.
static void InitWindowResources() { Q_INIT_RESOURCE(bukvotok); }

namespace bukvotok {

QIcon MainIcon() {
    static const bool resources_ready = (InitWindowResources(), true);
    static_cast<void>(resources_ready);
    return QIcon(QStringLiteral(":/MAINICON"));
}

}  // namespace bukvotok
