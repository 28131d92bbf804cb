// The structure-file parser: the rules of single lines, whole files with
// the line at fault (clashes between records included), and random damage
// to valid files, judged by a second, plain reading of the rules.
#include "shared/StructureFile.h"
#include "platform/TextDecoding.h"
#include "shared/shared_fixture.h"
#include "support/TempDrive.h"
#include "ui/SortOrder.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStringDecoder>

#include <map>

#include <algorithm>

using namespace basGlobal;

namespace {

struct LineCase {
    const char* rule;   // W (0..2^31-1), F flag, S size, D date, T time, M marker
    const char* line;
    const char* expect; // the normalised text, "" refused
};

const LineCase kLines[] = {
    {"W", "12", "12"}, {"W", "+5", "5"}, {"W", "-0", "0"}, {"W", "007", "7"}, {"W", " 7", ""}, {"W", "7 ", ""},
    {"W", "1.0", ""}, {"W", "", ""}, {"W", "+", ""}, {"W", "2147483648", ""}, {"W", "-1", ""}, {"W", "1e3", ""},
    {"W", "\t7", ""},
    {"F", "true", "True"}, {"F", " False ", "False"}, {"F", "FALSE", "False"}, {"F", "T", ""}, {"F", "1", ""},
    {"F", "\ttrue", ""},
    {"S", "0", "0000000000"}, {"S", "1234", "0000001234"}, {"S", "+1", "0000000001"},
    {"S", "12345678901", "12345678901"}, {"S", "9223372036854775807", "9223372036854775807"},
    {"S", "9223372036854775808", ""}, {"S", "12.5", ""}, {"S", " 12", ""}, {"S", "-1", ""},
    {"S", "10000000000000000000", ""}, {"S", "-10000000000000000000", ""}, {"S", "-9223372036854775808", ""},
    {"D", "20020824", "20020824"}, {"D", " 20020824 ", "20020824"}, {"D", "20020231", "20020231"},
    {"D", "+9990101", "09990101"}, {"D", "2002082", ""}, {"D", "200208240", ""}, {"D", "20021301", ""},
    {"D", "20020800", ""}, {"D", "2002 824", ""},
    {"T", "140509", "140509"}, {"T", " 000000", "000000"}, {"T", "235959", "235959"}, {"T", "240000", ""},
    {"T", "126000", ""}, {"T", "+1+1+1", "010101"}, {"T", "14059", ""},
    {"M", "\"NULL\"", "y"}, {"M", " \"null\" ", "y"}, {"M", "NULL", ""}, {"M", "\"NULL\"x", ""},
};

TEST(StructureLines, EachRuleAcceptsAndNormalisesOnlyItsOwnTexts)
{
    for (const LineCase& c : kLines) {
        const QByteArrayView line(c.line);
        QString got;
        qint64 v = -1;
        switch (c.rule[0]) {
        case 'W': got = WholeNumberLine(line, 0, kStructureCountMax, &v) ? QString::number(v) : QString(); break;
        case 'F': got = FlagLineText(line); break;
        case 'S': got = SizeLineText(line); break;
        case 'D': got = DateLineText(line); break;
        case 'T': got = TimeLineText(line); break;
        case 'M': got = MarkerLine(line) ? QStringLiteral("y") : QString(); break;
        }
        EXPECT_EQ(got, QString::fromLatin1(c.expect)) << c.rule << " '" << c.line << "'";
    }
}

QByteArray join(const QList<QByteArray>& lines, const char* eol = "\r\n")
{
    QByteArray out;
    for (const QByteArray& l : lines) out += l + eol;
    return out;
}

const QList<QByteArray> kSmallest = {"12", "C:\\Root\\", "1", "Sub", "1", "False", "False", "False", "True",
                                     "0000000005", "20240229", "235959", "C:\\Root\\Sub\\f.txt"};

QList<QByteArray> with(int line, const QByteArray& text)
{
    QList<QByteArray> l = kSmallest;
    l[line - 1] = text;
    return l;
}

QList<QByteArray> marker(QList<QByteArray> l, const QByteArray& path)
{
    for (int k = 5; k < 12; ++k) l[k] = "\"NULL\"";
    l[12] = path;
    return l;
}

// Records under C:\R\ with the given paths below it (a path ending in the
// marker is an empty folder's record), each with its own size.
QByteArray tree(const QList<QByteArray>& paths)
{
    QList<QByteArray> l = {"", "C:\\R\\", "0", QByteArray::number(paths.size())};
    int k = 0;
    for (const QByteArray& p : paths) {
        const QByteArray path = QByteArray("C:\\R\\") + p;
        if (path.endsWith("\\\"NULL\""))
            for (int j = 0; j < 7; ++j) l << "\"NULL\"";
        else
            l << "False" << "False" << "False" << "True" << QByteArray::number(++k) << "20240229" << "235959";
        l << path;
    }
    l[0] = QByteArray::number(l.size());
    return join(l);
}

struct FileCase {
    const char* name;
    QByteArray content;
    qint64 faultLine;   // 0 accepted
    bool caseSensitive = true;
};

class StructureFiles : public SharedTest {
protected:
    void SetUp() override
    {
        SharedTest::SetUp();
        g().VolumeIsCaseSensitive = true;
    }
    ParseOutcome parse(const QByteArray& content, ParsedStructure& out)
    {
        drive.file(QStringLiteral("s.txt"), content);
        Long error = 0;
        return ParseStructureFile(QStringLiteral("C:\\s.txt"), out, error);
    }
    testing_support::TempDrive drive;
};

TEST_F(StructureFiles, RefuseAtTheLineThatBreaksItsRule)
{
    QList<QByteArray> twoRecords = kSmallest;
    twoRecords[4] = "2";
    twoRecords << "False" << "False" << "False" << "True" << "1" << "20240229" << "235959" << "C:\\Root\\a.txt";
    const FileCase cases[] = {
        {"smallest", join(kSmallest), 0},
        {"lf and cr ends", join(kSmallest, "\n"), 0},
        {"cr ends", join(kSmallest, "\r"), 0},
        {"no last end", join(kSmallest).chopped(2), 0},
        {"extra lines", join(kSmallest) + "junk\r\n", 0},
        {"count 1 below lines", join(with(1, "3")), 0},
        {"utf8 mark", "\xEF\xBB\xBF" + join(kSmallest), 0},
        {"no folders", join({"12", "C:\\R", "0", "1", "true", "false", "false", "false", "1", "20020824", "140509",
                             "C:\\R\\x"}), 0},
        {"empty folder", join(marker(kSmallest, "C:\\Root\\Sub\\\"NULL\"")), 0},
        {"empty", QByteArray(), 1},
        {"count blank", join(with(1, " 12")), 1},
        {"root blank", join(with(2, "   ")), 2},
        {"folders", join(with(3, "one")), 3},
        {"name blank", join(with(4, "")), 4},
        {"records 0", join(with(5, "0")), 5},
        {"flag", join(with(7, "yes")), 7},
        {"size", join(with(10, "5.0")), 10},
        {"date", join(with(11, "20241301")), 11},
        {"time", join(with(12, "240000")), 12},
        {"path blank", join(with(13, " ")), 13},
        {"outside", join(with(13, "C:\\Other\\f.txt")), 13},
        {"case", join(with(13, "c:\\root\\Sub\\f.txt")), 13},
        {"the root itself", join(with(13, "C:\\Root\\")), 13},
        {"dot dot", join(with(13, "C:\\Root\\..\\..\\etc\\passwd")), 13},
        {"dot", join(with(13, "C:\\Root\\.\\f")), 13},
        {"double", join(with(13, "C:\\Root\\a\\\\f")), 13},
        {"file ends in separator", join(with(13, "C:\\Root\\Sub\\")), 13},
        {"marker among values", join(with(9, "\"NULL\"")), 9},
        {"value among markers", [] { auto l = marker(kSmallest, "C:\\Root\\Sub\\\"NULL\""); l[10] = "20240101"; return join(l); }(), 11},
        {"marker file of the root", join(marker(kSmallest, "C:\\Root\\\"NULL\"")), 6},
        {"truncated", join(kSmallest.mid(0, 9)), 10},
        {"second record missing", join(twoRecords.mid(0, 17)), 18},
        {"nul in the root", join(with(2, "C:\\Ro" + QByteArray(1, '\0') + "ot")), 2},
        {"nul in a folder name", join(with(4, "S" + QByteArray(1, '\0'))), 4},
        {"nul in a path", join(with(13, "C:\\Root\\Sub\\f" + QByteArray(1, '\0') + ".txt")), 13},
        {"the same record twice", join(kSmallest.mid(0, 4) + QList<QByteArray>{"2"} + kSmallest.mid(5) + kSmallest.mid(5)), 21},
        {"the same path with other values", tree({"a", "a"}), 20},
        {"the same path after another folder", tree({"s\\f", "t\\g", "s\\f"}), 28},
        {"an empty folder twice", tree({"e\\\"NULL\"", "e\\\"NULL\""}), 20},
        {"a file, then a folder of its path", tree({"a", "a\\b"}), 20},
        {"a folder, then a file of its path", tree({"a\\b\\c", "a\\b"}), 20},
        {"an empty folder, then a file of its path", tree({"a\\\"NULL\"", "a"}), 20},
        {"a file, then an empty folder below it", tree({"a", "a\\b\\\"NULL\""}), 20},
        {"an empty folder beside a file", tree({"a\\f", "a\\\"NULL\""}), 20},
        {"a file beside an empty folder", tree({"a\\\"NULL\"", "b", "a\\f"}), 28},
        {"an empty folder above a folder with files", tree({"a\\\"NULL\"", "a\\b\\f", "a\\c\\\"NULL\""}), 0},
        {"paths out of order", tree({"b\\f", "a", "b\\g", "b\\h\\i"}), 0},
        {"letter case on a case-sensitive volume", tree({"a", "A", "b\\f", "B\\f"}), 0},
        {"letter case on a case-blind volume", tree({"b\\f", "B\\F"}), 20, false},
        {"a folder in other letters on a case-blind volume", tree({"b", "B\\f"}), 20, false},
    };
    for (const FileCase& c : cases) {
        g().VolumeIsCaseSensitive = c.caseSensitive;
        ParsedStructure p;
        const ParseOutcome r = parse(c.content, p);
        EXPECT_EQ(r, c.faultLine ? ParseOutcome::Refused : ParseOutcome::Parsed) << c.name;
        EXPECT_EQ(p.problem.line, c.faultLine) << c.name;
    }
}

// On a case-blind volume two paths are the same when their letters, each
// upper-cased on its own, are: beyond ASCII too, and not otherwise.
TEST_F(StructureFiles, CaseBlindClashesFollowTheUpperCaseOfEachLetter)
{
    const FileCase cases[] = {
        {"long ASCII names", tree({"abcdefghij\\k.txt", "ABCDEFGHIJ\\K.TXT"}), 20, false},
        {"Greek", tree({"\xce\xb1\xce\xb2", "\xce\x91\xce\x92"}), 20, false},
        {"a letter beyond ASCII after four ASCII ones", tree({"abcd\xc3\xa9" "f", "ABCD\xc3\x89" "F"}), 20, false},
        {"a letter of two UTF-16 units", tree({"\xf0\x90\x90\xa8", "\xf0\x90\x90\x80"}), 20, false},
        {"a sharp s is not SS", tree({"stra\xc3\x9f" "e", "STRASSE"}), 0, false},
        {"Greek on a case-sensitive volume", tree({"\xce\xb1", "\xce\x91"}), 0, true},
    };
    for (const FileCase& c : cases) {
        g().VolumeIsCaseSensitive = c.caseSensitive;
        ParsedStructure p;
        parse(c.content, p);
        EXPECT_EQ(p.problem.line, c.faultLine) << c.name;
    }
}

// The message names what the two records make of their path, whichever of
// them comes first.
TEST_F(StructureFiles, AClashIsNamedByWhatTheTwoRecordsMakeOfTheirPath)
{
    const QString twice = QStringLiteral("line 20 holds a path that an earlier record already holds.");
    const QString both = QStringLiteral("line 20 holds a path that is both a file and a folder.");
    const QString marked = QStringLiteral("line 20 marks a folder as empty that holds files.");
    const struct {
        const char* name;
        QByteArray content;
        QString ending;
        bool caseSensitive;
    } cases[] = {
        {"a file twice", tree({"s\\f", "s\\f"}), twice, true},
        {"an empty folder twice", tree({"e\\\"NULL\"", "e\\\"NULL\""}), twice, true},
        {"a file, then a folder of its path", tree({"a", "a\\b"}), both, true},
        {"a folder, then a file of its path", tree({"a\\b\\c", "a\\b"}), both, true},
        {"a folder, then a file of its path in the root", tree({"a\\c", "a"}), both, true},
        {"an empty folder, then a file of its path", tree({"a\\\"NULL\"", "a"}), both, true},
        {"a folder, then a file of its path in other letters", tree({"s\\Ab\\c", "s\\aB"}), both, false},
        {"an empty folder beside a file", tree({"a\\f", "a\\\"NULL\""}), marked, true},
        {"a file beside an empty folder", tree({"a\\\"NULL\"", "a\\f"}), marked, true},
    };
    for (const auto& c : cases) {
        g().VolumeIsCaseSensitive = c.caseSensitive;
        ParsedStructure p;
        EXPECT_EQ(parse(c.content, p), ParseOutcome::Refused) << c.name;
        EXPECT_TRUE(StructureFileProblemText(p.problem, false).endsWith(c.ending))
            << c.name << ": " << qPrintable(StructureFileProblemText(p.problem, false));
    }
}

// A record that clashes is refused at its own path line, whatever comes
// after it: a broken line of the next record, the end of the file, or a
// cancel heard while the next record is read. What was read before it stays.
TEST_F(StructureFiles, AClashIsRefusedAtItsOwnLineBeforeWhatFollowsIt)
{
    QList<QByteArray> lines = tree({"a", "a", "b"}).split('\n');
    lines[26] = "2024022\r";   // the third record's date
    const QByteArray brokenAfter = lines.join('\n');
    struct Case {
        const char* name;
        QByteArray content;
        qint64 stopAfter;   // the line after which the hook says stop; 0 never
        qint64 line;
        std::size_t kept;
    };
    const Case cases[] = {
        {"a broken line after it", brokenAfter, 0, 20, 1},
        {"the end after it", tree({"b", "a", "a"}), 0, 28, 2},
        {"a cancel after it", tree({"a", "a", "b"}), 21, 20, 1},
    };
    for (const Case& c : cases) {
        drive.file(QStringLiteral("s.txt"), c.content);
        ParsedStructure p;
        Long error = 0;
        qint64 line = 0;
        const StructureLineHook hook = [&] { return !c.stopAfter || ++line <= c.stopAfter; };
        EXPECT_EQ(ParseStructureFile(QStringLiteral("C:\\s.txt"), p, error, hook), ParseOutcome::Refused) << c.name;
        EXPECT_EQ(p.problem.line, c.line) << c.name;
        EXPECT_EQ(p.problem.fault, StructureFileFault::DuplicatePath) << c.name;
        EXPECT_EQ(p.records.size(), c.kept) << c.name;
    }
}

// A parse given a check of its own applies that one instead of the
// program's: started with the parse's records, handed each record as the
// last read, released before the records are ordered, and its fault
// refuses the parse at that record's path line.
TEST_F(StructureFiles, AGivenRecordCheckTakesThePlaceOfTheProgramsOwn)
{
    struct Recording final : StructureRecordCheck {
        const std::vector<StructureFileRecord>* records = nullptr;
        qsizetype rootSize = 0;
        QStringList seen, atRelease;
        std::size_t refuse = std::size_t(-1);
        void start(const std::vector<StructureFileRecord>& r, qsizetype root, bool) override
        {
            records = &r;
            rootSize = root;
        }
        StructureFileFault add(std::size_t k) override
        {
            seen << (k + 1 == records->size() ? (*records)[k].path.mid(rootSize) : QStringLiteral("not the last"));
            return k == refuse ? StructureFileFault::FileAndFolder : StructureFileFault::None;
        }
        void release() override { for (const StructureFileRecord& r : *records) atRelease << r.path.mid(rootSize); }
    };
    drive.file(QStringLiteral("s.txt"), tree({"b", "a", "a"}));
    const QString name = QStringLiteral("C:\\s.txt");
    ParsedStructure p;
    Long error = 0;
    Recording check;
    ASSERT_EQ(ParseStructureFile(name, p, error, check), ParseOutcome::Parsed) << "the program's check is not applied";
    EXPECT_EQ(check.seen, (QStringList{"b", "a", "a"}));
    EXPECT_EQ(check.atRelease, (QStringList{"b", "a", "a"}));
    EXPECT_EQ(p.records.front().path, QStringLiteral("C:\\R\\a"));
    EXPECT_EQ(ParseStructureFile(name, p, error), ParseOutcome::Refused) << "the program's check";

    Recording refusing;
    refusing.refuse = 1;
    EXPECT_EQ(ParseStructureFile(name, p, error, refusing), ParseOutcome::Refused);
    EXPECT_EQ(p.problem.fault, StructureFileFault::FileAndFolder);
    EXPECT_EQ(p.problem.line, 20);
    EXPECT_EQ(p.records.size(), 1u);
}

TEST_F(StructureFiles, ValuesAreNormalisedRecordsSortedAndUtf16Read)
{
    QList<QByteArray> l = {"20", "C:\\R\\", "0", "2",
                           " true", "FALSE", "false", "True", "+12", " 20020824 ", "140509", "C:\\R\\b\\x",
                           "false", "false", "false", "false", "0", "20020824", "140509", "C:\\R\\a"};
    ParsedStructure p;
    ASSERT_EQ(parse(join(l), p), ParseOutcome::Parsed);
    ASSERT_EQ(p.records.size(), 2u);
    EXPECT_EQ(p.records[0].path, QStringLiteral("C:\\R\\a")) << "the root's files come first";
    const StructureFileRecord& r = p.records[1];
    EXPECT_EQ(QStringList({r.hidden, r.system, r.size, r.date}),
              QStringList({"True", "False", "0000000012", "20020824"}));

    QByteArray utf16("\xFF\xFE");
    const QString text = QString::fromUtf8(join(with(13, "C:\\Root\\Sub\\\xCE\xB1.txt")));
    utf16.append(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    ASSERT_EQ(parse(utf16, p), ParseOutcome::Parsed);
    EXPECT_EQ(p.records[0].path, QStringLiteral("C:\\Root\\Sub\\α.txt"));

    ASSERT_EQ(parse(join(with(4, "\xC1\xF1\xF7\xE5\xDF\xE1")), p), ParseOutcome::Parsed);
    EXPECT_EQ(p.header.firstLevelFolders.first(), QStringLiteral("Αρχεία")) << "Windows-1253 when not UTF-8";
}

TEST_F(StructureFiles, RecordsOutOfOrderAreOrderedUnderAHookThatMayStopIt)
{
    QList<QByteArray> paths;
    for (int d = 0; d < 200; ++d)
        for (int f = 0; f < 20; ++f) paths << "d" + QByteArray::number(d) + "\\f" + QByteArray::number(f);
    QList<QByteArray> shuffled = paths;
    QRandomGenerator rng(7);
    std::shuffle(shuffled.begin(), shuffled.end(), rng);
    drive.file(QStringLiteral("s.txt"), tree(shuffled));
    const QString name = QStringLiteral("C:\\s.txt");
    ParsedStructure p;
    Long error = 0;
    int calls = 0;
    ASSERT_EQ(ParseStructureFile(name, p, error, {}, [&] { return ++calls > 0; }), ParseOutcome::Parsed);
    EXPECT_GT(calls, 1) << "heard all along, not once";
    // One folder level and no file in the root: the order is that of the whole paths.
    QStringList expected;
    for (const QByteArray& path : paths) expected << QStringLiteral("C:\\R\\") + QString::fromLatin1(path);
    std::stable_sort(expected.begin(), expected.end(), ui::sortsBefore);
    QStringList got;
    for (const StructureFileRecord& r : p.records) got << r.path;
    EXPECT_EQ(got, expected);

    calls = 0;
    EXPECT_EQ(ParseStructureFile(name, p, error, {}, [&] { return ++calls < 3; }), ParseOutcome::Stopped);
    EXPECT_EQ(calls, 3);
    EXPECT_EQ(p.problem.fault, StructureFileFault::None);

    // A stop at any of the hook's calls stops the reading, every record
    // still there, as read or already in order.
    QStringList asRead;
    for (const QByteArray& path : shuffled) asRead << QStringLiteral("C:\\R\\") + QString::fromLatin1(path);
    int all = 0;
    ASSERT_EQ(ParseStructureFile(name, p, error, {}, [&] { return ++all > 0; }), ParseOutcome::Parsed);
    for (int at = 1; at <= all; ++at) {
        SCOPED_TRACE(at);
        calls = 0;
        EXPECT_EQ(ParseStructureFile(name, p, error, {}, [&] { return ++calls < at; }), ParseOutcome::Stopped);
        EXPECT_EQ(calls, at);
        QStringList left;
        for (const StructureFileRecord& r : p.records) left << r.path;
        EXPECT_TRUE(left == asRead || left == expected) << left.size();
    }
}

// The hook repaints and hears a cancel: it is asked every few thousand
// steps of the ordering, never for each record, and a file already in the
// exporter's order (the usual one) is taken as it stands, the hook asked
// once after its last record.
TEST_F(StructureFiles, TheOrderingIsHeardEveryFewThousandStepsAndARecordsOrderIsKept)
{
    QStringList ordered;
    for (int d = 0; d < 200; ++d)
        for (int f = 0; f < 20; ++f) ordered << QStringLiteral("d%1\\f%2").arg(d).arg(f);
    std::stable_sort(ordered.begin(), ordered.end(), ui::sortsBefore);
    QList<QByteArray> inOrder;
    for (const QString& path : ordered) inOrder << path.toLatin1();
    QList<QByteArray> shuffled = inOrder;
    QRandomGenerator rng(11);
    std::shuffle(shuffled.begin(), shuffled.end(), rng);
    for (const bool sorted : {true, false}) {
        drive.file(QStringLiteral("s.txt"), tree(sorted ? inOrder : shuffled));
        ParsedStructure p;
        Long error = 0;
        int calls = 0;
        ASSERT_EQ(ParseStructureFile(QStringLiteral("C:\\s.txt"), p, error, {}, [&] { return ++calls > 0; }),
                  ParseOutcome::Parsed);
        QStringList got;
        for (const StructureFileRecord& r : p.records) got << r.path.mid(5);
        EXPECT_EQ(got, ordered) << sorted;
        if (sorted)
            EXPECT_EQ(calls, 1) << "nothing to put in order";
        else
            EXPECT_TRUE(calls > 1 && calls < int(ordered.size()) / 100) << calls;
    }
}

TEST_F(StructureFiles, AHugeLineIsRefusedWithoutReadingItAll)
{
    QByteArray content = "12\r\nC:\\R\\\r\n0\r\n1\r\n" + QByteArray(16 << 20, 'x');
    ParsedStructure p;
    ASSERT_EQ(parse(content, p), ParseOutcome::Refused);
    EXPECT_EQ(p.problem.line, 5);
    EXPECT_EQ(p.problem.fault, StructureFileFault::LineTooLong);
    content = "12\r\nC:\\R\\\r\n0\r\n1\r\n" + QByteArray(kStructureLineLimit, 'x') + "\r\n";
    ASSERT_EQ(parse(content, p), ParseOutcome::Refused);
    EXPECT_EQ(p.problem.fault, StructureFileFault::NotAFlag) << "a line at the limit is read";
    content.insert(content.size() - 2, 'x');
    ASSERT_EQ(parse(content, p), ParseOutcome::Refused);
    EXPECT_EQ(p.problem.fault, StructureFileFault::LineTooLong) << "one byte more is not";
}

TEST_F(StructureFiles, ReadersServeTheAcceptedParseNotTheFile)
{
    drive.file(QStringLiteral("a.txt"), join(kSmallest));
    const QString name = QStringLiteral("C:\\a.txt");
    auto parsed = std::make_shared<ParsedStructure>();
    Long error = 0;
    ASSERT_EQ(ParseStructureFile(name, *parsed, error), ParseOutcome::Parsed);
    AcceptStructure(1, name, parsed);
    drive.file(QStringLiteral("a.txt"), "1\r\n");   // changed after the check
    StructureFileReader reader;
    StructureFileHeader h;
    StructureFileRecord r;
    ASSERT_EQ(reader.open(name), 0);
    ASSERT_TRUE(reader.readHeader(h));
    EXPECT_EQ(h.root, QStringLiteral("C:\\Root\\"));
    EXPECT_TRUE(reader.readRecord(r));
    ForgetAcceptedStructures();
    QString root = QStringLiteral("x");
    EXPECT_EQ(ReadStructureFileRoot(name, root), 0) << "a short file is the import stage's to report";
    EXPECT_EQ(root, QString());
    EXPECT_EQ(ReadStructureFileRoot(QStringLiteral("C:\\none.txt"), root), 53);

    // A reader that is not open, or closed, or failed to open serves nothing and names no fault.
    for (const int way : {0, 1, 2}) {
        SCOPED_TRACE(way);
        StructureFileReader idle;
        if (way == 1) {
            ASSERT_EQ(idle.open(name), 0);
            idle.close();
        } else if (way == 2) {
            EXPECT_EQ(idle.open(QStringLiteral("C:\\none.txt")), 53);
        }
        qint64 total = -1;
        EXPECT_FALSE(idle.readTotalLines(total));
        EXPECT_EQ(total, -1);
        EXPECT_FALSE(idle.readHeader(h));
        EXPECT_FALSE(idle.readRecord(r));
        EXPECT_EQ(idle.linesRead(), 0);
        EXPECT_EQ(idle.problem().fault, StructureFileFault::None);
    }
}

// --- A plain reading of the rules ----------------------------------------------------

// A record as the plain reading sees it: a file's path or an empty
// folder, and the folders it lies in.
struct PlainRecord {
    bool emptyFolder;
    QString path;        // the file, or the empty folder
    QString parent;      // the folder that holds the file ("" the root)
    QStringList folders; // every folder of the path (an empty folder's own included)
};

PlainRecord plainRecord(const QString& rel, bool emptyFolder)
{
    PlainRecord r{emptyFolder, emptyFolder ? rel.chopped(7) : rel, {}, {}};
    const QStringList parts = r.path.split(u'\\');
    for (int k = 1; k <= parts.size() - (emptyFolder ? 0 : 1); ++k) r.folders << parts.mid(0, k).join(u'\\');
    r.parent = emptyFolder || parts.size() == 1 ? QString() : r.folders.last();
    return r;
}

// The same path twice (two files, or two empty folders), a file that is a
// folder of the other, an empty folder that holds the other, a file.
bool plainClash(const PlainRecord& a, const PlainRecord& b)
{
    if (a.emptyFolder == b.emptyFolder && a.path == b.path) return true;
    if (!a.emptyFolder && b.folders.contains(a.path)) return true;
    return a.emptyFolder && !b.emptyFolder && b.parent == a.path;
}

// Accepted: 0; refused: the line at fault. On a case-blind volume paths
// are compared upper-cased (the tests' names have no letter whose upper
// case is longer).
qint64 judge(const QByteArray& content, bool caseSensitive)
{
    static const QRegularExpression number(QStringLiteral("^[+-]?[0-9]+$"));
    QByteArray data = content;
    if (data.startsWith("\xEF\xBB\xBF")) {
        data = data.mid(3);
    } else if (data.startsWith("\xFF\xFE") || data.startsWith("\xFE\xFF")) {
        QStringDecoder utf16(data.startsWith("\xFF\xFE") ? QStringConverter::Utf16LE : QStringConverter::Utf16BE);
        data = QString(utf16(data.mid(2))).toUtf8();
    }
    QList<QByteArray> lines;
    for (qsizetype at = 0; at < data.size();) {
        qsizetype end = at;
        while (end < data.size() && data[end] != '\r' && data[end] != '\n') ++end;
        lines << data.mid(at, end - at);
        at = end + (end + 1 < data.size() && data[end] == '\r' && data[end + 1] == '\n' ? 2 : 1);
    }
    QByteArray s;
    auto line = [&](qint64 k) {
        if (k > lines.size() || lines[k - 1].size() > kStructureLineLimit) return false;
        s = lines[k - 1];
        return true;
    };
    auto wn = [](const QByteArray& t, qint64 lo, qint64 hi, qint64& v) {
        bool ok = false;
        v = t.toLongLong(&ok);
        return ok && number.match(QString::fromLatin1(t)).hasMatch() && v >= lo && v <= hi;
    };
    auto trimmed = [](QByteArray t) {
        while (t.startsWith(' ')) t.remove(0, 1);
        while (t.endsWith(' ')) t.chop(1);
        return t;
    };
    auto parts = [&](const QByteArray& t, std::initializer_list<std::array<int, 3>> ps) {
        qint64 v = 0, at = 0, width = 0;
        for (const auto& p : ps) width += p[0];
        if (t.size() != width) return false;
        for (const auto& p : ps) {
            if (!wn(t.mid(at, p[0]), p[1], p[2], v)) return false;
            at += p[0];
        }
        return true;
    };
    // A name line: something besides blanks, and no NUL.
    auto name = [&](qint64 k) { return line(k) && !trimmed(s).isEmpty() && !s.contains('\0'); };
    auto rule = [caseSensitive](const QString& t) { return caseSensitive ? t : t.toUpper(); };
    qint64 v = 0, folders = 0, records = 0;
    std::vector<PlainRecord> seen;
    if (!line(1) || !wn(s, 1, kStructureCountMax, v)) return 1;
    if (!name(2)) return 2;
    QString root = platform::decodeText(s);
    if (!root.endsWith(u'\\')) root += u'\\';
    if (!line(3) || !wn(s, 0, kStructureCountMax, folders)) return 3;
    for (qint64 k = 4; k < 4 + folders; ++k)
        if (!name(k)) return k;
    if (!line(4 + folders) || !wn(s, 1, kStructureCountMax, records)) return 4 + folders;
    for (qint64 r = 0; r < records; ++r) {
        const qint64 base = 5 + folders + 8 * r;
        bool marker[7];
        for (int j = 0; j < 7; ++j) {
            if (!line(base + j)) return base + j;
            const QByteArray t = trimmed(s).toUpper();
            marker[j] = t == "\"NULL\"";
            const bool valid = marker[j] || (j < 4 ? t == "TRUE" || t == "FALSE"
                                             : j == 4 ? wn(s, 0, std::numeric_limits<qint64>::max(), v)
                                             : j == 5 ? parts(trimmed(s), {{4, 0, 9999}, {2, 1, 12}, {2, 1, 31}})
                                                      : parts(trimmed(s), {{2, 0, 23}, {2, 0, 59}, {2, 0, 59}}));
            if (!valid) return base + j;
        }
        if (!name(base + 7)) return base + 7;
        const QString path = platform::decodeText(s);
        if (path.size() <= root.size() || rule(path.left(root.size())) != rule(root)) return base + 7;
        const QString rel = path.mid(root.size());
        const bool emptyFolder = rel.endsWith(QStringLiteral("\\\"NULL\""));
        for (const QString& part : (emptyFolder ? rel.chopped(7) : rel).split(u'\\'))
            if (part.isEmpty() || part == u"." || part == u"..") return base + 7;
        for (int j = 0; j < 7; ++j)
            if (marker[j] != emptyFolder) return base + j;
        // Against every record before it, under the volume's case rule.
        const PlainRecord me = plainRecord(rule(rel), emptyFolder);
        for (const PlainRecord& e : seen)
            if (plainClash(me, e) || plainClash(e, me)) return base + 7;
        seen.push_back(me);
    }
    return 0;
}

// --- Random damage ----------------------------------------------------------------

// Valid files of random shape, damaged at random: no crash or hang, and a
// refusal names a line of the file or the one after its last (which line
// each rule names is the table's above).
TEST_F(StructureFiles, RandomDamageNeverCrashesAndARefusalNamesALineOfTheFile)
{
    static const char* const pool[] = {"", " ", "True", "false", "\"NULL\"", "\"null\"", "0", "-1", "+7", "2147483648",
                                       "12.5", " 12", "20020231", "20021301", "240000", "235959", "C:\\R\\x",
                                       "C:\\R\\..\\x", "C:\\R\\d\\", "C:\\R\\d\\\"NULL\"", "C:\\X\\y", "C:\\R\\\"NULL\"",
                                       "C:\\R\\a", "C:\\R\\a\\\"NULL\"", "C:\\R\\x\\z", "C:\\R\\a\\y",
                                       "\xff\xfe", "99999999999999999999999"};
    QList<QByteArray> paths = {"x", "a\\y", "a\\b\\\xce\xb1", "e\\f\\g", "a\\c\\\"NULL\"", "e\\\"NULL\""};   // never clash
    QRandomGenerator rng(20261206);
    const int runs = 600;
    int refused = 0;
    for (int run = 0; run < runs; ++run) {
        std::shuffle(paths.begin(), paths.end(), rng);
        QByteArray content = tree(paths.mid(0, 1 + rng.bounded(5)));
        ParsedStructure p;
        ASSERT_EQ(parse(content, p), ParseOutcome::Parsed) << content.toStdString();
        for (int m = rng.bounded(3); m >= 0; --m) {
            QList<QByteArray> lines = content.split('\n');
            const int at = rng.bounded(int(lines.size()));
            switch (rng.bounded(6)) {
            case 0: lines[at] = QByteArray(pool[rng.bounded(int(std::size(pool)))]) + (lines[at].endsWith('\r') ? "\r" : ""); break;
            case 1: lines.removeAt(at); break;
            case 2: lines.insert(at, lines[at]); break;
            case 3: lines.move(at, rng.bounded(int(lines.size()))); break;
            case 4: content.truncate(rng.bounded(int(content.size()) + 1)); continue;
            case 5: content.insert(rng.bounded(int(content.size()) + 1), char(rng.bounded(256))); continue;
            }
            content = lines.join('\n');
        }
        const bool wasRefused = parse(content, p) == ParseOutcome::Refused;
        ASSERT_EQ(wasRefused, p.problem.line > 0) << content.toStdString();
        ASSERT_LE(p.problem.line, content.count('\n') + content.count('\r') + 2) << content.toStdString();
        ASSERT_EQ(p.problem.line, judge(content, true)) << content.toStdString();
        refused += wasRefused;
    }
    EXPECT_GT(refused, runs / 4) << "the damage reaches the rules";
    EXPECT_LT(refused, runs) << "some damage is harmless";
}

// Files whose records often clash (a few names in two letter cases, files
// and empty folders a few levels deep), with first-level folder names,
// damaged at random (blank names, NUL characters, any line), on either
// kind of volume: the parser refuses exactly where the plain reading does.
TEST_F(StructureFiles, RandomClashesAndDamageAreRefusedWhereAPlainReadingOfTheRulesSays)
{
    static const char* const names[] = {"a", "A", "b", "\xce\xb1", "\xce\x91", "c.txt", "C.TXT"};
    static const char* const pool[] = {"", " ", "  ", "True", "\"NULL\"", "0", "+7", "12.5", "20021301", "240000",
                                       "C:\\R\\a", "C:\\R\\A\\b", "C:\\R\\a\\\"NULL\"", "C:\\r\\a", "C:\\R\\..\\a"};
    auto pick = [](QRandomGenerator& rng, const auto& list) { return QByteArray(list[rng.bounded(int(std::size(list)))]); };
    QRandomGenerator rng(35010);
    const int runs = 1500;
    std::map<StructureFileFault, int> faults;
    for (int run = 0; run < runs; ++run) {
        const bool caseSensitive = rng.bounded(2) == 0;
        QList<QByteArray> l = {"", "C:\\R\\", QByteArray::number(rng.bounded(3))};
        for (int f = l[2].toInt(); f > 0; --f) l << pick(rng, names);
        const int records = 1 + rng.bounded(6);
        l << QByteArray::number(records);
        for (int r = 0; r < records; ++r) {
            QByteArray path = "C:\\R\\" + pick(rng, names);
            for (int d = rng.bounded(3); d > 0; --d) path += "\\" + pick(rng, names);
            if (rng.bounded(4) == 0) {
                for (int k = 0; k < 7; ++k) l << "\"NULL\"";
                path += "\\\"NULL\"";
            } else {
                l << "False" << "true" << "False" << "True" << QByteArray::number(rng.bounded(100)) << "20240229" << "235959";
            }
            l << path;
        }
        l[0] = QByteArray::number(l.size());
        // Damage one line in two files.
        const int at = 1 + rng.bounded(int(l.size()) - 1);
        const int folders = l[2].toInt();
        switch (rng.bounded(8)) {
        case 0: if (folders > 0) l[3 + rng.bounded(folders)] = QByteArray(rng.bounded(3), ' '); break;
        case 1: l[at].insert(rng.bounded(int(l[at].size()) + 1), '\0'); break;
        case 2: l[at] = pick(rng, pool); break;
        case 3: l.removeAt(at); break;
        }
        const QByteArray content = join(l, rng.bounded(4) == 0 ? "\n" : "\r\n");
        g().VolumeIsCaseSensitive = caseSensitive;
        ParsedStructure p;
        parse(content, p);
        ASSERT_EQ(p.problem.line, judge(content, caseSensitive))
            << (caseSensitive ? "case-sensitive\n" : "case-blind\n") << content.toStdString();
        ++faults[p.problem.fault];
    }
    // The files reach every rule of paths and names.
    for (const StructureFileFault f : {StructureFileFault::None, StructureFileFault::DuplicatePath, StructureFileFault::FileAndFolder,
                                       StructureFileFault::MarkerBesideFiles, StructureFileFault::NulCharacter,
                                       StructureFileFault::BlankLine, StructureFileFault::PathOutsideRoot})
        EXPECT_GT(faults[f], 10) << int(f);
}

// Every fault a check can name, as the sentence the user reads, in both
// languages; and the short form of the import window's check.
TEST(StructureFileMessages, EveryFaultIsNamedWithFileAndLineInBothLanguages)
{
    using F = StructureFileFault;
    const struct { F fault; const char *english, *greek; } faults[] = {
        {F::EndsEarly, "is missing: the file ends before the lines that its header announces",
         "λείπει: το αρχείο τελειώνει πριν από τις γραμμές που αναγγέλλει η αρχή του"},
        {F::LineTooLong, "is longer than any valid line", "είναι μακρύτερη από κάθε έγκυρη γραμμή"},
        {F::NotAWholeNumber, "does not hold a whole number", "δεν περιέχει ακέραιο αριθμό"},
        {F::BlankLine, "is blank", "είναι κενή"},
        {F::NotAFlag, "is neither True nor False", "δεν είναι True ή False"},
        {F::NotASize, "does not hold a size in bytes", "δεν περιέχει μέγεθος σε bytes"},
        {F::NotADate, "does not hold a date as YYYYMMDD", "δεν περιέχει χρονολογία της μορφής YYYYMMDD"},
        {F::NotATime, "does not hold a time as HHMMSS", "δεν περιέχει ώρα της μορφής HHMMSS"},
        {F::PathOutsideRoot, "holds a path that does not begin with the folder 'D:\\Work\\'",
         "περιέχει διαδρομή η οποία δεν αρχίζει με τον φάκελλο 'D:\\Work\\'"},
        {F::BadRecordPath, "holds a path with an empty, \".\" or \"..\" part, or a file without a name",
         "περιέχει διαδρομή με κενό, \".\" ή \"..\" τμήμα, ή αρχείο χωρίς όνομα"},
        {F::MarkerMixedIn, "mixes the empty folder marker with the values of a file",
         "αναμειγνύει τον δείκτη κενού φακέλλου με τιμές αρχείου"},
        {F::DuplicatePath, "holds a path that an earlier record already holds",
         "περιέχει διαδρομή την οποία έχει ήδη προηγούμενη εγγραφή"},
        {F::FileAndFolder, "holds a path that is both a file and a folder",
         "περιέχει διαδρομή η οποία είναι και αρχείο και φάκελλος"},
        {F::MarkerBesideFiles, "marks a folder as empty that holds files",
         "δηλώνει ως κενό έναν φάκελλο ο οποίος περιέχει αρχεία"},
        {F::NulCharacter, "holds a NUL character", "περιέχει τον χαρακτήρα NUL"},
    };
    for (const auto& f : faults) {
        SCOPED_TRACE(f.english);
        const StructureFileProblem p{QStringLiteral("E:\\in.txt"), 1234, f.fault, QStringLiteral("D:\\Work\\")};
        EXPECT_EQ(StructureFileProblemText(p, false),
                  QStringLiteral("The structure file 'E:\\in.txt' cannot be used: line 1234 ") + QString::fromUtf8(f.english) + u'.');
        EXPECT_EQ(StructureFileProblemText(p, true), QStringLiteral("Το αρχείο δομής 'E:\\in.txt' δεν μπορεί να χρησιμοποιηθεί: η γραμμή 1234 ")
                                                          + QString::fromUtf8(f.greek) + u'.');
    }
    EXPECT_EQ(StructureFileProblemText(StructureFileProblem{QStringLiteral("E:\\in.txt"), 3, F::None, {}}, false), QString());
    EXPECT_EQ(InvalidStructureDataText(QStringLiteral("E:\\in.txt"), 7, false), QStringLiteral("File 'E:\\in.txt', contains invalid data at line 7."));
    EXPECT_EQ(InvalidStructureDataText(QStringLiteral("E:\\in.txt"), 7, true),
              QStringLiteral("Το αρχείο 'E:\\in.txt', περιέχει εσφαλμένα δεδομένα στην γραμμή 7."));
}

} // namespace
