// One print to the PDF stand-in of the printer, read back with pdftotext: the
// columns survive the trip, and lines that do not fit a sheet go onto the
// next one instead of being lost.
#include "print_fixture.h"

#include "ui/qt/QtPrinter.h"

#include <QProcess>
#include <QStandardPaths>

namespace {

class PrintPdf : public PrintTest {
protected:
    void SetUp() override
    {
        if (QStandardPaths::findExecutable("pdftotext").isEmpty())
            GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
        PrintTest::SetUp();
    }
    QString printToPdf(int rows)
    {
        const QString pdf = drive.native(QStringLiteral("print.pdf"));
        ui::qt::QtPrinter device(pdf);
        if (!device.printsToPdf())
            return {};
        platform::ServiceOverride<platform::Printer> use(platform::setPrinter, &device);
        fill(rows);
        openPrint([](results::frmPrint& f) { ui::Input::click(*f.cmdPrint); });
        QProcess run;
        run.start(QStandardPaths::findExecutable("pdftotext"), {"-layout", pdf, "-"});
        EXPECT_TRUE(run.waitForFinished(30000));
        return QString::fromUtf8(run.readAllStandardOutput());
    }
};

TEST_F(PrintPdf, PagesReadBackWithTheirColumnsAndNoLineIsLost)
{
    QString text = printToPdf(60);
    if (text.isNull())
        GTEST_SKIP() << "a system printer is installed";
    EXPECT_EQ(text.count(u'\f'), 3);
    EXPECT_EQ(text.count(QStringLiteral("Page 3 of 3.")), 1);
    EXPECT_TRUE(text.contains(line(60).trimmed())) << text.left(2000).toStdString();

    // 80 lines of 12 points do not fit a sheet: the rest goes onto the next.
    g().PageSetupFontSize = 12;
    g().PageSetupLinesPerPage = 80;
    text = printToPdf(100);
    EXPECT_GT(text.count(u'\f'), 2);
    EXPECT_EQ(text.count(QStringLiteral("|N|")), 100);
}

} // namespace
