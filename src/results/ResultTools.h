#pragma once
// The result tools open from the results window through the window hooks;
// installing them here keeps the results window free of this subsystem.

namespace results {

// Sets the hooks through which the results window opens Find and the
// explanation of a row.
void installResultTools();

} // namespace results
