#include "shared/basObsoleteScriptingFileSystemObject.h"

#include "shared/FileFacts.h"
#include "shared/FolderListing.h"
#include "shared/Messages.h"
#include "ui/ListBox.h"
#include "ui/SortOrder.h"

#include "platform/AppError.h"
#include "platform/Drives.h"

#include <algorithm>
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

platform::AppError ListingError(Long number, const QString& folder)
{
    platform::AppError e = platform::makeError(number);
    if (!folder.isEmpty())
        e.description += QStringLiteral(": ") + folder;
    return e;
}

namespace detail {

void setLastListingFailedFolder(const QString& folder)
{
    lastFailedFolder() = folder;
}

namespace {

// The reading itself. Given the native folder it touches no shared state
// (not even the drive table), so worker threads read that way.
int readFolder(const QString& folder, platform::ListWhat what, FolderContents& out,
               const QString* native = nullptr)
{
    out.prefix = FolderListingPrefix(folder);
    out.files.clear();
    out.folders.clear();
    std::vector<platform::DirEntry> entries;
    const int rc = native ? platform::listNativeFolder(*native, what, entries)
                          : platform::listFolder(folder, what, entries);
    if (rc != 0)
        return rc;
    for (platform::DirEntry& e : entries) {
        if (e.facts.isFolder)
            out.folders.push_back(std::move(e));
        else
            out.files.push_back(std::move(e));
    }
    return 0;
}

} // namespace

int readFolderContents(const QString& folder, platform::ListWhat what, FolderContents& out)
{
    const int rc = readFolder(folder, what, out);
    if (rc != 0)
        setLastListingFailedFolder(folder);
    return rc;
}

// --- FolderReader -------------------------------------------------------------------

void sortFiles(FolderContents& contents)
{
    const std::vector<platform::DirEntry>& files = contents.files;
    std::vector<std::uint32_t> order(files.size());
    for (std::size_t k = 0; k < order.size(); ++k)
        order[k] = std::uint32_t(k);
    // Stable, as sorted insertion keeps equal names in the order they came.
    std::stable_sort(order.begin(), order.end(), [&files](std::uint32_t a, std::uint32_t b) {
        return ui::sortsBefore(files[a].name, files[b].name);
    });
    contents.sortedFileIndex = std::move(order);
}

FolderReader::FolderReader(platform::ListWhat what, int workers, bool sortedFiles)
    : m_what(what), m_sortedFiles(sortedFiles)
{
    for (int i = 0; i < workers; ++i)
        m_threads.emplace_back([this] { work(); });
}

FolderReader::~FolderReader()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
        m_pending.clear();
    }
    m_wake.notify_all();
    for (std::thread& t : m_threads)
        t.join();
}

int FolderReader::defaultWorkers()
{
    const unsigned cores = std::thread::hardware_concurrency();
    return cores <= 1 ? 0 : int(std::min(4u, cores - 1));
}

int FolderReader::readInto(const QString& folder, FolderContents& out, const QString* native) const
{
    try {
        const int rc = readFolder(folder, m_what, out, native);
        if (rc == 0 && m_sortedFiles)
            sortFiles(out);
        return rc;
    } catch (const std::bad_alloc&) {
        return platform::errOutOfMemory;
    }
}

void FolderReader::request(const QString& folder)
{
    if (m_threads.empty())
        return;
    // The drive table is read here, on the caller's thread, never by a worker.
    const std::optional<QString> native = platform::toNative(folder);
    if (!native)
        return;   // its failure is met when it is taken
    const QString key = FolderListingPrefix(folder);
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_slots.contains(key))
            return;
        m_slots.insert(key, Slot{});
        m_pending.push_back({folder, *native});
    }
    m_wake.notify_one();
}

void FolderReader::exploreAhead()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_explore = true;
}

void FolderReader::requestAll(const QString& prefix, const std::vector<platform::DirEntry>& subFolders)
{
    if (m_threads.empty() || subFolders.empty())
        return;
    // Reading ahead, a worker has usually asked for these already: only the
    // folders nobody asked for are converted through the drive table, which
    // is read here, on the caller's thread, never by a worker.
    std::vector<QString> missing;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (const platform::DirEntry& sub : subFolders) {
            QString folder = prefix + sub.name;
            if (!m_slots.contains(FolderListingPrefix(folder)))
                missing.push_back(std::move(folder));
        }
    }
    if (missing.empty())
        return;
    std::vector<std::pair<QString, QString>> asked;
    asked.reserve(missing.size());
    for (QString& folder : missing) {
        if (std::optional<QString> native = platform::toNative(folder))
            asked.emplace_back(std::move(folder), std::move(*native));
    }
    std::size_t added = 0;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (auto& [folder, native] : asked) {
            const QString key = FolderListingPrefix(folder);
            if (m_slots.contains(key))
                continue;
            m_slots.insert(key, Slot{});
            m_pending.emplace_back(std::move(folder), std::move(native));
            ++added;
        }
    }
    if (added == 1)
        m_wake.notify_one();
    else if (added > 1)
        m_wake.notify_all();
}

int FolderReader::take(const QString& folder, FolderContents& out)
{
    const QString key = FolderListingPrefix(folder);
    std::unique_lock<std::mutex> lock(m_mutex);
    auto it = m_slots.find(key);
    if (it == m_slots.end() || it->state == State::Pending) {
        // Nobody has started on it: reading it here is quicker than waiting.
        if (it != m_slots.end())
            it->state = State::Reading;
        else
            m_slots.insert(key, Slot{State::Reading, 0, {}});
        lock.unlock();
        const int rc = readInto(folder, out);
        lock.lock();
        m_slots.remove(key);
        return rc;
    }
    // Only the end of this folder's reading wakes this thread.
    m_awaited = key;
    m_done.wait(lock, [&] {
        const auto s = m_slots.constFind(key);
        return s == m_slots.cend() || s->state == State::Done;
    });
    m_awaited = QString();
    it = m_slots.find(key);
    if (it == m_slots.end()) {   // cannot happen: only take() removes a slot
        lock.unlock();
        return readInto(folder, out);
    }
    out = std::move(it->contents);
    const int rc = it->error;
    m_slots.erase(it);
    return rc;
}

void FolderReader::work()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_stopping || !m_pending.empty(); });
        if (m_stopping)
            return;
        const auto [folder, native] = m_pending.front();
        m_pending.pop_front();
        const QString key = FolderListingPrefix(folder);
        auto it = m_slots.find(key);
        if (it == m_slots.end() || it->state != State::Pending)
            continue;   // taken and read in place meanwhile
        it->state = State::Reading;
        const bool explore = m_explore;
        lock.unlock();
        FolderContents contents;
        const int rc = readInto(folder, contents, &native);
        std::vector<std::pair<QString, QString>> below;   // folder, its native path
        if (rc == 0 && explore && !contents.folders.empty()) {
            QString base = native;
            if (!base.endsWith(QLatin1Char('/')))
                base += QLatin1Char('/');
            below.reserve(contents.folders.size());
            for (const platform::DirEntry& sub : contents.folders)
                below.emplace_back(contents.prefix + sub.name, base + platform::nameToNative(sub.name));
        }
        lock.lock();
        std::size_t asked = 0;
        for (auto& [sub, subNative] : below) {
            const QString subKey = FolderListingPrefix(sub);
            if (m_stopping || m_slots.contains(subKey))
                continue;
            m_slots.insert(subKey, Slot{});
            m_pending.emplace_back(std::move(sub), std::move(subNative));
            ++asked;
        }
        // A worker for each new folder, not every worker for every folder
        // (this one goes on to the next itself).
        for (std::size_t k = 1; k < asked && k < m_threads.size(); ++k)
            m_wake.notify_one();
        it = m_slots.find(key);
        if (it != m_slots.end()) {
            it->contents = std::move(contents);
            it->error = rc;
            it->state = State::Done;
        }
        if (key == m_awaited)
            m_done.notify_all();
    }
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
    // A sorted list that starts empty takes the entries already in its order
    // (a stable sort keeps equal names in reading order, as sorted insertion
    // does): each goes to the end without a search, and the facts go into
    // the store in the order the listing will have.
    std::vector<QString> items;
    items.reserve(entries.size());
    for (const platform::DirEntry& e : entries)
        items.push_back(prefix + e.name);
    std::vector<std::size_t> order(entries.size());
    for (std::size_t k = 0; k < order.size(); ++k)
        order[k] = k;
    const bool inOrder = list.sorted() && list.listCount() == 0;
    if (inOrder)
        std::stable_sort(order.begin(), order.end(),
                         [&items](std::size_t a, std::size_t b) { return ui::sortsBefore(items[a], items[b]); });
    for (const std::size_t k : order) {
        DoEventsNow();
        if (cancellable == Cancellable::Yes && g.CancelRequested) {
            list.clear();
            cancelled = true;
            return 0;
        }
        if (inOrder)
            list.addItem(items[k], list.listCount());
        else
            list.addItem(items[k]);
        if (store)
            store->put(items[k], entries[k].facts);
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
