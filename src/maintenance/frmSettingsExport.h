#pragma once
// Settings export: copies the INI file and the two saved-path files, as the
// user ticks them, into a folder of the user's choice under their own
// names. The choices and the folder are kept in the INI section
// "ExportSettings", written only by Apply. A successful export closes the
// window without a message.

#include "maintenance/SettingsTransfer.h"

namespace maintenance {

class frmSettingsExport : public SettingsTransferWindow {
public:
    frmSettingsExport();

    ui::CommandButton* cmdExport = nullptr;

protected:
    void build() override;

private:
    void cmdExport_Click();
};

} // namespace maintenance
