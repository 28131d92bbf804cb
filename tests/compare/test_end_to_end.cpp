// One comparison of two real trees from the Compare button to the finished
// window: every cell's text and colour, merges, markers, totals and the
// "differ" message. What the filters keep is test_entry_filters.cpp's, the
// output rows test_alignment.cpp's.
#include "compare_fixture.h"


using namespace compare_test;

namespace {

constexpr ui::Color kGrey = 0xE0E0E0, kWhite = 0xFFFFFF, kGreen = 0x00FF00, kTint0 = 0xC0E0FF, kTint1 = 0xFFFFC0;
// Past 32 bits, and one digit more than the ten the entry lines pad sizes to.
constexpr qint64 kBig = 12LL * 1024 * 1024 * 1024;

class EndToEnd : public CompareTest {
protected:
    void SetUp() override
    {
        CompareTest::SetUp();
        g().FailSafeChecks = true;
        g().CurrentPath = {QStringLiteral("C:\\P"), QStringLiteral("C:\\S")};
        build();
    }
    void both(const QString& rel, const QByteArray& content = QByteArray(100, 'x'), const QDateTime& when = base())
    {
        for (const char* side : {"P/", "S/"}) one(side, rel, content, when);
    }
    void one(const char* side, const QString& rel, const QByteArray& content = QByteArray(100, 'x'),
             const QDateTime& when = base())
    {
        file(c, QLatin1String(side) + rel, content, when);
    }
    static QDateTime base() { return QDateTime(QDate(2024, 3, 15), QTime(10, 20, 30)); }
    void build()
    {
        both(QStringLiteral(".hidden"));
        both(QStringLiteral("a|b.txt"));
        both(QStringLiteral("locked.txt"));
        for (const char* side : {"P/", "S/"}) {
            const QString n = nativeOf(c, QLatin1String(side) + QStringLiteral("locked.txt"));
            ASSERT_EQ(::chmod(QFile::encodeName(n).constData(), 0444), 0);
            QFile big(nativeOf(c, QLatin1String(side) + QStringLiteral("big.bin")));
            ASSERT_TRUE(big.open(QIODevice::WriteOnly));
            ASSERT_TRUE(big.resize(kBig));   // sparse
            big.close();
            setLocalMtime(c, QLatin1String(side) + QStringLiteral("big.bin"), base());
        }
        one("P/", QStringLiteral("newer.txt"), QByteArray(100, 'x'), base().addDays(1));
        one("S/", QStringLiteral("newer.txt"));
        one("P/", QStringLiteral("older.txt"), QByteArray(100, 'x'), base().addDays(-1));
        one("S/", QStringLiteral("older.txt"));
        one("P/", QStringLiteral("only_p.txt"));
        one("S/", QStringLiteral("only_s.txt"));
        one("P/", QStringLiteral("Readme.TXT"));
        one("S/", QStringLiteral("readme.txt"));
        both(QStringLiteral("same.txt"));
        one("P/", QStringLiteral("size.txt"), QByteArray(1234, 'x'));
        one("S/", QStringLiteral("size.txt"), QByteArray(100, 'x'));
        both(QStringLiteral("Both/b.txt"));
        both(QStringLiteral("Both/Inner/deep.txt"));
        folder(c, QStringLiteral("P/EmptyBoth"));
        folder(c, QStringLiteral("S/EmptyBoth"));
        folder(c, QStringLiteral("P/EmptyP"));
        folder(c, QStringLiteral("P/Mixed"));
        one("S/", QStringLiteral("Mixed/m.txt"));
        one("P/", QStringLiteral("OnlyP/x.txt"));
        one("S/", QStringLiteral("OnlyS/y.txt"));
    }
    struct Cell {
        QString text;
        ui::Color back;
    };
    void compare()
    {
        expectDifferMessage();
        openWindow([&] {
            ui::Input::click(*win.cmdCompare);
            ASSERT_TRUE(win.isLoaded());
            // The window's state after a run: test_comparison_run.cpp.
            for (int r = 0; r < win.grdResults->rows(); ++r) {
                QList<Cell> row;
                for (int c = 0; c < 9; ++c) row.append({win.grdResults->textMatrix(r, c), win.grdResults->cellBackColorAt(r, c)});
                grid.append(row);
            }
            totals = {win.lblTotalFolders[0]->caption(), win.lblTotalFiles[0]->caption(),
                      win.lblTotalFolders[1]->caption(), win.lblTotalFiles[1]->caption()};
            for (int r = 1; r < win.grdResults->rows(); ++r)
                spans.append({win.grdResults->mergedSpan(r, 1), win.grdResults->mergedSpan(r, 3)});
            ui::Input::click(*win.cmdCancel);
        });
    }
    QList<QList<Cell>> grid;
    QStringList totals;
    QList<std::pair<std::pair<int, int>, std::pair<int, int>>> spans;
};

struct Expected {
    const char16_t* cells;   // nine texts joined by tabs
    const char* backs;       // colours of cells 1..8: g grey, w white, G green, p/s side tints
};

const QString kBar = QString(QChar(0xF07C));   // "|" in a logical name

TEST_F(EndToEnd, EveryCellOfTheComparison)
{
    compare();
    const QString d = QStringLiteral("15/03/2024"), t = QStringLiteral("10:20:30");
    // Texts with "D" for the usual date, "T" for the time, "B" for the bar.
    const Expected rows[] = {
        {u"\tName\tName\tSize\tSize\tDate\tDate\tTime\tTime", nullptr},
        {u"\t.hidden\t.hidden\t100\t100\tD\tD\tT\tT", "gggggggg"},
        {u"\taBb.txt\taBb.txt\t100\t100\tD\tD\tT\tT", "wwwwwwww"},
        {u"\tbig.bin\tbig.bin\t12,884,901,888\t12,884,901,888\tD\tD\tT\tT", "gggggggg"},
        {u"\tlocked.txt\tlocked.txt\t100\t100\tD\tD\tT\tT", "wwwwwwww"},
        {u"N\tnewer.txt\tnewer.txt\t100\t100\t16/03/2024\tD\tT\tT", "ggggpsgg"},
        {u"O\tolder.txt\tolder.txt\t100\t100\t14/03/2024\tD\tT\tT", "wwwwpsww"},
        {u"\tonly_p.txt\t \t100\t \tD\t \tT\t ", "psps" "psps"},
        {u"\t \tonly_s.txt\t \t100\t \tD\t \tT", "pspspsps"},
        {u"\tReadme.TXT\t \t100\t \tD\t \tT\t ", "pspspsps"},
        {u"\t \treadme.txt\t \t100\t \tD\t \tT", "pspspsps"},
        {u"\tsame.txt\tsame.txt\t100\t100\tD\tD\tT\tT", "gggggggg"},
        {u"\tsize.txt\tsize.txt\t1,234\t100\tD\tD\tT\tT", "wwpswwww"},
        {u"\tBoth\\\tBoth\\\t     \t     \t   \t   \t     \t     ", "GGGGGGGG"},
        {u"\tb.txt\tb.txt\t100\t100\tD\tD\tT\tT", "wwwwwwww"},
        {u"\tBoth\\Inner\\\tBoth\\Inner\\\t     \t     \t   \t   \t     \t     ", "GGGGGGGG"},
        {u"\tdeep.txt\tdeep.txt\t100\t100\tD\tD\tT\tT", "wwwwwwww"},
        {u"\tEmptyBoth\\\tEmptyBoth\\\t     \t     \t   \t   \t     \t     ", "GGGGGGGG"},
        {u"\tEmptyP\\\t \t    \t   \t    \t   \t    \t   ", "GGGGGGGG"},
        {u"\tMixed\\\tMixed\\\t     \t     \t   \t   \t     \t     ", "GGGGGGGG"},
        {u"\t \tm.txt\t \t100\t \tD\t \tT", "pspspsps"},
        {u"\tOnlyP\\\t \t    \t   \t    \t   \t    \t   ", "GGGGGGGG"},
        {u"\tx.txt\t \t100\t \tD\t \tT\t ", "pspspsps"},
        {u"\t \tOnlyS\\\t    \t   \t    \t   \t    \t   ", "GGGGGGGG"},
        {u"\t \ty.txt\t \t100\t \tD\t \tT", "pspspsps"},
    };
    ASSERT_EQ(grid.size(), int(std::size(rows)));
    for (int r = 0; r < grid.size(); ++r) {
        QStringList want = QString::fromUtf16(rows[r].cells).split(QLatin1Char('\t'));
        for (QString& w : want) {
            if (w == u"D") w = d;
            else if (w == u"T") w = t;
            else if (w == u"aBb.txt") w = QStringLiteral("a") + kBar + QStringLiteral("b.txt");
        }
        for (int c = 0; c < 9; ++c) {
            EXPECT_EQ(grid[r][c].text, want.value(c)) << "row " << r << " column " << c;
            if (r == 0 || c == 0) continue;
            const char k = rows[r].backs[c - 1];
            const ui::Color back = k == 'g' ? kGrey : k == 'w' ? kWhite : k == 'G' ? kGreen : k == 'p' ? kTint0 : kTint1;
            EXPECT_EQ(grid[r][c].back, back) << "row " << r << " column " << c;
        }
    }
    // Merges: an equal pair is one cell, a folder row's pairs stay apart,
    // nothing merges in an unequal folder row.
    EXPECT_EQ(spans[0].first, std::make_pair(1, 2));
    EXPECT_EQ(spans[0].second, std::make_pair(3, 4));
    EXPECT_EQ(spans[6].first, std::make_pair(1, 1)) << "only_p.txt faces a blank";
    EXPECT_EQ(spans[12].second, std::make_pair(3, 4));
    EXPECT_EQ(spans[17].first, std::make_pair(1, 1));
    EXPECT_EQ(spans[17].second, std::make_pair(3, 3));
    EXPECT_EQ(totals, (QStringList{"Folders: 6.", "Files: 13.", "Folders: 5.", "Files: 14."}));
    EXPECT_EQ(g().ComparedPath[0], QStringLiteral("C:\\P\\"));

    // The codes behind the green rows: a folder empty on one side only.
    const auto& out = hidden().lstOutput;
    EXPECT_EQ(std::pair(out[0]->itemData(17), out[1]->itemData(17)), std::pair(2, 1)) << "EmptyP";
    EXPECT_EQ(std::pair(out[0]->itemData(18), out[1]->itemData(18)), std::pair(2, 0)) << "Mixed";
}

// The grid's frame before any row: one heading row and one marker column,
// every column centred in its heading and its cells, the widths of the
// settings; headings and the newer/older marks in the language of the run.
TEST_F(EndToEnd, TheGridsFrameAndHeadingsFollowTheSettingsInBothLanguages)
{
    for (int c = 0; c < 9; ++c) g().GridColumnWidth[std::size_t(c)] = 300 + 100 * c;
    for (const bool greek : {false, true}) {
        SCOPED_TRACE(greek ? "Greek" : "English");
        g().LanguageIsGreek = greek;
        desk.expectMsgBox(greek ? QStringLiteral("Αποτελέσματα συγκρίσεως") : kResultsTitle,
                          greek ? QStringLiteral("Οι δομές τις οποίες συγκρίνατε, διαφέρουν.")
                                : QStringLiteral("The structures you compared, differ."),
                          ui::vbInformationOK, ui::vbOK);
        QStringList heading, marks;
        openWindow([&] {
            if (win.grdResults->rows() > 0 && win.grdResults->cols() > 0)
                win.grdResults->setTextMatrix(0, 0, QStringLiteral("stale"));   // the corner is the run's to clear
            ui::Input::click(*win.cmdCompare);
            const ui::FlexGrid& grd = *win.grdResults;
            EXPECT_EQ(grd.cols(), 9);
            EXPECT_EQ(grd.rows(), 25);
            EXPECT_EQ(grd.fixedRows(), 1);
            EXPECT_EQ(grd.fixedCols(), 1);
            EXPECT_EQ(grd.mergeCells(), 1);
            EXPECT_FALSE(grd.mergeRow(0));
            for (int c = 0; c < 9; ++c) {
                heading << grd.textMatrix(0, c);
                EXPECT_EQ(grd.fixedAlignment(c), 4) << "column " << c;
                EXPECT_EQ(grd.colAlignment(c), 4) << "column " << c;
                EXPECT_EQ(grd.colWidth(c), 300 + 100 * c) << "column " << c;
            }
            marks << grd.textMatrix(5, 0) << grd.textMatrix(6, 0) << grd.textMatrix(7, 0);
            ui::Input::click(*win.cmdCancel);
        });
        if (greek) {
            EXPECT_EQ(heading, QStringList({"", "Όνομα", "Όνομα", "Μέγεθος", "Μέγεθος", "Χρονολογία", "Χρονολογία", "Ώρα", "Ώρα"}));
            EXPECT_EQ(marks, QStringList({"Ν", "Π", ""}));
        } else {
            EXPECT_EQ(heading, QStringList({"", "Name", "Name", "Size", "Size", "Date", "Date", "Time", "Time"}));
            EXPECT_EQ(marks, QStringList({"N", "O", ""}));
        }
    }
}

} // namespace
