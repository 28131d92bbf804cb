#pragma once
// Value types shared by every part of the window model: colours, fonts,
// pictures, the error the model raises, the event slot and the change
// notification through which a backend mirrors the model.

#include <QString>
#include <cstdint>
#include <functional>
#include <stdexcept>

namespace ui {

// Colours are the original's longs: &HBBGGRR, or &H800000nn for system colour nn.
using Color = std::uint32_t;
// A grid cell whose colour was never set reads back as this value; writing it
// clears the cell's own colour again (the grid's colour shows through).
inline constexpr Color kColorUnset = 0xFFFFFFFFu;
inline constexpr bool isSystemColor(Color c) { return c != kColorUnset && (c & 0xFF000000u) == 0x80000000u; }
inline constexpr int systemColorIndex(Color c) { return int(c & 0xFFu); }
inline constexpr int colorRed(Color c) { return int(c & 0xFFu); }
inline constexpr int colorGreen(Color c) { return int((c >> 8) & 0xFFu); }
inline constexpr int colorBlue(Color c) { return int((c >> 16) & 0xFFu); }
inline constexpr Color rgb(int r, int g, int b) { return Color(r & 0xFF) | (Color(g & 0xFF) << 8) | (Color(b & 0xFF) << 16); }

inline constexpr Color kSysButtonFace = 0x8000000Fu;
inline constexpr Color kSysButtonText = 0x80000012u;
inline constexpr Color kSysWindow = 0x80000005u;
inline constexpr Color kSysWindowText = 0x80000008u;

struct Font {
    QString name = QStringLiteral("Verdana");
    double size = 7.8;   // points
    bool bold = false;
    int charset = 161;   // Greek
    bool operator==(const Font&) const = default;
};

// A picture from the program's resources; a cursor picture carries its hot spot.
struct Picture {
    QString resource;   // empty: no picture
    int hotX = 0;
    int hotY = 0;
    bool isNull() const { return resource.isEmpty(); }
    bool operator==(const Picture&) const = default;
};

// Mouse pointers the program uses.
enum MousePointer : int { vbDefault = 0, vbArrow = 1, vbHourglass = 11, vbCustom = 99 };

// Mouse buttons as MouseUp reports them.
enum MouseButton : int { vbLeftButton = 1, vbRightButton = 2, vbMiddleButton = 4 };
// Shift states.
enum ShiftState : int { vbShiftMask = 1, vbCtrlMask = 2, vbAltMask = 4 };

// An error the model raises by number (35601, 35602, 32755, 5, 380, ...).
// The window traps catch it like any run-time error.
struct UiError {
    int number = 0;
    QString description;
};

namespace detail {
// Sets a property's member; true when the value really changed (the
// setters notify, and raise their events, only then).
template <class T>
bool assign(T& member, const T& value)
{
    if (member == value) return false;
    member = value;
    return true;
}

// How many event handlers are running right now (anywhere). Controls of an
// unloaded form are destroyed only when no handler can still be on the stack.
extern int dispatchDepth;
struct DispatchScope {
    DispatchScope() { ++dispatchDepth; }
    ~DispatchScope() { --dispatchDepth; }
    DispatchScope(const DispatchScope&) = delete;
    DispatchScope& operator=(const DispatchScope&) = delete;
};
} // namespace detail

// A single-slot event. Raising it calls the handler synchronously; handlers
// may raise further events (nested) and may even replace themselves.
// By-reference arguments (Cancel, KeyAscii) are passed as bool& / int&.
template <class... Args>
class Event {
public:
    using Handler = std::function<void(Args...)>;
    Event& operator=(Handler h) { handler_ = std::move(h); return *this; }
    explicit operator bool() const { return bool(handler_); }
    void operator()(Args... args) const {
        if (!handler_) return;
        Handler h = handler_;   // the handler may reassign this slot while it runs
        detail::DispatchScope scope;
        h(std::forward<Args>(args)...);
    }

private:
    Handler handler_;
};

// Identifies what changed, for a backend that mirrors the model.
enum class Prop {
    // common
    Caption, Text, Value, Enabled, Visible, Tag, ToolTip, Geometry, BackColor, ForeColor, Font,
    MousePointer, MouseIcon, HelpTopic, TabOrder, Picture, Alignment, WordWrap, Container,
    Focus,
    // form
    KeyPreview, DefaultButton, CancelButton, WindowState, WindowButtons,
    // button
    Style,
    // text box
    Selection, Locked, MaxLength, MultiLine,
    // list and combo box: index = item (or -1 for the whole list)
    ItemInserted, ItemRemoved, ItemsCleared, ItemText, ItemData, ListIndex, Selected, TopIndex,
    Sorted, MultiSelect, ItemsReordered,
    // menu
    Checked, Shortcut,
    // tree: item = the TreeNode
    NodeAdded, NodeRemoved, NodesCleared, NodeText, NodeExpanded, NodeSelected, NodeSorted,
    // grid: index = row, index2 = col (-1: all)
    GridShape, CellText, CellBackColor, CellForeColor, CurrentCell, ColWidth, ColAlignment,
    FixedAlignment, TopRow, LeftCol, MergeCells, MergeRow, RowHeight,
    // progress bar, up-down, timer
    Min, Max, Increment, Buddy, Interval,
    // resizer
    ResizeFonts,
};

class Object;

struct Change {
    Object* object = nullptr;   // the Form or Control that changed
    Prop prop = Prop::Caption;
    int index = -1;
    int index2 = -1;
    const void* item = nullptr; // TreeNode* for node changes
};

// Receives every property change of one form and its controls. A backend
// installs one per form it shows (Form::setObserver); a form without an
// observer (the hidden working form) pays one null test per change.
class ChangeObserver {
public:
    virtual ~ChangeObserver() = default;
    virtual void changed(const Change& c) = 0;
    // The observed form is being destroyed: nothing may reach it afterwards.
    virtual void formDestroyed() {}
};

class Form;

// Common base of forms and controls.
class Object {
public:
    virtual ~Object() = default;
    virtual Form& ownerForm() = 0;
    const QString& name() const { return name_; }

protected:
    explicit Object(QString name) : name_(std::move(name)) {}
    void notify(Prop p, int index = -1, int index2 = -1, const void* item = nullptr);
    QString name_;
};

} // namespace ui
