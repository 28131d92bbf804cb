#include "setup/frmFolderIncludeExclude.h"

#include "shared/ErrorTrap.h"
#include "shared/Messages.h"
#include "shared/PathText.h"
#include "shared/StructureFile.h"
#include "shared/Texts.h"
#include "shared/basCommonDialogManager.h"
#include "shared/basObsoleteScriptingFileSystemObject.h"
#include "shared/frmHiddenForm.h"
#include "shared/frmPleaseWait.h"

#include <algorithm>
#include <memory>

namespace setup {

using basGlobal::globals;
using basGlobal::Long;
using basGlobal::Txt;

namespace {

// Twips: the lists and labels of the design, the buttons 2652 x 372.
constexpr int kClientWidth = 9612;
constexpr int kClientHeight = 6852;
constexpr int kButtonWidth = 2652;
constexpr int kButtonHeight = 372;

// The header of an exported-structure file as this window reads it: the
// root (with its trailing "\") and the first-level folder names, from the
// import check's parse when it kept one. Returns 0, the error number of
// opening the file, or -1 when the header is damaged, with `problem` saying
// where; what was read before the damage is kept. Damage past the header is
// the comparison's to report.
Long readImportedHeader(const QString& file, QString& root, QStringList& names,
                        basGlobal::StructureFileProblem& problem)
{
    std::shared_ptr<const basGlobal::ParsedStructure> parsed = basGlobal::AcceptedStructure(file);
    if (!parsed) {
        auto own = std::make_shared<basGlobal::ParsedStructure>();
        Long error = 0;
        if (basGlobal::ParseStructureFile(file, *own, error) == basGlobal::ParseOutcome::CannotOpen)
            return error;
        parsed = std::move(own);
    }
    root = parsed->header.root;
    names = parsed->header.firstLevelFolders;
    if (parsed->headerComplete)
        return 0;
    problem = parsed->problem;
    problem.file = file;
    return -1;
}

// The number of first-level folders of structure i, as the comparison will
// see them: from an imported structure's file, else from disk. A structure
// that cannot be read counts none; its own stage reports it.
Long firstLevelFolderCount(int i)
{
    const basGlobal::Globals& g = globals();
    const QString& file = g.ImportedStructureFile[std::size_t(i)];
    if (g.ComparisonMode == 1 && !file.isEmpty()) {
        QString root;
        QStringList names;
        basGlobal::StructureFileProblem problem;
        readImportedHeader(file, root, names, problem);
        return Long(names.size());
    }
    Long error = 0;
    const Long count = basGlobal::CountSubFolders(g.CurrentPath[std::size_t(i)], error);
    return error == 0 ? count : 0;
}

} // namespace

frmFolderIncludeExclude::frmFolderIncludeExclude() : ui::Form(QStringLiteral("frmFolderIncludeExclude"))
{
    Load = [this] { Form_Load(); };
    QueryUnload = [this](bool& cancel, int mode) { Form_QueryUnload(cancel, mode); };
}

void frmFolderIncludeExclude::build()
{
    move(left(), top(), kClientWidth + 2 * 60, kClientHeight + 400);
    for (int i = 0; i < 2; ++i) {
        auto* path = addTo(lblCurrentFullPath, QStringLiteral("lblCurrentFullPath"), i);
        path->move(120, i == 0 ? 120 : 480, 9372, 252);
        path->setForeColor(ui::kSysWindowText);
        path->setHelpTopic(i == 0 ? htCurrentFullPathPrimary : htCurrentFullPathSecondary);
        auto* caption = addTo(lblFirstLevelFolders, QStringLiteral("lblFirstLevelFolders"), i);
        caption->move(i == 0 ? 120 : 4920, 840, 4572, 252);
        auto* list = addTo(lstFirstLevelFolders, QStringLiteral("lstFirstLevelFolders"), i);
        list->move(i == 0 ? 120 : 4920, 1080, 4572, 4152);
        list->setSorted(true);
        list->setMultiSelect(ui::ListBox::Simple);
        list->setForeColor(ui::kSysWindowText);
        list->setTabIndex(i == 0 ? 2 : 5);
        list->setHelpTopic(i == 0 ? htFirstLevelFoldersPrimary : htFirstLevelFoldersSecondary);
    }
    struct ButtonDesign {
        ui::CommandButton** slot;
        const char* name;
        int left, top, tabIndex, topic;
    };
    const ButtonDesign buttons[] = {
        {&cmdSelectAll, "cmdSelectAll", 120, 5400, 10, htSelectAll},
        {&cmdAllCommon, "cmdAllCommon", 3480, 5400, 6, htAllCommon},
        {&cmdInclude, "cmdInclude", 6840, 5400, 7, htInclude},
        {&cmdDeselectAll, "cmdDeselectAll", 120, 5880, 11, htDeselectAll},
        {&cmdAllNonCommon, "cmdAllNonCommon", 3480, 5880, 8, htAllNonCommon},
        {&cmdExclude, "cmdExclude", 6840, 5880, 9, htExclude},
        {&cmdReminder, "cmdReminder", 120, 6360, 13, htReminder},
        {&cmdCancel, "cmdCancel", 6840, 6360, 12, htNo},
    };
    for (const ButtonDesign& b : buttons) {
        *b.slot = add<ui::CommandButton>(QLatin1String(b.name));
        (*b.slot)->move(b.left, b.top, kButtonWidth, kButtonHeight);
        (*b.slot)->setTabIndex(b.tabIndex);
        (*b.slot)->setHelpTopic(b.topic);
    }
    setCancelButton(cmdCancel);
    freeSizer1 = add<ui::FormResizer>(QStringLiteral("freeSizer1"));

    for (int i = 0; i < 2; ++i) {
        lstFirstLevelFolders[i]->Click = [this, i] { lstFirstLevelFolders_Click(i); };
        lstFirstLevelFolders[i]->MouseMove = [this, i](int button, int shift, int x, int y) {
            basGlobal::ShowPathListItemToolTip(*lstFirstLevelFolders[i], button, shift, x, y);
        };
    }
    cmdSelectAll->Click = [this] { cmdSelectAll_Click(); };
    cmdDeselectAll->Click = [this] { cmdDeselectAll_Click(); };
    cmdAllCommon->Click = [this] { selectByCounterpart(true, QStringLiteral("356")); };
    cmdAllNonCommon->Click = [this] { selectByCounterpart(false, QStringLiteral("334")); };
    cmdInclude->Click = [this] { copyResult(true); };
    cmdExclude->Click = [this] { copyResult(false); };
    cmdReminder->Click = [this] { cmdReminder_Click(); };
    cmdCancel->Click = [this] {
        if (copying_)
            return;
        globals().FolderSelectionState = 3;
        unload();
    };
}

// --- Loading ---------------------------------------------------------------------------------

void frmFolderIncludeExclude::Form_Load()
{
    basGlobal::Globals& g = globals();
    basGlobal::ErrorTrap trap(this, QStringLiteral("320"));
    trap.step([&] {
        setCaption(Txt(u"Folder inclusion/exclusion", u"Συμμετοχή/Αποκλεισμός φακέλλων"));
        for (ui::Label* l : lblFirstLevelFolders) l->setCaption(Txt(u"First level folders", u"Φάκελλοι πρώτου επιπέδου"));
        cmdExclude->setCaption(Txt(u"Exclude", u"Αποκλεισμός"));
        cmdInclude->setCaption(Txt(u"Include", u"Συμμετοχή"));
        cmdReminder->setCaption(Txt(u"Reminder", u"Υπενθύμιση"));
        cmdCancel->setCaption(Txt(u"No", u"Όχι"));
        cmdAllNonCommon->setCaption(Txt(u"All non-common", u"Όλους τους μή κοινούς"));
        cmdAllCommon->setCaption(Txt(u"All common", u"Όλους τους κοινούς"));
        cmdDeselectAll->setCaption(Txt(u"Deselect all", u"Ακύρωση επιλογών"));
        cmdSelectAll->setCaption(Txt(u"Select all", u"Επιλογή όλων"));
    });
    trap.step([&] { freeSizer1->setResizeFonts(g.ResizeFontEnabled); });
    for (int i = 0; i < 2; ++i)
        trap.step([&] {
            lblCurrentFullPath[i]->setBackColor(basGlobal::StructureTintOf(i));
            lstFirstLevelFolders[i]->setBackColor(basGlobal::StructureTintOf(i));
        });
    trap.step([&] {
        for (ui::ListBox* l : lstFirstLevelFolders) l->clear();
        cmdInclude->setEnabled(false);
        cmdExclude->setEnabled(false);
        g.FolderSelectionState = 3;
        g.FolderListScrollGuard = false;
        // A cancel left over from an earlier operation (a cancelled print)
        // would otherwise leave the lists empty without a word.
        g.CancelRequested = false;
    });

    const bool primaryImported = !g.ImportedStructureFile[0].isEmpty();
    const bool secondaryImported = !g.ImportedStructureFile[1].isEmpty();
    // Off line with nothing imported has no file to read: both come from disk.
    if (g.ComparisonMode == 0 || (g.ComparisonMode == 1 && !primaryImported && !secondaryImported)) {
        loadLive(0);
        loadLive(1);
    } else if (g.ComparisonMode == 1) {
        QString name;
        trap.step([&] {
            basGlobal::ImportedStructureRange(g.FirstStructureToProcess, g.LastStructureToProcess);
            name = primaryImported && secondaryImported ? Txt(u"Both structures", u"Και οι δύο δομές")
                 : primaryImported                      ? Txt(u"Primary Structure", u"Πρωτεύουσα Δομή")
                                                        : Txt(u"Secondary Structure", u"Δευτερεύουσα Δομή");
        });
        trap.step([&] { setCaption(caption() + Txt(u" [Off line: ", u" [Χωρίς σύνδεση: ") + name + u']'); });
        for (int i = 0; i < 2; ++i) {
            if (g.ImportedStructureFile[std::size_t(i)].isEmpty())
                loadLive(i);
            else
                loadImported(i);
        }
    }

    trap.step([&] {
        for (ui::ListBox* l : lstFirstLevelFolders)
            for (int k = 0; k < l->listCount(); ++k) l->setSelected(k, false);
    });
    for (int i = 0; i < 2; ++i)
        trap.step([&] {
            ui::Label& l = *lblFirstLevelFolders[i];
            l.setCaption(l.caption() + QStringLiteral(": ") + QString::number(lstFirstLevelFolders[i]->listCount())
                         + u'.');
        });
    trap.step([&] {
        bool common = false, nonCommon = false;
        for (int i = 0; i < 2; ++i) {
            if (lstFirstLevelFolders[1 - i]->listCount() == 0)
                continue;
            for (int k = 0; k < lstFirstLevelFolders[i]->listCount(); ++k)
                (hasCounterpart(i, k) ? common : nonCommon) = true;
        }
        cmdAllNonCommon->setEnabled(nonCommon);
        cmdAllCommon->setEnabled(common);
    });
}

void frmFolderIncludeExclude::showPath(int i, const QString& path)
{
    lblCurrentFullPath[i]->setCaption(basGlobal::CompactPathToWidth(*lblCurrentFullPath[i], path));
    lblCurrentFullPath[i]->setToolTipText(globals().HidePathToolTips ? QString() : path);
}

void frmFolderIncludeExclude::loadLive(int i)
{
    basGlobal::ErrorTrap trap(this, QStringLiteral("320"));
    ui::ListBox& found = *basGlobal::HiddenForm().lstSortedListBox[i];
    QString path;
    trap.step([&] {
        path = basGlobal::AddTrailingSeparator(globals().CurrentPath[std::size_t(i)]);
        showPath(i, path);
    });
    trap.step([&] {
        bool cancelled = false;
        Long error = 0;
        found.setEnabled(true);   // cleared first
        // Nothing in this window can ask for a cancel while it loads.
        basGlobal::ListSubFolders(path, found, cancelled, error, basGlobal::Cancellable::No);
        if (error != 0)
            throw basGlobal::ListingError(error, basGlobal::LastListingFailedFolder());
    });
    ui::ListBox& list = *lstFirstLevelFolders[i];
    for (int k = 0; k < found.listCount(); ++k)
        trap.step([&] {
            list.addItem(basGlobal::GetTextAfterSeparator(found.list(k)));
            list.setListIndex(-1);
        });
}

void frmFolderIncludeExclude::loadImported(int i)
{
    basGlobal::ErrorTrap trap(this, QStringLiteral("320"));
    const QString& file = globals().ImportedStructureFile[std::size_t(i)];
    trap.step([&] {
        QString root;
        QStringList names;
        basGlobal::StructureFileProblem problem;
        const Long e = readImportedHeader(file, root, names, problem);
        if (e > 0)
            basGlobal::RaiseError(e);
        if (!root.isEmpty())
            showPath(i, root);
        for (const QString& name : names) lstFirstLevelFolders[i]->addItem(name);
        // A damaged file is told once, naming its line, and read no further.
        if (e < 0)
            basGlobal::ShowMessageBox(this, caption(),
                                      basGlobal::StructureFileProblemText(problem, globals().LanguageIsGreek),
                                      ui::vbExclamationOK);
    });
}

void frmFolderIncludeExclude::Form_QueryUnload(bool& cancel, int unloadMode)
{
    if (copying_)
        cancel = basGlobal::ShowCannotCloseWindowMessage(this, basGlobal::Integer(unloadMode));
}

// --- Selection -------------------------------------------------------------------------------

bool frmFolderIncludeExclude::hasCounterpart(int i, int k) const
{
    const bool cs = globals().VolumeIsCaseSensitive;
    const QString name = basGlobal::ApplyCaseSensitivity(lstFirstLevelFolders[i]->list(k), cs);
    const ui::ListBox& other = *lstFirstLevelFolders[1 - i];
    for (int j = 0; j < other.listCount(); ++j)
        if (basGlobal::ApplyCaseSensitivity(other.list(j), cs) == name)
            return true;
    return false;
}

void frmFolderIncludeExclude::repaintLists()
{
    for (ui::ListBox* l : lstFirstLevelFolders) l->refresh();
}

void frmFolderIncludeExclude::lstFirstLevelFolders_Click(int i)
{
    basGlobal::Globals& g = globals();
    basGlobal::ErrorTrap trap(this, QStringLiteral("321"));
    trap.step([&] {
        const bool any = lstFirstLevelFolders[0]->selCount() > 0 || lstFirstLevelFolders[1]->selCount() > 0;
        cmdInclude->setEnabled(any);
        cmdExclude->setEnabled(any);
    });
    if (g.FolderListScrollGuard)
        return;
    ui::ListBox& list = *lstFirstLevelFolders[i];
    ui::ListBox& other = *lstFirstLevelFolders[1 - i];
    trap.step([&] { list.setTopIndex(std::max(0, list.listIndex() - 2)); });
    g.FolderListScrollGuard = true;
    trap.step([&] {
        const bool cs = g.VolumeIsCaseSensitive;
        const int current = list.listIndex();
        if (current < 0)
            return;   // no current item: a name of "" that no folder has
        const QString name = basGlobal::ApplyCaseSensitivity(list.list(current), cs);
        for (int k = 0; k < other.listCount(); ++k) {
            if (basGlobal::ApplyCaseSensitivity(other.list(k), cs) != name)
                continue;
            const bool state = list.selected(current);
            if (other.selected(k) != state) {
                other.setSelected(k, state);
                other.setTopIndex(std::max(0, k - 2));
                break;
            }
        }
    });
    trap.step([&] { repaintLists(); });
    g.FolderListScrollGuard = false;
}

void frmFolderIncludeExclude::cmdSelectAll_Click()
{
    if (copying_)
        return;
    basGlobal::ErrorTrap trap(this, QStringLiteral("335"));
    for (ui::ListBox* list : lstFirstLevelFolders)
        for (int k = 0; k < list->listCount(); ++k)
            trap.step([&] { list->setSelected(k, true); });
    trap.step([&] { repaintLists(); });
}

void frmFolderIncludeExclude::cmdDeselectAll_Click()
{
    if (copying_)
        return;
    basGlobal::ErrorTrap trap(this, QStringLiteral("333"));
    for (ui::ListBox* list : lstFirstLevelFolders) {
        if (list->listCount() == 0 || list->selCount() == 0)
            continue;
        std::vector<Long> selected;
        trap.step([&] {
            const Long count = list->selCount();
            selected.resize(std::size_t(count));
            basGlobal::GetListBoxSelectedItems(*list, count, selected);
        });
        for (const Long k : selected)
            trap.step([&] { list->setSelected(k, false); });
        trap.step([&] {
            list->setListIndex(-1);
            list->setTopIndex(0);
        });
    }
    trap.step([&] { repaintLists(); });
}

void frmFolderIncludeExclude::selectByCounterpart(bool common, const QString& locationCode)
{
    if (copying_)
        return;
    basGlobal::ErrorTrap trap(this, locationCode);
    trap.step([&] { cmdDeselectAll->setValue(true); });
    for (int i = 0; i < 2; ++i) {
        ui::ListBox& list = *lstFirstLevelFolders[i];
        for (int k = 0; k < list.listCount(); ++k)
            trap.step([&] {
                if (lstFirstLevelFolders[1 - i]->listCount() > 0 && hasCounterpart(i, k) == common)
                    list.setSelected(k, true);
            });
    }
    trap.step([&] { repaintLists(); });
}

// --- Result ----------------------------------------------------------------------------------

void frmFolderIncludeExclude::copyResult(bool include)
{
    if (copying_)
        return;
    copying_ = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{copying_};
    basGlobal::ErrorTrap trap(this, include ? QStringLiteral("357") : QStringLiteral("322"));
    // The hidden lists always hold the folders to drop: after Include the
    // ones left unselected, after Exclude the selected ones. The names are
    // taken before the first yield, so nothing done meanwhile changes them.
    QStringList names[2];
    trap.step([&] {
        for (int i = 0; i < 2; ++i) {
            const ui::ListBox& list = *lstFirstLevelFolders[i];
            for (int k = 0; k < list.listCount(); ++k)
                if (list.selected(k) != include) names[i] << list.list(k);
        }
    });
    for (int i = 0; i < 2; ++i) {
        basGlobal::DoEventsNow();
        ui::ListBox& target = *basGlobal::HiddenForm().lstFoldersToIncludeExclude[i];
        for (const QString& name : names[i]) {
            basGlobal::DoEventsNow();
            trap.step([&] { target.addItem(name); });
        }
    }
    globals().FolderSelectionState = include ? 1 : 2;
    copying_ = false;
    unload();
}

void frmFolderIncludeExclude::cmdReminder_Click()
{
    if (copying_)
        return;
    const basGlobal::Globals& g = globals();
    basGlobal::ErrorTrap trap(this, QStringLiteral("331"));
    trap.step([&] {
        const bool gr = g.LanguageIsGreek;
        auto sentence = [&](int i) {
            const QString start = i == 0 ? Txt(gr, u"The Primary structure, exists ", u"Η Πρωτεύουσα δομή, υπάρχει ")
                                         : Txt(gr, u"The Secondary structure, exists ", u"Η Δευτερεύουσα δομή, υπάρχει ");
            const QString& file = g.ImportedStructureFile[std::size_t(i)];
            if (g.ComparisonMode == 0 || file.isEmpty())
                return start + Txt(gr, u"on the local computer.", u"στον τοπικό υπολογιστή.");
            return start
                   + (gr ? QStringLiteral("σε απομακρυσμένο υπολογιστή και εισήχθη για σύγκριση χωρίς σύνδεση, "
                                          "από το αρχείο με όνομα «")
                               + file + QStringLiteral("».")
                         : QStringLiteral("on a remote computer and was imported for off line comparison, "
                                          "from the file called '")
                               + file + QStringLiteral("'."));
        };
        if (g.ComparisonMode == 0 || g.ComparisonMode == 1)
            basGlobal::ShowMessageBox(this, caption(), sentence(0) + QStringLiteral("\r\n\r\n") + sentence(1),
                                      ui::vbInformationOK);
    });
}

// --- Entry point -----------------------------------------------------------------------------

frmFolderIncludeExclude& FolderInclusionWindow()
{
    static frmFolderIncludeExclude* const form = new frmFolderIncludeExclude;
    return *form;
}

void ShowFolderInclusionWindow(ui::Form& caller)
{
    frmFolderIncludeExclude& form = FolderInclusionWindow();
    {
        basGlobal::PleaseWaitNotice notice(caller, basGlobal::PleaseWaitReason::RetrievingFirstLevelFolders);
        form.unload();
        form.load();
    }
    if (form.isLoaded())
        form.show(ui::Modal);
}

bool ChooseFirstLevelFolders(ui::Form& caller)
{
    basGlobal::Globals& g = globals();
    for (ui::ListBox* l : basGlobal::HiddenForm().lstFoldersToIncludeExclude) l->clear();
    g.FolderSelectionState = 3;
    if (!g.FolderIncludeExcludeEnabled || g.NumberOfLevelsLimit == 1 || (g.ComparisonMode != 0 && g.ComparisonMode != 1))
        return false;
    if (firstLevelFolderCount(0) + firstLevelFolderCount(1) == 0)
        return false;
    ShowFolderInclusionWindow(caller);
    return true;
}

} // namespace setup
