#pragma once
// The folder inclusion window: before a comparison the user picks first-level
// folders of the two structures, and the comparison then keeps only those
// (Include) or leaves them out (Exclude). The lists come from disk for a live
// structure and from the exported-structure file's header for an imported
// one. Selecting a folder in one list selects the folder of the same name
// (under the case rule) in the other.
//
// The result, for the comparison's first-level folder stage:
// - FolderSelectionState: 1 Include, 2 Exclude, 3 no folder selection (No,
//   Esc, the close box);
// - frmHiddenForm.lstFoldersToIncludeExclude(i): always the folders to DROP.
//   Include lists the folders left unselected, so a structure with nothing
//   selected loses all its first-level folders and only its root's own
//   files are compared.
//
// Entry point for the main window's Compare, after the Options window and
// before the results window:
//
//     setup::ChooseFirstLevelFolders(*this);   // then load frmCompare, always
//
// It prepares the result (both hidden lists cleared, state 3), and when
// folder selection is allowed, the number of levels is not 1 and the two
// structures together have a first-level folder, shows the please-wait
// notice while the window loads and then the window modally. The comparison
// goes on whatever the window's outcome.

#include "shared/basGlobal.h"
#include "ui/Form.h"
#include "ui/ListBox.h"

namespace setup {

enum FolderInclusionHelpTopic : int {
    htCurrentFullPathPrimary = 40010,
    htCurrentFullPathSecondary = 40015,
    htFirstLevelFoldersPrimary = 40020,
    htFirstLevelFoldersSecondary = 40025,
    htSelectAll = 40030,
    htDeselectAll = 40040,
    htAllNonCommon = 40050,
    htAllCommon = 40055,
    htReminder = 40060,
    htNo = 40070,
    htExclude = 40080,
    htInclude = 40085,
};

class frmFolderIncludeExclude : public ui::Form {
public:
    frmFolderIncludeExclude();

    ui::ControlArray<ui::Label> lblCurrentFullPath;
    ui::ControlArray<ui::Label> lblFirstLevelFolders;
    ui::ControlArray<ui::ListBox> lstFirstLevelFolders;   // sorted, a click toggles an item
    ui::CommandButton* cmdSelectAll = nullptr;
    ui::CommandButton* cmdAllCommon = nullptr;
    ui::CommandButton* cmdInclude = nullptr;
    ui::CommandButton* cmdDeselectAll = nullptr;
    ui::CommandButton* cmdAllNonCommon = nullptr;
    ui::CommandButton* cmdExclude = nullptr;
    ui::CommandButton* cmdReminder = nullptr;
    ui::CommandButton* cmdCancel = nullptr;   // "No"
    ui::FormResizer* freeSizer1 = nullptr;

protected:
    void build() override;

private:
    void Form_Load();
    void Form_QueryUnload(bool& cancel, int unloadMode);
    void loadLive(int i);
    void loadImported(int i);
    void showPath(int i, const QString& path);

    void lstFirstLevelFolders_Click(int i);
    void cmdSelectAll_Click();
    void cmdDeselectAll_Click();
    void selectByCounterpart(bool common, const QString& locationCode);
    void copyResult(bool include);
    void cmdReminder_Click();

    // Whether item k of list i has an equal name in the other list.
    bool hasCounterpart(int i, int k) const;
    void repaintLists();

    // True while Include or Exclude copies its result (it yields): other
    // commands are ignored and the close box is refused meanwhile.
    bool copying_ = false;
};

// The folder inclusion window (created on first use).
frmFolderIncludeExclude& FolderInclusionWindow();

// Runs the folder choice of a comparison (see above); `caller` is the
// window the please-wait notice is centred over. True when the window was
// shown.
bool ChooseFirstLevelFolders(ui::Form& caller);
// The window alone: loaded behind the please-wait notice over `caller`, then
// shown modally. The caller has decided that there are folders to choose.
void ShowFolderInclusionWindow(ui::Form& caller);

} // namespace setup
