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
// Files are read as UTF-8, or as Windows-1253 (Greek ANSI) when they are not
// valid UTF-8, with CR LF, CR or LF line ends; they are written as UTF-8
// without a BOM with CR LF line ends. A write goes to a temporary file in the
// same folder that is renamed over the old file, so a failed write leaves the
// old file whole.
//
// Every path here is a native path of this machine.

#include <QByteArray>
#include <QString>

namespace platform {

// The value of `key` in `section`, or `defaultValue` when the file, the
// section or the key is missing. `capacity` is the caller's buffer size in
// characters: the result holds at most capacity - 1 of them (a longer value
// is cut). `error` (optional) receives 0, or the error number when the file
// exists but cannot be read (the default is returned then).
QString getProfileString(const QString& nativeFile, const QString& section, const QString& key,
                         const QString& defaultValue, int capacity, int* error = nullptr);

// Sets `key` in `section` to `value`, creating the file, the section or the
// key as needed. Returns 0 or an error number: 5 for a name or value that
// cannot be stored on one line (CR, LF, NUL; "=" or a leading "[" or ";" in a
// key; "]" in a section name; an empty name), 70, 75, 76 or 61 when the file
// cannot be written. On failure the file is unchanged.
int writeProfileString(const QString& nativeFile, const QString& section, const QString& key,
                       const QString& value);

// Decodes a text file's bytes: UTF-8 (a leading BOM is dropped) when they are
// valid UTF-8, otherwise Windows-1253.
QString decodeTextBytes(const QByteArray& bytes);

// Splits text into lines at CR LF, lone CR and lone LF. A final line end does
// not start another (empty) line.
QStringList splitTextLines(const QString& text);

} // namespace platform
