#pragma once
// The one reading of a folder behind the listing routines and the structure
// scan: a folder is read once (names and every fact) and its files and
// sub-folders are then added to list boxes from memory.

#include "platform/FileSystem.h"
#include "shared/basGlobal.h"
#include "shared/basObsoleteScriptingFileSystemObject.h"

#include <QString>

#include <vector>

namespace ui {
class ListBox;
}

namespace basGlobal {

class FileFactsStore;

namespace detail {

struct FolderContents {
    QString prefix;                           // the folder's own path with one "\"
    std::vector<platform::DirEntry> files;    // every entry that is not a folder
    std::vector<platform::DirEntry> folders;
};

// Reads the folder; `what` says which of the two vectors to fill (All: both).
// An error number; on failure the failing folder is remembered for
// LastListingFailedFolder().
int readFolderContents(const QString& folder, platform::ListWhat what, FolderContents& out);

// Steps of a listing over contents already read: the enabled list cleared,
// then per entry a yield, the cancel test and the item added (its facts put
// into `store` when one is given). `readError` non-zero is the listing's
// failure. Returns the count as ListFolderFiles does.
Long listEntries(const QString& prefix, const std::vector<platform::DirEntry>& entries, int readError,
                 ui::ListBox& list, bool& cancelled, Long& outError, Cancellable cancellable,
                 FileFactsStore* store = nullptr);

} // namespace detail
} // namespace basGlobal
