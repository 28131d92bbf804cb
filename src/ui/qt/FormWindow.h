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
#include <QWidget>

#include <memory>
#include <unordered_map>

class QAction;
class QKeyEvent;
class QMenu;
class QMenuBar;

namespace ui::qt {

class ControlAdapter;

// Some window managers (openbox) draw minimise and maximise buttons on every
// resizable window, whatever it asks for. Called on a window's state change:
// a state that its own flags offer no button for, and that `allowed` does
// not hold, is undone at once; a window minimised that way comes back (and,
// where the window manager hid its owners with it, they come back too).
void undoStateNotOffered(QWidget* window, Qt::WindowStates allowed = {});

class FormWindow : public QWidget, public ChangeObserver {
    Q_OBJECT
public:
    // `owner`: the window this one is opened from (see setOwner).
    explicit FormWindow(Form& form, FormWindow* owner = nullptr);
    ~FormWindow() override;

    // Ties a hidden window to the window it is opened from: it opens over
    // its owner (unless the form sets its own place), the window manager
    // keeps it above it (a transient dialog window), and a modal owner does
    // not block it. An owner that is hidden passes the tie on to its own
    // visible owner. An owner whose chain leads back here is refused.
    void setOwner(FormWindow* owner);
    FormWindow* owner() const { return owner_; }
    // Whether `other` is this window or one it is opened from.
    bool ownedBy(const FormWindow* other) const;
    // What the window asks the window manager for: a dialog-type window
    // when it has an owner, the title-bar buttons of the form's design,
    // and no minimise button while it is modal.
    Qt::WindowFlags wantedFlags() const;

    Form& form() const { return form_; }
    // The widget of a control (nullptr for controls without one).
    QWidget* widgetFor(const Control* c) const;
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
    // Sizes the window from the model (and moves a shown one the program
    // places itself).
    void placeFromModel();
    // Every opening of a window: where the program put the form, else over
    // the middle of its owner (where the owner stands now, also while
    // hidden), else of the screen; never off the screen.
    void placeForShow();
    // Whether the window was shown before in this life of its form: hidden
    // and shown again (the results window around an explanation), it comes
    // back where it stood, which may be where the user moved it.
    bool shownBefore() const { return shownBefore_; }
    void setShownBefore() { shownBefore_ = true; }

    void changed(const Change& c) override;
    // Whichever of the desktop and the form goes first, the other never
    // reaches it afterwards: a window whose form is destroyed detaches and
    // deletes itself.
    void formDestroyed() override;

    // For the control adapters.
    bool isAttached() const { return alive_; }
    int& applyingCounter() { return applying_; }
    bool keyNavigation() const { return keyNavigation_; }
    void setKeyNavigation(bool on) { keyNavigation_ = on; }
    // Routes the input events of a part of a control's widget (a viewport,
    // a header) to the control.
    void watch(QObject* part, Control* c);

protected:
    void closeEvent(QCloseEvent* e) override;
    void moveEvent(QMoveEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    struct Design {
        QRect rect;   // twips, at the design size
        double fontSize = 0;
    };
    ControlAdapter* adapterOf(const Control* c) const;
    QWidget* ensureWidget(Control* c);
    void syncCommon(Control* c, QWidget* w);
    void placeWidget(Control* c, QWidget* w);
    void syncFont(Control* c, QWidget* w);
    void syncMenuItem(Menu* m, QAction* a);
    void rebuildMenus();
    void fillMenu(QMenu* qmenu, Menu& menu);
    void applyResize();
    void applyMinimumSize();
    void applyFlags();
    // Tells the form where the window stands.
    void reportPlace();
    void recordDesign(Control* c);
    bool handleKey(Control* c, QKeyEvent* e);
    bool handleMouse(Control* c, QObject* watched, QEvent* e);
    Control* controlOf(QObject* o) const;
    int clientHeightTwips() const;

    Form& form_;
    QPointer<FormWindow> owner_;
    bool alive_ = true;
    QMenuBar* menuBar_ = nullptr;
    QWidget* client_ = nullptr;
    std::unordered_map<const Control*, std::unique_ptr<ControlAdapter>> adapters_;
    QHash<const QObject*, Control*> owners_;   // widget (and viewports) -> control
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
    bool shownBefore_ = false;
};

} // namespace ui::qt
