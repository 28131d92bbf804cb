#pragma once
// What the program asks of the file system about one file, folder or drive:
// attribute flags, the three file times in local time, sizes, existence,
// volume facts, drive readiness and details. Every routine traps its own
// failures and hands back an error number (0 = success) as its result or
// through an out-parameter; the caller raises it again in its own trap.
// None of them shows a message, and none opens the file it describes (a FIFO
// or a device node can never make them wait).
//
// The facts store at the end lets a collection hand the facts it already
// read to the structure export, so the export needs no second look at the
// disk for every entry.

#include "platform/FileSystem.h"
#include "shared/basGlobal.h"

#include <QHash>
#include <QString>

#include <utility>
#include <vector>

namespace basGlobal {

// All five flags false first, then each set from the path's attributes. A
// missing path (53, or 76 when its folder is missing too) gives its error
// with every flag false.
Long GetFileAttributeFlags(const QString& path, bool& isFolder, bool& hidden, bool& system, bool& readOnly,
                           bool& archive);

// Creation, last-write and last-access times in local time, each at the UTC
// offset in force at that time (so a file does not move by an hour when
// daylight saving starts or ends). Seconds are truncated. The file is never
// opened; when its facts cannot be read the result is the error and every
// field is 0.
Long GetFileDateTimes(const QString& path, Integer& createdYear, Integer& createdMonth, Integer& createdDay,
                      Integer& createdHour, Integer& createdMinute, Integer& createdSecond,
                      Integer& modifiedYear, Integer& modifiedMonth, Integer& modifiedDay,
                      Integer& modifiedHour, Integer& modifiedMinute, Integer& modifiedSecond,
                      Integer& accessedYear, Integer& accessedMonth, Integer& accessedDay);

// A file's own date field ("yyyymmdd"; the year is every digit before the
// last four, so a file of the year 10000 keeps it) in the named format
// ("long" or "short", any case; another name gives ""). A file's date never
// goes through the two-digit-year window of typed dates: the year 50 stays
// 50. 5 for a field that holds no date.
QString FormatFileDateText(const QString& formatName, QStringView field, Long& outError);

// Which of two date fields (as above) is the later: 1 when `a` is, -1 when
// `b` is, 0 for the same date. The year counts by its value, however many
// digits it has (the year 10000 follows 9999). Should either field hold no
// date, the texts decide.
int CompareFileDateFields(QStringView a, QStringView b);

// Bytes of a file, or of everything below a folder (links to folders are
// not followed). 64-bit; 0 with the error on failure.
qint64 GetFileOrFolderSize(const QString& path, Long& outError);

// The size as the program writes it: at least 10 digits, zero-padded
// ("0000001234"); larger sizes keep every digit. Negative sizes give "".
QString FormatSizeText(qint64 size);

// True only for an existing path that is not a folder; never an error.
bool FileExists(const QString& path);

// Creates the file empty, or cuts an existing file to zero length. 76 when
// its folder is missing, 70 when it may not be written, 75 when the path is
// a folder or something other than a plain file (a FIFO is never opened).
Long CreateEmptyFile(const QString& path);

// Facts of the volume whose letter is the first character of `drive`.
// longNames is true when names may be exactly 255 characters long. 68 for a
// letter without a drive, 71 for a drive that does not answer; then the
// outs are cleared (names empty, flags false, serial 0).
Long GetDriveVolumeInformation(const QString& drive, QString& fileSystemName, QString& volumeName,
                               Long& serialNumber, bool& longNames, bool& casePreserved, bool& caseSensitive,
                               bool& unicodeOnDisk, bool& persistentAcls, bool& fileCompression,
                               bool& volumeCompressed);

// Whether the drive of the first character of `drive` is there and answers.
bool IsDriveReady(const QString& drive);

// Details of the drive of the first character of `drive`. 68 for a letter
// without a drive and 71 for one that does not answer; then the outs keep
// what they held. A volume of total size 0 gives 0 % (not a division by 0).
Long GetDriveDetails(const QString& drive, QString& fileSystemName, QString& volumeName, Long& serialNumber,
                     QString& shareName, qint64& totalSize, qint64& availableSpace, double& availablePercent,
                     qint64& freeSpace, double& freePercent);

// --- Facts kept by a scan ------------------------------------------------------
//
// A collection of a structure (CollectCompleteStructure) fills the store it
// is given with the facts of every file entry it lists, keyed by the entry's
// full path exactly as it appears in the result list. The store is emptied
// when a collection starts, so it never holds facts of an earlier run.
//
// The structure export keeps a store per structure and takes each entry's
// facts, walking its entries in listing order, with
// GetEntryFileFacts(store, root, rel, cursor, facts): one look-up instead of
// GetFileAttributeFlags + GetFileOrFolderSize + GetFileDateTimes. (The
// comparison keeps its facts with its entries, without paths: see
// CollectStructureEntries.)
// `facts.modified` is the last write in local time; size, the four flags and
// isFolder are there too. Entries the store lacks are read from the disk.
class FileFactsStore {
public:
    void clear()
    {
        m_ordered.clear();
        m_index.clear();
        m_indexed = 0;
        m_leftOut.clear();
    }
    // Empties the store and gives its memory back.
    void release()
    {
        std::vector<std::pair<QString, platform::FileFacts>>().swap(m_ordered);
        m_index = QHash<QString, qsizetype>();
        m_indexed = 0;
        m_leftOut = QString();
    }
    // The paths put from now on are full paths without `leftOut` (the
    // root of a collection that lists relative paths); the look-ups still
    // take full paths.
    void setLeftOut(const QString& leftOut) { m_leftOut = leftOut; }
    // Facts go in in listing order, each path once (a scan lists no path
    // twice); should one come again, the look-up by path gives the later.
    void put(const QString& fullPath, const platform::FileFacts& facts) { m_ordered.emplace_back(fullPath, facts); }
    const platform::FileFacts* find(const QString& fullPath) const;
    // The facts of `root` + `rel` without building the path: a reader that
    // walks the entries in listing order (some dropped, none reordered)
    // passes the same cursor each time and finds each entry at or just
    // after it; anything else falls back to the look-up by path.
    const platform::FileFacts* findInOrder(const QString& root, const QString& rel, qsizetype& cursor) const;
    qsizetype size() const;
    void reserve(qsizetype n) { m_ordered.reserve(std::size_t(n)); }

private:
    void ensureIndex() const;
    // Index of the path's latest facts, or -1.
    qsizetype indexOf(const QString& fullPath) const;

    std::vector<std::pair<QString, platform::FileFacts>> m_ordered;
    QString m_leftOut;
    // By path, built on the first look-up that needs it, over the first
    // m_indexed facts (puts after a look-up are added at the next one).
    mutable QHash<QString, qsizetype> m_index;
    mutable qsizetype m_indexed = 0;
};

// The facts of the entry `rel` below `root` (with its trailing separator):
// from the store when it holds them, else read from the disk (errors as
// GetFileAttributeFlags). A reader walking the entries in listing order
// passes the same `cursor` (0 at the start) each time; see
// FileFactsStore::findInOrder.
Long GetEntryFileFacts(const FileFactsStore& store, const QString& root, const QString& rel, qsizetype& cursor,
                       platform::FileFacts& out);

} // namespace basGlobal
