#include "ui/qt/FormWindow.h"

#include "ui/Input.h"
#include "ui/qt/ItemModels.h"
#include "ui/qt/QtColors.h"
#include "ui/qt/QtDesktop.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace ui::qt {

namespace {

// The frame and title bar that a form's Width and Height include.
constexpr int kFrameTwipsX = 120;
constexpr int kFrameTwipsY = 450;

struct Applying {
    int& n;
    explicit Applying(int& c) : n(c) { ++n; }
    ~Applying() { --n; }
    Applying(const Applying&) = delete;
    Applying& operator=(const Applying&) = delete;
};

// Captions are shown as they are: "&" is never a mnemonic (paths and printer
// names reach captions as data).
QString literal(const QString& caption)
{
    QString s = caption;
    s.replace(QLatin1Char('&'), QLatin1String("&&"));
    return s;
}

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

// The character Input::key would type for a code (mirrors its rule), so
// that a key giving another character (caps lock, a Greek layout,
// punctuation) is typed as that character instead.
int asciiOfKey(int code, int shift)
{
    if (shift & (vbCtrlMask | vbAltMask)) return -1;
    if (code >= 'A' && code <= 'Z') return (shift & vbShiftMask) ? code : code + 32;
    if (code >= '0' && code <= '9') return (shift & vbShiftMask) ? -1 : code;
    if (code == vbKeySpace) return code;
    return -1;
}

QFont qfont(const Font& f, double scale)
{
    QFont q(f.name);
    q.setPointSizeF(std::max(1.0, f.size * scale));
    q.setBold(f.bold);
    return q;
}

QPixmap pictureOf(const Picture& p) { return p.isNull() ? QPixmap() : QPixmap(p.resource); }

// Two arrow buttons; each press is one Input::upDown step.
class UpDownWidget : public QWidget {
public:
    explicit UpDownWidget(QWidget* parent) : QWidget(parent)
    {
        auto* l = new QVBoxLayout(this);
        l->setContentsMargins(0, 0, 0, 0);
        l->setSpacing(0);
        up = new QToolButton(this);
        down = new QToolButton(this);
        up->setArrowType(Qt::UpArrow);
        down->setArrowType(Qt::DownArrow);
        for (QToolButton* b : {up, down}) {
            b->setAutoRepeat(true);
            b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
            b->setFocusPolicy(Qt::NoFocus);
            l->addWidget(b);
        }
    }
    QToolButton* up;
    QToolButton* down;
};

} // namespace

FormWindow::FormWindow(Form& form) : QWidget(nullptr), form_(form)
{
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
    form_.setObserver(this);
}

FormWindow::~FormWindow()
{
    if (alive_ && form_.observer() == this) form_.setObserver(nullptr);
}

void FormWindow::detach()
{
    if (!alive_) return;
    alive_ = false;
    if (form_.observer() == this) form_.setObserver(nullptr);
    widgets_.clear();
    owners_.clear();
    treeItems_.clear();
    menuActions_.clear();
    design_.clear();
    for (ListItemModel* m : std::as_const(listModels_)) m->afterFlush = nullptr;
    for (GridItemModel* m : std::as_const(gridModels_)) m->afterFlush = nullptr;
    listModels_.clear();
    gridModels_.clear();
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
    if (!placed_) {
        if (form_.left() > 0 || form_.top() > 0) {
            move(QtDesktop::px(form_.left()), QtDesktop::px(form_.top()));
        } else if (QScreen* s = QGuiApplication::primaryScreen()) {
            const QRect r = s->availableGeometry();
            move(r.center() - QPoint(width() / 2, height() / 2));
        }
    }
    placed_ = true;
}

// --- Widgets -----------------------------------------------------------------

QWidget* FormWindow::ensureWidget(Control* c)
{
    if (QWidget* w = widgets_.value(c)) return w;
    switch (c->kind()) {
    case ControlKind::Timer:
    case ControlKind::Menu:
    case ControlKind::CommonDialog:
    case ControlKind::FormResizer:
    case ControlKind::InternetTransfer:
        return nullptr;
    default:
        break;
    }
    QWidget* parent = client_;
    if (Control* frame = c->container())
        if (QWidget* fw = ensureWidget(frame)) parent = fw;
    QWidget* w = createWidget(c, parent);
    w->setObjectName(c->index() >= 0 ? QStringLiteral("%1(%2)").arg(c->name()).arg(c->index()) : c->name());
    widgets_.insert(c, w);
    owners_.insert(w, c);
    w->installEventFilter(this);
    if (auto* area = qobject_cast<QAbstractScrollArea*>(w)) {
        owners_.insert(area->viewport(), c);
        area->viewport()->installEventFilter(this);
    }
    if (!c->canHoldFocus() || !c->tabStop()) w->setFocusPolicy(c->canHoldFocus() ? Qt::ClickFocus : Qt::NoFocus);
    syncCommon(c, w);
    syncValue(c);
    return w;
}

QWidget* FormWindow::createWidget(Control* c, QWidget* parent)
{
    switch (c->kind()) {
    case ControlKind::CommandButton: {
        auto* b = new QPushButton(parent);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, [this, c] {
            if (!alive_) return;
            QtDesktop::guarded([c] { Input::click(*c); });
        });
        return b;
    }
    case ControlKind::Label: {
        auto* l = new QLabel(parent);
        l->setTextFormat(Qt::PlainText);
        l->setAutoFillBackground(true);
        return l;
    }
    case ControlKind::TextBox: {
        auto* box = static_cast<TextBox*>(c);
        if (box->multiLine()) {
            auto* e = new QPlainTextEdit(parent);
            e->setReadOnly(true);
            return e;
        }
        auto* e = new QLineEdit(parent);
        e->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(e, &QLineEdit::customContextMenuRequested, this, [this, box, e](const QPoint& at) {
            QMenu menu(e);
            QAction* copy = menu.addAction(tr("Copy"));
            QAction* paste = menu.addAction(tr("Paste"));
            copy->setEnabled(e->hasSelectedText());
            paste->setEnabled(!box->locked() && !QApplication::clipboard()->text().isEmpty());
            QAction* chosen = menu.exec(e->mapToGlobal(at));
            if (!alive_) return;
            if (chosen == copy) QApplication::clipboard()->setText(e->selectedText());
            if (chosen == paste) {
                const QString text = QApplication::clipboard()->text();
                QtDesktop::guarded([box, text] { Input::paste(*box, text); });
                if (alive_) syncValue(box);
            }
        });
        connect(e, &QLineEdit::selectionChanged, this, [this, box, e] {
            if (!alive_ || applying_) return;
            Applying a(applying_);
            const int start = e->hasSelectedText() ? e->selectionStart() : e->cursorPosition();
            box->setSelStart(start);
            box->setSelLength(int(e->selectedText().size()));
        });
        connect(e, &QLineEdit::cursorPositionChanged, this, [this, box, e](int, int pos) {
            if (!alive_ || applying_ || e->hasSelectedText()) return;
            Applying a(applying_);
            box->setSelStart(pos);
            box->setSelLength(0);
        });
        return e;
    }
    case ControlKind::CheckBox: {
        auto* b = new QCheckBox(parent);
        b->setTristate(true);
        connect(b, &QCheckBox::clicked, this, [this, c] {
            if (!alive_) return;
            QtDesktop::guarded([c] { Input::click(*c); });
            if (alive_) syncValue(c);
        });
        return b;
    }
    case ControlKind::OptionButton: {
        auto* b = new QRadioButton(parent);
        b->setAutoExclusive(false);   // exclusivity is the model's, per container
        connect(b, &QRadioButton::clicked, this, [this, c] {
            if (!alive_) return;
            QtDesktop::guarded([c] { Input::click(*c); });
            if (alive_) syncValue(c);
        });
        return b;
    }
    case ControlKind::ComboBox: {
        auto* b = new QComboBox(parent);
        connect(b, &QComboBox::activated, this, [this, c](int i) {
            if (!alive_) return;
            QtDesktop::guarded([c, i] { Input::comboChoose(*static_cast<ComboBox*>(c), i); });
            if (alive_) syncValue(c);
        });
        return b;
    }
    case ControlKind::ListBox: {
        auto* v = new QListView(parent);
        wireList(static_cast<ListBox*>(c), v);
        return v;
    }
    case ControlKind::Frame: {
        auto* g = new QGroupBox(parent);
        return g;
    }
    case ControlKind::Image: {
        auto* l = new QLabel(parent);
        l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return l;
    }
    case ControlKind::TreeView: {
        auto* t = new QTreeWidget(parent);
        wireTree(static_cast<TreeView*>(c), t);
        return t;
    }
    case ControlKind::FlexGrid: {
        auto* t = new QTableView(parent);
        wireGrid(static_cast<FlexGrid*>(c), t);
        return t;
    }
    case ControlKind::ProgressBar: {
        auto* p = new QProgressBar(parent);
        p->setRange(0, 10000);
        p->setTextVisible(false);
        return p;
    }
    case ControlKind::UpDown: {
        auto* u = new UpDownWidget(parent);
        auto* upd = static_cast<UpDown*>(c);
        connect(u->up, &QToolButton::clicked, this, [this, upd] {
            if (alive_) QtDesktop::guarded([upd] { Input::upDown(*upd, +1); });
        });
        connect(u->down, &QToolButton::clicked, this, [this, upd] {
            if (alive_) QtDesktop::guarded([upd] { Input::upDown(*upd, -1); });
        });
        return u;
    }
    default:
        return new QWidget(parent);
    }
}

void FormWindow::syncGeometry(Control* c, QWidget* w)
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
    syncGeometry(c, w);
    syncFont(c, w);
    w->setVisible(c->visible());
    w->setEnabled(c->enabled());
    w->setToolTip(c->toolTipText());
    QPalette pal = w->palette();
    const QPalette app = QApplication::palette();
    QPalette::ColorRole backRole = QPalette::Window, foreRole = QPalette::WindowText;
    switch (c->kind()) {
    case ControlKind::CommandButton:
        backRole = QPalette::Button;
        foreRole = QPalette::ButtonText;
        break;
    case ControlKind::TextBox:
    case ControlKind::ListBox:
    case ControlKind::ComboBox:
    case ControlKind::TreeView:
    case ControlKind::FlexGrid:
        backRole = QPalette::Base;
        foreRole = QPalette::Text;
        break;
    default:
        break;
    }
    if (const QColor back = toQColor(c->backColor(), app); back.isValid()) pal.setColor(backRole, back);
    if (const QColor fore = toQColor(c->foreColor(), app); fore.isValid()) pal.setColor(foreRole, fore);
    w->setPalette(pal);
    // Option and check boxes paint their own back colour (the structure selectors).
    if (c->kind() == ControlKind::OptionButton || c->kind() == ControlKind::CheckBox) w->setAutoFillBackground(c->backColor() != kSysButtonFace);
    if (c->mousePointer() == vbHourglass) w->setCursor(Qt::WaitCursor);
    else if (c->mousePointer() == vbCustom && !c->mouseIcon().isNull())
        w->setCursor(QCursor(pictureOf(c->mouseIcon()), c->mouseIcon().hotX, c->mouseIcon().hotY));
    else if (c->mousePointer() == vbArrow) w->setCursor(Qt::ArrowCursor);
    else w->unsetCursor();
}

void FormWindow::syncValue(Control* c)
{
    QWidget* w = widgets_.value(c);
    if (!w) return;
    Applying a(applying_);
    switch (c->kind()) {
    case ControlKind::CommandButton: {
        auto* b = static_cast<CommandButton*>(c);
        auto* q = static_cast<QPushButton*>(w);
        if (b->style() == 1 && !b->picture().isNull()) {
            q->setText(QString());
            q->setIcon(QIcon(pictureOf(b->picture())));
            q->setIconSize(q->size() - QSize(6, 6));
        } else {
            q->setIcon(QIcon());
            q->setText(literal(b->caption()));
        }
        q->setDefault(form_.defaultButton() == b);
        break;
    }
    case ControlKind::Label: {
        auto* l = static_cast<Label*>(c);
        auto* q = static_cast<QLabel*>(w);
        q->setText(l->caption());
        q->setWordWrap(l->wordWrap() || l->caption().contains(QLatin1Char('\n')));
        const Qt::Alignment h = l->alignment() == 1 ? Qt::AlignRight : (l->alignment() == 2 ? Qt::AlignHCenter : Qt::AlignLeft);
        q->setAlignment(h | Qt::AlignTop);
        break;
    }
    case ControlKind::TextBox: {
        auto* box = static_cast<TextBox*>(c);
        if (auto* e = qobject_cast<QLineEdit*>(w)) {
            if (e->text() != box->text()) e->setText(box->text());
            e->setMaxLength(box->maxLength() > 0 ? box->maxLength() : 32767);
            e->setReadOnly(box->locked());
            e->setAlignment(box->alignment() == 1 ? Qt::AlignRight : (box->alignment() == 2 ? Qt::AlignHCenter : Qt::AlignLeft));
            if (box->selLength() > 0) e->setSelection(box->selStart(), box->selLength());
            else e->setCursorPosition(box->selStart());
        } else if (auto* p = qobject_cast<QPlainTextEdit*>(w)) {
            if (p->toPlainText() != box->text()) p->setPlainText(box->text());
        }
        break;
    }
    case ControlKind::CheckBox: {
        auto* b = static_cast<CheckBox*>(c);
        auto* q = static_cast<QCheckBox*>(w);
        q->setText(literal(b->caption()));
        q->setCheckState(b->value() == 1 ? Qt::Checked : (b->value() == 2 ? Qt::PartiallyChecked : Qt::Unchecked));
        break;
    }
    case ControlKind::OptionButton: {
        auto* o = static_cast<OptionButton*>(c);
        auto* q = static_cast<QRadioButton*>(w);
        q->setText(literal(o->caption()));
        q->setChecked(o->value());
        break;
    }
    case ControlKind::ComboBox: {
        auto* cb = static_cast<ComboBox*>(c);
        auto* q = static_cast<QComboBox*>(w);
        bool same = q->count() == cb->listCount();
        for (int i = 0; same && i < cb->listCount(); ++i) same = q->itemText(i) == cb->list(i);
        if (!same) {
            q->clear();
            for (int i = 0; i < cb->listCount(); ++i) q->addItem(cb->list(i));
        }
        q->setCurrentIndex(cb->listIndex());
        break;
    }
    case ControlKind::Frame:
        static_cast<QGroupBox*>(w)->setTitle(literal(static_cast<Frame*>(c)->caption()));
        break;
    case ControlKind::Image: {
        auto* img = static_cast<Image*>(c);
        auto* q = static_cast<QLabel*>(w);
        q->setPixmap(pictureOf(img->picture()));
        q->setScaledContents(img->stretch());
        break;
    }
    case ControlKind::ProgressBar: {
        auto* p = static_cast<ProgressBar*>(c);
        const double span = p->max() - p->min();
        static_cast<QProgressBar*>(w)->setValue(span > 0 ? int(std::lround((p->value() - p->min()) / span * 10000)) : 0);
        break;
    }
    case ControlKind::UpDown: {
        auto* u = static_cast<UpDown*>(c);
        auto* q = static_cast<UpDownWidget*>(w);
        const int hi = std::max(u->min(), u->max()), lo = std::min(u->min(), u->max());
        q->up->setEnabled(u->value() < hi);
        q->down->setEnabled(u->value() > lo);
        break;
    }
    default:
        break;
    }
}

// --- The change observer ---------------------------------------------------------

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
                if (c->kind() == ControlKind::CommandButton) syncValue(c);
            break;
        case Prop::WindowState:
            if (form_.windowState() == 1) setWindowState(Qt::WindowMinimized);
            else if (form_.windowState() == 2) setWindowState(Qt::WindowMaximized);
            else setWindowState(Qt::WindowNoState);
            break;
        case Prop::TabOrder: {
            std::vector<Control*> order;
            for (Control* c : form_.controls())
                if (c->canHoldFocus() && c->tabStop() && widgets_.contains(c)) order.push_back(c);
            std::stable_sort(order.begin(), order.end(), [](Control* a, Control* b) { return a->tabIndex() < b->tabIndex(); });
            for (std::size_t i = 1; i < order.size(); ++i) QWidget::setTabOrder(widgets_.value(order[i - 1]), widgets_.value(order[i]));
            break;
        }
        default:
            break;
        }
        return;
    }
    auto* c = static_cast<Control*>(ch.object);
    if (c->kind() == ControlKind::Menu) {
        if (QAction* a = menuActions_.value(static_cast<Menu*>(c)); a && ch.prop != Prop::Container) {
            auto* m = static_cast<Menu*>(c);
            a->setText(literal(m->caption()));
            a->setEnabled(m->enabled());
            a->setVisible(m->visible());
            a->setChecked(m->checked());
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
        for (auto it = widgets_.begin(); it != widgets_.end(); ++it) syncFont(const_cast<Control*>(it.key()), it.value());
        return;
    }
    QWidget* w = widgets_.value(c);
    if (!w) {
        w = ensureWidget(c);   // a control added after the window was made
        if (!w) return;
        recordDesign(c);
        changed(Change{&form_, Prop::TabOrder});
        return;
    }
    switch (ch.prop) {
    case Prop::Geometry:
        if (!applying_) recordDesign(c);
        syncGeometry(c, w);
        if (c->kind() == ControlKind::FlexGrid) applyGridLayout(static_cast<FlexGrid*>(c));
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
        if (c->kind() == ControlKind::FlexGrid) gridModels_.value(c)->gridChanged(ch.prop, -1, -1);
        if (c->kind() == ControlKind::ListBox) w->update();
        return;
    case Prop::Container: {
        QWidget* parent = c->container() ? widgets_.value(c->container(), client_) : client_;
        w->setParent(parent);
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
        break;
    }
    switch (c->kind()) {
    case ControlKind::ListBox: {
        auto* list = static_cast<ListBox*>(c);
        if (ListItemModel* m = listModels_.value(c)) m->listChanged(ch.prop, ch.index);
        if (ch.prop == Prop::TopIndex && !applying_) {
            Applying a(applying_);
            auto* v = static_cast<QListView*>(w);
            if (list->topIndex() < v->model()->rowCount()) v->scrollTo(v->model()->index(list->topIndex(), 0), QAbstractItemView::PositionAtTop);
        }
        return;
    }
    case ControlKind::TreeView:
        treeChanged(static_cast<TreeView*>(c), ch);
        return;
    case ControlKind::FlexGrid:
        gridChanged(static_cast<FlexGrid*>(c), ch);
        return;
    default:
        syncValue(c);
        return;
    }
}

// --- Lists ------------------------------------------------------------------------------

void FormWindow::wireList(ListBox* list, QListView* view)
{
    auto* model = new ListItemModel(*list, view);
    listModels_.insert(list, model);
    view->setModel(model);
    view->setUniformItemSizes(true);
    view->setSelectionMode(QAbstractItemView::NoSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    view->viewport()->setMouseTracking(true);
    model->afterFlush = [this, list, view] {
        if (!alive_) return;
        Applying a(applying_);
        if (view->model()->rowCount() > 0) {
            const int rowPx = view->sizeHintForRow(0);
            if (rowPx > 0) list->setItemHeight(QtDesktop::twips(rowPx));
            const int top = std::min(list->topIndex(), view->model()->rowCount() - 1);
            view->scrollTo(view->model()->index(top, 0), QAbstractItemView::PositionAtTop);
        }
    };
    connect(view->verticalScrollBar(), &QScrollBar::valueChanged, this, [this, list, view] {
        if (!alive_ || applying_) return;
        const QModelIndex top = view->indexAt(QPoint(2, 2));
        if (!top.isValid()) return;
        Applying a(applying_);
        QtDesktop::guarded([list, &top] { Input::scrollList(*list, top.row()); });
    });
}

// --- Trees ------------------------------------------------------------------------------

QTreeWidgetItem* FormWindow::treeItem(TreeView* tree, const TreeNode* n)
{
    if (!n) return nullptr;
    if (QTreeWidgetItem* it = treeItems_.value(n)) return it;
    auto* view = static_cast<QTreeWidget*>(widgets_.value(tree));
    QTreeWidgetItem* parentItem = n->parent() ? treeItem(tree, n->parent()) : nullptr;
    const auto& siblings = n->parent() ? n->parent()->childNodes() : tree->roots();
    const int at = int(std::find(siblings.begin(), siblings.end(), n) - siblings.begin());
    auto* item = new QTreeWidgetItem();
    item->setText(0, n->text());
    item->setData(0, Qt::UserRole, QVariant::fromValue<quintptr>(quintptr(n)));
    // Siblings already shown that come before this node in the model.
    int pos = 0;
    for (int i = 0; i < at; ++i)
        if (treeItems_.contains(siblings[std::size_t(i)])) ++pos;
    if (parentItem) parentItem->insertChild(pos, item);
    else view->insertTopLevelItem(pos, item);
    treeItems_.insert(n, item);
    return item;
}

void FormWindow::wireTree(TreeView* tree, QTreeWidget* view)
{
    view->setHeaderHidden(true);
    view->setColumnCount(1);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    widgets_.insert(tree, view);   // treeItem() looks the view up
    {
        Applying a(applying_);
        std::vector<const TreeNode*> stack;
        for (auto it = tree->roots().rbegin(); it != tree->roots().rend(); ++it) stack.push_back(*it);
        std::vector<const TreeNode*> order;
        while (!stack.empty()) {
            const TreeNode* n = stack.back();
            stack.pop_back();
            order.push_back(n);
            for (auto it = n->childNodes().rbegin(); it != n->childNodes().rend(); ++it) stack.push_back(*it);
        }
        for (const TreeNode* n : order) treeItem(tree, n);
        for (const TreeNode* n : order) treeItems_.value(n)->setExpanded(n->expanded());
        if (tree->selectedItem()) view->setCurrentItem(treeItems_.value(tree->selectedItem()));
    }
    auto nodeOf = [](QTreeWidgetItem* item) {
        return item ? reinterpret_cast<TreeNode*>(item->data(0, Qt::UserRole).value<quintptr>()) : nullptr;
    };
    auto resync = [this, tree, view] {
        if (!alive_) return;
        Applying a(applying_);
        view->setCurrentItem(tree->selectedItem() ? treeItems_.value(tree->selectedItem()) : nullptr);
        if (!tree->selectedItem()) view->clearSelection();
    };
    // Nodes without a key cannot be named to Input: their expansion goes to
    // the model directly, after the same check Input makes.
    auto expandNode = [tree](TreeNode* n, bool on) {
        if (!n->key().isEmpty()) {
            if (on) Input::expand(*tree, n->key());
            else Input::collapse(*tree, n->key());
        } else if (Input::canTakeInput(*tree)) {
            n->setExpanded(on);
        }
    };
    connect(view, &QTreeWidget::itemExpanded, this, [this, tree, nodeOf, expandNode, resync](QTreeWidgetItem* item) {
        if (!alive_ || applying_) return;
        TreeNode* n = nodeOf(item);
        QtDesktop::guarded([&] { expandNode(n, true); });
        if (alive_) {
            Applying a(applying_);
            if (treeItems_.value(n) == item) item->setExpanded(n->expanded());
            resync();
        }
        (void)tree;
    });
    connect(view, &QTreeWidget::itemCollapsed, this, [this, nodeOf, expandNode, resync](QTreeWidgetItem* item) {
        if (!alive_ || applying_) return;
        TreeNode* n = nodeOf(item);
        QtDesktop::guarded([&] { expandNode(n, false); });
        if (alive_) {
            Applying a(applying_);
            if (treeItems_.value(n) == item) item->setExpanded(n->expanded());
            resync();
        }
    });
    connect(view, &QTreeWidget::itemClicked, this, [this, tree, nodeOf, resync](QTreeWidgetItem* item, int) {
        if (!alive_ || applying_) return;
        TreeNode* n = nodeOf(item);
        if (n->key().isEmpty()) {
            QtDesktop::guarded([&] {
                if (!Input::canTakeInput(*tree)) return;
                tree->form().activeControl() != tree ? (void)Input::focus(*tree) : (void)0;
                tree->setSelectedItem(n);
                tree->NodeClick(n);
            });
        } else {
            const QString key = n->key();
            QtDesktop::guarded([tree, key] { Input::nodeClick(*tree, key); });
        }
        resync();
    });
    connect(view, &QTreeWidget::currentItemChanged, this, [this, tree, nodeOf, resync](QTreeWidgetItem* item, QTreeWidgetItem*) {
        if (!alive_ || applying_ || !keyNavigation_ || !item) return;
        TreeNode* n = nodeOf(item);
        if (!n->key().isEmpty()) {
            const QString key = n->key();
            QtDesktop::guarded([tree, key] { Input::nodeKey(*tree, key); });
        }
        resync();
    });
}

void FormWindow::treeChanged(TreeView* tree, const Change& c)
{
    auto* view = static_cast<QTreeWidget*>(widgets_.value(tree));
    const auto* n = static_cast<const TreeNode*>(c.item);
    Applying a(applying_);
    switch (c.prop) {
    case Prop::NodeAdded:
        treeItem(tree, n);
        if (n->parent()) treeItem(tree, n->parent())->setExpanded(n->parent()->expanded());
        break;
    case Prop::NodeRemoved: {
        QTreeWidgetItem* item = treeItems_.value(n);
        if (!item) break;
        std::vector<QTreeWidgetItem*> stack{item};
        while (!stack.empty()) {
            QTreeWidgetItem* it = stack.back();
            stack.pop_back();
            treeItems_.remove(reinterpret_cast<const TreeNode*>(it->data(0, Qt::UserRole).value<quintptr>()));
            for (int i = 0; i < it->childCount(); ++i) stack.push_back(it->child(i));
        }
        delete item;
        break;
    }
    case Prop::NodesCleared:
        treeItems_.clear();
        view->clear();
        break;
    case Prop::NodeText:
    case Prop::NodeSorted: {
        // Re-seat the children in the model's order (a sorted parent may
        // have moved the node).
        const TreeNode* parent = c.prop == Prop::NodeText ? (n ? n->parent() : nullptr) : n;
        if (c.prop == Prop::NodeText && n)
            if (QTreeWidgetItem* it = treeItems_.value(n)) it->setText(0, n->text());
        const auto& kids = parent ? parent->childNodes() : tree->roots();
        QTreeWidgetItem* pi = parent ? treeItems_.value(parent) : nullptr;
        QList<QTreeWidgetItem*> items;
        for (const TreeNode* k : kids)
            if (QTreeWidgetItem* it = treeItems_.value(k)) items.append(it);
        QList<QTreeWidgetItem*> current;
        const int count = pi ? pi->childCount() : view->topLevelItemCount();
        for (int i = 0; i < count; ++i) current.append(pi ? pi->child(i) : view->topLevelItem(i));
        if (current != items) {
            QList<bool> expanded;
            for (QTreeWidgetItem* it : items) expanded.append(it->isExpanded());
            if (pi) pi->takeChildren();
            else while (view->topLevelItemCount()) view->takeTopLevelItem(0);
            if (pi) pi->addChildren(items);
            else view->addTopLevelItems(items);
            for (int i = 0; i < items.size(); ++i) items[i]->setExpanded(expanded[i]);
        }
        break;
    }
    case Prop::NodeExpanded:
        if (QTreeWidgetItem* it = treeItems_.value(n)) it->setExpanded(n->expanded());
        break;
    case Prop::NodeSelected:
        view->setCurrentItem(tree->selectedItem() ? treeItems_.value(tree->selectedItem()) : nullptr);
        if (!tree->selectedItem()) view->clearSelection();
        break;
    default:
        break;
    }
}

// --- Grids ------------------------------------------------------------------------------

void FormWindow::wireGrid(FlexGrid* grid, QTableView* view)
{
    auto* model = new GridItemModel(*grid, view);
    gridModels_.insert(grid, model);
    view->setModel(model);
    view->setSelectionMode(QAbstractItemView::NoSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setAutoScroll(false);
    view->setWordWrap(false);
    view->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    view->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    view->horizontalHeader()->setMinimumSectionSize(0);
    view->horizontalHeader()->setHighlightSections(false);
    view->verticalHeader()->setHighlightSections(false);
    for (QHeaderView* h : {view->horizontalHeader(), view->verticalHeader()}) {
        owners_.insert(h->viewport(), grid);
        h->viewport()->installEventFilter(this);
    }
    widgets_.insert(grid, view);
    model->afterFlush = [this, grid, view](const QSet<int>& rows, bool all) {
        if (!alive_) return;
        if (all) applyGridLayout(grid);
        applyGridSpans(grid, rows, all);
        Q_UNUSED(view);
    };
    applyGridLayout(grid);
    applyGridSpans(grid, {}, true);
    connect(view->horizontalHeader(), &QHeaderView::sectionResized, this, [this, grid, model](int logical, int, int size) {
        if (!alive_ || applying_) return;
        const int col = logical + model->fixedCols();
        QtDesktop::guarded([grid, col, size] { Input::resizeColumn(*grid, col, QtDesktop::twips(size)); });
        if (alive_) applyGridLayout(grid);
    });
    connect(view->verticalScrollBar(), &QScrollBar::valueChanged, this, [this, grid, model](int value) {
        if (!alive_ || applying_) return;
        Applying a(applying_);
        QtDesktop::guarded([grid, model, value] { Input::scrollGrid(*grid, value + model->fixedRows()); });
    });
}

void FormWindow::applyGridLayout(FlexGrid* grid)
{
    auto* view = static_cast<QTableView*>(widgets_.value(grid));
    GridItemModel* model = gridModels_.value(grid);
    if (!view || !model) return;
    Applying a(applying_);
    const int fr = model->fixedRows(), fc = model->fixedCols();
    view->horizontalHeader()->setVisible(fr > 0);
    view->verticalHeader()->setVisible(fc > 0);
    const int rowPx = std::max(1, QtDesktop::px(grid->rowHeight()));
    view->verticalHeader()->setDefaultSectionSize(rowPx);
    view->verticalHeader()->setMinimumSectionSize(1);
    view->horizontalHeader()->setFixedHeight(rowPx);
    if (fc > 0) view->verticalHeader()->setFixedWidth(QtDesktop::px(grid->colWidth(0)));
    for (int c = fc; c < grid->cols() && c - fc < model->columnCount(); ++c)
        view->horizontalHeader()->resizeSection(c - fc, QtDesktop::px(grid->colWidth(c)));
    if (model->rowCount() > 0) view->verticalScrollBar()->setValue(grid->topRow() - fr);
    if (grid->row() >= fr && grid->col() >= fc && grid->row() - fr < model->rowCount() && grid->col() - fc < model->columnCount())
        view->setCurrentIndex(model->index(grid->row() - fr, grid->col() - fc));
}

void FormWindow::applyGridSpans(FlexGrid* grid, const QSet<int>& rows, bool all)
{
    auto* view = static_cast<QTableView*>(widgets_.value(grid));
    GridItemModel* model = gridModels_.value(grid);
    if (!view || !model) return;
    const int fr = model->fixedRows(), fc = model->fixedCols();
    auto spanRow = [&](int r) {
        if (r < fr || r >= grid->rows()) return;
        const int mr = r - fr;
        if (!all)
            for (int c = 0; c < model->columnCount(); ++c)
                if (view->columnSpan(mr, c) > 1) view->setSpan(mr, c, 1, 1);
        if (grid->mergeCells() == 0 || !grid->mergeRow(r)) return;
        for (int c = fc; c < grid->cols();) {
            const auto span = grid->mergedSpan(r, c);
            if (span.second > span.first) view->setSpan(mr, span.first - fc, 1, span.second - span.first + 1);
            c = span.second + 1;
        }
    };
    if (all) {
        view->clearSpans();
        if (grid->mergeCells() == 0) return;
        for (int r = fr; r < grid->rows(); ++r)
            if (grid->mergeRow(r)) spanRow(r);
        return;
    }
    for (int r : rows) spanRow(r);
}

void FormWindow::gridChanged(FlexGrid* grid, const Change& c)
{
    GridItemModel* model = gridModels_.value(grid);
    model->gridChanged(c.prop, c.index, c.index2);
    switch (c.prop) {
    case Prop::ColWidth:
    case Prop::RowHeight:
        applyGridLayout(grid);
        break;
    case Prop::TopRow: {
        Applying a(applying_);
        auto* view = static_cast<QTableView*>(widgets_.value(grid));
        if (model->rowCount() > 0) view->verticalScrollBar()->setValue(grid->topRow() - model->fixedRows());
        break;
    }
    case Prop::CurrentCell: {
        Applying a(applying_);
        auto* view = static_cast<QTableView*>(widgets_.value(grid));
        const int r = grid->row() - model->fixedRows(), col = grid->col() - model->fixedCols();
        if (r >= 0 && col >= 0 && r < model->rowCount() && col < model->columnCount()) view->setCurrentIndex(model->index(r, col));
        break;
    }
    default:
        break;
    }
}

// --- Menus ------------------------------------------------------------------------------

void FormWindow::fillMenu(QMenu* qmenu, Menu& menu)
{
    for (Menu* item : menu.items()) {
        if (item->isSeparator()) {
            QAction* s = qmenu->addSeparator();
            s->setVisible(item->visible());
            menuActions_.insert(item, s);
            continue;
        }
        if (!item->items().empty()) {
            QMenu* sub = qmenu->addMenu(literal(item->caption()));
            sub->menuAction()->setVisible(item->visible());
            sub->menuAction()->setEnabled(item->enabled());
            menuActions_.insert(item, sub->menuAction());
            fillMenu(sub, *item);
            continue;
        }
        QAction* a = qmenu->addAction(literal(item->caption()));
        a->setCheckable(true);
        a->setChecked(item->checked());
        a->setEnabled(item->enabled());
        a->setVisible(item->visible());
        a->setData(QVariant::fromValue<quintptr>(quintptr(item)));
        menuActions_.insert(item, a);
        connect(a, &QAction::triggered, this, [this, item] {
            if (!alive_) return;
            // The bar's menu already raised its opening Click when it showed.
            QtDesktop::guarded([item] { Input::chooseOpened(*item); });
        });
    }
}

void FormWindow::rebuildMenus()
{
    menusDirty_ = false;
    if (!alive_ || !menuBar_) return;
    menuBar_->clear();
    menuActions_.clear();
    for (Control* c : form_.controls()) {
        if (c->kind() != ControlKind::Menu) continue;
        auto* top = static_cast<Menu*>(c);
        if (top->parentMenu()) continue;
        QMenu* q = menuBar_->addMenu(literal(top->caption()));
        q->menuAction()->setVisible(top->visible());
        q->menuAction()->setEnabled(top->enabled());
        menuActions_.insert(top, q->menuAction());
        connect(q, &QMenu::aboutToShow, this, [this, top] {
            if (alive_) QtDesktop::guarded([top] { Input::openMenu(*top); });
        });
        fillMenu(q, *top);
    }
}

QMenu* FormWindow::buildPopup(Menu& menu, QWidget* parent)
{
    auto* q = new QMenu(parent);
    std::function<void(QMenu*, Menu&)> fill = [&fill](QMenu* qm, Menu& m) {
        for (Menu* item : m.items()) {
            if (!item->visible()) continue;
            if (item->isSeparator()) {
                qm->addSeparator();
                continue;
            }
            if (!item->items().empty()) {
                QMenu* sub = qm->addMenu(literal(item->caption()));
                sub->setEnabled(item->enabled());
                fill(sub, *item);
                continue;
            }
            QAction* a = qm->addAction(literal(item->caption()));
            a->setEnabled(item->enabled());
            a->setCheckable(item->checked());
            a->setChecked(item->checked());
            a->setData(QVariant::fromValue<quintptr>(quintptr(item)));
        }
    };
    fill(q, menu);
    return q;
}

// --- Focus, pointer, resize ---------------------------------------------------------

void FormWindow::applyFocus()
{
    Control* c = form_.activeControl();
    QWidget* w = c ? widgets_.value(c) : nullptr;
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
    form_.move(QtDesktop::twips(x()), QtDesktop::twips(y()), QtDesktop::twips(client_->width()) + kFrameTwipsX,
               QtDesktop::twips(client_->height()) + kFrameTwipsY + menuTwips);
    if (fontsScale_)
        for (auto w = widgets_.begin(); w != widgets_.end(); ++w) syncFont(const_cast<Control*>(w.key()), w.value());
}

void FormWindow::resizeEvent(QResizeEvent* e) { QWidget::resizeEvent(e); }

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
    if (c) {
        switch (c->kind()) {
        case ControlKind::TreeView:
        case ControlKind::FlexGrid:
            if (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_Left || key == Qt::Key_Right
                || key == Qt::Key_PageUp || key == Qt::Key_PageDown || key == Qt::Key_Home || key == Qt::Key_End) {
                keyNavigation_ = true;
                return false;
            }
            break;
        case ControlKind::ComboBox:
            if (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_F4) return false;
            break;
        case ControlKind::ListBox: {
            auto* list = static_cast<ListBox*>(c);
            int target = -2;
            const int page = std::max(1, list->height() / std::max(1, list->itemHeight()) - 1);
            if (key == Qt::Key_Up) target = list->listIndex() - 1;
            else if (key == Qt::Key_Down) target = list->listIndex() + 1;
            else if (key == Qt::Key_PageUp) target = list->listIndex() - page;
            else if (key == Qt::Key_PageDown) target = list->listIndex() + page;
            else if (key == Qt::Key_Home) target = 0;
            else if (key == Qt::Key_End) target = list->listCount() - 1;
            if (target != -2) {
                target = std::clamp(target, 0, list->listCount() - 1);
                if (list->listCount() > 0 && list->multiSelect() == ListBox::None) {
                    QtDesktop::guarded([list, target] {
                        if (Input::canTakeInput(*list)) list->setListIndex(target);
                    });
                    if (alive_ && list->listIndex() >= 0) {
                        auto* v = static_cast<QListView*>(widgets_.value(c));
                        v->scrollTo(v->model()->index(list->listIndex(), 0));
                    }
                }
                return true;
            }
            if (key == Qt::Key_Space && list->multiSelect() != ListBox::None && list->listIndex() >= 0) {
                const int i = list->listIndex();
                QtDesktop::guarded([list, i] { Input::listClick(*list, i); });
                return true;
            }
            break;
        }
        case ControlKind::TextBox: {
            auto* box = static_cast<TextBox*>(c);
            if (key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Home || key == Qt::Key_End) {
                QtDesktop::guarded([this, code, shift] { Input::key(form_, code, shift); });
                return !alive_;   // the caret moves in the widget; its position goes back to the model
            }
            if (key == Qt::Key_Delete) {
                QtDesktop::guarded([this, box, code, shift] {
                    Input::key(form_, code, shift);
                    if (!Input::canTakeInput(*box) || box->locked()) return;
                    if (box->selLength() == 0) {
                        if (box->selStart() >= box->text().size()) return;
                        box->setSelLength(1);
                    }
                    box->replaceSelection(QString());
                });
                if (alive_) syncValue(c);
                return true;
            }
            const QString text = e->text();
            if (!text.isEmpty() && text.at(0).isPrint() && !(shift & (vbCtrlMask | vbAltMask))) {
                if (code == 0 || asciiOfKey(code, shift) != text.at(0).unicode()) {
                    QtDesktop::guarded([box, text] { Input::type(*box, text); });
                    if (alive_) syncValue(c);
                    return true;
                }
            }
            break;
        }
        default:
            break;
        }
    }
    if (code == 0) return false;
    QtDesktop::guarded([this, code, shift] { Input::key(form_, code, shift); });
    if (alive_ && c) syncValue(c);
    return true;
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
    case QEvent::MouseMove: {
        if (!c || c->kind() != ControlKind::ListBox) return false;
        auto* me = static_cast<QMouseEvent*>(e);
        const QPoint p = me->position().toPoint();
        int buttons = 0;
        if (me->buttons() & Qt::LeftButton) buttons |= vbLeftButton;
        if (me->buttons() & Qt::RightButton) buttons |= vbRightButton;
        QtDesktop::guarded([c, p, buttons] { Input::mouseMove(*c, QtDesktop::twips(p.x()), QtDesktop::twips(p.y()), buttons); });
        return false;
    }
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonPress: {
        if (!c) return false;
        keyNavigation_ = false;
        // Lists and grids take their selection from the model only (a grid's
        // header still takes the press: it starts a column drag).
        if (c->kind() == ControlKind::FlexGrid)
            return watched == static_cast<QTableView*>(widgets_.value(c))->viewport();
        return c->kind() == ControlKind::ListBox
            || (c->kind() == ControlKind::TreeView && static_cast<QMouseEvent*>(e)->button() == Qt::RightButton);
    }
    case QEvent::MouseButtonRelease: {
        if (!c) return false;
        auto* me = static_cast<QMouseEvent*>(e);
        const int button = me->button() == Qt::LeftButton ? vbLeftButton : (me->button() == Qt::RightButton ? vbRightButton : vbMiddleButton);
        const int shift = shiftOf(me->modifiers());
        const QPoint p = me->position().toPoint();
        auto* w = static_cast<QWidget*>(watched);
        if (c->kind() == ControlKind::FlexGrid) {
            auto* view = static_cast<QTableView*>(widgets_.value(c));
            GridItemModel* model = gridModels_.value(c);
            auto* grid = static_cast<FlexGrid*>(c);
            int row = -1, col = -1;
            if (w == view->viewport()) {
                const int r = view->rowAt(p.y()), cc = view->columnAt(p.x());
                row = r < 0 ? -1 : r + model->fixedRows();
                col = cc < 0 ? -1 : cc + model->fixedCols();
            } else if (w == view->horizontalHeader()->viewport()) {
                const int cc = view->horizontalHeader()->logicalIndexAt(p);
                row = 0;
                col = cc < 0 ? -1 : cc + model->fixedCols();
            } else if (w == view->verticalHeader()->viewport()) {
                const int r = view->verticalHeader()->logicalIndexAt(p);
                row = r < 0 ? -1 : r + model->fixedRows();
                col = 0;
            }
            if (row < 0) col = -1;
            if (col < 0) row = -1;
            QtDesktop::guarded([grid, row, col, button, shift] { Input::gridMouseUp(*grid, row, col, button, shift); });
            return false;
        }
        if (c->kind() == ControlKind::ListBox && w != widgets_.value(c)) {
            auto* view = static_cast<QListView*>(widgets_.value(c));
            const QModelIndex at = view->indexAt(p);
            auto* list = static_cast<ListBox*>(c);
            if (button == vbLeftButton && at.isValid()) {
                const int i = at.row();
                QtDesktop::guarded([list, i] { Input::listClick(*list, i); });
            } else {
                QtDesktop::guarded([c, button, shift, p] { Input::mouseUp(*c, button, shift, QtDesktop::twips(p.x()), QtDesktop::twips(p.y())); });
            }
            return true;
        }
        if (button == vbRightButton) {
            QtDesktop::guarded([c, shift, p] { Input::mouseUp(*c, vbRightButton, shift, QtDesktop::twips(p.x()), QtDesktop::twips(p.y())); });
            return c->kind() != ControlKind::TextBox;
        }
        if (button == vbLeftButton
            && (c->kind() == ControlKind::Label || c->kind() == ControlKind::Image || c->kind() == ControlKind::Frame)) {
            QtDesktop::guarded([c] { Input::click(*c); });
            return true;
        }
        return false;
    }
    case QEvent::ContextMenu:
        return c && c->kind() != ControlKind::TextBox;
    default:
        return false;
    }
}

} // namespace ui::qt
