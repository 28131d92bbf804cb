#pragma once
// File facts and folder listings over logical paths. Every routine answers
// an error number (0 = success, AppError.h) and never opens the files it
// describes: FIFOs, sockets and devices are never touched, so no listing can
// hang on them.

#include <QString>
#include <QtGlobal>

#include <vector>

namespace platform {

// A moment in local time, at the UTC offset in force at that moment.
struct LocalDateTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    bool operator==(const LocalDateTime&) const = default;
};

// Seconds since 1970 (UTC) -> local broken-down time.
LocalDateTime toLocalDateTime(qint64 secondsSinceEpoch);

// Attribute bits as the original run time numbers them.
enum FileAttribute : int {
    attrReadOnly = 1,
    attrHidden = 2,
    attrSystem = 4,
    attrFolder = 16,
    attrArchive = 32,
};

struct FileFacts {
    bool isFolder = false;
    bool hidden = false;
    bool system = false;
    bool readOnly = false;
    bool archive = false;
    bool isLink = false;        // a symbolic link (to a folder: listed as a file with its own facts)
    qint64 size = 0;            // bytes; 0 for folders
    qint64 mtime = 0;           // last write, whole seconds since 1970 UTC
    LocalDateTime modified;     // last write in local time

    int attributes() const;     // FileAttribute bits
};

// Creation, last-write and last-access times, read without opening the file.
struct FileTimes {
    qint64 created = 0, modified = 0, accessed = 0;   // seconds since 1970 UTC
    LocalDateTime createdLocal, modifiedLocal, accessedLocal;
};

// Facts of a file or folder. 53 when it is missing (76 when its folder is),
// 76 for an unknown drive.
int fileFacts(const QString& logicalPath, FileFacts& out);
int fileTimes(const QString& logicalPath, FileTimes& out);

// True for an existing file (not a folder); a link to a folder counts as a
// file, as listings show it.
bool fileExists(const QString& logicalPath);
bool folderExists(const QString& logicalPath);

// Size of a file, or the total of every file below a folder (links to
// folders are not followed).
int fileOrFolderSize(const QString& logicalPath, qint64& size);

enum class ListWhat { Files, Folders, All };

struct DirEntry {
    QString name;        // logical (private-use mapped)
    FileFacts facts;
};

// The entries of a folder, in the order the file system gives them, without
// "." and "..". 76 for a missing folder or unknown drive, 70 for one that
// cannot be read; on error `out` is left empty.
int listFolder(const QString& logicalFolder, ListWhat what, std::vector<DirEntry>& out);
int countEntries(const QString& logicalFolder, ListWhat what, qint64& count);

// The same over a native folder path (the scanners' fast road).
int listNativeFolder(const QString& nativeFolder, ListWhat what, std::vector<DirEntry>& out);

} // namespace platform
