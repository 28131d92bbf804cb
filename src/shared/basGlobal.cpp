#include "shared/basGlobal.h"

namespace basGlobal {

namespace {
Globals g_state;
}

Globals& globals() { return g_state; }

void resetGlobals() { g_state = Globals{}; }

QString MakeIniFileName(const QString& applicationPath)
{
    return applicationPath + u'\\' + kIniFileTitle;
}

} // namespace basGlobal
