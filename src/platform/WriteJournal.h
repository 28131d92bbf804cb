#pragma once
// What a killed run leaves half-done, found and settled at the next start.
//
// A temporary file beside an arbitrary target (an exported structure, a
// print file) cannot be found by looking, so each running copy of the
// program keeps a journal in the application folder: a temporary name is
// entered before the file is made and struck off once the file is renamed
// or removed, and a set of files replaced as a whole (copyFilesStaged)
// enters its files and the state of its commit. Each run has a journal file
// of its own (".qmjournal-XXXXXX"), locked for as long as the run lives and
// removed whenever nothing is in flight; a journal that nobody holds was
// left by a run that ended in the middle of a write. Nothing is entered
// until startWriteJournal names the folder.
//
// A journal that cannot be written never stops a write: the write goes on
// unrecorded, as it would without a journal.

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace platform {

// What the start found in the journals left in the folder: the native names
// under which journals that were not (or not wholly) acted on are kept.
struct JournalReport {
    // Journals naming files this program did not make (or could not have
    // named so): those lines were left alone.
    QStringList foreign;
    // Journals that are not this program's own (see startWriteJournal): not
    // read at all, so nothing is known of what they name.
    QStringList notOwn;
    // Journals larger than any this program writes: not read at all.
    QStringList oversized;
    // Those of the above that could not be set aside and keep their own
    // name, with why: the errno of the rename; EEXIST when every name for
    // setting it aside is taken, EOPNOTSUPP when the file system can neither
    // rename without replacing nor give a file a second name.
    QHash<QString, int> leftInPlace;
};

// A journal over this size was not written by this program.
inline constexpr qint64 kMaxJournalSize = 1024 * 1024;

// Settles what the journals left in the native folder `nativeFolder` list,
// then keeps this run's journal there. Only what this program makes is
// touched: a temporary file of its own naming (AtomicFile.h), and for a set
// of replaced files only such names beside the target they were made for.
// A replaced set whose commit had begun is made all new (all old when that
// cannot be done), one whose commit had not begun stays all old, and every
// temporary file named is removed. Only a journal as this program writes
// them is read: a regular file of the user running it, with no name but
// its own, that no one else may write (anything else, a link included, is
// not the program's own and is set aside unread). A journal that names
// anything else, or is larger than kMaxJournalSize, is set aside too:
// renamed "<name>.ignored", or "<name>.ignored.2", ".3", ... when that is
// taken (nothing is ever replaced), and listed in `report` (optional); one
// that cannot be renamed so keeps its name. Call it once this copy holds
// the instance lock. Returns how many left journals were settled.
int startWriteJournal(const QString& nativeFolder, JournalReport* report = nullptr);
// Keeps no journal from now on (what is in flight is forgotten).
void stopWriteJournal();

namespace journal {

// Enters a temporary file's name (a native byte path) before the file is
// made. The ticket strikes it off again; 0 when no journal is kept.
quint64 enterTemporary(const QByteArray& path);
void strike(quint64 ticket);

// One file of a set replaced as a whole: its complete copy, its target, a
// second name of the old target (empty when there was none) and the copy's
// "device:inode" (a target found to be that file may be removed again).
struct StagedFile {
    QByteArray temp;
    QByteArray target;
    QByteArray backup;
    QByteArray copyId;
};
// Enters the set before its old files get their second names: until the
// commit begins, an interrupted set is put back as it was (an old file moved
// to its second name goes back). Returns the set's ticket (strike it when
// done).
quint64 enterSet(const std::vector<StagedFile>& files);
// The set's commit has begun: from here on an interrupted commit is
// finished, not undone.
void beginCommit(quint64 ticket);
// The commit is being undone (a rename failed).
void beginRollback(quint64 ticket);

// Puts each target of the set back as it was: the second name of the old
// file over it, or, where there was none and the copy has gone in, no file.
void rollBack(const std::vector<StagedFile>& files);

// "device:inode" of a file, for StagedFile::copyId.
QByteArray fileId(int fd);

// Testing: called with the name of each step of a write after which a kill
// leaves something to settle. Empty: nothing is called.
using StepHook = void (*)(const char* step);
void setStepHook(StepHook hook);
void step(const char* name);

} // namespace journal

// A free name beside the native `target`: temporaryNamePrefix(target, tag)
// and six random characters. The name is entered in the journal (ticket)
// before anything of that name is made; `make` makes it (0, or the errno of
// the failure) and is called again with a new name while the name is taken.
// Returns 0 or the errno of the failure (then nothing is left entered).
int makeFreeName(const QByteArray& target, const char* tag, QByteArray& name, quint64& ticket,
                 const std::function<int(const QByteArray&)>& make);

} // namespace platform
