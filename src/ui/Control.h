#pragma once
// Controls of the window model. Each control is plain data plus its events;
// a backend mirrors it through the form's ChangeObserver and feeds user
// actions back through ui::Input only.
//
// Event rules every window relies on:
// - A property write from code fires the same event a user action would,
//   synchronously (before the setter returns) and nested, and only when the
//   value really changes: CheckBox/OptionButton Value -> Click, TextBox Text
//   and Label Caption -> Change, ListBox/ComboBox ListIndex and
//   ListBox Selected(i) -> Click, UpDown Value -> buddy updated, then Change.
// - CommandButton::setValue(true) presses the button: Click runs to its end
//   (modal windows it opens included) before the call returns. A button whose
//   own Enabled is false ignores the press.
// - Option buttons are exclusive per container (the form or a frame):
//   selecting one clears the others without raising anything on them. A user
//   click on the option that is already selected raises nothing.
// - Context help: after a right-button MouseUp, a control with a help topic
//   (non-zero) shows it (see Control::showWhatsThis). A control that should
//   do something else on the right button keeps topic 0.
// - Mouse coordinates are always twips relative to the control.

#include "ui/Types.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <vector>

namespace ui {

enum class ControlKind {
    CommandButton, Label, TextBox, CheckBox, OptionButton, ComboBox, ListBox, Frame, Image, Timer,
    Menu, TreeView, FlexGrid, ProgressBar, UpDown, CommonDialog, FormResizer, InternetTransfer,
};

class Control : public Object {
public:
    ~Control() override;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    ControlKind kind() const { return kind_; }
    Form& form() const { return *form_; }
    Form& ownerForm() override { return *form_; }
    int index() const { return index_; }   // -1 when not an element of a control array

    // The container: a Frame, or nullptr for the form itself.
    Control* container() const { return container_; }
    void setContainer(Control* frame);

    bool enabled() const { return enabled_; }
    void setEnabled(bool on);
    bool visible() const { return visible_; }
    void setVisible(bool on);
    const QString& tag() const { return tag_; }
    void setTag(const QString& t);
    const QString& toolTipText() const { return toolTip_; }
    void setToolTipText(const QString& t);

    // Geometry in twips, relative to the container.
    int left() const { return left_; }
    int top() const { return top_; }
    int width() const { return width_; }
    int height() const { return height_; }
    void setLeft(int v) { move(v, top_, width_, height_); }
    void setTop(int v) { move(left_, v, width_, height_); }
    void setWidth(int v) { move(left_, top_, v, height_); }
    void setHeight(int v) { move(left_, top_, width_, v); }
    void move(int left, int top, int width, int height);

    Color backColor() const { return back_; }
    void setBackColor(Color c);
    Color foreColor() const { return fore_; }
    void setForeColor(Color c);
    const Font& font() const { return font_; }
    void setFont(const Font& f);
    void setFontBold(bool bold);

    int mousePointer() const { return pointer_; }
    void setMousePointer(int p);
    const Picture& mouseIcon() const { return mouseIcon_; }
    void setMouseIcon(const Picture& p);

    int helpTopic() const { return helpTopic_; }
    void setHelpTopic(int topic);
    // Shows the context help of the control's topic (the help file is
    // ui::helpFile()). Nothing when the topic is 0.
    void showWhatsThis();

    // Controls without a tab index of their own get kUnsetTabIndexBase plus
    // their place in the form, so they come after every set one.
    static constexpr int kUnsetTabIndexBase = 100000;
    int tabIndex() const { return tabIndex_; }
    void setTabIndex(int i);
    bool tabStop() const { return tabStop_; }
    void setTabStop(bool on);
    // Whether the kind of control can hold the focus at all.
    bool canHoldFocus() const;

    // Enabled and visible, with every container and the form.
    bool effectivelyEnabled() const;
    bool effectivelyVisible() const;

    // Moves the focus here: LostFocus on the old control, then GotFocus.
    // Fails with error 5 when the control cannot take the focus (hidden or
    // disabled, or its form is not shown).
    void setFocus();
    bool hasFocus() const;

    // Repaints now (the backend is told; the model has nothing to do).
    void refresh();

    Event<int, int, int, int> MouseUp;    // Button, Shift, X, Y (twips)
    Event<int, int, int, int> MouseMove;  // Button, Shift, X, Y (twips)
    Event<> GotFocus;
    Event<> LostFocus;

protected:
    Control(Form& form, ControlKind kind, QString name, int index);
    virtual void enabledChanged() {}
    void raiseInvalidValue() const;   // error 380

private:
    friend class Form;
    Form* form_;
    ControlKind kind_;
    int index_;
    Control* container_ = nullptr;
    bool enabled_ = true;
    bool visible_ = true;
    bool tabStop_ = true;
    int tabIndex_ = 0;
    int left_ = 0, top_ = 0, width_ = 1215, height_ = 375;
    Color back_ = kSysButtonFace;
    Color fore_ = kSysButtonText;
    Font font_;
    int pointer_ = vbDefault;
    Picture mouseIcon_;
    int helpTopic_ = 0;
    QString tag_;
    QString toolTip_;
};

class CommandButton : public Control {
public:
    CommandButton(Form& form, QString name, int index = -1);
    const QString& caption() const { return caption_; }
    void setCaption(const QString& c);
    // Graphical style (1): a picture and no caption.
    int style() const { return style_; }
    void setStyle(int s);
    const Picture& picture() const { return picture_; }
    void setPicture(const Picture& p);
    bool isDefault() const;
    void setDefault(bool on);
    bool isCancel() const;
    void setCancel(bool on);
    // Value is always False when read; writing True presses the button.
    bool value() const { return false; }
    void setValue(bool press);
    void press();
    Event<> Click;

private:
    QString caption_;
    int style_ = 0;
    Picture picture_;
};

class Label : public Control {
public:
    Label(Form& form, QString name, int index = -1);
    const QString& caption() const { return caption_; }
    void setCaption(const QString& c);   // raises Change when it differs
    int alignment() const { return alignment_; }   // 0 left, 1 right, 2 centre
    void setAlignment(int a);
    bool wordWrap() const { return wordWrap_; }
    void setWordWrap(bool on);
    Event<> Change;
    Event<> Click;

private:
    QString caption_;
    int alignment_ = 0;
    bool wordWrap_ = false;
};

class TextBox : public Control {
public:
    TextBox(Form& form, QString name, int index = -1);
    const QString& text() const { return text_; }
    void setText(const QString& t);   // raises Change when it differs; caret to the start
    int selStart() const { return selStart_; }
    void setSelStart(int s);
    int selLength() const { return selLength_; }
    void setSelLength(int n);
    QString selText() const { return text_.mid(selStart_, selLength_); }
    // Replaces the selection (as typing or pasting does), raising Change.
    void replaceSelection(const QString& t);
    bool locked() const { return locked_; }
    void setLocked(bool on);
    int maxLength() const { return maxLength_; }   // 0: no limit
    void setMaxLength(int n);
    bool multiLine() const { return multiLine_; }
    void setMultiLine(bool on);
    int alignment() const { return alignment_; }
    void setAlignment(int a);
    Event<> Change;
    Event<int&> KeyPress;        // KeyAscii; set to 0 to drop the key
    Event<int&, int> KeyDown;    // KeyCode, Shift

private:
    QString text_;
    int selStart_ = 0;
    int selLength_ = 0;
    bool locked_ = false;
    int maxLength_ = 0;
    bool multiLine_ = false;
    int alignment_ = 0;
};

class CheckBox : public Control {
public:
    CheckBox(Form& form, QString name, int index = -1);
    const QString& caption() const { return caption_; }
    void setCaption(const QString& c);
    // 0 unchecked, 1 checked, 2 greyed (counts as unchecked). Click on a change.
    int value() const { return value_; }
    void setValue(int v);
    Event<> Click;

private:
    QString caption_;
    int value_ = 0;
};

class OptionButton : public Control {
public:
    OptionButton(Form& form, QString name, int index = -1);
    const QString& caption() const { return caption_; }
    void setCaption(const QString& c);
    bool value() const { return value_; }
    // True: selects this option, clears the others of its container
    // silently and raises Click (only when it was not selected).
    // False: clears it, raising nothing.
    void setValue(bool on);
    Event<> Click;

private:
    QString caption_;
    bool value_ = false;
};

// A drop-down list (no free text).
class ComboBox : public Control {
public:
    ComboBox(Form& form, QString name, int index = -1);
    void addItem(const QString& text, int index = -1);
    void removeItem(int index);
    void clear();
    int listCount() const { return int(items_.size()); }
    QString list(int index) const;
    int itemData(int index) const;
    void setItemData(int index, int data);
    int listIndex() const { return listIndex_; }
    void setListIndex(int i);   // -1..count-1; Click on a change
    QString text() const { return listIndex_ >= 0 ? items_[listIndex_] : QString(); }
    int newIndex() const { return newIndex_; }
    Event<> Click;

private:
    QStringList items_;
    QList<int> data_;
    int listIndex_ = -1;
    int newIndex_ = -1;
};

class Frame : public Control {
public:
    Frame(Form& form, QString name, int index = -1);
    const QString& caption() const { return caption_; }
    void setCaption(const QString& c);

private:
    QString caption_;
};

class Image : public Control {
public:
    Image(Form& form, QString name, int index = -1);
    const Picture& picture() const { return picture_; }
    void setPicture(const Picture& p);
    bool stretch() const { return stretch_; }
    void setStretch(bool on);
    Event<> Click;

private:
    Picture picture_;
    bool stretch_ = false;
};

// A timer ticks while it is enabled, has an interval above 0 and its form is
// loaded. Changing Enabled or Interval restarts it. Ticks arrive only when
// the desktop processes events (idle, DoEvents, modal loops, message boxes).
// The Timer event of the original is the Tick slot here.
class Timer : public Control {
public:
    Timer(Form& form, QString name, int index = -1);
    int interval() const { return interval_; }
    void setInterval(int ms);
    bool running() const { return running_; }
    Event<> Tick;

    // Brings the desktop's timer in step with Enabled, Interval and the form.
    void sync();

protected:
    void enabledChanged() override { sync(); }

private:
    int interval_ = 0;
    bool running_ = false;
};

class ProgressBar : public Control {
public:
    ProgressBar(Form& form, QString name, int index = -1);
    double min() const { return min_; }
    double max() const { return max_; }
    void setMin(double v);
    void setMax(double v);
    // The fraction is kept; a value outside Min..Max is error 380.
    double value() const { return value_; }
    void setValue(double v);

private:
    double min_ = 0;
    double max_ = 100;
    double value_ = 0;
};

class UpDown : public Control {
public:
    enum class BuddyProperty { Text, Caption };
    UpDown(Form& form, QString name, int index = -1);
    int min() const { return min_; }
    int max() const { return max_; }
    int increment() const { return increment_; }
    void setMin(int v);
    void setMax(int v);
    void setIncrement(int v);
    int value() const { return value_; }
    // A change writes the buddy (its Change follows) and then raises Change.
    // A value outside Min..Max is error 380.
    void setValue(int v);
    // One arrow press: Value moves by Increment, stopping at Min and Max;
    // `presses` at once (a page key) move as far with a single Change.
    void step(int direction, int presses = 1);
    // The presses a page key stands for.
    static constexpr int kPagePresses = 10;
    Control* buddy() const { return buddy_; }
    BuddyProperty buddyProperty() const { return buddyProp_; }
    // The buddy is a TextBox (Text) or a Label (Caption).
    void setBuddy(Control* buddy, BuddyProperty prop);
    Event<> Change;

private:
    int min_ = 0;
    int max_ = 10;
    int increment_ = 1;
    int value_ = 0;
    Control* buddy_ = nullptr;
    BuddyProperty buddyProp_ = BuddyProperty::Text;
};

class FormResizer : public Control {
public:
    FormResizer(Form& form, QString name, int index = -1);
    bool resizeFonts() const { return resizeFonts_; }
    void setResizeFonts(bool on);
    // Raised once per load, after the form's Load has finished (the form may
    // still be hidden).
    Event<> ResizeDone;

private:
    bool resizeFonts_ = false;
};

// Open, save, folder and printer dialogs, answered by the desktop.
class CommonDialog : public Control {
public:
    CommonDialog(Form& form, QString name, int index = -1);
    QString initDir;
    bool cancelError = false;
    QString dialogTitle;
    QString defaultExt;
    QString fileName;    // in: proposed name; out: the chosen full path
    QString fileTitle;   // out: the chosen name without its folder
    QString filter;      // "All files|*.*"
    int flags = 0;
    QString printerName; // out of showPrinter: the chosen printer

    // Each returns true when the user chose; on cancel, CancelError makes it
    // throw UiError 32755 "Cancel was selected.", otherwise it returns false.
    bool showOpen();
    bool showSave();
    bool showFolder();   // fileName gets the folder with a trailing "\"
    bool showPrinter();

private:
    bool run(int kind);
};

// Fetches a document over HTTP through the desktop (events keep flowing while
// it waits). A failure is a UiError with the transfer's number and text.
class InternetTransfer : public Control {
public:
    InternetTransfer(Form& form, QString name, int index = -1);
    int requestTimeout = 60;   // seconds
    QString openUrl(const QString& url);
};

// A menu: a top-level menu of the bar (parent nullptr), an item, or a
// separator (caption "-"). A top-level menu's Click is its opening, raised
// both when it opens from the bar and when it is popped up.
class Menu : public Control {
public:
    Menu(Form& form, QString name, int index = -1);
    Menu* parentMenu() const { return parent_; }
    void setParentMenu(Menu* parent);
    const std::vector<Menu*>& items() const { return items_; }
    const QString& caption() const { return caption_; }   // text after a tab shows as the shortcut column
    void setCaption(const QString& c);
    bool isSeparator() const { return caption_ == QLatin1String("-"); }
    bool checked() const { return checked_; }
    void setChecked(bool on);
    const QString& shortcut() const { return shortcut_; }   // "F5", "^P" (Ctrl+P); empty: none
    void setShortcut(const QString& s);
    Menu* topMenu();
    // Enabled and visible, with every parent menu.
    bool effectivelyAvailable() const;
    Event<> Click;

private:
    Menu* parent_ = nullptr;
    std::vector<Menu*> items_;
    QString caption_;
    bool checked_ = false;
    QString shortcut_;
};

// The caption of any control that has one (button, label, check box, option
// button, frame, menu item), whatever its kind: windows set their texts by
// name from tables without knowing each control's type.
bool hasCaption(const Control& c);
QString captionOf(const Control& c);   // "" for a control without a caption
// Sets the caption with the kind's own events; false (nothing set) for a
// control without a caption.
bool setCaptionOf(Control& c, const QString& text);

} // namespace ui
