#pragma once
// The two roads of the off-line comparison, as the main window's Compare
// takes them. Each opens its window modally (the caller shows the hourglass
// and brings itself back to the front around the call).

namespace offline {

// Mode 2: the structure export window. Exported files are complete when
// the window closes; nothing else changes.
void ShowExportStructureWindow();

// Mode 1: clears ImportedStructureFile(0..1), sets ImportNotAccepted and
// opens the structure import window. True when its check accepted every
// chosen file, so the comparison goes on off line with ImportedStructureFile
// (the accepted parses are what the comparison then reads).
bool ShowImportStructureWindow();

} // namespace offline
