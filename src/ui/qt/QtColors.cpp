#include "ui/qt/QtColors.h"

namespace ui::qt {

QPalette::ColorRole systemColorRole(int index)
{
    switch (index) {
    case 0x00: return QPalette::Base;            // scroll bars
    case 0x01: return QPalette::Window;          // desktop
    case 0x02: return QPalette::Highlight;       // active title bar
    case 0x03: return QPalette::Mid;             // inactive title bar: the recall lists' "empty" grey
    case 0x04: return QPalette::Window;          // menu bar
    case 0x05: return QPalette::Base;            // window background
    case 0x06: return QPalette::Shadow;          // window frame
    case 0x07: return QPalette::WindowText;      // menu text
    case 0x08: return QPalette::Text;            // window text
    case 0x09: return QPalette::HighlightedText; // active title-bar text
    case 0x0A: return QPalette::Midlight;        // active border
    case 0x0B: return QPalette::Midlight;        // inactive border
    case 0x0C: return QPalette::Dark;            // application workspace
    case 0x0D: return QPalette::Highlight;
    case 0x0E: return QPalette::HighlightedText;
    case 0x0F: return QPalette::Button;          // button face
    case 0x10: return QPalette::Dark;            // button shadow
    case 0x11: return QPalette::PlaceholderText; // grey text
    case 0x12: return QPalette::ButtonText;
    case 0x13: return QPalette::Text;            // inactive title-bar text
    case 0x14: return QPalette::Light;           // button highlight
    case 0x15: return QPalette::Shadow;          // 3-D dark shadow
    case 0x16: return QPalette::Midlight;        // 3-D light
    case 0x17: return QPalette::ToolTipText;
    case 0x18: return QPalette::ToolTipBase;
    default: return QPalette::Window;
    }
}

QColor toQColor(Color c, const QPalette& palette)
{
    if (c == kColorUnset) return {};
    if (isSystemColor(c)) return palette.color(QPalette::Active, systemColorRole(systemColorIndex(c)));
    return QColor(colorRed(c), colorGreen(c), colorBlue(c));
}

void setForeColor(QPalette& palette, QPalette::ColorRole role, const QColor& fore, const QPalette& app)
{
    palette.setColor(QPalette::Active, role, fore);
    palette.setColor(QPalette::Inactive, role, fore);
    palette.setColor(QPalette::Disabled, role, app.color(QPalette::Disabled, role));
}

} // namespace ui::qt
