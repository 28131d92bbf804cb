#pragma once
// One call each for the system's dialogs and shell services: the file and
// folder dialogs, mapping and unmapping a drive letter, opening a document
// or web address with its associated program, copying, moving and deleting
// (to the trash), the network question, and the two list-box helpers.
//
// The file dialogs, the shell operations and opening bring the calling
// window back to the front and repaint it before they return; the two drive
// dialogs do not. Routines with an error out-parameter trap their failures
// and hand the number back (result false or empty).
#include "shared/basGlobal.h"

#include <QString>
#include <vector>

namespace ui {
class Form;
class CommonDialog;
class ListBox;
}

namespace basGlobal {

inline constexpr Long kFolderDialogFlags = 0x280804;
inline constexpr Long kOpenDialogFlags = 0x281804;
inline constexpr Long kSaveDialogFlags = 0x289806;

// The chosen folder with its trailing "\" (a drive root gives "X:\"). The
// desktop's folder chooser is used; the file name and filter callers pass
// are kept on the dialog for its own use. Cancel gives "" and error 0.
QString ShowFolderSelectionDialog(ui::Form* window, ui::CommonDialog& dialog, const QString& initialFolder,
                                  const QString& title, const QString& fileName, const QString& filter,
                                  Long& outError, Long flags = kFolderDialogFlags);
QString ShowOpenFileDialog(ui::Form* window, ui::CommonDialog& dialog, const QString& initialFolder,
                           const QString& title, const QString& fileName, const QString& filter, Long& outError,
                           Long flags = kOpenDialogFlags);
QString ShowSaveFileDialog(ui::Form* window, ui::CommonDialog& dialog, const QString& initialFolder,
                           const QString& title, const QString& fileName, const QString& defaultExtension,
                           const QString& filter, Long& outError, Long flags = kSaveDialogFlags);

// The drive-letter windows (frmMapNetworkDrive, frmDisconnectNetworkDrive).
// True when a letter was given or taken away; Cancel gives false with
// error 0, as does unmapping when no letter is mapped; any other failure
// gives false and the network code (170, 1208, 1222).
bool ShowMapNetworkDriveDialog(ui::Form* window, Long& outError);
bool ShowDisconnectNetworkDriveDialog(ui::Form* window, Long& outError);
// The name of a network code for the map (or unmap) command's location
// code: "WN_FUNCTION_BUSY", "WN_NO_NETWORK", "WN_OUT_OF_MEMORY",
// "WN_EXTENDED_ERROR", or "" for a code without a name.
QString NetworkErrorName(Long code, bool unmap);
bool IsNetworkConnected(Long& outError);

// Opens an existing file, or an http, https or ftp address, with its
// associated program. Anything else is refused (code 2 or 31) without
// reaching the shell.
bool OpenWithAssociatedApplication(ui::Form* window, const QString& file, bool& outNoAssociation, Long& outError,
                                   bool showError = true);
QString GetShellExecuteErrorText(Long code);

// Deletes a file or folder; allowUndo sends it to the trash.
bool DeleteFileOrFolder(ui::Form* window, const QString& path, bool& outAborted, Long& outResult,
                        bool allowUndo = true, bool noConfirmation = true);
// Copies or moves one file or folder. `destination` is a folder (an existing
// one, or a name ending in "\") that receives the item under its own name, or
// the item's full new name. Without noConfirmation an existing target is
// replaced only after the user's Yes; renameOnCollision gives the copy a free
// name ("name (2).ext") instead.
bool CopyOrMoveFile(ui::Form* window, bool copy, const QString& source, const QString& destination,
                    bool& outAborted, Long& outResult, bool noConfirmation = false, bool renameOnCollision = false,
                    bool noConfirmMkDir = true, bool multiDestFiles = false);

// Fills indexes[0..count-1] with the indexes of the selected items (error 9
// when the vector is too short).
void GetListBoxSelectedItems(ui::ListBox& list, Long count, std::vector<Long>& indexes);
// The list's tool tip becomes the (trimmed) item under the mouse, or "" below
// the last item. Only while no button is pressed.
void ShowListBoxItemToolTip(ui::ListBox& list, int button, int shift, float x, float y);
// The same for a list of paths, whose tip stays empty while the user hides
// path tips.
void ShowPathListItemToolTip(ui::ListBox& list, int button, int shift, int x, int y);

} // namespace basGlobal
