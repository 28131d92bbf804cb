#include "mainwindow/frmRecallSavedPath.h"

#include "shared/ErrorTrap.h"
#include "shared/IniAccess.h"
#include "shared/Texts.h"
#include "shared/basCommonDialogManager.h"
#include "shared/basSavedPaths.h"

namespace mainwindow {

using namespace basGlobal;

namespace {
// Context-help topics of the recall window's controls.
enum : int { htRecallList = 1101, htRecallSort, htRecallRestore, htRecallEdit, htRecallApply, htRecallCancel };

std::size_t structure() { return std::size_t(globals().CurrentStructure == 1 ? 1 : 0); }
} // namespace

frmRecallSavedPath::frmRecallSavedPath(ui::Color tint) : ui::Form(QStringLiteral("frmRecallSavedPath")), tint_(tint)
{
    Load = [this] { Form_Load(); };
}

void frmRecallSavedPath::build()
{
    move(0, 0, 8520, 4860);
    for (int i = 0; i <= 1; ++i) {
        auto* list = addTo(lstSavedPaths, QStringLiteral("lstSavedPaths"), i);
        list->setSorted(i == 1);
        list->move(120, 120, 8160, 3120);
        list->setHelpTopic(htRecallList);
        list->Click = [this, i] { lstSavedPaths_Click(i); };
        list->MouseMove = [this, i](int b, int sh, int x, int y) { lstSavedPaths_MouseMove(i, b, sh, x, y); };
    }
    chkSortSavedPaths = add<ui::CheckBox>(QStringLiteral("chkSortSavedPaths"));
    chkSortSavedPaths->move(120, 3360, 8160, 315);
    chkSortSavedPaths->setHelpTopic(htRecallSort);
    // Wide enough for the Greek captions, the longest of the two languages.
    const int top = 3840;
    cmdRecall = add<ui::CommandButton>(QStringLiteral("cmdRecall"));
    cmdRecall->move(120, top, 2400, 375);
    cmdRecall->setHelpTopic(htRecallRestore);
    cmdEdit = add<ui::CommandButton>(QStringLiteral("cmdEdit"));
    cmdEdit->move(2640, top, 2640, 375);
    cmdEdit->setHelpTopic(htRecallEdit);
    cmdApply = add<ui::CommandButton>(QStringLiteral("cmdApply"));
    cmdApply->move(5400, top, 1380, 375);
    cmdApply->setHelpTopic(htRecallApply);
    cmdCancel = add<ui::CommandButton>(QStringLiteral("cmdCancel"));
    cmdCancel->move(6900, top, 1380, 375);
    cmdCancel->setHelpTopic(htRecallCancel);
    freeSizer1 = add<ui::FormResizer>(QStringLiteral("freeSizer1"));
    setDefaultButton(cmdRecall);
    setCancelButton(cmdCancel);

    chkSortSavedPaths->Click = [this] { chkSortSavedPaths_Click(); };
    cmdRecall->Click = [this] { cmdRecall_Click(); };
    cmdApply->Click = [this] { cmdApply_Click(); };
    cmdEdit->Click = [this] { cmdEdit_Click(); };
    cmdCancel->Click = [this] { cmdCancel_Click(); };
    // A right click shows the help topic of the control by itself; a MouseUp
    // of our own that showed it too would ask for the help twice.
}

void frmRecallSavedPath::loadLists()
{
    bool missing = false, empty = false;
    Long e = 0;
    LoadSavedPathsList(globals().SavedPathsFileName[structure()], *lstSavedPaths[0], *lstSavedPaths[1],
                       *chkSortSavedPaths, missing, empty, e, tint_);
    RaiseIfError(e);
}

void frmRecallSavedPath::Form_Load()
{
    Globals& g = globals();
    ErrorTrap trap(this, QStringLiteral("RSPFL1000"));
    trap.step([&] { g.RecalledPath[structure()].clear(); });
    trap.step([&] {
        setCaption(Txt(u"Restore saved path", u"Επαναφορά αποθηκευμένης διαδρομής"));
        cmdRecall->setCaption(Txt(u"Restore path", u"Επαναφορά διαδρομής"));
        cmdCancel->setCaption(Txt(u"Cancel", u"Άκυρο"));
        cmdEdit->setCaption(Txt(u"Edit paths...", u"Επεξεργασία διαδρομών..."));
        cmdApply->setCaption(Txt(u"Apply", u"Εφαρμογή"));
        chkSortSavedPaths->setCaption(Txt(u"Sort saved paths", u"Ταξινόμηση αποθηκευμένων διαδρομών"));
    });
    trap.step([&] { freeSizer1->setResizeFonts(g.ResizeFontEnabled); });
    trap.step([&] { chkSortSavedPaths->setValue(g.SavedPathsSorted ? 1 : 0); });
    trap.step([&] { loadLists(); });
    trap.step([&] { cmdRecall->setEnabled(false); });
}

void frmRecallSavedPath::chkSortSavedPaths_Click()
{
    const bool sorted = chkSortSavedPaths->value() == 1;
    lstSavedPaths[0]->setVisible(!sorted);
    lstSavedPaths[1]->setVisible(sorted);
    for (int i = 0; i < lstSavedPaths[0]->listCount(); ++i) {
        lstSavedPaths[0]->setSelected(i, false);
        if (i < lstSavedPaths[1]->listCount())
            lstSavedPaths[1]->setSelected(i, false);
    }
    cmdCancel->setCaption(Txt(u"Cancel", u"Άκυρο"));
}

void frmRecallSavedPath::lstSavedPaths_Click(int index)
{
    cmdRecall->setEnabled(lstSavedPaths[index]->selCount() > 0);
}

void frmRecallSavedPath::lstSavedPaths_MouseMove(int index, int button, int shift, int x, int y)
{
    ShowPathListItemToolTip(*lstSavedPaths[index], button, shift, x, y);
}

void frmRecallSavedPath::cmdRecall_Click()
{
    Globals& g = globals();
    ui::ListBox& list = *lstSavedPaths[lstSavedPaths[1]->visible() ? 1 : 0];
    if (list.listIndex() >= 0)
        g.RecalledPath[structure()] = list.list(list.listIndex());
    g.SavedPathsSorted = chkSortSavedPaths->value() == 1;
    unload();
}

void frmRecallSavedPath::cmdApply_Click()
{
    Globals& g = globals();
    ErrorTrap trap(this, QStringLiteral("RSPAC1000"));
    trap.step([&] { g.SavedPathsSorted = chkSortSavedPaths->value() == 1; });
    trap.step([&] { RaiseIfError(WriteIniBoolean(g.IniFileName, QStringLiteral("General"), QStringLiteral("SortSavedPaths"), g.SavedPathsSorted)); });
    trap.step([&] { cmdCancel->setCaption(Txt(u"Close", u"Κλείσιμο")); });
}

void frmRecallSavedPath::cmdEdit_Click()
{
    ErrorTrap trap(this, QStringLiteral("RSPE1000"));
    bool aborted = false;
    trap.step([&] {
        Long e = 0;
        EditSavedPathsFile(this, globals().SavedPathsFileName[structure()], aborted, e);
        RaiseIfError(e);
    });
    if (aborted)
        return;
    trap.step([&] { loadLists(); });
    trap.step([&] { cmdRecall->setEnabled(false); });
}

void frmRecallSavedPath::cmdCancel_Click()
{
    unload();
}

} // namespace mainwindow
