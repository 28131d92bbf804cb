#pragma once
// Settings import: copies the INI file and the two saved-path files, as the
// user ticks them, from a folder of the user's choice back into the
// application folder, optionally sending the copied sources to the trash.
// The choices are kept in the INI section "ImportSettings", written only by
// Apply.
//
// After an import of the INI file the program must end, so that the next
// start reads the imported settings and nothing of this run overwrites them:
// the window tells the user, sets iniImported and calls the exit hook once
// (by default ui::endProgram, which writes nothing). A failed copy changes
// nothing, trashes nothing and ends nothing. An INI that the start-up would
// refuse (not a file, over the size bound, unreadable) is never imported:
// the window names the cause and changes nothing.

#include "maintenance/SettingsTransfer.h"

#include <functional>

namespace maintenance {

class frmSettingsImport : public SettingsTransferWindow {
public:
    frmSettingsImport();

    // Called once after an import of the INI file; empty: ui::endProgram().
    std::function<void()> exitHook;
    // True once the INI file was imported (the program must end).
    bool iniImported = false;

    ui::CheckBox* chkDeleteAfterImporting = nullptr;
    ui::CommandButton* cmdImport = nullptr;

    // The file of item k in the import folder.
    static QString sourceOf(int k);

protected:
    void build() override;

private:
    void Form_Load();
    void cmdApply_Click();
    void cmdImport_Click();
    bool importFiles();
};

} // namespace maintenance
