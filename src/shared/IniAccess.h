#pragma once
// Typed access to the program's INI file. Every routine takes the file name,
// the section and the key, in that order; none keeps the file open or caches
// anything. Readers never fail loudly: a missing file, section or key, a
// blank value, a value out of range or of the wrong form all give the
// caller's default. Their out error is 0, or the error number when the file
// exists but cannot be read. Writers return 0 or an error number that the
// caller raises again under its own location code.
//
// The file name is the program's logical one ("C:\...\Quillmarsh.ini");
// IniNativePath turns it into the path of this machine at each call.

#include "shared/basGlobal.h"

#include <QString>

#include <functional>

namespace basGlobal {

// The value as text, at most maxLength - 1 characters, NULs removed and
// leading and trailing spaces trimmed; a missing or blank value gives
// `defaultValue` exactly as passed. outLength is the result's length.
QString GetIniString(const QString& file, const QString& section, const QString& key,
                     Integer maxLength, const QString& defaultValue, Integer& outLength,
                     Long& outError);

// The same without a length limit (paths, which may be long).
QString GetIniText(const QString& file, const QString& section, const QString& key, const QString& defaultValue,
                   Long& outError);

// A whole number in [minimum, maximum], else the default.
Long GetIniLong(const QString& file, const QString& section, const QString& key,
                Long defaultValue, Long minimum, Long maximum, Long& outError);
Integer GetIniInteger(const QString& file, const QString& section, const QString& key,
                      Integer defaultValue, Integer minimum, Integer maximum, Long& outError);

// "TRUE" or "FALSE" in any case, with blanks around; anything else is the default.
bool GetIniBoolean(const QString& file, const QString& section, const QString& key,
                   bool defaultValue, Long& outError);

// Writers: "True"/"False", decimal numbers ("-5", no leading blank), text
// unchanged. A value holding CR or LF is refused with error 5; a file that
// cannot be written gives its error number (70, 75, 76, 61, ...), and the
// old file stays as it was.
Long WriteIniBoolean(const QString& file, const QString& section, const QString& key, bool value);
Long WriteIniLong(const QString& file, const QString& section, const QString& key, Long value);
Long WriteIniInteger(const QString& file, const QString& section, const QString& key, Integer value);
Long WriteIniString(const QString& file, const QString& section, const QString& key,
                    const QString& value);

// Looks at the INI before the program uses it. "" when it can be read and
// written (or made); else the one message to show, naming the file and the
// cause in the current language. A file that cannot be read (a folder, FIFO
// or device, one over the size bound, one that may not be read) is then left
// alone for the rest of the run: readers give their defaults without an
// error and writers change nothing. One that can be read but not written
// is read, and writers leave it unchanged. Each call looks again.
QString CheckIniFile(const QString& file);

// The cause that CheckIniFile names when `file` cannot be read as the
// settings file ("it is not a file", ...), in the current language; "" when
// the program could read it. Nothing is remembered.
QString IniUnreadableCause(const QString& file);

// True when `text` is an optional sign followed by decimal digits, with no
// blank anywhere, whose value fits a Long and lies in [minimum, maximum].
bool StringIsValidLongInRange(const QString& text, Long minimum, Long maximum);

// Logical INI name -> native path of this machine; "" when it names nothing
// here. By default the installed drive table maps it (a native absolute path
// passes unchanged); SetIniPathMapper replaces that mapping.
QString IniNativePath(const QString& logicalFile);
using IniPathMapper = std::function<QString(const QString&)>;
void SetIniPathMapper(IniPathMapper mapper); // empty: back to the default
QString DefaultIniPathMapping(const QString& logicalFile);

} // namespace basGlobal
