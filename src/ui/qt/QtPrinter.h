#pragma once
// The system printer through QtPrintSupport. When the system has no printer
// at all, a PDF file in the application folder stands in, and the device
// name says so. The PDF is written like every other file of the program: to
// a temporary file renamed over the old one only when it is complete, so a
// full disk keeps the previous PDF whole; wherever its writing fails for
// want of room (a page break, the start, the end), the error is "Disk full".
// The orientation is the one of the printer's page layout, the one Printer
// setup shows and chooses, so what a print run gives back is what the user
// finds there.

#include "platform/AtomicFile.h"
#include "platform/Printer.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>

#include <map>
#include <memory>
#include <vector>

namespace ui::qt {

class QtPrinter : public platform::Printer {
public:
    // `pdfFile`: the native file that stands in when there is no printer;
    // empty means "PRN_Comparison_Results.pdf" in the application folder.
    explicit QtPrinter(const QString& pdfFile = {});
    ~QtPrinter() override;

    QString deviceName() const override;
    int orientation() const override;
    void setOrientation(int orientation) override;
    QString fontName() const override { return m_fontName; }
    void setFontName(const QString& name) override { m_fontName = name; }
    double fontSize() const override { return m_fontSize; }
    void setFontSize(double points) override { m_fontSize = points; }

    int printLine(const QString& line) override;
    int newPage() override;
    int endDoc() override;
    int linesPerSheet(const QString& fontName, double points) const override;
    int charactersPerLine(const QString& fontName, double points) const override;
    int lineWidth(const QString& fontName, double points, const QString& line) const override;
    QStringList printers() const override;
    bool setupDialog() override;

    bool printsToPdf() const { return m_toPdf; }
    QString pdfFile() const { return m_pdfFile; }
    // The family the current font name resolves to.
    QString resolvedFamily() const;

private:
    int begin();
    QFont currentFont() const;
    static QFont fontFor(const QString& fontName, double points);

    // What lineWidth knows of one font at one size on this printer: the
    // width of its ordinary character and, for each character of the basic
    // plane met so far, whether it is that wide.
    struct Widths {
        QFontMetricsF metrics;
        double column;
        std::vector<quint8> kind;   // 0 not yet weighed, 1 one column, 2 any other width
    };
    Widths& widthsFor(const QString& fontName, double points) const;

    int finishPdf(bool painted);
    // The error of a call on the document that failed: "Disk full" when a
    // PDF has no room left, else the printer's failure.
    int documentFailure() const;

    std::unique_ptr<QPrinter> m_printer;
    QPainter m_painter;
    platform::AtomicFile m_pdfOut;   // the document being painted, when to a PDF
    bool m_toPdf = false;
    QString m_pdfFile;
    QString m_fontName = QStringLiteral("Courier New");
    double m_fontSize = 10;
    double m_y = 0;
    mutable std::map<std::pair<QString, double>, std::unique_ptr<Widths>> m_widths;
};

} // namespace ui::qt
