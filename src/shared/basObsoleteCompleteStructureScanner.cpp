#include "shared/basObsoleteCompleteStructureScanner.h"

#include "shared/FileFacts.h"
#include "shared/FolderListing.h"
#include "shared/Messages.h"
#include "ui/ListBox.h"

#include "platform/AppError.h"

#include <QHash>

#include <limits>

namespace basGlobal {

namespace {

// The files of every folder the folder scan has read, by listing prefix. A
// collection reads each folder once: the scan takes its sub-folders and
// keeps its files here for the count and the listing that follow.
using FilesByFolder = QHash<QString, std::vector<platform::DirEntry>>;

// Appends the folder's sub-folders to the queue (disabled for the call, so
// the listing appends rather than clears), after asking the reader for each
// of them so that they are read while this thread works on.
void appendSubFolders(const QString& folder, ui::ListBox& queue, bool& cancelled, Long& outError,
                      detail::FolderReader& reader, FilesByFolder* files)
{
    detail::FolderContents contents;
    const int rc = reader.take(folder, contents);
    if (rc != 0)
        detail::setLastListingFailedFolder(folder);
    for (const platform::DirEntry& sub : contents.folders)
        reader.request(contents.prefix + sub.name);
    queue.setEnabled(false);
    detail::listEntries(contents.prefix, contents.folders, rc, queue, cancelled, outError, Cancellable::Yes);
    queue.setEnabled(true);
    if (files && outError == 0 && !cancelled)
        files->insert(contents.prefix, std::move(contents.files));
}

Long scanTree(const QString& root, ui::ListBox& queue, ui::ListBox& result, bool& cancelled, Long& outError,
              FilesByFolder* files)
{
    cancelled = false;
    outError = 0;
    result.clear();
    queue.clear();
    detail::FolderReader reader(files ? platform::ListWhat::All : platform::ListWhat::Folders,
                                detail::FolderReader::defaultWorkers());
    appendSubFolders(root, queue, cancelled, outError, reader, files);
    while (outError == 0 && !cancelled) {
        if (queue.listCount() == 0) {
            queue.clear();
            return result.listCount();
        }
        const QString front = queue.list(0);
        appendSubFolders(front, queue, cancelled, outError, reader, files);
        if (outError != 0 || cancelled)
            break;
        result.addItem(front);
        queue.removeItem(0);
    }
    result.clear();
    queue.clear();
    return 0;
}

} // namespace

Long ScanFolderTreeBreadthFirst(const QString& root, ui::ListBox& lstQueue, ui::ListBox& lstResult,
                                bool& cancelled, Long& outError)
{
    return scanTree(root, lstQueue, lstResult, cancelled, outError, nullptr);
}

Long CollectCompleteStructure(const QString& root, bool countOnly, ui::ListBox& lstFolders, ui::ListBox& lstQueue,
                              ui::ListBox& lstFiles, ui::ListBox& lstResult, bool& cancelled, Long& outError,
                              FileFactsStore* facts, QString* failedFolder)
{
    cancelled = false;
    outError = 0;
    if (failedFolder)
        failedFolder->clear();
    if (facts)
        facts->clear();
    if (lstResult.enabled())
        lstResult.clear();
    lstFolders.clear();
    lstQueue.clear();
    lstFiles.clear();

    const auto end = [&](Long error, bool wasCancelled) -> Long {
        lstResult.clear();
        lstFolders.clear();
        lstQueue.clear();
        lstFiles.clear();
        if (facts)
            facts->clear();
        outError = error;
        cancelled = wasCancelled;
        if (failedFolder && error != 0)
            *failedFolder = LastListingFailedFolder();
        return 0;
    };

    FilesByFolder files;
    bool scanCancelled = false;
    Long scanError = 0;
    scanTree(root, lstQueue, lstFolders, scanCancelled, scanError, &files);
    if (scanError != 0)
        return end(scanError, false);
    if (scanCancelled)
        return end(0, true);

    Globals& g = globals();
    qint64 total = 0;
    // Counts, lists and copies one folder's files; false when the collection
    // has to end (cancel or failure, already recorded in the outs).
    const auto collectFolder = [&](const QString& folder, bool isRoot) -> bool {
        const QString prefix = FolderListingPrefix(folder);
        std::vector<platform::DirEntry> entries;
        if (files.contains(prefix)) {
            entries = files.take(prefix);
        } else {   // not read by the scan (it cannot happen, but never skip a folder)
            detail::FolderContents contents;
            if (const int rc = detail::readFolderContents(folder, platform::ListWhat::Files, contents)) {
                end(rc, false);
                return false;
            }
            entries = std::move(contents.files);
        }
        const qint64 count = qint64(entries.size());
        if (!countOnly) {
            bool listCancelled = false;
            Long listError = 0;
            detail::listEntries(prefix, entries, 0, lstFiles, listCancelled, listError, Cancellable::Yes, facts);
            if (listError != 0) {
                end(listError, false);
                return false;
            }
            if (listCancelled) {
                end(0, true);
                return false;
            }
            const int n = lstFiles.listCount();
            for (int i = 0; i < n; ++i) {
                DoEventsNow();
                if (g.CancelRequested) {
                    end(0, true);
                    return false;
                }
                lstResult.addItem(lstFiles.list(i));
            }
            if (count == 0 && !isRoot) {
                lstResult.addItem(prefix + EmptyFolderMarker);
                total += 1;
            }
        }
        total += count;
        if (total > std::numeric_limits<Long>::max()) {
            end(platform::errOverflow, false);
            return false;
        }
        return true;
    };

    if (!collectFolder(root, true))
        return 0;
    const int folderCount = lstFolders.listCount();
    for (int i = 0; i < folderCount; ++i) {
        DoEventsNow();
        if (g.CancelRequested)
            return end(0, true);
        if (!collectFolder(lstFolders.list(i), false))
            return 0;
    }
    lstFolders.clear();
    lstQueue.clear();
    return Long(total);
}

} // namespace basGlobal
