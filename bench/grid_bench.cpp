// How the Qt desktop copes with a results grid and a list of 200,000 rows:
// filling them while their window is shown, the first yield that hands the
// rows to the views, and scrolling (by the program's TopRow and by the
// scroll bar), each scroll painted. Prints its figures; it checks nothing.
//
// Usage: grid_bench [rows]   (runs on the offscreen platform unless
// QT_QPA_PLATFORM says otherwise)

#include "ui/Form.h"
#include "ui/qt/FormWindow.h"
#include "ui/qt/QtDesktop.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QListView>
#include <QScrollBar>
#include <QTableView>

#include <cstdio>

namespace {

class BenchForm : public ui::Form {
public:
    BenchForm() : Form(QStringLiteral("frmBench")) {}
    ui::FlexGrid* grid = nullptr;
    ui::ListBox* list = nullptr;

protected:
    void build() override
    {
        move(0, 0, 15120, 9450);
        add<ui::FormResizer>(QStringLiteral("freeSizer1"));
        grid = add<ui::FlexGrid>(QStringLiteral("grdResults"));
        grid->move(0, 0, 12000, 9000);
        list = add<ui::ListBox>(QStringLiteral("lstFolders"));
        list->move(12000, 0, 3000, 9000);
        list->setSorted(true);
    }
};

double ms(const QElapsedTimer& t) { return double(t.nsecsElapsed()) / 1e6; }

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int rows = argc > 1 ? std::max(10, atoi(argv[1])) : 200000;

    ui::qt::QtDesktop desk;
    desk.install();
    BenchForm form;
    form.show();
    auto* window = desk.window(form);
    auto* view = static_cast<QTableView*>(window->widgetFor(form.grid));
    auto* listView = static_cast<QListView*>(window->widgetFor(form.list));
    QApplication::processEvents();

    ui::FlexGrid& g = *form.grid;
    QElapsedTimer t;
    t.start();
    g.setCols(9);
    g.setRows(rows + 1);
    g.setMergeCells(1);
    for (int r = 1; r <= rows; ++r) {
        g.setTextMatrix(r, 0, QString::number(r));
        if (r % 50 == 1) {   // a folder row, merged across the columns
            g.setMergeRow(r, true);
            for (int c = 1; c < 9; ++c) {
                g.setTextMatrix(r, c, QStringLiteral("C:\\Data\\Folder %1").arg(r));
                g.setCellBackColorAt(r, c, 0x00FF00);
            }
            continue;
        }
        g.setTextMatrix(r, 1, QStringLiteral("file%1.txt").arg(r));
        g.setTextMatrix(r, 2, QString::number(r * 17));
        g.setTextMatrix(r, 3, QStringLiteral("2024-05-01 12:00"));
        g.setTextMatrix(r, 5, QStringLiteral("file%1.txt").arg(r));
        g.setTextMatrix(r, 6, QString::number(r * 17));
        g.setTextMatrix(r, 8, r % 7 ? QStringLiteral("Same") : QStringLiteral("Different"));
        const ui::Color shade = r % 2 ? 0xE0E0E0 : 0xFFFFFF;
        for (int c = 1; c < 9; ++c) g.setCellBackColorAt(r, c, shade);
    }
    const double fill = ms(t);

    t.restart();
    desk.doEvents();
    view->viewport()->repaint();
    const double firstYield = ms(t);

    // The program's TopRow, spread over the whole grid.
    const int jumps = 200;
    t.restart();
    for (int i = 0; i < jumps; ++i) {
        g.setTopRow(1 + int((long long)(rows - 1) * i / (jumps - 1)));
        view->viewport()->repaint();
    }
    const double perJump = ms(t) / jumps;

    // The user's scroll bar, page by page near the end.
    QScrollBar* bar = view->verticalScrollBar();
    t.restart();
    for (int i = 0; i < jumps; ++i) {
        bar->setValue(bar->maximum() - i * 20);
        view->viewport()->repaint();
    }
    const double perScroll = ms(t) / jumps;
    const int topAfter = g.topRow();

    // A sorted list of as many items.
    t.restart();
    for (int i = 0; i < rows; ++i) form.list->addItem(QStringLiteral("Folder %1").arg((i * 7919) % rows));
    const double listFill = ms(t);
    t.restart();
    desk.doEvents();
    listView->viewport()->repaint();
    const double listYield = ms(t);
    t.restart();
    for (int i = 0; i < jumps; ++i) {
        form.list->setTopIndex(int((long long)(rows - 1) * i / (jumps - 1)));
        listView->viewport()->repaint();
    }
    const double listJump = ms(t) / jumps;

    std::printf("grid_bench: %d rows x 9 columns, a merged folder row in every 50\n", rows);
    std::printf("  grid fill with the window shown   %9.1f ms\n", fill);
    std::printf("  first yield (view takes the rows) %9.1f ms\n", firstYield);
    std::printf("  TopRow jump + paint               %9.3f ms each (%d jumps)\n", perJump, jumps);
    std::printf("  scroll-bar move + paint           %9.3f ms each (top row now %d)\n", perScroll, topAfter);
    std::printf("  view rows %d, model rows %d\n", view->model()->rowCount(), g.rows());
    std::printf("  sorted list fill                  %9.1f ms\n", listFill);
    std::printf("  first yield (list view)           %9.1f ms\n", listYield);
    std::printf("  TopIndex jump + paint             %9.3f ms each\n", listJump);
    form.unload();
    return 0;
}
