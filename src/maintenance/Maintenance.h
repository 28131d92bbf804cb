#pragma once
// The maintenance windows as the main window opens them. Each call shows
// its window modally and returns when it has closed.
//
//  - About (Help > About, the About button): ShowAbout() returns the tag
//    the window left: kCheckForUpdatesTag when the user asked for the update
//    check, else "". The caller keeps it in its About button's tag, empties
//    it again and, for kCheckForUpdatesTag, calls ShowCheckForUpdates():
//    the update check opens in no other way.
//  - Settings > Export: ShowSettingsExport(tints).
//  - Settings > Import: ShowSettingsImport(tints) returns true when the INI
//    file was imported; the program must then end without writing anything
//    more (no reset question, no column widths, no INI key). Before it
//    returns, the exit hook has been called once; with no hook installed
//    the program ends at once (ui::endProgram) and the call never returns.
//
// `tints` are the structures' tints (the first-level file lists' colours),
// shown behind the saved-path labels.

#include "maintenance/frmAbout.h"
#include "ui/Types.h"

#include <QString>

#include <array>
#include <functional>

namespace maintenance {

QString ShowAbout();
void ShowCheckForUpdates();
void ShowSettingsExport(const std::array<ui::Color, 2>& tints);
bool ShowSettingsImport(const std::array<ui::Color, 2>& tints);

// The main window's orderly end after an INI import; empty: ui::endProgram.
void SetProgramExitHook(std::function<void()> hook);

} // namespace maintenance
