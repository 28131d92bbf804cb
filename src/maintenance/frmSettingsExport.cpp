#include "maintenance/frmSettingsExport.h"

#include "shared/ErrorTrap.h"
#include "shared/FileFacts.h"
#include "shared/IniAccess.h"
#include "shared/Messages.h"
#include "shared/PathText.h"
#include "shared/Texts.h"

namespace maintenance {

using namespace basGlobal;

namespace {
const QString kSection = QStringLiteral("ExportSettings");
}

frmSettingsExport::frmSettingsExport() : SettingsTransferWindow(QStringLiteral("frmSettingsExport"), false) {}

void frmSettingsExport::build()
{
    buildCommon(cmdExport, QStringLiteral("cmdExport"));
    for (int k = 0; k < 3; ++k)
        itemCheck(k)->Click = [this] { itemClick(); };
    lblSettingsFolderExternal->Change = [this] { lblSettingsFolderExternal_Change(); };
    cmdSettingsFolderExternal->Click = [this] { cmdSettingsFolderExternal_Click(); };
    cmdApply->Click = [this] { cmdApply_Click(); };
    cmdExport->Click = [this] { cmdExport_Click(); };
    Load = [this] { Form_Load(); };
}

void frmSettingsExport::Form_Load()
{
    Globals& g = globals();
    ErrorTrap trap(this, QStringLiteral("SEFL1000"));
    trap.step([&] {
        freeSizer1->setResizeFonts(g.ResizeFontEnabled);
        g.SettingsExportInProgress = false;
    });
    trap.step([&] {
        lblIniFileName->setCaption(QString());
        lblSavedPaths[0]->setCaption(QString());
        lblSavedPaths[1]->setCaption(QString());
        lblSettingsFolderExternal->setCaption(QString());
        cmdExport->setEnabled(false);
    });
    for (int k = 0; k < 3; ++k) {
        trap.step([&] {
            if (k > 0)
                lblSavedPaths[k - 1]->setBackColor(tints[std::size_t(k - 1)]);
            bool& chosen = k == 0 ? g.ExportIniFile : g.ExportSavedPaths[std::size_t(k - 1)];
            chosen = false;
            showItem(k, false);
            if (!FileExists(itemFile(k)))
                return;
            Long error = 0;
            chosen = GetIniBoolean(g.IniFileName, kSection, itemKey(k), false, error);
            RaiseIfError(error);
            if (chosen)
                itemCheck(k)->setValue(1);
            showItem(k, true);
        });
    }
    trap.step([&] {
        lblSettingsFolderExternal->setToolTipText(QString());
        Integer length = 0;
        Long error = 0;
        const QString text = GetIniString(g.IniFileName, kSection, QStringLiteral("Folder"), 2048, QString(), length, error);
        RaiseIfError(error);
        g.ExportFolder = RemoveTrailingSeparator(text);
        setFolderLabel(g.ExportFolder);
    });
}

void frmSettingsExport::enablingRule()
{
    if (!anyItemTicked())
        cmdExport->setEnabled(false);
    else if (!lblSettingsFolderExternal->caption().isEmpty())
        cmdExport->setEnabled(true);
}

void frmSettingsExport::itemClick()
{
    enablingRule();
    setCancelCaption(false);
}

void frmSettingsExport::lblSettingsFolderExternal_Change()
{
    cmdExport->setEnabled(!lblSettingsFolderExternal->caption().isEmpty() && anyItemTicked());
}

void frmSettingsExport::cmdSettingsFolderExternal_Click()
{
    ErrorTrap trap(this, QStringLiteral("SESFE1000"));
    trap.step([&] {
        const QString folder = chooseFolder(globals().ExportFolder,
                                            Txt(u"Select the folder that will be used for exporting",
                                                u"Επιλέξτε τον φάκελλο στον οποίο θα γίνει η εξαγωγή"));
        if (folder.isEmpty())
            return;
        globals().ExportFolder = folder;
        setFolderLabel(folder);
        setCancelCaption(false);
    });
}

void frmSettingsExport::cmdApply_Click()
{
    Globals& g = globals();
    ErrorTrap trap(this, QStringLiteral("SEA1000"));
    for (int k = 0; k < 3; ++k)
        trap.step([&] {
            if (!itemCheck(k)->enabled())
                return;
            bool& chosen = k == 0 ? g.ExportIniFile : g.ExportSavedPaths[std::size_t(k - 1)];
            chosen = itemCheck(k)->value() == 1;
            RaiseIfError(WriteIniBoolean(g.IniFileName, kSection, itemKey(k), chosen));
        });
    trap.step([&] {
        if (!g.ExportFolder.trimmed().isEmpty())
            RaiseIfError(WriteIniString(g.IniFileName, kSection, QStringLiteral("Folder"), g.ExportFolder));
    });
    trap.step([&] { setCancelCaption(true); });
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
                // Dropped for good: the check box stays disabled after the restore.
                showItem(k, false);
                itemCheck(k)->setTag(QStringLiteral("False"));
                ShowMessageBox(this, windowTitle(),
                               Txt(u"File '", u"Το αρχείο «") + file + Txt(u"', does not exist.", u"», δεν υπάρχει."),
                               ui::vbCriticalOK);
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
