// The filter stages: which show, what they take out (to lstExcluded, sorted),
// the field texts of live entries, the no-files messages (of the scan too),
// the fail-safe report, a reference for the two-sided filters and a cancel.
#include "compare_fixture.h"

#include "compare/CompareRun.h"
#include "compare/EntryFilterStages.h"
#include "shared/FileFacts.h"

#include <random>

using namespace compare_test;

namespace {

const QString kLevels = QStringLiteral("filtering number of levels");
const QString kTypes = QStringLiteral("filtering file types");
const QString kCommon = QStringLiteral("filtering common files");
const QString kDifferences = QStringLiteral("filtering differences");
const QString kFailSafe = QStringLiteral("fail-safe check");

class Filters : public CompareTest {
public:
    // Left: a tree of every kind of entry; Right: one file.
    void mixedTree()
    {
        for (const char* f : {"Notes.txt", "README", "Docs/Notes.txt", "Docs/Image.png", "Docs/Old/a.txt", "Numbers/a.png",
                              "Report.doc"})
            file(c, QStringLiteral("Left/") + QLatin1String(f));
        folder(c, QStringLiteral("Left/Docs/Older"));
        folder(c, QStringLiteral("Left/Empty"));
        file(c, QStringLiteral("Right/Notes.txt"));
        compareFolders();
    }
    void compareFolders() { g().CurrentPath = {QStringLiteral("C:\\Left"), QStringLiteral("C:\\Right")}; }
    QStringList excluded(int i) { return items(*hidden().lstExcluded[i]); }
    void run()
    {
        desk.allowMsgBox(kResultsTitle, QStringLiteral("The structures you compared, differ."), ui::vbInformationOK, ui::vbOK);
        compareAndClose();
    }
    // Every path the tree gave, kept and excluded, is accounted for once.
    void expectAccountedFor(int i, QStringList all)
    {
        QStringList both = paths(i) + excluded(i);
        both.sort();
        all.sort();
        EXPECT_EQ(both, all);
    }
    // Same size and time on both sides.
    const QDateTime when{QDate(2004, 6, 7), QTime(8, 9, 10)};
    void same(const QString& rel, const QByteArray& content = "same")
    {
        for (const char* side : {"Left/", "Right/"}) file(c, QLatin1String(side) + rel, content, when);
    }
    // Pairs that differ in size, in one second, and in the read-only flag only.
    void variedTree()
    {
        same(QStringLiteral("same.txt"));
        same(QStringLiteral("Docs/size.txt"));
        file(c, QStringLiteral("Right/Docs/size.txt"), "longer", when);
        same(QStringLiteral("Docs/second.txt"));
        setLocalMtime(c, QStringLiteral("Right/Docs/second.txt"), when.addSecs(1));
        same(QStringLiteral("flags.txt"));
        ASSERT_TRUE(QFile::setPermissions(nativeOf(c, QStringLiteral("Right/flags.txt")), QFileDevice::ReadOwner));
        folder(c, QStringLiteral("Left/Empty"));
        folder(c, QStringLiteral("Right/Empty"));
        file(c, QStringLiteral("Left/left.txt"));
        file(c, QStringLiteral("Right/right.txt"));
        compareFolders();
    }
};

const QStringList kMixedPaths = {"Notes.txt",      "README",          "Report.doc",           "Docs\\Image.png",
                                 "Docs\\Notes.txt", "Docs\\Old\\a.txt", "Docs\\Older\\\"NULL\"", "Empty\\\"NULL\"",
                                 "Numbers\\a.png"};

// The rules themselves are tabled in test_rules.cpp; here, which stages
// show, in which order, and what two of them leave.
TEST_F(Filters, StagesShowOnlyWithWorkToDoAndExcludedPathsAreSorted)
{
    mixedTree();
    g().FolderSelectionState = 1;   // nothing listed
    run();
    for (const QString& s : {kLevels, kTypes, QStringLiteral("including first level folders"), kCommon, kDifferences})
        EXPECT_FALSE(stagesSeen.contains(s)) << s.toStdString();
    EXPECT_TRUE(stagesSeen.contains(QStringLiteral("filtering file attributes"))) << "it always runs";
    EXPECT_EQ(paths(0).size(), kMixedPaths.size());

    g().NumberOfLevelsLimit = 2;
    g().FileTypesPattern = QStringLiteral("*.txt;*.png");
    file(c, QStringLiteral("Right/x.png"));
    win.load();
    stagesSeen.clear();
    atFolderStage = false;
    run();
    EXPECT_EQ(paths(0), (QStringList{"Notes.txt", "Docs\\Image.png", "Docs\\Notes.txt", "Numbers\\a.png"}));
    EXPECT_EQ(excluded(0), (QStringList{"Docs\\Old\\a.txt", "Docs\\Older\\\"NULL\"", "Empty\\\"NULL\"", "README", "Report.doc"}));
    expectAccountedFor(0, kMixedPaths);
    EXPECT_EQ(entryTexts(0, 7).size(), paths(0).size()) << "the eight lists stay in step";
    EXPECT_LT(stagesSeen.indexOf(kLevels), stagesSeen.indexOf(kTypes));
}

TEST_F(Filters, FirstLevelFoldersGoOnTheSideThatListsThem)
{
    for (const char* f : {"Left/Docs/a.txt", "Left/Docs/Sub/b.txt", "Left/Docs2/c.txt", "Left/Docs.txt", "Right/Docs/a.txt",
                          "Right/Other/o.txt"})
        file(c, QLatin1String(f));
    compareFolders();
    // The bar runs over the entries of the sides that list folders only.
    // (Its first yield, as the stage opens, still shows the bar it follows.)
    QString stage;
    QList<int> bar;
    desk.onYield([&] { return win.isLoaded() && win.lblProcessInProgress->caption() == stage; },
                 [&] { bar << qRound(win.prbProgressBar->value()); }, true);
    for (const int state : {1, 2}) {
        g().FolderSelectionState = state;
        hidden().lstFoldersToIncludeExclude[0]->addItem(QStringLiteral("Docs"));
        win.load();
        stagesSeen.clear();
        stage = state == 1 ? QStringLiteral("including first level folders") : QStringLiteral("excluding first level folders");
        bar.clear();
        run();
        EXPECT_TRUE(stagesSeen.contains(stage));
        EXPECT_EQ(excluded(0), (QStringList{"Docs\\a.txt", "Docs\\Sub\\b.txt"}));
        EXPECT_EQ(paths(0), (QStringList{"Docs.txt", "Docs2\\c.txt"}));
        EXPECT_EQ(paths(1), (QStringList{"Docs\\a.txt", "Other\\o.txt"})) << "not listed there";
        // The Primary's list, its four entries, the Secondary's (empty) list.
        EXPECT_EQ(bar.mid(1), (QList<int>{0, 0, 25, 50, 75, 100}));
        hidden().lstFoldersToIncludeExclude[0]->clear();
    }
    // Listed on both sides: each side's own folder goes from it.
    g().FolderSelectionState = 2;
    hidden().lstFoldersToIncludeExclude[0]->addItem(QStringLiteral("Docs2"));
    hidden().lstFoldersToIncludeExclude[1]->addItem(QStringLiteral("Other"));
    win.load();
    bar.clear();
    run();
    EXPECT_EQ(excluded(0), (QStringList{"Docs2\\c.txt"}));
    EXPECT_EQ(excluded(1), (QStringList{"Other\\o.txt"}));
    EXPECT_EQ(bar.mid(1), (QList<int>{0, 0, 17, 33, 50, 67, 67, 83}));
    for (int i = 0; i < 2; ++i) hidden().lstFoldersToIncludeExclude[i]->clear();
}

// --- Field texts -------------------------------------------------------------------------------

TEST_F(Filters, LiveEntriesGetTheFieldTextsOfTheFactsTheScanRead)
{
    auto make = [&](const char* rel, const QByteArray& content, const QDateTime& t) { file(c, QLatin1String(rel), content, t); };
    make("Left/a.bin", QByteArray(512, 'a'), QDateTime(QDate(2003, 2, 5), QTime(9, 5, 3)));
    make("Left/.hidden", QByteArray(), QDateTime(QDate(2010, 12, 31), QTime(0, 0, 0)));
    make("Left/ro.txt", QByteArray(7, 'r'), QDateTime(QDate(1999, 7, 1), QTime(23, 59, 58)));
    ASSERT_TRUE(QFile::setPermissions(nativeOf(c, QStringLiteral("Left/ro.txt")), QFileDevice::ReadOwner));
    make("Left/gone.txt", QByteArray(5, 'g'), QDateTime(QDate(2001, 1, 1), QTime(1, 1, 1)));
    folder(c, QStringLiteral("Left/Empty"));
    make("Left/huge.img", QByteArray(), QDateTime(QDate(2020, 1, 2), QTime(3, 4, 5)));
    {   // more than the 10 digits of the smallest size text
        QFile big(nativeOf(c, QStringLiteral("Left/huge.img")));
        ASSERT_TRUE(big.open(QIODevice::ReadWrite) && big.resize(Q_INT64_C(12345678901)));
    }
    setLocalMtime(c, QStringLiteral("Left/huge.img"), QDateTime(QDate(2020, 1, 2), QTime(3, 4, 5)));
    file(c, QStringLiteral("Right/x.txt"));
    compareFolders();
    // Gone after the scan: the attribute stage does not look at the disk again.
    desk.onYield([&] { return win.lblProcessInProgress->caption() == QStringLiteral("preparing local structure"); },
                 [&] { QFile::remove(nativeOf(c, QStringLiteral("Left/gone.txt"))); });
    run();
    ASSERT_EQ(paths(0), (QStringList{".hidden", "a.bin", "gone.txt", "huge.img", "ro.txt", "Empty\\\"NULL\""}));
    const QStringList expected = {"True|False|False|True|0000000000|20101231|000000",
                                  "False|False|False|True|0000000512|20030205|090503",
                                  "False|False|False|True|0000000005|20010101|010101",
                                  "False|False|False|True|12345678901|20200102|030405",
                                  "False|False|True|True|0000000007|19990701|235958",
                                  "\"NULL\"|\"NULL\"|\"NULL\"|\"NULL\"|\"NULL\"|\"NULL\"|\"NULL\""};
    for (int k = 0; k < expected.size(); ++k) EXPECT_EQ(fields(0, k), expected[k]) << k;

    // Without the scan's facts (no run leaves a file so) the stage does not
    // fall back on the disk, where every file is still there: it reports
    // the fault and the run ends.
    desk.onYield([&] { return win.lblProcessInProgress->caption() == QStringLiteral("preparing local structure"); },
                 [&] { compare::EntryLists(0).releaseFacts(); });
    desk.expectMsgBoxContaining(QStringLiteral("Tarnwick [ 315 ]"), QStringLiteral("Invalid procedure call or argument"),
                                ui::vbQuestionYesNo, ui::vbNo);
    openWindow([&] { ui::Input::click(*win.cmdCompare); });
    EXPECT_FALSE(win.isLoaded()) << "No ends the run as a cancel does";
    EXPECT_FALSE(g().ComparisonInProgress);
}

// --- Common files and differences --------------------------------------------------------------

// Which entries the two filters keep is the reference test below; here
// their stages, the common files' check and one outcome on real files.
TEST_F(Filters, CommonFilesAndDifferencesShowTheirStagesAloneAndTogether)
{
    variedTree();
    g().FailSafeChecks = true;
    for (const auto& [common, differences] : {std::pair{true, false}, std::pair{false, true}, std::pair{true, true}}) {
        g().CommonFilesOnly = common;
        g().DifferencesOnly = differences;
        win.load();
        stagesSeen.clear();
        atFolderStage = false;
        run();
        EXPECT_EQ(stagesSeen.contains(kCommon), common);
        const QStringList filters = stagesSeen.mid(0, stagesSeen.indexOf(QStringLiteral("collecting folders")));
        EXPECT_EQ(filters.contains(kFailSafe), common) << "the common files' check";
        EXPECT_EQ(stagesSeen.contains(kDifferences), differences);
    }
    EXPECT_LT(stagesSeen.indexOf(kCommon), stagesSeen.indexOf(kDifferences));
    // A second apart or a size apart differ; a read-only flag does not.
    EXPECT_EQ(paths(0), (QStringList{"Docs\\second.txt", "Docs\\size.txt"}));
    EXPECT_EQ(excluded(0), (QStringList{"Empty\\\"NULL\"", "flags.txt", "left.txt", "same.txt"}));
}

// The bar of the two-sided filters runs once across both sides' entries.
TEST_F(Filters, CommonFilesAndDifferencesRunTheBarAcrossBothSides)
{
    for (const char* f : {"Left/a.txt", "Left/b.txt", "Left/c.txt"}) file(c, QLatin1String(f), "left");
    file(c, QStringLiteral("Right/a.txt"), "right side");
    compareFolders();
    QString stage;
    QList<double> seen;
    desk.onYield([&] { return win.isLoaded() && win.lblProcessInProgress->caption() == stage; },
                 [&] { seen << win.prbProgressBar->value(); }, true);
    for (const bool differences : {false, true}) {
        g().CommonFilesOnly = !differences;
        g().DifferencesOnly = differences;
        stage = differences ? kDifferences : kCommon;
        seen.clear();
        win.load();
        run();
        // Before each entry: three on the left, then the one on the right.
        EXPECT_EQ(seen.mid(1), (QList<double>{0, 25, 50, 75})) << stage.toStdString();
    }
}

// --- No files left -----------------------------------------------------------------------------

struct NoFilesCase {
    const char* name;
    // Each side's files, all written at one time; a name ending in "/" is an
    // empty folder, "/" alone the side's own folder left empty.
    QStringList left, right;
    void (*settings)(basGlobal::Globals&);
    bool greek;
    const char16_t* stage;
    const char16_t* place;
};
void PrintTo(const NoFilesCase& c, std::ostream* os) { *os << c.name; }

class NoFilesLeft : public Filters, public ::testing::WithParamInterface<NoFilesCase> {};

TEST_P(NoFilesLeft, NamesTheStageAndThePlaceThenClosesTheWindow)
{
    const NoFilesCase& p = GetParam();
    g().LanguageIsGreek = p.greek;
    compareFolders();
    for (int side = 0; side < 2; ++side)
        for (const QString& rel : side == 0 ? p.left : p.right) {
            const QString path = QLatin1String(side == 0 ? "Left/" : "Right/") + rel;
            if (rel.endsWith(u'/')) folder(c, path);
            else file(c, path, "x", when);
        }
    if (p.settings) p.settings(g());
    const QString stage = QString::fromUtf16(p.stage), place = QString::fromUtf16(p.place);
    const QString text = p.greek ? QStringLiteral("Μετά την ολοκλήρωση της διαδικασίας «") + stage
                                       + QStringLiteral("», δεν εντοπίσθηκαν αρχεία ") + place + QLatin1Char('.')
                                 : QStringLiteral("After completing the '") + stage
                                       + QStringLiteral("' process, no files were located ") + place + QLatin1Char('.');
    desk.expectMsgBox(p.greek ? QStringLiteral("Αποτελέσματα συγκρίσεως") : kResultsTitle, text, ui::vbCriticalOK, ui::vbOK);
    openWindow([&] { ui::Input::click(*win.cmdCompare); });
    EXPECT_FALSE(win.isLoaded());
    EXPECT_FALSE(g().ComparisonInProgress);
}

INSTANTIATE_TEST_SUITE_P(
    Stages, NoFilesLeft,
    ::testing::Values(
        // An empty folder is an entry; the compared folder itself is none.
        NoFilesCase{"scanning", {"/"}, {"Sub/"}, nullptr, false, u"scanning local structure", u"in the Primary Structure"},
        NoFilesCase{"scanningBothGreek", {"/"}, {"/"}, nullptr, true, u"σάρωση τοπικής δομής",
                    u"ούτε στην Πρωτεύουσα ούτε στην Δευτερεύουσα Δομή"},
        NoFilesCase{"levels", {"Sub/a.txt"}, {"Sub/b.txt"}, [](basGlobal::Globals& g) { g.NumberOfLevelsLimit = 1; }, false,
                    u"filtering number of levels", u"in both the Primary and the Secondary Structure"},
        NoFilesCase{"firstLevelGreek", {"a.txt"}, {"Docs/a.txt"},
                    [](basGlobal::Globals& g) {
                        g.FolderSelectionState = 2;
                        basGlobal::HiddenForm().lstFoldersToIncludeExclude[1]->addItem(QStringLiteral("Docs"));
                    },
                    true, u"αποκλεισμός φακέλλων πρώτου επιπέδου", u"στην Δευτερεύουσα Δομή"},
        NoFilesCase{"fileTypesGreek", {"Notes.txt", "Docs/Image.png"}, {"Notes.txt"},
                    [](basGlobal::Globals& g) { g.FileTypesPattern = QStringLiteral("*.png"); }, true,
                    u"διαλογή τύπων αρχείων", u"στην Δευτερεύουσα Δομή"},
        NoFilesCase{"attributes", {"a.txt"}, {".b.txt"}, [](basGlobal::Globals& g) { g.IncludeHiddenFiles = false; }, false,
                    u"filtering file attributes", u"in the Secondary Structure"},
        NoFilesCase{"common", {"left.txt"}, {"right.txt"}, [](basGlobal::Globals& g) { g.CommonFilesOnly = true; }, false,
                    u"filtering common files", u"in the Primary Structure"},
        // The first pass empties both: only the Primary is named.
        NoFilesCase{"identical", {"a.txt", "Sub/b.txt"}, {"a.txt", "Sub/b.txt"},
                    [](basGlobal::Globals& g) { g.DifferencesOnly = true; }, false, u"filtering differences",
                    u"in the Primary Structure"},
        NoFilesCase{"differencesGreek", {"a.txt", "b.txt"}, {"a.txt"}, [](basGlobal::Globals& g) { g.DifferencesOnly = true; },
                    true, u"διαλογή διαφορών", u"στην Δευτερεύουσα Δομή"}),
    [](const ::testing::TestParamInfo<NoFilesCase>& info) { return std::string(info.param.name); });

// --- Fail-safe, first match, cancel --------------------------------------------------------------

TEST_F(Filters, TheCommonFilesCheckReportsAnEntryWithoutItsPartner)
{
    same(QStringLiteral("a.txt"));
    compareFolders();
    g().CommonFilesOnly = true;
    g().FailSafeChecks = true;
    const struct {
        int side;
        bool greek;
        const char *stage, *title, *text;
    } rows[] = {
        {0, false, "fail-safe check", "Fail-safe check - Filtering common files",
         "File 'ghost.txt' of the Primary Structure 'C:\\Left\\', should also exist in the Secondary Structure."
         "\r\n\r\nThe comparison process failed."},
        {1, false, "fail-safe check", "Fail-safe check - Filtering common files",
         "File 'ghost.txt' of the Secondary Structure 'C:\\Right\\', should also exist in the Primary Structure."
         "\r\n\r\nThe comparison process failed."},
        {0, true, "έλεγχος αποτυχίας", "Έλεγχος αποτυχίας - Διαλογή κοινών αρχείων",
         "Το αρχείο «ghost.txt» της Πρωτευούσης Δομής «C:\\Left\\», θα έπρεπε επίσης να υπάρχει και στην "
         "Δευτερεύουσα Δομή «C:\\Right\\».\r\n\r\nΗ διαδικασία της συγκρίσεως απέτυχε."},
        {1, true, "έλεγχος αποτυχίας", "Έλεγχος αποτυχίας - Διαλογή κοινών αρχείων",
         "Το αρχείο «ghost.txt» της Δευτερευούσης Δομής «C:\\Right\\», θα έπρεπε επίσης να υπάρχει και στην "
         "Πρωτεύουσα Δομή «C:\\Left\\».\r\n\r\nΗ διαδικασία της συγκρίσεως απέτυχε."},
    };
    for (const auto& r : rows) {
        g().LanguageIsGreek = r.greek;
        // Something slips a file into one side's lists after the passes.
        desk.onYield([&] { return win.isLoaded() && win.lblProcessInProgress->caption() == QString::fromUtf8(r.stage); },
                     [&] { compare::EntryLists(r.side).add(QStringLiteral("ghost.txt"), {}); });
        desk.expectMsgBox(QString::fromUtf8(r.title), QString::fromUtf8(r.text), ui::vbCriticalOK, ui::vbOK);
        win.load();
        openWindow([&] { ui::Input::click(*win.cmdCompare); });
        EXPECT_FALSE(win.isLoaded()) << r.side << r.greek;
    }
}

struct Entry {
    QString path, size, time, archive;
};

// The two filters as stated, searched linearly. Common files: an entry
// stays when the other side has its key (the Secondary against what is left
// of the Primary). Differences: each entry against the first remaining
// entry of the other side with its key; both leave when size, date and time
// are equal, whatever the flags.
void referenceFilters(std::vector<Entry> (&s)[2], QStringList (&out)[2], bool common, bool differences, bool cs)
{
    const auto key = [cs](const Entry& e) { return cs ? e.path : e.path.toUpper(); };
    for (int side = 0; common && side < 2; ++side) {
        std::vector<Entry> kept;
        for (const Entry& e : s[side]) {
            const auto& other = s[1 - side];
            if (std::any_of(other.begin(), other.end(), [&](const Entry& o) { return key(o) == key(e); })) kept.push_back(e);
            else out[side] << e.path;
        }
        s[side] = kept;
    }
    for (int side = 0; differences && side < 2; ++side) {
        auto& mine = s[side];
        auto& other = s[1 - side];
        for (std::size_t k = 0; k < mine.size();) {
            std::size_t j = 0;
            while (j < other.size() && key(other[j]) != key(mine[k])) ++j;
            if (j < other.size() && other[j].size == mine[k].size && other[j].time == mine[k].time) {
                out[side] << mine[k].path;
                out[1 - side] << other[j].path;
                mine.erase(mine.begin() + std::ptrdiff_t(k));
                other.erase(other.begin() + std::ptrdiff_t(j));
            } else {
                ++k;
            }
        }
    }
}

TEST_F(Filters, CommonFilesAndDifferencesFollowTheCaseRuleAndTheFirstMatch)
{
    // Duplicate keys and spellings that differ in letter case only; the
    // entries go straight into the lists.
    std::mt19937 rng(20240607);
    const QStringList spellings = {"a.txt", "A.txt", "A.TXT", "b.txt", "B.txt", "c.txt"};
    const auto pick = [&](const char* a, const char* b) { return QLatin1String(rng() % 2 ? a : b); };
    win.load();
    for (int round = 0; round < 120; ++round) {
        const bool cs = rng() % 2, common = rng() % 2, differences = rng() % 2;
        g().VolumeIsCaseSensitive = cs;
        g().CommonFilesOnly = common;
        g().DifferencesOnly = differences;
        std::vector<Entry> s[2];
        for (int side = 0; side < 2; ++side) {
            const int n = 1 + int(rng() % 6);
            for (int k = 0; k < n; ++k)
                s[side].push_back({spellings[int(rng() % spellings.size())], pick("0000000001", "0000000002"),
                                   pick("120000", "120001"), pick("True", "False")});
            // A pair that always differs, so that no side ends empty.
            s[side].push_back({QStringLiteral("keep"), QStringLiteral("000000000%1").arg(side + 3), "120000", "False"});
        }
        const std::vector<Entry> given[2] = {s[0], s[1]};
        QStringList expectedOut[2];
        referenceFilters(s, expectedOut, common, differences, cs);
        compare::CompareRun run(win);
        run.state().FirstLocalStructure = run.state().LastLocalStructure = -1;   // nothing to read from disk
        for (int side = 0; side < 2; ++side) {
            compare::EntryLists(side).clear();
            hidden().lstExcluded[side]->clear();
            for (const Entry& e : given[side])
                compare::EntryLists(side).add(e.path, {"False", "False", "False", e.archive, e.size, "20000101", e.time});
        }
        compare::RunEntryFilterStages(run);
        const std::string where = "round " + std::to_string(round) + (cs ? " case-sensitive" : " case-blind")
                                  + (common ? " common" : "") + (differences ? " differences" : "");
        for (int side = 0; side < 2; ++side) {
            QStringList kept;
            for (const Entry& e : s[side]) kept << e.path;
            EXPECT_EQ(paths(side), kept) << where << " side " << side;
            expectedOut[side].sort();   // lstExcluded is sorted: compare as sets
            QStringList got = excluded(side);
            got.sort();
            EXPECT_EQ(got, expectedOut[side]) << where << " side " << side;
            EXPECT_EQ(compare::EntryLists(side).valueCount(), kept.size());
        }
    }
}

TEST_F(Filters, ACancelInsideAFilterKeepsWhatItHadTakenOut)
{
    mixedTree();
    g().NumberOfLevelsLimit = 1;
    // The stage's opening yields once, then once before each entry: the
    // sixth yield comes when Notes.txt, README, Report.doc and
    // Docs\Image.png have been decided, and only the last of them goes.
    int stageYields = 0;
    desk.onYield([&] { return win.lblProcessInProgress->caption() == kLevels && ++stageYields == 6; },
                 [&] {
                     desk.expectMsgBox(kCancelTitle, kCancelText, ui::vbQuestionYesNoDefNo, ui::vbYes);
                     ui::Input::click(*win.cmdCancel);
                 });
    openWindow([&] { ui::Input::click(*win.cmdCompare); });
    EXPECT_FALSE(win.isLoaded());
    EXPECT_EQ(excluded(0), QStringList{"Docs\\Image.png"});
    EXPECT_EQ(paths(0).size(), kMixedPaths.size() - 1);
    EXPECT_EQ(compare::EntryLists(0).valueCount(), kMixedPaths.size() - 1);
}

TEST_F(Filters, ACancelWhileFirstLevelFoldersAreTakenOutKeepsWhatHadGone)
{
    mixedTree();
    g().FolderSelectionState = 2;
    hidden().lstFoldersToIncludeExclude[0]->addItem(QStringLiteral("Docs"));
    // The stage's opening yields once, the Primary's list once, then once
    // before each entry: at the seventh Docs\Image.png alone has gone.
    int stageYields = 0;
    desk.onYield([&] { return win.lblProcessInProgress->caption() == QStringLiteral("excluding first level folders")
                              && ++stageYields == 7; },
                 [&] {
                     desk.expectMsgBox(kCancelTitle, kCancelText, ui::vbQuestionYesNoDefNo, ui::vbYes);
                     ui::Input::click(*win.cmdCancel);
                 });
    openWindow([&] { ui::Input::click(*win.cmdCompare); });
    EXPECT_FALSE(win.isLoaded());
    EXPECT_EQ(excluded(0), QStringList{"Docs\\Image.png"});
    EXPECT_EQ(paths(0).size(), kMixedPaths.size() - 1);
    hidden().lstFoldersToIncludeExclude[0]->clear();
}

} // namespace
