#include "platform/Printer.h"

#include "platform/AppError.h"

namespace platform {

QString printerFontFamily(const QString& requested, const QStringList& installedFamilies)
{
    const QString wanted = requested.trimmed();
    const bool courier = wanted.compare(QLatin1String("Courier New"), Qt::CaseInsensitive) == 0
        || wanted.compare(QLatin1String("Courier New Greek"), Qt::CaseInsensitive) == 0;
    if (!courier)
        return wanted;
    for (const char* family : {"Courier New", "Liberation Mono", "Cousine", "DejaVu Sans Mono", "FreeMono"})
        for (const QString& have : installedFamilies)
            if (have.compare(QLatin1String(family), Qt::CaseInsensitive) == 0)
                return have;
    return QStringLiteral("Monospace");
}

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

bool RecordingPrinter::setupDialog()
{
    ++setupCalls;
    return acceptSetup;
}

namespace {
Printer* s_printer = nullptr;
} // namespace

Printer& printer()
{
    // Until a backend installs a real printer, every print call fails with
    // "Printer error" rather than vanishing.
    static RecordingPrinter none = [] {
        RecordingPrinter p;
        p.device.clear();
        p.installed.clear();
        p.failWith = errPrinter;
        return p;
    }();
    return s_printer ? *s_printer : none;
}

void setPrinter(Printer* p) { s_printer = p; }

} // namespace platform
