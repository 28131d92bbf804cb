#pragma once
// Files are never half-written: every writer of the program (settings, saved
// paths, exported structures, print files, copies) writes a temporary file in
// the target's folder and renames it over the target only when complete. A
// failed or abandoned write removes the temporary file and leaves whatever
// was at the target before untouched.
//
// Temporary files are named ".<target name>.qmtmp-XXXXXX" and entered in the
// write journal (WriteJournal.h), so the ones a killed run leaves behind are
// known as the program's own and removed at the next start. A target
// name too long to take the 14 more bytes within the folder's name limit
// lends only its beginning (cut at a character boundary): any name the file
// system takes can be a target.

#include <QByteArray>
#include <QString>

#include <sys/types.h>

namespace platform {

class AtomicFile {
public:
    AtomicFile() = default;
    ~AtomicFile();   // discards an uncommitted file
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Creates the temporary file beside `nativeTarget`. Error number back
    // (76 when the folder does not exist, 70 when it cannot be written).
    int open(const QString& nativeTarget);
    bool isOpen() const { return fd_ >= 0; }
    // Appends bytes; the first failure sticks and is returned again by commit.
    int write(const QByteArray& bytes);
    int write(const char* data, qsizetype size);
    // The descriptor of the temporary file (for fchmod, futimens).
    int fd() const { return fd_; }
    // Flushes, gives the file `mode` (the target's own mode when it exists,
    // else 0666 less the umask, when mode is -1) and renames it over the
    // target. Error number back; on failure nothing at the target changes.
    int commit(int mode = -1);
    // Removes the temporary file; the target is untouched.
    void discard();

    const QString& target() const { return target_; }
    const QByteArray& temporaryName() const { return temp_; }

private:
    QString target_;
    QByteArray temp_;
    quint64 ticket_ = 0;   // the temporary's entry in the write journal
    int fd_ = -1;
    int error_ = 0;
};

// The tags of the program's own temporary names: a file being written, and
// the second name of an old file while a set of files is replaced.
inline constexpr const char* kTemporaryTag = ".qmtmp-";
inline constexpr const char* kBackupTag = ".qmold-";

// The name of a temporary file beside the native `target` without its six
// random characters: "<folder>/.<target name><tag>", the target's name cut
// so that the whole name, random characters included, fits the folder. The
// folder's limit is taken as at most 255 bytes whatever it reports: FAT
// reports 1,530 (the bytes of 255 characters) yet takes 255 characters.
QByteArray temporaryNamePrefix(const QByteArray& nativeTarget, const char* tag);

// Whether the native absolute `path` is named as the program names its
// temporary files (either tag); nothing else is looked at.
bool isTemporaryName(const QByteArray& path);
// Whether `path` is a name temporaryNamePrefix(target, tag) gives, with its
// six random characters: beside `target`, and made from its name.
bool isTemporaryNameOf(const QByteArray& path, const QByteArray& target, const char* tag);

// Testing: what the folder reports as its name limit (pathconf's
// _PC_NAME_MAX); null: the system is asked.
using NameLimitProbe = long (*)(const char* folder);
void setNameLimitProbe(NameLimitProbe probe);

// The file that a write of `nativePath` replaces: the file a symbolic link
// there names, else the path itself. Every writer of the settings (the INI
// engine and the settings import) follows this one rule, so a linked
// settings file stays linked.
QByteArray writeThroughLink(const QByteArray& nativePath);

// The whole file in one go. Error number back (0 = written).
int writeFileAtomically(const QString& nativeTarget, const QByteArray& bytes, int mode = -1);

} // namespace platform
