#include "maintenance/frmSettingsImport.h"

#include "shared/ErrorTrap.h"
#include "shared/FileFacts.h"
#include "shared/IniAccess.h"
#include "shared/Messages.h"
#include "shared/PathText.h"
#include "shared/Texts.h"
#include "shared/basCommonDialogManager.h"

namespace maintenance {

using namespace basGlobal;

namespace {
const QString kSection = QStringLiteral("ImportSettings");
}

frmSettingsImport::frmSettingsImport() : SettingsTransferWindow(QStringLiteral("frmSettingsImport"), true) {}

QString frmSettingsImport::sourceOf(int k)
{
    return AddTrailingSeparator(globals().ImportFolder) + GetTextAfterSeparator(itemFile(k));
}

void frmSettingsImport::build()
{
    buildCommon(cmdImport, QStringLiteral("cmdImport"));
    chkDeleteAfterImporting = add<ui::CheckBox>(QStringLiteral("chkDeleteAfterImporting"));
    chkDeleteAfterImporting->move(240, 2880, 6720, 255);
    chkDeleteAfterImporting->setHelpTopic(95080);
    chkDeleteAfterImporting->setCaption(
        Txt(u"Delete files, if successfully imported.", u"Να διαγραφούν τα αρχεία, εάν εισήχθησαν με επιτυχία."));
    for (int k = 0; k < 3; ++k)
        itemCheck(k)->Click = [this] { itemClick(); };
    chkDeleteAfterImporting->Click = [this] { setCancelCaption(false); };
    cmdSettingsFolderExternal->Click = [this] { cmdSettingsFolderExternal_Click(); };
    cmdApply->Click = [this] { cmdApply_Click(); };
    cmdImport->Click = [this] { cmdImport_Click(); };
    Load = [this] { Form_Load(); };
}

void frmSettingsImport::Form_Load()
{
    Globals& g = globals();
    ErrorTrap trap(this, QStringLiteral("SIFL1000"));
    trap.step([&] {
        freeSizer1->setResizeFonts(g.ResizeFontEnabled);
        g.SettingsImportInProgress = false;
        g.ImportingIniFile = false;
        iniImported = false;
    });
    trap.step([&] {
        lblIniFileName->setCaption(QString());
        lblSavedPaths[0]->setCaption(QString());
        lblSavedPaths[1]->setCaption(QString());
        lblSettingsFolderExternal->setCaption(QString());
        cmdImport->setEnabled(false);
        lblSettingsFolderExternal->setToolTipText(QString());
    });
    trap.step([&] {
        Integer length = 0;
        Long error = 0;
        const QString text = GetIniString(g.IniFileName, kSection, QStringLiteral("Folder"), 2048, QString(), length, error);
        RaiseIfError(error);
        g.ImportFolder = RemoveTrailingSeparator(text);
        setFolderLabel(g.ImportFolder);
    });
    for (int k = 0; k < 3; ++k)
        trap.step([&] {
            if (k > 0)
                lblSavedPaths[k - 1]->setBackColor(tints[std::size_t(k - 1)]);
            bool& chosen = k == 0 ? g.ImportIniFile : g.ImportSavedPaths[std::size_t(k - 1)];
            chosen = false;
            showItem(k, false);
            if (g.ImportFolder.trimmed().isEmpty() || !FileExists(sourceOf(k)))
                return;
            Long error = 0;
            chosen = GetIniBoolean(g.IniFileName, kSection, itemKey(k), false, error);
            RaiseIfError(error);
            if (chosen)
                itemCheck(k)->setValue(1);
            showItem(k, true);
        });
    trap.step([&] {
        Long error = 0;
        g.DeleteAfterImport = GetIniBoolean(g.IniFileName, kSection, QStringLiteral("DeleteAfter"), false, error);
        RaiseIfError(error);
        if (g.DeleteAfterImport)
            chkDeleteAfterImporting->setValue(1);
    });
}

void frmSettingsImport::itemClick()
{
    if (!anyItemTicked())
        cmdImport->setEnabled(false);
    else if (!lblSettingsFolderExternal->caption().isEmpty())
        cmdImport->setEnabled(true);
    setCancelCaption(false);
}

void frmSettingsImport::applyAvailability()
{
    for (int k = 0; k < 3; ++k)
        showItem(k, FileExists(sourceOf(k)));
}

void frmSettingsImport::cmdSettingsFolderExternal_Click()
{
    ErrorTrap trap(this, QStringLiteral("SISFE1000"));
    trap.step([&] {
        const QString folder = chooseFolder(globals().ImportFolder,
                                            Txt(u"Select the folder that will be used for importing",
                                                u"Επιλέξετε τον φάκελλο από τον οποίο θα γίνει η εισαγωγή"));
        if (folder.isEmpty())
            return;
        globals().ImportFolder = folder;
        setFolderLabel(folder);
        setCancelCaption(false);
        applyAvailability();
    });
}

void frmSettingsImport::cmdApply_Click()
{
    Globals& g = globals();
    // The first key that cannot be written stops the others.
    ErrorTrap trap(this, QStringLiteral("SIA1000"), ErrorTrap::OnNo::StopOperation);
    for (int k = 0; k < 3; ++k)
        trap.step([&] {
            if (!itemCheck(k)->enabled())
                return;
            bool& chosen = k == 0 ? g.ImportIniFile : g.ImportSavedPaths[std::size_t(k - 1)];
            chosen = itemCheck(k)->value() == 1;
            RaiseIfError(WriteIniBoolean(g.IniFileName, kSection, itemKey(k), chosen));
        });
    trap.step([&] {
        if (!g.ImportFolder.trimmed().isEmpty())
            RaiseIfError(WriteIniString(g.IniFileName, kSection, QStringLiteral("Folder"), g.ImportFolder));
    });
    trap.step([&] {
        g.DeleteAfterImport = chkDeleteAfterImporting->value() == 1;
        RaiseIfError(WriteIniBoolean(g.IniFileName, kSection, QStringLiteral("DeleteAfter"), g.DeleteAfterImport));
    });
    trap.step([&] { setCancelCaption(true); });
}

// The import up to the copy; true when the files are in place.
bool frmSettingsImport::importFiles()
{
    Globals& g = globals();
    if (isApplicationFolder(g.ImportFolder)) {
        ShowMessageBox(this, windowTitle(),
                       Txt(u"The folder where the files with the settings will be imported from, must not be the same "
                           u"as the folder were these files will be stored.",
                           u"Ο φάκελλος από τον οποίο θα εισαχθούν τα αρχεία των ρυθμίσεων, δεν πρέπει να είναι ίδιος "
                           u"με τον φάκελλο στον οποίο θα αποθηκευθούν τα αρχεία αυτά."),
                       ui::vbCriticalOK);
        return false;
    }
    QStringList sources;
    g.ImportingIniFile = false;
    for (int k = 0; k < 3; ++k) {
        if (itemCheck(k)->value() != 1)
            continue;
        const QString source = sourceOf(k);
        if (!FileExists(source)) {
            showItem(k, false);
            itemCheck(k)->setTag(QStringLiteral("False"));
            ShowMessageBox(this, windowTitle(),
                           Txt(u"File '", u"Το αρχείο «'") + source + Txt(u"', does not exist.", u"», δεν υπάρχει."),
                           ui::vbCriticalOK);
            return false;
        }
        sources << source;
        if (k == 0)
            g.ImportingIniFile = true;
    }
    if (g.ImportingIniFile
        && ShowMessageBox(this, windowTitle(),
                          Txt(u"The application INI file is about to be imported. If this process completes "
                              u"successfully, the application will shut down.\r\n\r\nDo you really want to continue?",
                              u"Πρόκειται να γίνει εισαγωγή των βασικών ρυθμίσεων της εφαρμογής. Εάν η διαδικασία αυτή "
                              u"ολοκληρωθεί με επιτυχία, η εφαρμογή θα τερματισθεί.\r\n\r\nΘέλετε πράγματι να "
                              u"συνεχίσετε;"),
                          ui::vbQuestionYesNo)
            == ui::vbNo)
        return false;
    if (!copyAll(sources, GetTextBeforeSeparator(g.IniFileName)))
        return false;
    if (chkDeleteAfterImporting->value() == 1) {
        // What the trash does not take stays in the folder; the import stands.
        for (const QString& source : sources) {
            bool aborted = false;
            Long result = 0;
            DeleteFileOrFolder(this, source, aborted, result, true, true);
        }
        BringFormToFront(*this);
        refresh();
    }
    return true;
}

void frmSettingsImport::cmdImport_Click()
{
    cpDisableControls();
    bool imported = false;
    ErrorTrap trap(this, QStringLiteral("SII1000"), ErrorTrap::OnNo::StopOperation);
    trap.step([&] { imported = importFiles(); });
    if (!imported) {
        cpEnableControls();
        if (!anyItemTicked())
            cmdImport->setEnabled(false);
        return;
    }
    if (globals().ImportingIniFile) {
        ShowMessageBox(this, windowTitle(),
                       Txt(u"The application will shut down after you click 'OK'. The new settings will take effect, "
                           u"the next time you will launch the application.",
                           u"Η εφαρμογή θα τερματισθεί μόλις πατήσετε το «ΟΚ». Οι νέες ρυθμίσεις, θα ισχύσουν από την "
                           u"επόμενη εκκίνηση της εφαρμογής και μετά."),
                       ui::vbExclamationOK);
        iniImported = true;
        if (exitHook)
            exitHook();
        else
            ui::endProgram();
    }
    unload();
}

} // namespace maintenance
