#pragma once
// Saved paths and initial paths. Each structure keeps the paths the user has
// stored in a text file of its own in the application folder
// (PrimarySavedPaths.txt, SecondarySavedPaths.txt): one path per line, newest
// first, lines ending CR LF. Blank lines are skipped by readers; other lines
// are kept exactly as they are, leading and trailing blanks included. Two
// lines name the same path when they are equal under the case rule, without
// trimming. Each structure's initial path lives in the INI file, [General]
// PrimaryInitialPath and SecondaryInitialPath.
//
// Every routine shows its own messages (owned by the window passed in) and
// hands back an error number (0 = none) for the caller to raise in its trap.
#include "shared/basGlobal.h"
#include "ui/Types.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace ui {
class CheckBox;
class Form;
class ListBox;
} // namespace ui

namespace basGlobal {

// The one rule for reading a saved-path file, whoever reads it: only a
// regular file is opened (a FIFO would block, a device never ends), it may be
// at most kMaxSavedPathsBytes, and every read is checked, so a file is never
// taken for the part of it that was read before a failure. `lines` gets its
// lines split at CR LF, CR or LF, the bytes of each exactly as they stand (a
// leading byte-order mark dropped). Back: 0, an error number (53 for a
// missing file, 76 on a drive that is not there), or one of the two
// refusals below, which are not errors of the run time: the caller tells the
// user what is wrong with the file.
inline constexpr qint64 kMaxSavedPathsBytes = 16 * 1024 * 1024;
inline constexpr Long kSavedPathsTooLarge = -1;
inline constexpr Long kSavedPathsNotAFile = -2;
Long ReadSavedPathsLines(const QString& file, QList<QByteArray>& lines);

// The native file that a write of the saved-path file `native` replaces: a
// file that is a symbolic link stays one, and the file it names gets the paths.
QString SavedPathsWriteTarget(const QString& native);

// Tells the user that the saved-path file `file` is over the bound.
void ShowSavedPathsTooLarge(ui::Form* window, const QString& title, const QString& file);

// Puts `path` at the top of the saved-path file `file` (logical names) after
// asking. False when nothing was added: the path was there already or the
// file is over the size a saved-path file may be (a message tells so), the
// user answered No (aborted), or an error occurred.
// The file is read again once the user has answered, so the paths stored
// meanwhile are kept; it is replaced as a whole, so a failure leaves it as
// it was.
bool StorePath(ui::Form* window, const QString& path, const QString& file, bool& outAlreadySaved,
               bool& outAborted, Long& outError);

// Empties both lists, lays the sorted one over the unsorted one, shows the
// one the check box chooses, and fills both with the file's non-blank lines
// (file order and sorted). True when at least one path was loaded. A file
// over the size a saved-path file may be is named in a message, the lists
// stay empty and no error is handed back.
bool LoadSavedPathsList(const QString& file, ui::ListBox& unsorted, ui::ListBox& sorted, ui::CheckBox& sortCheck,
                        bool& outFileMissing, bool& outIsEmpty, Long& outError,
                        ui::Color filledColour = 0xFFFFC0, ui::Color emptyColour = 0x80000003);

// Asks, then lets the user edit the file and waits until the editor closes.
// False with aborted when the user declined.
bool EditSavedPathsFile(ui::Form* window, const QString& file, bool& outAborted, Long& outError);

// Runs `program` on the file and waits for it, repainting but handling no
// input, then brings `window` back to the front. The text editor ("notepad")
// is the program's own editing window: Linux has no standard one, and a
// terminal editor started from a window would wait unseen.
void RunProgramAndWait(ui::Form* window, const QString& program, const QString& file);

// The initial path under `key` of [General], read whole (no length cap), or
// `defaultValue` when missing or blank. The start-up and SetInitialPath read
// it the same way.
QString GetInitialPath(const QString& iniFile, const QString& key, const QString& defaultValue, Long& outError);

// Makes `path` the initial path under `key` after asking. False when it was
// set already (a message tells so), the user answered No (aborted), or an
// error occurred.
bool SetInitialPath(ui::Form* window, const QString& path, const QString& iniFile, bool& outAlreadySet,
                    bool& outAborted, Long& outError, const QString& key);

} // namespace basGlobal
