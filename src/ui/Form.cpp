#include "ui/Form.h"

#include <algorithm>

namespace ui {

namespace {
std::vector<Form*> loaded;
std::vector<Form*> modal;

// Pops the form's modal level however the wait ends (ProgramEnd included).
struct ModalLevel {
    Form* form;
    int& levels;
    ModalLevel(Form* f, int& l) : form(f), levels(l)
    {
        ++levels;
        modal.push_back(form);
    }
    ~ModalLevel()
    {
        --levels;
        auto it = std::find(modal.rbegin(), modal.rend(), form);
        if (it != modal.rend()) modal.erase(std::next(it).base());
    }
    ModalLevel(const ModalLevel&) = delete;
    ModalLevel& operator=(const ModalLevel&) = delete;
};
} // namespace

const std::vector<Form*>& loadedForms() { return loaded; }
const std::vector<Form*>& modalStack() { return modal; }
Form* topModalForm() { return modal.empty() ? nullptr : modal.back(); }

Form::Form(QString name) : Object(std::move(name)) {}

Form::~Form()
{
    std::erase(loaded, this);
    std::erase(modal, this);
    for (const auto& c : owned_)
        if (c->kind() == ControlKind::Timer) {
            auto* t = static_cast<Timer*>(c.get());
            if (t->running())
                if (Desktop* d = installedDesktop()) d->timerStopped(*t);
        }
    if (observer_) observer_->formDestroyed();
}

// --- Lifecycle -------------------------------------------------------------

void Form::load()
{
    if (loaded_) return;
    purgeGraveyard();
    loaded_ = true;
    loaded.push_back(this);
    build();
    // A design's place is no place on the screen: where the window last
    // stood (or 0, 0) is not the program's request.
    placedByProgram_ = false;
    desktop().formLoaded(*this);
    Load();
    if (!loaded_) return;
    std::vector<Control*> resizers;
    for (Control* c : order_)
        if (c->kind() == ControlKind::FormResizer) resizers.push_back(c);
    for (Control* c : resizers) {
        if (!loaded_) return;
        static_cast<FormResizer*>(c)->ResizeDone();
    }
}

void Form::show(ShowMode mode)
{
    if (!loaded_) {
        load();
        if (!loaded_) return;
    }
    if (mode == Modal) {
        if (visible_) throw UiError{400, QStringLiteral("Form already displayed; can't show modally")};
        ModalLevel level(this, modalLevels_);
        visible_ = true;
        notify(Prop::Visible);
        desktop().formShown(*this, true);
        focusFirstInTabOrder();
        desktop().runModal(*this);
        return;
    }
    if (visible_) {
        desktop().bringToFront(*this);
        return;
    }
    visible_ = true;
    notify(Prop::Visible);
    // A modal window hidden and shown again (the results window after an
    // explanation) is still inside its modal wait: it stays modal on screen.
    desktop().formShown(*this, modalLevels_ > 0);
    focusFirstInTabOrder();
}

void Form::hide()
{
    if (!loaded_ || !visible_) return;
    visible_ = false;
    notify(Prop::Visible);
    desktop().formHidden(*this);
}

bool Form::unload(int unloadMode)
{
    if (!loaded_) return true;
    if (unloading_ || programHasEnded()) return false;
    struct Flag {
        bool& f;
        explicit Flag(bool& b) : f(b) { f = true; }
        ~Flag() { f = false; }
    } flag(unloading_);

    bool cancel = false;
    QueryUnload(cancel, unloadMode);
    if (cancel || !loaded_) return !loaded_;
    cancel = false;
    Unload(cancel);
    if (cancel || !loaded_) return !loaded_;

    if (visible_) {
        visible_ = false;
        notify(Prop::Visible);
        desktop().formHidden(*this);
    }
    loaded_ = false;
    dropControls();
    std::erase(loaded, this);
    desktop().formUnloaded(*this);
    return true;
}

void Form::dropControls()
{
    for (const auto& c : owned_) {
        if (c->kind() == ControlKind::Timer) static_cast<Timer*>(c.get())->sync();
    }
    for (auto& c : owned_) graveyard_.push_back(std::move(c));
    owned_.clear();
    order_.clear();
    default_ = nullptr;
    cancel_ = nullptr;
    active_ = nullptr;
    purgeGraveyard();
}

void Form::purgeGraveyard()
{
    if (detail::dispatchDepth == 0) graveyard_.clear();
}

// --- Properties --------------------------------------------------------------

void Form::setCaption(const QString& c)
{
    if (detail::assign(caption_, c)) notify(Prop::Caption);
}

void Form::setEnabled(bool on)
{
    if (detail::assign(enabled_, on)) notify(Prop::Enabled);
}

void Form::setTag(const QString& t)
{
    if (detail::assign(tag_, t)) notify(Prop::Tag);
}

void Form::setMousePointer(int p)
{
    if (pointer_ == p) return;
    pointer_ = p;
    notify(Prop::MousePointer);
    if (Desktop* d = installedDesktop()) d->mousePointerChanged(*this);
}

void Form::setMouseIcon(const Picture& p)
{
    if (detail::assign(mouseIcon_, p)) notify(Prop::MouseIcon);
}

void Form::setKeyPreview(bool on)
{
    if (detail::assign(keyPreview_, on)) notify(Prop::KeyPreview);
}

void Form::setBackColor(Color c)
{
    if (detail::assign(back_, c)) notify(Prop::BackColor);
}

void Form::setFont(const Font& f)
{
    if (detail::assign(font_, f)) notify(Prop::Font);
}

void Form::setWindowState(int s)
{
    if (s < 0 || s > 2) throw UiError{380, QStringLiteral("Invalid property value")};
    if (windowState_ == s) return;
    windowState_ = s;
    notify(Prop::WindowState);
}

void Form::setMinButton(bool on)
{
    if (detail::assign(minButton_, on)) notify(Prop::WindowButtons);
}

void Form::setMaxButton(bool on)
{
    if (detail::assign(maxButton_, on)) notify(Prop::WindowButtons);
}

void Form::move(int left, int top, int width, int height)
{
    if (left == left_ && top == top_ && width == width_ && height == height_) return;
    if (left != left_ || top != top_) placedByProgram_ = true;
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    notify(Prop::Geometry);
}

void Form::windowPlaced(int left, int top, int width, int height)
{
    // Only the window mirrors this; it already stands there.
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    placedByProgram_ = false;
}

void Form::setDefaultButton(CommandButton* b)
{
    if (detail::assign(default_, b)) notify(Prop::DefaultButton);
}

void Form::setCancelButton(CommandButton* b)
{
    if (detail::assign(cancel_, b)) notify(Prop::CancelButton);
}

// --- Controls ----------------------------------------------------------------

void Form::adopt(std::unique_ptr<Control> c, Control* container)
{
    c->container_ = container;
    order_.push_back(c.get());
    owned_.push_back(std::move(c));
}

Control* Form::control(const QString& name, int index) const
{
    for (Control* c : order_)
        if (c->index() == index && c->name().compare(name, Qt::CaseInsensitive) == 0) return c;
    return nullptr;
}

Menu* Form::addMenu(const QString& name, const QString& caption, Menu* parent, int index)
{
    Menu* m = add<Menu>(name, index);
    m->setCaption(caption);
    m->setParentMenu(parent);
    return m;
}

void Form::popupMenu(Menu& menu, int flags, int x, int y)
{
    menu.Click();
    if (!loaded_) return;
    Menu* chosen = desktop().popupMenu(*this, menu, flags, x, y);
    if (!chosen) return;
    for (const Menu* m = chosen; m && m != &menu; m = m->parentMenu())
        if (!m->enabled() || !m->visible()) return;
    chosen->Click();
}

void Form::refresh()
{
    if (isShown()) desktop().refresh(*this, nullptr);
}

void Form::setActiveControl(Control* c)
{
    if (c == active_) return;
    Control* old = active_;
    active_ = c;
    notify(Prop::Focus);
    if (old) old->LostFocus();
    if (c && active_ == c && loaded_) c->GotFocus();
}

void Form::focusFirstInTabOrder()
{
    if (active_ && active_->effectivelyEnabled() && active_->effectivelyVisible()) return;
    Control* best = nullptr;
    for (Control* c : order_) {
        if (!c->canHoldFocus() || !c->tabStop() || !c->effectivelyEnabled() || !c->effectivelyVisible()) continue;
        if (!best || c->tabIndex() < best->tabIndex()) best = c;
    }
    if (best) setActiveControl(best);
}

} // namespace ui
