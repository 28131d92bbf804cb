#include "shared/basGlobal.h"

namespace basGlobal {

namespace {
Globals g_state;
}

Globals& globals() { return g_state; }

std::uint32_t StructureTintOf(int structure)
{
    const std::uint32_t set = g_state.StructureTint[std::size_t(structure)];
    return set != 0 ? set : kStructureTint[structure];
}

void resetGlobals() { g_state = Globals{}; }

QString MakeIniFileName(const QString& applicationPath)
{
    return applicationPath + u'\\' + kIniFileTitle;
}

} // namespace basGlobal
