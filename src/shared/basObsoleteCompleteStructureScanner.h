#pragma once
// Folder scanning: every folder below a root, and the flat list of entries
// that the comparison and the structure export work on.
//
// The entries of a structure come in this order: the root's own files in
// sort order; then every folder below the root in the sort order of full
// paths (all depths mixed), each with its files in sort order, or, when it
// holds no file, one marker entry: the folder, "\" and EmptyFolderMarker.
// The root never gets a marker.
//
// Both routines keep their working data in the list boxes the caller passes
// (normally the structure's lists of frmHiddenForm), yield once per item
// (DoEventsNow) and end at the first yield after which CancelRequested is
// true. They never clear CancelRequested. A cancel leaves every list passed
// in empty (cancelled true, error 0); a failure too (cancelled false, the
// error number). A folder that cannot be read ends the whole collection;
// LastListingFailedFolder() (or the failedFolder out-parameter) names it.
//
// Links to folders are not descended into: they are entries like files.

#include "shared/basGlobal.h"

#include "platform/FileSystem.h"

#include <QString>

#include <memory>

namespace ui {
class ListBox;
}

namespace basGlobal {

class FileFactsStore;

namespace detail {
class FolderReader;
}

// The folders of a tree read ahead on worker threads, for a collection of
// that tree that comes later (while another tree is collected, say). It
// only reads folders: the collection that takes it over lists, yields and
// fails exactly as a cold one, naming the first unreadable folder in its
// own order. Dropping it unused stops the reading and returns at once; the
// folders being read at that moment are finished and thrown away off this
// thread.
class StructurePrefetch {
public:
    explicit StructurePrefetch(const QString& root);
    ~StructurePrefetch();
    StructurePrefetch(const StructurePrefetch&) = delete;
    StructurePrefetch& operator=(const StructurePrefetch&) = delete;

    // The reader, for a collection of `root` (compared by listing prefix);
    // null when it was made for another root or is already taken.
    std::unique_ptr<detail::FolderReader> takeFor(const QString& root);

private:
    QString m_prefix;
    std::unique_ptr<detail::FolderReader> m_reader;
};

// The 6-character text "NULL" with its double quotes.
inline const QString EmptyFolderMarker = QStringLiteral("\"NULL\"");

// Every folder below `root` (with or without a trailing "\"), as full paths
// without a trailing "\", into the sorted list lstResult; lstQueue is the
// unsorted working queue and is empty afterwards. Returns the number of
// folders found (the count of lstResult).
Long ScanFolderTreeBreadthFirst(const QString& root, ui::ListBox& lstQueue, ui::ListBox& lstResult,
                                bool& cancelled, Long& outError);

// Collects the entries below `root` into lstResult (appended to when
// lstResult is disabled, else it is cleared first). lstFolders, lstQueue
// and lstFiles, the working lists of earlier versions of the scan, are
// left empty. Returns the number of entries added; with countOnly, nothing
// is added and the result is the number of files below the root. Each
// entry leaves out the first `relativeFrom` characters of its full path
// (the root's length gives paths relative to it).
//
// Yields: before each sub-folder is queued, before each folder's files
// are listed (not the root's) and before each file.
//
// `facts`, when given, is emptied first and then holds the facts of every
// file entry added (see FileFactsStore). `failedFolder`, when given, names
// the folder that could not be read on a failure ("" otherwise).
Long CollectCompleteStructure(const QString& root, bool countOnly, ui::ListBox& lstFolders, ui::ListBox& lstQueue,
                              ui::ListBox& lstFiles, ui::ListBox& lstResult, bool& cancelled, Long& outError,
                              FileFactsStore* facts = nullptr, QString* failedFolder = nullptr,
                              StructurePrefetch* prefetch = nullptr, qsizetype relativeFrom = 0);

// Where CollectStructureEntries puts a structure: a file is its folder and
// its own name, so nothing per file is joined into a path.
class StructureEntrySink {
public:
    virtual ~StructureEntrySink() = default;
    // Forgets everything put (a cancel or a failure leaves nothing).
    virtual void clear() = 0;
    // How many files and folders are coming, once the tree is known.
    virtual void expect(std::size_t files, std::size_t folders) = 0;
    // The files and marker that follow lie in this folder: its path
    // relative to the root with one trailing "\" ("" for the root itself).
    virtual void beginFolder(const QString& relativePrefix) = 0;
    // A file of the folder, in sort order: its name and facts are moved in.
    virtual void addFile(platform::DirEntry&& file) = 0;
    // The folder holds no file: its empty-folder marker.
    virtual void addMarker() = 0;
};

// The same collection as CollectCompleteStructure with facts, into a sink:
// the same entries in the same order (folders relative to the first
// `relativeFrom` characters of their full paths), the same yields, cancel
// and failures. Returns the number of entries put.
Long CollectStructureEntries(const QString& root, StructureEntrySink& sink, bool& cancelled, Long& outError,
                             QString* failedFolder, StructurePrefetch* prefetch, qsizetype relativeFrom);

} // namespace basGlobal
