#include "ui/Control.h"

#include "ui/Form.h"

#include <algorithm>
#include <cmath>

namespace ui {

void Object::notify(Prop p, int index, int index2, const void* item)
{
    if (ChangeObserver* o = ownerForm().observer()) o->changed(Change{this, p, index, index2, item});
}

// --- Control ---------------------------------------------------------------

Control::Control(Form& form, ControlKind kind, QString name, int index)
    : Object(std::move(name)), form_(&form), kind_(kind), index_(index), font_(form.font())
{
    // Controls follow each other in the order they were made; a window that
    // sets tab indexes itself puts those controls first, in its own order.
    tabIndex_ = kUnsetTabIndexBase + int(form.controls().size());
    switch (kind) {
    case ControlKind::TextBox:
    case ControlKind::ListBox:
    case ControlKind::ComboBox:
    case ControlKind::TreeView:
    case ControlKind::FlexGrid:
        back_ = kSysWindow;
        fore_ = kSysWindowText;
        break;
    default:
        break;
    }
    tabStop_ = canHoldFocus();
}

Control::~Control() = default;

void Control::raiseInvalidValue() const { throw UiError{380, QStringLiteral("Invalid property value")}; }

void Control::setContainer(Control* frame)
{
    if (detail::assign(container_, frame)) notify(Prop::Container);
}

void Control::setEnabled(bool on)
{
    if (enabled_ == on) return;
    enabled_ = on;
    notify(Prop::Enabled);
    enabledChanged();
}

void Control::setVisible(bool on)
{
    if (detail::assign(visible_, on)) notify(Prop::Visible);
}

void Control::setTag(const QString& t)
{
    if (detail::assign(tag_, t)) notify(Prop::Tag);
}

void Control::setToolTipText(const QString& t)
{
    if (detail::assign(toolTip_, t)) notify(Prop::ToolTip);
}

void Control::move(int left, int top, int width, int height)
{
    if (width < 0 || height < 0) raiseInvalidValue();
    if (left == left_ && top == top_ && width == width_ && height == height_) return;
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    notify(Prop::Geometry);
}

void Control::setBackColor(Color c)
{
    if (detail::assign(back_, c)) notify(Prop::BackColor);
}

void Control::setForeColor(Color c)
{
    if (detail::assign(fore_, c)) notify(Prop::ForeColor);
}

void Control::setFont(const Font& f)
{
    if (detail::assign(font_, f)) notify(Prop::Font);
}

void Control::setFontBold(bool bold)
{
    Font f = font_;
    f.bold = bold;
    setFont(f);
}

void Control::setMousePointer(int p)
{
    if (detail::assign(pointer_, p)) notify(Prop::MousePointer);
}

void Control::setMouseIcon(const Picture& p)
{
    if (detail::assign(mouseIcon_, p)) notify(Prop::MouseIcon);
}

void Control::setHelpTopic(int topic)
{
    if (detail::assign(helpTopic_, topic)) notify(Prop::HelpTopic);
}

void Control::showWhatsThis()
{
    if (helpTopic_ != 0) desktop().showHelp(form_, helpFile(), helpTopic_);
}

void Control::setTabIndex(int i)
{
    if (detail::assign(tabIndex_, i)) notify(Prop::TabOrder);
}

void Control::setTabStop(bool on)
{
    if (detail::assign(tabStop_, on)) notify(Prop::TabOrder);
}

bool Control::canHoldFocus() const
{
    switch (kind_) {
    case ControlKind::CommandButton:
    case ControlKind::TextBox:
    case ControlKind::CheckBox:
    case ControlKind::OptionButton:
    case ControlKind::ComboBox:
    case ControlKind::ListBox:
    case ControlKind::TreeView:
    case ControlKind::FlexGrid:
    case ControlKind::UpDown:
        return true;
    default:
        return false;
    }
}

bool Control::effectivelyEnabled() const
{
    for (const Control* c = this; c; c = c->container_)
        if (!c->enabled_) return false;
    return form_->enabled();
}

bool Control::effectivelyVisible() const
{
    for (const Control* c = this; c; c = c->container_)
        if (!c->visible_) return false;
    return form_->isShown();
}

void Control::setFocus()
{
    if (!form_->isLoaded() || !canHoldFocus() || !effectivelyEnabled() || !effectivelyVisible())
        throw UiError{5, QStringLiteral("Invalid procedure call or argument")};
    form_->setActiveControl(this);
}

bool Control::hasFocus() const { return form_->activeControl() == this; }

void Control::refresh()
{
    if (form_->isShown()) desktop().refresh(*form_, this);
}

// --- CommandButton -----------------------------------------------------------

CommandButton::CommandButton(Form& form, QString name, int index)
    : Control(form, ControlKind::CommandButton, std::move(name), index) {}

void CommandButton::setCaption(const QString& c)
{
    if (detail::assign(caption_, c)) notify(Prop::Caption);
}

void CommandButton::setStyle(int s)
{
    if (detail::assign(style_, s)) notify(Prop::Style);
}

void CommandButton::setPicture(const Picture& p)
{
    if (detail::assign(picture_, p)) notify(Prop::Picture);
}

bool CommandButton::isDefault() const { return form().defaultButton() == this; }

void CommandButton::setDefault(bool on)
{
    if (on) form().setDefaultButton(this);
    else if (isDefault()) form().setDefaultButton(nullptr);
}

bool CommandButton::isCancel() const { return form().cancelButton() == this; }

void CommandButton::setCancel(bool on)
{
    if (on) form().setCancelButton(this);
    else if (isCancel()) form().setCancelButton(nullptr);
}

void CommandButton::setValue(bool press)
{
    if (press) this->press();
}

void CommandButton::press()
{
    if (!enabled()) return;
    Click();
}

// --- Label -------------------------------------------------------------------

Label::Label(Form& form, QString name, int index) : Control(form, ControlKind::Label, std::move(name), index)
{
    setTabStop(false);
}

void Label::setCaption(const QString& c)
{
    if (caption_ == c) return;
    caption_ = c;
    notify(Prop::Caption);
    Change();
}

void Label::setAlignment(int a)
{
    if (detail::assign(alignment_, a)) notify(Prop::Alignment);
}

void Label::setWordWrap(bool on)
{
    if (detail::assign(wordWrap_, on)) notify(Prop::WordWrap);
}

// --- TextBox -------------------------------------------------------------------

TextBox::TextBox(Form& form, QString name, int index) : Control(form, ControlKind::TextBox, std::move(name), index) {}

void TextBox::setText(const QString& t)
{
    QString v = t;
    if (maxLength_ > 0 && v.size() > maxLength_) v.truncate(maxLength_);
    if (text_ == v) return;
    text_ = v;
    selStart_ = 0;
    selLength_ = 0;
    notify(Prop::Text);
    Change();
}

void TextBox::setSelStart(int s)
{
    s = std::clamp(s, 0, int(text_.size()));
    if (s == selStart_ && selLength_ == 0) return;
    selStart_ = s;
    selLength_ = 0;
    notify(Prop::Selection);
}

void TextBox::setSelLength(int n)
{
    n = std::clamp(n, 0, int(text_.size()) - selStart_);
    if (n == selLength_) return;
    selLength_ = n;
    notify(Prop::Selection);
}

void TextBox::replaceSelection(const QString& t)
{
    QString ins = t;
    if (!multiLine_) ins.remove(QLatin1Char('\r')).remove(QLatin1Char('\n'));
    const int keep = int(text_.size()) - selLength_;
    if (maxLength_ > 0 && keep + ins.size() > maxLength_) ins.truncate(std::max(0, maxLength_ - keep));
    const QString next = text_.left(selStart_) + ins + text_.mid(selStart_ + selLength_);
    const int caret = selStart_ + int(ins.size());
    const bool changed = next != text_;
    text_ = next;
    selStart_ = caret;
    selLength_ = 0;
    if (changed) {
        notify(Prop::Text);
        Change();
    } else {
        notify(Prop::Selection);
    }
}

void TextBox::setLocked(bool on)
{
    if (detail::assign(locked_, on)) notify(Prop::Locked);
}

void TextBox::setMaxLength(int n)
{
    if (n < 0) raiseInvalidValue();
    if (maxLength_ == n) return;
    maxLength_ = n;
    notify(Prop::MaxLength);
}

void TextBox::setMultiLine(bool on)
{
    if (detail::assign(multiLine_, on)) notify(Prop::MultiLine);
}

void TextBox::setAlignment(int a)
{
    if (detail::assign(alignment_, a)) notify(Prop::Alignment);
}

// --- CheckBox ------------------------------------------------------------------

CheckBox::CheckBox(Form& form, QString name, int index) : Control(form, ControlKind::CheckBox, std::move(name), index) {}

void CheckBox::setCaption(const QString& c)
{
    if (detail::assign(caption_, c)) notify(Prop::Caption);
}

void CheckBox::setValue(int v)
{
    if (v < 0 || v > 2) raiseInvalidValue();
    if (value_ == v) return;
    value_ = v;
    notify(Prop::Value);
    Click();
}

// --- OptionButton ----------------------------------------------------------------

OptionButton::OptionButton(Form& form, QString name, int index)
    : Control(form, ControlKind::OptionButton, std::move(name), index) {}

void OptionButton::setCaption(const QString& c)
{
    if (detail::assign(caption_, c)) notify(Prop::Caption);
}

void OptionButton::setValue(bool on)
{
    if (value_ == on) return;
    if (on) {
        for (Control* c : form().controls()) {
            if (c == this || c->kind() != ControlKind::OptionButton || c->container() != container()) continue;
            auto* other = static_cast<OptionButton*>(c);
            if (other->value_) {
                other->value_ = false;
                other->notify(Prop::Value);
            }
        }
    }
    value_ = on;
    notify(Prop::Value);
    if (on) Click();
}

// --- ComboBox ----------------------------------------------------------------------

ComboBox::ComboBox(Form& form, QString name, int index) : Control(form, ControlKind::ComboBox, std::move(name), index) {}

void ComboBox::addItem(const QString& text, int index)
{
    if (index < -1 || index > listCount()) raiseInvalidValue();
    const int at = index < 0 ? listCount() : index;
    items_.insert(at, text);
    data_.insert(at, 0);
    newIndex_ = at;
    if (listIndex_ >= at) ++listIndex_;
    notify(Prop::ItemInserted, at);
}

void ComboBox::removeItem(int index)
{
    if (index < 0 || index >= listCount()) throw UiError{381, QStringLiteral("Invalid property array index")};
    items_.removeAt(index);
    data_.removeAt(index);
    if (listIndex_ == index) listIndex_ = -1;
    else if (listIndex_ > index) --listIndex_;
    notify(Prop::ItemRemoved, index);
}

void ComboBox::clear()
{
    items_.clear();
    data_.clear();
    listIndex_ = -1;
    newIndex_ = -1;
    notify(Prop::ItemsCleared);
}

QString ComboBox::list(int index) const { return items_.value(index); }

int ComboBox::itemData(int index) const
{
    if (index < 0 || index >= listCount()) throw UiError{381, QStringLiteral("Invalid property array index")};
    return data_[index];
}

void ComboBox::setItemData(int index, int data)
{
    if (index < 0 || index >= listCount()) throw UiError{381, QStringLiteral("Invalid property array index")};
    data_[index] = data;
    notify(Prop::ItemData, index);
}

void ComboBox::setListIndex(int i)
{
    if (i < -1 || i >= listCount()) raiseInvalidValue();
    if (listIndex_ == i) return;
    listIndex_ = i;
    notify(Prop::ListIndex);
    Click();
}

// --- Frame, Image --------------------------------------------------------------------

Frame::Frame(Form& form, QString name, int index) : Control(form, ControlKind::Frame, std::move(name), index) {}

void Frame::setCaption(const QString& c)
{
    if (detail::assign(caption_, c)) notify(Prop::Caption);
}

Image::Image(Form& form, QString name, int index) : Control(form, ControlKind::Image, std::move(name), index) {}

void Image::setPicture(const Picture& p)
{
    if (detail::assign(picture_, p)) notify(Prop::Picture);
}

void Image::setStretch(bool on)
{
    if (detail::assign(stretch_, on)) notify(Prop::Geometry);
}

// --- Timer -------------------------------------------------------------------------

Timer::Timer(Form& form, QString name, int index) : Control(form, ControlKind::Timer, std::move(name), index)
{
    setVisible(false);
}

void Timer::setInterval(int ms)
{
    if (ms < 0 || ms > 65535) raiseInvalidValue();
    if (interval_ == ms) return;
    interval_ = ms;
    notify(Prop::Interval);
    sync();
}

void Timer::sync()
{
    const bool want = enabled() && interval_ > 0 && form().isLoaded() && !programHasEnded();
    if (want) {
        running_ = true;
        desktop().timerStarted(*this);
    } else if (running_) {
        running_ = false;
        if (Desktop* d = installedDesktop()) d->timerStopped(*this);
    }
}

// --- ProgressBar -------------------------------------------------------------------

ProgressBar::ProgressBar(Form& form, QString name, int index)
    : Control(form, ControlKind::ProgressBar, std::move(name), index)
{
    setTabStop(false);
}

void ProgressBar::setMin(double v)
{
    // A value that is no number would leave the bar with no range to show.
    if (!std::isfinite(v) || v >= max_) raiseInvalidValue();
    if (min_ == v) return;
    min_ = v;
    if (value_ < min_) value_ = min_;
    notify(Prop::Min);
}

void ProgressBar::setMax(double v)
{
    if (!std::isfinite(v) || v <= min_) raiseInvalidValue();
    if (max_ == v) return;
    max_ = v;
    if (value_ > max_) value_ = max_;
    notify(Prop::Max);
}

void ProgressBar::setValue(double v)
{
    if (!(v >= min_ && v <= max_)) raiseInvalidValue();
    if (value_ == v) return;
    value_ = v;
    notify(Prop::Value);
}

// --- UpDown ----------------------------------------------------------------------------

UpDown::UpDown(Form& form, QString name, int index) : Control(form, ControlKind::UpDown, std::move(name), index) {}

void UpDown::setMin(int v)
{
    if (detail::assign(min_, v)) notify(Prop::Min);
}

void UpDown::setMax(int v)
{
    if (detail::assign(max_, v)) notify(Prop::Max);
}

void UpDown::setIncrement(int v)
{
    if (v <= 0) raiseInvalidValue();
    if (increment_ == v) return;
    increment_ = v;
    notify(Prop::Increment);
}

void UpDown::setValue(int v)
{
    if (v < std::min(min_, max_) || v > std::max(min_, max_)) raiseInvalidValue();
    if (value_ == v) return;
    value_ = v;
    notify(Prop::Value);
    if (buddy_) {
        const QString text = QString::number(v);
        if (buddyProp_ == BuddyProperty::Text && buddy_->kind() == ControlKind::TextBox)
            static_cast<TextBox*>(buddy_)->setText(text);
        else if (buddyProp_ == BuddyProperty::Caption && buddy_->kind() == ControlKind::Label)
            static_cast<Label*>(buddy_)->setCaption(text);
    }
    Change();
}

void UpDown::step(int direction, int presses)
{
    if (direction == 0 || presses <= 0) return;
    const int lo = std::min(min_, max_);
    const int hi = std::max(min_, max_);
    const long long target = (long long)value_ + (long long)presses * (direction > 0 ? increment_ : -increment_);
    setValue(int(std::clamp<long long>(target, lo, hi)));
}

void UpDown::setBuddy(Control* buddy, BuddyProperty prop)
{
    if (buddy && !((prop == BuddyProperty::Text && buddy->kind() == ControlKind::TextBox)
                   || (prop == BuddyProperty::Caption && buddy->kind() == ControlKind::Label)))
        raiseInvalidValue();
    buddy_ = buddy;
    buddyProp_ = prop;
    notify(Prop::Buddy);
}

// --- FormResizer ---------------------------------------------------------------------------

FormResizer::FormResizer(Form& form, QString name, int index)
    : Control(form, ControlKind::FormResizer, std::move(name), index)
{
    setVisible(false);
}

void FormResizer::setResizeFonts(bool on)
{
    if (detail::assign(resizeFonts_, on)) notify(Prop::ResizeFonts);
}

// --- CommonDialog -------------------------------------------------------------------------

CommonDialog::CommonDialog(Form& form, QString name, int index)
    : Control(form, ControlKind::CommonDialog, std::move(name), index)
{
    setVisible(false);
}

bool CommonDialog::showOpen() { return run(int(FileDialogKind::Open)); }
bool CommonDialog::showSave() { return run(int(FileDialogKind::Save)); }
bool CommonDialog::showFolder() { return run(int(FileDialogKind::Folder)); }
bool CommonDialog::showPrinter() { return run(-1); }

bool CommonDialog::run(int kind)
{
    bool accepted = false;
    if (kind < 0) {
        const PrinterDialogResult r = desktop().printerDialog(&form(), flags);
        accepted = r.accepted;
        if (accepted) printerName = r.printerName;
    } else {
        FileDialogRequest req;
        req.kind = FileDialogKind(kind);
        req.title = dialogTitle;
        req.initDir = initDir;
        req.fileName = fileName;
        req.defaultExt = defaultExt;
        req.filter = filter;
        req.flags = flags;
        const FileDialogResult r = desktop().fileDialog(&form(), req);
        accepted = r.accepted;
        if (accepted) {
            fileName = r.fileName;
            if (req.kind == FileDialogKind::Folder && !fileName.endsWith(QLatin1Char('\\')))
                fileName += QLatin1Char('\\');
            const qsizetype cut = fileName.lastIndexOf(QLatin1Char('\\'));
            fileTitle = cut < 0 ? fileName : fileName.mid(cut + 1);
        }
    }
    if (!accepted && cancelError) throw UiError{32755, QStringLiteral("Cancel was selected.")};
    return accepted;
}

// --- InternetTransfer ------------------------------------------------------------------------

InternetTransfer::InternetTransfer(Form& form, QString name, int index)
    : Control(form, ControlKind::InternetTransfer, std::move(name), index)
{
    setVisible(false);
}

QString InternetTransfer::openUrl(const QString& url)
{
    const FetchResult r = desktop().openUrl(url, requestTimeout);
    if (!r.ok) throw UiError{r.errorNumber, r.errorDescription};
    return r.text;
}

// --- Menu ------------------------------------------------------------------------------------

Menu::Menu(Form& form, QString name, int index) : Control(form, ControlKind::Menu, std::move(name), index) {}

void Menu::setParentMenu(Menu* parent)
{
    if (parent_ == parent) return;
    if (parent_) std::erase(parent_->items_, this);
    parent_ = parent;
    if (parent_) parent_->items_.push_back(this);
    notify(Prop::Container);
}

void Menu::setCaption(const QString& c)
{
    if (detail::assign(caption_, c)) notify(Prop::Caption);
}

void Menu::setChecked(bool on)
{
    if (detail::assign(checked_, on)) notify(Prop::Checked);
}

void Menu::setShortcut(const QString& s)
{
    if (detail::assign(shortcut_, s)) notify(Prop::Shortcut);
}

Menu* Menu::topMenu()
{
    Menu* m = this;
    while (m->parent_) m = m->parent_;
    return m;
}

bool Menu::effectivelyAvailable() const
{
    for (const Menu* m = this; m; m = m->parent_)
        if (!m->enabled() || !m->visible()) return false;
    return true;
}

namespace {
template <class F>
bool withCaptioned(Control& c, F&& f)
{
    switch (c.kind()) {
    case ControlKind::CommandButton: f(static_cast<CommandButton&>(c)); return true;
    case ControlKind::Label: f(static_cast<Label&>(c)); return true;
    case ControlKind::CheckBox: f(static_cast<CheckBox&>(c)); return true;
    case ControlKind::OptionButton: f(static_cast<OptionButton&>(c)); return true;
    case ControlKind::Frame: f(static_cast<Frame&>(c)); return true;
    case ControlKind::Menu: f(static_cast<Menu&>(c)); return true;
    default: return false;
    }
}
} // namespace

bool hasCaption(const Control& c)
{
    return withCaptioned(const_cast<Control&>(c), [](auto&) {});
}

QString captionOf(const Control& c)
{
    QString text;
    withCaptioned(const_cast<Control&>(c), [&](auto& k) { text = k.caption(); });
    return text;
}

bool setCaptionOf(Control& c, const QString& text)
{
    return withCaptioned(c, [&](auto& k) { k.setCaption(text); });
}

} // namespace ui
