#include "ui/qt/QtPrinter.h"

#include "platform/AppError.h"
#include "platform/Application.h"
#include "platform/Drives.h"
#include "ui/qt/QtDesktop.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPrintDialog>
#include <QPrinterInfo>

#include <cerrno>
#include <cmath>
#include <unistd.h>

namespace ui::qt {

namespace {

// Why the painter's writes to the PDF at `fd` failed, as far as the file can
// tell (the painter keeps the reason to itself): when one more block at its
// end is refused for want of room (a full disk, a quota, a file-size
// limit), the disk is full; anything else is the printer's failure.
int pdfFailure(int fd)
{
    static const char block[4096] = {};
    const off_t end = ::lseek(fd, 0, SEEK_END);
    if (end < 0)
        return platform::errPrinter;
    const ssize_t wrote = ::pwrite(fd, block, sizeof block, end);
    const int err = errno;
    if (wrote > 0 && ::ftruncate(fd, end) != 0)
        return platform::errPrinter;
    const bool noRoom = wrote < 0 ? err == ENOSPC || err == EDQUOT || err == EFBIG : wrote < ssize_t(sizeof block);
    return noRoom ? platform::errDiskFull : platform::errPrinter;
}

} // namespace

QtPrinter::QtPrinter(const QString& pdfFile)
    : m_printer(std::make_unique<QPrinter>(QPrinter::HighResolution))
{
    const QPrinterInfo system = QPrinterInfo::defaultPrinter();
    const QList<QPrinterInfo> all = QPrinterInfo::availablePrinters();
    if (!system.isNull()) {
        m_printer->setPrinterName(system.printerName());
    } else if (!all.isEmpty()) {
        m_printer->setPrinterName(all.first().printerName());
    } else {
        m_toPdf = true;
        m_pdfFile = pdfFile.isEmpty()
            ? platform::app().nativePath() + QStringLiteral("/PRN_Comparison_Results.pdf")
            : pdfFile;
        m_printer->setOutputFormat(QPrinter::PdfFormat);
        m_printer->setOutputFileName(m_pdfFile);
    }
}

QtPrinter::~QtPrinter()
{
    if (m_painter.isActive())
        m_painter.end();
}

QString QtPrinter::deviceName() const
{
    if (m_toPdf) {
        const QString logical = platform::toLogical(m_pdfFile);
        return QStringLiteral("PDF file ") + (logical.isEmpty() ? m_pdfFile : logical);
    }
    return m_printer->printerName();
}

int QtPrinter::orientation() const
{
    return m_printer->pageLayout().orientation() == QPageLayout::Landscape ? platform::orientLandscape
                                                                            : platform::orientPortrait;
}

void QtPrinter::setOrientation(int orientation)
{
    m_printer->setPageOrientation(orientation == platform::orientLandscape ? QPageLayout::Landscape
                                                                           : QPageLayout::Portrait);
}

QString QtPrinter::resolvedFamily() const
{
    return platform::printerFontFamily(m_fontName, QFontDatabase::families());
}

QFont QtPrinter::fontFor(const QString& fontName, double points)
{
    QFont font(platform::printerFontFamily(fontName, QFontDatabase::families()));
    font.setPointSizeF(points > 0 ? points : 10);
    const bool courier = fontName.startsWith(QLatin1String("Courier New"), Qt::CaseInsensitive);
    if (courier) {
        font.setStyleHint(QFont::TypeWriter);
        font.setFixedPitch(true);
    }
    return font;
}

QFont QtPrinter::currentFont() const { return fontFor(m_fontName, m_fontSize); }

int QtPrinter::linesPerSheet(const QString& fontName, double points) const
{
    QPageLayout sheet = m_printer->pageLayout();
    sheet.setOrientation(QPageLayout::Landscape);
    const double height = sheet.paintRectPixels(m_printer->resolution()).height();
    const double spacing = QFontMetricsF(fontFor(fontName, points), m_printer.get()).lineSpacing();
    if (spacing <= 0)
        return 0;
    // Summed as printLine sums them, so that a line it would move to the
    // next sheet is never counted here.
    int lines = 0;
    for (double y = 0; lines < 100000 && (lines == 0 || y + spacing <= height); y += spacing)
        ++lines;
    return lines;
}

int QtPrinter::charactersPerLine(const QString& fontName, double points) const
{
    QPageLayout sheet = m_printer->pageLayout();
    sheet.setOrientation(QPageLayout::Landscape);
    const double width = sheet.paintRectPixels(m_printer->resolution()).width();
    const QFontMetricsF metrics(fontFor(fontName, points), m_printer.get());
    // Measured as drawText sets a whole line, so that rounding over many
    // characters cannot make a line that would run off count as fitting.
    int fits = 0, over = 2;
    while (over <= 100000 && metrics.horizontalAdvance(QString(over, u'M')) <= width)
        fits = over, over *= 2;
    while (over - fits > 1) {
        const int mid = fits + (over - fits) / 2;
        (metrics.horizontalAdvance(QString(mid, u'M')) <= width ? fits : over) = mid;
    }
    return fits;
}

QtPrinter::Widths& QtPrinter::widthsFor(const QString& fontName, double points) const
{
    std::unique_ptr<Widths>& w = m_widths[{fontName, points}];
    if (!w) {
        const QFontMetricsF metrics(fontFor(fontName, points), m_printer.get());
        w.reset(new Widths{metrics, metrics.horizontalAdvance(QStringLiteral("M")), std::vector<quint8>(0x10000, 0)});
    }
    return *w;
}

int QtPrinter::lineWidth(const QString& fontName, double points, const QString& line) const
{
    Widths& w = widthsFor(fontName, points);
    if (w.column <= 0)
        return int(line.size());
    // Most lines hold only characters as wide as the font's own, each one
    // column: they are counted. A line with any other (a fallback font's
    // ideograph, a mark, a zero-width or direction mark) is weighed whole,
    // as drawText sets it.
    for (const QChar c : line) {
        quint8& kind = w.kind[c.unicode()];
        if (kind == 0)
            kind = !c.isSurrogate() && !c.isMark() && w.metrics.horizontalAdvance(QString(c)) == w.column ? 1 : 2;
        if (kind == 2)
            return int(std::ceil(w.metrics.horizontalAdvance(line) / w.column - 1e-9));
    }
    return int(line.size());
}

int QtPrinter::begin()
{
    if (m_painter.isActive())
        return platform::errNone;
    if (m_toPdf) {
        if (const int err = m_pdfOut.open(m_pdfFile))
            return err;
        // The printer writes the temporary file through its open descriptor:
        // that name reaches it whatever bytes the real one is made of.
        const QString byDescriptor = QStringLiteral("/proc/self/fd/%1").arg(m_pdfOut.fd());
        const QString byName = platform::decodeNativePath(m_pdfOut.temporaryName());
        m_printer->setOutputFileName(QFileInfo::exists(byDescriptor) ? byDescriptor : byName);
    }
    if (!m_painter.begin(m_printer.get())) {
        const int failure = documentFailure();
        finishPdf(false);
        return failure;
    }
    m_y = 0;
    return platform::errNone;
}

int QtPrinter::documentFailure() const
{
    // A page break writes the finished page out: a PDF can run out of room
    // there as well as at its end.
    return m_pdfOut.isOpen() ? pdfFailure(m_pdfOut.fd()) : platform::errPrinter;
}

int QtPrinter::finishPdf(bool painted)
{
    if (!m_pdfOut.isOpen())
        return platform::errNone;
    m_printer->setOutputFileName(m_pdfFile);
    // The painter does not report a write that failed; a PDF that was
    // written whole ends with its end-of-file marker.
    char tail[16] = {};
    const off_t size = ::lseek(m_pdfOut.fd(), 0, SEEK_END);
    const off_t from = qMax<off_t>(0, size - off_t(sizeof tail));
    const qsizetype got = size > 0 ? ::pread(m_pdfOut.fd(), tail, sizeof tail, from) : 0;
    if (!painted || got <= 0 || !QByteArray(tail, got).trimmed().endsWith("%%EOF")) {
        const int failure = pdfFailure(m_pdfOut.fd());
        m_pdfOut.discard();
        // Qt's PDF writer ignores every write once one has failed, the
        // documents after this one included: the next gets a fresh one.
        auto fresh = std::make_unique<QPrinter>(QPrinter::HighResolution);
        fresh->setOutputFormat(QPrinter::PdfFormat);
        fresh->setPageLayout(m_printer->pageLayout());
        fresh->setOutputFileName(m_pdfFile);
        m_printer = std::move(fresh);
        return failure;
    }
    return m_pdfOut.commit();
}

int QtPrinter::printLine(const QString& line)
{
    if (const int rc = begin())
        return rc;
    const QFont font = currentFont();
    m_painter.setFont(font);
    const QFontMetricsF metrics(font, m_printer.get());
    const double pageHeight = m_printer->pageRect(QPrinter::DevicePixel).height();
    // A line that does not fit any more goes to the next sheet instead of
    // being drawn off the paper.
    if (m_y > 0 && m_y + metrics.lineSpacing() > pageHeight) {
        if (!m_printer->newPage())
            return documentFailure();
        m_y = 0;
    }
    m_painter.drawText(QPointF(0, m_y + metrics.ascent()), line);
    m_y += metrics.lineSpacing();
    return platform::errNone;
}

int QtPrinter::newPage()
{
    if (const int rc = begin())
        return rc;
    if (!m_printer->newPage())
        return documentFailure();
    m_y = 0;
    return platform::errNone;
}

int QtPrinter::endDoc()
{
    if (!m_painter.isActive())
        return platform::errNone;
    const bool painted = m_painter.end();
    const int err = finishPdf(painted);
    return !painted && err == platform::errNone ? platform::errPrinter : err;
}

QStringList QtPrinter::printers() const
{
    QStringList names = QPrinterInfo::availablePrinterNames();
    if (m_toPdf)
        names.prepend(deviceName());
    return names;
}

bool QtPrinter::setupDialog()
{
    if (m_painter.isActive())
        return false;   // never switch printers in the middle of a document
    // Over the window it is asked from, never behind it.
    QPrintDialog dialog(m_printer.get(), QtDesktop::dialogParent());
    QtDesktop::namePrinterSetupButton(dialog);
    // Choosing a printer prints nothing: OK takes the choice as it stands,
    // without the dialog's questions about its output file (whether to
    // overwrite the PDF of the last print, by a name the program never
    // shows). Writing the PDF is the print run's, which reports what
    // stands in its way.
    if (auto* buttons = dialog.findChild<QDialogButtonBox*>(QString(), Qt::FindDirectChildrenOnly)) {
        QObject::disconnect(buttons, SIGNAL(accepted()), &dialog, nullptr);
        QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    }
    if (QtDesktop::execDialog(dialog) != QDialog::Accepted)
        return false;
    m_toPdf = m_printer->outputFormat() == QPrinter::PdfFormat;
    if (m_toPdf)
        m_pdfFile = m_printer->outputFileName();
    m_widths.clear();   // another printer, another resolution
    return true;
}

} // namespace ui::qt
