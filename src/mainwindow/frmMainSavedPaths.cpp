// Storing and recalling paths: the Store and Restore buttons with their
// pop-up menus, the same menus in the menu bar, and the recall window.
#include "mainwindow/frmMain.h"
#include "mainwindow/frmRecallSavedPath.h"

#include "shared/ErrorTrap.h"
#include "shared/Messages.h"
#include "shared/basSavedPaths.h"
#include "shared/basTreeViewManager.h"

namespace mainwindow {

using namespace basGlobal;

namespace {

std::size_t current() { return std::size_t(globals().CurrentStructure == 1 ? 1 : 0); }

} // namespace

void frmMain::popUpFromButton(ui::Menu& menu, ui::Menu& help, ui::Menu& cancel, bool& fromButton)
{
    fromButton = true;
    help.setEnabled(true);
    cancel.setEnabled(true);
    try {
        popupMenu(menu, 0);
    } catch (...) {
        fromButton = false;
        throw;
    }
    fromButton = false;
}

void frmMain::menuOpened(ui::Menu& help, ui::Menu& cancel, bool fromButton)
{
    if (!fromButton) {
        help.setEnabled(false);
        cancel.setEnabled(false);
    }
}

void frmMain::cmdSavePath_Click()
{
    popUpFromButton(*mnuSavePath, *mnuSavePathHelp, *mnuSavePathCancel, globals().SavePathMenuFromButton);
}

void frmMain::cmdRecallSavedPath_Click()
{
    popUpFromButton(*mnuRecallPath, *mnuRecallPathHelp, *mnuRecallPathCancel,
                    globals().RecallPathMenuFromButton);
}

void frmMain::mnuSavePath_Click()
{
    menuOpened(*mnuSavePathHelp, *mnuSavePathCancel, globals().SavePathMenuFromButton);
}

void frmMain::mnuRecallPath_Click()
{
    menuOpened(*mnuRecallPathHelp, *mnuRecallPathCancel, globals().RecallPathMenuFromButton);
}

void frmMain::mnuSavePathHelp_Click() { cmdSavePath->showWhatsThis(); }
void frmMain::mnuRecallPathHelp_Click() { cmdRecallSavedPath->showWhatsThis(); }

void frmMain::mnuSavePathRecent_Click()
{
    Globals& g = globals();
    const std::size_t s = current();
    ErrorTrap trap(this, QStringLiteral("SPR1000"));
    trap.step([&] {
        bool already = false, aborted = false;
        Long e = 0;
        StorePath(this, g.CurrentPath[s], g.SavedPathsFileName[s], already, aborted, e);
        RaiseIfError(e);
    });
}

void frmMain::mnuSavePathInitial_Click()
{
    Globals& g = globals();
    const std::size_t s = current();
    ErrorTrap trap(this, QStringLiteral("SPI1000"));
    trap.step([&] {
        const QString key = s == 1 ? QStringLiteral("SecondaryInitialPath") : QStringLiteral("PrimaryInitialPath");
        bool already = false, aborted = false;
        Long e = 0;
        SetInitialPath(this, g.CurrentPath[s], g.IniFileName, already, aborted, e, key);
        RaiseIfError(e);
        if (!aborted)
            g.InitialPath[s] = g.CurrentPath[s];
    });
}

void frmMain::mnuRecallPathRecent_Click()
{
    Globals& g = globals();
    const std::size_t s = current();
    ErrorTrap trap(this, QStringLiteral("309"));
    trap.step([&] {
        withHourglass([&] {
            frmRecallSavedPath recall(lstFirstLevelFolders[int(s)]->backColor());
            recall.show(ui::Modal);
        });
    });
    if (g.RecalledPath[s].isEmpty())
        return;
    trap.step([&] { restorePath(int(s), g.RecalledPath[s]); });
    trap.step([&] { showStructure(int(s)); });
}

void frmMain::mnuRecallPathInitial_Click()
{
    ErrorTrap trap(this, QStringLiteral("310"));
    trap.step([&] { restorePath(int(current()), globals().InitialPath[current()]); });
    trap.step([&] { showStructure(int(current())); });
}

// The path takes whatever the tree holds selected even when the selecting
// failed: after the failure is reported, the label and the lists shown next
// agree with the tree.
void frmMain::restorePath(int s, const QString& path)
{
    Long e = 0;
    globals().CurrentPath[std::size_t(s)] = RestorePath(this, path, *tvwStructure[s], e);
    RaiseIfError(e);
}

void frmMain::wireSavedPathEvents()
{
    cmdSavePath->Click = [this] { cmdSavePath_Click(); };
    cmdRecallSavedPath->Click = [this] { cmdRecallSavedPath_Click(); };
    mnuSavePath->Click = [this] { mnuSavePath_Click(); };
    mnuRecallPath->Click = [this] { mnuRecallPath_Click(); };
    mnuSavePathHelp->Click = [this] { mnuSavePathHelp_Click(); };
    mnuRecallPathHelp->Click = [this] { mnuRecallPathHelp_Click(); };
    mnuSavePathRecent->Click = [this] { mnuSavePathRecent_Click(); };
    mnuSavePathInitial->Click = [this] { mnuSavePathInitial_Click(); };
    mnuRecallPathRecent->Click = [this] { mnuRecallPathRecent_Click(); };
    mnuRecallPathInitial->Click = [this] { mnuRecallPathInitial_Click(); };
}

} // namespace mainwindow
