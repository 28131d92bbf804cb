#include "shared/WindowHooks.h"

namespace basGlobal {

WindowHooks& windowHooks()
{
    static WindowHooks hooks;
    return hooks;
}

} // namespace basGlobal
