#pragma once
// Names as the user reads them. A name holding a character Windows forbids
// in names (: ? * | \ " < >, and the control characters) keeps it inside
// the program as the private-use character U+F000 + code; whatever shows a
// name shows the real character again.
#include <QString>

namespace ui {

QString displayText(const QString& text);

} // namespace ui
