#include "maintenance/frmSettingsExport.h"

#include "shared/ErrorTrap.h"
#include "shared/FileFacts.h"
#include "shared/Messages.h"
#include "shared/PathText.h"
#include "shared/Texts.h"

namespace maintenance {

using namespace basGlobal;

frmSettingsExport::frmSettingsExport() : SettingsTransferWindow(QStringLiteral("frmSettingsExport"), false) {}

void frmSettingsExport::build()
{
    buildCommon(cmdExport, QStringLiteral("cmdExport"));
    lblSettingsFolderExternal->Change = [this] {
        cmdExport->setEnabled(!lblSettingsFolderExternal->caption().isEmpty() && anyItemTicked());
    };
    cmdSettingsFolderExternal->Click = [this] { chooseFolder(QStringLiteral("SESFE1000")); };
    cmdApply->Click = [this] {
        ErrorTrap trap(this, QStringLiteral("SEA1000"));
        applyChoices(trap);
        trap.step([&] { setCancelCaption(true); });
    };
    cmdExport->Click = [this] { cmdExport_Click(); };
    Load = [this] {
        ErrorTrap trap(this, QStringLiteral("SEFL1000"));
        trap.step([&] {
            freeSizer1->setResizeFonts(globals().ResizeFontEnabled);
            globals().SettingsExportInProgress = false;
        });
        loadChoices(trap, [](int k) { return FileExists(itemFile(k)); });
    };
}

void frmSettingsExport::cmdExport_Click()
{
    Globals& g = globals();
    cpDisableControls();
    bool done = false;
    ErrorTrap trap(this, QStringLiteral("SEE1000"), ErrorTrap::OnNo::StopOperation);
    trap.step([&] {
        if (refuseApplicationFolder())
            return;
        QStringList sources;
        for (int k = 0; k < 3; ++k) {
            if (itemCheck(k)->value() != 1)
                continue;
            const QString file = RemoveTrailingSeparator(itemFile(k));
            if (!FileExists(file)) {
                dropMissingItem(k, file, QStringLiteral("Το αρχείο «"));
                return;
            }
            sources << file;
        }
        done = copyAll(sources, RemoveTrailingSeparator(g.ExportFolder));
    });
    if (done) {
        unload();
        return;
    }
    cpEnableControls();
    enablingRule();   // a dropped item may have been the last one ticked
}

} // namespace maintenance
