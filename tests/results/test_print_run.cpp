// Whole print runs against the recording printer and a temporary file.
#include "print_fixture.h"

using results::frmPrint;

namespace {

class PrintRun : public PrintTest {
protected:
    // Prints to `destination` from a freshly opened window (Ctrl+P); `after`
    // runs in the window when the run has ended and left it open.
    void print(int destination, const std::function<void(frmPrint&)>& after = {})
    {
        openPrint([&](frmPrint& f) {
            ui::Input::click(*f.optPrintDestination[destination]);
            ui::Input::key(f, 'P', ui::vbCtrlMask);
            if (after) after(f);
        });
    }
};

TEST_F(PrintRun, PrinterPagesWithMarginsAndAHeaderOnEach)
{
    fill(60);
    g().PageSetupTopMargin = 2;
    g().PageSetupLeftMargin = 3;
    g().ResultsNotPrinted = true;
    print(0);
    EXPECT_FALSE(results::PrintWindow().isLoaded()) << "a complete run closes the window";
    EXPECT_FALSE(g().ResultsNotPrinted);
    ASSERT_EQ(printer.finished.size(), 1u);
    const auto& doc = printer.finished[0];
    EXPECT_EQ(doc.orientation, platform::orientLandscape);
    EXPECT_EQ(doc.fontName, QStringLiteral("Courier New"));
    EXPECT_EQ(doc.fontSize, 8);
    EXPECT_EQ(printer.orientation(), platform::orientPortrait) << "the printer's settings come back";
    EXPECT_EQ(printer.fontSize(), 10);
    ASSERT_EQ(doc.pages.size(), 3u);
    for (std::size_t p = 0; p < 3; ++p) {
        const auto& lines = doc.pages[p].lines;
        ASSERT_EQ(lines.size(), p < 2 ? 32u : 14u);
        EXPECT_EQ(lines[0], " ");
        EXPECT_EQ(lines[1], " ");
        EXPECT_EQ(lines[2], "   C:\\Left" + QString(68, u' ') + "-" + QString(67, u' ') + "C:\\Right");
        EXPECT_TRUE(lines[4].contains(QStringLiteral("Page %1 of 3.").arg(p + 1))) << lines[4].toStdString();
        EXPECT_EQ(lines[6], "   " + line(int(26 * p + 1)));
    }
    // Rows that fill the last page exactly are followed by no empty page.
    fill(52);
    print(0);
    ASSERT_EQ(printer.finished.size(), 2u);
    EXPECT_EQ(printer.finished[1].pages.size(), 2u);
}

TEST_F(PrintRun, TheFileAloneHasOneHeaderAndNeverTouchesThePrinter)
{
    fill(30);
    g().LanguageIsGreek = true;
    g().ComparisonMode = 1;
    g().ImportedStructureFile[1] = QStringLiteral("C:\\work.qms");
    g().ComparedPath[1] = QStringLiteral("D:\\Εργασία\\");
    printer.failWith = 482;   // any use of the printer would be reported
    results.grdResults->setTextMatrix(30, 1, QStringLiteral("line\r\nbreak"));   // still one line
    drive.file(QStringLiteral("out.txt"), "older and longer content than the new file's first line");
    desk.answerSave(QStringLiteral("C:\\out.txt"));
    print(1);
    const auto request = desk.fileDialogRequests().at(0);
    EXPECT_EQ(request.initDir, QStringLiteral("C:\\"));
    EXPECT_EQ(request.fileName, QStringLiteral("PRN_Αποτελέσματα_Συγκρίσεως.txt"));
    const QStringList lines = fileLines();
    ASSERT_EQ(lines.size(), 34);
    EXPECT_TRUE(lines[0].startsWith("C:\\Left ") && lines[0].endsWith(QStringLiteral(" D:\\Εργασία\\")));
    EXPECT_EQ(lines[2].mid(56, 1), QStringLiteral("Τ"));
    EXPECT_EQ(lines[2].mid(94, 1), QStringLiteral("Α"));
    EXPECT_TRUE(lines[2].contains(QStringLiteral("Σελίδα 1 από 2.")));
    EXPECT_TRUE(lines[33].startsWith(QString(32, u' ') + QStringLiteral("line\u240D\u240Abreak "))) << lines[33].toStdString();
    EXPECT_TRUE(printer.finished.empty());
    EXPECT_EQ(g().PrintDestinationIndex, 1);
}

TEST_F(PrintRun, BothDestinationsACancelMidPageAndAnErrorReportedOnce)
{
    fill(60);
    g().ResultsNotPrinted = true;
    desk.answerSave(QStringLiteral("C:\\out.txt"));
    desk.onYield([&] { return printer.open && printer.current.pages.size() == 2 && printer.current.pages[1].lines.size() == 10; },
                 [&] {
                     desk.expectMsgBoxContaining("Close window", "It is impossible to close the window", ui::vbInformationOK, ui::vbOK);
                     ui::Input::closeBox(results::PrintWindow());   // refused while printing
                     EXPECT_TRUE(results::PrintWindow().isLoaded());
                     desk.expectMsgBox("Cancel processing",
                                       "Do you really want to cancel the process that is currently in progress?",
                                       ui::vbQuestionYesNoDefNo, ui::vbYes);
                     ui::Input::key(results::PrintWindow(), 27);   // Esc presses Cancel printing
                 });
    print(2, [&](frmPrint& f) {
        EXPECT_TRUE(f.isShown()) << "a cancelled run leaves the window open";
        EXPECT_TRUE(f.cmdPrint->enabled());
        EXPECT_TRUE(f.optPrintDestination[0]->enabled());
        EXPECT_FALSE(f.cmdCancelPrinting->enabled());
        EXPECT_EQ(f.cancelButton(), f.cmdCancel);
        EXPECT_FALSE(g().PrintingInProgress);
        EXPECT_FALSE(g().CancelRequested) << "a cancelled run clears its request";
        ui::Input::click(*f.cmdCancel);
    });
    EXPECT_TRUE(g().ResultsNotPrinted);
    ASSERT_EQ(printer.finished.size(), 1u) << "what was sent is printed";
    const QStringList lines = fileLines();
    ASSERT_EQ(lines.size(), 4 + 26 + 6);
    EXPECT_TRUE(lines[2].contains("Page 1 of 3."));
    for (int k = 1; k <= 32; ++k) EXPECT_EQ(lines[3 + k], line(k));

    // An error is reported once and ends the run; the file before the run is untouched.
    drive.file(QStringLiteral("out.txt"), "kept");
    desk.answerSave(QStringLiteral("C:\\out.txt"));
    desk.onYield([&] { return printer.open && printer.current.pages[0].lines.size() == 9; },
                 [&] { printer.failWith = 482; });
    desk.expectMsgBoxContaining("Tarnwick [ PCE1000 ]", "Error condition 482", ui::vbQuestionYesNo, ui::vbNo);
    print(2, [&](frmPrint& f) {
        EXPECT_FALSE(g().PrintingInProgress) << "the error ends the run";
        ui::Input::click(*f.cmdCancel);
    });
    EXPECT_EQ(drive.bytes(QStringLiteral("out.txt")), QByteArray("kept")) << "the file before the run is untouched";
}

// A page count of four digits widens the header's page text: the run weighs
// that line, not the 151 columns alone, against the sheet.
TEST_F(PrintRun, AFourDigitPageCountMustFitAcrossTheSheetToo)
{
    printer.columns = 151;
    fill(26 * 999);   // " Page 999 of 999.  " still fits its 19 columns
    desk.onYield([] { return true; }, [this] { g().CancelRequested = true; });
    desk.resetYieldCount();
    print(0, [](frmPrint& f) { ui::Input::click(*f.cmdCancel); });
    EXPECT_GT(desk.yieldCount(), 0) << "the run started";

    fill(26 * 999 + 1);
    desk.expectMsgBoxContaining("Page setup", "a printed line of 153 characters does not fit it", ui::vbExclamationOK,
                                ui::vbOK);
    desk.resetYieldCount();
    print(0, [](frmPrint& f) { ui::Input::click(*f.cmdCancel); });
    EXPECT_EQ(desk.yieldCount(), 0) << "the run never started";
    EXPECT_TRUE(printer.finished.empty());
}

// A size of more than ten digits on either side, counted without its leading
// zeros as it is printed, and a wider mark widen the line the run weighs (a
// line that reaches the end of its Secondary name's 43 columns).
TEST_F(PrintRun, EveryWideCellOfARowMustFitAcrossTheSheet)
{
    const struct { int column; const char* cell; int width; } rows[] = {
        {3, "1,234,567,890", 151},
        {3, "12,345,678,901", 152},
        {4, "12,345,678,901", 152},
        {4, "1,234,567,890,123", 154},
        {3, "000,000,001,234,567,890", 151},
        {4, "0,001,234,567,890,123", 154},
        {0, "NN", 152},
        {0, " N ", 151},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(std::string(r.cell) + " in column " + std::to_string(r.column));
        for (int columns : {r.width - 1, r.width}) {
            printer.columns = columns;
            fill(3);
            results.grdResults->setTextMatrix(2, r.column, QString::fromLatin1(r.cell));
            results.grdResults->setTextMatrix(2, 2, QString(39, u'n') + QStringLiteral(".txt"));
            const std::size_t before = printer.finished.size();
            if (columns < r.width)
                desk.expectMsgBoxContaining("Page setup",
                                            QStringLiteral("a printed line of %1 characters does not fit it").arg(r.width),
                                            ui::vbExclamationOK, ui::vbOK);
            print(0, [](frmPrint& f) {
                if (f.isLoaded()) ui::Input::click(*f.cmdCancel);
            });
            EXPECT_EQ(desk.pendingMsgBoxes(), 0) << columns;
            EXPECT_EQ(printer.finished.size(), before + (columns < r.width ? 0 : 1)) << columns;
        }
    }
}

// A cancel is heard before every line: in the top margin, in the header and
// among the rows; what was sent before it is on paper and in the file, and
// nothing after it.
TEST_F(PrintRun, ACancelBeforeAnyLineOfAPageStopsThere)
{
    g().PageSetupTopMargin = 2;
    for (int destination : {0, 2}) {
        for (int sent : {0, 1, 2, 3, 5, 6, 7}) {
            SCOPED_TRACE("to " + std::to_string(destination) + ", cancelled after " + std::to_string(sent) + " lines");
            fill(30);
            if (destination == 2)
                desk.answerSave(QStringLiteral("C:\\out.txt"));
            const std::size_t before = printer.finished.size();
            desk.onYield([&] { return printer.open && printer.current.pages.size() == 2 && printer.current.pages[1].lines.size() == std::size_t(sent); },
                         [&] { g().CancelRequested = true; });
            print(destination, [](frmPrint& f) {
                EXPECT_TRUE(f.isShown()) << "a cancelled run leaves the window open";
                ui::Input::click(*f.cmdCancel);
            });
            ASSERT_EQ(printer.finished.size(), before + 1);
            const auto& doc = printer.finished.back();
            ASSERT_EQ(doc.pages.size(), 2u);
            EXPECT_EQ(doc.pages[0].lines.size(), 32u);
            EXPECT_EQ(doc.pages[1].lines.size(), std::size_t(sent));
            if (destination == 2) {
                // The file has its one header and the rows printed so far.
                const QStringList lines = fileLines();
                EXPECT_EQ(lines.size(), 4 + 26 + std::max(0, sent - 6));
            }
        }
    }
}

// A file on a drive that is not there is reported as such, before the
// printer is touched; the window stays for another try.
TEST_F(PrintRun, AFileOnADriveThatIsNotThereIsPathNotFound)
{
    for (int destination : {1, 2}) {
        fill(3);
        g().ResultsNotPrinted = true;
        desk.answerSave(QStringLiteral("Q:\\out.txt"));
        desk.expectMsgBoxContaining("Tarnwick [ PCE1000 ]", "Error condition 76", ui::vbQuestionYesNo, ui::vbNo);
        print(destination, [this](frmPrint& f) {
            EXPECT_TRUE(f.isShown());
            EXPECT_TRUE(f.cmdPrint->enabled());
            EXPECT_FALSE(g().PrintingInProgress);
            ui::Input::click(*f.cmdCancel);
        });
        EXPECT_EQ(desk.pendingMsgBoxes(), 0) << destination;
        EXPECT_TRUE(printer.finished.empty()) << destination;
        EXPECT_FALSE(printer.open) << destination;
        EXPECT_TRUE(g().ResultsNotPrinted);
    }
}

// The smaller size a refusal names is one at which every line fits, wide
// characters weighed at that size: on a printer whose fallback font sets an
// ideograph wider at small sizes, no size takes 40 of them.
TEST_F(PrintRun, ASmallerSizeItNamesIsWeighedAtThatSize)
{
    struct Sheet : platform::RecordingPrinter {
        int charactersPerLine(const QString&, double points) const override { return int(1800 / points); }
        int lineWidth(const QString&, double points, const QString& line) const override
        {
            int width = 0;
            for (const QChar c : line) width += c.unicode() < 0x3000 ? 1 : points < 10 ? 3 : 2;
            return width;
        }
    } device;   // 150 characters at 12 points, 163 at 11, 180 at 10, 200 at 9, 225 at 8
    platform::ServiceOverride<platform::Printer> use(platform::setPrinter, &device);
    // Rows of 1 to 30 ideographs, and one of 40 among them.
    fill(200);
    for (int k = 1; k <= 200; ++k)
        results.grdResults->setTextMatrix(k, 2, QString(k == 100 ? 40 : k % 30 + 1, QChar(0x6F22)));
    for (const auto& [size, said] : {std::pair{12, "a printed line of 188 characters does not fit it.\r\n\r\nChoose a larger paper"},
                                     std::pair{9, "a printed line of 228 characters does not fit it.\r\n\r\nChoose a larger paper"}}) {
        g().PageSetupFontSize = basGlobal::Integer(size);
        desk.expectMsgBoxContaining("Page setup", said, ui::vbExclamationOK, ui::vbOK);
        print(0, [](frmPrint& f) { ui::Input::click(*f.cmdCancel); });
    }
    results.grdResults->setTextMatrix(100, 2, QString(30, QChar(0x6F22)));   // 198 columns at 9 points
    print(0);
    EXPECT_EQ(device.finished.size(), 1u);
}

} // namespace
