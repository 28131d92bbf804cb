// The main window's commands: the road to a comparison, the icon buttons
// that forward to the menus, the Settings pop-up, page and printer setup,
// Options, the network drives, About with the update check, the three
// information messages and the context help of every control.
#include "mainwindow/frmMain.h"

#include "results/frmCompare.h"
#include "platform/AppError.h"
#include "shared/ErrorTrap.h"
#include "mainwindow/MainWindowCaptions.h"
#include "shared/Messages.h"
#include "shared/PathText.h"
#include "shared/Texts.h"
#include "shared/basCommonDialogManager.h"
#include "shared/basObsoleteScriptingFileSystemObject.h"
#include "shared/frmHiddenForm.h"
#include "shared/frmPleaseWait.h"

#include <QFile>

namespace mainwindow {

using namespace basGlobal;

namespace {

// Marks the main window busy for the length of one command: a second press
// of Compare while the first one yields (counting, filling) starts nothing,
// and a close request waits until the command has ended.
class BusyScope {
public:
    explicit BusyScope(bool& flag) : flag_(flag) { flag_ = true; }
    ~BusyScope() { flag_ = false; }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    bool& flag_;
};

} // namespace

void frmMain::openModal(ui::Form& window)
{
    withHourglass([&] {
        window.load();
        if (window.isLoaded())
            window.show(ui::Modal);
    });
}

// ---- The road to a comparison ------------------------------------------------------------

bool frmMain::countLiveFolders(int structure, Long& total)
{
    const QString folder = AddTrailingSeparator(globals().CurrentPath[std::size_t(structure)]);
    Long e = 0;
    const Long count = CountSubFolders(folder, e);
    if (e == platform::errPathNotFound || e == platform::errFileNotFound) {
        // The folder went away since the tree showed it: say so plainly.
        ShowMessageBox(this, globals().ApplicationTitle,
                       Txt(u"The folder '", u"Ο φάκελλος «") + folder
                           + Txt(u"' does not exist any more.", u"» δεν υπάρχει πλέον."),
                       48);
        return false;
    }
    RaiseIfError(e);
    total += count;
    return true;
}

void frmMain::cmdCompare_Click()
{
    if (busy_)
        return;
    BusyScope busy(busy_);
    Globals& g = globals();
    ErrorTrap trap(this, QStringLiteral("317"));
    if (g.ShowOptionsBeforeComparison)
        trap.step([&] { mnuToolsOptions_Click(); });
    trap.step([&] {
        HiddenForm().lstFoldersToIncludeExclude[0]->clear();
        HiddenForm().lstFoldersToIncludeExclude[1]->clear();
        g.FolderSelectionState = 3;
    });
    const bool inclusionAllowed = g.FolderIncludeExcludeEnabled && g.NumberOfLevelsLimit != 1;
    Long total = 0;
    bool go = true;
    switch (g.ComparisonMode) {
    case 0:
        if (inclusionAllowed) {
            for (int i = 0; i <= 1 && go; ++i)
                trap.step([&] { go = countLiveFolders(i, total); });
        }
        break;
    case 1: {
        trap.step([&] {
            g.ImportedStructureFile[0].clear();
            g.ImportedStructureFile[1].clear();
            g.ImportNotAccepted = true;
        });
        trap.step([&] { openImportWindow(); });
        if (g.ImportNotAccepted)
            return;
        const bool file0 = !g.ImportedStructureFile[0].isEmpty();
        const bool file1 = !g.ImportedStructureFile[1].isEmpty();
        if (!file0 && !file1)
            return;
        trap.step([&] { ImportedStructureRange(g.FirstStructureToProcess, g.LastStructureToProcess); });
        if (inclusionAllowed) {
            for (int i = g.FirstStructureToProcess; i <= g.LastStructureToProcess; ++i)
                trap.step([&] { total += ExportedFirstLevelFolderCount(g.ImportedStructureFile[std::size_t(i)]); });
            if (g.FirstStructureToProcess == g.LastStructureToProcess)
                trap.step([&] { go = countLiveFolders(1 - g.FirstStructureToProcess, total); });
        }
        break;
    }
    case 2:
        trap.step([&] { openExportWindow(); });
        return;
    default:
        return;
    }
    if (!go)
        return;
    if (total > 0)
        trap.step([&] { runFolderInclusion(); });
    trap.step([&] { openModal(results::CompareWindow()); });
}

void frmMain::mnuToolsStartProcessing_Click()
{
    if (cmdCompare->enabled())
        cmdCompare->setValue(true);
}

// ---- Menus that pop up from their buttons ---------------------------------------------

void frmMain::cmdSettings_Click()
{
    popUpFromButton(*mnuSettings, *mnuSettingsHelp, *mnuSettingsCancel, globals().SettingsMenuFromButton);
}

void frmMain::mnuSettings_Click()
{
    menuOpened(*mnuSettingsHelp, *mnuSettingsCancel, globals().SettingsMenuFromButton);
}

void frmMain::mnuSettingsHelp_Click() { cmdSettings->showWhatsThis(); }

// ---- Information messages ------------------------------------------------------------------

void frmMain::mnuHelpTips_Click()
{
    const QString gap = QStringLiteral("\r\n\r\n");
    ShowMessageBox(
        this, Txt(u"Hints and Tips", u"Χρήσιμες συμβουλές"),
        Txt(u"If we click the RIGHT mouse button on the various controls of the application, we shall get online help. "
            u"If this doesn't work and provided that a question-mark appears in the title bar of the window, we can "
            u"click the LEFT mouse button on the question-mark and then on the control for which we want to get online "
            u"help. If this doesn't work either, the control is not accompanied by online help.",
            u"Για να λάβουμε άμεση βοήθεια, αρκεί να πατήσουμε το ΔΕΞΙΟ κουμπί του ποντικιού, στα διάφορα χειριστήρια "
            u"της εφαρμογής. Εάν αυτός ο τρόπος δεν λειτουργήσει και με την προϋπόθεση ότι στην γραμμή τίτλου του "
            u"παραθύρου υπάρχει ένα ερωτηματικό, μπορούμε να πατήσουμε το ΑΡΙΣΤΕΡΟ κουμπί του ποντικιού στο ερωτηματικό "
            u"και κατόπιν, στο χειριστήριο για το οποίο θέλουμε να λάβουμε άμεση βοήθεια. Εάν ούτε αυτός ο τρόπος "
            u"λειτουργήσει, το χειριστήριο δεν συνοδεύεται από άμεση βοήθεια.")
            + gap
            + Txt(u"The structure of the file system objects, which appears on the left hand side of the main window "
                  u"of the application, is the Primary Structure (PS), while the structure of the file system objects, "
                  u"which appears on the right hand side of the main window of the application, is the Secondary "
                  u"Structure (SS).",
                  u"Η δομή του συστήματος αρχείων, η οποία εμφανίζεται στο αριστερό μέρος του βασικού παραθύρου της "
                  u"εφαρμογής, είναι η Πρωτεύουσα Δομή (ΠΔ), ενώ η δομή του συστήματος αρχείων, η οποία εμφανίζεται "
                  u"στο δεξιό μέρος του βασικού παραθύρου της εφαρμογής, είναι η Δευτερεύουσα Δομή (ΔΔ).")
            + gap
            + Txt(u"If we hover the mouse pointer over the buttons with the icons, we shall see a concise description "
                  u"of what each button does.",
                  u"Εάν αφήσουμε, για λίγο, τον δείκτη του ποντικιού επάνω στα κουμπιά με τα εικονίδια, θα δούμε μία "
                  u"συνοπτική περιγραφή της εργασίας, την οποία επιτελεί το κάθε κουμπί."),
        64);
}

void frmMain::mnuToolsFactorySettings_Click()
{
    ShowMessageBox(this, Txt(u"Reset settings", u"Επαναφορά ρυθμίσεων"),
                   Txt(u"If we want all of the settings of the application to be reset to their initial values, we "
                       u"must bring up the window titled 'Options' and click the left mouse button, on the button "
                       u"titled 'Reset'.",
                       u"Εάν θέλουμε να επαναφέρουμε στις αρχικές τους τιμές, όλες τις ρυμίσεις της εφαρμογής, αρκεί "
                       u"να ανοίξουμε το παράθυρο με τίτλο «Επιλογές» και να πατήσουμε το αριστερό κουμπί του "
                       u"ποντικιού, στο κουμπί με τίτλο «Επαναφορά»."),
                   64);
}

void frmMain::mnuToolsUpdatedVersion_Click()
{
    ShowMessageBox(this, Txt(u"Check for updated version", u"Έλεγχος για ενημερωμένες εκδόσεις"),
                   Txt(u"If we want to check for updated versions of this application, we must bring up the window "
                       u"titled 'About' and click the left mouse button, on the button titled 'Check for updated "
                       u"versions'.",
                       u"Για να ελέγξουμε εάν υπάρχουν ενημερωμένες εκδόσεις της εφαρμογής, αρκεί να ανοίξουμε το "
                       u"παράθυρο με τίτλο «Σχετικά» και να πατήσουμε το αριστερό κουμπί του ποντικιού, στο κουμπί με "
                       u"τίτλο «Έλεγχος για ενημερωμένες εκδόσεις»."),
                   64);
}

// ---- Options --------------------------------------------------------------------------

void frmMain::mnuToolsOptions_Click()
{
    Globals& g = globals();
    ErrorTrap trap(this, QStringLiteral("312"));
    trap.step([&] {
        setMousePointer(ui::vbHourglass);
        try {
            openOptionsWindow();
        } catch (...) {
            setMousePointer(ui::vbDefault);
            throw;
        }
        setMousePointer(ui::vbDefault);
    });
    trap.step([&] { g.CancelRequested = false; });
    trap.step([&] { BringFormToFront(*this); });
    trap.step([&] { refresh(); });
    // Whatever the user did there, a changed setting (path tool tips, a
    // structure's tint) shows at once.
    trap.step([&] { DisplayCurrentPath(*this, 0); });
    trap.step([&] { DisplayCurrentPath(*this, 1); });
    trap.step([&] { FillFirstLevelFoldersList(*this, 0); });
    trap.step([&] { FillFirstLevelFoldersList(*this, 1); });
    trap.step([&] { FillFirstLevelFilesList(*this, 0); });
    trap.step([&] { FillFirstLevelFilesList(*this, 1); });
}

// ---- Network drives -------------------------------------------------------------------


void frmMain::networkDriveCommand(bool map)
{
    Long e = 0;
    const bool done = map ? ShowMapNetworkDriveDialog(this, e) : ShowDisconnectNetworkDriveDialog(this, e);
    const QString base = map ? QStringLiteral("MND1000") : QStringLiteral("UND1000");
    if (e != 0) {
        const QString name = NetworkErrorName(e, !map);
        ErrorTrap trap(this, name.isEmpty() ? base : base + u'-' + name);
        trap.step([&] { RaiseError(e); });
        return;
    }
    if (!done)
        return;
    // Both trees learn of the drive, the other structure's first; the
    // current structure stays what it was.
    Globals& g = globals();
    ErrorTrap trap(this, base);
    const Integer saved = g.CurrentStructure;
    trap.step([&] {
        g.CurrentStructure = Integer(1 - saved);
        mnuToolsRefresh_Click();
        g.CurrentStructure = saved;
        mnuToolsRefresh_Click();
    });
    g.CurrentStructure = saved;
}

void frmMain::mnuToolsMapNetworkDrive_Click() { networkDriveCommand(true); }
void frmMain::mnuToolsUnMapNetworkDrive_Click() { networkDriveCommand(false); }

// ---- Wiring -----------------------------------------------------------------------------

void frmMain::wireCommandEvents()
{
    installWindowHooks();
    cmdCompare->Click = [this] { cmdCompare_Click(); };
    mnuToolsStartProcessing->Click = [this] { mnuToolsStartProcessing_Click(); };
    cmdSettings->Click = [this] { cmdSettings_Click(); };
    mnuSettings->Click = [this] { mnuSettings_Click(); };
    mnuSettingsHelp->Click = [this] { mnuSettingsHelp_Click(); };
    mnuSettingsExport->Click = [this] { mnuSettingsExport_Click(); };
    mnuSettingsImport->Click = [this] { mnuSettingsImport_Click(); };
    mnuFilePageSetup->Click = [this] { mnuFilePageSetup_Click(); };
    mnuFilePrintSetup->Click = [this] { mnuFilePrintSetup_Click(); };
    mnuHelpAbout->Click = [this] { mnuHelpAbout_Click(); };
    mnuHelpTips->Click = [this] { mnuHelpTips_Click(); };
    mnuToolsFactorySettings->Click = [this] { mnuToolsFactorySettings_Click(); };
    mnuToolsUpdatedVersion->Click = [this] { mnuToolsUpdatedVersion_Click(); };
    mnuToolsOptions->Click = [this] { mnuToolsOptions_Click(); };
    mnuToolsMapNetworkDrive->Click = [this] { mnuToolsMapNetworkDrive_Click(); };
    mnuToolsUnMapNetworkDrive->Click = [this] { mnuToolsUnMapNetworkDrive_Click(); };

    cmdCopyright->Click = [this] { mnuHelpAbout_Click(); };
    cmdHelp->Click = [this] { mnuHelpTips_Click(); };
    cmdMapNetworkDrive->Click = [this] { mnuToolsMapNetworkDrive_Click(); };
    cmdUnMapNetworkDrive->Click = [this] { mnuToolsUnMapNetworkDrive_Click(); };
    cmdOptions->Click = [this] { mnuToolsOptions_Click(); };
    cmdPageSetup->Click = [this] { mnuFilePageSetup_Click(); };
    cmdPrintSetup->Click = [this] { mnuFilePrintSetup_Click(); };

}

} // namespace mainwindow
