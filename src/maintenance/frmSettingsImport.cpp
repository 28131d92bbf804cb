#include "maintenance/frmSettingsImport.h"

#include "platform/Drives.h"

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

// Why `source` is not imported as the INI file (`cause` as IniUnreadableCause names it).
QString iniRefusal(const QString& source, const QString& cause)
{
    return Txt(QStringLiteral("The file '") + source + QStringLiteral("' cannot be imported as the application INI file: ")
                   + cause + QStringLiteral(". No file was changed."),
               QStringLiteral("Το αρχείο «") + source
                   + QStringLiteral("» δεν μπορεί να εισαχθεί ως αρχείο βασικών ρυθμίσεων: ") + cause
                   + QStringLiteral(". Κανένα αρχείο δεν άλλαξε."));
}
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
    chkDeleteAfterImporting->Click = [this] { setCancelCaption(false); };
    cmdSettingsFolderExternal->Click = [this] {
        if (!chooseFolder(QStringLiteral("SISFE1000")))
            return;
        for (int k = 0; k < 3; ++k)   // newly offered items keep their ticks
            showItem(k, FileExists(sourceOf(k)));
    };
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
    loadChoices(trap, [&g](int k) { return !g.ImportFolder.trimmed().isEmpty() && FileExists(sourceOf(k)); });
    trap.step([&] {
        Long error = 0;
        g.DeleteAfterImport = GetIniBoolean(g.IniFileName, kSection, QStringLiteral("DeleteAfter"), false, error);
        RaiseIfError(error);
        if (g.DeleteAfterImport)
            chkDeleteAfterImporting->setValue(1);
    });
}

void frmSettingsImport::cmdApply_Click()
{
    Globals& g = globals();
    // The first key that cannot be written stops the others.
    ErrorTrap trap(this, QStringLiteral("SIA1000"), ErrorTrap::OnNo::StopOperation);
    applyChoices(trap);
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
    if (refuseApplicationFolder())
        return false;
    QStringList sources;
    g.ImportingIniFile = false;
    for (int k = 0; k < 3; ++k) {
        if (itemCheck(k)->value() != 1)
            continue;
        const QString source = sourceOf(k);
        if (!FileExists(source)) {
            dropMissingItem(k, source, QStringLiteral("Το αρχείο «'"));
            return false;
        }
        // An INI that the next start would refuse must not replace one it takes.
        const QString cause = k == 0 ? IniUnreadableCause(source) : QString();
        if (!cause.isEmpty()) {
            ShowMessageBox(this, windowTitle(), iniRefusal(source, cause), ui::vbCriticalOK);
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
    // The source may have changed while the question was up: what is
    // checked again is the copy that goes in.
    const auto refusal = [&](int index, const QByteArray& nativeCopy) {
        if (!g.ImportingIniFile || index != 0)
            return QString();
        const QString cause = IniUnreadableCause(platform::toLogical(platform::decodeNativePath(nativeCopy)));
        return cause.isEmpty() ? QString() : iniRefusal(sources[0], cause);
    };
    if (!copyAll(sources, GetTextBeforeSeparator(g.IniFileName), refusal))
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
        enablingRule();   // a dropped item may have been the last one ticked
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
