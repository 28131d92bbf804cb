// The comparison's decisions on their own, as tables: which entry each
// filter takes out, how two sorted sequences face each other, how output
// rows read, and the clock the run shows.
#include "compare/EntryFilters.h"
#include "compare/EntryLists.h"
#include "compare/FilterSupport.h"
#include "compare/FolderAlignment.h"
#include "compare/GridFill.h"
#include "platform/AppError.h"
#include "shared/DigitGrouping.h"
#include "shared/Progress.h"
#include "shared/RegionalFormats.h"
#include "shared/qstring_print.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

const QString kMarker = QStringLiteral("\"NULL\"");

// Levels take a limit given as digits; file types, a pattern, match the
// whole relative path and drop every empty folder.
TEST(FilterRules, LevelsAndFileTypes)
{
    const std::tuple<const char16_t*, const char16_t*, bool> cases[] = {
        {u"a.txt", u"1", false},           {u"Docs\\a.txt", u"1", true},          {u"Docs\\a.txt", u"2", false},
        {u"Docs\\Old\\a.txt", u"2", true}, {u"Docs\\Older\\\"NULL\"", u"2", true}, {u"Empty\\\"NULL\"", u"2", false},
        {u"Empty\\\"NULL\"", u"1", true},  {u"a\\b\\c\\d", u"4", false},           {u"a\\b\\c\\d", u"3", true},
        {u"Notes.txt", u"*.txt", false},          {u"README", u"*.txt", true},
        {u"Docs\\Old\\a.txt", u"*.txt", false},   {u"Report.doc", u"*.txt;*.doc", false},
        {u"Report.doc", u"*.png; *.doc", false},  {u"Docs\\Image.png", u"*.png; *.doc", false},
        {u"README", u"*.txt;*.*", false},         {u"Empty\\\"NULL\"", u"*.txt;*.*", true},
        {u"Notes.txt", u"N*", false},             {u"Docs\\Notes.txt", u"N*", true},
        {u"Numbers\\a.png", u"N*", false},        {u"README", u"READ??", false},
        {u"READ.ME", u"READ??", true},            {u"Notes.txt", u"*", true},
    };
    for (const auto& [p, s, out] : cases) {
        const QString path = QString::fromUtf16(p), setting = QString::fromUtf16(s);
        bool isLimit = false;
        const int limit = setting.toInt(&isLimit);
        EXPECT_EQ(isLimit ? compare::ExceedsLevelLimit(path, limit) : compare::FailsFileTypes(path, setting), out)
            << path.toStdString() << " against " << setting.toStdString();
    }
}

TEST(FilterRules, AttributeSwitches)
{
    struct Case {
        std::array<const char*, 4> flags;   // hidden, system, read-only, archive
        std::array<bool, 4> include;
        bool out;
    };
    const std::array<bool, 4> all = {true, true, true, true};
    const Case cases[] = {
        {{"True", "False", "True", "True"}, all, false},
        {{"True", "False", "False", "True"}, {false, true, true, true}, true},
        {{"False", "False", "False", "True"}, {false, true, true, true}, false},
        {{"False", "True", "False", "False"}, {true, false, true, true}, true},
        {{"False", "False", "True", "True"}, {true, true, false, true}, true},
        {{"False", "False", "False", "True"}, {true, true, true, false}, true},
        {{"False", "False", "False", "False"}, {false, false, false, false}, false},
        {{"tRUE", "false", " FALSE ", "True"}, {false, true, true, true}, true},   // any letter case, blanks around
    };
    for (const Case& c : cases) {
        const QString t[4] = {QLatin1String(c.flags[0]), QLatin1String(c.flags[1]), QLatin1String(c.flags[2]),
                              QLatin1String(c.flags[3])};
        EXPECT_EQ(compare::FailsAttributeSwitches(QStringLiteral("a.txt"), {&t[0], &t[1], &t[2], &t[3]}, c.include), c.out)
            << c.flags[0] << c.flags[1] << c.flags[2] << c.flags[3];
    }
    // An empty folder stays whatever its fields say; a flag text that is
    // neither True nor False is a type mismatch, even after a decision.
    const QString marker = kMarker, yes = QStringLiteral("True"), bad = QStringLiteral("Yes");
    EXPECT_FALSE(compare::FailsAttributeSwitches(QStringLiteral(" \\\"NULL\""), {&marker, &marker, &marker, &marker},
                                                 {false, false, false, false}));
    try {
        compare::FailsAttributeSwitches(QStringLiteral("a.txt"), {&yes, &bad, &yes, &yes}, {false, true, true, true});
        ADD_FAILURE() << "no error";
    } catch (const platform::AppError& e) {
        EXPECT_EQ(e.number, 13);
    }
}

TEST(FilterRules, FirstLevelFoldersCoverWhatLiesBelowThem)
{
    struct Case {
        bool caseSensitive;
        const char16_t* path;
        bool covered;
    };
    const QStringList listed = {QStringLiteral("Docs"), QStringLiteral("A")};
    const Case cases[] = {
        {true, u"Docs\\a.txt", true},  {true, u"Docs\\Sub\\b.txt", true}, {true, u"Docs\\Empty\\\"NULL\"", true},
        {true, u"Docs.txt", false},    {true, u"Docsa.txt", false},       {true, u"Docs2\\c.txt", false},
        {true, u"docs\\a.txt", false}, {false, u"docs\\a.txt", true},     {false, u"docs", false},
        {true, u"A\\x", true},         {true, u"B\\A\\x", false},          {true, u"Docs", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(compare::FolderSelection(listed, c.caseSensitive).covers(QString::fromUtf16(c.path)), c.covered)
            << QString::fromUtf16(c.path).toStdString() << (c.caseSensitive ? " case-sensitive" : " case-blind");
}

// --- Alignment -------------------------------------------------------------------------------

TEST(AlignmentOrder, EqualKeysFaceEachOtherAndTheRestFollowTheSortOrder)
{
    using Pairs = std::vector<std::pair<int, int>>;
    struct Case {
        std::vector<QString> a, b;
        bool caseBlind;
        Pairs expected;
    };
    const Case cases[] = {
        {{"a", "b", "b", "d"}, {"b", "c", "d", "d"}, false, {{0, -1}, {1, 0}, {2, -1}, {-1, 1}, {3, 2}, {-1, 3}}},
        {{"\\", "Docs"}, {"\\", "Alpha", "Docs"}, false, {{0, 0}, {-1, 1}, {1, 2}}},   // the root first
        {{"A.txt", "a.TXT"}, {"a.txt"}, false, {{0, -1}, {1, -1}, {-1, 0}}},           // upper case, then exact code
        {{"Name", "name"}, {"NAME"}, true, {{0, 0}, {1, -1}}},                         // the k-th faces the k-th
        {{"b.txt", "DOCS"}, {"B.TXT", "docs"}, true, {{0, 0}, {1, 1}}},
        {{"x"}, {}, false, {{0, -1}}},
        {{}, {"x", "y"}, false, {{-1, 0}, {-1, 1}}},
    };
    for (const Case& c : cases) {
        auto keys = [&](const std::vector<QString>& texts) {
            std::vector<QString> out;
            for (const QString& t : texts) out.push_back(c.caseBlind ? t.toUpper() : t);
            return out;
        };
        EXPECT_EQ(compare::MergeAligned(c.a, keys(c.a), c.b, keys(c.b)), c.expected)
            << QStringList(c.a.begin(), c.a.end()).join(u',').toStdString() << " / "
            << QStringList(c.b.begin(), c.b.end()).join(u',').toStdString();
    }
}

// Both-sided rows with "|" in their names are the output-row table's; here
// a one-sided one and a size wider than the usual ten digits.
TEST(ResultRows, AreReadFromTheRight)
{
    const compare::ResultFields ins = compare::ParseResultRow(QStringLiteral("x|y|"), 1);
    EXPECT_EQ(ins.kind, compare::ResultFields::Inserted);
    EXPECT_EQ(ins.name, QStringLiteral("x|y"));
    const QString row = QStringLiteral("a|b|False|False|True|True|0012345678901|20240102|030405");
    EXPECT_EQ(compare::ParseResultRow(row, 0).fields[4], QStringLiteral("0012345678901"));
}

// One rule colours the grid and drives Next difference: the pairs that differ.
TEST(ResultRows, DifferingPairs)
{
    struct Case {
        std::array<const char16_t*, 8> cells;
        bool oneSided;
        bool caseSensitive;
        unsigned pairs;
    };
    const Case cases[] = {
        {{u"a", u"a", u"1", u"1", u"d", u"d", u"t", u"t"}, false, true, 0},
        {{u"a", u"a", u"1", u"2", u"d", u"d", u"t", u"u"}, false, true, 0b1010},
        {{u"a.txt", u"A.TXT", u"1", u"1", u"d", u"d", u"t", u"t"}, false, true, 0b0001},
        {{u"a.txt", u"A.TXT", u"1", u"1", u"d", u"d", u"t", u"t"}, false, false, 0},
        {{u"Docs\\", u"Docs\\", u"     ", u"     ", u"   ", u"   ", u"     ", u"     "}, false, true, 0},
        {{u"Docs\\", u"docs\\", u"     ", u"     ", u"   ", u"   ", u"     ", u"     "}, false, false, 0},
        {{u"Docs\\", u"docs\\", u"    ", u"   ", u"    ", u"   ", u"    ", u"   "}, false, true, 0b1111},
        {{u"Docs\\", u" ", u"    ", u"   ", u"    ", u"   ", u"    ", u"   "}, true, false, 0b1111},
        {{u"x", u" ", u"5", u" ", u"d", u" ", u"t", u" "}, true, true, 0b1111},
        // a file named by one blank facing the blanks of the missing side
        {{u" ", u" ", u"10", u" ", u"d", u" ", u"t", u" "}, true, true, 0b1111},
        {{u" ", u" ", u" ", u" ", u" ", u" ", u" ", u" "}, true, true, 0b0001},
    };
    for (const Case& c : cases) {
        std::array<QString, 8> cells;
        for (std::size_t k = 0; k < 8; ++k) cells[k] = QString::fromUtf16(c.cells[k]);
        EXPECT_EQ(compare::DifferingPairs(cells, c.oneSided, c.caseSensitive), c.pairs)
            << cells[0].toStdString() << " / " << cells[1].toStdString() << (c.oneSided ? " one-sided" : "");
    }
}

// Sizes are grouped without the locale per number, exactly as it groups them.
TEST(ResultRows, SizesGroupAsTheLocaleGroupsThem)
{
    for (const char* name : {"en_US", "el_GR", "C", "en_IN", "de_CH", "fr_FR", "es_ES", "ar_EG"}) {
        const shared::RegionalFormats formats = shared::RegionalFormats::fromLocale(QLocale(QString::fromLatin1(name)));
        const shared::DigitGrouping grouping([&](qint64 v) { return formats.groupedNumber(v); });
        std::vector<qint64> numbers = {0, 7, 10, 999, 1000, 9999, 10000, 123456, 1000000, 4294967296LL,
                                       std::numeric_limits<qint64>::max(), -1, -1234567};
        for (qint64 p = 1; p <= std::numeric_limits<qint64>::max() / 10; p *= 10) numbers.push_back(p * 7 + 3);
        for (const qint64 n : numbers)
            EXPECT_EQ(grouping.format(n), formats.groupedNumber(n)) << name << " " << n;
    }
}

// --- Texts -----------------------------------------------------------------------------------

TEST(RunTexts, TheClockCountsHoursBeyondADay)
{
    const std::pair<qint64, const char*> clock[] = {{0, "00:00:00"}, {3661, "01:01:01"}, {359999, "99:59:59"}, {360000, "100:00:00"}};
    for (const auto& [seconds, text] : clock) EXPECT_EQ(basGlobal::ElapsedTimeText(seconds), QLatin1String(text));
}

// An entry is its folder and its name; every stage that needs the whole
// path gets back exactly the text it was given, and the folder alone
// decides the levels and the marker.
TEST(EntryListsRules, PathsComeBackWholeAndTheFolderHoldsEveryLevel)
{
    const struct {
        const char16_t* path;
        const char16_t* folder;
        bool marker;
    } cases[] = {
        {u"a.txt", u"", false},
        {u"Docs\\a.txt", u"Docs\\", false},
        {u"Docs\\b.txt", u"Docs\\", false},
        {u"Docs\\Old\\\"NULL\"", u"Docs\\Old\\", true},
        {u"\"NULL\"", u"", false},   // a file of the root is never a marker
        {u"Docs\\Older\\x\"NULL\"", u"Docs\\Older\\", false},
        {u"Docs\\Older\\\"NULL\" ", u"Docs\\Older\\", false},
        {u"a\\b\\c\\", u"a\\b\\c\\", false},
        {u"Other\\a.txt", u"Other\\", false},
        {u"Docs\\c.txt", u"Docs\\", false},
    };
    const compare::EntryLists entries(0);
    entries.clear();
    for (const auto& c : cases) entries.add(QString::fromUtf16(c.path), {});
    ASSERT_EQ(entries.count(), int(std::size(cases)));
    for (int k = 0; k < entries.count(); ++k) {
        const QString path = QString::fromUtf16(cases[k].path);
        SCOPED_TRACE(path.toStdString());
        EXPECT_EQ(entries.path(k), path);
        EXPECT_EQ(entries.folderText(entries.folderOf(k)), QString::fromUtf16(cases[k].folder));
        EXPECT_EQ(entries.isMarker(k), cases[k].marker);
        EXPECT_EQ(entries.isMarker(k), compare::IsMarkerEntry(path));
        for (const int limit : {1, 2, 3, 4})
            EXPECT_EQ(compare::ExceedsLevelLimit(entries.folderText(entries.folderOf(k)), limit),
                      compare::ExceedsLevelLimit(path, limit));
    }
    // Taking entries out keeps the rest whole and in order.
    std::vector<bool> remove(std::size(cases), false);
    remove[0] = remove[3] = remove[8] = true;
    entries.removeEntries(remove);
    QStringList left;
    for (int k = 0; k < entries.count(); ++k) left << entries.path(k);
    EXPECT_EQ(left, (QStringList{"Docs\\a.txt", "Docs\\b.txt", "\"NULL\"", "Docs\\Older\\x\"NULL\"",
                                 "Docs\\Older\\\"NULL\" ", "a\\b\\c\\", "Docs\\c.txt"}));
    entries.clear();
}

// A collection's files arrive by folder; their facts stay with them until
// the attribute stage lets them go.
TEST(EntryListsRules, ScannedFilesKeepTheirFactsInEntryOrder)
{
    const compare::EntryLists entries(1);
    basGlobal::StructureEntrySink& sink = entries.sink();
    sink.clear();
    sink.expect(3, 2);
    const auto file = [](const char* name, qint64 size) {
        platform::DirEntry e;
        e.name = QString::fromLatin1(name);
        e.facts.size = size;
        return e;
    };
    sink.beginFolder(QString());
    sink.addFile(file("r.txt", 1));
    sink.beginFolder(QStringLiteral("Empty\\"));
    sink.addMarker();
    sink.beginFolder(QStringLiteral("D\\E\\"));
    sink.addFile(file("a", 2));
    sink.addFile(file("b", 3));
    ASSERT_EQ(entries.count(), 4);
    const QStringList paths{"r.txt", "Empty\\" + kMarker, "D\\E\\a", "D\\E\\b"};
    const qint64 sizes[] = {1, -1, 2, 3};
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(entries.path(k), paths[k]);
        EXPECT_EQ(entries.isMarker(k), k == 1);
        const platform::FileFacts* f = entries.scannedFacts(k);
        EXPECT_EQ(f ? f->size : -1, sizes[k]) << k;
    }
    std::vector<bool> remove{true, false, false, false};
    entries.removeEntries(remove);
    ASSERT_NE(entries.scannedFacts(2), nullptr);
    EXPECT_EQ(entries.scannedFacts(2)->size, 3) << "facts follow their entry when others leave";
    entries.releaseFacts();
    for (int k = 0; k < entries.count(); ++k) EXPECT_EQ(entries.scannedFacts(k), nullptr) << k;
    EXPECT_EQ(entries.path(2), QStringLiteral("D\\E\\b"));
    sink.clear();
    EXPECT_EQ(entries.count(), 0);
}

} // namespace
