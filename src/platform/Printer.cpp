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

namespace {
Printer* s_printer = nullptr;

// Until a backend installs a real printer, every print call fails with
// "Printer error" rather than vanishing.
class NoPrinter : public Printer {
public:
    QString deviceName() const override { return {}; }
    int orientation() const override { return m_orientation; }
    void setOrientation(int o) override { m_orientation = o; }
    QString fontName() const override { return m_fontName; }
    void setFontName(const QString& n) override { m_fontName = n; }
    double fontSize() const override { return m_fontSize; }
    void setFontSize(double p) override { m_fontSize = p; }
    int printLine(const QString&) override { return errPrinter; }
    int newPage() override { return errPrinter; }
    int endDoc() override { return errPrinter; }
    QStringList printers() const override { return {}; }
    bool setupDialog() override { return false; }

private:
    int m_orientation = orientPortrait;
    QString m_fontName = QStringLiteral("Courier New");
    double m_fontSize = 10;
};
} // namespace

Printer& printer()
{
    static NoPrinter none;
    return s_printer ? *s_printer : none;
}

void setPrinter(Printer* p) { s_printer = p; }

} // namespace platform
