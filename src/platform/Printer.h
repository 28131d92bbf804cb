#pragma once
// The printer the print run writes to: one line at a time, page breaks, end
// of document; its device name, orientation and font. The real one lives in
// the Qt backend (ui/qt/QtPrinter); tests install one that records.

#include <QString>
#include <QStringList>

namespace platform {

enum PrinterOrientation : int { orientPortrait = 1, orientLandscape = 2 };

class Printer {
public:
    virtual ~Printer() = default;

    virtual QString deviceName() const = 0;
    virtual int orientation() const = 0;
    virtual void setOrientation(int orientation) = 0;
    virtual QString fontName() const = 0;
    virtual void setFontName(const QString& name) = 0;
    virtual double fontSize() const = 0;
    virtual void setFontSize(double points) = 0;

    // Each returns 0 or an error number (482 when the printer fails).
    virtual int printLine(const QString& line) = 0;
    virtual int newPage() = 0;
    virtual int endDoc() = 0;

    // Lines of the font `fontName` at `points` that one landscape sheet of
    // this printer holds, one under the other as printLine sets them; 0 when
    // the printer cannot tell.
    virtual int linesPerSheet(const QString& fontName, double points) const
    {
        (void)fontName, (void)points;
        return 0;
    }
    // Characters of the fixed-pitch font `fontName` at `points` that one line
    // across a landscape sheet of this printer holds, from where printLine
    // starts it; 0 when the printer cannot tell.
    virtual int charactersPerLine(const QString& fontName, double points) const
    {
        (void)fontName, (void)points;
        return 0;
    }

    // How wide `line` is as printLine sets it in the fixed-pitch font
    // `fontName` at `points`, counted in the characters of charactersPerLine
    // and rounded up: a character the font sets wider or narrower than its
    // others (an ideograph, a full-width letter, a combining mark) counts
    // for what it takes. Without a better answer: its characters.
    virtual int lineWidth(const QString& fontName, double points, const QString& line) const
    {
        (void)fontName, (void)points;
        return int(line.size());
    }

    // The system's printers by name.
    virtual QStringList printers() const = 0;
    // The modal set-up dialog; true when the user accepted a choice.
    virtual bool setupDialog() = 0;
};

// The family that stands in for a font name on this system: the fixed-pitch
// "Courier New" family (and its Greek twin) maps to a metric-compatible
// monospace font, so columns of the 151-column layout stay aligned.
QString printerFontFamily(const QString& requested, const QStringList& installedFamilies);

Printer& printer();
void setPrinter(Printer* p);   // installed by the Qt backend or a test

} // namespace platform
