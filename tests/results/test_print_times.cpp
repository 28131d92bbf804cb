// Times keep their hours wherever they appear, whatever the user's locale:
// in the printed lines and in the grid's time columns at their default width.
#include "print_fixture.h"
#include "shared/RegionalFormats.h"
#include "shared/SettingsTable.h"
#include "ui/qt/QtFixture.h"

#include <QStyledItemDelegate>
#include <QTableView>

namespace {

const char* const kLocales[] = {"C", "en_GB", "en_US", "de_DE", "el_GR", "fr_FR", "ko_KR", "ja_JP", "fi_FI"};

class PrintedTimes : public PrintTest {};

TEST_F(PrintedTimes, APrintedLineKeepsTheWholeTimeInEveryLocale)
{
    fill(3);
    for (const char* name : kLocales) {
        const QLocale locale{QString::fromLatin1(name)};
        shared::setRegionalFormats(shared::RegionalFormats::fromLocale(locale));
        drive.file(QStringLiteral("out.txt"), "");
        desk.answerSave(QStringLiteral("C:\\out.txt"));
        openPrint([](results::frmPrint& f) {
            ui::Input::click(*f.optPrintDestination[1]);
            ui::Input::click(*f.cmdPrint);
        });
        const QStringList lines = fileLines();
        ASSERT_EQ(lines.size(), 4 + 3) << name;
        // 13:05:09, its hours first, in the time column of both sides.
        const QString time = lines[4].mid(44, 8).trimmed();
        EXPECT_TRUE(time.startsWith(u'1') && time.contains(u'3') && time.endsWith(QStringLiteral("09")))
            << name << ": '" << lines[4].toStdString() << "'";
        EXPECT_EQ(time, shared::regionalFormats().longTime(QTime(13, 5, 9))) << name;
        const qsizetype secondary = lines[4].indexOf(QStringLiteral("|N|")) + 3 + 10 + 1 + 10 + 1;
        EXPECT_EQ(lines[4].mid(secondary, 9), QString(8, u'-') + u' ') << name << ": an equal time reads as dashes";
    }
}

// The widest time of every hour fits the time columns' default width whole.
class GridTimes : public qttest::QtDesktopTest {};

TEST_F(GridTimes, EveryTimeOfDayFitsTheTimeColumnsDefaultWidth)
{
    using namespace ui;
    for (const char* name : kLocales) {
        shared::setRegionalFormats(shared::RegionalFormats::fromLocale(QLocale(QString::fromLatin1(name))));
        qttest::BuiltForm f("frmTimes");
        f.load();
        auto* grid = f.add<FlexGrid>("grdResults");
        grid->move(120, 120, 6000, 6000);
        grid->setCols(basGlobal::kGridColumns);
        grid->setRows(1 + 48);
        grid->setFixedRows(1);
        grid->setFixedCols(1);
        for (int c = 0; c < basGlobal::kGridColumns; ++c) grid->setColWidth(c, basGlobal::kDefaultGridColumnWidths[c]);
        for (int h = 0; h < 24; ++h) {
            grid->setTextMatrix(1 + 2 * h, 7, shared::regionalFormats().longTime(QTime(h, 59, 59)));
            grid->setTextMatrix(2 + 2 * h, 8, shared::regionalFormats().longTime(QTime(h, 0, 0)));
        }
        f.show();
        QApplication::processEvents();
        auto* view = static_cast<QTableView*>(desk.window(f)->widgetFor(grid));
        QStyleOptionViewItem option;
        option.initFrom(view);
        option.font = view->font();
        // The fixed row and column are the view's headers.
        for (int r = 0; r < 48; ++r) {
            const int col = r % 2 ? 7 : 6;
            const QModelIndex index = view->model()->index(r, col);
            ASSERT_EQ(index.data().toString(), shared::regionalFormats().longTime(QTime(r / 2, r % 2 ? 0 : 59, r % 2 ? 0 : 59)));
            EXPECT_LE(view->itemDelegate()->sizeHint(option, index).width(), view->columnWidth(col))
                << name << ": " << index.data().toString().toStdString();
        }
        f.unload();
    }
    shared::resetRegionalFormats();
}

} // namespace
