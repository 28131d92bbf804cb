// What the form window does on the offscreen Qt platform that the headless
// model cannot show: trees, menus, dialogs, text boxes and their clipboard
// menu, how names, rows and headings look, and a window outliving its form.
#include "QtFixture.h"
#include "support/OnScreen.h"
#include "support/TempDrive.h"

#include "ui/DisplayText.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QCursor>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QToolButton>
#include <QTreeWidget>

using namespace qttest;
using testing_support::clickTreeItem;

namespace {

QTreeWidgetItem* itemNamed(QTreeWidget* view, const QString& text)
{
    const QList<QTreeWidgetItem*> found = view->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
    return found.isEmpty() ? nullptr : found.first();
}

// Chooses the action captioned `text` of the pop-up menu that is up.
void choosePopupAction(const QString& text)
{
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    for (QAction* a : menu->actions())
        if (a->text() == text && a->isEnabled()) {
            menu->setActiveAction(a);
            QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
            QApplication::sendEvent(menu, &enter);
            return;
        }
    menu->close();
    FAIL() << "no action " << text.toStdString();
}

QAction* actionOf(FormWindow* w, const QString& text)
{
    for (QAction* a : w->menuBar()->findChildren<QAction*>())
        if (a->text() == text) return a;
    return nullptr;
}

} // namespace

// --- Trees --------------------------------------------------------------------------

TEST_F(QtDesktopTest, TreeExpansionAndClicksGoToTheModel)
{
    TreeView* tree = nullptr;
    QStringList events;
    BuiltForm f("frmTrees", [&](BuiltForm& form) {
        tree = form.add<TreeView>("tvwStructure");
        tree->move(120, 120, 2800, 4000);
        tree->add({}, TreeView::tvwLast, "C:", "C:");
        tree->add("C:", TreeView::tvwChild, "C:\\A", "A");
        tree->add("C:", TreeView::tvwChild, "C:\\B", "B");
        tree->Expand = [&events](TreeNode* n) { events << "expand " + n->key(); };
        tree->Collapse = [&events](TreeNode* n) { events << "collapse " + n->key(); };
        tree->NodeClick = [&events](TreeNode* n) { events << "click " + n->key(); };
    });
    f.show();
    auto* view = static_cast<QTreeWidget*>(desk.window(f)->widgetFor(tree));
    itemNamed(view, "C:")->setExpanded(true);
    EXPECT_TRUE(tree->node("C:")->expanded());
    clickTreeItem(view, itemNamed(view, "A"));
    EXPECT_EQ(tree->selectedItem(), tree->node("C:\\A"));
    itemNamed(view, "C:")->setExpanded(false);
    EXPECT_FALSE(tree->node("C:")->expanded());
    EXPECT_EQ(events, (QStringList{"expand C:", "click C:\\A", "collapse C:"}));
    // (Two trees, the other's reload leaving this one's highlight: the main window's on-screen test.)
}

// The node the model holds selected stays highlighted after every click,
// also a Ctrl+click on it (which would take the highlight off in a plain
// tree view).
TEST_F(QtDesktopTest, TheSelectedNodeStaysHighlightedAfterAnyClickOnIt)
{
    TreeView* tree = nullptr;
    QStringList clicks;
    BuiltForm f("frmTrees", [&](BuiltForm& form) {
        tree = form.add<TreeView>("tvwStructure");
        tree->move(120, 120, 2800, 4000);
        tree->add({}, TreeView::tvwLast, "C:", "C:");
        tree->add("C:", TreeView::tvwChild, "C:\\A", "A");
        tree->node("C:")->setExpanded(true);
        tree->NodeClick = [&clicks](TreeNode* n) { clicks << n->key(); };
    });
    f.show();
    auto* view = static_cast<QTreeWidget*>(desk.window(f)->widgetFor(tree));
    QTreeWidgetItem* a = itemNamed(view, "A");
    const auto ctrlClick = [view](QTreeWidgetItem* item) {
        const QPointF at = view->visualItemRect(item).center();
        for (QEvent::Type t : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QMouseEvent e(t, at, view->viewport()->mapToGlobal(at), Qt::LeftButton,
                          t == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::ControlModifier);
            QApplication::sendEvent(view->viewport(), &e);
        }
    };
    clickTreeItem(view, a);
    ASSERT_EQ(tree->selectedItem(), tree->node("C:\\A"));
    EXPECT_TRUE(a->isSelected());
    ctrlClick(a);
    EXPECT_EQ(tree->selectedItem(), tree->node("C:\\A"));
    EXPECT_EQ(view->currentItem(), a);
    EXPECT_TRUE(a->isSelected());
    EXPECT_EQ(clicks, (QStringList{"C:\\A", "C:\\A"}));
}

// Keys typed in a tree find a node in the model, as arrows move it there:
// letters by their key code, what no key code gives (a Greek letter, "_")
// as text; the keypad's "-" still collapses. Each search here starts from a
// click, so none depends on how long the keys took.
TEST_F(QtDesktopTest, TypingInATreeFindsTheNodeInTheModel)
{
    TreeView* tree = nullptr;
    QStringList events;
    BuiltForm f("frmTrees", [&](BuiltForm& form) {
        tree = form.add<TreeView>("tvwStructure");
        tree->move(120, 120, 2800, 4000);
        tree->add({}, TreeView::tvwLast, "C:", "C:");
        for (const char* name : {"Users", "usr", "_build", "Φάκελλος"})
            tree->add("C:", TreeView::tvwChild, QStringLiteral("C:\\") + QString::fromUtf8(name), QString::fromUtf8(name));
        tree->add("C:\\Users", TreeView::tvwChild, "C:\\Users\\Anna", "Anna");
        tree->node("C:")->setExpanded(true);
        tree->NodeClick = [&events](TreeNode* n) { events << n->text(); };
    });
    f.show();
    auto* view = static_cast<QTreeWidget*>(desk.window(f)->widgetFor(tree));
    const auto press = [view](int key, Qt::KeyboardModifiers mods, const QString& text) {
        QKeyEvent e(QEvent::KeyPress, key, mods, text);
        QApplication::sendEvent(view, &e);
    };
    clickTreeItem(view, itemNamed(view, "C:"));
    press(Qt::Key_U, Qt::NoModifier, "u");
    press(Qt::Key_U, Qt::NoModifier, "u");
    EXPECT_EQ(tree->selectedItem()->text(), "usr");
    EXPECT_EQ(view->currentItem(), itemNamed(view, "usr"));
    clickTreeItem(view, itemNamed(view, "C:"));
    press(0, Qt::NoModifier, QString::fromUtf8("φ"));
    EXPECT_EQ(tree->selectedItem()->text(), QString::fromUtf8("Φάκελλος"));
    clickTreeItem(view, itemNamed(view, "C:"));
    press(Qt::Key_Underscore, Qt::ShiftModifier, "_");
    EXPECT_EQ(tree->selectedItem()->text(), "_build");
    EXPECT_EQ(events, (QStringList{"C:", "Users", "usr", "C:", QString::fromUtf8("Φάκελλος"), "C:", "_build"}));
    clickTreeItem(view, itemNamed(view, "C:"));
    press(Qt::Key_Minus, Qt::KeypadModifier, "-");
    EXPECT_FALSE(tree->node("C:")->expanded());
    press(Qt::Key_Plus, Qt::KeypadModifier, "+");
    EXPECT_TRUE(tree->node("C:")->expanded());
    press(Qt::Key_Minus, Qt::KeypadModifier, "-");
    press(Qt::Key_Asterisk, Qt::KeypadModifier, "*");   // the whole branch
    EXPECT_TRUE(tree->node("C:")->expanded());
    EXPECT_TRUE(tree->node("C:\\Users")->expanded());
    EXPECT_EQ(tree->selectedItem()->text(), "C:") << "no node is looked for by these keys";
}

// A node without a key is clicked as a keyed one is: the focus comes to the
// tree, the node is selected and NodeClick follows.
TEST_F(QtDesktopTest, ANodeWithoutAKeyIsSelectedAndClickedLikeTheOthers)
{
    TreeView* tree = nullptr;
    CommandButton* button = nullptr;
    QStringList clicks;
    BuiltForm f("frmTrees", [&](BuiltForm& form) {
        button = form.add<CommandButton>("cmdOK");
        button->move(3000, 120, 1200, 400);
        tree = form.add<TreeView>("tvwStructure");
        tree->move(120, 120, 2800, 4000);
        tree->add({}, TreeView::tvwLast, "C:", "C:");
        tree->add("C:", TreeView::tvwChild, {}, "(loading)");
        tree->node("C:")->setExpanded(true);
        tree->NodeClick = [&clicks](TreeNode* n) { clicks << n->text(); };
    });
    f.show();
    ASSERT_EQ(f.activeControl(), button);
    auto* view = static_cast<QTreeWidget*>(desk.window(f)->widgetFor(tree));
    clickTreeItem(view, itemNamed(view, "(loading)"));
    ASSERT_NE(tree->selectedItem(), nullptr);
    EXPECT_EQ(tree->selectedItem()->text(), "(loading)");
    EXPECT_EQ(f.activeControl(), tree);
    EXPECT_EQ(clicks, QStringList{"(loading)"});
}

// A folder filled in when the user opens it (its placeholder, the selected
// node, goes) shows no node selected, as the model holds none: the view does
// not pick one of its own.
TEST_F(QtDesktopTest, AFolderFilledInWhenOpenedShowsTheModelsSelection)
{
    TreeView* tree = nullptr;
    BuiltForm f("frmFill", [&](BuiltForm& form) {
        tree = form.add<TreeView>("tvwStructure");
        tree->move(120, 120, 2800, 4000);
        tree->add({}, TreeView::tvwLast, "C:", "C:");
        tree->add("C:", TreeView::tvwChild, "C:*", "(loading)");
        tree->setSelectedItem(tree->node("C:*"));
        tree->Expand = [&tree](TreeNode* n) {
            tree->remove("C:*");
            tree->add(n->key(), TreeView::tvwChild, "C:\\Data", "Data");
        };
    });
    f.show();
    QApplication::processEvents();
    auto* view = static_cast<QTreeWidget*>(desk.window(f)->widgetFor(tree));
    itemNamed(view, "C:")->setExpanded(true);   // as its expander does
    QApplication::processEvents();
    EXPECT_TRUE(tree->node("C:")->expanded());
    ASSERT_EQ(tree->selectedItem(), nullptr);
    ASSERT_NE(itemNamed(view, "Data"), nullptr);
    EXPECT_EQ(view->currentItem(), nullptr);
    EXPECT_TRUE(view->selectedItems().isEmpty());
}

// The screen shows the model's selection while the program changes the tree:
// the selected node removed leaves none selected, a node removed beside it or
// its siblings put in order around it leave it selected.
TEST_F(QtDesktopTest, TheSelectionOnScreenFollowsTheModelAsNodesGoOrMove)
{
    TreeView* tree = nullptr;
    BuiltForm f("frmFill", [&](BuiltForm& form) {
        tree = form.add<TreeView>("tvwStructure");
        tree->move(120, 120, 2800, 4000);
        tree->add({}, TreeView::tvwLast, "C:", "C:");
        tree->add("C:", TreeView::tvwChild, "C:A", "A");
        tree->add("C:", TreeView::tvwChild, "C:B", "B");
        tree->node("C:")->setExpanded(true);
        tree->setSelectedItem(tree->node("C:A"));
    });
    f.show();
    QApplication::processEvents();
    auto* view = static_cast<QTreeWidget*>(desk.window(f)->widgetFor(tree));
    tree->remove("C:A");
    QApplication::processEvents();
    ASSERT_EQ(tree->selectedItem(), nullptr);
    EXPECT_EQ(view->currentItem(), nullptr);
    EXPECT_TRUE(view->selectedItems().isEmpty());

    tree->add("C:", TreeView::tvwChild, "C:D", "D");
    tree->setSelectedItem(tree->node("C:B"));
    tree->remove("C:D");
    QApplication::processEvents();
    EXPECT_EQ(view->currentItem(), itemNamed(view, "B"));
    EXPECT_EQ(view->selectedItems(), QList<QTreeWidgetItem*>{itemNamed(view, "B")});

    // Its siblings put in order around it leave it selected too.
    tree->add("C:", TreeView::tvwChild, "C:A", "A");
    tree->node("C:")->setSorted(true);
    tree->node("C:B")->setText("0");
    QApplication::processEvents();
    EXPECT_EQ(itemNamed(view, "C:")->child(0), itemNamed(view, "0"));
    EXPECT_EQ(view->currentItem(), itemNamed(view, "0"));
    EXPECT_EQ(view->selectedItems(), QList<QTreeWidgetItem*>{itemNamed(view, "0")});
}

// --- Names and headings ------------------------------------------------------------

// A tree's one column is as wide as its widest name, never narrower than the
// tree: a short name's highlight spans the row, a long one scrolls sideways
// to its very end.
TEST_F(QtDesktopTest, ATreeColumnIsAsWideAsItsWidestNameAndNeverNarrowerThanTheTree)
{
    const QString longName = QStringLiteral("Äpfel und Birnen aus dem Garten der Großmutter");
    BuiltForm f("frmNarrow");
    f.load();
    auto* tree = f.add<TreeView>("tvwStructure");
    tree->move(120, 120, 6000, 3000);
    tree->add({}, TreeView::tvwLast, "C:", "C:");
    tree->setSelectedItem(tree->node("C:"));
    f.show();
    QApplication::processEvents();
    auto* view = static_cast<QTreeWidget*>(desk.window(f)->widgetFor(tree));
    ASSERT_GT(view->viewport()->width(), 200);
    EXPECT_EQ(view->visualItemRect(view->topLevelItem(0)).right(), view->viewport()->width() - 1);
    EXPECT_EQ(view->horizontalScrollBar()->maximum(), 0);

    tree->add("C:", TreeView::tvwChild, "C:\\Ä", longName + longName);
    tree->node("C:")->setExpanded(true);
    QApplication::processEvents();
    QTreeWidgetItem* item = itemNamed(view, longName + longName);
    ASSERT_NE(item, nullptr);
    const QRect row = view->visualItemRect(item);
    EXPECT_GE(row.width(), view->fontMetrics().horizontalAdvance(longName + longName));
    EXPECT_EQ(view->horizontalScrollBar()->maximum(), view->header()->length() - view->viewport()->width());
}

// A heading is drawn with the grid's own narrow margins: one just as wide as
// its column's room between them is drawn whole, as in a wide column; a
// heading's own colours fill and write it.
TEST_F(QtDesktopTest, AHeadingThatFitsItsColumnIsDrawnWhole)
{
    BuiltForm f("frmHeads");
    f.load();
    auto* grid = f.add<FlexGrid>("grdResults");
    grid->move(120, 120, 8000, 2000);
    grid->setRows(2);
    grid->setCols(2);
    grid->setFixedRows(1);
    grid->setFixedCols(0);
    f.show();
    QApplication::processEvents();
    auto* view = static_cast<QTableView*>(desk.window(f)->widgetFor(grid));
    QHeaderView* header = view->horizontalHeader();
    // The number of columns holding dark pixels in a section.
    const auto inkWidth = [header](int section) {
        const QImage shot = header->grab().toImage();
        const int left = header->sectionViewportPosition(section), right = left + header->sectionSize(section);
        int first = -1, last = -1;
        for (int x = left + 1; x < right - 1; ++x)
            for (int y = 2; y < shot.height() - 2; ++y)
                if (qGray(shot.pixel(x, y)) < 160) {
                    if (first < 0) first = x;
                    last = x;
                    break;
                }
        return first < 0 ? 0 : last - first + 1;
    };
    for (const QString& text : {QStringLiteral("Name"), QStringLiteral("Χρονολογία")}) {
        SCOPED_TRACE(text.toStdString());
        const int room = header->fontMetrics().horizontalAdvance(text) + 2 * 2;
        grid->setColWidth(0, QtDesktop::twips(room));
        grid->setColWidth(1, 4000);
        for (int c = 0; c < 2; ++c) {
            grid->setTextMatrix(0, c, text);
            grid->setFixedAlignment(c, 1);   // left
        }
        QApplication::processEvents();
        ASSERT_EQ(header->sectionSize(0), room);
        EXPECT_GT(inkWidth(1), 0);
        EXPECT_EQ(inkWidth(0), inkWidth(1));
    }

    // A heading of its own colours is filled and written in them; the one
    // beside it keeps the grid's.
    grid->setCellBackColorAt(0, 1, rgb(0, 0, 160));
    grid->setCellForeColorAt(0, 1, rgb(255, 255, 0));
    QApplication::processEvents();
    const QImage shot = header->grab().toImage();
    // Pixels of a blue ground and of yellow writing in a section.
    const auto colours = [&shot, header](int section) {
        std::pair<int, int> count;
        const int left = header->sectionViewportPosition(section);
        for (int x = left + 2; x < left + header->sectionSize(section) - 2; ++x)
            for (int y = 2; y < shot.height() - 2; ++y) {
                const QColor c(shot.pixel(x, y));
                if (c.blue() > c.red() + 80 && c.blue() > c.green() + 80) ++count.first;
                if (c.red() > c.blue() + 80 && c.green() > c.blue() + 80) ++count.second;
            }
        return count;
    };
    const auto own = colours(1), plain = colours(0);
    EXPECT_GT(own.first, own.second);
    EXPECT_GT(own.second, 10);
    EXPECT_EQ(plain, std::make_pair(0, 0));
}

// Stored names show their real characters; a tree row fits the accents over
// a capital, and a long name scrolls sideways; a Greek heading is drawn whole
// in a date column's default width.
TEST_F(QtDesktopTest, NamesShowTheRealCharactersWholeInTreeRowsAndGridHeadings)
{
    const QString stored = QStringLiteral("a") + QChar(0xF03A) + QStringLiteral("b") + QChar(0xF022), shown = "a:b\"";
    const QString longName = QStringLiteral("Äpfel und Birnen aus dem Garten der Großmutter"), heading = QStringLiteral("Χρονολογία");
    BuiltForm f("frmNames");
    f.load();
    f.add<ListBox>("lstFiles")->addItem(stored);
    f.add<Label>("lblPath")->setCaption(stored);
    auto* tree = f.add<TreeView>("tvwStructure");
    tree->move(120, 120, 1500, 3000);
    tree->add({}, TreeView::tvwLast, "C:", stored);
    tree->add("C:", TreeView::tvwChild, "C:\\Ä", longName);
    tree->node("C:")->setExpanded(true);
    auto* grid = f.add<FlexGrid>("grdResults");
    grid->move(1800, 120, 5000, 2000);
    grid->setRows(3);
    grid->setCols(3);
    grid->setFixedRows(1);
    grid->setFixedCols(1);
    grid->setTextMatrix(1, 1, stored);
    for (int c = 1; c < 3; ++c) {
        grid->setColWidth(c, 1000);   // the date columns' default width
        grid->setTextMatrix(0, c, heading);
        grid->setFixedAlignment(c, 4);
    }
    grid->setRows(4);
    grid->setColWidth(2, 850);   // the time columns' default width
    grid->setTextMatrix(2, 1, "28/12/2000");
    grid->setTextMatrix(3, 1, "2000.12.28");
    grid->setTextMatrix(2, 2, "23:58:58");
    f.show();
    QApplication::processEvents();
    FormWindow* w = desk.window(f);
    auto* list = static_cast<QListView*>(w->widgetFor(f.control("lstFiles")));
    auto* treeView = static_cast<QTreeWidget*>(w->widgetFor(tree));
    auto* gridView = static_cast<QTableView*>(w->widgetFor(grid));
    EXPECT_EQ(list->model()->index(0, 0).data().toString(), shown);
    EXPECT_EQ(static_cast<QLabel*>(w->widgetFor(f.control("lblPath")))->text(), shown);
    EXPECT_EQ(treeView->topLevelItem(0)->text(0), shown);
    EXPECT_EQ(gridView->model()->index(0, 0).data().toString(), shown);
    // Every character that logical names keep aside.
    const struct {
        QString stored, shown;
    } characters[] = {
        {QString(QChar(0xF03A)) + "x", ":x"},  {"a" + QString(QChar(0xF03F)), "a?"}, {QString(QChar(0xF02A)), "*"},
        {QString(QChar(0xF07C)), "|"},         {QString(QChar(0xF05C)), "\\"},        {QString(QChar(0xF022)), "\""},
        {QString(QChar(0xF080)), QString(QChar(0xF080))},                             {"Äpfel", "Äpfel"},
    };
    for (const auto& c : characters) EXPECT_EQ(ui::displayText(c.stored), c.shown) << c.shown.toStdString();

    QTreeWidgetItem* item = itemNamed(treeView, longName);
    ASSERT_NE(item, nullptr);
    for (double size : {7.8, 14.0}) {   // the second after the rows were laid out
        Font font = tree->font();
        font.size = size;
        tree->setFont(font);
        QApplication::processEvents();
        // Text centred in its row keeps the dots over the capital inside it.
        const QFontMetrics fm(treeView->font());
        const int over = std::max(0, -fm.tightBoundingRect(QStringLiteral("Ä")).top() - fm.ascent());
        EXPECT_GE(treeView->visualItemRect(item).height(), fm.height() + 2 * over) << size;
    }
    EXPECT_GT(treeView->horizontalScrollBar()->maximum(), 0);

    QHeaderView* header = gridView->horizontalHeader();
    const QImage shot = header->grab().toImage();
    // The dark pixels of the first section span the whole word.
    const int left = header->sectionViewportPosition(0), right = left + header->sectionSize(0);
    int first = -1, last = -1;
    for (int x = left + 2; x < right - 2; ++x)
        for (int y = 2; y < shot.height() - 2; ++y)
            if (qGray(shot.pixel(x, y)) < 170) {
                if (first < 0) first = x;
                last = x;
                break;
            }
    ASSERT_GE(first, 0);
    EXPECT_GE(last - first + 1, QFontMetrics(header->font()).tightBoundingRect(heading).width() - 3);   // antialiased edges

    // The widest short dates and times fit their columns' default widths whole.
    for (const auto& [row, col] : {std::pair{1, 0}, {2, 0}, {1, 1}}) {
        QStyleOptionViewItem option;
        option.initFrom(gridView);
        option.font = gridView->font();
        const QModelIndex index = gridView->model()->index(row, col);
        EXPECT_LE(gridView->itemDelegate()->sizeHint(option, index).width(), gridView->columnWidth(col)) << index.data().toString().toStdString();
    }
}

// --- Labels -----------------------------------------------------------------------------

namespace {

// The first and last rows of a picture that hold ink: pixels at most half as
// bright as the ground (-1, -1: none).
std::pair<int, int> inkRows(const QImage& image, QRgb ground)
{
    int first = -1, last = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) * 2 < qGray(ground)) {
                if (first < 0) first = y;
                last = y;
                break;
            }
    return {first, last};
}

// The rows of ink of `text` in `font` drawn with room all round.
int fullInkHeight(const QFont& font, const QString& text)
{
    const QFontMetrics fm(font);
    QImage image(fm.horizontalAdvance(text) + 20, 4 * fm.height(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setFont(font);
    p.setPen(Qt::black);
    p.drawText(10, 2 * fm.height(), text);
    p.end();
    const auto [first, last] = inkRows(image, qRgb(255, 255, 255));
    return last - first + 1;
}

} // namespace

// The accents over capitals ("Äpfel", "Άρης") stay whole in labels of every
// kind, at the program's sizes and fonts; a single value in a box of its own
// colour stands in the middle of the box, not at its top.
TEST_F(QtDesktopTest, LabelsKeepTheAccentsOfCapitalsAndCentreAValueInItsBox)
{
    struct Row {
        const char* name;
        QString caption;
        int height;          // twips
        Color back;          // kSysButtonFace: the form's own ground
        double size;
        bool centred;
    };
    const Row rows[] = {
        {"lblCurrentFullPath", QStringLiteral("C:\\Äpfel"), 315, 0xC0FFFF, 7.8, true},
        {"lblFileName", QStringLiteral("Öl & Süß.txt"), 252, 0xFFC0C0, 7.8, true},
        {"lblCurrentPath", QStringLiteral("Άρης Ώρα"), 252, 0xC0FFFF, 7.8, true},
        {"lblStructure", QStringLiteral("Ένα Όνομα"), 285, kSysButtonFace, 7.8, false},
        {"lblFontSize", QStringLiteral("10"), 285, 0xFFFFFF, 7.8, true},
        {"lblBigger", QStringLiteral("Äpfel"), 330, 0xC0FFFF, 9.0, true},
    };
    BuiltForm f("frmLabels", [&](BuiltForm& form) {
        form.move(0, 0, 6000, 4000);
        int top = 120;
        for (const Row& r : rows) {
            auto* l = form.add<Label>(r.name);
            l->move(120, top, 3000, r.height);
            l->setCaption(r.caption);
            l->setBackColor(r.back);
            l->setForeColor(kSysWindowText);
            Font font = l->font();
            font.size = r.size;
            l->setFont(font);
            top += r.height + 120;
        }
    });
    f.show();
    QApplication::processEvents();
    FormWindow* w = desk.window(f);
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        auto* label = static_cast<QLabel*>(w->widgetFor(f.control(r.name)));
        const QImage shot = label->grab().toImage();
        const QRgb ground = shot.pixel(shot.width() - 1, shot.height() / 2);
        const auto [first, last] = inkRows(shot, ground);
        ASSERT_GE(first, 0);
        EXPECT_EQ(last - first + 1, fullInkHeight(label->font(), r.caption)) << "ink rows " << first << ".." << last;
        if (r.centred) {
            const int above = first, below = shot.height() - 1 - last;
            EXPECT_LE(std::abs(above - below), 3) << above << " rows above, " << below << " below";
        }
    }
}

// What is set while the window is up re-places what the controls show: a
// label that gets a colour of its own centres its line in the box (and goes
// back to the top without one); a tree given a bigger font makes its rows
// taller.
TEST_F(QtDesktopTest, AColourOrFontSetOnScreenReplacesALabelsLineAndATreesRows)
{
    Label* label = nullptr;
    TreeView* tree = nullptr;
    BuiltForm f("frmRecolour", [&](BuiltForm& form) {
        form.move(0, 0, 6000, 5000);
        label = form.add<Label>("lblCurrentFullPath");
        label->move(120, 120, 3000, 600);
        label->setCaption("C:\\Data");
        tree = form.add<TreeView>("tvwStructure");
        tree->move(120, 900, 3000, 3000);
        tree->add({}, TreeView::tvwLast, "C:", "C:");
    });
    f.show();
    QApplication::processEvents();
    FormWindow* w = desk.window(f);
    auto* q = static_cast<QLabel*>(w->widgetFor(label));
    const auto vertical = [q] { return q->alignment() & Qt::AlignVertical_Mask; };
    EXPECT_EQ(vertical(), Qt::AlignTop);
    label->setBackColor(0xC0FFFF);
    QApplication::processEvents();
    EXPECT_EQ(vertical(), Qt::AlignVCenter);
    label->setBackColor(f.backColor());
    QApplication::processEvents();
    EXPECT_EQ(vertical(), Qt::AlignTop);

    auto* view = static_cast<QTreeWidget*>(w->widgetFor(tree));
    const int before = view->visualItemRect(itemNamed(view, "C:")).height();
    Font font = tree->font();
    font.size *= 2.5;
    tree->setFont(font);
    QApplication::processEvents();
    EXPECT_GT(view->visualItemRect(itemNamed(view, "C:")).height(), before * 2);
}

// --- Colours --------------------------------------------------------------------------

// A fore colour set on a control greys out like any other text once the
// control is disabled, and comes back when it is enabled again.
TEST_F(QtDesktopTest, ADisabledControlGreysItsTextWhateverItsForeColour)
{
    BuiltForm f("frmGrey");
    f.load();
    f.move(0, 0, 4000, 2000);
    auto* button = f.add<CommandButton>("cmdApply");
    auto* label = f.add<Label>("lblNote");
    button->move(120, 120, 1500, 400);
    label->move(120, 700, 1500, 300);
    for (Control* c : std::initializer_list<Control*>{button, label}) {
        setCaptionOf(*c, "WWWWWW");
        c->setForeColor(rgb(0, 0, 0));
    }
    f.show();
    QApplication::processEvents();
    FormWindow* w = desk.window(f);
    const auto darkest = [&](Control* c) {
        const QImage shot = w->widgetFor(c)->grab().toImage();
        int least = 255;
        for (int y = 0; y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x) least = std::min(least, qGray(shot.pixel(x, y)));
        return least;
    };
    for (Control* c : std::initializer_list<Control*>{button, label}) {
        const std::string name = c->name().toStdString();
        EXPECT_LT(darkest(c), 60) << name;
        c->setEnabled(false);
        EXPECT_GT(darkest(c), 100) << name;
        c->setEnabled(true);
        EXPECT_LT(darkest(c), 60) << name;
    }
}

// A coloured text keeps its colour while another window is the active one.
TEST_F(QtDesktopTest, AForeColourStaysWhenItsWindowIsNotTheActiveOne)
{
    BuiltForm f("frmColoured");
    f.load();
    f.move(0, 0, 4000, 2000);
    auto* label = f.add<Label>("lblNote");
    label->move(120, 120, 2500, 400);
    label->setCaption("WWWWWW");
    label->setForeColor(rgb(255, 0, 0));
    f.show();
    BuiltForm other("frmOther");
    other.show();
    desk.window(other)->activateWindow();
    QApplication::processEvents();
    ASSERT_FALSE(desk.window(f)->isActiveWindow());
    const QImage shot = desk.window(f)->widgetFor(label)->grab().toImage();
    int red = 0;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x) {
            const QColor p = shot.pixelColor(x, y);
            if (p.red() > 200 && p.green() < 80 && p.blue() < 80) ++red;
        }
    EXPECT_GT(red, 20);
}

// A control put into a frame while its window is up shows inside the frame,
// placed from the frame's corner.
TEST_F(QtDesktopTest, AControlMovedIntoAFrameOnScreenShowsInsideIt)
{
    BuiltForm f("frmFramed");
    f.load();
    f.move(0, 0, 6000, 4000);
    auto* fra = f.add<Frame>("fraSettings");
    fra->move(1500, 1500, 3000, 2000);
    auto* button = f.add<CommandButton>("cmdApply");
    button->move(150, 300, 1500, 450);
    f.show();
    QApplication::processEvents();
    FormWindow* w = desk.window(f);
    button->setContainer(fra);
    QApplication::processEvents();
    QWidget* shown = w->widgetFor(button);
    EXPECT_TRUE(shown->isVisible());
    EXPECT_EQ(shown->parentWidget(), w->widgetFor(fra));
    EXPECT_EQ(shown->mapTo(w, QPoint(0, 0)) - w->widgetFor(fra)->mapTo(w, QPoint(0, 0)), QPoint(QtDesktop::px(150), QtDesktop::px(300)));
}

// A stretched image fills its control with each picture it is given; an
// unstretched one shows the picture at its own size.
TEST_F(QtDesktopTest, AStretchedImageFillsItsControlWithEveryNewPicture)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("red.png");
    QImage red(8, 8, QImage::Format_RGB32);
    red.fill(Qt::red);
    ASSERT_TRUE(red.save(file));
    BuiltForm f("frmPictures");
    f.load();
    f.move(0, 0, 4000, 2000);
    auto* stretched = f.add<Image>("imgResultIcon");
    stretched->move(120, 120, 960, 960);
    stretched->setStretch(true);
    auto* plain = f.add<Image>("imgPlain");
    plain->move(1500, 120, 960, 960);
    f.show();
    stretched->setPicture(Picture{file});
    plain->setPicture(Picture{file});
    QApplication::processEvents();
    FormWindow* w = desk.window(f);
    const auto corner = [w](Control* c) {
        const QImage shot = w->widgetFor(c)->grab().toImage();
        return shot.pixelColor(shot.width() - 2, shot.height() - 2);
    };
    EXPECT_EQ(corner(stretched), QColor(Qt::red));
    EXPECT_NE(corner(plain), QColor(Qt::red));
    EXPECT_EQ(w->widgetFor(plain)->grab().toImage().pixelColor(2, 2), QColor(Qt::red));
}

// Option buttons show their captions as written (an ampersand is no
// shortcut) and follow a new caption and the model's choice.
TEST_F(QtDesktopTest, OptionButtonsShowTheirCaptionsAsWrittenAndTheChoice)
{
    BuiltForm f("frmPrint");
    f.load();
    f.move(0, 0, 5000, 2000);
    auto* file = f.add<OptionButton>("optPrintDestination", 0);
    file->move(120, 120, 3000, 300);
    file->setCaption("File & printer");
    auto* printer = f.add<OptionButton>("optPrintDestination", 1);
    printer->move(120, 600, 3000, 300);
    printer->setCaption("Printer");
    printer->setValue(true);
    f.show();
    FormWindow* w = desk.window(f);
    auto* fileButton = static_cast<QRadioButton*>(w->widgetFor(file));
    auto* printerButton = static_cast<QRadioButton*>(w->widgetFor(printer));
    EXPECT_EQ(fileButton->text(), "File && printer");
    EXPECT_EQ(printerButton->text(), "Printer");
    EXPECT_TRUE(printerButton->isChecked());
    printer->setCaption(QString::fromUtf8("Εκτυπωτής"));
    file->setValue(true);
    EXPECT_EQ(printerButton->text(), QString::fromUtf8("Εκτυπωτής"));
    EXPECT_TRUE(fileButton->isChecked());
    EXPECT_FALSE(printerButton->isChecked());
}

// A check box shows its value: ticked, greyed or empty, as the program sets it.
TEST_F(QtDesktopTest, ACheckBoxShowsItsValueTickedGreyedOrEmpty)
{
    BuiltForm f("frmOptions");
    f.load();
    auto* ticked = f.add<CheckBox>("chkResizeFont");
    ticked->move(120, 120, 3000, 300);
    ticked->setValue(1);
    auto* empty = f.add<CheckBox>("chkConfirm");
    empty->move(120, 600, 3000, 300);
    f.show();
    FormWindow* w = desk.window(f);
    auto* tickedBox = static_cast<QCheckBox*>(w->widgetFor(ticked));
    auto* emptyBox = static_cast<QCheckBox*>(w->widgetFor(empty));
    EXPECT_EQ(tickedBox->checkState(), Qt::Checked);
    EXPECT_EQ(emptyBox->checkState(), Qt::Unchecked);
    ticked->setValue(2);
    empty->setValue(1);
    EXPECT_EQ(tickedBox->checkState(), Qt::PartiallyChecked);
    EXPECT_EQ(emptyBox->checkState(), Qt::Checked);
    ticked->setValue(0);
    EXPECT_EQ(tickedBox->checkState(), Qt::Unchecked);
}

// An up-down's arrows step its value and its buddy, each arrow greyed at its
// end of the range; the pair shows the focus by a frame in the highlight
// colour around the arrows, gone when the focus leaves.
TEST_F(QtDesktopTest, AnUpDownsArrowsStepItsBuddyAndItShowsTheFocusByAFrame)
{
    BuiltForm f("frmOptions");
    f.load();
    auto* txt = f.add<TextBox>("txtDays");
    txt->move(120, 120, 900, 300);
    auto* upd = f.add<UpDown>("updDays");
    upd->move(1020, 120, 255, 300);
    upd->setBuddy(txt, UpDown::BuddyProperty::Text);
    upd->setMin(1);
    upd->setMax(3);
    upd->setValue(2);
    f.show();
    QApplication::processEvents();
    FormWindow* w = desk.window(f);
    QWidget* pair = w->widgetFor(upd);
    const QList<QToolButton*> arrows = pair->findChildren<QToolButton*>();
    ASSERT_EQ(arrows.size(), 2);
    QToolButton* up = arrows[0]->arrowType() == Qt::UpArrow ? arrows[0] : arrows[1];
    QToolButton* down = up == arrows[0] ? arrows[1] : arrows[0];
    EXPECT_TRUE(up->isEnabled());
    EXPECT_TRUE(down->isEnabled());
    up->click();
    EXPECT_EQ(upd->value(), 3);
    EXPECT_EQ(txt->text(), "3");
    EXPECT_FALSE(up->isEnabled()) << "greyed at Max";
    down->click();
    down->click();
    EXPECT_EQ(upd->value(), 1);
    EXPECT_EQ(txt->text(), "1");
    EXPECT_FALSE(down->isEnabled()) << "greyed at Min";
    EXPECT_TRUE(up->isEnabled());

    const QColor highlight = pair->palette().color(QPalette::Highlight);
    const auto corner = [pair] {
        QApplication::processEvents();
        return pair->grab().toImage().pixelColor(0, 0);
    };
    EXPECT_NE(corner(), highlight);
    pair->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(corner(), highlight);
    EXPECT_EQ(up->geometry().topLeft(), QPoint(2, 2)) << "the arrows stand inside the frame";
    w->widgetFor(txt)->setFocus(Qt::TabFocusReason);
    EXPECT_NE(corner(), highlight);
    EXPECT_EQ(up->geometry().topLeft(), QPoint(0, 0));
}

// A progress bar shows how far its value stands between Min and Max.
TEST_F(QtDesktopTest, AProgressBarShowsHowFarItsValueStandsBetweenMinAndMax)
{
    BuiltForm f("frmPleaseWait");
    f.load();
    auto* prb = f.add<ProgressBar>("prbProgressBar");
    prb->move(120, 120, 3000, 300);
    prb->setMin(10);
    prb->setMax(60);
    f.show();
    auto* bar = static_cast<QProgressBar*>(desk.window(f)->widgetFor(prb));
    const auto shown = [bar] { return double(bar->value() - bar->minimum()) / (bar->maximum() - bar->minimum()); };
    EXPECT_EQ(shown(), 0.0);
    prb->setValue(35);
    EXPECT_DOUBLE_EQ(shown(), 0.5);
    prb->setValue(60);
    EXPECT_DOUBLE_EQ(shown(), 1.0);
}

// --- Menus ------------------------------------------------------------------------------

TEST_F(QtDesktopTest, MenuItemsTickOnlyWhatTheProgramChecksAndShowTheirShortcuts)
{
    BuiltForm f("frmMenus");
    f.load();
    Menu* tools = f.addMenu("mnuTools", "Tools");
    f.addMenu("mnuToolsRefresh", "Refresh", tools)->setShortcut("F5");
    f.addMenu("mnuToolsSep", "-", tools);
    int factoryChosen = 0;
    f.addMenu("mnuToolsFactory", "Factory settings...", tools)->Click = [&] { ++factoryChosen; };
    Menu* english = f.addMenu("mnuEnglish", "English", tools);
    Menu* greek = f.addMenu("mnuGreek", "Greek", tools);
    english->setChecked(true);
    english->Click = [&] {
        english->setChecked(true);
        greek->setChecked(false);
    };
    greek->Click = [&] {
        greek->setChecked(true);
        english->setChecked(false);
    };
    f.show();
    FormWindow* w = desk.window(f);
    QAction* factoryAction = actionOf(w, "Factory settings...");
    ASSERT_NE(factoryAction, nullptr);
    EXPECT_FALSE(factoryAction->isCheckable());
    factoryAction->trigger();
    EXPECT_EQ(factoryChosen, 1);
    EXPECT_FALSE(factoryAction->isChecked());
    actionOf(w, "English")->trigger();   // choosing the ticked language keeps its tick
    EXPECT_TRUE(actionOf(w, "English")->isChecked());
    actionOf(w, "Greek")->trigger();
    EXPECT_TRUE(actionOf(w, "Greek")->isChecked());
    EXPECT_FALSE(actionOf(w, "English")->isChecked());
    EXPECT_NE(actionOf(w, "Refresh\tF5"), nullptr);
    // (Separators staying blank in a window the resizer scales: the gallery.)
}

// A disabled item shows greyed and cannot be chosen; enabled again, it can.
TEST_F(QtDesktopTest, ADisabledMenuItemShowsDisabledUntilEnabledAgain)
{
    BuiltForm f("frmMenus");
    f.load();
    Menu* file = f.addMenu("mnuFile", "File");
    Menu* print = f.addMenu("mnuFilePrint", "Print...", file);
    Menu* recent = f.addMenu("mnuFileRecent", "Recent", file);
    f.addMenu("mnuFileRecent1", "One", recent);
    int printed = 0;
    print->Click = [&] { ++printed; };
    print->setEnabled(false);
    recent->setEnabled(false);
    f.show();
    FormWindow* w = desk.window(f);
    QAction* printAction = actionOf(w, "Print...");
    ASSERT_NE(printAction, nullptr);
    EXPECT_FALSE(printAction->isEnabled());
    EXPECT_FALSE(actionOf(w, "Recent")->isEnabled());
    printAction->trigger();
    EXPECT_EQ(printed, 0);
    print->setEnabled(true);
    recent->setEnabled(true);
    EXPECT_TRUE(printAction->isEnabled());
    EXPECT_TRUE(actionOf(w, "Recent")->isEnabled());
    printAction->trigger();
    EXPECT_EQ(printed, 1);
}

// --- Dialogs ----------------------------------------------------------------------------

TEST_F(QtDesktopTest, FileAndPrinterDialogsGiveTheChoiceOrTheCancel)
{
    testing_support::TempDrive drive;
    drive.file("report.txt");
    BuiltForm f("frmDialogs");
    f.load();
    auto* dlg = f.add<CommonDialog>("dlgFile");
    f.show();
    desk.setDialogHook([&](QWidget* d) {
        auto* fd = qobject_cast<QFileDialog*>(d);
        ASSERT_NE(fd, nullptr);
        fd->selectFile(drive.native("report.txt"));
        static_cast<QDialog*>(fd)->accept();
    });
    dlg->initDir = "C:\\";
    dlg->filter = "Text files|*.txt|All files|*.*";
    EXPECT_TRUE(dlg->showOpen());
    EXPECT_EQ(dlg->fileName, "C:\\report.txt");

    desk.setDialogHook([](QWidget* d) { static_cast<QDialog*>(d)->reject(); });
    EXPECT_FALSE(dlg->showSave());
    QString printerDialogSeen, printerTitle;
    desk.setDialogHook([&](QWidget* d) {
        printerTitle = d->windowTitle();
        printerDialogSeen = d->metaObject()->className();
        for (QDialogButtonBox* buttons : d->findChildren<QDialogButtonBox*>())
            if (QPushButton* ok = buttons->button(QDialogButtonBox::Ok)) printerDialogSeen += " " + ok->text();
        static_cast<QDialog*>(d)->reject();
    });
    EXPECT_FALSE(dlg->showPrinter());
    EXPECT_EQ(printerDialogSeen, "QPrintDialog OK");   // it sets up; it does not print
    EXPECT_EQ(printerTitle, "Printer setup");
    desk.setGreekButtons(true);
    EXPECT_FALSE(dlg->showPrinter());
    EXPECT_EQ(printerTitle, QString::fromUtf8("Επιλογή εκτυπωτή"));
    desk.setGreekButtons(false);
}

// The clipboard menu of a text box copies and pastes through the model; a
// multi-line box is edited in place unless locked.
TEST_F(QtDesktopTest, TextBoxesAreEditedThroughTheModelByKeysAndTheClipboardMenu)
{
    BuiltForm f("frmText");
    f.load();
    auto* box = f.add<TextBox>("txtPath");
    box->move(120, 120, 3000, 300);
    box->setText("C:\\Data");
    QStringList changes;
    box->Change = [&] { changes << box->text(); };
    auto* lines = f.add<TextBox>("txtLines");
    lines->setMultiLine(true);
    lines->move(120, 600, 3000, 1500);
    lines->setText("one\ntwo");
    auto* notes = f.add<TextBox>("txtNotes");
    notes->setMultiLine(true);
    notes->setLocked(true);
    notes->move(120, 2200, 3000, 900);
    f.show();
    FormWindow* w = desk.window(f);
    auto* edit = static_cast<QLineEdit*>(w->widgetFor(box));
    auto menuAt = [edit](const QString& choice) {
        later(0, [choice] { choosePopupAction(choice); });
        QContextMenuEvent e(QContextMenuEvent::Mouse, QPoint(3, 3), edit->mapToGlobal(QPoint(3, 3)));
        QApplication::sendEvent(edit, &e);
    };
    edit->setSelection(3, 4);
    menuAt("Copy");
    EXPECT_EQ(QApplication::clipboard()->text(), "Data");
    QApplication::clipboard()->setText("Reports");
    // Selected while the menu is up (a window losing the focus to the menu
    // may drop its selection on this platform).
    later(0, [edit] { edit->setSelection(3, 4); });
    menuAt("Paste");
    EXPECT_EQ(box->text(), "C:\\Reports");
    EXPECT_EQ(edit->text(), "C:\\Reports");
    EXPECT_EQ(changes, QStringList{"C:\\Reports"});
    Input::focus(*box);
    QKeyEvent all(QEvent::KeyPress, Qt::Key_A, Qt::ControlModifier, QStringLiteral("\x01"));
    QApplication::sendEvent(edit, &all);
    EXPECT_EQ(box->selLength(), box->text().size());
    EXPECT_EQ(edit->selectedText(), "C:\\Reports");

    auto* multi = static_cast<QPlainTextEdit*>(w->widgetFor(lines));
    EXPECT_FALSE(multi->isReadOnly());
    multi->setFocus();
    multi->moveCursor(QTextCursor::End);
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    QApplication::sendEvent(multi, &enter);
    QKeyEvent t(QEvent::KeyPress, Qt::Key_T, Qt::NoModifier, QStringLiteral("t"));
    QApplication::sendEvent(multi, &t);
    multi->insertPlainText("hree");
    EXPECT_EQ(lines->text(), "one\ntwo\nthree");
    EXPECT_EQ(multi->toPlainText(), "one\ntwo\nthree");
    EXPECT_TRUE(static_cast<QPlainTextEdit*>(w->widgetFor(notes))->isReadOnly());
}

// Keys typed into a one-line box edit the model and the box shows the model:
// the caret keys move the caret of both, a character goes in at the caret
// once (or not at all when KeyPress takes it back), Delete takes the
// character after the caret, and a locked box keeps its text.
TEST_F(QtDesktopTest, KeysTypedIntoAOneLineBoxEditTheModelOnceAtTheCaret)
{
    BuiltForm f("frmText");
    f.load();
    auto* box = f.add<TextBox>("txtPath");
    box->move(120, 120, 3000, 300);
    box->setText("abc");
    box->KeyPress = [](int& ascii) {
        if (ascii == '!') ascii = 0;
    };
    f.show();
    auto* edit = static_cast<QLineEdit*>(desk.window(f)->widgetFor(box));
    Input::focus(*box);
    const auto press = [edit](Qt::Key k, const QString& text = {}) {
        QKeyEvent e(QEvent::KeyPress, k, Qt::NoModifier, text);
        QApplication::sendEvent(edit, &e);
        QKeyEvent up(QEvent::KeyRelease, k, Qt::NoModifier, text);
        QApplication::sendEvent(edit, &up);
    };
    const auto expectShown = [box, edit](const QString& text, int caret) {
        EXPECT_EQ(box->text(), text);
        EXPECT_EQ(edit->text(), text);
        EXPECT_EQ(box->selStart(), caret);
        EXPECT_EQ(edit->cursorPosition(), caret);
    };
    press(Qt::Key_End);
    expectShown("abc", 3);
    press(Qt::Key_Left);
    press(Qt::Key_X, "x");
    expectShown("abxc", 3);
    press(Qt::Key_Exclam, "!");
    expectShown("abxc", 3);
    press(Qt::Key_Delete);
    expectShown("abx", 3);
    press(Qt::Key_Home);
    expectShown("abx", 0);
    press(Qt::Key_Delete);
    press(Qt::Key_Right);
    press(Qt::Key_Y, "y");
    expectShown("byx", 2);
    box->setMaxLength(3);   // the widget holds a native edit to the same limit
    EXPECT_EQ(edit->maxLength(), 3);
    press(Qt::Key_Z, "z");
    expectShown("byx", 2);
    box->setMaxLength(0);
    EXPECT_EQ(edit->maxLength(), 32767);
    box->setLocked(true);
    press(Qt::Key_Z, "z");
    press(Qt::Key_Delete);
    expectShown("byx", 2);
}

// --- Pointers, alignment, lists -----------------------------------------------------------

// The pointer the program sets shows over the window and over a control: the
// hourglass, its own picture at the picture's hot spot, the arrow, or the
// desktop's own pointer again (also for a custom pointer without a picture).
TEST_F(QtDesktopTest, APointerShowsTheHourglassTheOwnPictureAtItsHotSpotOrTheDesktopsOwn)
{
    CommandButton* button = nullptr;
    BuiltForm f("frmPointers", [&](BuiltForm& form) {
        button = form.add<CommandButton>("cmdLaunchWebBrowser");
        button->move(120, 120, 1500, 400);
    });
    f.show();
    FormWindow* w = desk.window(f);
    QWidget* b = w->widgetFor(button);
    const Picture icon{QStringLiteral(":/pictures/PointURL.png"), 3, 5};
    const QSize iconSize = QPixmap(icon.resource).size();
    ASSERT_FALSE(iconSize.isEmpty());
    const auto shows = [](QWidget* on, int shape) {
        // (A window's own pointer, once unset, is the arrow.)
        if (shape < 0) return on->isWindow() ? on->cursor().shape() == Qt::ArrowCursor : !on->testAttribute(Qt::WA_SetCursor);
        return on->testAttribute(Qt::WA_SetCursor) && on->cursor().shape() == shape;
    };
    const auto showsIcon = [&](QWidget* on) {
        return shows(on, Qt::BitmapCursor) && on->cursor().hotSpot() == QPoint(3, 5) && on->cursor().pixmap().size() == iconSize;
    };
    f.setMousePointer(vbHourglass);
    button->setMousePointer(vbHourglass);
    QApplication::processEvents();
    EXPECT_TRUE(shows(w, Qt::WaitCursor));
    EXPECT_TRUE(shows(b, Qt::WaitCursor));
    f.setMouseIcon(icon);
    f.setMousePointer(vbCustom);
    button->setMouseIcon(icon);
    button->setMousePointer(vbCustom);
    QApplication::processEvents();
    EXPECT_TRUE(showsIcon(w));
    EXPECT_TRUE(showsIcon(b));
    f.setMouseIcon({});
    button->setMousePointer(vbArrow);
    QApplication::processEvents();
    EXPECT_TRUE(shows(w, -1));
    EXPECT_TRUE(shows(b, Qt::ArrowCursor));
    f.setMouseIcon(icon);
    button->setMousePointer(vbDefault);
    QApplication::processEvents();
    EXPECT_TRUE(showsIcon(w)) << "the picture given while the pointer is custom";
    EXPECT_TRUE(shows(b, -1));
    f.setMousePointer(vbDefault);
    QApplication::processEvents();
    EXPECT_TRUE(shows(w, -1));
}

// A one-line text box puts its text left, right or in the middle as the
// program says, and follows a change.
TEST_F(QtDesktopTest, ATextBoxAlignsItsTextLeftRightOrCentred)
{
    TextBox* boxes[3] = {};
    BuiltForm f("frmAligned", [&](BuiltForm& form) {
        for (int a = 0; a < 3; ++a) {
            boxes[a] = form.add<TextBox>("txtValue", a);
            boxes[a]->move(120, 120 + 450 * a, 2000, 300);
            boxes[a]->setText("42");
            boxes[a]->setAlignment(a);
        }
    });
    f.show();
    FormWindow* w = desk.window(f);
    const auto shown = [&](int a) { return static_cast<QLineEdit*>(w->widgetFor(boxes[a]))->alignment() & Qt::AlignHorizontal_Mask; };
    EXPECT_EQ(shown(0), Qt::AlignLeft);
    EXPECT_EQ(shown(1), Qt::AlignRight);
    EXPECT_EQ(shown(2), Qt::AlignHCenter);
    boxes[0]->setAlignment(2);
    boxes[1]->setAlignment(0);
    boxes[2]->setAlignment(1);
    QApplication::processEvents();
    EXPECT_EQ(shown(0), Qt::AlignHCenter);
    EXPECT_EQ(shown(1), Qt::AlignLeft);
    EXPECT_EQ(shown(2), Qt::AlignRight);
}

// A combo box shows the model's items, also when they are replaced by as
// many others; the arrow keys move its choice into the model (a Click each)
// and F4 opens its list.
TEST_F(QtDesktopTest, AComboShowsItsItemsAndItsArrowKeysAndF4WorkAsInAnyComboBox)
{
    ComboBox* cbo = nullptr;
    BuiltForm f("frmCombo", [&](BuiltForm& form) {
        cbo = form.add<ComboBox>("cboWebLocation");
        cbo->move(120, 120, 3000, 315);
        for (const char* s : {"C:", "D:", "E:"}) cbo->addItem(s);
        cbo->setListIndex(0);
    });
    f.load();
    QStringList clicks;
    cbo->Click = [&] { clicks << cbo->text(); };
    f.show();
    QApplication::processEvents();
    auto* q = static_cast<QComboBox*>(desk.window(f)->widgetFor(cbo));
    const auto items = [q] {
        QStringList out;
        for (int i = 0; i < q->count(); ++i) out << q->itemText(i);
        return out;
    };
    EXPECT_EQ(items(), (QStringList{"C:", "D:", "E:"}));
    cbo->clear();
    for (const char* s : {"F:", "G:", "H:"}) cbo->addItem(s);
    cbo->setListIndex(1);
    QApplication::processEvents();
    EXPECT_EQ(items(), (QStringList{"F:", "G:", "H:"}));
    EXPECT_EQ(q->currentText(), "G:");
    clicks.clear();
    Input::focus(*cbo);
    sendKey(q, Qt::Key_Down);
    EXPECT_EQ(cbo->listIndex(), 2);
    sendKey(q, Qt::Key_Up);
    sendKey(q, Qt::Key_Up);
    EXPECT_EQ(cbo->listIndex(), 0);
    EXPECT_EQ(clicks, (QStringList{"H:", "G:", "F:"}));
    sendKey(q, Qt::Key_F4);
    EXPECT_TRUE(q->view()->isVisible()) << "F4 opens the list";
    q->hidePopup();
}

// The selected items of a list show in the desktop's highlight colours, text
// and ground; the others in the list's own.
TEST_F(QtDesktopTest, SelectedListItemsShowInTheHighlightColoursAndTheOthersInTheListsOwn)
{
    ListBox* lst = nullptr;
    BuiltForm f("frmList", [&](BuiltForm& form) {
        lst = form.add<ListBox>("lstExcluded");
        lst->move(120, 120, 3000, 1500);
        lst->setMultiSelect(ListBox::Extended);
        for (const char* s : {"one", "two", "three"}) lst->addItem(s);
    });
    f.show();
    lst->setSelected(0, true);
    lst->setSelected(2, true);
    QApplication::processEvents();
    QAbstractItemModel* model = static_cast<QListView*>(desk.window(f)->widgetFor(lst))->model();
    const QPalette pal = QApplication::palette();
    const auto colour = [model](int row, int role) { return model->data(model->index(row, 0), role).value<QColor>(); };
    for (int row : {0, 2}) {
        EXPECT_EQ(colour(row, Qt::ForegroundRole), pal.color(QPalette::HighlightedText)) << row;
        EXPECT_EQ(colour(row, Qt::BackgroundRole), pal.color(QPalette::Highlight)) << row;
    }
    EXPECT_FALSE(model->data(model->index(1, 0), Qt::ForegroundRole).isValid());
    EXPECT_FALSE(model->data(model->index(1, 0), Qt::BackgroundRole).isValid());
    lst->setSelected(0, false);
    QApplication::processEvents();
    EXPECT_FALSE(model->data(model->index(0, 0), Qt::ForegroundRole).isValid());
    EXPECT_FALSE(model->data(model->index(0, 0), Qt::BackgroundRole).isValid());
}

// --- Ending -------------------------------------------------------------------------------

TEST_F(QtDesktopTest, AWindowEndsWithItsFormOrItsDesktopWhicheverGoesFirst)
{
    auto form = std::make_unique<BuiltForm>("frmFirstGone", [](BuiltForm& f) { f.add<Label>("lblName"); });
    form->show();
    form.reset();   // destroyed while loaded and shown, the desktop still up
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    for (QWidget* w : QApplication::topLevelWidgets()) EXPECT_NE(w->objectName(), "frmFirstGone");

    BuiltForm last("frmLastGone", [](BuiltForm& f) { f.add<Label>("lblName"); });
    {
        QtDesktop other;
        other.install();
        last.show();
    }   // the desktop goes first; the form must not reach its window afterwards
    desk.install();
    EXPECT_EQ(last.observer(), nullptr);
}
