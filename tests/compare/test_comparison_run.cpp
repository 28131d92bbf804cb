// The comparison run: its frame (once per opening, cancel, failures that
// close the window) and its loading stages (live scans and exported-structure
// files brought to the same entries). The no-files messages of every stage
// are tabled in test_entry_filters.cpp.
#include "compare_fixture.h"

#include "compare/CompareRun.h"
#include "platform/AppError.h"
#include "shared/FileFacts.h"

#include <memory>
#include <new>
#include <stdexcept>

using namespace compare_test;

namespace {

// A results window whose stage label fails once, when a given stage opens.
class FailingWindow : public results::frmCompare {
public:
    void setStageText(const QString& text) override
    {
        frmCompare::setStageText(text);
        if (fail && text == QLatin1String("collecting folders")) {
            const auto f = std::move(fail);
            fail = nullptr;
            f();
        }
    }
    std::function<void()> fail;
};

class ComparisonRun : public CompareTest {
protected:
    void twoTrees()
    {
        file(c, QStringLiteral("Left/a.txt"));
        file(c, QStringLiteral("Left/Docs/x.txt"));
        folder(c, QStringLiteral("Left/Empty"));
        file(c, QStringLiteral("Right/a.txt"));
        file(c, QStringLiteral("Right/c.txt"));
        g().CurrentPath = {QStringLiteral("C:\\Left"), QStringLiteral("C:\\Right")};
    }
};

TEST_F(ComparisonRun, RunsOnceAndLeavesRelativePathsWithBlankFields)
{
    twoTrees();
    expectDifferMessage();
    // The fields as loading leaves them, seen when the next stage opens.
    QStringList loadedFields;
    desk.onYield([&] { return win.lblProcessInProgress->caption() != QStringLiteral("preparing local structure")
                              && stagesSeen.contains(QStringLiteral("preparing local structure")); },
                 [&] { for (int k = 0; k < 3; ++k) loadedFields << fields(0, k); });
    // The scan's facts, counted when the folder stage opens.
    int entriesThen = 0, factsThen = -1;
    desk.onYield([&] { return factsThen < 0 && win.lblProcessInProgress->caption() == QStringLiteral("collecting folders"); },
                 [&] {
                     const compare::EntryLists entries(0);
                     entriesThen = entries.count();
                     factsThen = 0;
                     for (int k = 0; k < entries.count(); ++k) factsThen += entries.scannedFacts(k) ? 1 : 0;
                 });
    compareAndClose([&] {
        EXPECT_FALSE(win.cmdCompare->enabled());
        EXPECT_FALSE(win.mnuFileCompare->enabled());
        EXPECT_TRUE(win.cmdPrint->enabled());
        EXPECT_TRUE(win.mnuFilePrint->enabled());
        EXPECT_TRUE(win.grdResults->visible());
        EXPECT_FALSE(win.prbProgressBar->visible());
        EXPECT_EQ(win.lblProcessInProgress->caption(), QString());
        EXPECT_FALSE(g().ComparisonInProgress);
        EXPECT_EQ(g().TotalLinesToPrint, win.grdResults->rows() - 1);

        const int yields = desk.yieldCount();
        win.mnuFileCompare->Click();   // presses a disabled Compare
        ui::Input::key(win, ui::vbKeyReturn);
        EXPECT_EQ(desk.yieldCount(), yields) << "a second run started";
    });
    EXPECT_EQ(stagesSeen.mid(0, 2), (QStringList{QStringLiteral("scanning local structure - no progress percentage available"),
                                                 QStringLiteral("preparing local structure")}));
    EXPECT_EQ(paths(0), (QStringList{QStringLiteral("a.txt"), QStringLiteral("Docs\\x.txt"),
                                     QStringLiteral("Empty\\\"NULL\"")}));
    EXPECT_EQ(paths(1), (QStringList{QStringLiteral("a.txt"), QStringLiteral("c.txt")}));
    EXPECT_EQ(loadedFields, QStringList(3, QStringLiteral(" | | | | | | ")));
    EXPECT_EQ(entryTexts(1, 7).size(), 2);
    EXPECT_EQ(entriesThen, 3);
    EXPECT_EQ(factsThen, 0) << "the facts outlived the attribute stage";
}

TEST_F(ComparisonRun, CancelFromTheButtonOrFileCloseAsksFirst)
{
    twoTrees();
    g().RemindToPrint = true;
    // Yes from the button, No from the button, Yes from File > Close.
    for (const auto& [answer, fromMenu] : {std::pair{ui::vbYes, false}, std::pair{ui::vbNo, false}, std::pair{ui::vbYes, true}}) {
        desk.onYieldNumber(desk.yieldCount() + 4, [&, answer = answer, fromMenu = fromMenu] {
            desk.expectMsgBox(kCancelTitle, kCancelText, ui::vbQuestionYesNoDefNo, answer);
            if (fromMenu) win.mnuFileClose->Click();
            else ui::Input::click(*win.cmdCancel);
            EXPECT_EQ(win.cmdCancel->enabled(), answer == ui::vbNo);
            if (answer == ui::vbNo) expectDifferMessage();
        });
        g().ResultsNotPrinted = false;
        openWindow([&] {
            ui::Input::click(*win.cmdCompare);
            if (win.isShown()) {
                EXPECT_EQ(win.cmdCancel->caption(), QStringLiteral("Close")) << "the declined cancel goes on";
                g().ResultsNotPrinted = false;
                ui::Input::click(*win.cmdCancel);
            }
        });
        EXPECT_FALSE(win.isLoaded());
        EXPECT_FALSE(g().CancelRequested);
        EXPECT_FALSE(g().ComparisonInProgress);
        EXPECT_EQ(g().ResultsNotPrinted, false) << "no reminder after a cancel";
    }
}

// Whatever fails inside a stage is reported with the run's location and
// its own number and description; after No the run ends as a cancel does.
TEST_F(ComparisonRun, AFailureInsideAStageIsReportedAndEndsTheRunAsACancel)
{
    twoTrees();
    const struct {
        std::function<void()> fail;
        const char* report;
    } cases[] = {
        {[] { throw platform::AppError{53, QString()}; }, "Error condition 53 with the description 'File not found'"},
        {[] { throw platform::AppError{70, QStringLiteral("Permission denied: C:\\x")}; },
         "Error condition 70 with the description 'Permission denied: C:\\x'"},
        {[] { throw ui::UiError{380, QStringLiteral("Invalid property value")}; },
         "Error condition 380 with the description 'Invalid property value'"},
        {[] { throw std::bad_alloc(); }, "Error condition 7 with the description 'Out of memory'"},
        {[] { throw std::runtime_error("x"); }, "Error condition 5 with the description 'Invalid procedure call or argument'"},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.report);
        FailingWindow failing;
        failing.fail = k.fail;
        desk.expectMsgBox(QStringLiteral("Tarnwick [ 315 ]"),
                          QString::fromUtf8(k.report) + QStringLiteral(" has occured.\r\n\r\nDo you want to shut down the application?"),
                          36, ui::vbNo);
        bool closedByTheRun = false;
        desk.onModal(QStringLiteral("frmCompare"), [&](ui::Form&) {
            ui::Input::click(*failing.cmdCompare);
            closedByTheRun = !failing.isLoaded();
            if (failing.isLoaded()) ui::Input::click(*failing.cmdCancel);
        });
        failing.show(ui::Modal);
        EXPECT_TRUE(closedByTheRun);
        EXPECT_FALSE(g().ComparisonInProgress);
        EXPECT_FALSE(g().CancelRequested);
        EXPECT_EQ(desk.pendingMsgBoxes(), 0);
    }
}

TEST_F(ComparisonRun, AFolderThatCannotBeReadEndsTheRunWithItsName)
{
    file(c, QStringLiteral("Left/a.txt"));
    g().CurrentPath = {QStringLiteral("C:\\Left"), QStringLiteral("C:\\Gone")};
    desk.expectMsgBox(kResultsTitle,
                      QStringLiteral("The folder 'C:\\Gone\\' cannot be read: Path not found.\r\n\r\nThe comparison process failed."),
                      ui::vbCriticalOK, ui::vbOK);
    openWindow([&] { ui::Input::click(*win.cmdCompare); });
    EXPECT_FALSE(win.isLoaded());
    EXPECT_TRUE(desk.entries(ui::HeadlessDesktop::Entry::MessageBox).size() == 1) << "no error report";
}

// --- Exported structures --------------------------------------------------------------

class Importing : public ComparisonRun {
protected:
    void importing(const QString& primary, const QString& secondary)
    {
        g().ComparisonMode = 1;
        g().ImportedStructureFile = {primary, secondary};
        g().FirstStructureToProcess = primary.isEmpty() ? 1 : 0;
        g().LastStructureToProcess = secondary.isEmpty() ? 0 : 1;
    }
};

TEST_F(Importing, TwoFilesGiveTheirEntriesAndProgressRunsAcrossBoth)
{
    file(c, QStringLiteral("p.qms"), workedExample());
    file(c, QStringLiteral("s.qms"), workedExample("\n"));   // written on another system
    importing(QStringLiteral("C:\\p.qms"), QStringLiteral("C:\\s.qms"));
    double firstFileEnd = -1;
    desk.onYield([&] { return compare::EntryLists(1).count() == 0 && compare::EntryLists(0).count() == 4; },
                 [&] { firstFileEnd = win.prbProgressBar->value(); });
    compareAndClose([&] {
        EXPECT_EQ(win.prbProgressBar->value(), 100.0);
        EXPECT_EQ(win.prbProgressBar->toolTipText(), QStringLiteral(" 100 % "));
    });
    EXPECT_NEAR(firstFileEnd, 50.0, 1e-4) << "the count runs on against the sum of both totals";
    EXPECT_EQ(stagesSeen.mid(0, 1), QStringList{QStringLiteral("importing remote structure")});
    EXPECT_EQ(stagesSeen.filter(QStringLiteral("local structure")), QStringList()) << "nothing read from disk";
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(paths(i), kWorkedPaths);
        EXPECT_EQ(fields(i, 1), QStringLiteral("False|False|True|True|0000000000|20011231|235958"));
        EXPECT_EQ(fields(i, 3), QStringLiteral("True|False|False|False|0000056789|20020102|030405"));
    }
}

// A file written by hand or by another tool (letter case, blanks, short
// sizes) gives the texts a live scan of the same tree gives.
TEST_F(Importing, OneImportedStructureFacesALiveScanOfTheSameTreeWithItsTexts)
{
    // The worked example's tree, live, under D:\Work.
    file(d, QStringLiteral("Work/notes.txt"), QByteArray(1234, 'n'), QDateTime(QDate(2002, 8, 24), QTime(14, 5, 9)));
    file(d, QStringLiteral("Work/Alpha/a.dat"), QByteArray());
    folder(d, QStringLiteral("Work/Alpha/Empty"));
    file(d, QStringLiteral("Work/Beta/b.txt"), QByteArray(56789, 'b'));
    QByteArray text = "38\r\nD:\\Work\r\n2\r\nAlpha\r\nBeta\r\n4\r\n"
                      " false\r\nFALSE\r\nFalse \r\ntrue\r\n1234\r\n 20020824\r\n140509 \r\nD:\\Work\\notes.txt\r\n"
                      "False\r\nFalse\r\nTrue\r\nTrue\r\n0\r\n20011231\r\n235958\r\nD:\\Work\\Alpha\\a.dat\r\n";
    for (int k = 0; k < 7; ++k) text += "\"null\"\r\n";
    text += "D:\\Work\\Alpha\\Empty\\\"NULL\"\r\n"
            "True\r\nFalse\r\nFalse\r\nFalse\r\n00000000056789\r\n20020102\r\n030405\r\nD:\\Work\\Beta\\b.txt\r\n";
    file(c, QStringLiteral("s.qms"), text);
    importing(QString(), QStringLiteral("C:\\s.qms"));
    g().CurrentPath[0] = QStringLiteral("D:\\Work");
    expectDifferMessage();   // the other live files are of today
    compareAndClose();
    EXPECT_EQ(stagesSeen.mid(0, 3), (QStringList{QStringLiteral("importing remote structure"),
                                                 QStringLiteral("scanning local structure - no progress percentage available"),
                                                 QStringLiteral("preparing local structure")}));
    EXPECT_EQ(paths(0), kWorkedPaths);
    EXPECT_EQ(paths(1), kWorkedPaths);
    EXPECT_EQ(fields(1, 0), fields(0, 0)) << "the live scan's texts for the same file";
    EXPECT_EQ(fields(1, 0), QStringLiteral("False|False|False|True|0000001234|20020824|140509"));
    EXPECT_EQ(fields(1, 2), QStringLiteral("\"NULL\"|\"NULL\"|\"NULL\"|\"NULL\"|\"NULL\"|\"NULL\"|\"NULL\""));
    EXPECT_EQ(entryTexts(1, 5).value(3), QStringLiteral("0000056789"));
}

QByteArray damagedExample(int line, const QByteArray& replacement, bool cut = false)
{
    QList<QByteArray> lines = workedExample().split('\n');
    lines.removeLast();
    if (cut) lines = lines.mid(0, line - 1);
    else lines[line - 1] = replacement + '\r';
    QByteArray out;
    for (const QByteArray& l : lines) out += l + '\n';
    return out;
}

TEST_F(Importing, ADamagedFileEndsTheRunWithAMessageNamingFileAndLine)
{
    const std::pair<QByteArray, const char16_t*> faults[] = {
        {damagedExample(20, "", true), u"line 20 is missing: the file ends before the lines that its header announces."},
        {damagedExample(6, "four"), u"line 6 does not hold a whole number."},
        {damagedExample(9, "Yes"), u"line 9 is neither True nor False."},
        {damagedExample(11, "12.5"), u"line 11 does not hold a size in bytes."},
        {damagedExample(12, "2002824"), u"line 12 does not hold a date as YYYYMMDD."},
        {damagedExample(13, "240000"), u"line 13 does not hold a time as HHMMSS."},
        {damagedExample(22, "E:\\Elsewhere\\a.dat"), u"line 22 holds a path that does not begin with the folder 'D:\\Work\\'."},
        {damagedExample(19, "\"NULL\""), u"line 19 mixes the empty folder marker with the values of a file."},
        {damagedExample(22, QByteArray("D:\\Work\\a") + '\0' + "b.dat"), u"line 22 holds a NUL character."},
        // Line 1 is read for the total before any file's records.
        {damagedExample(1, "0"), u"line 1 does not hold a whole number."},
        {damagedExample(1, "many"), u"line 1 does not hold a whole number."},
        {QByteArray(), u"line 1 is missing: the file ends before the lines that its header announces."},
    };
    file(c, QStringLiteral("Left/a.txt"));
    g().CurrentPath[0] = QStringLiteral("C:\\Left");
    importing(QString(), QStringLiteral("C:\\bad.qms"));
    for (const auto& [content, sentence] : faults) {
        file(c, QStringLiteral("bad.qms"), content);
        desk.expectMsgBox(kResultsTitle,
                          QStringLiteral("The structure file 'C:\\bad.qms' cannot be used: ") + QString::fromUtf16(sentence)
                              + QStringLiteral("\r\n\r\nThe comparison process failed."),
                          ui::vbCriticalOK, ui::vbOK);
        openWindow([&] { ui::Input::click(*win.cmdCompare); });
        EXPECT_FALSE(win.isLoaded()) << QString::fromUtf16(sentence).toStdString();
        EXPECT_FALSE(g().ComparisonInProgress);
    }
    // Every file's line 1 is checked before any file's records are read.
    file(c, QStringLiteral("good.qms"), workedExample());
    file(c, QStringLiteral("bad.qms"), damagedExample(1, "x"));
    importing(QStringLiteral("C:\\good.qms"), QStringLiteral("C:\\bad.qms"));
    desk.expectMsgBox(kResultsTitle,
                      QStringLiteral("The structure file 'C:\\bad.qms' cannot be used: line 1 does not hold a whole number."
                                     "\r\n\r\nThe comparison process failed."),
                      ui::vbCriticalOK, ui::vbOK);
    const auto recordsRead = std::make_shared<bool>(false);   // the handler outlives the test
    desk.onYield([] { return compare::EntryLists(0).count() > 0; }, [recordsRead] { *recordsRead = true; });
    openWindow([&] { ui::Input::click(*win.cmdCompare); });
    EXPECT_FALSE(*recordsRead);
    EXPECT_FALSE(win.isLoaded());
}

TEST_F(Importing, AMissingFileIsReportedOnOpeningAndNamedByTheRun)
{
    file(c, QStringLiteral("work.qms"), workedExample());
    importing(QStringLiteral("C:\\gone.qms"), QStringLiteral("C:\\work.qms"));
    desk.expectMsgBoxContaining(QStringLiteral("Tarnwick [ 314 ]"), QStringLiteral("File not found"), ui::vbQuestionYesNo, ui::vbNo);
    desk.expectMsgBox(kResultsTitle,
                      QStringLiteral("The structure file 'C:\\gone.qms' cannot be opened: File not found.\r\n\r\n"
                                     "The comparison process failed."),
                      ui::vbCriticalOK, ui::vbOK);
    openWindow([&] {
        EXPECT_EQ(win.lblCurrentFullPath[0]->caption(), QStringLiteral("\\"));   // only the separator
        EXPECT_EQ(win.lblCurrentFullPath[1]->caption(), QStringLiteral("D:\\Work\\"));   // the root of its file
        ui::Input::click(*win.cmdCompare);
    });
    EXPECT_FALSE(win.isLoaded());
}

// A file that goes away while the one before it is read is named when the
// run comes to it, in the language of the run.
TEST_F(Importing, AFileThatGoesAwayBeforeItsTurnIsNamed)
{
    for (const bool greek : {false, true}) {
        g().LanguageIsGreek = greek;
        file(c, QStringLiteral("p.qms"), workedExample());
        file(c, QStringLiteral("s.qms"), workedExample());
        importing(QStringLiteral("C:\\p.qms"), QStringLiteral("C:\\s.qms"));
        desk.onYield([&] { return win.isLoaded() && compare::EntryLists(0).count() > 0; },
                     [&] { ASSERT_TRUE(QFile::remove(nativeOf(c, QStringLiteral("s.qms")))); });
        desk.expectMsgBox(greek ? QStringLiteral("Αποτελέσματα συγκρίσεως") : kResultsTitle,
                          greek ? QStringLiteral("Το αρχείο δομής 'C:\\s.qms' δεν μπορεί να ανοιχθεί: File not found.\r\n\r\n"
                                                 "Η διαδικασία της συγκρίσεως απέτυχε.")
                                : QStringLiteral("The structure file 'C:\\s.qms' cannot be opened: File not found.\r\n\r\n"
                                                 "The comparison process failed."),
                          ui::vbCriticalOK, ui::vbOK);
        openWindow([&] { ui::Input::click(*win.cmdCompare); });
        EXPECT_FALSE(win.isLoaded());
        EXPECT_FALSE(g().ComparisonInProgress);
    }
}

// The header read, the run yields before the first record: a cancel
// there leaves no record read and the bar at the header's lines.
TEST_F(Importing, CancelAfterTheHeader)
{
    file(c, QStringLiteral("p.qms"), workedExample());
    importing(QStringLiteral("C:\\p.qms"), QString());
    double shown = -1;
    desk.onYield([&] { return win.lblProcessInProgress->caption() == QStringLiteral("importing remote structure"); },
                 [&] {
                     shown = win.prbProgressBar->value();
                     desk.expectMsgBox(kCancelTitle, kCancelText, ui::vbQuestionYesNoDefNo, ui::vbYes);
                     ui::Input::click(*win.cmdCancel);
                 });
    openWindow([&] { ui::Input::click(*win.cmdCompare); });
    EXPECT_FALSE(win.isLoaded());
    EXPECT_EQ(paths(0), QStringList());
    EXPECT_NEAR(shown, 100.0 * 6 / 38, 1e-4) << "the six lines of the header";
}

TEST_F(Importing, CancelWhileReadingRecords)
{
    file(c, QStringLiteral("p.qms"), workedExample());
    file(c, QStringLiteral("s.qms"), workedExample());
    importing(QStringLiteral("C:\\p.qms"), QStringLiteral("C:\\s.qms"));
    desk.onYieldNumber(3, [&] {
        desk.expectMsgBox(kCancelTitle, kCancelText, ui::vbQuestionYesNoDefNo, ui::vbYes);
        ui::Input::click(*win.cmdCancel);
    });
    openWindow([&] { ui::Input::click(*win.cmdCompare); });
    EXPECT_FALSE(win.isLoaded());
    EXPECT_LT(paths(0).size(), 4) << "the run stopped within one record";
}

} // namespace
