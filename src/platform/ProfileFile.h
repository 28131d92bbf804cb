#pragma once
// Our profile (INI) file engine, with the rules the program's settings files
// have always followed on Windows:
//  - "[section]" headers and "key=value" lines; section and key names are
//    compared case-blind; the first matching section and the first matching
//    key in it win; blanks and tabs around names and values are dropped, and
//    one pair of matching outer quotes is taken off a value;
//  - a missing file, section or key gives the caller's default;
//  - a write changes or adds exactly one line and keeps every other line
//    (comments, unknown sections, order) as it was.
// Nothing is cached: every call opens, reads and closes the file, because the
// settings import may replace it while the program runs.
//
// Each line is decoded on its own: UTF-8 where it is valid UTF-8, else
// Windows-1253 (Greek ANSI); a file that starts with a UTF-16 byte-order mark
// is read as UTF-16. Lines end in CR LF, CR or LF. A write changes the bytes
// of one line (or adds lines) and keeps every other byte of the file: a new
// line is UTF-8 (UTF-16 in a UTF-16 file) and ends as the line before it
// does (CR LF in a new file). The new file goes to a temporary file in the
// same folder that is renamed over the old one, so a failed write leaves
// the old file whole.
//
// Only a regular file is opened (a FIFO or device never is: nothing here can
// block), and only one of at most kMaxProfileFileSize bytes: a larger one is
// refused, by readers and writers alike, without being read.
//
// Every path here is a native path of this machine.

#include <QByteArray>
#include <QString>

namespace platform {

inline constexpr qint64 kMaxProfileFileSize = 4 * 1024 * 1024;

// The value of `key` in `section`, or `defaultValue` when the file, the
// section or the key is missing. `capacity` is the caller's buffer size in
// characters: the result holds at most capacity - 1 of them (a longer value
// is cut). `error` (optional) receives 0, or the error number when the file
// exists but cannot be read (the default is returned then): 75 for a folder,
// FIFO, device or a file over the size bound.
QString getProfileString(const QString& nativeFile, const QString& section, const QString& key,
                         const QString& defaultValue, int capacity, int* error = nullptr);

// Sets `key` in `section` to `value`, creating the file, the section or the
// key as needed. Returns 0 or an error number: 5 for a name or value that
// cannot be stored on one line (CR, LF, NUL; "=" or a leading "[" or ";" in a
// key; "]" in a section name; an empty name), 70, 75, 76 or 61 when the file
// cannot be written. On failure the file is unchanged.
int writeProfileString(const QString& nativeFile, const QString& section, const QString& key,
                       const QString& value);

// Whether a settings file can be used, asked once before the program reads
// it: what stops reading it, or writing it, and the error number of that.
struct ProfileFileStatus {
    enum Problem {
        Fine,          // readable (or not there yet) and writable
        NotAFile,      // a folder, FIFO, socket or device
        TooLarge,      // over kMaxProfileFileSize
        CannotRead,    // the file may not be read
        CannotWrite,   // readable, but the file or its folder may not be written
    };
    Problem problem = Fine;
    int error = 0;
    int systemError = 0;   // the errno behind `error`, when a system call said it
};
ProfileFileStatus checkProfileFile(const QString& nativeFile);

// Reads a whole file that is a regular file of at most maxBytes bytes,
// without ever blocking on the open. 0, -1 when there is no such file, or an
// error number (75 for anything but a regular file and for a larger file).
int readRegularFile(const QString& nativeFile, qint64 maxBytes, QByteArray& out);

} // namespace platform
