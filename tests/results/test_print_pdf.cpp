// One print to the PDF stand-in of the printer, read back with pdftotext: the
// columns survive the trip, and lines that do not fit a sheet go onto the
// next one instead of being lost.
#include "print_fixture.h"

#include "results/frmPageSetup.h"
#include "ui/qt/QtPrinter.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QMessageBox>
#include <QPrintDialog>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTimer>

#include <csignal>
#include <sys/resource.h>

namespace {

class PrintPdf : public PrintTest {
protected:
    void SetUp() override
    {
        if (QStandardPaths::findExecutable("pdftotext").isEmpty())
            GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
        PrintTest::SetUp();
    }
    // `closeAfter`: the run leaves the window open (it failed), so Cancel closes it.
    QString printToPdf(int rows, bool closeAfter = false)
    {
        const QString pdf = drive.native(QStringLiteral("print.pdf"));
        ui::qt::QtPrinter device(pdf);
        if (!device.printsToPdf())
            return {};
        platform::ServiceOverride<platform::Printer> use(platform::setPrinter, &device);
        fill(rows);
        openPrint([closeAfter](results::frmPrint& f) {
            ui::Input::click(*f.cmdPrint);
            if (closeAfter)
                ui::Input::click(*f.cmdCancel);
        });
        return pdfText(pdf);
    }
    static QString poppler(const char* tool, const QStringList& arguments)
    {
        QProcess run;
        run.start(QStandardPaths::findExecutable(QLatin1String(tool)), arguments);
        EXPECT_TRUE(run.waitForFinished(30000));
        return QString::fromUtf8(run.readAllStandardOutput());
    }
    static QString pdfText(const QString& pdf) { return poppler("pdftotext", {"-layout", pdf, "-"}); }
    // Prints `rows` rows through `device` (the PDF, or one in front of it)
    // while this process may write no file past `room` bytes: a full disk, as
    // far as it can tell. The run must say "Disk full" and leave the PDF
    // before it as it was.
    void printOntoAFullDisk(platform::Printer& device, int rows, rlim_t room)
    {
        platform::ServiceOverride<platform::Printer> use(platform::setPrinter, &device);
        drive.file(QStringLiteral("print.pdf"), "the previous PDF");
        fill(rows);
        struct rlimit saved {};
        ::getrlimit(RLIMIT_FSIZE, &saved);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit small = saved;
        small.rlim_cur = room;
        ::setrlimit(RLIMIT_FSIZE, &small);
        desk.expectMsgBoxContaining("Tarnwick [ PCE1000 ]", "Error condition 61 with the description 'Disk full'",
                                    ui::vbQuestionYesNo, ui::vbNo);
        openPrint([](results::frmPrint& f) {
            ui::Input::click(*f.cmdPrint);
            ui::Input::click(*f.cmdCancel);
        });
        ::setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);
        EXPECT_EQ(drive.bytes(QStringLiteral("print.pdf")), QByteArray("the previous PDF"));
    }
    // The sheets of the PDF, as pdfinfo counts them.
    static int sheets(const QString& pdf)
    {
        const QString info = poppler("pdfinfo", {pdf});
        const qsizetype at = info.indexOf(QStringLiteral("Pages:"));
        return at < 0 ? -1 : info.mid(at + 6).section(u'\n', 0, 0).trimmed().toInt();
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

    // 80 lines of 12 points do not fit a sheet: rather than run onto the
    // next sheet without a header, the run says so and prints nothing.
    g().PageSetupFontSize = 12;
    g().PageSetupLinesPerPage = 80;
    desk.expectMsgBoxContaining("Page setup", "At font size 12 a sheet of the printer holds", ui::vbExclamationOK, ui::vbOK);
    text = printToPdf(100, /*closeAfter=*/true);
    EXPECT_EQ(text.count(u'\f'), 3) << "the PDF before stays";
    EXPECT_EQ(text.count(QStringLiteral("|N|")), 60);
}

// Over font sizes and lines per page: what Page setup takes over prints one
// page on each sheet, as many sheets as the headers announce, each with its
// header; what would not fit a sheet Page setup refuses with a message, and
// the print run refuses it too. 30 lines at 8 points (the defaults) always
// fit; 80 lines at 8 points fit no common paper.
TEST_F(PrintPdf, EveryPageSetupItTakesOverPrintsOnePagePerSheet)
{
    const QString pdf = drive.native(QStringLiteral("print.pdf"));
    ui::qt::QtPrinter device(pdf);
    if (!device.printsToPdf())
        GTEST_SKIP() << "a system printer is installed";
    platform::ServiceOverride<platform::Printer> use(platform::setPrinter, &device);
    int accepted = 0, refused = 0;
    for (int size = 8; size <= 12; ++size) {
        // The most a sheet holds at this size, and one more, beside a table
        // of round values.
        const int most = device.linesPerSheet(QStringLiteral("Courier New"), size);
        for (int top : {0, 5}) {
            for (int lines : {30, 40, 50, 60, 70, 80, most - top, most - top + 1}) {
                if (lines < 30 || lines > 80)
                    continue;
                const std::string name = "size " + std::to_string(size) + ", top " + std::to_string(top) + ", " + std::to_string(lines) + " lines";
                g().PageSetupFontSize = 8;
                g().PageSetupTopMargin = 0;
                g().PageSetupLinesPerPage = 30;
                // A line must fit across the sheet too (left margin 0 here).
                const bool across = device.charactersPerLine(QStringLiteral("Courier New"), size) >= 151;
                const bool fits = top + lines <= most && across;
                const char* said = top + lines <= most ? "characters does not fit it" : "lines per page do not fit it";
                if (!fits)
                    desk.expectMsgBoxContaining("Page setup", said, ui::vbExclamationOK, ui::vbOK);
                desk.onModal(QStringLiteral("frmPageSetup"), [&](ui::Form& form) {
                    auto& f = static_cast<results::frmPageSetup&>(form);
                    for (auto [label, value] : {std::pair{f.lblFontSize, size}, {f.lblTopMargin, top}, {f.lblLinesPerPage, lines}})
                        label->setCaption(QString::number(value));
                    ui::Input::click(*f.cmdOK);
                    if (!fits) {
                        EXPECT_TRUE(f.isShown()) << name << ": refused, the window stays";
                        ui::Input::click(*f.cmdCancel);
                    }
                });
                results::ShowPageSetupWindow();
                EXPECT_EQ(g().PageSetupLinesPerPage, fits ? lines : 30) << name;
                if (!fits) {
                    // The same values read from the INI file: the run refuses them.
                    ++refused;
                    g().PageSetupFontSize = basGlobal::Integer(size);
                    g().PageSetupTopMargin = basGlobal::Integer(top);
                    g().PageSetupLinesPerPage = basGlobal::Integer(lines);
                    drive.file(QStringLiteral("print.pdf"), "kept");
                    desk.expectMsgBoxContaining("Page setup", said, ui::vbExclamationOK, ui::vbOK);
                    fill(10);
                    openPrint([](results::frmPrint& f) {
                        ui::Input::click(*f.cmdPrint);
                        ui::Input::click(*f.cmdCancel);
                    });
                    EXPECT_EQ(drive.bytes(QStringLiteral("print.pdf")), QByteArray("kept")) << name;
                    continue;
                }
                ++accepted;
                fill(2 * (lines - 4) + 3);   // three pages, the last with three rows
                openPrint([](results::frmPrint& f) { ui::Input::click(*f.cmdPrint); });
                const QString text = pdfText(pdf);
                EXPECT_EQ(text.count(QStringLiteral("Page 3 of 3.")), 1) << name;
                EXPECT_EQ(text.count(QStringLiteral(" of 3.")), 3) << name << ": a header on every sheet";
                EXPECT_EQ(sheets(pdf), 3) << name;
            }
        }
    }
    EXPECT_GT(accepted, 5);
    EXPECT_GT(refused, 5);
    EXPECT_GE(device.linesPerSheet(QStringLiteral("Courier New"), 8), 30) << "the defaults always fit";
    EXPECT_LT(device.linesPerSheet(QStringLiteral("Courier New"), 8), 80);
}

// Over every font size and left margin: what Page setup takes over, by OK or
// by Apply, prints every line whole, long paths, long names and wide sizes
// included; what would run off the sheet's edge it refuses with a message
// naming what fits, and the print run refuses the same values, to the
// printer alone and to the printer and the file.
TEST_F(PrintPdf, EveryLeftMarginAndFontSizeItTakesOverPrintsWholeLines)
{
    const QString pdf = drive.native(QStringLiteral("print.pdf"));
    ui::qt::QtPrinter device(pdf);
    if (!device.printsToPdf())
        GTEST_SKIP() << "a system printer is installed";
    platform::ServiceOverride<platform::Printer> use(platform::setPrinter, &device);
    const QString font = QStringLiteral("Courier New");
    g().CurrentPath = {QStringLiteral("C:\\Πρώτος_φάκελος_με_μακρύ_όνομα\\second_level_bbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbb\\third_level_ccccccc"),
                       QStringLiteral("C:\\Δεύτερος_φάκελος_με_μακρύ_όνομα\\second_level_dddddddddddddddddddddddddddddddd\\third_level_eeeeeee")};
    const int rows = 12;
    fill(rows);
    for (int k = 1; k <= rows; ++k) {
        const QString longName = QStringLiteral("a_very_long_name_of_file_%1_με_ελληνικά_γράμματα_στο_τέλος.txt").arg(k);
        for (int c : {1, 2}) results.grdResults->setTextMatrix(k, c, longName);
        for (int c : {3, 4}) results.grdResults->setTextMatrix(k, c, QStringLiteral("9,876,543,210"));
    }
    for (int i = 0; i < 2; ++i) results.lblTotalFolders[i]->setCaption(QStringLiteral("Folders: 86."));
    for (int i = 0; i < 2; ++i) results.lblTotalFiles[i]->setCaption(QStringLiteral("Files: 229."));

    int printed = 0, refused = 0;
    for (int size = 8; size <= 12; ++size) {
        const int columns = device.charactersPerLine(font, size);
        for (int margin = 0; margin <= 30; ++margin) {
            const std::string name = "size " + std::to_string(size) + ", left margin " + std::to_string(margin);
            const bool greek = margin % 2 == 1, apply = margin % 4 >= 2;
            g().LanguageIsGreek = greek;
            g().PageSetupFontSize = 8;
            g().PageSetupLeftMargin = 0;
            const bool fits = margin + 151 <= columns;
            const QString title = greek ? QStringLiteral("Διαμόρφωση σελίδας") : QStringLiteral("Page setup");
            QString said;
            if (!fits) {
                // The message names the widest margin at this size, or else
                // the largest size for this margin.
                int largest = 0;
                for (int smaller = size - 1; smaller >= 8 && !largest; --smaller)
                    if (margin + 151 <= device.charactersPerLine(font, smaller)) largest = smaller;
                const bool one = columns - 151 == 1;
                if (columns > 151)
                    said = greek ? QStringLiteral("χωράει αριστερό περιθώριο το πολύ %1 %2.").arg(columns - 151).arg(one ? "κενού" : "κενών")
                                 : QStringLiteral("a left margin of at most %1 %2 fits.").arg(columns - 151).arg(one ? "blank" : "blanks");
                else if (largest)
                    said = greek ? QStringLiteral("της γραμματοσειράς μπορεί να είναι το πολύ %1.").arg(largest)
                                 : QStringLiteral("font size can be at most %1.").arg(largest);
                else
                    said = greek ? QStringLiteral("χαρακτήρων") : QStringLiteral("a printed line of 151 characters");
                desk.expectMsgBoxContaining(title, said, ui::vbExclamationOK, ui::vbOK);
            }
            desk.onModal(QStringLiteral("frmPageSetup"), [&](ui::Form& form) {
                auto& f = static_cast<results::frmPageSetup&>(form);
                f.lblFontSize->setCaption(QString::number(size));
                f.lblLeftMargin->setCaption(QString::number(margin));
                ui::Input::click(apply ? *f.cmdApply : *f.cmdOK);
                if (f.isShown()) ui::Input::closeBox(f);
            });
            results::ShowPageSetupWindow();
            EXPECT_EQ(std::pair(int(g().PageSetupFontSize), int(g().PageSetupLeftMargin)),
                      fits ? std::pair(size, margin) : std::pair(8, 0))
                << name << (apply ? " by Apply" : " by OK");

            drive.file(QStringLiteral("print.pdf"), "kept");
            QFile::remove(drive.native(QStringLiteral("out.txt")));
            if (!fits) {
                // The same values from the INI file: no run to the printer prints them.
                ++refused;
                g().PageSetupFontSize = basGlobal::Integer(size);
                g().PageSetupLeftMargin = basGlobal::Integer(margin);
                for (int destination : {0, 2}) {
                    desk.expectMsgBoxContaining(title, said, ui::vbExclamationOK, ui::vbOK);
                    openPrint([destination](results::frmPrint& f) {
                        ui::Input::click(*f.optPrintDestination[destination]);
                        ui::Input::click(*f.cmdPrint);
                        ui::Input::click(*f.cmdCancel);
                    });
                    EXPECT_EQ(drive.bytes(QStringLiteral("print.pdf")), QByteArray("kept")) << name << " to " << destination;
                    EXPECT_FALSE(QFile::exists(drive.native(QStringLiteral("out.txt")))) << name;
                }
                continue;
            }
            ++printed;
            desk.answerSave(QStringLiteral("C:\\out.txt"));
            openPrint([](results::frmPrint& f) {
                ui::Input::click(*f.optPrintDestination[2]);
                ui::Input::click(*f.cmdPrint);
            });
            // Each line of the text file is on paper whole, as it is.
            QStringList onPaper;
            for (const QString& l : pdfText(pdf).split(u'\n')) onPaper << l.trimmed();
            const QStringList lines = fileLines();
            ASSERT_EQ(lines.size(), 4 + rows) << name;
            for (const QString& l : lines)
                EXPECT_TRUE(onPaper.contains(l.trimmed())) << name << ": cut or lost\n" << l.toStdString();
        }
    }
    EXPECT_GT(printed, 10);
    EXPECT_GT(refused, 100);
    EXPECT_GE(device.charactersPerLine(font, 8), 151) << "the defaults always fit";
}

// A size of more than ten digits widens its line: the run weighs the widest
// line it prints, not the 151 columns alone (here one that reaches the end
// of its Secondary name's 43 columns).
TEST_F(PrintPdf, ALineWiderThanTheLayoutMustFitWhole)
{
    const QString pdf = drive.native(QStringLiteral("print.pdf"));
    ui::qt::QtPrinter device(pdf);
    if (!device.printsToPdf())
        GTEST_SKIP() << "a system printer is installed";
    platform::ServiceOverride<platform::Printer> use(platform::setPrinter, &device);
    const int columns = device.charactersPerLine(QStringLiteral("Courier New"), 8);
    fill(3);
    results.grdResults->setTextMatrix(2, 3, QStringLiteral("123,456,789,012"));
    const QString name = QString(39, u'n') + QStringLiteral(".txt");
    results.grdResults->setTextMatrix(2, 2, name);
    drive.file(QStringLiteral("print.pdf"), "kept");
    g().PageSetupLeftMargin = basGlobal::Integer(columns - 151);
    desk.expectMsgBoxContaining("Page setup",
                                QStringLiteral("a printed line of 153 characters do not fit it.\r\n\r\nAt this font size a "
                                               "left margin of at most %1 blanks fits.").arg(columns - 153),
                                ui::vbExclamationOK, ui::vbOK);
    openPrint([](results::frmPrint& f) {
        ui::Input::click(*f.cmdPrint);
        ui::Input::click(*f.cmdCancel);
    });
    EXPECT_EQ(drive.bytes(QStringLiteral("print.pdf")), QByteArray("kept"));

    g().PageSetupLeftMargin = basGlobal::Integer(columns - 153);
    openPrint([](results::frmPrint& f) { ui::Input::click(*f.cmdPrint); });
    EXPECT_TRUE(pdfText(pdf).contains(QStringLiteral("24/08/2002 123456789012|N|......1234 23/08/2002 -------- ") + name));
}

// A name of 40 ideographs is set wider than 40 columns: the line that ends
// with it runs past the sheet even at the smallest size, and the run says so
// and prints nothing rather than cut it at the edge.
TEST_F(PrintPdf, ALineOfWideCharactersThatDoesNotFitIsRefused)
{
    const QString pdf = drive.native(QStringLiteral("print.pdf"));
    ui::qt::QtPrinter device(pdf);
    if (!device.printsToPdf())
        GTEST_SKIP() << "a system printer is installed";
    if (QFontDatabase::families(QFontDatabase::SimplifiedChinese).isEmpty())
        GTEST_SKIP() << "no font holds ideographs";
    platform::ServiceOverride<platform::Printer> use(platform::setPrinter, &device);
    const QString name(40, QChar(0x6F22));
    const int width = 108 + device.lineWidth(QStringLiteral("Courier New"), 8, name);
    ASSERT_GT(width, device.charactersPerLine(QStringLiteral("Courier New"), 8));
    fill(3);
    results.grdResults->setTextMatrix(2, 2, name);
    drive.file(QStringLiteral("print.pdf"), "kept");
    desk.expectMsgBoxContaining("Page setup",
                                QStringLiteral("a printed line of %1 characters does not fit it.\r\n\r\nChoose a larger "
                                               "paper in Printer setup.").arg(width),
                                ui::vbExclamationOK, ui::vbOK);
    openPrint([](results::frmPrint& f) {
        ui::Input::click(*f.cmdPrint);
        ui::Input::click(*f.cmdCancel);
    });
    EXPECT_EQ(drive.bytes(QStringLiteral("print.pdf")), QByteArray("kept"));
}

// A run leaves the printer's page as it found it: Printer setup shows it so
// afterwards. Its OK takes the printer as it stands and asks nothing about
// the PDF the run left there, since nothing is printed then.
TEST_F(PrintPdf, AfterARunPrinterSetupShowsThePrintersOwnPageAndAsksNothing)
{
    const QString pdf = drive.native(QStringLiteral("print.pdf"));
    ui::qt::QtPrinter device(pdf);
    if (!device.printsToPdf())
        GTEST_SKIP() << "a system printer is installed";
    platform::ServiceOverride<platform::Printer> use(platform::setPrinter, &device);
    fill(3);
    openPrint([](results::frmPrint& f) { ui::Input::click(*f.cmdPrint); });
    ASSERT_TRUE(QFile::exists(pdf));

    QPageLayout::Orientation shown = QPageLayout::Landscape;
    QStringList asked;
    bool leftOpen = false;
    QTimer::singleShot(0, qApp, [&] {
        auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
        ASSERT_TRUE(dialog);
        shown = dialog->printer()->pageLayout().orientation();
        // A question is answered with its default button.
        QTimer::singleShot(0, qApp, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                asked << box->text();
                box->defaultButton()->click();
            }
        });
        dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
        leftOpen = dialog->isVisible();
        if (leftOpen) dialog->reject();
    });
    EXPECT_TRUE(device.setupDialog());
    EXPECT_EQ(shown, QPageLayout::Portrait);
    EXPECT_EQ(asked, QStringList());
    EXPECT_FALSE(leftOpen);
    EXPECT_EQ(device.orientation(), platform::orientPortrait);
    EXPECT_EQ(device.deviceName(), QStringLiteral("PDF file C:\\print.pdf"));
}

// A PDF that cannot be written for want of room is reported as the text
// file's is: "Disk full", not a printer failure; the PDF before it stays.
TEST_F(PrintPdf, APdfOnAFullDiskSaysDiskFull)
{
    ui::qt::QtPrinter device(drive.native(QStringLiteral("print.pdf")));
    if (!device.printsToPdf())
        GTEST_SKIP() << "a system printer is installed";
    printOntoAFullDisk(device, 300, 16 * 1024);
}

// The PDF in front of it, telling which call first failed.
class FirstFailure : public platform::Printer {
public:
    explicit FirstFailure(platform::Printer& to) : m_to(to) {}
    QString call;   // "" while none failed
    QString deviceName() const override { return m_to.deviceName(); }
    int orientation() const override { return m_to.orientation(); }
    void setOrientation(int o) override { m_to.setOrientation(o); }
    QString fontName() const override { return m_to.fontName(); }
    void setFontName(const QString& n) override { m_to.setFontName(n); }
    double fontSize() const override { return m_to.fontSize(); }
    void setFontSize(double p) override { m_to.setFontSize(p); }
    int printLine(const QString& line) override { return note("printLine", m_to.printLine(line)); }
    int newPage() override { return note("newPage", m_to.newPage()); }
    int endDoc() override { return note("endDoc", m_to.endDoc()); }
    int linesPerSheet(const QString& f, double p) const override { return m_to.linesPerSheet(f, p); }
    int charactersPerLine(const QString& f, double p) const override { return m_to.charactersPerLine(f, p); }
    QStringList printers() const override { return m_to.printers(); }
    bool setupDialog() override { return m_to.setupDialog(); }

private:
    int note(const char* name, int rc)
    {
        if (rc && call.isEmpty()) call = QLatin1String(name);
        return rc;
    }
    platform::Printer& m_to;
};

// The PDF writer writes each finished page out at the page break: a disk
// that fills there says "Disk full" too.
TEST_F(PrintPdf, APdfThatFillsTheDiskAtAPageBreakSaysDiskFull)
{
    ui::qt::QtPrinter device(drive.native(QStringLiteral("print.pdf")));
    if (!device.printsToPdf())
        GTEST_SKIP() << "a system printer is installed";
    FirstFailure spy(device);
    printOntoAFullDisk(spy, 3000, 64 * 1024);
    EXPECT_EQ(spy.call, QStringLiteral("newPage")) << "the page break is where it failed";
}

} // namespace
