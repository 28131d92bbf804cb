// Moving through the folders of each structure: the trees, Up one level,
// Refresh, the display check boxes and the first-level lists.
#include "mainwindow/frmMain.h"

#include "platform/AppError.h"
#include "shared/ErrorTrap.h"
#include "shared/IniAccess.h"
#include "mainwindow/MainWindowCaptions.h"
#include "shared/Messages.h"
#include "shared/PathText.h"
#include "shared/basCommonDialogManager.h"
#include "shared/basTreeViewManager.h"
#include "ui/Input.h"

namespace mainwindow {

using namespace basGlobal;

namespace {

constexpr Long kElementNotFound = 35601;

const QString kDisplayFoldersKey[2] = {QStringLiteral("DisplayPrimaryPathFirstLevelFolders"),
                                       QStringLiteral("DisplaySecondaryPathFirstLevelFolders")};
const QString kDisplayFilesKey[2] = {QStringLiteral("DisplayPrimaryPathFirstLevelFiles"),
                                     QStringLiteral("DisplaySecondaryPathFirstLevelFiles")};

} // namespace

// ---- Display check boxes -----------------------------------------------------------
//
// The box only records the choice; its list keeps what it shows until the
// next move fills it.

void frmMain::displayFirstLevel(int structure, bool files, bool checked)
{
    Globals& g = globals();
    ErrorTrap trap(this, files ? QStringLiteral("DFLF1000") : QStringLiteral("DFLD1000"));
    trap.step([&] {
        auto& flag = files ? g.DisplayFirstLevelFiles : g.DisplayFirstLevelFolders;
        flag[std::size_t(structure)] = checked;
        const QString& key = (files ? kDisplayFilesKey : kDisplayFoldersKey)[structure == 1 ? 1 : 0];
        RaiseIfError(WriteIniBoolean(g.IniFileName, QStringLiteral("General"), key, checked));
    });
}

void frmMain::chkDisplayFirstLevelFolders_Click(int index)
{
    displayFirstLevel(index, false, chkDisplayFirstLevelFolders[index]->value() == 1);
}

void frmMain::chkDisplayFirstLevelFiles_Click(int index)
{
    displayFirstLevel(index, true, chkDisplayFirstLevelFiles[index]->value() == 1);
}

// ---- Tree events ------------------------------------------------------------------

void frmMain::tvwStructure_Expand(int index, ui::TreeNode* node)
{
    ErrorTrap trap(this, QStringLiteral("SE1000"));
    setMousePointer(ui::vbHourglass);
    trap.stepRestoringPointer(*this, [&] { RaiseIfError(ExpandFolderNode(*tvwStructure[index], node)); });
    setMousePointer(ui::vbDefault);
}

void frmMain::tvwStructure_NodeClick(int index, ui::TreeNode* node)
{
    ErrorTrap trap(this, QStringLiteral("303"));
    trap.step([&] { RaiseIfError(EnsureNodeVisible(*tvwStructure[index], node)); });
    trap.step([&] { showStructure(index); });
}

// Collapsing a node that held the selection has moved the selection to it:
// the structure follows the tree.
void frmMain::tvwStructure_Collapse(int index, ui::TreeNode* /*node*/)
{
    Globals& g = globals();
    ErrorTrap trap(this, QStringLiteral("SC1000"));
    bool moved = false;
    trap.stepRestoringPointer(*this, [&] {
        Long e = 0;
        const QString selected = GetSelectedNodePath(*tvwStructure[index], e);
        RaiseIfError(e);
        moved = ApplyCaseSensitivity(AddTrailingSeparator(selected), g.VolumeIsCaseSensitive)
            != ApplyCaseSensitivity(AddTrailingSeparator(g.CurrentPath[std::size_t(index)]), g.VolumeIsCaseSensitive);
    });
    if (!moved)
        return;
    setMousePointer(ui::vbHourglass);
    trap.stepRestoringPointer(*this, [&] { showStructure(index); });
    setMousePointer(ui::vbDefault);
}

// ---- Up one level -----------------------------------------------------------------

void frmMain::cmdUpOneLevel_Click()
{
    Globals& g = globals();
    const int s = g.CurrentStructure;
    // A tree that holds the focus moves by its own keys.
    if (ui::Control* active = activeControl(); active && active->name().toUpper() == QLatin1String("TVWSTRUCTURE"))
        return;
    ErrorTrap trap(this, QStringLiteral("UOL1000"));
    bool atRoot = false;
    trap.step([&] { tvwStructure[s]->setFocus(); });
    trap.step([&] {
        QString p = RemoveTrailingSeparator(g.CurrentPath[std::size_t(s)]);
        if (p.size() == 2 && p.endsWith(u':')) {
            atRoot = true;
            ShowMessageBox(this,
                           g.LanguageIsGreek ? QStringLiteral("Ένα επίπεδο επάνω") : QStringLiteral("Up one level"),
                           g.LanguageIsGreek
                               ? QStringLiteral("Βρίσκεστε ήδη στο πρώτο επίπεδο του τρέχοντος δίσκου και επομένως, "
                                                "δεν μπορείτε να μετακινηθείτε σε υψηλότερο επίπεδο.")
                               : QStringLiteral("You are already on the root directory of the current drive and as a "
                                                "result, you cannot go up any further."),
                           ui::vbInformationOK);
            return;
        }
        p = GetTextBeforeSeparator(p);
        Long e = 0;
        g.CurrentPath[std::size_t(s)] = RestorePath(this, p, *tvwStructure[s], e);
        RaiseIfError(e);
    });
    if (atRoot)
        return;
    trap.step([&] { showStructure(s); });
}

void frmMain::mnuToolsUpOneLevel_Click()
{
    if (cmdUpOneLevel->effectivelyEnabled() && cmdUpOneLevel->effectivelyVisible() && isShown())
        cmdUpOneLevel->setFocus();
    cmdUpOneLevel->setValue(true);
}

// Backspace goes up a level whatever the shift keys; the tree never sees it.
void frmMain::Form_KeyDown(int& keyCode, int /*shift*/)
{
    if (keyCode == ui::vbKeyBack) {
        keyCode = 0;
        mnuToolsUpOneLevel_Click();
    }
}

// ---- Refresh ------------------------------------------------------------------------

void frmMain::mnuToolsRefresh_Click()
{
    Globals& g = globals();
    const int s = g.CurrentStructure;
    ErrorTrap trap(this, QStringLiteral("311"));
    // A folder that vanished meanwhile is no error: the label shows where the
    // tree stands now.
    auto raiseUnlessNotFound = [&](Long e) {
        if (e == kElementNotFound)
            DisplayCurrentPath(*this, Integer(s));
        else
            RaiseIfError(e);
    };
    trap.step([&] { raiseUnlessNotFound(ReloadTreeView(*tvwStructure[s])); });
    trap.step([&] {
        Long e = 0;
        const QString path = GetSelectedNodePath(*tvwStructure[s], e);
        if (e == 0)
            g.CurrentPath[std::size_t(s)] = path;
        raiseUnlessNotFound(e);
    });
    trap.step([&] { showStructure(s); });
    trap.step([&] { tvwStructure[s]->setFocus(); });
}

void frmMain::cmdRefresh_Click() { mnuToolsRefresh_Click(); }

// ---- First-level lists: for reading only -------------------------------------------------

void frmMain::lstFirstLevelFolders_Click(int index)
{
    ErrorTrap trap(this, QStringLiteral("316"));
    trap.step([&] { lstFirstLevelFolders[index]->setListIndex(-1); });
}

void frmMain::lstFirstLevelFiles_Click(int index)
{
    ErrorTrap trap(this, QStringLiteral("354"));
    trap.step([&] { lstFirstLevelFiles[index]->setListIndex(-1); });
}

void frmMain::lstFirstLevelFolders_MouseMove(int index, int button, int shift, int x, int y)
{
    ShowPathListItemToolTip(*lstFirstLevelFolders[index], button, shift, x, y);
}

void frmMain::lstFirstLevelFiles_MouseMove(int index, int button, int shift, int x, int y)
{
    ShowPathListItemToolTip(*lstFirstLevelFiles[index], button, shift, x, y);
}

// ---- Wiring ---------------------------------------------------------------------------

void frmMain::wireEvents()
{
    for (int i = 0; i <= 1; ++i) {
        optStructure[i]->Click = [this, i] { optStructure_Click(i); };
        cmdLanguage[i]->Click = [this, i] { cmdLanguage_Click(i); };
        chkDisplayFirstLevelFolders[i]->Click = [this, i] { chkDisplayFirstLevelFolders_Click(i); };
        chkDisplayFirstLevelFiles[i]->Click = [this, i] { chkDisplayFirstLevelFiles_Click(i); };
        tvwStructure[i]->Expand = [this, i](ui::TreeNode* n) { tvwStructure_Expand(i, n); };
        tvwStructure[i]->NodeClick = [this, i](ui::TreeNode* n) { tvwStructure_NodeClick(i, n); };
        tvwStructure[i]->Collapse = [this, i](ui::TreeNode* n) { tvwStructure_Collapse(i, n); };
        lstFirstLevelFolders[i]->Click = [this, i] { lstFirstLevelFolders_Click(i); };
        lstFirstLevelFiles[i]->Click = [this, i] { lstFirstLevelFiles_Click(i); };
        lstFirstLevelFolders[i]->MouseMove = [this, i](int b, int sh, int x, int y) {
            lstFirstLevelFolders_MouseMove(i, b, sh, x, y);
        };
        lstFirstLevelFiles[i]->MouseMove = [this, i](int b, int sh, int x, int y) {
            lstFirstLevelFiles_MouseMove(i, b, sh, x, y);
        };
    }
    cmdUpOneLevel->Click = [this] { cmdUpOneLevel_Click(); };
    cmdRefresh->Click = [this] { cmdRefresh_Click(); };
    cmdEndApplication->Click = [this] { mnuFileExit_Click(); };
    mnuToolsUpOneLevel->Click = [this] { mnuToolsUpOneLevel_Click(); };
    mnuToolsRefresh->Click = [this] { mnuToolsRefresh_Click(); };
    mnuToolsGreek->Click = [this] { mnuToolsGreek_Click(); };
    mnuToolsEnglish->Click = [this] { mnuToolsEnglish_Click(); };
    mnuFileExit->Click = [this] { mnuFileExit_Click(); };
    freeSizer1->ResizeDone = [this] { freeSizer1_ResizeDone(); };
}

} // namespace mainwindow
