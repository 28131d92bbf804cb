#include "platform/RecordingPrinter.h"

#include "platform/AppError.h"

namespace platform {

void RecordingPrinter::begin()
{
    if (open)
        return;
    open = true;
    current = {};
    current.pages.emplace_back();
    current.orientation = m_orientation;
    current.fontName = m_fontName;
    current.fontSize = m_fontSize;
}

int RecordingPrinter::lineWidth(const QString&, double, const QString& line) const
{
    int width = 0;
    for (const QChar c : line) {
        const char16_t u = c.unicode();
        const bool wide = (u >= 0x1100 && u <= 0x115F) || (u >= 0x2E80 && u <= 0xA4CF) || (u >= 0xAC00 && u <= 0xD7A3)
            || (u >= 0xF900 && u <= 0xFAFF) || (u >= 0xFE30 && u <= 0xFE4F) || (u >= 0xFF00 && u <= 0xFF60)
            || (u >= 0xFFE0 && u <= 0xFFE6);
        width += wide ? 2 : 1;
    }
    return width;
}

int RecordingPrinter::printLine(const QString& line)
{
    if (failWith)
        return failWith;
    begin();
    current.pages.back().lines.push_back(line);
    return errNone;
}

int RecordingPrinter::newPage()
{
    if (failWith)
        return failWith;
    begin();
    current.pages.emplace_back();
    return errNone;
}

int RecordingPrinter::endDoc()
{
    if (failWith)
        return failWith;
    if (open)
        finished.push_back(current);
    open = false;
    current = {};
    return errNone;
}

} // namespace platform
