#include "ui/qt/FormWindow.h"

#include "ui/Input.h"
#include "ui/qt/ControlAdapter.h"
#include "ui/qt/QtColors.h"
#include "ui/qt/QtDesktop.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMoveEvent>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>

#include <algorithm>
#include <cmath>

namespace ui::qt {

namespace {

// The frame and title bar that a form's Width and Height include.
constexpr int kFrameTwipsX = 120;
constexpr int kFrameTwipsY = 450;

int shiftOf(Qt::KeyboardModifiers m)
{
    int s = 0;
    if (m & Qt::ShiftModifier) s |= vbShiftMask;
    if (m & Qt::ControlModifier) s |= vbCtrlMask;
    if (m & Qt::AltModifier) s |= vbAltMask;
    return s;
}

// The key code of a Qt key, 0 when the program has no code for it.
int keyCodeOf(int key)
{
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return key;
    if (key >= Qt::Key_0 && key <= Qt::Key_9) return key;
    if (key >= Qt::Key_F1 && key <= Qt::Key_F12) return vbKeyF1 + (key - Qt::Key_F1);
    switch (key) {
    case Qt::Key_Backspace: return vbKeyBack;
    case Qt::Key_Tab: return vbKeyTab;
    case Qt::Key_Return:
    case Qt::Key_Enter: return vbKeyReturn;
    case Qt::Key_Escape: return vbKeyEscape;
    case Qt::Key_Space: return vbKeySpace;
    case Qt::Key_PageUp: return vbKeyPageUp;
    case Qt::Key_PageDown: return vbKeyPageDown;
    case Qt::Key_End: return vbKeyEnd;
    case Qt::Key_Home: return vbKeyHome;
    case Qt::Key_Left: return vbKeyLeft;
    case Qt::Key_Up: return vbKeyUp;
    case Qt::Key_Right: return vbKeyRight;
    case Qt::Key_Down: return vbKeyDown;
    case Qt::Key_Delete: return vbKeyDelete;
    case Qt::Key_Insert: return 45;
    default: return 0;
    }
}

QFont qfont(const Font& f, double scale)
{
    QFont q(f.name);
    q.setPointSizeF(std::max(1.0, f.size * scale));
    q.setBold(f.bold);
    return q;
}

} // namespace

FormWindow::FormWindow(Form& form, FormWindow* owner) : QWidget(nullptr), form_(form)
{
    setOwner(owner);
    setAttribute(Qt::WA_DeleteOnClose, false);
    setObjectName(form.name());
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    bool menus = false;
    for (Control* c : form.controls()) {
        if (c->kind() == ControlKind::Menu) menus = true;
        if (c->kind() == ControlKind::FormResizer) {
            hasResizer_ = true;
            fontsScale_ = fontsScale_ || static_cast<FormResizer*>(c)->resizeFonts();
        }
    }
    if (menus) {
        menuBar_ = new QMenuBar(this);
        layout->setMenuBar(menuBar_);
    }
    client_ = new QWidget(this);
    client_->setAutoFillBackground(true);
    layout->addWidget(client_);
    client_->installEventFilter(this);
    installEventFilter(this);
    owners_.insert(this, nullptr);

    for (Control* c : form.controls()) {
        ensureWidget(c);
        recordDesign(c);
    }
    if (menuBar_) rebuildMenus();
    changed(Change{&form_, Prop::Caption});
    changed(Change{&form_, Prop::BackColor});
    changed(Change{&form_, Prop::Enabled});
    changed(Change{&form_, Prop::TabOrder});
    placeFromModel();
    applyMinimumSize();
    form_.setObserver(this);
}

FormWindow::~FormWindow()
{
    detach();
    // The widgets go before their adapters: whatever a dying widget signals
    // finds the window detached.
    delete client_;
    client_ = nullptr;
}

void FormWindow::detach()
{
    if (!alive_) return;
    alive_ = false;
    if (form_.observer() == this) form_.setObserver(nullptr);
    for (auto& entry : adapters_) entry.second->detach();
    owners_.clear();
    menuActions_.clear();
    design_.clear();
}

bool FormWindow::ownedBy(const FormWindow* other) const
{
    for (const FormWindow* w = this; w; w = w->owner_)
        if (w == other) return true;
    return false;
}

void FormWindow::setOwner(FormWindow* owner)
{
    if (owner && owner->ownedBy(this)) owner = nullptr;
    owner_ = owner;
    applyFlags();
    QWindow* parent = nullptr;
    for (FormWindow* o = owner; o && !parent; o = o->owner_)
        if (o->isVisible()) parent = o->windowHandle();
    if (!parent && !windowHandle()) return;
    winId();   // the platform window exists from here on, to carry the tie
    windowHandle()->setTransientParent(parent);
}

Qt::WindowFlags FormWindow::wantedFlags() const
{
    // Only a dialog-type window is transient for another on X11. The
    // buttons are spelt out, so that the flags tell which ones the window has.
    Qt::WindowFlags flags = (owner_ ? Qt::Dialog : Qt::Window) | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                            | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (form_.minButton() && windowModality() == Qt::NonModal) flags |= Qt::WindowMinimizeButtonHint;
    if (form_.maxButton()) flags |= Qt::WindowMaximizeButtonHint;
    return flags;
}

void FormWindow::applyFlags()
{
    const Qt::WindowFlags flags = wantedFlags();
    if (windowFlags() == flags) return;
    // New flags take a window off the screen; one that was up comes back.
    const bool up = isVisible();
    setWindowFlags(flags);
    if (up) show();
}

void undoStateNotOffered(QWidget* window, Qt::WindowStates allowed)
{
    const Qt::WindowFlags flags = window->windowFlags();
    Qt::WindowStates undo;
    if (!(flags & Qt::WindowMinimizeButtonHint)) undo |= Qt::WindowMinimized;
    if (!(flags & Qt::WindowMaximizeButtonHint)) undo |= Qt::WindowMaximized;
    undo &= ~allowed;
    if (!(window->windowState() & undo)) return;
    // Not inside the change itself: the window manager is still at work.
    // (A window destroyed meanwhile takes the timer with it.)
    QTimer::singleShot(0, window, [window, undo] {
        if (!window->isVisible()) return;   // taken off the screen meanwhile
        window->setWindowState(window->windowState() & ~undo);
        // The window the user was at: the window manager brings it to the
        // top as it activates it.
        window->activateWindow();
    });
}

void FormWindow::formDestroyed()
{
    detach();
    hide();
    deleteLater();
}

ControlAdapter* FormWindow::adapterOf(const Control* c) const
{
    const auto it = adapters_.find(c);
    return it == adapters_.end() ? nullptr : it->second.get();
}

QWidget* FormWindow::widgetFor(const Control* c) const
{
    ControlAdapter* a = alive_ ? adapterOf(c) : nullptr;
    return a ? a->widget() : nullptr;
}

void FormWindow::watch(QObject* part, Control* c)
{
    owners_.insert(part, c);
    part->installEventFilter(this);
}

int FormWindow::clientHeightTwips() const
{
    int h = form_.height() - kFrameTwipsY;
    if (menuBar_) h -= QtDesktop::twips(menuBar_->sizeHint().height());
    return std::max(h, 15);
}

void FormWindow::placeFromModel()
{
    Applying a(applying_);
    const int cw = std::max(form_.width() - kFrameTwipsX, 15);
    const int ch = clientHeightTwips();
    if (!placed_) designClient_ = QSize(cw, ch);
    const int menuPx = menuBar_ ? menuBar_->sizeHint().height() : 0;
    resize(QtDesktop::px(cw), QtDesktop::px(ch) + menuPx);
    placed_ = true;
    if (isVisible() && form_.placedByProgram()) placeForShow();
}

void FormWindow::placeForShow()
{
    Applying a(applying_);
    QScreen* s = owner_ && owner_->screen() ? owner_->screen() : QGuiApplication::primaryScreen();
    const QSize outer = frameGeometry().size();
    QRect at(QPoint(QtDesktop::px(form_.left()), QtDesktop::px(form_.top())), outer);
    if (!form_.placedByProgram()) {
        const QPoint centre = owner_ ? owner_->frameGeometry().center() : (s ? s->availableGeometry().center() : QPoint());
        at.moveTopLeft(centre - QPoint(outer.width() / 2, outer.height() / 2));
    }
    if (s) {
        const QRect r = s->availableGeometry();
        at.moveLeft(std::max(r.left(), std::min(at.left(), r.right() + 1 - at.width())));
        at.moveTop(std::max(r.top(), std::min(at.top(), r.bottom() + 1 - at.height())));
    }
    move(at.topLeft());
    reportPlace();
}

void FormWindow::reportPlace()
{
    if (!alive_) return;
    form_.windowPlaced(QtDesktop::twips(x()), QtDesktop::twips(y()), form_.width(), form_.height());
}

// A form the resizer scales cannot shrink below its design size: smaller,
// its controls would overlap and their texts be cut (a screen smaller than
// the design still holds the whole window).
void FormWindow::applyMinimumSize()
{
    if (!hasResizer_ || designClient_.isEmpty()) return;
    QSize least(QtDesktop::px(designClient_.width()), QtDesktop::px(designClient_.height()) + (menuBar_ ? menuBar_->sizeHint().height() : 0));
    if (QScreen* s = QGuiApplication::primaryScreen()) least = least.boundedTo(s->availableGeometry().size());
    setMinimumSize(least);
}

// --- Widgets -----------------------------------------------------------------

QWidget* FormWindow::ensureWidget(Control* c)
{
    if (ControlAdapter* known = adapterOf(c)) return known->widget();
    std::unique_ptr<ControlAdapter> made = makeAdapter(*this, *c);
    if (!made) return nullptr;
    QWidget* parent = client_;
    if (Control* frame = c->container())
        if (QWidget* fw = ensureWidget(frame)) parent = fw;
    ControlAdapter* a = made.get();
    adapters_.emplace(c, std::move(made));
    QWidget* w = a->create(parent);
    w->setObjectName(c->index() >= 0 ? QStringLiteral("%1(%2)").arg(c->name()).arg(c->index()) : c->name());
    watch(w, c);
    if (auto* area = qobject_cast<QAbstractScrollArea*>(w)) watch(area->viewport(), c);
    if (!c->canHoldFocus() || !c->tabStop()) w->setFocusPolicy(c->canHoldFocus() ? Qt::ClickFocus : Qt::NoFocus);
    syncCommon(c, w);
    a->sync();
    return w;
}

void FormWindow::placeWidget(Control* c, QWidget* w)
{
    w->setGeometry(QtDesktop::px(c->left()), QtDesktop::px(c->top()), std::max(0, QtDesktop::px(c->width())),
                   std::max(0, QtDesktop::px(c->height())));
}

void FormWindow::syncFont(Control* c, QWidget* w)
{
    const double scale = fontsScale_ ? std::min(sx_, sy_) : 1.0;
    w->setFont(qfont(c->font(), scale));
}

void FormWindow::syncCommon(Control* c, QWidget* w)
{
    Applying a(applying_);
    placeWidget(c, w);
    syncFont(c, w);
    w->setVisible(c->visible());
    w->setEnabled(c->enabled());
    w->setToolTip(c->toolTipText());
    QPalette pal = w->palette();
    const QPalette app = QApplication::palette();
    const ControlAdapter* adapter = adapterOf(c);
    const QPalette::ColorRole backRole = adapter ? adapter->backRole() : QPalette::Window;
    const QPalette::ColorRole foreRole = adapter ? adapter->foreRole() : QPalette::WindowText;
    if (const QColor back = toQColor(c->backColor(), app); back.isValid()) pal.setColor(backRole, back);
    if (const QColor fore = toQColor(c->foreColor(), app); fore.isValid()) setForeColor(pal, foreRole, fore, app);
    w->setPalette(pal);
    // Option and check boxes paint their own back colour (the structure selectors).
    if (c->kind() == ControlKind::OptionButton || c->kind() == ControlKind::CheckBox) w->setAutoFillBackground(c->backColor() != kSysButtonFace);
    if (c->mousePointer() == vbHourglass) w->setCursor(Qt::WaitCursor);
    else if (c->mousePointer() == vbCustom && !c->mouseIcon().isNull())
        w->setCursor(QCursor(pictureOf(c->mouseIcon()), c->mouseIcon().hotX, c->mouseIcon().hotY));
    else if (c->mousePointer() == vbArrow) w->setCursor(Qt::ArrowCursor);
    else w->unsetCursor();
}

void FormWindow::changed(const Change& ch)
{
    if (!alive_) return;
    if (ch.object == &form_) {
        switch (ch.prop) {
        case Prop::Caption: setWindowTitle(form_.caption()); break;
        case Prop::BackColor: {
            QPalette pal = client_->palette();
            pal.setColor(QPalette::Window, toQColor(form_.backColor(), QApplication::palette()));
            client_->setPalette(pal);
            break;
        }
        case Prop::Enabled: client_->setEnabled(form_.enabled()); break;
        case Prop::Focus: applyFocus(); break;
        case Prop::MousePointer:
        case Prop::MouseIcon: applyPointer(); break;
        case Prop::Geometry:
            if (!applying_) placeFromModel();
            break;
        case Prop::DefaultButton:
            for (Control* c : form_.controls())
                if (c->kind() == ControlKind::CommandButton)
                    if (ControlAdapter* a = adapterOf(c)) a->sync();
            break;
        case Prop::WindowButtons: applyFlags(); break;
        case Prop::WindowState:
            if (form_.windowState() == 1) setWindowState(Qt::WindowMinimized);
            else if (form_.windowState() == 2) setWindowState(Qt::WindowMaximized);
            else setWindowState(Qt::WindowNoState);
            break;
        case Prop::TabOrder: {
            std::vector<Control*> order;
            for (Control* c : form_.controls())
                if (c->canHoldFocus() && c->tabStop() && adapterOf(c)) order.push_back(c);
            std::stable_sort(order.begin(), order.end(), [](Control* a, Control* b) { return a->tabIndex() < b->tabIndex(); });
            for (std::size_t i = 1; i < order.size(); ++i) QWidget::setTabOrder(widgetFor(order[i - 1]), widgetFor(order[i]));
            break;
        }
        default:
            break;
        }
        return;
    }
    auto* c = static_cast<Control*>(ch.object);
    if (c->kind() == ControlKind::Menu) {
        auto* m = static_cast<Menu*>(c);
        QAction* a = menuActions_.value(m);
        if (ch.prop == Prop::Geometry) return;   // menus have no place on the form
        if (a && ch.prop != Prop::Container && a->isSeparator() == m->isSeparator()) {
            syncMenuItem(m, a);
        } else if (menuBar_ && !menusDirty_) {
            menusDirty_ = true;
            QTimer::singleShot(0, this, [this] { rebuildMenus(); });
        }
        return;
    }
    if (c->kind() == ControlKind::FormResizer) {
        fontsScale_ = false;
        for (Control* r : form_.controls())
            if (r->kind() == ControlKind::FormResizer) fontsScale_ = fontsScale_ || static_cast<FormResizer*>(r)->resizeFonts();
        for (auto& entry : adapters_) syncFont(&entry.second->control(), entry.second->widget());
        return;
    }
    ControlAdapter* a = adapterOf(c);
    if (!a) {
        if (!ensureWidget(c)) return;   // a control added after the window was made
        recordDesign(c);
        changed(Change{&form_, Prop::TabOrder});
        return;
    }
    QWidget* w = a->widget();
    switch (ch.prop) {
    case Prop::Geometry:
        if (!applying_) recordDesign(c);
        placeWidget(c, w);
        a->geometryChanged();
        return;
    case Prop::Enabled:
    case Prop::Visible:
    case Prop::ToolTip:
    case Prop::BackColor:
    case Prop::ForeColor:
    case Prop::Font:
    case Prop::MousePointer:
    case Prop::MouseIcon:
        syncCommon(c, w);
        a->commonChanged(ch.prop);
        return;
    case Prop::Container: {
        QWidget* parent = c->container() ? widgetFor(c->container()) : nullptr;
        w->setParent(parent ? parent : client_);
        syncCommon(c, w);
        return;
    }
    case Prop::TabOrder:
        w->setFocusPolicy(!c->canHoldFocus() ? Qt::NoFocus : (c->tabStop() ? Qt::StrongFocus : Qt::ClickFocus));
        changed(Change{&form_, Prop::TabOrder});
        return;
    case Prop::Focus:
        return;
    default:
        a->changed(ch);
        return;
    }
}

// --- Focus, pointer, resize ---------------------------------------------------------

void FormWindow::applyFocus()
{
    Control* c = form_.activeControl();
    QWidget* w = c ? widgetFor(c) : nullptr;
    if (!w || w->hasFocus()) return;
    Applying a(applying_);
    w->setFocus(Qt::OtherFocusReason);
}

void FormWindow::applyPointer()
{
    if (form_.mousePointer() == vbHourglass) setCursor(Qt::WaitCursor);
    else if (form_.mousePointer() == vbCustom && !form_.mouseIcon().isNull())
        setCursor(QCursor(pictureOf(form_.mouseIcon()), form_.mouseIcon().hotX, form_.mouseIcon().hotY));
    else unsetCursor();
}

void FormWindow::recordDesign(Control* c)
{
    if (!adapterOf(c)) return;   // only what has a place on the form scales
    Design d;
    d.rect = QRect(int(std::lround(c->left() / sx_)), int(std::lround(c->top() / sy_)), int(std::lround(c->width() / sx_)),
                   int(std::lround(c->height() / sy_)));
    design_.insert(c, d);
}

void FormWindow::applyResize()
{
    if (!hasResizer_ || designClient_.isEmpty()) return;
    const double nsx = double(QtDesktop::twips(client_->width())) / designClient_.width();
    const double nsy = double(QtDesktop::twips(client_->height())) / designClient_.height();
    if (std::abs(nsx - sx_) < 1e-9 && std::abs(nsy - sy_) < 1e-9) return;
    sx_ = nsx;
    sy_ = nsy;
    Applying a(applying_);
    // Hidden controls included: a measuring label must keep its scaled width.
    const std::vector<Control*> controls = form_.controls();
    for (Control* c : controls) {
        auto it = design_.constFind(c);
        if (it == design_.constEnd()) continue;
        const QRect& r = it->rect;
        c->move(int(std::lround(r.x() * sx_)), int(std::lround(r.y() * sy_)), int(std::lround(r.width() * sx_)),
                int(std::lround(r.height() * sy_)));
    }
    const int menuTwips = menuBar_ ? QtDesktop::twips(menuBar_->height()) : 0;
    form_.windowPlaced(QtDesktop::twips(x()), QtDesktop::twips(y()), QtDesktop::twips(client_->width()) + kFrameTwipsX,
                       QtDesktop::twips(client_->height()) + kFrameTwipsY + menuTwips);
    if (fontsScale_)
        for (auto& entry : adapters_) syncFont(&entry.second->control(), entry.second->widget());
}

void FormWindow::resizeEvent(QResizeEvent* e) { QWidget::resizeEvent(e); }

void FormWindow::moveEvent(QMoveEvent* e)
{
    QWidget::moveEvent(e);
    // Moved by the user, the window manager or placeForShow: the form's Left
    // and Top follow (the please-wait notice is centred over them). A hidden
    // window keeps a place the program may have just set.
    if (isVisible()) reportPlace();
}

void FormWindow::closeEvent(QCloseEvent* e)
{
    // The close box asks the form; the form decides (it may refuse).
    e->ignore();
    if (!alive_) return;
    QtDesktop::guarded([this] { Input::closeBox(form_); });
}

// --- Input --------------------------------------------------------------------------------

Control* FormWindow::controlOf(QObject* o) const { return owners_.value(o, nullptr); }

bool FormWindow::handleKey(Control* c, QKeyEvent* e)
{
    const int key = e->key();
    if (key == Qt::Key_Tab || key == Qt::Key_Backtab) return false;   // Qt's focus chain; FocusIn reports it
    const int code = keyCodeOf(key);
    const int shift = shiftOf(e->modifiers());
    keyNavigation_ = false;
    if (ControlAdapter* a = c ? adapterOf(c) : nullptr)
        if (const std::optional<bool> taken = a->key(e, code, shift)) return *taken;
    if (code == 0) return false;
    QtDesktop::guarded([this, code, shift] { Input::key(form_, code, shift); });
    if (alive_ && c)
        if (ControlAdapter* a = adapterOf(c)) a->sync();
    return true;
}

bool FormWindow::handleMouse(Control* c, QObject* watched, QEvent* e)
{
    ControlAdapter* a = c ? adapterOf(c) : nullptr;
    if (!a) return false;
    auto* me = static_cast<QMouseEvent*>(e);
    if (e->type() == QEvent::MouseMove) {
        a->mouseMove(me);
        return false;
    }
    if (e->type() != QEvent::MouseButtonRelease) {
        keyNavigation_ = false;
        return a->swallowsPress(watched, me);
    }
    const int button = me->button() == Qt::LeftButton ? vbLeftButton : (me->button() == Qt::RightButton ? vbRightButton : vbMiddleButton);
    const int shift = shiftOf(me->modifiers());
    if (const std::optional<bool> taken = a->release(watched, me, button, shift)) return *taken;
    const QPoint p = me->position().toPoint();
    if (button == vbRightButton) {
        QtDesktop::guarded([c, shift, p] { Input::mouseUp(*c, vbRightButton, shift, QtDesktop::twips(p.x()), QtDesktop::twips(p.y())); });
        return !a->ownContextMenu();
    }
    if (button == vbLeftButton && a->clickOnRelease()) {
        QtDesktop::guarded([c] { Input::click(*c); });
        return true;
    }
    return false;
}

bool FormWindow::eventFilter(QObject* watched, QEvent* e)
{
    if (!alive_) return QWidget::eventFilter(watched, e);
    if (watched == client_ && e->type() == QEvent::Resize) {
        if (placed_ && !applying_) applyResize();
        return false;
    }
    if (!owners_.contains(watched)) return QWidget::eventFilter(watched, e);
    Control* c = controlOf(watched);
    switch (e->type()) {
    case QEvent::KeyPress: {
        auto* ke = static_cast<QKeyEvent*>(e);
        // A key arrives at the focused widget and then bubbles to its
        // parents: take it once, where it first lands.
        if (watched != QApplication::focusWidget() && !(watched == this && !QApplication::focusWidget())) {
            if (qobject_cast<QWidget*>(watched) && static_cast<QWidget*>(watched)->isAncestorOf(QApplication::focusWidget()))
                return false;
        }
        return handleKey(c, ke);
    }
    case QEvent::ShortcutOverride:
        return false;
    case QEvent::FocusIn: {
        auto* fe = static_cast<QFocusEvent*>(e);
        if (!c || applying_ || !c->canHoldFocus()) return false;
        if (fe->reason() == Qt::TabFocusReason || fe->reason() == Qt::BacktabFocusReason || fe->reason() == Qt::MouseFocusReason
            || fe->reason() == Qt::ShortcutFocusReason) {
            if (form_.activeControl() != c) QtDesktop::guarded([c] { Input::focus(*c); });
        }
        return false;
    }
    case QEvent::MouseMove:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
        return handleMouse(c, watched, e);
    case QEvent::ContextMenu:
        if (ControlAdapter* a = c ? adapterOf(c) : nullptr) return !a->ownContextMenu();
        return false;
    case QEvent::WindowStateChange: {
        // (Only a window has a state: this one.) A state the program itself
        // gave the form stays.
        const int state = form_.windowState();
        undoStateNotOffered(this, state == 1 ? Qt::WindowMinimized : (state == 2 ? Qt::WindowMaximized : Qt::WindowStates{}));
        return false;
    }
    default:
        return false;
    }
}

} // namespace ui::qt
