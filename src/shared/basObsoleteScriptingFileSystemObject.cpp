#include "shared/basObsoleteScriptingFileSystemObject.h"

#include "shared/FileFacts.h"
#include "shared/FolderListing.h"
#include "shared/Messages.h"
#include "ui/ListBox.h"

#include "platform/AppError.h"
#include "platform/Drives.h"

#include <limits>

namespace basGlobal {

namespace {

QString& lastFailedFolder()
{
    static QString folder;
    return folder;
}

Long countOf(std::size_t n, Long& outError)
{
    if (n > std::size_t(std::numeric_limits<Long>::max())) {
        outError = platform::errOverflow;
        return 0;
    }
    return Long(n);
}

Long listFolder(const QString& folder, bool folders, ui::ListBox& list, bool& cancelled, Long& outError,
                Cancellable cancellable)
{
    detail::FolderContents contents;
    const int rc = detail::readFolderContents(folder, folders ? platform::ListWhat::Folders : platform::ListWhat::Files,
                                              contents);
    return detail::listEntries(contents.prefix, folders ? contents.folders : contents.files, rc, list, cancelled,
                               outError, cancellable);
}

Long countFolder(const QString& folder, bool folders, Long& outError)
{
    outError = 0;
    detail::FolderContents contents;
    if (const int rc = detail::readFolderContents(folder, folders ? platform::ListWhat::Folders : platform::ListWhat::Files,
                                                  contents)) {
        outError = rc;
        return 0;
    }
    return countOf(folders ? contents.folders.size() : contents.files.size(), outError);
}

} // namespace

QString FolderListingPrefix(const QString& folder)
{
    QString path = folder;
    while (path.size() > 1 && path.endsWith(QLatin1Char('\\')))
        path.chop(1);
    return path + QLatin1Char('\\');
}

QString LastListingFailedFolder()
{
    return lastFailedFolder();
}

namespace detail {

void setLastListingFailedFolder(const QString& folder)
{
    lastFailedFolder() = folder;
}

int readFolderContents(const QString& folder, platform::ListWhat what, FolderContents& out)
{
    out.prefix = FolderListingPrefix(folder);
    out.files.clear();
    out.folders.clear();
    std::vector<platform::DirEntry> entries;
    const int rc = platform::listFolder(folder, what, entries);
    if (rc != 0) {
        setLastListingFailedFolder(folder);
        return rc;
    }
    for (platform::DirEntry& e : entries) {
        if (e.facts.isFolder)
            out.folders.push_back(std::move(e));
        else
            out.files.push_back(std::move(e));
    }
    return 0;
}

Long listEntries(const QString& prefix, const std::vector<platform::DirEntry>& entries, int readError,
                 ui::ListBox& list, bool& cancelled, Long& outError, Cancellable cancellable,
                 FileFactsStore* store)
{
    outError = 0;
    cancelled = false;
    if (list.enabled())
        list.clear();
    if (readError != 0) {
        list.clear();
        outError = readError;
        return 0;
    }
    Long countError = 0;
    const Long count = countOf(entries.size(), countError);
    if (countError != 0) {
        list.clear();
        outError = countError;
        return 0;
    }
    Globals& g = globals();
    for (const platform::DirEntry& e : entries) {
        DoEventsNow();
        if (cancellable == Cancellable::Yes && g.CancelRequested) {
            list.clear();
            cancelled = true;
            return 0;
        }
        const QString item = prefix + e.name;
        list.addItem(item);
        if (store)
            store->put(item, e.facts);
    }
    return count;
}

} // namespace detail

Long ListFolderFiles(const QString& folder, ui::ListBox& list, bool& cancelled, Long& outError,
                     Cancellable cancellable)
{
    return listFolder(folder, false, list, cancelled, outError, cancellable);
}

Long ListSubFolders(const QString& folder, ui::ListBox& list, bool& cancelled, Long& outError,
                    Cancellable cancellable)
{
    return listFolder(folder, true, list, cancelled, outError, cancellable);
}

Long CountFolderFiles(const QString& folder, Long& outError)
{
    return countFolder(folder, false, outError);
}

Long CountSubFolders(const QString& folder, Long& outError)
{
    return countFolder(folder, true, outError);
}

} // namespace basGlobal
