#pragma once
// The program's working storage: a window that is never shown and holds the
// working lists of every subsystem, the one common dialog, the internet
// transfer control and the pictures other windows borrow.
//
// Every list is a pair indexed by structure (0 Primary, 1 Secondary) except
// lstTargetURL. The lists are plain data with list-box behaviour and no item
// limit: sorted ones insert each item in the program's one sort order (after
// equal items), unsorted ones keep the order of addition. Enabled carries no
// meaning for the user: the listing routines clear an enabled list and
// append to a disabled one.
//
// The form is created on first use (HiddenForm()) and lives until the main
// window unloads it; the lists keep their contents until their users clear
// or refill them.

#include "ui/Control.h"
#include "ui/Form.h"
#include "ui/ListBox.h"

namespace basGlobal {

class frmHiddenForm : public ui::Form {
public:
    frmHiddenForm();

    // Entries of a structure: full paths (relative ones for a comparison);
    // the seven field lists share its indexes.
    ui::ControlArray<ui::ListBox> lstFinalListBox;
    ui::ControlArray<ui::ListBox> lstHidden;
    ui::ControlArray<ui::ListBox> lstSystem;
    ui::ControlArray<ui::ListBox> lstReadOnly;
    ui::ControlArray<ui::ListBox> lstArchive;
    ui::ControlArray<ui::ListBox> lstSize;
    ui::ControlArray<ui::ListBox> lstDate;
    ui::ControlArray<ui::ListBox> lstTime;
    ui::ControlArray<ui::ListBox> lstExcluded;                 // sorted
    ui::ControlArray<ui::ListBox> lstListBoxAuxiliary;         // sorted: the folder scan's folders
    ui::ControlArray<ui::ListBox> lstListBoxUnsorted;          // the folder scan's queue
    ui::ControlArray<ui::ListBox> lstFileListBoxAuxiliary;     // sorted: one folder's files
    ui::ControlArray<ui::ListBox> lstSortedListBox;            // sorted
    ui::ControlArray<ui::ListBox> lstAlignedFoldersUnsorted;
    ui::ControlArray<ui::ListBox> lstAlignedFoldersSorted;     // sorted, alignment code per item
    ui::ControlArray<ui::ListBox> lstPerLevelFilesSorted;      // sorted, alignment code per item
    ui::ControlArray<ui::ListBox> lstPerLevelFilesAndAttributes;
    ui::ControlArray<ui::ListBox> lstOutput;                   // alignment code per item
    ui::ControlArray<ui::ListBox> lstFoldersToIncludeExclude;  // sorted
    ui::ListBox* lstTargetURL = nullptr;

    ui::CommonDialog* dlgDialog = nullptr;
    ui::InternetTransfer* itcInternet = nullptr;
    ui::Image* imgChecking = nullptr;
    ui::Image* imgNewVersion = nullptr;
    ui::Image* imgNoUpdates = nullptr;
    ui::Image* imgError = nullptr;
    ui::Image* imgPointURL = nullptr;
    ui::ControlArray<ui::Image> imgStructureCursor;

protected:
    void build() override;
};

// The one working-storage window, loaded on first use (also after the main
// window unloaded it) and never shown.
frmHiddenForm& HiddenForm();

} // namespace basGlobal
