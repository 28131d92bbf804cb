#include "ui/qt/QtPrinter.h"

#include "platform/AppError.h"

#include <QPrinterInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using ui::qt::QtPrinter;

TEST(QtPrinter, WritesAPdfWhenTheSystemHasNoPrinter)
{
    if (!QPrinterInfo::availablePrinterNames().isEmpty())
        GTEST_SKIP() << "a system printer is installed; the PDF stand-in is not used";
    const QString pdftotext = QStandardPaths::findExecutable("pdftotext");
    if (pdftotext.isEmpty())
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    QTemporaryDir dir;
    const QString pdf = dir.path() + "/PRN_Comparison_Results.pdf";
    QtPrinter p(pdf);
    EXPECT_TRUE(p.printsToPdf());
    EXPECT_TRUE(p.deviceName().startsWith("PDF file "));
    EXPECT_TRUE(p.deviceName().endsWith("PRN_Comparison_Results.pdf"));
    p.setOrientation(platform::orientLandscape);
    p.setFontName("Courier New Greek");
    p.setFontSize(8);
    EXPECT_EQ(p.printLine("Quillmarsh   first page   |col|"), platform::errNone);
    EXPECT_EQ(p.newPage(), platform::errNone);
    EXPECT_EQ(p.printLine(QString::fromUtf8("Δεύτερη σελίδα   second page")), platform::errNone);
    EXPECT_EQ(p.endDoc(), platform::errNone);

    QProcess run;
    run.start(pdftotext, {"-layout", pdf, "-"});
    ASSERT_TRUE(run.waitForFinished(20000));
    const QString text = QString::fromUtf8(run.readAllStandardOutput());
    EXPECT_TRUE(text.contains("Quillmarsh   first page   |col|")) << text.toStdString();
    EXPECT_TRUE(text.contains(QString::fromUtf8("Δεύτερη σελίδα"))) << text.toStdString();
    EXPECT_EQ(text.count('\f'), 2);   // one page break after each page
}
