#pragma once
// The structure import window: Integrity check chooses one exported file per
// selected structure and checks them line by line. Only when every chosen
// file passes are their names recorded in ImportedStructureFile (with their
// parses, which the comparison then reads) and ImportNotAccepted cleared.
// The window closes itself at the end of every check that has started.

#include "offline/StructureFileChoice.h"
#include "offline/StructureWindow.h"

namespace offline {

class frmImportStructure : public StructureWindow {
public:
    frmImportStructure();

    ui::ControlArray<ui::Label>& lblInputFile = lblFile;
    ui::CommandButton*& cmdIntegrityCheck = cmdStart;

    // Integrity check.
    void cmdIntegrityCheck_Click() { start(); }

protected:
    void buildOwn() override;
    void loadOwn() override;
    void start() override;

private:
    void check(const ChosenStructureFiles& chosen);
    // The check's end after a refused line or a file that cannot be read.
    void refuse(const QString& message);
};

frmImportStructure& ImportStructureWindow();

} // namespace offline
