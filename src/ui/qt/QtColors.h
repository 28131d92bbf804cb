#pragma once
// The program's colour longs on a Qt palette: &HBBGGRR is a plain colour,
// &H800000nn is system colour nn, taken from the application's palette so
// that a dark or high-contrast theme is honoured as the original honoured
// the Windows scheme.

#include "ui/Types.h"

#include <QColor>
#include <QPalette>

namespace ui::qt {

// The colour a long stands for; an invalid QColor for kColorUnset.
QColor toQColor(Color c, const QPalette& palette);
// The palette role a system colour maps to (the nearest one Qt has).
QPalette::ColorRole systemColorRole(int index);
// Sets a control's fore colour on `role` for the active and inactive
// windows only: a disabled control keeps the theme's greyed text (`app`'s
// Disabled group), as Windows greys the text of a disabled control whatever
// its ForeColor.
void setForeColor(QPalette& palette, QPalette::ColorRole role, const QColor& fore, const QPalette& app);

} // namespace ui::qt
