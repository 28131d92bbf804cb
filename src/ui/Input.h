#pragma once
// The one way user input enters the model, for the Qt backend and the tests
// alike. Each action reproduces the original order of events (focus change,
// MouseUp, Click, Change) and refuses input that a user could not give: the
// control must be enabled and visible with all its containers and its form,
// and its form must be the innermost modal form (when a modal wait runs) or
// a shown form. A refused action calls the refusal handler (headless tests
// fail; the Qt backend ignores it) and returns false.

#include "ui/Form.h"
#include "ui/FlexGrid.h"
#include "ui/ListBox.h"
#include "ui/TreeView.h"

#include <functional>

namespace ui {

// Key codes used by Input::key.
enum KeyCode : int {
    vbKeyBack = 8, vbKeyTab = 9, vbKeyReturn = 13, vbKeyEscape = 27, vbKeySpace = 32,
    vbKeyPageUp = 33, vbKeyPageDown = 34, vbKeyEnd = 35, vbKeyHome = 36,
    vbKeyLeft = 37, vbKeyUp = 38, vbKeyRight = 39, vbKeyDown = 40, vbKeyDelete = 46,
    vbKeyF1 = 112, vbKeyF5 = 116,
};

class Input {
public:
    using RefusalHandler = std::function<void(const QString& why)>;
    static void setRefusalHandler(RefusalHandler h);

    // Whether the control (or form) could take input now; `why` tells why not.
    static bool canTakeInput(const Control& c, QString* why = nullptr);
    static bool canTakeInput(const Form& f, QString* why = nullptr);

    // Left click: focus moves to a focusable control first (LostFocus,
    // GotFocus), then the control's own reaction: a button is pressed, a
    // check box toggles, an option is selected, a label or image clicks.
    static bool click(Control& c);
    // Right click: MouseUp with the right button, then the context help of
    // the control's topic (when it has one).
    static bool rightClick(Control& c, int x = 0, int y = 0);
    // Mouse released with any button at (x, y) twips on the control.
    static bool mouseUp(Control& c, int button, int shift = 0, int x = 0, int y = 0);
    static bool mouseMove(Control& c, int x, int y, int button = 0, int shift = 0);
    // Focus by the user (Tab or click on a control without a reaction).
    static bool focus(Control& c);

    // Typing: focus to the text box, then each character as a key press
    // (form KeyPress with KeyPreview, the box's KeyPress; a key set to 0 is
    // dropped), inserted at the caret, Change after each.
    static bool type(TextBox& box, const QString& text);
    // Typing in the focused tree: each character as a key press (form
    // KeyPress with KeyPreview), then the tree's type-ahead, which selects
    // the node found and raises NodeClick as an arrow key does. Input::key
    // types a letter, digit or space in a focused tree the same way.
    static bool type(TreeView& tree, const QString& text);
    // Pasting through the context menu: no KeyPress, one Change.
    static bool paste(TextBox& box, const QString& text);
    // A key on the form (to its focused control): menu shortcuts first, then
    // KeyDown (form with KeyPreview, then the control), then Enter presses the
    // focused button or else the default button, Esc the cancel button; other
    // keys go on as KeyPress (Backspace 8, Ctrl+letter 1..26; an Alt
    // combination gives none). Tab and Shift+Tab move the focus along the
    // tab order before any of that (the controls that can take it now, by
    // tab index); the up and down arrows step a focused up-down, the page
    // keys by UpDown::kPagePresses.
    static bool key(Form& f, int keyCode, int shift = 0);

    // List box: a click on item i. Single selection: the item becomes the
    // current one. Simple multi-selection: the item's selected state
    // toggles and it becomes the current item. Click follows, once.
    static bool listClick(ListBox& list, int index);
    static bool comboChoose(ComboBox& combo, int index);

    // Tree: a click on the node (selects it, NodeClick every time), an arrow
    // key moving the selection to `key` (NodeClick), expand and collapse.
    static bool nodeClick(TreeView& tree, const QString& key);
    static bool nodeKey(TreeView& tree, const QString& key);
    static bool expand(TreeView& tree, const QString& key);
    static bool collapse(TreeView& tree, const QString& key);

    // Grid: mouse released over (row, col); -1 for outside the cells. A
    // left click on a scrolling cell makes it current first.
    static bool gridMouseUp(FlexGrid& grid, int row, int col, int button = vbLeftButton, int shift = 0);
    static bool resizeColumn(FlexGrid& grid, int col, int twips);
    static bool scrollGrid(FlexGrid& grid, int topRow);
    static bool scrollList(ListBox& list, int topIndex);

    // Up-down arrow: +1 up, -1 down.
    static bool upDown(UpDown& upd, int direction);

    // Menus: opening a top-level menu of the bar raises its Click; choosing
    // an item opens its top-level menu first, then (if the item is still
    // available) raises the item's Click.
    static bool openMenu(Menu& top);
    static bool choose(Menu& item);
    // Choosing an item of a menu that is already open (its opening Click
    // was raised when it showed).
    static bool chooseOpened(Menu& item);

    // The close box / control menu: QueryUnload with mode 0.
    static bool closeBox(Form& f);

private:
    static bool refuse(const QString& why);
};

} // namespace ui
