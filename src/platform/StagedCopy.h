#pragma once
// Copying a set of files into one folder as a whole: either every file
// arrives or none of the targets changes. Each file is first copied to a
// temporary file beside its target; only when all of them are complete are
// they renamed over the targets, and a rename that fails puts the targets
// already replaced back as they were. The set is entered in the write
// journal (WriteJournal.h) before the first rename, so a run killed half-way
// is finished at the next start: the targets are all old or all new.
// A target that is a symbolic link is written through, as the INI writer
// does (writeThroughLink).
//
// A copy onto its own source is refused before anything is written: the
// source and target folders are compared by their real (canonical) paths,
// and each target that is the source file under another name (a hard or
// symbolic link) is refused as well.

#include <QByteArray>
#include <QStringList>

namespace platform {

// Copies the logical files `sources` into the logical folder `destination`
// (made with its parents when missing), each under its own name, replacing
// files of the same names. Returns a ShellResult (0 done; shellSameFile when
// a copy would land on its source). `systemError` (optional) receives the
// errno of the system call that failed, 0 when none did: ENOTDIR when a file
// stands in the destination's path, EISDIR when a folder has a target's
// name, EROFS, ENOSPC, EACCES, ...
int copyFilesStaged(const QStringList& sources, const QString& destination, int* systemError = nullptr);

// True when two logical folders are one folder of this machine (the same
// real path once links are followed), also when their texts differ.
bool sameFolder(const QString& logicalA, const QString& logicalB);

// Makes the native folder `folder` (a byte path, any name the file system
// takes) with its missing parents. 0, or the errno of the failure (ENOTDIR
// when something other than a folder is in the way).
int makeNativeFolders(const QByteArray& folder);

} // namespace platform
