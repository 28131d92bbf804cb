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

bool ImportedStructureRange(Integer& first, Integer& last)
{
    const bool primary = !g_state.ImportedStructureFile[0].isEmpty();
    const bool secondary = !g_state.ImportedStructureFile[1].isEmpty();
    if (!primary && !secondary)
        return false;
    first = primary ? 0 : 1;
    last = secondary ? 1 : 0;
    return true;
}

void resetGlobals() { g_state = Globals{}; }

QString MakeIniFileName(const QString& applicationPath)
{
    return applicationPath + u'\\' + kIniFileTitle;
}

} // namespace basGlobal
