#pragma once
// Listing and counting a folder's files and sub-folders into a list box.
//
// Each listed item is the folder's own path with exactly one "\" and the
// item's name ("D:\A" + "\" + "x.txt"; a drive root "D:" gives "D:\x.txt").
// A list that is enabled is cleared first; a disabled one is appended to, so
// a caller disables a list to gather the results of several calls. The
// routines yield (DoEventsNow) once per item and then test CancelRequested;
// a cancel or a failure leaves the list empty, also of what earlier calls
// appended. They never clear CancelRequested.
//
// Files are every entry that is not a folder: plain files, links to files,
// and links to folders (never descended into). FIFOs, sockets and devices
// are not listed.

#include "platform/AppError.h"
#include "shared/basGlobal.h"

#include <QString>

namespace ui {
class ListBox;
}

namespace basGlobal {

class FileFactsStore;

// The folder's path as a listing prefix: its own path with one trailing "\".
QString FolderListingPrefix(const QString& folder);

// Whether a listing honours CancelRequested. A list the user merely looks at
// (the first-level lists) is filled NotCancellable, so that a cancel
// confirmed just as an operation ended cannot leave it empty.
enum class Cancellable { Yes, No };

// Returns the number of files (sub-folders) in the folder, taken before the
// items are added; 0 on cancel (cancelled true, error 0) and on failure
// (error: 76 missing folder or drive, 70 a folder that may not be read).
Long ListFolderFiles(const QString& folder, ui::ListBox& list, bool& cancelled, Long& outError,
                     Cancellable cancellable = Cancellable::Yes);
Long ListSubFolders(const QString& folder, ui::ListBox& list, bool& cancelled, Long& outError,
                    Cancellable cancellable = Cancellable::Yes);

// The number of files (sub-folders) directly in the folder; 0 with the error
// on failure.
Long CountFolderFiles(const QString& folder, Long& outError);
Long CountSubFolders(const QString& folder, Long& outError);

// The folder whose listing or counting failed last (logical path), so that
// a message can name it; "" before any failure. Every failing listing,
// counting or structure scan sets it.
QString LastListingFailedFolder();

// The error to raise for a failed listing or scan, its description naming
// the folder: "Permission denied: C:\Data\locked". Without a folder it is
// the plain error. A caller's trap reports it as it reports any error:
//     if (error) throw ListingError(error, failedFolder);
platform::AppError ListingError(Long number, const QString& folder);

namespace detail {
void setLastListingFailedFolder(const QString& folder);
}

} // namespace basGlobal
