#pragma once
// The small path and text routines every window uses: splitting and joining
// at the separator, the case rule, file-name patterns, path compaction,
// date and time text and the validators of exported-structure fields, drive
// type names, tidying repeated characters and the levels test.
//
// Paths are the program's logical paths ("D:\A\B"). A one-character text
// parameter uses its first character; an empty one means the default.
// Routines that need a control's width or font take them as plain
// arguments: the width in pixels and a function that measures a text as
// drawn with the label's own font.

#include "platform/PathCompact.h"
#include "shared/basGlobal.h"

#include <QString>

#include <functional>

namespace ui {
class Control;
}

namespace basGlobal {

QString AddTrailingSeparator(const QString& path, const QString& separator = QStringLiteral("\\"));
QString RemoveTrailingSeparator(const QString& path, const QString& separator = QStringLiteral("\\"));
// The text after / before the last (fromEnd) or first separator; "" when
// there is none.
QString GetTextAfterSeparator(const QString& text, const QString& separator = QStringLiteral("\\"),
                              bool fromEnd = true);
QString GetTextBeforeSeparator(const QString& text, const QString& separator = QStringLiteral("\\"),
                               bool fromEnd = true);

// The text unchanged when case sensitive, else upper-cased one character
// for one character (lengths never change).
QString ApplyCaseSensitivity(const QString& text, bool caseSensitive);

// True when `name` (a name or a relative path) matches one of the
// ";"-separated patterns. Pieces shorter than two characters without their
// blanks are skipped, so "*" alone matches nothing; a piece's trailing
// blanks count, its leading blanks do not.
bool FileNameMatchesPatterns(const QString& name, const QString& patternList);

// Fields of an exported-structure file.
bool StringIsValidBoolean(const QString& text); // "True"/"False", any case, blanks around
bool StringIsValidDate(const QString& text);    // YYYYMMDD; a day past its month's end carries
bool StringIsValidTime(const QString& text);    // HHMMSS, 24-hour

// Date and time as display text in the user's regional formats. The format
// name is "long" or "short" in any case; any other name gives "" with error
// 0. A month or day (hour, minute, second) past its end carries; years 0 to
// 99 mean 2000-2029 and 1930-1999. A date outside the years 100 to 9999
// gives "" and error 5.
QString FormatDateText(const QString& formatName, bool useToday, Integer year, Integer month,
                       Integer day, Long& outError);
QString FormatTimeText(const QString& formatName, bool useNow, Integer hour, Integer minute,
                       Integer second, Long& outError);

// The path fitted into a label `widthPx` pixels wide, measured with the
// label's own font; "" on failure (no measure function).
QString CompactPathToWidth(const QString& path, int widthPx, const platform::TextMeasure& measure);
// The same for a path shown in another control: the measuring label's width
// and font decide; the display control takes no part.
QString CompactPathForControl(const QString& path, int measuringLabelWidthPx,
                              const platform::TextMeasure& measureWithLabelFont);
// The same on a label of the window model: its width (twips, to the nearest
// pixel) and its own font, measured by the installed desktop.
QString CompactPathToWidth(const ui::Control& label, const QString& path);
QString CompactPathForControl(const ui::Control& measuringLabel, const QString& path);
// The path shortened with "..." to at most maxChars characters.
QString CompactPathToLength(const QString& path, Long maxChars);

// The system's drive type of a root ("C:\"): 0 unknown, 1 no root folder,
// 2 removable, 3 fixed, 4 remote, 5 CD-ROM, 6 RAM disk.
using DriveTypeQuery = std::function<int(const QString& root)>;

// The program's drive type code (0 none or unknown, 1 floppy (removable A:
// or B:), 2 removable, 3 local hard drive, 4 network, 5 CD-ROM, 6 RAM disk)
// and its name in the current language.
Integer GetDriveTypeName(const QString& drive, QString& outName, const DriveTypeQuery& systemDriveType);

// No two `character`s side by side; optionally one taken off each end.
QString CollapseRepeatedCharacter(const QString& text, const QString& character = QStringLiteral(" "),
                                  bool trimStart = true, bool trimEnd = true);

// True when the path lies within `levels` backslashes (levels < 1: all); a
// drive root is never within.
bool PathIsWithinLevels(const QString& path, Integer levels);

} // namespace basGlobal
