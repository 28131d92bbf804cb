// The comparison's filters over real trees: levels, first-level folders,
// file types, the attribute texts read for live entries, the attribute
// switches, common files and differences, alone and together; what each
// takes out (lstExcluded), the no-files messages in both languages, the
// fail-safe report, and a cancel in the middle of a filter.
#include "compare_fixture.h"

#include "compare/CommonFilters.h"
#include "compare/CompareRun.h"
#include "compare/EntryFilterStages.h"
#include "shared/FileFacts.h"

#include <random>

using namespace compare_test;

namespace {

const QString kLevels = QStringLiteral("filtering number of levels");
const QString kTypes = QStringLiteral("filtering file types");
const QString kAttributes = QStringLiteral("filtering file attributes");
const QString kCollecting = QStringLiteral("collecting local structure file attributes");
const QString kCommon = QStringLiteral("filtering common files");
const QString kDifferences = QStringLiteral("filtering differences");
const QString kFailSafe = QStringLiteral("fail-safe check");
const QString kGreekResultsTitle = QStringLiteral("Αποτελέσματα συγκρίσεως");
const QString kMarker = QStringLiteral("\"NULL\"");
const QString kMarkerFields = QStringLiteral("\"NULL\"|\"NULL\"|\"NULL\"|\"NULL\"|\"NULL\"|\"NULL\"|\"NULL\"");

QString noFiles(const QString& stage, const QString& place)
{
    return QStringLiteral("After completing the '") + stage + QStringLiteral("' process, no files were located ") + place
        + QLatin1Char('.');
}

QString noFilesGreek(const QString& stage, const QString& place)
{
    return QStringLiteral("Μετά την ολοκλήρωση της διαδικασίας «") + stage + QStringLiteral("», δεν εντοπίσθηκαν αρχεία ")
        + place + QLatin1Char('.');
}

class Filters : public CompareTest {
protected:
    // Left: a tree of every kind of entry; Right: one file, so that a
    // filter that empties the Left says so.
    void mixedTree()
    {
        file(c, QStringLiteral("Left/Notes.txt"));
        file(c, QStringLiteral("Left/README"));
        file(c, QStringLiteral("Left/Docs/Notes.txt"));
        file(c, QStringLiteral("Left/Docs/Image.png"));
        file(c, QStringLiteral("Left/Docs/Old/a.txt"));
        folder(c, QStringLiteral("Left/Docs/Older"));
        folder(c, QStringLiteral("Left/Empty"));
        file(c, QStringLiteral("Left/Numbers/a.png"));
        file(c, QStringLiteral("Left/Report.doc"));
        file(c, QStringLiteral("Right/Notes.txt"));
        compareFolders();
    }
    void compareFolders() { g().CurrentPath = {QStringLiteral("C:\\Left"), QStringLiteral("C:\\Right")}; }

    QStringList excluded(int i) { return items(*hidden().lstExcluded[i]); }
    // Runs the comparison with the stage labels watched.
    void run()
    {
        // These tests look at what the filters leave; whether the trees end
        // up differing is the grid's business.
        desk.allowMsgBox(kResultsTitle, QStringLiteral("The structures you compared, differ."), ui::vbInformationOK,
                         ui::vbOK);
        desk.onYield([] { return true; },
                     [&] {
                         const QString s = win.lblProcessInProgress->caption();
                         if (!s.isEmpty() && (stagesSeen.isEmpty() || stagesSeen.last() != s)) stagesSeen << s;
                     },
                     true);
        compareAndClose();
    }
    // Runs a comparison that must end with the critical no-files message.
    void runExpectingNoFiles(const QString& text, bool greek = false)
    {
        desk.expectMsgBox(greek ? kGreekResultsTitle : kResultsTitle, text, ui::vbCriticalOK, ui::vbOK);
        openWindow([&] { ui::Input::click(*win.cmdCompare); });
        EXPECT_FALSE(win.isLoaded());
        EXPECT_FALSE(g().ComparisonInProgress);
    }
    // Every path the tree gave, kept and excluded, is accounted for once.
    void expectAccountedFor(int i, const QStringList& all)
    {
        QStringList both = paths(i) + excluded(i);
        both.sort();
        QStringList expected = all;
        expected.sort();
        EXPECT_EQ(both, expected);
    }

    QStringList stagesSeen;
};

const QStringList kMixedPaths = {
    QStringLiteral("Notes.txt"),        QStringLiteral("README"),          QStringLiteral("Report.doc"),
    QStringLiteral("Docs\\Image.png"),  QStringLiteral("Docs\\Notes.txt"), QStringLiteral("Docs\\Old\\a.txt"),
    QStringLiteral("Docs\\Older\\\"NULL\""), QStringLiteral("Empty\\\"NULL\""), QStringLiteral("Numbers\\a.png")};

// --- Levels -------------------------------------------------------------------------------

TEST_F(Filters, LevelOneKeepsOnlyTheComparedFoldersOwnFiles)
{
    mixedTree();
    g().NumberOfLevelsLimit = 1;
    run();
    EXPECT_EQ(paths(0), (QStringList{QStringLiteral("Notes.txt"), QStringLiteral("README"), QStringLiteral("Report.doc")}));
    // Sorted: "\" sorts before every letter.
    EXPECT_EQ(excluded(0), (QStringList{QStringLiteral("Docs\\Image.png"), QStringLiteral("Docs\\Notes.txt"),
                                        QStringLiteral("Docs\\Old\\a.txt"), QStringLiteral("Docs\\Older\\\"NULL\""),
                                        QStringLiteral("Empty\\\"NULL\""), QStringLiteral("Numbers\\a.png")}));
    EXPECT_EQ(excluded(1), QStringList());
    EXPECT_TRUE(stagesSeen.contains(kLevels));
    for (int k = 0; k < 3; ++k) EXPECT_TRUE(fields(0, k).startsWith(QStringLiteral("False|False|False|True|"))) << k;
}

TEST_F(Filters, LevelTwoKeepsTheFirstLevelFoldersAndTheirEmptyMarkers)
{
    mixedTree();
    g().NumberOfLevelsLimit = 2;
    run();
    EXPECT_EQ(excluded(0), (QStringList{QStringLiteral("Docs\\Old\\a.txt"), QStringLiteral("Docs\\Older\\\"NULL\"")}));
    EXPECT_TRUE(paths(0).contains(QStringLiteral("Empty\\\"NULL\"")));
    EXPECT_TRUE(paths(0).contains(QStringLiteral("Docs\\Notes.txt")));
    expectAccountedFor(0, kMixedPaths);
    EXPECT_EQ(entryTexts(0, 7).size(), paths(0).size()) << "the eight lists stay in step";
}

TEST_F(Filters, LevelZeroRunsNoLevelsStage)
{
    mixedTree();
    run();
    EXPECT_FALSE(stagesSeen.contains(kLevels));
    EXPECT_EQ(paths(0).size(), kMixedPaths.size());
}

TEST_F(Filters, ALevelLimitThatEmptiesBothSidesNamesBoth)
{
    file(c, QStringLiteral("Left/Sub/a.txt"));
    file(c, QStringLiteral("Right/Sub/b.txt"));
    compareFolders();
    g().NumberOfLevelsLimit = 1;
    runExpectingNoFiles(noFiles(kLevels, QStringLiteral("in both the Primary and the Secondary Structure")));
}

// --- First-level folders ---------------------------------------------------------------------

class FirstLevel : public Filters {
protected:
    void docsTree()
    {
        file(c, QStringLiteral("Left/Docs/a.txt"));
        file(c, QStringLiteral("Left/Docs/Sub/b.txt"));
        folder(c, QStringLiteral("Left/Docs/Empty"));
        file(c, QStringLiteral("Left/Docs2/c.txt"));
        file(c, QStringLiteral("Left/Docs.txt"));
        file(c, QStringLiteral("Left/Docsa.txt"));
        file(c, QStringLiteral("Right/Docs/a.txt"));
        file(c, QStringLiteral("Right/Other/o.txt"));
        compareFolders();
    }
    void list(int i, const QStringList& names)
    {
        for (const QString& n : names) hidden().lstFoldersToIncludeExclude[i]->addItem(n);
    }
    void TearDown() override
    {
        for (int i = 0; i < 2; ++i) hidden().lstFoldersToIncludeExclude[i]->clear();
        Filters::TearDown();
    }
};

TEST_F(FirstLevel, ExcludeDropsOnlyWhatLiesBelowTheListedFolder)
{
    docsTree();
    g().FolderSelectionState = 2;
    list(0, {QStringLiteral("Docs")});
    run();
    EXPECT_EQ(excluded(0), (QStringList{QStringLiteral("Docs\\a.txt"), QStringLiteral("Docs\\Empty\\\"NULL\""),
                                        QStringLiteral("Docs\\Sub\\b.txt")}));
    EXPECT_EQ(paths(0), (QStringList{QStringLiteral("Docs.txt"), QStringLiteral("Docsa.txt"), QStringLiteral("Docs2\\c.txt")}));
    EXPECT_EQ(paths(1), (QStringList{QStringLiteral("Docs\\a.txt"), QStringLiteral("Other\\o.txt")})) << "not listed there";
    EXPECT_TRUE(stagesSeen.contains(QStringLiteral("excluding first level folders")));
}

TEST_F(FirstLevel, IncludeDropsTheFoldersLeftUnselectedOnBothSides)
{
    docsTree();
    g().FolderSelectionState = 1;
    list(0, {QStringLiteral("Docs2")});
    list(1, {QStringLiteral("Other")});
    run();
    EXPECT_TRUE(stagesSeen.contains(QStringLiteral("including first level folders")));
    EXPECT_EQ(excluded(0), QStringList{QStringLiteral("Docs2\\c.txt")});
    EXPECT_EQ(excluded(1), QStringList{QStringLiteral("Other\\o.txt")});
    EXPECT_EQ(paths(1), QStringList{QStringLiteral("Docs\\a.txt")});
}

TEST_F(FirstLevel, LetterCaseFollowsTheVolumesRule)
{
    file(c, QStringLiteral("Left/docs/a.txt"));
    file(c, QStringLiteral("Left/keep.txt"));
    file(c, QStringLiteral("Right/x.txt"));
    compareFolders();
    g().FolderSelectionState = 2;
    list(0, {QStringLiteral("Docs")});
    g().VolumeIsCaseSensitive = true;
    run();
    EXPECT_EQ(excluded(0), QStringList());

    stagesSeen.clear();
    g().VolumeIsCaseSensitive = false;
    win.load();
    run();
    EXPECT_EQ(excluded(0), QStringList{QStringLiteral("docs\\a.txt")});
}

TEST_F(FirstLevel, ARootFileNamedLikeAListedFolderStays)
{
    // "docs" is a file in the compared folder; "Docs" a folder beside it.
    file(c, QStringLiteral("Left/docs"));
    file(c, QStringLiteral("Left/Docs/a.txt"));
    file(c, QStringLiteral("Right/x.txt"));
    compareFolders();
    g().VolumeIsCaseSensitive = false;
    g().FolderSelectionState = 2;
    list(0, {QStringLiteral("Docs")});
    run();
    EXPECT_EQ(paths(0), QStringList{QStringLiteral("docs")});
    EXPECT_EQ(excluded(0), QStringList{QStringLiteral("Docs\\a.txt")});
}

TEST_F(FirstLevel, NoSelectionOrNothingListedRunsNoStage)
{
    docsTree();
    g().FolderSelectionState = 3;
    list(0, {QStringLiteral("Docs")});
    run();
    EXPECT_EQ(excluded(0), QStringList());

    hidden().lstFoldersToIncludeExclude[0]->clear();
    g().FolderSelectionState = 1;
    win.load();
    run();
    EXPECT_EQ(stagesSeen.filter(QStringLiteral("first level")), QStringList());
    EXPECT_EQ(excluded(0), QStringList());
}

TEST_F(FirstLevel, TheMessageQuotesTheGreekLabel)
{
    docsTree();
    g().LanguageIsGreek = true;
    g().FolderSelectionState = 2;
    list(1, {QStringLiteral("Docs"), QStringLiteral("Other")});
    runExpectingNoFiles(noFilesGreek(QStringLiteral("αποκλεισμός φακέλλων πρώτου επιπέδου"), QStringLiteral("στην Δευτερεύουσα Δομή")),
                        true);
}

// --- File types --------------------------------------------------------------------------

struct TypesCase {
    const char* name;
    const char16_t* pattern;
    QStringList kept;
};

void PrintTo(const TypesCase& c, std::ostream* os) { *os << c.name; }

class FileTypes : public Filters, public ::testing::WithParamInterface<TypesCase> {};

TEST_P(FileTypes, KeepTheMatchingPathsAndNoEmptyFolder)
{
    mixedTree();
    // Something of every kind on the Right, so that it never ends empty.
    for (const char* name : {"Right/README", "Right/x.png", "Right/x.doc"}) file(c, QString::fromLatin1(name));
    g().FileTypesPattern = QString::fromUtf16(GetParam().pattern);
    run();
    EXPECT_TRUE(stagesSeen.contains(kTypes));
    EXPECT_EQ(paths(0), GetParam().kept);
    expectAccountedFor(0, kMixedPaths);
}

INSTANTIATE_TEST_SUITE_P(
    Patterns, FileTypes,
    ::testing::Values(
        TypesCase{"txt", u"*.txt",
                  {QStringLiteral("Notes.txt"), QStringLiteral("Docs\\Notes.txt"), QStringLiteral("Docs\\Old\\a.txt")}},
        TypesCase{"txtAndDoc", u"*.txt;*.doc",
                  {QStringLiteral("Notes.txt"), QStringLiteral("Report.doc"), QStringLiteral("Docs\\Notes.txt"),
                   QStringLiteral("Docs\\Old\\a.txt")}},
        TypesCase{"blankAfterSemicolon", u"*.png; *.doc",
                  {QStringLiteral("Report.doc"), QStringLiteral("Docs\\Image.png"), QStringLiteral("Numbers\\a.png")}},
        // "*.*" among others matches names without a dot too; markers still go.
        TypesCase{"starDotStarAmongOthers", u"*.txt;*.*",
                  {QStringLiteral("Notes.txt"), QStringLiteral("README"), QStringLiteral("Report.doc"),
                   QStringLiteral("Docs\\Image.png"), QStringLiteral("Docs\\Notes.txt"), QStringLiteral("Docs\\Old\\a.txt"),
                   QStringLiteral("Numbers\\a.png")}},
        // The whole relative path is matched: N* does not reach into Docs.
        TypesCase{"wholePath", u"N*", {QStringLiteral("Notes.txt"), QStringLiteral("Numbers\\a.png")}},
        TypesCase{"noDot", u"READ??", {QStringLiteral("README")}}),
    [](const ::testing::TestParamInfo<TypesCase>& info) { return std::string(info.param.name); });

TEST_F(Filters, StarDotStarRunsNoFileTypeStage)
{
    mixedTree();
    g().FileTypesPattern = QStringLiteral("*.*");
    run();
    EXPECT_FALSE(stagesSeen.contains(kTypes));
    EXPECT_EQ(paths(0).size(), kMixedPaths.size());
}

TEST_F(Filters, ALoneStarMatchesNothing)
{
    mixedTree();
    g().FileTypesPattern = QStringLiteral("*");
    runExpectingNoFiles(noFiles(kTypes, QStringLiteral("in both the Primary and the Secondary Structure")));
    EXPECT_EQ(excluded(0).size(), kMixedPaths.size());
    EXPECT_EQ(excluded(1), QStringList{QStringLiteral("Notes.txt")});
}

TEST_F(Filters, FileTypesMessageInGreek)
{
    mixedTree();
    g().LanguageIsGreek = true;
    g().FileTypesPattern = QStringLiteral("*.png");
    runExpectingNoFiles(noFilesGreek(QStringLiteral("διαλογή τύπων αρχείων"), QStringLiteral("στην Δευτερεύουσα Δομή")), true);
}

// --- Attribute texts ---------------------------------------------------------------------------

TEST_F(Filters, LiveEntriesGetTheirFieldTexts)
{
    file(c, QStringLiteral("Left/a.bin"), QByteArray(512, 'a'));
    setLocalMtime(c, QStringLiteral("Left/a.bin"), QDateTime(QDate(2003, 2, 5), QTime(9, 5, 3)));
    file(c, QStringLiteral("Left/.hidden"), QByteArray());
    setLocalMtime(c, QStringLiteral("Left/.hidden"), QDateTime(QDate(2010, 12, 31), QTime(0, 0, 0)));
    file(c, QStringLiteral("Left/ro.txt"), QByteArray(7, 'r'));
    ASSERT_TRUE(QFile::setPermissions(nativeOf(c, QStringLiteral("Left/ro.txt")), QFileDevice::ReadOwner));
    setLocalMtime(c, QStringLiteral("Left/ro.txt"), QDateTime(QDate(1999, 7, 1), QTime(23, 59, 58)));
    folder(c, QStringLiteral("Left/Empty"));
    // Larger than the 10 digits of the smallest size text.
    file(c, QStringLiteral("Left/huge.img"), QByteArray());
    {
        QFile big(nativeOf(c, QStringLiteral("Left/huge.img")));
        ASSERT_TRUE(big.open(QIODevice::ReadWrite));
        ASSERT_TRUE(big.resize(Q_INT64_C(12345678901)));
    }
    setLocalMtime(c, QStringLiteral("Left/huge.img"), QDateTime(QDate(2020, 1, 2), QTime(3, 4, 5)));
    file(c, QStringLiteral("Right/x.txt"));
    compareFolders();
    run();
    EXPECT_TRUE(stagesSeen.contains(kCollecting));
    ASSERT_EQ(paths(0), (QStringList{QStringLiteral(".hidden"), QStringLiteral("a.bin"), QStringLiteral("huge.img"),
                                     QStringLiteral("ro.txt"), QStringLiteral("Empty\\\"NULL\"")}));
    EXPECT_EQ(fields(0, 0), QStringLiteral("True|False|False|True|0000000000|20101231|000000"));
    EXPECT_EQ(fields(0, 1), QStringLiteral("False|False|False|True|0000000512|20030205|090503"));
    EXPECT_EQ(fields(0, 2), QStringLiteral("False|False|False|True|12345678901|20200102|030405"));
    EXPECT_EQ(fields(0, 3), QStringLiteral("False|False|True|True|0000000007|19990701|235958"));
    EXPECT_EQ(fields(0, 4), kMarkerFields);
}

TEST_F(Filters, TheFactsAreThoseTheScanRead)
{
    file(c, QStringLiteral("Left/a.txt"), QByteArray(3, 'a'));
    file(c, QStringLiteral("Left/gone.txt"), QByteArray(5, 'g'));
    file(c, QStringLiteral("Right/a.txt"));
    compareFolders();
    // Between the scan and the attribute stage the file disappears: the
    // stage does not look at the disk again.
    desk.onYield([&] { return win.lblProcessInProgress->caption() == QStringLiteral("preparing local structure"); },
                 [&] { QFile::remove(nativeOf(c, QStringLiteral("Left/gone.txt"))); });
    run();
    EXPECT_EQ(paths(0), (QStringList{QStringLiteral("a.txt"), QStringLiteral("gone.txt")}));
    EXPECT_EQ(entryTexts(0, 5).value(1), QStringLiteral("0000000005"));
}

TEST_F(Filters, AnEntryWithoutFactsThatCannotBeReadIsReportedWithItsPath)
{
    file(c, QStringLiteral("Left/a.txt"));
    file(c, QStringLiteral("Left/gone.txt"));
    file(c, QStringLiteral("Right/a.txt"));
    compareFolders();
    desk.onYield([&] { return win.lblProcessInProgress->caption() == QStringLiteral("preparing local structure"); },
                 [&] {
                     basGlobal::StructureFactsStore(0).clear();
                     QFile::remove(nativeOf(c, QStringLiteral("Left/gone.txt")));
                 });
    desk.expectMsgBoxContaining(QStringLiteral("Tarnwick [ 315 ]"), QStringLiteral("File not found: C:\\Left\\gone.txt"),
                                ui::vbQuestionYesNo, ui::vbNo);
    openWindow([&] { ui::Input::click(*win.cmdCompare); });
    EXPECT_FALSE(win.isLoaded()) << "No ends the run as a cancel does";
    EXPECT_FALSE(g().ComparisonInProgress);
}

TEST_F(Filters, AnImportedStructureKeepsItsTexts)
{
    file(d, QStringLiteral("Work/notes.txt"), QByteArray(10, 'n'));
    file(c, QStringLiteral("p.qms"), workedExample());
    g().ComparisonMode = 1;
    g().ImportedStructureFile = {QStringLiteral("C:\\p.qms"), QString()};
    g().FirstStructureToProcess = 0;
    g().LastStructureToProcess = 0;
    g().CurrentPath[1] = QStringLiteral("D:\\Work");
    run();
    EXPECT_TRUE(stagesSeen.contains(kCollecting));
    EXPECT_EQ(paths(0), kWorkedPaths);
    EXPECT_EQ(fields(0, 0), QStringLiteral("False|False|False|True|0000001234|20020824|140509"));
    EXPECT_EQ(fields(0, 3), QStringLiteral("True|False|False|False|0000056789|20020102|030405"));
    EXPECT_TRUE(fields(1, 0).startsWith(QStringLiteral("False|False|False|True|0000000010|")));
}

// --- Attribute switches -------------------------------------------------------------------------

struct SwitchCase {
    const char* name;
    bool hidden, system, readOnly, archive;
    QStringList kept;
};

void PrintTo(const SwitchCase& c, std::ostream* os) { *os << c.name; }

class AttributeSwitches : public Filters, public ::testing::WithParamInterface<SwitchCase> {};

TEST_P(AttributeSwitches, TakeOutFilesThatCarryAnExcludedAttribute)
{
    file(c, QStringLiteral("Left/.hidden.txt"));
    file(c, QStringLiteral("Left/.hiddenro.txt"));
    file(c, QStringLiteral("Left/plain.txt"));
    file(c, QStringLiteral("Left/ro.txt"));
    for (const char* ro : {"Left/.hiddenro.txt", "Left/ro.txt"})
        ASSERT_TRUE(QFile::setPermissions(nativeOf(c, QString::fromLatin1(ro)), QFileDevice::ReadOwner));
    folder(c, QStringLiteral("Left/Empty"));
    file(c, QStringLiteral("Right/x.txt"));
    compareFolders();
    const SwitchCase& p = GetParam();
    g().IncludeHiddenFiles = p.hidden;
    g().IncludeSystemFiles = p.system;
    g().IncludeReadOnlyFiles = p.readOnly;
    g().IncludeArchiveFiles = p.archive;
    if (!p.archive) {
        // Every plain file carries the archive attribute: only the empty
        // folder is left on the Left, nothing on the Right.
        runExpectingNoFiles(noFiles(kAttributes, QStringLiteral("in the Secondary Structure")));
        EXPECT_EQ(paths(0), p.kept);
        return;
    }
    run();
    EXPECT_TRUE(stagesSeen.contains(kAttributes)) << "the stage always runs";
    EXPECT_EQ(paths(0), p.kept);
    expectAccountedFor(0, {QStringLiteral(".hidden.txt"), QStringLiteral(".hiddenro.txt"), QStringLiteral("plain.txt"),
                           QStringLiteral("ro.txt"), QStringLiteral("Empty\\\"NULL\"")});
}

INSTANTIATE_TEST_SUITE_P(
    Switches, AttributeSwitches,
    ::testing::Values(
        SwitchCase{"all", true, true, true, true,
                   {QStringLiteral(".hidden.txt"), QStringLiteral(".hiddenro.txt"), QStringLiteral("plain.txt"),
                    QStringLiteral("ro.txt"), QStringLiteral("Empty\\\"NULL\"")}},
        SwitchCase{"noHidden", false, true, true, true,
                   {QStringLiteral("plain.txt"), QStringLiteral("ro.txt"), QStringLiteral("Empty\\\"NULL\"")}},
        SwitchCase{"noSystem", true, false, true, true,
                   {QStringLiteral(".hidden.txt"), QStringLiteral(".hiddenro.txt"), QStringLiteral("plain.txt"),
                    QStringLiteral("ro.txt"), QStringLiteral("Empty\\\"NULL\"")}},
        SwitchCase{"noReadOnly", true, true, false, true,
                   {QStringLiteral(".hidden.txt"), QStringLiteral("plain.txt"), QStringLiteral("Empty\\\"NULL\"")}},
        SwitchCase{"noArchive", true, true, true, false, {QStringLiteral("Empty\\\"NULL\"")}}),
    [](const ::testing::TestParamInfo<SwitchCase>& info) { return std::string(info.param.name); });

TEST_F(Filters, ImportedFlagsAreReadInAnyLetterCase)
{
    // The worked example's b.txt is hidden, a.dat read-only.
    file(c, QStringLiteral("p.qms"), workedExample());
    file(c, QStringLiteral("s.qms"), workedExample());
    g().ComparisonMode = 1;
    g().ImportedStructureFile = {QStringLiteral("C:\\p.qms"), QStringLiteral("C:\\s.qms")};
    g().IncludeHiddenFiles = false;
    desk.onYield([&] { return win.lblProcessInProgress->caption() == kAttributes; },
                 [&] { hidden().lstReadOnly[0]->setList(1, QStringLiteral("tRUE")); });
    g().IncludeReadOnlyFiles = false;
    run();
    EXPECT_EQ(paths(0), (QStringList{QStringLiteral("notes.txt"), QStringLiteral("Alpha\\Empty\\\"NULL\"")}));
    EXPECT_EQ(excluded(0), (QStringList{QStringLiteral("Alpha\\a.dat"), QStringLiteral("Beta\\b.txt")}));
}

// --- Common files and differences --------------------------------------------------------------

class Pairs : public Filters {
protected:
    const QDateTime when{QDate(2004, 6, 7), QTime(8, 9, 10)};
    // The same file on both sides: equal size and time.
    void same(const QString& rel, const QByteArray& content = "same")
    {
        file(c, QStringLiteral("Left/") + rel, content);
        file(c, QStringLiteral("Right/") + rel, content);
        setLocalMtime(c, QStringLiteral("Left/") + rel, when);
        setLocalMtime(c, QStringLiteral("Right/") + rel, when);
    }
    void only(int side, const QString& rel)
    {
        file(c, (side == 0 ? QStringLiteral("Left/") : QStringLiteral("Right/")) + rel);
    }
    // Pairs that differ in size, in one second, and in the read-only flag only.
    void variedTree()
    {
        same(QStringLiteral("same.txt"));
        same(QStringLiteral("Docs/size.txt"));
        file(c, QStringLiteral("Right/Docs/size.txt"), "longer");
        setLocalMtime(c, QStringLiteral("Right/Docs/size.txt"), when);
        same(QStringLiteral("Docs/second.txt"));
        setLocalMtime(c, QStringLiteral("Right/Docs/second.txt"), when.addSecs(1));
        same(QStringLiteral("flags.txt"));
        ASSERT_TRUE(QFile::setPermissions(nativeOf(c, QStringLiteral("Right/flags.txt")), QFileDevice::ReadOwner));
        folder(c, QStringLiteral("Left/Empty"));
        folder(c, QStringLiteral("Right/Empty"));
        only(0, QStringLiteral("left.txt"));
        only(1, QStringLiteral("right.txt"));
        compareFolders();
    }
};

TEST_F(Pairs, CommonFilesKeepsWhatBothSidesHold)
{
    variedTree();
    g().CommonFilesOnly = true;
    g().FailSafeChecks = true;
    run();
    const QStringList common = {QStringLiteral("flags.txt"), QStringLiteral("same.txt"), QStringLiteral("Docs\\second.txt"),
                                QStringLiteral("Docs\\size.txt"), QStringLiteral("Empty\\\"NULL\"")};
    EXPECT_EQ(paths(0), common);
    EXPECT_EQ(paths(1), common);
    EXPECT_EQ(excluded(0), QStringList{QStringLiteral("left.txt")});
    EXPECT_EQ(excluded(1), QStringList{QStringLiteral("right.txt")});
    EXPECT_TRUE(stagesSeen.contains(kFailSafe));
    EXPECT_FALSE(stagesSeen.contains(kDifferences));
}

TEST_F(Pairs, DifferencesDropsEqualPairsIgnoringTheFlags)
{
    variedTree();
    g().DifferencesOnly = true;
    run();
    EXPECT_EQ(paths(0), (QStringList{QStringLiteral("left.txt"), QStringLiteral("Docs\\second.txt"), QStringLiteral("Docs\\size.txt")}));
    EXPECT_EQ(paths(1), (QStringList{QStringLiteral("right.txt"), QStringLiteral("Docs\\second.txt"), QStringLiteral("Docs\\size.txt")}));
    const QStringList equal = {QStringLiteral("Empty\\\"NULL\""), QStringLiteral("flags.txt"), QStringLiteral("same.txt")};
    EXPECT_EQ(excluded(0), equal);
    EXPECT_EQ(excluded(1), equal);
    EXPECT_FALSE(stagesSeen.contains(kCommon));
}

TEST_F(Pairs, BothFiltersLeaveTheCommonFilesThatDiffer)
{
    variedTree();
    g().CommonFilesOnly = true;
    g().DifferencesOnly = true;
    run();
    const QStringList differing = {QStringLiteral("Docs\\second.txt"), QStringLiteral("Docs\\size.txt")};
    EXPECT_EQ(paths(0), differing);
    EXPECT_EQ(paths(1), differing);
    EXPECT_EQ(excluded(0), (QStringList{QStringLiteral("Empty\\\"NULL\""), QStringLiteral("flags.txt"),
                                        QStringLiteral("left.txt"), QStringLiteral("same.txt")}));
    EXPECT_EQ(stagesSeen.indexOf(kCommon) < stagesSeen.indexOf(kDifferences), true);
}

TEST_F(Pairs, LetterCaseDecidesWhetherTwoPathsAreOne)
{
    same(QStringLiteral("keep.txt"));
    only(0, QStringLiteral("Mixed.TXT"));
    only(1, QStringLiteral("mixed.txt"));
    compareFolders();
    g().CommonFilesOnly = true;
    g().VolumeIsCaseSensitive = false;
    run();
    EXPECT_EQ(paths(0), (QStringList{QStringLiteral("keep.txt"), QStringLiteral("Mixed.TXT")}));
    EXPECT_EQ(paths(1), (QStringList{QStringLiteral("keep.txt"), QStringLiteral("mixed.txt")}));

    g().VolumeIsCaseSensitive = true;
    win.load();
    run();
    EXPECT_EQ(excluded(0), QStringList{QStringLiteral("Mixed.TXT")}) << "the stored case goes to lstExcluded";
    EXPECT_EQ(excluded(1), QStringList{QStringLiteral("mixed.txt")});
}

TEST_F(Pairs, CommonFilesNamesThePrimaryStructureInBothLanguages)
{
    for (const bool greek : {false, true}) {
        only(0, QStringLiteral("left.txt"));
        only(1, QStringLiteral("right.txt"));
        compareFolders();
        g().CommonFilesOnly = true;
        g().LanguageIsGreek = greek;
        win.load();
        runExpectingNoFiles(greek ? noFilesGreek(QStringLiteral("διαλογή κοινών αρχείων"), QStringLiteral("στην Πρωτεύουσα Δομή"))
                                  : noFiles(kCommon, QStringLiteral("in the Primary Structure")),
                            greek);
    }
}

TEST_F(Pairs, IdenticalTreesUnderDifferencesNameOnlyThePrimary)
{
    same(QStringLiteral("a.txt"));
    same(QStringLiteral("Sub/b.txt"));
    compareFolders();
    g().DifferencesOnly = true;
    runExpectingNoFiles(noFiles(kDifferences, QStringLiteral("in the Primary Structure")));
    EXPECT_EQ(paths(1), QStringList()) << "the first pass emptied both";
}

TEST_F(Pairs, DifferencesNamesTheSecondaryInGreekWhenOnlyItEmpties)
{
    same(QStringLiteral("a.txt"));
    only(0, QStringLiteral("b.txt"));
    compareFolders();
    g().DifferencesOnly = true;
    g().LanguageIsGreek = true;
    runExpectingNoFiles(noFilesGreek(QStringLiteral("διαλογή διαφορών"), QStringLiteral("στην Δευτερεύουσα Δομή")), true);
    EXPECT_EQ(paths(0), QStringList{QStringLiteral("b.txt")});
}

TEST_F(Pairs, TheFailSafeCheckReportsAnEntryWithoutItsPartner)
{
    for (const bool greek : {false, true}) {
        same(QStringLiteral("a.txt"));
        compareFolders();
        g().CommonFilesOnly = true;
        g().FailSafeChecks = true;
        g().LanguageIsGreek = greek;
        // Something slips a file into the Primary lists after the passes.
        desk.onYield([&] { return win.lblProcessInProgress->caption() == (greek ? QStringLiteral("έλεγχος αποτυχίας") : kFailSafe); },
                     [&] {
                         auto& h = hidden();
                         for (auto* l : {&h.lstFinalListBox, &h.lstHidden, &h.lstSystem, &h.lstReadOnly, &h.lstArchive,
                                         &h.lstSize, &h.lstDate, &h.lstTime})
                             (*l)[0]->addItem(QStringLiteral("ghost.txt"));
                     });
        const QString text = greek
            ? QStringLiteral("Το αρχείο «ghost.txt» της Πρωτευούσης Δομής «C:\\Left\\», θα έπρεπε επίσης να υπάρχει και "
                             "στην Δευτερεύουσα Δομή «C:\\Right\\».\n\nΗ διαδικασία της συγκρίσεως απέτυχε.")
            : QStringLiteral("File 'ghost.txt' of the Primary Structure 'C:\\Left\\', should also exist in the Secondary "
                             "Structure.\n\nThe comparison process failed.");
        desk.expectMsgBox(greek ? QStringLiteral("Έλεγχος αποτυχίας - Διαλογή κοινών αρχείων")
                                : QStringLiteral("Fail-safe check - Filtering common files"),
                          text, ui::vbCriticalOK, ui::vbOK);
        win.load();
        openWindow([&] { ui::Input::click(*win.cmdCompare); });
        EXPECT_FALSE(win.isLoaded());
    }
    EXPECT_EQ(compare::CommonFilesFailSafeText(1, QStringLiteral("s.txt"), QStringLiteral("P\\"), QStringLiteral("S\\"), false),
              QStringLiteral("File 's.txt' of the Secondary Structure 'S\\', should also exist in the Primary Structure."));
    EXPECT_EQ(compare::CommonFilesFailSafeText(1, QStringLiteral("s.txt"), QStringLiteral("P\\"), QStringLiteral("S\\"), true),
              QStringLiteral("Το αρχείο «s.txt» της Δευτερευούσης Δομής «S\\», θα έπρεπε επίσης να υπάρχει και στην "
                             "Πρωτεύουσα Δομή «P\\»."));
}

// --- Duplicate keys against the first-match rule -------------------------------------------------

struct Entry {
    QString path;
    QString size;
};

// The rule as stated, searched linearly: each entry against the first
// remaining entry of the other side with its key, removing as it goes.
void referenceDifferences(std::vector<Entry> (&s)[2], QStringList (&out)[2])
{
    for (int side = 0; side < 2; ++side) {
        auto& mine = s[side];
        auto& other = s[1 - side];
        for (std::size_t k = 0; k < mine.size();) {
            const QString key = mine[k].path.toUpper();
            std::size_t j = 0;
            while (j < other.size() && other[j].path.toUpper() != key) ++j;
            if (j < other.size() && other[j].size == mine[k].size) {
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

TEST_F(Filters, DuplicateKeysFollowTheFirstMatchRule)
{
    // Entries put straight into the lists (the spelling of a path decides
    // its key; duplicates need a case-insensitive rule).
    g().VolumeIsCaseSensitive = false;
    std::mt19937 rng(20240607);
    const QStringList spellings = {QStringLiteral("a.txt"), QStringLiteral("A.txt"), QStringLiteral("A.TXT"),
                                   QStringLiteral("b.txt"), QStringLiteral("B.txt")};
    for (int round = 0; round < 60; ++round) {
        std::vector<Entry> s[2];
        for (int side = 0; side < 2; ++side) {
            const int n = 1 + int(rng() % 6);
            for (int k = 0; k < n; ++k)
                s[side].push_back({spellings[int(rng() % spellings.size())], QStringLiteral("000000000%1").arg(rng() % 2)});
            // One entry of its own, so that no side ends empty.
            s[side].push_back({side == 0 ? QStringLiteral("onlyleft") : QStringLiteral("onlyright"), QStringLiteral("0000000009")});
        }
        auto copy = std::make_pair(s[0], s[1]);
        QStringList expectedOut[2];
        referenceDifferences(s, expectedOut);

        win.load();
        g().DifferencesOnly = true;
        openWindow([&] {
            compare::CompareRun run(win);
            run.state().FirstLocalStructure = run.state().LastLocalStructure = -1;   // nothing to read from disk
            auto& h = hidden();
            for (int side = 0; side < 2; ++side) {
                const auto& entries = side == 0 ? copy.first : copy.second;
                for (auto* l : {&h.lstFinalListBox, &h.lstHidden, &h.lstSystem, &h.lstReadOnly, &h.lstArchive,
                                &h.lstSize, &h.lstDate, &h.lstTime, &h.lstExcluded})
                    (*l)[side]->clear();
                for (const Entry& e : entries) {
                    h.lstFinalListBox[side]->addItem(e.path);
                    for (auto* l : {&h.lstHidden, &h.lstSystem, &h.lstReadOnly, &h.lstArchive})
                        (*l)[side]->addItem(QStringLiteral("False"));
                    h.lstSize[side]->addItem(e.size);
                    h.lstDate[side]->addItem(QStringLiteral("20000101"));
                    h.lstTime[side]->addItem(QStringLiteral("120000"));
                }
            }
            compare::RunEntryFilterStages(run);
            ui::Input::click(*win.cmdCancel);
        });
        for (int side = 0; side < 2; ++side) {
            QStringList kept;
            for (const Entry& e : s[side]) kept << e.path;
            EXPECT_EQ(paths(side), kept) << "round " << round << " side " << side;
            expectedOut[side].sort();   // lstExcluded is sorted: compare as sets
            QStringList got = excluded(side);
            got.sort();
            EXPECT_EQ(got, expectedOut[side]) << "round " << round << " side " << side;
            EXPECT_EQ(hidden().lstSize[side]->listCount(), kept.size());
        }
    }
}

// --- Cancel -----------------------------------------------------------------------------------

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
    EXPECT_EQ(excluded(0), QStringList{QStringLiteral("Docs\\Image.png")});
    EXPECT_EQ(paths(0).size(), kMixedPaths.size() - 1);
    EXPECT_EQ(hidden().lstTime[0]->listCount(), kMixedPaths.size() - 1);
}

} // namespace
