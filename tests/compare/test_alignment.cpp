// The folder, file and grid stages over working lists prepared directly:
// output rows and their codes, the grid's markers, colours and merges, the
// fail-safe reports, letter case and names that hold "|". The whole grid of
// a real comparison is test_end_to_end.cpp's.
#include "compare_fixture.h"

#include "compare/AlignmentStages.h"
#include "compare/CompareRun.h"
#include "compare/FolderAlignment.h"
#include "compare/GridFill.h"
#include "platform/AppError.h"

#include <memory>

using namespace compare_test;

namespace {

constexpr ui::Color kTint0 = 0xC0E0FF, kTint1 = 0xFFFFC0;

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
        g().FailSafeChecks = true;
        clearLists();
        win.load();
    }
    void clearLists()
    {
        for (auto* lists : {&hidden().lstAlignedFoldersUnsorted, &hidden().lstAlignedFoldersSorted,
                            &hidden().lstPerLevelFilesSorted, &hidden().lstOutput})
            for (int i = 0; i < 2; ++i) (*lists)[i]->clear();
        for (int i = 0; i < 2; ++i) compare::EntryLists(i).clear();
    }
    void entry(int i, const QString& path, const QString& size = QStringLiteral("0000000010"),
               const QString& date = QStringLiteral("20240101"), const QString& time = QStringLiteral("120000"))
    {
        const QString m = QStringLiteral("\"NULL\"");
        if (compare::IsMarkerEntry(path)) compare::EntryLists(i).add(path, {m, m, m, m, m, m, m});
        else compare::EntryLists(i).add(path, {"False", "False", "False", "True", size, date, time});
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
    std::vector<Row> output(int i)
    {
        std::vector<Row> out;
        const ui::ListBox& list = *hidden().lstOutput[i];
        for (int k = 0; k < list.listCount(); ++k) out.push_back({list.list(k), list.itemData(k)});
        return out;
    }
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
    bool left = false;
    bool differ = false;
};

const QString kLine = QStringLiteral("|False|False|False|True|0000000010|20240101|120000");

// --- Output rows: letter case and names the lists cannot mistake --------------------

struct OutputCase {
    const char* name;
    bool caseSensitive;
    QStringList primary, secondary;
    // Expected rows: a text ending in "+" is a file row (its fields follow),
    // else the row's text as it stands; then its code.
    std::vector<std::pair<QString, int>> out0, out1;
};
void PrintTo(const OutputCase& c, std::ostream* os) { *os << c.name; }

class OutputRows : public Alignment, public ::testing::WithParamInterface<OutputCase> {};

TEST_P(OutputRows, FaceEachOtherRowByRow)
{
    const OutputCase& p = GetParam();
    g().VolumeIsCaseSensitive = p.caseSensitive;
    for (const QString& path : p.primary) entry(0, path);
    for (const QString& path : p.secondary) entry(1, path);
    runAll();
    ASSERT_FALSE(left) << "no fail-safe report, no Fatal Internal Error";
    auto expected = [](const std::vector<std::pair<QString, int>>& rows) {
        std::vector<Row> out;
        for (const auto& [t, code] : rows) out.push_back({t.endsWith(u'+') ? t.chopped(1) + kLine : t, code});
        return out;
    };
    EXPECT_EQ(output(0), expected(p.out0));
    EXPECT_EQ(output(1), expected(p.out1));
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(compare::EntryLists(i).count(), 0) << "every entry consumed";
        EXPECT_EQ(compare::EntryLists(i).valueCount(), 0);
        EXPECT_EQ(hidden().lstAlignedFoldersSorted[i]->listCount(), 0);
        EXPECT_EQ(hidden().lstExcluded[i]->listCount(), 0) << "empty folders leave the lists, not for lstExcluded";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OutputRows,
    ::testing::Values(
        // Rows on one side only, of files and of folders, are the end-to-end grid's.
        OutputCase{"caseBlindNamesFaceEachOther", false, {"b.txt", "DOCS\\Read.me"}, {"B.TXT", "docs\\READ.ME"},
                   {{"b.txt+", 0}, {"DOCS\\", 0}, {"Read.me+", 0}}, {{"B.TXT+", 0}, {"docs\\", 0}, {"READ.ME+", 0}}},
        OutputCase{"caseSensitiveSpellingsEachGetARow", true, {"a.TXT", "A.txt", "Docs\\a.txt"}, {"a.txt", "docs\\a.txt"},
                   {{"A.txt+", 0}, {"a.TXT+", 0}, {"a.txt|", 1}, {"Docs\\", 0}, {"a.txt+", 0}, {"docs\\", 1}, {"a.txt|", 1}},
                   {{"A.txt|", 1}, {"a.TXT|", 1}, {"a.txt+", 0}, {"Docs\\", 1}, {"a.txt|", 1}, {"docs\\", 0}, {"a.txt+", 0}}},
        OutputCase{"twoSpellingsOnOneCaseBlindSide", false, {"Name", "name"}, {"NAME"},
                   {{"Name+", 0}, {"name+", 0}}, {{"NAME+", 0}, {"name|", 1}}},
        OutputCase{"barsInANameKeepItsFields", true, {"odd|name|True|1.txt"}, {"odd|name|True|1.txt"},
                   {{"odd|name|True|1.txt+", 0}}, {{"odd|name|True|1.txt+", 0}}},
        OutputCase{"theMarkerOnlyAsAWholeLastName", true, {"\"NULL\"", " \\f.txt", "X\\a\"NULL\""},
                   {"\"NULL\"", " \\f.txt", "X\\a\"NULL\""},
                   {{"\"NULL\"+", 0}, {" \\", 0}, {"f.txt+", 0}, {"X\\", 0}, {"a\"NULL\"+", 0}},
                   {{"\"NULL\"+", 0}, {" \\", 0}, {"f.txt+", 0}, {"X\\", 0}, {"a\"NULL\"+", 0}}},
        OutputCase{"aFoldersEntriesApartGetOneRow", true, {"A\\1.txt", "B\\2.txt", "A\\3.txt"}, {"A\\1.txt"},
                   {{"A\\", 0}, {"1.txt+", 0}, {"3.txt+", 0}, {"B\\", 0}, {"2.txt+", 0}},
                   {{"A\\", 0}, {"1.txt+", 0}, {"3.txt|", 1}, {"B\\", 1}, {"2.txt|", 1}}}),
    [](const ::testing::TestParamInfo<OutputCase>& info) { return std::string(info.param.name); });

// On a case-blind volume two scanned folders that differ only in letter
// case are one folder row: each came in order from the scan, their files
// together are put in order before they face the other side's.
TEST_F(Alignment, ScannedFoldersOfOneKeyHaveTheirFilesSortedTogether)
{
    g().VolumeIsCaseSensitive = false;
    const std::vector<std::pair<QString, QStringList>> sides[2] = {
        {{QStringLiteral("DOCS\\"), {"b.txt"}}, {QStringLiteral("Docs\\"), {"a.txt", "c.txt"}}},
        {{QStringLiteral("docs\\"), {"a.txt", "b.txt", "c.txt"}}},
    };
    for (int i = 0; i < 2; ++i) {
        const compare::EntryLists entries(i);
        basGlobal::StructureEntrySink& sink = entries.sink();
        for (const auto& [folder, names] : sides[i]) {
            sink.beginFolder(folder);
            for (const QString& name : names) {
                platform::DirEntry e;
                e.name = name;
                e.facts.archive = true;
                e.facts.size = 10;
                e.facts.modified = {2024, 1, 1, 12, 0, 0};
                entries.appendFactValues(e.facts);
                sink.addFile(std::move(e));
            }
        }
    }
    runAll();
    ASSERT_FALSE(left);
    EXPECT_EQ(output(0), (std::vector<Row>{{"DOCS\\", 0}, {"a.txt" + kLine, 0}, {"b.txt" + kLine, 0}, {"c.txt" + kLine, 0}}));
    EXPECT_EQ(output(1), (std::vector<Row>{{"docs\\", 0}, {"a.txt" + kLine, 0}, {"b.txt" + kLine, 0}, {"c.txt" + kLine, 0}}));
}

// A scanned date the usual fields cannot hold (a year past 9999) keeps its
// own digits, beside files of ordinary dates.
TEST_F(Alignment, ScannedDatesBeyondTheUsualYearsKeepTheirDigits)
{
    const std::pair<const char*, platform::LocalDateTime> files[] = {
        {"a.txt", {2024, 1, 1, 12, 0, 0}}, {"b.txt", {12000, 3, 4, 5, 6, 7}},
        {"c.txt", {2024, 1, 1, 12, 0, 0}}};
    for (int i = 0; i < 2; ++i) {
        const compare::EntryLists entries(i);
        basGlobal::StructureEntrySink& sink = entries.sink();
        sink.beginFolder(QStringLiteral("Docs\\"));
        for (const auto& [name, when] : files) {
            platform::DirEntry e;
            e.name = QString::fromLatin1(name);
            e.facts.archive = true;
            e.facts.size = 10;
            e.facts.modified = when;
            entries.appendFactValues(e.facts);
            sink.addFile(std::move(e));
        }
    }
    runAll();
    ASSERT_FALSE(left);
    const std::vector<Row> expected{{"Docs\\", 0},
                                    {"a.txt" + kLine, 0},
                                    {"b.txt|False|False|False|True|0000000010|120000304|050607", 0},
                                    {"c.txt" + kLine, 0}};
    EXPECT_EQ(output(0), expected);
    EXPECT_EQ(output(1), expected);
}

TEST_F(Alignment, AOneSidedNameOfOneBlankIsNeverTakenForTheOtherSide)
{
    for (const int side : {0, 1}) {
        clearLists();
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
        // Next difference asks the same rule of the finished grid, where
        // the row does not merge: even with every pair reading alike.
        for (int c = 1; c < 9; ++c) win.grdResults->setTextMatrix(1, c, QStringLiteral(" "));
        EXPECT_EQ(compare::DifferingPairs(*win.grdResults, 1, true), 1u);
        for (int c = 1; c < 9; ++c) win.grdResults->setTextMatrix(2, c, QStringLiteral(" "));
        EXPECT_EQ(compare::DifferingPairs(*win.grdResults, 2, true), 0u) << "x faces x";
    }
}

// --- Fail-safe checks ------------------------------------------------------------------

TEST_F(Alignment, FoldersMetOutOfOrderFailTheCollectingCheck)
{
    entry(0, QStringLiteral("a.txt"));
    entry(1, QStringLiteral("B\\1.txt"));
    entry(1, QStringLiteral("A\\1.txt"));
    desk.expectMsgBox(QStringLiteral("Fail-safe check - Collecting folders"),
                      QStringLiteral("While checking the Secondary Structure 'D:\\S\\', folder 'A', is in compliance with "
                                     "folder 'B', something that is not correct.\r\n\r\nThe comparison process failed."),
                      ui::vbCriticalOK, ui::vbOK);
    runAll();
    EXPECT_TRUE(left);
    EXPECT_FALSE(win.isLoaded());
}

TEST_F(Alignment, TheAlignedFoldersCheckReportsListsThatDoNotFaceEachOther)
{
    auto lists = [&](const QStringList& primary, const QStringList& secondary) {
        for (int i = 0; i < 2; ++i) {
            hidden().lstAlignedFoldersSorted[i]->clear();
            for (const QString& f : i == 0 ? primary : secondary) hidden().lstAlignedFoldersSorted[i]->addItem(f);
        }
    };
    lists({"A", "B"}, {"A"});
    desk.expectMsgBox(QStringLiteral("Fail-safe check - Aligning folders"),
                      QStringLiteral("The number of aligned folders should be the same, but it isn't.\r\n\r\n"
                                     "The comparison process failed."),
                      ui::vbCriticalOK, ui::vbOK);
    run([](compare::CompareRun& r) { compare::CheckAlignedFolders(r, {}); });
    EXPECT_TRUE(left);

    g().LanguageIsGreek = true;
    left = false;
    win.load();
    lists({"A", "B"}, {"A", "C"});
    desk.expectMsgBoxContaining(QStringLiteral("Έλεγχος αποτυχίας - Ευθυγράμμιση φακέλλων"),
                                QStringLiteral("Ο φάκελλος «B» της Πρωτευούσης Δομής «C:\\P\\», αντιστοιχεί στον φάκελλο «C» "
                                               "της Δευτερευούσης Δομής «D:\\S\\», κάτι το οποίο δεν είναι σωστό."),
                                ui::vbCriticalOK, ui::vbOK);
    run([](compare::CompareRun& r) { compare::CheckAlignedFolders(r, {}); });
    EXPECT_TRUE(left);
    for (int i = 0; i < 2; ++i) hidden().lstAlignedFoldersSorted[i]->clear();
}

TEST_F(Alignment, ThePairCheckShowsItsLabelAndPutsTheStageBack)
{
    entry(0, QStringLiteral("a.txt"));
    entry(1, QStringLiteral("a.txt"));
    entry(0, QStringLiteral("Z\\b.txt"));
    const QString files = QStringLiteral("aligning files - this process might take some time");
    // The step display as the stage last yields, pairs done.
    bool stepsShown = false;
    desk.onYield([&] { return win.lblProcessInProgress->caption() == files; },
                 [&] { stepsShown = win.prbSubProgressBar->visible() && win.lblStep[0]->visible(); }, true);
    runAll();
    EXPECT_TRUE(stepsShown) << "the step display shows while the files are aligned";
    EXPECT_EQ(stagesSeen, (QStringList{"collecting folders", "fail-safe check", "aligning primary structure folders",
                                       "aligning secondary structure folders", "fail-safe check", files, "fail-safe check",
                                       files, "fail-safe check", files, "initializing grid", "populating grid",
                                       "final processing"}));
    EXPECT_TRUE(differ);
    EXPECT_FALSE(win.prbSubProgressBar->visible()) << "the step display leaves with its stage";
    EXPECT_FALSE(win.lblStep[0]->visible());
    g().FailSafeChecks = false;
    for (int i = 0; i < 2; ++i) entry(i, QStringLiteral("a.txt"));
    stagesSeen.clear();
    runAll();
    EXPECT_FALSE(stagesSeen.contains(QStringLiteral("fail-safe check")));
}

// The check of the aligned folders moves the bar one folder at a time.
TEST_F(Alignment, TheAlignedFoldersCheckMovesTheBarFolderByFolder)
{
    for (const char* f : {"A\\x.txt", "B\\y.txt", "C\\z.txt"})
        for (int i = 0; i < 2; ++i) entry(i, QLatin1String(f));
    const auto bar = std::make_shared<QList<int>>();   // the handler outlives the test
    desk.onYield([this] { return stagesSeen.size() == 5 && win.lblProcessInProgress->caption() == QLatin1String("fail-safe check"); },
                 [this, bar] { *bar << qRound(win.prbProgressBar->value()); }, true);
    runAll();
    ASSERT_GE(stagesSeen.size(), 5);
    EXPECT_EQ(stagesSeen[3], QStringLiteral("aligning secondary structure folders"));
    // The previous stage's full bar as the check opens, then a third a folder.
    EXPECT_EQ(*bar, QList<int>({100, 0, 33, 67}));
}

// The check of a pair's files runs the bar over three shares of its names:
// their comparison, then the names of each side whose folder is not there.
TEST_F(Alignment, TheFilesCheckOfAPairMovesTheBarNameByName)
{
    for (const char* f : {"a.txt", "b.txt", "c.txt"})
        for (int i = 0; i < 2; ++i) entry(i, QLatin1String(f));
    for (const char* f : {"Z\\x.txt", "Z\\y.txt"}) entry(0, QLatin1String(f));
    const QString files = QStringLiteral("aligning files - this process might take some time");
    // Per files check (each follows a files stage), the bar at each of its yields.
    const auto bars = std::make_shared<QList<QList<int>>>();   // the handlers outlive the test
    const auto inFiles = std::make_shared<bool>(false);
    desk.onYield([this, files, inFiles, bars] {
                     const QString now = win.lblProcessInProgress->caption();
                     if (now == files && !*inFiles) bars->append(QList<int>());
                     *inFiles = now == files;
                     return now == QLatin1String("fail-safe check") && !bars->isEmpty();
                 },
                 [this, bars] { bars->last() << qRound(win.prbProgressBar->value()); }, true);
    runAll();
    ASSERT_FALSE(left);
    ASSERT_EQ(bars->size(), 3);
    // The files stage's own bar as the check opens; then the root's three
    // names, present on both sides, a ninth each.
    EXPECT_EQ(bars->at(0), QList<int>({0, 0, 11, 22, 33, 33}));
    // Z's two names, then those of the Secondary's inserted folder: a sixth each.
    EXPECT_EQ(bars->at(1), QList<int>({50, 0, 17, 33, 33, 33, 50}));
    EXPECT_EQ(bars->at(2), QList<int>());
}

// The second bar counts each step of a pair item by item: before its k-th
// of n names it stands at k/n, and it starts afresh with the next step
// (the step labels done so far are marked in the window's colour).
TEST_F(Alignment, TheStepBarCountsTheNamesOfEachStep)
{
    for (const char* name : {"a.txt", "b.txt", "c.txt", "d.txt"}) entry(0, QLatin1String(name));
    for (const char* name : {"a.txt", "e.txt"}) entry(1, QLatin1String(name));
    const QString files = QStringLiteral("aligning files - this process might take some time");
    // Each yield's step (how many step labels are marked done) and bar, as
    // they change.
    QStringList seen;
    desk.onYield([&] { return win.lblProcessInProgress->caption() == files && win.prbSubProgressBar->visible(); },
                 [&] {
                     int step = 0;
                     while (step < 6 && win.lblStep[step]->backColor() == win.backColor()) ++step;
                     const QString now = QStringLiteral("%1:%2").arg(step).arg(win.prbSubProgressBar->value());
                     if (seen.isEmpty() || seen.last() != now) seen << now;
                 }, true);
    runAll();
    // Collecting four names, then two; the four Primary names against the
    // Secondary, the five merged ones back; five rows out on each side.
    EXPECT_EQ(seen, (QStringList{"0:0", "1:0", "1:25", "1:50", "1:75", "1:100", "2:0", "2:50", "2:100",
                                 "3:0", "3:25", "3:50", "3:75", "3:100", "4:0", "4:20", "4:40", "4:60", "4:80", "4:100",
                                 "5:0", "5:20", "5:40", "5:60", "5:80", "5:100", "6:0", "6:20", "6:40", "6:60", "6:80"}));
}

// The collecting check yields before each structure's folders, the
// Secondary's none here: a cancel there stops the run before the alignment.
TEST_F(Alignment, CancelInTheCollectingCheckStopsBeforeTheAlignment)
{
    entry(0, QStringLiteral("A\\1.txt"));
    entry(1, QStringLiteral("b.txt"));
    int checkYields = 0;
    desk.onYield([&] { return win.lblProcessInProgress->caption() == QStringLiteral("fail-safe check") && ++checkYields == 4; },
                 [&] { g().CancelRequested = true; });
    runAll();
    g().CancelRequested = false;
    EXPECT_TRUE(left);
    EXPECT_EQ(stagesSeen, (QStringList{"collecting folders", "fail-safe check"}));
}

TEST_F(Alignment, CancelInTheGridStagesStopsAtOnce)
{
    for (int k = 0; k < 50; ++k) {
        entry(0, QStringLiteral("f%1").arg(k));
        entry(1, QStringLiteral("f%1").arg(k));
    }
    desk.onYield([&] { return win.lblProcessInProgress->caption() == QStringLiteral("populating grid"); },
                 [&] { g().CancelRequested = true; });
    runAll();
    EXPECT_TRUE(left);
    EXPECT_EQ(win.grdResults->textMatrix(1, 1), QString()) << "populating stopped before its first row";
    g().CancelRequested = false;

    // Setting up the grid hands over as the stage opens and before each of
    // its nine columns: a cancel at the last of these stops before populating.
    clearLists();
    left = false;
    stagesSeen.clear();
    for (int k = 0; k < 50; ++k) {
        entry(0, QStringLiteral("f%1").arg(k));
        entry(1, QStringLiteral("f%1").arg(k));
    }
    int setUpYields = 0;
    desk.onYield([&] { return win.lblProcessInProgress->caption() == QStringLiteral("initializing grid") && ++setUpYields == 10; },
                 [&] { g().CancelRequested = true; });
    runAll();
    g().CancelRequested = false;
    EXPECT_TRUE(left);
    EXPECT_EQ(setUpYields, 10);
    ASSERT_FALSE(stagesSeen.isEmpty());
    EXPECT_EQ(stagesSeen.last(), QStringLiteral("initializing grid"));
}

// --- Grid details ------------------------------------------------------------------------

TEST_F(Alignment, ShortTimeHidesASecondsDifferenceButTheMarkerTellsIt)
{
    g().TimeFormatName = QStringLiteral("short");
    entry(0, QStringLiteral("a"), QStringLiteral("0000000010"), QStringLiteral("20240101"), QStringLiteral("120001"));
    entry(1, QStringLiteral("a"));
    runAll();
    EXPECT_EQ(cells(1), (QStringList{"N", "a", "a", "10", "10", "01/01/2024", "01/01/2024", "12.00", "12.00"}));
    EXPECT_FALSE(differ);
}

TEST_F(Alignment, TheMarkerOrdersDatesByTheirValueWhateverTheYearsDigits)
{
    const QString size = QStringLiteral("0000000010");
    entry(0, QStringLiteral("a"), size, QStringLiteral("100000101"));
    entry(1, QStringLiteral("a"), size, QStringLiteral("99991231"), QStringLiteral("235959"));
    entry(0, QStringLiteral("b"), size, QStringLiteral("-00010101"));
    entry(1, QStringLiteral("b"), size, QStringLiteral("00010101"));
    entry(0, QStringLiteral("c"), size, QStringLiteral("20240101"), QStringLiteral("120001"));
    entry(1, QStringLiteral("c"));
    const auto markers = [this] { return QStringList{cells(1)[0], cells(2)[0], cells(3)[0]}; };
    runAll();
    EXPECT_EQ(markers(), (QStringList{"N", "O", "N"}));
}

TEST_F(Alignment, ABadDateIsARunTimeError)
{
    entry(0, QStringLiteral("a"), QStringLiteral("0000000010"), QStringLiteral("99999999"));
    entry(1, QStringLiteral("a"));
    EXPECT_THROW(runAll(), platform::AppError);
}

} // namespace
