#include "shared/basObsoleteCompleteStructureScanner.h"

#include "shared/FileFacts.h"
#include "shared/FolderListing.h"
#include "shared/Messages.h"
#include "ui/ListBox.h"
#include "ui/SortOrder.h"

#include "platform/AppError.h"

#include <algorithm>
#include <deque>
#include <limits>
#include <thread>
#include <vector>

namespace basGlobal {

namespace {

// A folder the scan found: its path as the listing spells it (no trailing
// "\"), and, for a collection, its files as read.
struct FoundFolder {
    QString path;
    detail::FolderContents contents;
};

// The reader of a collection: all of every folder, each one's files sorted.
std::unique_ptr<detail::FolderReader> collectionReader()
{
    return std::make_unique<detail::FolderReader>(platform::ListWhat::All, detail::FolderReader::defaultWorkers(),
                                                  true);
}

// Every folder below `root`, breadth first, then in the one sort order of
// their paths (a stable sort: equal paths keep the order they were found
// in, as insertion into a sorted list keeps it). The root's own contents go
// to `rootContents`. The queue is a deque; each folder costs a constant
// amount of work here, its reading being done ahead by the reader's
// workers. Yields before each sub-folder is queued. False on a cancel or a
// failure (in the outs).
bool scanTree(const QString& root, std::vector<FoundFolder>& found, detail::FolderContents& rootContents,
              bool keepFiles, bool& cancelled, Long& outError, detail::FolderReader& reader)
{
    cancelled = false;
    outError = 0;
    const Globals& g = globals();
    std::deque<std::size_t> queue;   // indexes into `found`
    // Reads one folder; its sub-folders join the queue.
    const auto expand = [&](const QString& folder, detail::FolderContents& contents) -> bool {
        const int rc = reader.take(folder, contents);
        if (rc != 0) {
            detail::setLastListingFailedFolder(folder);
            outError = rc;
            return false;
        }
        if (contents.folders.size() > std::size_t(std::numeric_limits<Long>::max())) {
            outError = platform::errOverflow;
            return false;
        }
        reader.requestAll(contents.prefix, contents.folders);
        for (const platform::DirEntry& sub : contents.folders) {
            DoEventsNow();
            if (g.CancelRequested) {
                cancelled = true;
                return false;
            }
            queue.push_back(found.size());
            found.push_back({contents.prefix + sub.name, {}});
        }
        contents.folders = {};
        if (!keepFiles)
            contents = {};
        return true;
    };
    if (!expand(root, rootContents))
        return false;
    while (!queue.empty()) {
        const std::size_t k = queue.front();
        // `found` grows while the folder is read: work on a copy of the path.
        const QString folder = found[k].path;
        detail::FolderContents contents;
        if (!expand(folder, contents))
            return false;
        found[k].contents = std::move(contents);
        queue.pop_front();
    }
    std::stable_sort(found.begin(), found.end(),
                     [](const FoundFolder& a, const FoundFolder& b) { return ui::sortsBefore(a.path, b.path); });
    return true;
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

// The folder's files, in sort order, onto the end of the result (the first
// `cut` characters of each path left out), their facts into the store in
// the same order.
bool listFiles(const detail::FolderContents& contents, const QString& prefix, ui::ListBox& lstResult,
               FileFactsStore* facts)
{
    const std::size_t n = contents.files.size();
    std::size_t done = 0;
    std::vector<QString> batch;
    const bool sortedResult = lstResult.sorted();
    const auto flush = [&](std::size_t upTo) {
        batch.clear();
        for (std::size_t k = done; k < upTo; ++k) {
            const platform::DirEntry& e = contents.files[contents.sortedFileIndex[k]];
            QString path;
            path.reserve(prefix.size() + e.name.size());
            path.append(prefix).append(e.name);
            if (facts)
                facts->put(path, e.facts);
            if (sortedResult)
                lstResult.addItem(path);
            else
                batch.push_back(std::move(path));
        }
        if (!batch.empty())
            lstResult.appendItems(std::move(batch));
        done = upTo;
    };
    return yieldPerItem(n, flush);
}

// The walk both collections share: the tree scanned (through the prefetch
// when it was made for this root), `scanned(rootContents, found)` once the
// tree is known, then `collectFolder(folder, contents, isRoot)` for the root
// and for every folder in sort order, with a yield and a cancel test before
// each folder but the root. `end(error, cancelled)` records how a
// collection ends early; collectFolder calls it itself. False when it ended.
template <class Scanned, class CollectFolder, class End>
bool walkCollection(const QString& root, StructurePrefetch* prefetch, Scanned scanned, CollectFolder collectFolder, End end)
{
    std::vector<FoundFolder> found;
    detail::FolderContents rootContents;
    {
        std::unique_ptr<detail::FolderReader> reader = prefetch ? prefetch->takeFor(root) : nullptr;
        if (!reader)
            reader = collectionReader();
        bool scanCancelled = false;
        Long scanError = 0;
        if (!scanTree(root, found, rootContents, true, scanCancelled, scanError, *reader)) {
            if (scanError != 0)
                end(scanError, false);
            else
                end(0, true);
            return false;
        }
    }
    scanned(rootContents, found);
    if (!collectFolder(root, rootContents, true))
        return false;
    const Globals& g = globals();
    for (FoundFolder& f : found) {
        DoEventsNow();
        if (g.CancelRequested) {
            end(0, true);
            return false;
        }
        if (!collectFolder(f.path, f.contents, false))
            return false;
        f.path = QString();
    }
    return true;
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
    lstResult.clear();
    lstQueue.clear();
    detail::FolderReader reader(platform::ListWhat::Folders, detail::FolderReader::defaultWorkers(), false);
    std::vector<FoundFolder> found;
    detail::FolderContents rootContents;
    if (!scanTree(root, found, rootContents, false, cancelled, outError, reader))
        return 0;
    std::vector<QString> paths;
    paths.reserve(found.size());
    for (FoundFolder& f : found)
        paths.push_back(std::move(f.path));
    lstResult.appendItems(std::move(paths));
    return lstResult.listCount();
}

Long CollectCompleteStructure(const QString& root, bool countOnly, ui::ListBox& lstFolders, ui::ListBox& lstQueue,
                              ui::ListBox& lstFiles, ui::ListBox& lstResult, bool& cancelled, Long& outError,
                              FileFactsStore* facts, QString* failedFolder, StructurePrefetch* prefetch,
                              qsizetype relativeFrom)
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
        if (facts)
            facts->clear();
        outError = error;
        cancelled = wasCancelled;
        if (failedFolder && error != 0)
            *failedFolder = LastListingFailedFolder();
        return 0;
    };

    const auto scanned = [&](const detail::FolderContents& rootContents, const std::vector<FoundFolder>& found) {
        if (facts)
            facts->setLeftOut(FolderListingPrefix(root).left(relativeFrom));
        if (facts && !countOnly) {
            std::size_t fileCount = rootContents.files.size();
            for (const FoundFolder& f : found)
                fileCount += f.contents.files.size();
            facts->reserve(qsizetype(fileCount));
        }
    };

    qint64 total = 0;
    // Lists one folder's files (or its marker); false when the collection
    // has to end (cancel or failure, already recorded in the outs).
    const auto collectFolder = [&](const QString& folder, detail::FolderContents& contents, bool isRoot) -> bool {
        const qint64 count = qint64(contents.files.size());
        if (contents.sortedFileIndex.size() != contents.files.size())
            detail::sortFiles(contents);
        if (!countOnly) {
            const QString prefix = (contents.prefix.isNull() ? FolderListingPrefix(folder) : contents.prefix).mid(relativeFrom);
            if (!listFiles(contents, prefix, lstResult, facts)) {
                end(0, true);
                return false;
            }
            if (count == 0 && !isRoot) {
                lstResult.addItem(prefix + EmptyFolderMarker);
                total += 1;
            }
        }
        contents = {};
        total += count;
        if (total > std::numeric_limits<Long>::max()) {
            end(platform::errOverflow, false);
            return false;
        }
        return true;
    };

    if (!walkCollection(root, prefetch, scanned, collectFolder, end))
        return 0;
    return Long(total);
}

Long CollectStructureEntries(const QString& root, StructureEntrySink& sink, bool& cancelled, Long& outError,
                             QString* failedFolder, StructurePrefetch* prefetch, qsizetype relativeFrom)
{
    cancelled = false;
    outError = 0;
    if (failedFolder)
        failedFolder->clear();
    sink.clear();

    const auto end = [&](Long error, bool wasCancelled) -> Long {
        sink.clear();
        outError = error;
        cancelled = wasCancelled;
        if (failedFolder && error != 0)
            *failedFolder = LastListingFailedFolder();
        return 0;
    };

    const Globals& g = globals();
    qint64 total = 0;
    // Puts one folder's files (or its marker) into the sink; false when the
    // collection has to end (cancel or failure, already recorded in the outs).
    const auto collectFolder = [&](const QString& folder, detail::FolderContents& contents, bool isRoot) -> bool {
        const qint64 count = qint64(contents.files.size());
        if (contents.sortedFileIndex.size() != contents.files.size())
            detail::sortFiles(contents);
        sink.beginFolder((contents.prefix.isNull() ? FolderListingPrefix(folder) : contents.prefix).mid(relativeFrom));
        // A yield before each file, as the listing of the other collection has.
        for (const std::uint32_t k : contents.sortedFileIndex) {
            if (DoEventsDue())
                DoEventsNow();
            if (g.CancelRequested) {
                end(0, true);
                return false;
            }
            sink.addFile(std::move(contents.files[k]));
        }
        if (count == 0 && !isRoot) {
            sink.addMarker();
            total += 1;
        }
        contents = {};
        total += count;
        if (total > std::numeric_limits<Long>::max()) {
            end(platform::errOverflow, false);
            return false;
        }
        return true;
    };

    const auto scanned = [&](const detail::FolderContents& rootContents, const std::vector<FoundFolder>& found) {
        std::size_t files = rootContents.files.size();
        for (const FoundFolder& f : found)
            files += f.contents.files.size();
        sink.expect(files, found.size());
    };
    if (!walkCollection(root, prefetch, scanned, collectFolder, end))
        return 0;
    return Long(total);
}

} // namespace basGlobal
