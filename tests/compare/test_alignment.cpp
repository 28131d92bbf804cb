// The folder, file and grid stages over working lists prepared directly:
// folder rows and their codes, output rows, the grid's texts, colours and
// merges, the fail-safe reports, letter case, names that hold "|", and the
// flash of a found difference.
#include "compare_fixture.h"

#include "compare/AlignmentStages.h"
#include "compare/CompareRun.h"
#include "compare/FileAlignment.h"
#include "compare/FolderAlignment.h"
#include "compare/GridFill.h"
#include "platform/AppError.h"

using namespace compare_test;

namespace {

constexpr ui::Color kGrey = 0xE0E0E0, kWhite = 0xFFFFFF, kGreen = 0x00FF00, kTint0 = 0xC0E0FF, kTint1 = 0xFFFFC0;

struct Row {
    QString text;
    int code;
    bool operator==(const Row&) const = default;
};
void PrintTo(const Row& r, std::ostream* os) { *os << r.text.toStdString() << " (" << r.code << ")"; }

class Alignment : public CompareTest {
protected:
    void SetUp() override
    {
        CompareTest::SetUp();
        g().DateFormatName = QStringLiteral("short");
        g().TimeFormatName = QStringLiteral("long");
        g().FailSafeChecks = true;
        for (auto* lists : {&hidden().lstAlignedFoldersUnsorted, &hidden().lstAlignedFoldersSorted,
                            &hidden().lstPerLevelFilesSorted, &hidden().lstOutput})
            for (int i = 0; i < 2; ++i) (*lists)[i]->clear();
        for (int i = 0; i < 2; ++i)
            for (int l = 0; l < 8; ++l) entryList(i, l)->clear();
        win.load();
    }
    void entry(int i, const QString& path, const QString& size = QStringLiteral("0000000010"),
               const QString& date = QStringLiteral("20240101"), const QString& time = QStringLiteral("120000"))
    {
        const bool marker = compare::IsEmptyFolderEntry(path);
        const QString m = QStringLiteral("\"NULL\"");
        const QString values[8] = {path, marker ? m : QStringLiteral("False"), marker ? m : QStringLiteral("False"),
                                   marker ? m : QStringLiteral("False"), marker ? m : QStringLiteral("True"),
                                   marker ? m : size, marker ? m : date, marker ? m : time};
        for (int l = 0; l < 8; ++l) entryList(i, l)->addItem(values[l], entryList(i, l)->listCount());
    }
    void run(const std::function<void(compare::CompareRun&)>& stages)
    {
        compare::CompareRun r(win);
        r.state().StructureRoot = {QStringLiteral("C:\\P\\"), QStringLiteral("D:\\S\\")};
        r.state().sideTint = {kTint0, kTint1};
        try {
            stages(r);
        } catch (const compare::RunLeave&) {
            left = true;
        }
        differ = r.state().StructuresDiffer;
    }
    void runAll() { run([](compare::CompareRun& r) { compare::RunAlignmentAndGridStages(r); }); }
    std::vector<Row> rows(const ui::ListBox& list)
    {
        std::vector<Row> out;
        for (int k = 0; k < list.listCount(); ++k) out.push_back({list.list(k), list.itemData(k)});
        return out;
    }
    std::vector<Row> folders(int i) { return rows(*hidden().lstAlignedFoldersSorted[i]); }
    std::vector<Row> output(int i) { return rows(*hidden().lstOutput[i]); }
    QStringList cells(int r)
    {
        QStringList out;
        for (int c = 0; c < 9; ++c) out << win.grdResults->textMatrix(r, c);
        return out;
    }
    std::vector<ui::Color> colours(int r)
    {
        std::vector<ui::Color> out;
        for (int c = 1; c < 9; ++c) out.push_back(win.grdResults->cellBackColorAt(r, c));
        return out;
    }
    // The worked example of the two structures.
    void workedExample()
    {
        entry(0, QStringLiteral("a.txt"));
        entry(0, QStringLiteral("b.txt"));
        entry(0, QStringLiteral("Docs\\x.txt"));
        entry(0, QStringLiteral("Empty\\\"NULL\""));
        entry(1, QStringLiteral("a.txt"));
        entry(1, QStringLiteral("c.txt"));
        entry(1, QStringLiteral("Docs\\x.txt"), QStringLiteral("0000000010"), QStringLiteral("20240102"));
        entry(1, QStringLiteral("Docs\\y.txt"));
        entry(1, QStringLiteral("Other\\z.txt"));
    }
    bool left = false;
    bool differ = false;
};

const QString kLine = QStringLiteral("|False|False|False|True|0000000010|20240101|120000");

TEST_F(Alignment, FolderRowsOfTheWorkedExample)
{
    workedExample();
    run([](compare::CompareRun& r) {
        compare::AlignmentWork w;
        compare::CollectFolders(r, w);
        compare::AlignPrimaryFolders(r, w);
        compare::AlignSecondaryFolders(r, w);
        compare::CheckAlignedFolders(r, w);
    });
    ASSERT_FALSE(left);
    EXPECT_EQ(folders(0), (std::vector<Row>{{"\\", 0}, {"Docs", 0}, {"Empty", 2}, {"Other", 1}}));
    EXPECT_EQ(folders(1), (std::vector<Row>{{"\\", 0}, {"Docs", 0}, {"Empty", 1}, {"Other", 0}}));
    EXPECT_EQ(items(*hidden().lstAlignedFoldersUnsorted[0]), (QStringList{"\\", "Docs", "Empty"}));
    // The empty folder's entry left the eight lists, and not for lstExcluded.
    EXPECT_EQ(items(*hidden().lstFinalListBox[0]), (QStringList{"a.txt", "b.txt", "Docs\\x.txt"}));
    EXPECT_EQ(hidden().lstTime[0]->listCount(), 3);
    EXPECT_EQ(hidden().lstExcluded[0]->listCount(), 0);
}

TEST_F(Alignment, OutputRowsGridAndTotalsOfTheWorkedExample)
{
    workedExample();
    runAll();
    ASSERT_FALSE(left);
    const QString a = QStringLiteral("a.txt") + kLine, b = QStringLiteral("b.txt") + kLine;
    EXPECT_EQ(output(0), (std::vector<Row>{{a, 0}, {b, 0}, {"c.txt|", 1}, {"Docs\\", 0}, {"x.txt" + kLine, 0},
                                           {"y.txt|", 1}, {"Empty\\", 2}, {"Other\\", 1}, {"z.txt|", 1}}));
    EXPECT_EQ(output(1), (std::vector<Row>{{a, 0}, {"b.txt|", 1}, {"c.txt" + kLine, 0}, {"Docs\\", 0},
                                           {"x.txt|False|False|False|True|0000000010|20240102|120000", 0},
                                           {"y.txt" + kLine, 0}, {"Empty\\", 1}, {"Other\\", 0}, {"z.txt" + kLine, 0}}));
    // Everything consumed; the last pair's names stay.
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(hidden().lstFinalListBox[i]->listCount(), 0);
        EXPECT_EQ(hidden().lstDate[i]->listCount(), 0);
        EXPECT_EQ(hidden().lstAlignedFoldersSorted[i]->listCount(), 0);
        EXPECT_EQ(hidden().lstPerLevelFilesAndAttributes[i]->listCount(), 0);
    }
    EXPECT_EQ(rows(*hidden().lstPerLevelFilesSorted[1]), (std::vector<Row>{{"z.txt", 0}}));
    EXPECT_EQ(rows(*hidden().lstPerLevelFilesSorted[0]), (std::vector<Row>{{"z.txt", 1}}));

    ui::FlexGrid& grid = *win.grdResults;
    ASSERT_EQ(grid.rows(), 10);
    EXPECT_EQ(grid.cols(), 9);
    EXPECT_EQ(cells(0), (QStringList{"", "Name", "Name", "Size", "Size", "Date", "Date", "Time", "Time"}));
    EXPECT_FALSE(grid.mergeRow(0));
    const QString d1 = QStringLiteral("01/01/2024"), t = QStringLiteral("12:00:00");
    const QString x = QStringLiteral(" ");
    EXPECT_EQ(cells(1), (QStringList{"", "a.txt", "a.txt", "10", "10", d1, d1, t, t}));
    EXPECT_EQ(colours(1), std::vector<ui::Color>(8, kGrey));
    EXPECT_EQ(grid.mergedSpan(1, 1), std::make_pair(1, 2)) << "an equal pair shows once";
    EXPECT_EQ(cells(2), (QStringList{"", "b.txt", x, "10", x, d1, x, t, x}));
    EXPECT_EQ(colours(2), (std::vector<ui::Color>{kTint0, kTint1, kTint0, kTint1, kTint0, kTint1, kTint0, kTint1}));
    EXPECT_EQ(cells(3), (QStringList{"", x, "c.txt", x, "10", x, d1, x, t}));
    EXPECT_EQ(cells(4), (QStringList{"", "Docs\\", "Docs\\", "     ", "     ", "   ", "   ", "     ", "     "}));
    EXPECT_EQ(colours(4), std::vector<ui::Color>(8, kGreen));
    EXPECT_EQ(grid.mergedSpan(4, 3), std::make_pair(3, 4));
    EXPECT_EQ(grid.mergedSpan(4, 5), std::make_pair(5, 6)) << "neighbouring pairs stay apart";
    EXPECT_EQ(cells(5), (QStringList{"O", "x.txt", "x.txt", "10", "10", d1, "02/01/2024", t, t}));
    EXPECT_EQ(colours(5), (std::vector<ui::Color>{kGrey, kGrey, kGrey, kGrey, kTint0, kTint1, kGrey, kGrey}));
    EXPECT_EQ(cells(7), (QStringList{"", "Empty\\", x, "    ", "   ", "    ", "   ", "    ", "   "}));
    EXPECT_EQ(colours(7), std::vector<ui::Color>(8, kGreen));
    for (int c = 1; c < 9; ++c) EXPECT_EQ(grid.mergedSpan(7, c), std::make_pair(c, c));
    EXPECT_EQ(cells(8), (QStringList{"", x, "Other\\", "    ", "   ", "    ", "   ", "    ", "   "}));
    EXPECT_EQ(cells(9)[2], QStringLiteral("z.txt"));
    EXPECT_EQ(colours(6)[0], kTint0);
    EXPECT_EQ(colours(6)[1], kTint1);
    for (int c = 0; c < 9; ++c) {
        EXPECT_EQ(grid.colAlignment(c), 4);
        EXPECT_EQ(grid.fixedAlignment(c), 4);
    }
    EXPECT_TRUE(differ);
    EXPECT_EQ(win.lblTotalFolders[0]->caption(), QStringLiteral("Folders: 2."));
    EXPECT_EQ(win.lblTotalFiles[0]->caption(), QStringLiteral("Files: 3."));
    EXPECT_EQ(win.lblTotalFolders[1]->caption(), QStringLiteral("Folders: 2."));
    EXPECT_EQ(win.lblTotalFiles[1]->caption(), QStringLiteral("Files: 5."));
    EXPECT_EQ(g().ComparedPath[0], QStringLiteral("C:\\P\\"));
    EXPECT_EQ(g().ComparedPath[1], QStringLiteral("D:\\S\\"));
    EXPECT_FALSE(win.prbSubProgressBar->visible());
    EXPECT_FALSE(win.lblStep[0]->visible());
}

TEST_F(Alignment, IdenticalStructuresDoNotDifferAndShowNoMarker)
{
    for (int i = 0; i < 2; ++i) {
        entry(i, QStringLiteral("a.txt"));
        entry(i, QStringLiteral("Sub\\b.txt"));
        entry(i, QStringLiteral("Sub\\Empty\\\"NULL\""));
    }
    runAll();
    EXPECT_FALSE(differ);
    EXPECT_EQ(output(0), output(1));
    EXPECT_EQ(output(0)[3], (Row{"Sub\\Empty\\", 2})) << "empty on both sides";
    EXPECT_EQ(cells(1)[0], QString());
    EXPECT_EQ(cells(4)[1], QStringLiteral("Sub\\Empty\\"));
}

// --- Letter case ------------------------------------------------------------------

TEST_F(Alignment, OnACaseBlindVolumeNamesDifferingInCaseFaceEachOther)
{
    g().VolumeIsCaseSensitive = false;
    entry(0, QStringLiteral("b.txt"));
    entry(0, QStringLiteral("DOCS\\Read.me"), QStringLiteral("0000000010"), QStringLiteral("20240105"));
    entry(1, QStringLiteral("B.TXT"));
    entry(1, QStringLiteral("docs\\READ.ME"));
    runAll();
    ASSERT_FALSE(left);
    EXPECT_EQ(output(0), (std::vector<Row>{{"b.txt" + kLine, 0}, {"DOCS\\", 0},
                                           {"Read.me|False|False|False|True|0000000010|20240105|120000", 0}}));
    EXPECT_EQ(output(1), (std::vector<Row>{{"B.TXT" + kLine, 0}, {"docs\\", 0}, {"READ.ME" + kLine, 0}}));
    EXPECT_EQ(cells(3)[0], QStringLiteral("N")) << "names equal under the case rule get the marker";
    EXPECT_EQ(colours(1), std::vector<ui::Color>(8, kGrey)) << "b.txt and B.TXT are one name";
    EXPECT_EQ(colours(3)[0], kGrey);
    EXPECT_EQ(colours(3)[4], kTint0);
    EXPECT_TRUE(differ);
}

TEST_F(Alignment, OnACaseSensitiveVolumeEachSpellingHasItsOwnRow)
{
    entry(0, QStringLiteral("a.TXT"));
    entry(0, QStringLiteral("A.txt"));
    entry(0, QStringLiteral("Docs\\a.txt"));
    entry(1, QStringLiteral("a.txt"));
    entry(1, QStringLiteral("docs\\a.txt"));
    runAll();
    ASSERT_FALSE(left);
    EXPECT_EQ(output(0), (std::vector<Row>{{"A.txt" + kLine, 0}, {"a.TXT" + kLine, 0}, {"a.txt|", 1}, {"Docs\\", 0},
                                           {"a.txt" + kLine, 0}, {"docs\\", 1}, {"a.txt|", 1}}));
    EXPECT_EQ(output(1), (std::vector<Row>{{"A.txt|", 1}, {"a.TXT|", 1}, {"a.txt" + kLine, 0}, {"Docs\\", 1},
                                           {"a.txt|", 1}, {"docs\\", 0}, {"a.txt" + kLine, 0}}));
}

TEST_F(Alignment, TwoSpellingsOnOneCaseBlindSideFaceOneByOne)
{
    g().VolumeIsCaseSensitive = false;
    entry(0, QStringLiteral("Name"));
    entry(0, QStringLiteral("name"));
    entry(1, QStringLiteral("NAME"));
    runAll();
    ASSERT_FALSE(left) << "no fail-safe report: the k-th spelling faces the k-th";
    EXPECT_EQ(output(0), (std::vector<Row>{{"Name" + kLine, 0}, {"name" + kLine, 0}}));
    EXPECT_EQ(output(1), (std::vector<Row>{{"NAME" + kLine, 0}, {"name|", 1}}));
}

// --- Names the lists cannot mistake ------------------------------------------------

TEST_F(Alignment, ANameHoldingBarsKeepsItsFields)
{
    entry(0, QStringLiteral("odd|name|True|1.txt"), QStringLiteral("0005000000000"));
    entry(1, QStringLiteral("odd|name|True|1.txt"), QStringLiteral("0005000000000"));
    runAll();
    ASSERT_FALSE(left) << "no Fatal Internal Error";
    EXPECT_EQ(cells(1), (QStringList{"", "odd|name|True|1.txt", "odd|name|True|1.txt", "5,000,000,000", "5,000,000,000",
                                     "01/01/2024", "01/01/2024", "12:00:00", "12:00:00"}));
    EXPECT_FALSE(differ);
}

TEST_F(Alignment, AMarkerTextIsAnEmptyFolderOnlyAsAWholeLastName)
{
    entry(0, QStringLiteral("\"NULL\""));           // a file of the root
    entry(0, QStringLiteral(" \\f.txt"));           // a folder named with a blank
    entry(0, QStringLiteral("X\\a\"NULL\""));       // a file whose name ends like it
    entry(1, QStringLiteral("\"NULL\""));
    entry(1, QStringLiteral(" \\f.txt"));
    entry(1, QStringLiteral("X\\a\"NULL\""));
    runAll();
    ASSERT_FALSE(left);
    EXPECT_EQ(output(0), (std::vector<Row>{{"\"NULL\"" + kLine, 0}, {" \\", 0}, {"f.txt" + kLine, 0}, {"X\\", 0},
                                           {"a\"NULL\"" + kLine, 0}}));
    EXPECT_EQ(win.lblTotalFolders[0]->caption(), QStringLiteral("Folders: 2."));
}

TEST_F(Alignment, AFolderWhoseEntriesAreApartGetsOneRow)
{
    g().FailSafeChecks = false;
    entry(0, QStringLiteral("A\\1.txt"));
    entry(0, QStringLiteral("B\\2.txt"));
    entry(0, QStringLiteral("A\\3.txt"));
    entry(1, QStringLiteral("A\\1.txt"));
    runAll();
    ASSERT_FALSE(left);
    EXPECT_EQ(output(0).size(), output(1).size());
    EXPECT_EQ(output(0)[2], (Row{"3.txt" + kLine, 0}));
    EXPECT_EQ(output(1)[2], (Row{"3.txt|", 1}));
}

TEST_F(Alignment, AOneSidedNameOfOneBlankIsNeverTakenForTheOtherSide)
{
    for (const int side : {0, 1}) {
        for (int i = 0; i < 2; ++i)
            for (int l = 0; l < 8; ++l) entryList(i, l)->clear();
        entry(side, QStringLiteral(" "), QStringLiteral("0000000010"), QStringLiteral("20240102"));
        entry(0, QStringLiteral("x"));
        entry(1, QStringLiteral("x"));
        runAll();
        ASSERT_FALSE(left);
        EXPECT_EQ(cells(1)[0], QString()) << "no newer/older marker, side " << side;
        for (int c = 1; c < 9; ++c)
            EXPECT_EQ(win.grdResults->mergedSpan(1, c), std::make_pair(c, c)) << "merged at column " << c << ", side " << side;
        EXPECT_EQ(colours(1)[0], kTint0) << "the name cells differ";
        EXPECT_EQ(colours(1)[1], kTint1);
    }
}

// --- Fail-safe checks ------------------------------------------------------------------

TEST_F(Alignment, FoldersMetOutOfOrderFailTheCollectingCheck)
{
    entry(0, QStringLiteral("B\\1.txt"));
    entry(0, QStringLiteral("A\\1.txt"));
    entry(1, QStringLiteral("A\\1.txt"));
    desk.expectMsgBox(QStringLiteral("Fail-safe check - Collecting folders"),
                      QStringLiteral("While checking the Primary Structure 'C:\\P\\', folder 'A', is in compliance with "
                                     "folder 'B', something that is not correct.\n\nThe comparison process failed."),
                      ui::vbCriticalOK, ui::vbOK);
    runAll();
    EXPECT_TRUE(left);
    EXPECT_FALSE(win.isLoaded());
}

TEST_F(Alignment, FoldersMetOutOfOrderFailInGreekToo)
{
    g().LanguageIsGreek = true;
    entry(0, QStringLiteral("a.txt"));
    entry(1, QStringLiteral("B\\1.txt"));
    entry(1, QStringLiteral("A\\1.txt"));
    desk.expectMsgBox(QStringLiteral("Έλεγχος αποτυχίας - Συλλογή φακέλλων"),
                      QStringLiteral("Κατά τον έλεγχο της Δευτερευούσης Δομής «D:\\S\\», ο φάκελλος «A», αντιστοιχεί στον "
                                     "φάκελλο «B», κάτι το οποίο δεν είναι σωστό.\n\nΗ διαδικασία της συγκρίσεως απέτυχε."),
                      ui::vbCriticalOK, ui::vbOK);
    runAll();
    EXPECT_TRUE(left);
}

TEST_F(Alignment, ThePairCheckShowsItsLabelAndPutsTheStageBack)
{
    entry(0, QStringLiteral("a.txt"));
    entry(1, QStringLiteral("a.txt"));
    entry(0, QStringLiteral("Z\\b.txt"));
    QStringList labels;
    desk.onYield([] { return true; },
                 [&] {
                     const QString s = win.lblProcessInProgress->caption();
                     if (labels.isEmpty() || labels.last() != s) labels << s;
                 },
                 true);
    runAll();
    const QString files = QStringLiteral("aligning files - this process might take some time");
    EXPECT_EQ(labels, (QStringList{"collecting folders", "fail-safe check", "aligning primary structure folders",
                                   "aligning secondary structure folders", "fail-safe check", files, "fail-safe check",
                                   files, "fail-safe check", files, "initializing grid", "populating grid",
                                   "final processing"}));
}

TEST_F(Alignment, WithoutFailSafeNoCheckRuns)
{
    g().FailSafeChecks = false;
    entry(0, QStringLiteral("a.txt"));
    entry(1, QStringLiteral("a.txt"));
    QStringList labels;
    desk.onYield([] { return true; }, [&] { labels << win.lblProcessInProgress->caption(); }, true);
    runAll();
    EXPECT_FALSE(labels.contains(QStringLiteral("fail-safe check")));
}

TEST_F(Alignment, CancelInTheGridStagesStopsAtOnce)
{
    for (int k = 0; k < 50; ++k) {
        entry(0, QStringLiteral("f%1").arg(k));
        entry(1, QStringLiteral("f%1").arg(k));
    }
    int cellsAtCancel = -1;
    desk.onYield([&] { return win.lblProcessInProgress->caption() == QStringLiteral("populating grid"); },
                 [&] {
                     g().CancelRequested = true;
                     cellsAtCancel = 0;
                 });
    runAll();
    EXPECT_TRUE(left);
    EXPECT_EQ(cellsAtCancel, 0);
    EXPECT_EQ(win.grdResults->textMatrix(1, 1), QStringLiteral(" ")) << "populating stopped before its first row";
    g().CancelRequested = false;
}

// --- Grid details ------------------------------------------------------------------------

TEST_F(Alignment, GreekHeadingsMarkersAndTotals)
{
    g().LanguageIsGreek = true;
    entry(0, QStringLiteral("a"), QStringLiteral("0000000010"), QStringLiteral("20240101"), QStringLiteral("120001"));
    entry(1, QStringLiteral("a"));
    entry(0, QStringLiteral("b"));
    entry(1, QStringLiteral("b"), QStringLiteral("0000000010"), QStringLiteral("20240101"), QStringLiteral("120001"));
    runAll();
    EXPECT_EQ(cells(0), (QStringList{"", "Όνομα", "Όνομα", "Μέγεθος", "Μέγεθος", "Χρονολογία", "Χρονολογία", "Ώρα", "Ώρα"}));
    EXPECT_EQ(cells(1)[0], QStringLiteral("Ν"));
    EXPECT_EQ(cells(2)[0], QStringLiteral("Π"));
    EXPECT_EQ(win.lblTotalFolders[0]->caption(), QStringLiteral("Φάκελλοι: 0."));
    EXPECT_EQ(win.lblTotalFiles[1]->caption(), QStringLiteral("Αρχεία: 2."));
}

TEST_F(Alignment, ShortTimeHidesASecondsDifferenceButTheMarkerTellsIt)
{
    g().TimeFormatName = QStringLiteral("short");
    entry(0, QStringLiteral("a"), QStringLiteral("0000000010"), QStringLiteral("20240101"), QStringLiteral("120001"));
    entry(1, QStringLiteral("a"));
    runAll();
    EXPECT_EQ(cells(1), (QStringList{"N", "a", "a", "10", "10", "01/01/2024", "01/01/2024", "12.00", "12.00"}));
    EXPECT_FALSE(differ);
}

TEST_F(Alignment, ABadDateIsARunTimeError)
{
    entry(0, QStringLiteral("a"), QStringLiteral("0000000010"), QStringLiteral("99999999"));
    entry(1, QStringLiteral("a"));
    EXPECT_THROW(
        {
            compare::CompareRun r(win);
            compare::AlignmentWork w;
            compare::CollectFolders(r, w);
            compare::AlignPrimaryFolders(r, w);
            compare::AlignSecondaryFolders(r, w);
            compare::AlignFiles(r, w);
            compare::InitializeGrid(r);
            compare::PopulateGrid(r);
        },
        platform::AppError);
}

TEST_F(Alignment, FlashTogglesRedAndEndsOnTheOwnColour)
{
    entry(0, QStringLiteral("a"));
    entry(1, QStringLiteral("b"));
    runAll();
    ui::FlexGrid& grid = *win.grdResults;
    grid.setRow(1);
    grid.setCol(1);
    win.cmdDisplayNextDifference->setTag(QString::number(kTint0));
    win.Timer2->setEnabled(true);
    std::vector<ui::Color> seen;
    for (int tick = 1; tick <= 11; ++tick) {
        win.Timer2->setTag(QString::number(tick));
        compare::cpFlashBackgroundColor(win);
        seen.push_back(grid.cellBackColor());
    }
    EXPECT_EQ(seen, (std::vector<ui::Color>{255, kTint0, 255, kTint0, 255, kTint0, 255, kTint0, 255, kTint0, kTint0}));
    EXPECT_FALSE(win.Timer2->enabled());
}

} // namespace
