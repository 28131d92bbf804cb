#pragma once
// The printing page setup kept in the INI file's "PageSetup" section.

#include "shared/basGlobal.h"

namespace basPageSetup {

inline const QString kFontCourierNew = QStringLiteral("Courier New");
inline const QString kFontCourierNewGreek = QStringLiteral("Courier New Greek");
// The font sizes a page setup may have, in points.
inline constexpr int kSmallestFontSize = 8;
inline constexpr int kLargestFontSize = 12;

// Reads FontName, FontSize, TopMargin, LeftMargin and LinesPerPage from
// globals().IniFileName into the PageSetup variables. Every key ends up with
// a usable value (a key that could not be read gets its default), and the
// error number of the first failed read is returned (0: all read).
basGlobal::Long LoadPageSetup();

// Writes the five keys from the variables; stops at and returns the first
// failed write's error number (0: all written).
basGlobal::Long SavePageSetup();

} // namespace basPageSetup
