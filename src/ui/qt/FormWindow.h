#pragma once
// The window of one form: a top-level widget with an optional menu bar and
// a client area where every visible kind of control has one child widget at
// its twips geometry. It mirrors the form through the change observer and
// turns clicks, keys, selections, scrolls and column drags into ui::Input
// calls; after each call the touched widget is set back from the model, so a
// refused or altered action shows what the model holds.
//
// The form resizer: a form that carries a FormResizer keeps the design
// rectangle of every control (in twips, at the design size of the form).
// When the user resizes the window, each control's geometry in the model
// becomes its design rectangle scaled by the new client size, and with the
// resizer's font switch on the fonts are scaled too. Geometry set by code
// later becomes the new design rectangle (unscaled by the current factor).

#include "ui/FlexGrid.h"
#include "ui/Form.h"
#include "ui/ListBox.h"
#include "ui/TreeView.h"

#include <QHash>
#include <QPointer>
#include <QRect>
#include <QSet>
#include <QWidget>

class QAction;
class QKeyEvent;
class QMenu;
class QMenuBar;
class QTableView;
class QTreeWidget;
class QTreeWidgetItem;
class QListView;

namespace ui::qt {

class GridItemModel;
class ListItemModel;

class FormWindow : public QWidget, public ChangeObserver {
    Q_OBJECT
public:
    explicit FormWindow(Form& form);
    ~FormWindow() override;

    Form& form() const { return form_; }
    // The widget of a control (nullptr for controls without one).
    QWidget* widgetFor(const Control* c) const { return widgets_.value(c); }
    QWidget* client() const { return client_; }
    QMenuBar* menuBar() const { return menuBar_; }
    // The form is gone: the window only waits for its deletion.
    void detach();

    // The resizer's current factors (1 at the design size).
    double scaleX() const { return sx_; }
    double scaleY() const { return sy_; }

    // Builds a pop-up of `menu` (its items as the model holds them) for the
    // desktop; each action carries its Menu* as data.
    QMenu* buildPopup(Menu& menu, QWidget* parent);

    // Brings Qt's focus to the model's active control.
    void applyFocus();
    // Applies the form's mouse pointer.
    void applyPointer();
    // Sizes the window from the model (first show).
    void placeFromModel();

    void changed(const Change& c) override;

protected:
    void closeEvent(QCloseEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    struct Design {
        QRect rect;   // twips, at the design size
        double fontSize = 0;
    };
    QWidget* ensureWidget(Control* c);
    QWidget* createWidget(Control* c, QWidget* parent);
    void syncCommon(Control* c, QWidget* w);
    void syncValue(Control* c);
    void syncGeometry(Control* c, QWidget* w);
    void syncFont(Control* c, QWidget* w);
    void rebuildMenus();
    void fillMenu(QMenu* qmenu, Menu& menu);
    void wireList(ListBox* list, QListView* view);
    void wireGrid(FlexGrid* grid, QTableView* view);
    void wireTree(TreeView* tree, QTreeWidget* view);
    void treeChanged(TreeView* tree, const Change& c);
    QTreeWidgetItem* treeItem(TreeView* tree, const TreeNode* n);
    void gridChanged(FlexGrid* grid, const Change& c);
    void applyGridSpans(FlexGrid* grid, const QSet<int>& rows, bool all);
    void applyGridLayout(FlexGrid* grid);
    void applyResize();
    void recordDesign(Control* c);
    bool handleKey(Control* c, QKeyEvent* e);
    Control* controlOf(QObject* o) const;
    int clientHeightTwips() const;

    Form& form_;
    bool alive_ = true;
    QMenuBar* menuBar_ = nullptr;
    QWidget* client_ = nullptr;
    QHash<const Control*, QWidget*> widgets_;
    QHash<const QObject*, Control*> owners_;   // widget (and viewports) -> control
    QHash<const Control*, ListItemModel*> listModels_;
    QHash<const Control*, GridItemModel*> gridModels_;
    QHash<const TreeNode*, QTreeWidgetItem*> treeItems_;
    QHash<const Menu*, QAction*> menuActions_;
    bool menusDirty_ = false;
    bool keyNavigation_ = false;
    QHash<const Control*, Design> design_;
    QSize designClient_;   // twips
    bool hasResizer_ = false;
    bool fontsScale_ = false;
    double sx_ = 1, sy_ = 1;
    int applying_ = 0;     // > 0 while the window writes the model or itself
    bool placed_ = false;
};

} // namespace ui::qt
