#pragma once
// A window of the program. Each window is a subclass that creates its
// controls in build() (called by every load, so a reloaded form starts from
// its design state) and wires its handlers there and in its constructor.
//
// Lifecycle:
// - load(): nothing when loaded; else build(), Load, then each FormResizer's
//   ResizeDone (once per load; the form is still hidden).
// - show(Modeless|Modal): loads when needed. A modal show returns only when
//   the form was unloaded or hidden and the handler that did it has unwound;
//   a form that hid itself may be shown modally again from that handler
//   (the levels nest).
// - hide(): nothing when the form is not loaded (it is never loaded
//   silently).
// - unload(): nothing when not loaded or already unloading; else
//   QueryUnload(cancel, mode) and Unload(cancel); either may cancel. Safe
//   from inside the form's own handlers: the controls stay valid (though
//   stale) until no handler is running, and the next load builds new ones.
// - endProgram() ends everything at once without any QueryUnload/Unload.
// Accessing the controls of an unloaded form is a logic error.

#include "ui/Control.h"
#include "ui/Desktop.h"

#include <memory>
#include <vector>

namespace ui {

enum ShowMode { Modeless = 0, Modal = 1 };
enum UnloadMode { vbFormControlMenu = 0, vbFormCode = 1 };

// Elements of a control array, indexed by their Index (0/1 per structure).
template <class T>
class ControlArray {
public:
    T* operator[](int index) const { return items_.at(std::size_t(index)); }
    T* at(int index) const { return items_.at(std::size_t(index)); }
    int count() const { return int(items_.size()); }
    void set(int index, T* c)
    {
        if (int(items_.size()) <= index) items_.resize(std::size_t(index) + 1, nullptr);
        items_[std::size_t(index)] = c;
    }
    void clear() { items_.clear(); }
    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

private:
    std::vector<T*> items_;
};

class Form : public Object {
public:
    explicit Form(QString name);
    ~Form() override;
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;
    Form& ownerForm() override { return *this; }

    // --- Lifecycle ---------------------------------------------------------
    void load();
    void show(ShowMode mode = Modeless);
    void hide();
    // Returns true when the form is unloaded afterwards.
    bool unload(int unloadMode = vbFormCode);
    bool isLoaded() const { return loaded_; }
    bool isShown() const { return loaded_ && visible_; }
    bool isModal() const { return modalLevels_ > 0; }

    // --- Properties ----------------------------------------------------
    const QString& caption() const { return caption_; }
    void setCaption(const QString& c);
    bool visible() const { return visible_; }
    bool enabled() const { return enabled_; }
    void setEnabled(bool on);
    const QString& tag() const { return tag_; }
    void setTag(const QString& t);
    int mousePointer() const { return pointer_; }
    void setMousePointer(int p);
    const Picture& mouseIcon() const { return mouseIcon_; }
    void setMouseIcon(const Picture& p);
    bool keyPreview() const { return keyPreview_; }
    void setKeyPreview(bool on);
    Color backColor() const { return back_; }
    void setBackColor(Color c);
    const Font& font() const { return font_; }
    void setFont(const Font& f);
    int windowState() const { return windowState_; }   // 0 normal, 1 minimised, 2 maximised
    void setWindowState(int s);
    // The title bar's minimise and maximise buttons, part of a window's
    // design (both by default). A window shown modally offers no minimise
    // button whatever its design: minimised, it would leave the program
    // waiting behind a window that is nowhere to be seen.
    bool minButton() const { return minButton_; }
    void setMinButton(bool on);
    bool maxButton() const { return maxButton_; }
    void setMaxButton(bool on);
    int left() const { return left_; }
    int top() const { return top_; }
    int width() const { return width_; }
    int height() const { return height_; }
    void move(int left, int top, int width, int height);
    // Whether the program set Left or Top since the window last stood
    // somewhere (a design's own place in build() does not count): such a
    // form opens where the program put it, any other over its owner.
    bool placedByProgram() const { return placedByProgram_; }
    // The backend reports where the window stands (outer frame, twips): the
    // form's Left, Top, Width and Height read the truth, and the program's
    // own place has been used.
    void windowPlaced(int left, int top, int width, int height);
    int helpTopic() const { return helpTopic_; }
    void setHelpTopic(int t) { helpTopic_ = t; }

    CommandButton* defaultButton() const { return default_; }
    void setDefaultButton(CommandButton* b);
    CommandButton* cancelButton() const { return cancel_; }
    void setCancelButton(CommandButton* b);

    // The control holding the focus (nullptr: none).
    Control* activeControl() const { return active_; }

    // --- Controls --------------------------------------------------------
    // In creation order, menus included (the Controls collection).
    const std::vector<Control*>& controls() const { return order_; }
    Control* control(const QString& name, int index = -1) const;
    template <class T>
    T* add(const QString& name, int index = -1, Control* container = nullptr)
    {
        auto c = std::make_unique<T>(*this, name, index);
        T* raw = c.get();
        adopt(std::move(c), container);
        return raw;
    }
    // Adds element `index` of control array `array`.
    template <class T>
    T* addTo(ControlArray<T>& array, const QString& name, int index, Control* container = nullptr)
    {
        T* c = add<T>(name, index, container);
        array.set(index, c);
        return c;
    }
    // A menu under `parent` (nullptr: a top-level menu of the bar).
    Menu* addMenu(const QString& name, const QString& caption, Menu* parent = nullptr, int index = -1);

    // Pops up a menu: its opening Click, then (when the user chose an
    // available item) the item's Click, all before this returns.
    void popupMenu(Menu& menu, int flags = 0, int x = -1, int y = -1);

    // Repaints the form now.
    void refresh();

    // --- Backend -----------------------------------------------------------
    ChangeObserver* observer() const { return observer_; }
    void setObserver(ChangeObserver* o) { observer_ = o; }

    // --- Events ----------------------------------------------------------
    Event<> Load;
    Event<bool&, int> QueryUnload;   // Cancel, UnloadMode
    Event<bool&> Unload;             // Cancel
    Event<int&, int> KeyDown;        // KeyCode, Shift (with KeyPreview)
    Event<int&> KeyPress;            // KeyAscii (with KeyPreview)

protected:
    // Creates the controls (design state). Called by every load.
    virtual void build() {}

private:
    friend class Control;
    friend class Input;
    void adopt(std::unique_ptr<Control> c, Control* container);
    void setActiveControl(Control* c);   // raises LostFocus/GotFocus
    void focusFirstInTabOrder();
    void dropControls();
    void purgeGraveyard();

    QString caption_;
    QString tag_;
    bool loaded_ = false;
    bool visible_ = false;
    bool enabled_ = true;
    bool unloading_ = false;
    bool keyPreview_ = false;
    int pointer_ = vbDefault;
    Picture mouseIcon_;
    Color back_ = kSysButtonFace;
    Font font_;
    int windowState_ = 0;
    bool minButton_ = true;
    bool maxButton_ = true;
    int left_ = 0, top_ = 0, width_ = 6000, height_ = 4500;
    bool placedByProgram_ = false;
    int helpTopic_ = 0;
    int modalLevels_ = 0;
    CommandButton* default_ = nullptr;
    CommandButton* cancel_ = nullptr;
    Control* active_ = nullptr;
    ChangeObserver* observer_ = nullptr;
    std::vector<std::unique_ptr<Control>> owned_;
    std::vector<Control*> order_;
    std::vector<std::unique_ptr<Control>> graveyard_;
};

// Loaded forms, in load order.
const std::vector<Form*>& loadedForms();
// Forms in a modal wait, innermost last (a form shown modally again after
// hiding itself appears twice).
const std::vector<Form*>& modalStack();
// The form that takes input: the innermost modal form, or nullptr when no
// modal wait runs (then every shown form takes input).
Form* topModalForm();

} // namespace ui
