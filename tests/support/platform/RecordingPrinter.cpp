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
