// The reader of exported-structure files: line ends of every system,
// headers, records, normalised field texts and the faults it refuses.
#include "shared/StructureFile.h"

#include "platform/AppError.h"
#include "shared/scan_support.h"
#include "shared/shared_fixture.h"

using namespace basGlobal;

namespace {

class StructureFile : public SharedTest {
protected:
    void SetUp() override
    {
        SharedTest::SetUp();
        g().VolumeIsCaseSensitive = true;
    }
    QString put(const QByteArray& content)
    {
        tree.file(QStringLiteral("s.qms"), content);
        return QStringLiteral("C:\\s.qms");
    }
    static QByteArray lines(const QList<QByteArray>& ls, const char* eol)
    {
        QByteArray out;
        for (const QByteArray& l : ls) out += l + eol;
        return out;
    }
    scan_support::Tree tree;
};

const QList<QByteArray> kSmallest = {"12", "C:\\Root\\", "1", "Sub", "1", "False", "False", "False", "True",
                                     "0000000005", "20240229", "235959", "C:\\Root\\Sub\\f.txt"};

TEST_F(StructureFile, ReadsTheSameWhateverTheLineEnds)
{
    for (const char* eol : {"\r\n", "\r", "\n"}) {
        const QString f = put(lines(kSmallest, eol));
        StructureFileReader r;
        ASSERT_EQ(r.open(f), 0);
        StructureFileHeader h;
        ASSERT_TRUE(r.readHeader(h)) << eol;
        EXPECT_EQ(h.totalLines, 12);
        EXPECT_EQ(h.root, QStringLiteral("C:\\Root\\"));
        EXPECT_EQ(h.firstLevelFolders, QStringList{QStringLiteral("Sub")});
        EXPECT_EQ(h.recordCount, 1);
        StructureFileRecord rec;
        ASSERT_TRUE(r.readRecord(rec));
        EXPECT_EQ(rec.path, QStringLiteral("C:\\Root\\Sub\\f.txt"));
        EXPECT_EQ(rec.size, QStringLiteral("0000000005"));
        EXPECT_EQ(rec.date, QStringLiteral("20240229"));
        EXPECT_FALSE(rec.emptyFolder);
        QString extra;
        EXPECT_FALSE(r.nextLine(extra)) << "nothing after the last record";
        EXPECT_EQ(r.linesRead(), 13);
    }
}

TEST_F(StructureFile, ALastLineWithoutItsEndAndEmptyLinesCount)
{
    const QString f = put("a\r\n\r\n\nb\rc");
    StructureFileReader r;
    ASSERT_EQ(r.open(f), 0);
    QStringList got;
    QString line;
    while (r.nextLine(line)) got << line;
    EXPECT_EQ(got, (QStringList{QStringLiteral("a"), QString(), QString(), QStringLiteral("b"), QStringLiteral("c")}));
}

TEST_F(StructureFile, ACrLfSplitAcrossTheReadBufferIsOneLineEnd)
{
    // The reader fills its buffer 64 KiB at a time; put a CR LF across the seam.
    QByteArray content(65535, 'x');
    content += "\r\nnext\r\n";
    const QString f = put(content);
    StructureFileReader r;
    ASSERT_EQ(r.open(f), 0);
    QString line;
    ASSERT_TRUE(r.nextLine(line));
    EXPECT_EQ(line.size(), 65535);
    ASSERT_TRUE(r.nextLine(line));
    EXPECT_EQ(line, QStringLiteral("next"));
    EXPECT_FALSE(r.nextLine(line));
}

TEST_F(StructureFile, GreekAnsiAndUtf8NamesBothDecode)
{
    QList<QByteArray> ls = kSmallest;
    ls[3] = "\xC1\xF1\xF7\xE5\xDF\xE1";           // "Αρχεία" in Windows-1253
    ls[12] = "C:\\Root\\Sub\\\xCE\xB1.txt";         // "α.txt" in UTF-8
    const QString f = put(lines(ls, "\r\n"));
    StructureFileReader r;
    ASSERT_EQ(r.open(f), 0);
    StructureFileHeader h;
    ASSERT_TRUE(r.readHeader(h));
    EXPECT_EQ(h.firstLevelFolders.first(), QStringLiteral("Αρχεία"));
    StructureFileRecord rec;
    ASSERT_TRUE(r.readRecord(rec));
    EXPECT_EQ(rec.path, QStringLiteral("C:\\Root\\Sub\\α.txt"));
}

TEST_F(StructureFile, OpenFailuresAnswerTheirNumbers)
{
    StructureFileReader r;
    EXPECT_EQ(r.open(QStringLiteral("C:\\none.qms")), platform::errFileNotFound);
    EXPECT_EQ(r.open(QStringLiteral("C:\\NoFolder\\none.qms")), platform::errPathNotFound);
    EXPECT_EQ(r.open(QStringLiteral("Q:\\none.qms")), platform::errPathNotFound);
    tree.folder(QStringLiteral("dir.qms"));
    EXPECT_EQ(r.open(QStringLiteral("C:\\dir.qms")), platform::errPathFileAccess);
}

TEST_F(StructureFile, TheRootAloneForPathLabels)
{
    QString root;
    EXPECT_EQ(ReadStructureFileRoot(put("5\r\nD:\r\n"), root), 0);
    EXPECT_EQ(root, QStringLiteral("D:\\"));
    EXPECT_EQ(ReadStructureFileRoot(put("5\r\n"), root), platform::errInputPastEnd);
}

TEST_F(StructureFile, HeaderFaultsNameTheirLine)
{
    StructureFileHeader h;
    StructureFileProblem p;
    EXPECT_EQ(ReadStructureFileHeader(put("12\r\nC:\\R\\\r\n2\r\nOne\r\n"), h, &p), -1);
    EXPECT_EQ(p.fault, StructureFileFault::EndsEarly);
    EXPECT_EQ(p.line, 5);
    EXPECT_EQ(ReadStructureFileHeader(put("12\r\n   \r\n"), h, &p), -1);
    EXPECT_EQ(p.fault, StructureFileFault::BlankLine);
    EXPECT_EQ(p.line, 2);
    EXPECT_EQ(ReadStructureFileHeader(put("-3\r\n"), h, &p), -1);
    EXPECT_EQ(p.fault, StructureFileFault::NotAWholeNumber);
    EXPECT_EQ(ReadStructureFileHeader(put("3000000000\r\n"), h, &p), -1) << "beyond a Long";
    EXPECT_EQ(ReadStructureFileHeader(put(" 7 \r\nC:\\R\r\n0\r\n1\r\n"), h, &p), 0);
    EXPECT_EQ(h.totalLines, 7);
    EXPECT_EQ(h.root, QStringLiteral("C:\\R\\"));
}

TEST_F(StructureFile, FieldTextsAreNormalised)
{
    QString out;
    EXPECT_TRUE(NormaliseFlagText(QStringLiteral("  tRuE "), out));
    EXPECT_EQ(out, QStringLiteral("True"));
    EXPECT_FALSE(NormaliseFlagText(QStringLiteral("T"), out));
    EXPECT_TRUE(NormaliseSizeText(QStringLiteral(" 1234"), out));
    EXPECT_EQ(out, QStringLiteral("0000001234"));
    EXPECT_TRUE(NormaliseSizeText(QStringLiteral("0000000000012345678901"), out));
    EXPECT_EQ(out, QStringLiteral("12345678901")) << "more than 10 digits keep every digit";
    EXPECT_FALSE(NormaliseSizeText(QStringLiteral("1,234"), out));
    EXPECT_FALSE(NormaliseSizeText(QStringLiteral("99999999999999999999"), out));
    EXPECT_TRUE(NormaliseDateText(QStringLiteral(" 20020231 "), out));
    EXPECT_EQ(out, QStringLiteral("20020231"));
    EXPECT_FALSE(NormaliseDateText(QStringLiteral("20021301"), out));
    EXPECT_FALSE(NormaliseDateText(QStringLiteral("2002 824"), out));
    EXPECT_TRUE(NormaliseTimeText(QStringLiteral("235959"), out));
    EXPECT_FALSE(NormaliseTimeText(QStringLiteral("240000"), out));
    EXPECT_FALSE(NormaliseTimeText(QStringLiteral("126000"), out));
}

TEST_F(StructureFile, RecordPathsMustLieUnderTheRootByTheCaseRule)
{
    QList<QByteArray> ls = kSmallest;
    ls[12] = "c:\\root\\Sub\\f.txt";
    StructureFileReader r;
    StructureFileHeader h;
    StructureFileRecord rec;
    ASSERT_EQ(r.open(put(lines(ls, "\r\n"))), 0);
    ASSERT_TRUE(r.readHeader(h));
    EXPECT_FALSE(r.readRecord(rec));
    EXPECT_EQ(r.problem().fault, StructureFileFault::PathOutsideRoot);
    EXPECT_EQ(r.problem().line, 13);

    g().VolumeIsCaseSensitive = false;
    ASSERT_EQ(r.open(put(lines(ls, "\r\n"))), 0);
    ASSERT_TRUE(r.readHeader(h));
    EXPECT_TRUE(r.readRecord(rec));

    ls[12] = "C:\\Root\\";   // the root itself is no entry
    ASSERT_EQ(r.open(put(lines(ls, "\r\n"))), 0);
    ASSERT_TRUE(r.readHeader(h));
    EXPECT_FALSE(r.readRecord(rec));
}

TEST_F(StructureFile, AnEmptyFolderRecordIsAllMarkers)
{
    QList<QByteArray> ls = kSmallest;
    for (int k = 5; k < 12; ++k) ls[k] = " \"Null\"";
    ls[12] = "C:\\Root\\Sub\\\"NULL\"";
    StructureFileReader r;
    StructureFileHeader h;
    StructureFileRecord rec;
    ASSERT_EQ(r.open(put(lines(ls, "\r\n"))), 0);
    ASSERT_TRUE(r.readHeader(h));
    ASSERT_TRUE(r.readRecord(rec));
    EXPECT_TRUE(rec.emptyFolder);
    EXPECT_EQ(rec.time, QStringLiteral("\"NULL\""));

    ls[9] = "0000000000";   // a size inside an empty folder's record
    ASSERT_EQ(r.open(put(lines(ls, "\r\n"))), 0);
    ASSERT_TRUE(r.readHeader(h));
    EXPECT_FALSE(r.readRecord(rec));
    EXPECT_EQ(r.problem().fault, StructureFileFault::MarkerMixedIn);
    EXPECT_EQ(r.problem().line, 10);
}

TEST_F(StructureFile, ProblemTextsInBothLanguages)
{
    StructureFileProblem p{QStringLiteral("C:\\x.qms"), 7, StructureFileFault::NotAFlag, QString()};
    EXPECT_EQ(StructureFileProblemText(p, false),
              QStringLiteral("The structure file 'C:\\x.qms' cannot be used: line 7 is neither True nor False."));
    EXPECT_EQ(StructureFileProblemText(p, true),
              QStringLiteral("Το αρχείο δομής 'C:\\x.qms' δεν μπορεί να χρησιμοποιηθεί: η γραμμή 7 δεν είναι True ή False."));
}

} // namespace
