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
        if (isApplicationFolder(g.ExportFolder)) {
            ShowMessageBox(this, windowTitle(),
                           Txt(u"The folder where the files with the settings will be exported to, must not be the "
                               u"same as the folder were these files are stored.",
                               u"Ο φάκελλος προς τον οποίο θα εξαχθούν τα αρχεία των ρυθμίσεων, δεν πρέπει να είναι "
                               u"ίδιος με τον φάκελλο στον οποίο ευρίσκονται αποθηκευμένα τα αρχεία αυτά."),
                           ui::vbCriticalOK);
            return;
        }
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
