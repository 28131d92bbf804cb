#pragma once
// The tint of each structure, as the main window's first-level folder lists
// show it. The set-up windows copy it to their own labels and lists when
// they load; without a loaded main window (a window opened on its own, as
// tests do) the designed tints stand in.
#include "ui/Types.h"

namespace setup {

// i: 0 Primary, 1 Secondary.
ui::Color StructureTint(int i);

} // namespace setup
