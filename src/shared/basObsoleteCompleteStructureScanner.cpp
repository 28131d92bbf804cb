#include "shared/basObsoleteCompleteStructureScanner.h"

#include "shared/FileFacts.h"
#include "shared/FolderListing.h"
#include "shared/Messages.h"
#include "ui/ListBox.h"

#include "platform/AppError.h"

#include <QHash>

#include <limits>
#include <thread>
#include <vector>

namespace basGlobal {

namespace {

// The files of every folder the folder scan has read, by listing prefix. A
// collection reads each folder once: the scan takes its sub-folders and
// keeps its files here for the count and the listing that follow.
using FilesByFolder = QHash<QString, detail::FolderContents>;

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
    if (rc == 0)
        reader.requestAll(contents.prefix, contents.folders);
    queue.setEnabled(false);
    detail::listEntries(contents.prefix, contents.folders, rc, queue, cancelled, outError, Cancellable::Yes);
    queue.setEnabled(true);
    if (files && outError == 0 && !cancelled) {
        contents.folders.clear();
        const QString key = contents.prefix;
        files->emplace(key, std::move(contents));
    }
}

// The reader of a collection: all of every folder, each one's files sorted.
std::unique_ptr<detail::FolderReader> collectionReader()
{
    return std::make_unique<detail::FolderReader>(platform::ListWhat::All, detail::FolderReader::defaultWorkers(),
                                                  true);
}

Long scanTree(const QString& root, ui::ListBox& queue, ui::ListBox& result, bool& cancelled, Long& outError,
              FilesByFolder* files, std::unique_ptr<detail::FolderReader> ahead = nullptr)
{
    cancelled = false;
    outError = 0;
    result.clear();
    queue.clear();
    std::unique_ptr<detail::FolderReader> owned =
        ahead ? std::move(ahead)
        : files ? collectionReader()
                : std::make_unique<detail::FolderReader>(platform::ListWhat::Folders,
                                                         detail::FolderReader::defaultWorkers(), false);
    detail::FolderReader& reader = *owned;
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

// Yields before each of `n` items and tests for a cancel after each yield,
// as the listing routines do; `flush(k)` brings the lists up to item k
// (items before k done) just before a hand-over and once at the end, so
// every hand-over sees what an item-by-item loop would show. False on a
// cancel (the lists are then left as they stand).
template <class Flush>
bool yieldPerItem(std::size_t n, Flush flush)
{
    const Globals& g = globals();
    for (std::size_t k = 0; k < n; ++k) {
        if (DoEventsDue()) {
            flush(k);
            DoEventsNow();
        }
        if (g.CancelRequested)
            return false;
    }
    flush(n);
    return true;
}

// The folder's files into the per-folder list, as ListFolderFiles lists
// them (an enabled list is cleared first; a sorted list in sort order), and
// their facts into the store in the list's order.
bool listFiles(const detail::FolderContents& contents, ui::ListBox& lstFiles, FileFactsStore* facts)
{
    if (lstFiles.enabled())
        lstFiles.clear();
    const std::size_t n = contents.files.size();
    const bool inOrder = lstFiles.sorted() && lstFiles.listCount() == 0;
    std::size_t done = 0;
    std::vector<QString> batch;
    const auto flush = [&](std::size_t upTo) {
        batch.clear();
        for (std::size_t k = done; k < upTo; ++k) {
            const platform::DirEntry& e = contents.files[inOrder ? contents.sortedFileIndex[k] : k];
            QString path = contents.prefix + e.name;
            if (facts)
                facts->put(path, e.facts);
            if (inOrder)
                batch.push_back(std::move(path));
            else   // onto items already there, or unsorted: one by one in reading order
                lstFiles.addItem(path);
        }
        lstFiles.appendItems(std::move(batch));
        done = upTo;
    };
    if (!yieldPerItem(n, flush)) {
        lstFiles.clear();
        return false;
    }
    return true;
}

// Copies the per-folder list to the end of the result, item by item as far
// as a hand-over can tell.
bool copyFiles(const ui::ListBox& lstFiles, ui::ListBox& lstResult)
{
    const int n = lstFiles.listCount();
    std::vector<QString> batch;
    int done = 0;
    const auto flush = [&](std::size_t upTo) {
        if (lstResult.sorted()) {
            for (; done < int(upTo); ++done)
                lstResult.addItem(lstFiles.list(done));
            return;
        }
        batch.clear();
        for (; done < int(upTo); ++done)
            batch.push_back(lstFiles.list(done));
        lstResult.appendItems(std::move(batch));
    };
    return yieldPerItem(std::size_t(n), flush);
}

} // namespace

StructurePrefetch::StructurePrefetch(const QString& root)
    : m_prefix(FolderListingPrefix(root)), m_reader(collectionReader())
{
    m_reader->exploreAhead();
    m_reader->request(root);
}

StructurePrefetch::~StructurePrefetch()
{
    if (!m_reader)
        return;
    // The reader's end waits for the folders being read; that wait is not
    // this thread's to make.
    std::thread([reader = std::move(m_reader)]() mutable { reader.reset(); }).detach();
}

std::unique_ptr<detail::FolderReader> StructurePrefetch::takeFor(const QString& root)
{
    if (!m_reader || FolderListingPrefix(root) != m_prefix)
        return nullptr;
    return std::move(m_reader);
}

Long ScanFolderTreeBreadthFirst(const QString& root, ui::ListBox& lstQueue, ui::ListBox& lstResult,
                                bool& cancelled, Long& outError)
{
    return scanTree(root, lstQueue, lstResult, cancelled, outError, nullptr);
}

Long CollectCompleteStructure(const QString& root, bool countOnly, ui::ListBox& lstFolders, ui::ListBox& lstQueue,
                              ui::ListBox& lstFiles, ui::ListBox& lstResult, bool& cancelled, Long& outError,
                              FileFactsStore* facts, QString* failedFolder, StructurePrefetch* prefetch)
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
    scanTree(root, lstQueue, lstFolders, scanCancelled, scanError, &files,
             prefetch ? prefetch->takeFor(root) : nullptr);
    if (scanError != 0)
        return end(scanError, false);
    if (scanCancelled)
        return end(0, true);

    if (facts && !countOnly) {
        std::size_t fileCount = 0;
        for (const detail::FolderContents& c : std::as_const(files))
            fileCount += c.files.size();
        facts->reserve(qsizetype(fileCount));
    }

    Globals& g = globals();
    qint64 total = 0;
    // Counts, lists and copies one folder's files; false when the collection
    // has to end (cancel or failure, already recorded in the outs).
    const auto collectFolder = [&](const QString& folder, bool isRoot) -> bool {
        const QString prefix = FolderListingPrefix(folder);
        detail::FolderContents contents;
        if (auto it = files.find(prefix); it != files.end()) {
            contents = std::move(*it);
            files.erase(it);
        } else {   // not read by the scan (it cannot happen, but never skip a folder)
            if (const int rc = detail::readFolderContents(folder, platform::ListWhat::Files, contents)) {
                end(rc, false);
                return false;
            }
            detail::sortFiles(contents);
        }
        const qint64 count = qint64(contents.files.size());
        if (!countOnly) {
            if (!listFiles(contents, lstFiles, facts) || !copyFiles(lstFiles, lstResult)) {
                end(0, true);
                return false;
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
