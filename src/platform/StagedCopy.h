#pragma once
// Copying a set of files into one folder as a whole: either every file
// arrives or none of the targets changes. Each file is first copied to a
// temporary file beside its target; only when all of them are complete are
// they renamed over the targets, and a rename that fails puts the targets
// already replaced back as they were. The set is entered in the write
// journal (WriteJournal.h) before the first rename, so a run killed half-way
// is finished at the next start: the targets are all old or all new. The old
// files are kept under second names until the end: hard links, or where the
// file system has none (FAT, exFAT) the old files themselves, renamed.
// A target that is a symbolic link is written through, as the INI writer
// does (writeThroughLink).
//
// A copy onto its own source is refused before anything is written: the
// source and target folders are compared by their real (canonical) paths,
// and each target that is the source file under another name (a hard or
// symbolic link) is refused as well.

#include <QByteArray>
#include <QStringList>

#include <functional>

namespace platform {

// Copies the logical files `sources` into the logical folder `destination`
// (made with its parents when missing), each under its own name, replacing
// files of the same names. Returns a ShellResult (0 done; shellSameFile when
// a copy would land on its source). `systemError` (optional) receives the
// errno of the system call that failed, 0 when none did: ENOTDIR when a file
// stands in the destination's path, ENOLINK when a symbolic link there
// leads to nothing (no folder is made where it points), EISDIR when a
// folder has a target's name, EROFS, ENOSPC, EACCES, ...
//
// `check` (optional) looks at each complete copy (its index in `sources`
// and its native temporary name) before any target is touched: what is
// looked at is what goes in. A copy it refuses ends the whole copy with
// shellCopyRefused, and nothing changes.
//
// A source that is no file (a folder, a FIFO, a socket, a device, also at
// the end of a symbolic link) is never read: the copy ends with
// shellNotAFile, nothing changes, and `notAFile` (optional) receives its
// index in `sources`.
using StagedCheck = std::function<bool(int index, const QByteArray& nativeCopy)>;
inline constexpr int shellCopyRefused = 1223;
inline constexpr int shellNotAFile = 1224;
int copyFilesStaged(const QStringList& sources, const QString& destination, int* systemError = nullptr,
                    const StagedCheck& check = {}, int* notAFile = nullptr);

// Testing: what makes the old target's second name in place of link(2)
// (0, or -1 with errno set); null: link(2).
using LinkCall = int (*)(const char* existing, const char* newName);
void setLinkCall(LinkCall call);

// True when two logical folders are one folder of this machine (the same
// real path once links are followed), also when their texts differ.
bool sameFolder(const QString& logicalA, const QString& logicalB);

// Makes the native folder `folder` (a byte path, any name the file system
// takes) with its missing parents. 0, or the errno of the failure (ENOTDIR
// when something other than a folder is in the way, ENOLINK when a symbolic
// link to nothing is).
int makeNativeFolders(const QByteArray& folder);

} // namespace platform
