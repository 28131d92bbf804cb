// The finished grid of small hand-made trees under the settings that shape
// it: the level limit, the file types, the differences only and the common
// files only, each row's nine texts checked whole.
#include "compare_fixture.h"

using namespace compare_test;

namespace {

class ShapedGrid : public CompareTest {
protected:
    void SetUp() override
    {
        CompareTest::SetUp();
        g().CurrentPath = {QStringLiteral("C:\\P"), QStringLiteral("C:\\S")};
        const QDateTime when(QDate(2024, 3, 15), QTime(10, 20, 30));
        for (const char* side : {"P/", "S/"}) {
            const QString s = QLatin1String(side);
            file(c, s + QStringLiteral("same.txt"), QByteArray(100, 'x'), when);
            file(c, s + QStringLiteral("other.dat"), QByteArray(5, 'x'), when);
            file(c, s + QStringLiteral("Sub/c.txt"), QByteArray(s == u"P/" ? 1000 : 999, 'x'), when);
            file(c, s + QStringLiteral("Sub/Deep/d.txt"), QByteArray(7, 'x'), when.addSecs(s == u"P/" ? 1 : 0));
        }
        file(c, QStringLiteral("P/Sub/Deep/Deeper/e.txt"), QByteArray(1, 'x'), when);
        folder(c, QStringLiteral("P/Empty"));
        file(c, QStringLiteral("S/Only/f.txt"), QByteArray(12345, 'x'), when);
    }
    // The rows below the headings, each as its nine texts joined by "|".
    QStringList rows()
    {
        QStringList out;
        openWindow([&] {
            ui::Input::click(*win.cmdCompare);
            for (int r = 1; r < win.grdResults->rows(); ++r) {
                QStringList cells;
                for (int col = 0; col < 9; ++col) cells << win.grdResults->textMatrix(r, col);
                out << cells.join(u'|');
            }
            if (win.isLoaded()) ui::Input::click(*win.cmdCancel);
        });
        return out;
    }
};

TEST_F(ShapedGrid, EachSettingKeepsItsOwnRows)
{
    // Rows by name; "D" stands for 15/03/2024, "T" for 10:20:30.
    const QString other = "|other.dat|other.dat|5|5|D|D|T|T", same = "|same.txt|same.txt|100|100|D|D|T|T",
                  empty = "|Empty\\| |    |   |    |   |    |   ", only = "| |Only\\|    |   |    |   |    |   ",
                  f = "| |f.txt| |12,345| |D| |T", sub = "|Sub\\|Sub\\|     |     |   |   |     |     ",
                  cRow = "|c.txt|c.txt|1,000|999|D|D|T|T", deep = "|Sub\\Deep\\|Sub\\Deep\\|     |     |   |   |     |     ",
                  d = "N|d.txt|d.txt|7|7|D|D|10:20:31|T", deeper = "|Sub\\Deep\\Deeper\\| |    |   |    |   |    |   ",
                  e = "|e.txt| |1| |D| |T| ";
    const struct {
        const char* what;
        int levels;
        const char* pattern;
        bool differences, common;
        QStringList rows;
    } cases[] = {
        {"everything", 0, "*.*", false, false, {other, same, empty, only, f, sub, cRow, deep, d, deeper, e}},
        {"two levels", 2, "*.*", false, false, {other, same, empty, only, f, sub, cRow}},
        {"text files, no empty folder", 0, "*.txt", false, false, {same, only, f, sub, cRow, deep, d, deeper, e}},
        {"differences only", 0, "*.*", true, false, {empty, only, f, sub, cRow, deep, d, deeper, e}},
        {"common files only", 0, "*.*", false, true, {other, same, sub, cRow, deep, d}},
        {"one level, common files", 1, "*.*", false, true, {other, same}},
        {"two levels, text files, differences", 2, "*.txt", true, false, {only, f, sub, cRow}},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.what);
        g().NumberOfLevelsLimit = basGlobal::Integer(k.levels);
        g().FileTypesPattern = QLatin1String(k.pattern);
        g().DifferencesOnly = k.differences;
        g().CommonFilesOnly = k.common;
        if (k.levels != 1) expectDifferMessage();   // the two root files are equal
        QStringList want = k.rows;
        for (QString& r : want) {
            QStringList cells = r.split(u'|');
            for (QString& cell : cells) {
                if (cell == u"D") cell = QStringLiteral("15/03/2024");
                else if (cell == u"T") cell = QStringLiteral("10:20:30");
            }
            r = cells.join(u'|');
        }
        EXPECT_EQ(rows(), want);
    }
}

} // namespace
