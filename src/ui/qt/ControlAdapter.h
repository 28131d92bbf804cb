#pragma once
// One adapter per control on a form window: it makes the control's widget,
// sets the widget from the model, and turns what the user does on the widget
// into ui::Input calls. The form window keeps what every kind shares
// (geometry, font, colours, visibility, focus, the resizer) and asks the
// adapter for what only the kind knows. Each family of kinds lives in its
// own file (simple controls, text entry, lists, trees, grids).

#include "ui/Control.h"

#include <QFontMetrics>
#include <QPalette>
#include <QPixmap>

#include <memory>
#include <optional>

class QAbstractItemView;
class QKeyEvent;
class QMouseEvent;
class QObject;
class QWidget;

namespace ui::qt {

class FormWindow;

// Marks the time the window writes the model or itself, so that the
// signals this raises are not taken for user actions.
struct Applying {
    int& n;
    explicit Applying(int& c) : n(c) { ++n; }
    ~Applying() { --n; }
    Applying(const Applying&) = delete;
    Applying& operator=(const Applying&) = delete;
};

// Captions are shown as they are: "&" is never a mnemonic (paths and printer
// names reach captions as data).
QString literal(const QString& caption);
QPixmap pictureOf(const Picture& p);
// Rows of lists and trees tall enough for the accents over capitals ("Ä"),
// which reach above the ascent of many fonts and would be cut off.
void fitRowsToAccents(QAbstractItemView* view);
// How far the accents of capitals (Ä, Ά) rise above the font's ascent, in
// pixels (0: they stay within it).
int accentRoom(const QFontMetrics& fm);

class ControlAdapter {
public:
    ControlAdapter(FormWindow& window, Control& control) : window_(window), control_(control) {}
    virtual ~ControlAdapter() = default;
    ControlAdapter(const ControlAdapter&) = delete;
    ControlAdapter& operator=(const ControlAdapter&) = delete;

    Control& control() const { return control_; }
    QWidget* widget() const { return widget_; }
    // Makes the widget under `parent` and wires its signals (once).
    QWidget* create(QWidget* parent)
    {
        widget_ = make(parent);
        return widget_;
    }

    // The palette roles the back and fore colours paint.
    virtual QPalette::ColorRole backRole() const { return QPalette::Window; }
    virtual QPalette::ColorRole foreRole() const { return QPalette::WindowText; }
    // Sets the widget from the kind's own values (its signals are not
    // taken for user actions meanwhile).
    void sync();
    // A change of a property only this kind has.
    virtual void changed(const Change&) { sync(); }
    // A change of a property every control has (colours, font, visibility...).
    virtual void commonChanged(Prop) {}
    // The control moved or was resized.
    virtual void geometryChanged() {}
    // A key pressed while the widget has the focus: a value when the kind
    // took it (true: Qt must not see it), nothing to route it to the form.
    virtual std::optional<bool> key(QKeyEvent*, int /*code*/, int /*shift*/) { return std::nullopt; }
    // A mouse press the widget must not see (its selection is the model's).
    virtual bool swallowsPress(QObject* /*watched*/, QMouseEvent*) const { return false; }
    // A mouse release the kind handles itself: a value when taken.
    virtual std::optional<bool> release(QObject* /*watched*/, QMouseEvent*, int /*button*/, int /*shift*/)
    {
        return std::nullopt;
    }
    virtual void mouseMove(QMouseEvent*) {}
    // The widget keeps Qt's own context menu (and its right-button release).
    virtual bool ownContextMenu() const { return false; }
    // A left click on a widget that has no click of its own raises Click.
    virtual bool clickOnRelease() const { return false; }
    // The form is gone: nothing may reach the model any more.
    virtual void detach() {}

protected:
    virtual QWidget* make(QWidget* parent) = 0;
    virtual void syncValue() {}
    bool alive() const;
    int& applying() const;
    // The arrows, the page keys, Home and End move through a grid's or a
    // tree's own items: the widget takes them, the window marking the move
    // as made by keys. Other keys go to the form.
    std::optional<bool> navigationKey(const QKeyEvent* e);

    FormWindow& window_;
    Control& control_;
    QWidget* widget_ = nullptr;
};

// The adapter of a control; nullptr for kinds without a widget (timers,
// menus, dialogs, resizers, transfers).
std::unique_ptr<ControlAdapter> makeAdapter(FormWindow& window, Control& control);

// One maker per family, each in its own file.
std::unique_ptr<ControlAdapter> makeSimpleAdapter(FormWindow& window, Control& control);
std::unique_ptr<ControlAdapter> makeTextAdapter(FormWindow& window, Control& control);
std::unique_ptr<ControlAdapter> makeListAdapter(FormWindow& window, Control& control);
std::unique_ptr<ControlAdapter> makeTreeAdapter(FormWindow& window, Control& control);
std::unique_ptr<ControlAdapter> makeGridAdapter(FormWindow& window, Control& control);

} // namespace ui::qt
