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

} // namespace ui::qt
