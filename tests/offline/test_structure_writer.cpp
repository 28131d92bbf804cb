// The structure file writer on its own: a file larger than its buffer comes
// out whole and in order, a stop after any line group or a failed write
// leaves no temporary behind, and the texts a file cannot carry are found
// at the exact length a reader still takes.
#include "offline/StructureFileWriter.h"
#include "offline_fixture.h"

#include <csignal>
#include <sys/resource.h>

using namespace offline_test;

namespace {

class StructureWriter : public OfflineTest {
protected:
    // `n` records under C:\R\ in the hidden form's lists; paths long enough
    // that a few thousand records pass the writer's buffer.
    offline::StructureFileContent content(int n, const QString& pad = QString(150, u'x'))
    {
        basGlobal::frmHiddenForm& h = basGlobal::HiddenForm();
        ui::ListBox* lists[8] = {h.lstHidden[0], h.lstSystem[0], h.lstReadOnly[0], h.lstArchive[0],
                                 h.lstSize[0], h.lstDate[0], h.lstTime[0], h.lstFinalListBox[0]};
        for (ui::ListBox* l : lists) l->clear();
        expected = QByteArray::number(4 + 2 + 8 * qint64(n)) + "\r\nC:\\R\\\r\n2\r\nA\r\nB\r\n" + QByteArray::number(n) + "\r\n";
        for (int k = 0; k < n; ++k) {
            const QString values[8] = {k % 2 ? QStringLiteral("True") : QStringLiteral("False"), QStringLiteral("False"),
                                       QStringLiteral("True"), QStringLiteral("False"),
                                       QString::number(k).rightJustified(10, u'0'), QStringLiteral("20240315"),
                                       QStringLiteral("102030"),
                                       QStringLiteral("C:\\R\\%1\\%2-%3.txt").arg(k % 2 ? u'B' : u'A').arg(pad).arg(k)};
            for (int l = 0; l < 8; ++l) {
                lists[l]->addItem(values[l]);
                expected += values[l].toUtf8() + "\r\n";
            }
        }
        offline::StructureFileContent c;
        c.root = QStringLiteral("C:\\R\\");
        c.firstLevelFolders = {QStringLiteral("A"), QStringLiteral("B")};
        for (int l = 0; l < 8; ++l) c.lists[std::size_t(l)] = lists[l];
        return c;
    }
    QByteArray expected;
};

TEST_F(StructureWriter, AFileLargerThanTheBufferIsWrittenWholeAndEachGroupIsHeardOnce)
{
    const offline::StructureFileContent big = content(10000);
    ASSERT_GT(expected.size(), 2 << 20) << "passes the buffer more than once";
    int groups = 0;
    bool stopped = true;
    platform::AtomicFile file;
    EXPECT_EQ(offline::WriteStructureFile(nativeOf(c, QStringLiteral("big.txt")), file, big, [&] { return ++groups > 0; },
                                          stopped), 0);
    EXPECT_FALSE(stopped);
    EXPECT_EQ(groups, 2 + 10000) << "after each folder name and each record";
    EXPECT_EQ(read(c, QStringLiteral("big.txt")), QByteArray("<missing>")) << "nothing at the target before the commit";
    EXPECT_EQ(leftovers(c).size(), 1);
    ASSERT_EQ(file.commit(), 0);
    EXPECT_EQ(read(c, QStringLiteral("big.txt")), expected);
    EXPECT_EQ(leftovers(c), QStringList());
}

TEST_F(StructureWriter, AStopAfterAnyGroupOrAFailedWriteLeavesNoTemporaryAndTheOldFile)
{
    const offline::StructureFileContent small = content(3);
    // Stops after the first folder name, the second, and the first and last record.
    for (const int at : {1, 2, 3, 5}) {
        SCOPED_TRACE(at);
        file(c, QStringLiteral("s.txt"), "old");
        int groups = 0;
        bool stopped = false;
        platform::AtomicFile f;
        EXPECT_EQ(offline::WriteStructureFile(nativeOf(c, QStringLiteral("s.txt")), f, small, [&] { return ++groups < at; },
                                              stopped), 0);
        EXPECT_TRUE(stopped);
        EXPECT_EQ(groups, at) << "nothing is written after the stop";
        EXPECT_EQ(leftovers(c), QStringList()) << "the temporary goes at once";
        EXPECT_EQ(read(c, QStringLiteral("s.txt")), QByteArray("old"));
    }
    // Unstopped, the small file is written whole at the end.
    bool stopped = true;
    platform::AtomicFile whole;
    EXPECT_EQ(offline::WriteStructureFile(nativeOf(c, QStringLiteral("s.txt")), whole, small, [] { return true; }, stopped), 0);
    ASSERT_EQ(whole.commit(), 0);
    const QByteArray written = expected;
    EXPECT_EQ(read(c, QStringLiteral("s.txt")), written);

    // A folder that is not there.
    platform::AtomicFile nowhere;
    EXPECT_EQ(offline::WriteStructureFile(nativeOf(c, QStringLiteral("No/s.txt")), nowhere, small, [] { return true; }, stopped),
              76);

    // A file the system refuses to let grow: the first full buffer fails,
    // and so does the last short one.
    for (const int n : {10000, 3}) {
        SCOPED_TRACE(n);
        const offline::StructureFileContent body = content(n);
        rlimit old {};
        ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
        const auto oldSignal = std::signal(SIGXFSZ, SIG_IGN);
        rlimit tight = old;
        tight.rlim_cur = 100;
        ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &tight), 0);
        int groups = 0;
        platform::AtomicFile limited;
        const int e = offline::WriteStructureFile(nativeOf(c, QStringLiteral("s.txt")), limited, body, [&] { return ++groups > 0; },
                                                  stopped);
        ::setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldSignal);
        EXPECT_NE(e, 0);
        EXPECT_FALSE(stopped);
        EXPECT_EQ(leftovers(c), QStringList()) << "the temporary goes at once";
        // Lines go out a megabyte at a time, not group by group: a small
        // file fails only at its one write, after its last record.
        if (n > 3) {
            EXPECT_GT(groups, 1000);
            EXPECT_LT(groups, n) << "the writing ends at the failed buffer";
        } else {
            EXPECT_EQ(groups, 2 + 3);
        }
    }
    EXPECT_EQ(read(c, QStringLiteral("s.txt")), written);
}

TEST_F(StructureWriter, TheFirstTextAFileCannotCarryIsNamedInTheOrderOfTheFile)
{
    offline::StructureFileContent ok = content(2);
    EXPECT_EQ(offline::FirstUnwritableText(ok), QString());
    EXPECT_TRUE(offline::FitsOneStructureFile(ok));

    // A line end anywhere in the root, a folder name or a path; the root is looked at first, then the names, then the paths.
    basGlobal::frmHiddenForm& h = basGlobal::HiddenForm();
    h.lstFinalListBox[0]->setList(1, QStringLiteral("C:\\R\\B\\two\nlines"));
    EXPECT_EQ(offline::FirstUnwritableText(ok), QStringLiteral("C:\\R\\B\\two\nlines"));
    ok.firstLevelFolders[1] = QStringLiteral("B\r");
    EXPECT_EQ(offline::FirstUnwritableText(ok), QStringLiteral("B\r"));
    ok.root = QStringLiteral("C:\\R\n\\");
    EXPECT_EQ(offline::FirstUnwritableText(ok), QStringLiteral("C:\\R\n\\"));

    // The longest line a reader takes is 32,768 bytes, however many characters make it.
    const struct { QString text; bool fits; } lengths[] = {
        {QString(32768, u'a'), true},   {QString(32769, u'a'), false}, {QString(16384, u'α'), true},
        {QString(16385, u'α'), false},  {QString(10922, u'€') + QStringLiteral("ab"), true},
        {QString(10922, u'€') + QStringLiteral("abc"), false}, {QString(10922, u'a'), true},
    };
    for (const auto& l : lengths) {
        SCOPED_TRACE(l.text.size());
        offline::StructureFileContent c = content(1);
        c.firstLevelFolders[0] = l.text;
        EXPECT_EQ(offline::FirstUnwritableText(c), l.fits ? QString() : l.text);
        c = content(1, l.text);
        const QString path = h.lstFinalListBox[0]->list(0);
        const bool pathFits = path.toUtf8().size() <= 32768;
        EXPECT_EQ(offline::FirstUnwritableText(c), pathFits ? QString() : path);
    }
}

} // namespace
