#pragma once
// The one reading of a folder behind the listing routines and the structure
// scan: a folder is read once (names and every fact) and its files and
// sub-folders are then added to list boxes from memory.

#include "platform/FileSystem.h"
#include "shared/basGlobal.h"
#include "shared/basObsoleteScriptingFileSystemObject.h"

#include <QHash>
#include <QString>

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <thread>
#include <utility>
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
    // With sortedFiles (see FolderReader): the indexes of `files` in the
    // program's sort order of their paths, equal paths in reading order.
    // (The paths share the prefix, so the names decide.) Only the order is
    // made on a worker: strings it allocated would be freed by this thread
    // later, each free reaching into the worker's heap.
    std::vector<std::uint32_t> sortedFileIndex;
};

// Fills the sorted file order of contents already read.
void sortFiles(FolderContents& contents);

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

// Reads folders ahead on worker threads while the user-interface thread
// works through them: the scan asks for every folder as soon as it knows
// it, and takes each one's contents when its turn comes (reading it itself
// when no worker has started on it yet). Nothing here touches a list, the
// program's state or the window system; the destructor drops what is still
// asked and waits only for the folders being read at that moment.
class FolderReader {
public:
    // With sortedFiles, every folder's contents come with their sorted file
    // order, made on the worker that read them.
    FolderReader(platform::ListWhat what, int workers, bool sortedFiles = false);
    ~FolderReader();
    FolderReader(const FolderReader&) = delete;
    FolderReader& operator=(const FolderReader&) = delete;

    // Asks for the folder (a path the scan lists; its listing prefix is the key).
    void request(const QString& folder);
    // From now on every folder a worker reads has its sub-folders asked for
    // at once, so the whole tree below what is asked is read ahead without
    // anybody taking it yet. A worker makes their native paths from the
    // folder's own (the drive table is never read off the caller's thread).
    void exploreAhead();
    // Asks for every sub-folder `prefix` + name of the entries, in their order.
    void requestAll(const QString& prefix, const std::vector<platform::DirEntry>& subFolders);
    // The contents of the folder and the error of its reading (asking for it
    // first when nobody did).
    int take(const QString& folder, FolderContents& out);

    // Workers for a scan on this machine (0: read everything in place).
    static int defaultWorkers();

private:
    enum class State { Pending, Reading, Done };
    struct Slot {
        State state = State::Pending;
        int error = 0;
        FolderContents contents;
    };
    void work();
    int readInto(const QString& folder, FolderContents& out, const QString* native = nullptr) const;

    platform::ListWhat m_what;
    bool m_sortedFiles = false;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_done;
    std::deque<std::pair<QString, QString>> m_pending;   // folder, its native path
    QHash<QString, Slot> m_slots;   // by listing prefix
    QString m_awaited;              // the folder take() waits for
    bool m_stopping = false;
    bool m_explore = false;
    std::vector<std::thread> m_threads;
};

} // namespace detail
} // namespace basGlobal
