#include "ui/Input.h"

#include <algorithm>
#include <vector>

namespace ui {

namespace {

Input::RefusalHandler refusalHandler;

QString describe(const Control& c)
{
    QString s = c.form().name() + QLatin1Char('.') + c.name();
    if (c.index() >= 0) s += QStringLiteral("(%1)").arg(c.index());
    return s;
}

bool formTakesInput(const Form& f, QString* why)
{
    auto no = [why](const QString& text) {
        if (why) *why = text;
        return false;
    };
    if (programHasEnded()) return no(QStringLiteral("the program has ended"));
    if (!f.isLoaded()) return no(QStringLiteral("form %1 is not loaded").arg(f.name()));
    if (Form* top = topModalForm(); top && top != &f)
        return no(QStringLiteral("form %1 is blocked by the modal form %2").arg(f.name(), top->name()));
    if (!f.isShown()) return no(QStringLiteral("form %1 is not shown").arg(f.name()));
    if (!f.enabled()) return no(QStringLiteral("form %1 is disabled").arg(f.name()));
    return true;
}

// ASCII of a key for KeyPress, 0 when the key gives none. An Alt
// combination is a command (a menu, an access key), never a character: a
// text box does not type it, a tree or list does not search with it.
int keyAscii(int keyCode, int shift)
{
    if (shift & vbAltMask) return 0;
    if (shift & vbCtrlMask) return (keyCode >= 'A' && keyCode <= 'Z') ? keyCode - 64 : 0;
    switch (keyCode) {
    case vbKeyBack:
    case vbKeyReturn:
    case vbKeyEscape:
    case vbKeySpace:
        return keyCode;
    default:
        break;
    }
    if (keyCode >= 'A' && keyCode <= 'Z') return (shift & vbShiftMask) ? keyCode : keyCode + 32;
    if (keyCode >= '0' && keyCode <= '9') return keyCode;
    return 0;
}

QString shortcutText(int keyCode, int shift)
{
    if (keyCode >= vbKeyF1 && keyCode < vbKeyF1 + 12) return QStringLiteral("F%1").arg(keyCode - vbKeyF1 + 1);
    if ((shift & vbCtrlMask) && keyCode >= 'A' && keyCode <= 'Z') return QStringLiteral("^") + QChar(keyCode);
    return {};
}

// A character typed in a tree finds a node as an arrow key moves to one:
// the node is selected and NodeClick follows.
void typeInTree(TreeView& tree, QChar ch)
{
    Desktop* d = installedDesktop();
    TreeNode* n = tree.typeAhead(ch, d ? d->elapsedMs() : 0);
    if (!n || n == tree.selectedItem()) return;
    tree.setSelectedItem(n);
    tree.NodeClick(n);
}

// A typed character reaching a text box or a tree: KeyPress (form first
// with KeyPreview), then the edit or the search.
void deliverChar(Form& f, Control* target, int ascii)
{
    if (f.keyPreview()) {
        f.KeyPress(ascii);
        if (ascii == 0 || !f.isLoaded()) return;
    }
    if (!target || target->form().activeControl() != target) return;
    if (target->kind() == ControlKind::TreeView) {
        if (ascii >= 32 && Input::canTakeInput(*target)) typeInTree(*static_cast<TreeView*>(target), QChar(ascii));
        return;
    }
    if (target->kind() != ControlKind::TextBox) return;
    auto* box = static_cast<TextBox*>(target);
    box->KeyPress(ascii);
    if (ascii == 0 || !f.isLoaded()) return;
    // The edit keys a text box understands by itself: Ctrl+A, Ctrl+C,
    // Ctrl+X, Ctrl+V.
    if (ascii == 1) {
        box->setSelStart(0);
        box->setSelLength(int(box->text().size()));
        return;
    }
    Desktop* d = installedDesktop();
    if (ascii == 3 || ascii == 24) {
        if (d && box->selLength() > 0) d->setClipboardText(box->selText());
        if (ascii == 24 && !box->locked() && box->selLength() > 0) box->replaceSelection(QString());
        return;
    }
    if (box->locked()) return;
    if (ascii == 22) {
        const QString clip = d ? d->clipboardText() : QString();
        if (!clip.isEmpty()) box->replaceSelection(clip);
        return;
    }
    if (ascii == vbKeyBack) {
        if (box->selLength() == 0) {
            if (box->selStart() == 0) return;
            const int at = box->selStart() - 1;
            box->setSelStart(at);
            box->setSelLength(1);
        }
        box->replaceSelection(QString());
    } else if (ascii >= 32) {
        box->replaceSelection(QString(QChar(ascii)));
    }
}

// Where Tab (or Shift+Tab) moves the focus from `from`: the next control by
// tab index, round the end, among those that can take the focus now.
Control* nextInTabOrder(const Form& f, const Control* from, bool backwards)
{
    std::vector<Control*> order;
    for (Control* c : f.controls())
        if (c->canHoldFocus() && c->tabStop() && Input::canTakeInput(*c)) order.push_back(c);
    if (order.empty()) return nullptr;
    std::stable_sort(order.begin(), order.end(), [](const Control* a, const Control* b) { return a->tabIndex() < b->tabIndex(); });
    const auto at = std::find(order.begin(), order.end(), from);
    const std::ptrdiff_t n = std::ptrdiff_t(order.size());
    if (at == order.end()) return backwards ? order.back() : order.front();
    const std::ptrdiff_t i = at - order.begin();
    return order[std::size_t((i + (backwards ? n - 1 : 1)) % n)];
}

bool nodeShown(const TreeNode* n)
{
    for (const TreeNode* p = n->parent(); p; p = p->parent())
        if (!p->expanded()) return false;
    return true;
}

} // namespace

void Input::setRefusalHandler(RefusalHandler h) { refusalHandler = std::move(h); }

bool Input::refuse(const QString& why)
{
    if (refusalHandler) refusalHandler(why);
    return false;
}

bool Input::canTakeInput(const Form& f, QString* why) { return formTakesInput(f, why); }

bool Input::canTakeInput(const Control& c, QString* why)
{
    if (!formTakesInput(c.form(), why)) return false;
    if (c.kind() == ControlKind::Menu) {
        if (!static_cast<const Menu&>(c).effectivelyAvailable()) {
            if (why) *why = QStringLiteral("menu %1 is disabled or hidden").arg(describe(c));
            return false;
        }
        return true;
    }
    if (!c.effectivelyVisible()) {
        if (why) *why = QStringLiteral("control %1 is not visible").arg(describe(c));
        return false;
    }
    if (!c.effectivelyEnabled()) {
        if (why) *why = QStringLiteral("control %1 is not enabled").arg(describe(c));
        return false;
    }
    return true;
}

#define QM_REQUIRE(target)                                  \
    do {                                                    \
        QString why_;                                       \
        if (!canTakeInput(target, &why_)) return refuse(why_); \
    } while (false)

// After a handler ran, input may have become impossible (the form unloaded,
// the control disabled): the rest of the action is then dropped.
static bool stillLive(const Control& c) { return Input::canTakeInput(c); }

bool Input::focus(Control& c)
{
    QM_REQUIRE(c);
    if (!c.canHoldFocus()) return refuse(QStringLiteral("control %1 cannot take the focus").arg(describe(c)));
    c.form().setActiveControl(&c);
    return true;
}

bool Input::click(Control& c)
{
    QM_REQUIRE(c);
    switch (c.kind()) {
    case ControlKind::ListBox:
    case ControlKind::ComboBox:
    case ControlKind::TreeView:
    case ControlKind::FlexGrid:
    case ControlKind::UpDown:
        return refuse(QStringLiteral("click on %1 needs its own action (item, node, cell, arrow)").arg(describe(c)));
    case ControlKind::Menu:
        return choose(static_cast<Menu&>(c));
    default:
        break;
    }
    if (c.canHoldFocus()) {
        c.form().setActiveControl(&c);
        if (!stillLive(c)) return true;
    }
    c.MouseUp(vbLeftButton, 0, 0, 0);
    if (!stillLive(c)) return true;
    switch (c.kind()) {
    case ControlKind::CommandButton:
        static_cast<CommandButton&>(c).press();
        break;
    case ControlKind::CheckBox: {
        auto& box = static_cast<CheckBox&>(c);
        box.setValue(box.value() == 1 ? 0 : 1);
        break;
    }
    case ControlKind::OptionButton: {
        auto& opt = static_cast<OptionButton&>(c);
        if (!opt.value()) opt.setValue(true);
        break;
    }
    case ControlKind::Label:
        static_cast<Label&>(c).Click();
        break;
    case ControlKind::Image:
        static_cast<Image&>(c).Click();
        break;
    default:
        break;
    }
    return true;
}

bool Input::mouseUp(Control& c, int button, int shift, int x, int y)
{
    QM_REQUIRE(c);
    c.MouseUp(button, shift, x, y);
    if (button == vbRightButton && c.helpTopic() != 0 && stillLive(c)) c.showWhatsThis();
    return true;
}

bool Input::rightClick(Control& c, int x, int y) { return mouseUp(c, vbRightButton, 0, x, y); }

bool Input::mouseMove(Control& c, int x, int y, int button, int shift)
{
    QM_REQUIRE(c);
    c.MouseMove(button, shift, x, y);
    return true;
}

bool Input::type(TextBox& box, const QString& text)
{
    QM_REQUIRE(box);
    Form& f = box.form();
    f.setActiveControl(&box);
    for (QChar ch : text) {
        if (!stillLive(box) || f.activeControl() != &box) return true;
        deliverChar(f, &box, ch.unicode());
    }
    return true;
}

bool Input::type(TreeView& tree, const QString& text)
{
    QM_REQUIRE(tree);
    if (!tree.hasFocus()) return refuse(QStringLiteral("tree %1 does not have the focus").arg(describe(tree)));
    for (QChar ch : text) {
        if (!stillLive(tree) || !tree.hasFocus()) return true;
        deliverChar(tree.form(), &tree, ch.unicode());
    }
    return true;
}

bool Input::paste(TextBox& box, const QString& text)
{
    QM_REQUIRE(box);
    box.form().setActiveControl(&box);
    if (stillLive(box) && !box.locked()) box.replaceSelection(text);
    return true;
}

bool Input::key(Form& f, int keyCode, int shift)
{
    QM_REQUIRE(f);
    // Menu shortcuts are translated before the window sees the key; those of
    // hidden menus do not work.
    if (const QString sc = shortcutText(keyCode, shift); !sc.isEmpty()) {
        for (Control* c : f.controls()) {
            if (c->kind() != ControlKind::Menu) continue;
            auto* m = static_cast<Menu*>(c);
            if (m->shortcut() == sc && m->effectivelyAvailable()) return choose(*m);
        }
    }
    if (keyCode == vbKeyTab && !(shift & (vbCtrlMask | vbAltMask))) {
        // The window moves the focus itself; no control sees the key.
        if (Control* next = nextInTabOrder(f, f.activeControl(), shift & vbShiftMask)) f.setActiveControl(next);
        return true;
    }
    int code = keyCode;
    if (f.keyPreview()) {
        f.KeyDown(code, shift);
        if (code == 0 || !f.isLoaded()) return true;
    }
    Control* target = f.activeControl();
    if (target && target->kind() == ControlKind::UpDown && !(shift & (vbCtrlMask | vbAltMask))
        && (keyCode == vbKeyUp || keyCode == vbKeyDown || keyCode == vbKeyPageUp || keyCode == vbKeyPageDown)) {
        if (!canTakeInput(*target)) return true;
        const int direction = keyCode == vbKeyUp || keyCode == vbKeyPageUp ? +1 : -1;
        static_cast<UpDown*>(target)->step(direction, keyCode == vbKeyUp || keyCode == vbKeyDown ? 1 : UpDown::kPagePresses);
        return true;
    }
    if (target && target->kind() == ControlKind::TextBox) {
        static_cast<TextBox*>(target)->KeyDown(code, shift);
        if (code == 0 || !f.isLoaded()) return true;
    }
    if (keyCode == vbKeyReturn && !(shift & (vbCtrlMask | vbAltMask))) {
        CommandButton* b = nullptr;
        if (target && target->kind() == ControlKind::CommandButton) b = static_cast<CommandButton*>(target);
        else if (f.defaultButton()) b = f.defaultButton();
        if (b) {
            if (canTakeInput(*b)) b->press();
            return true;
        }
    }
    if (keyCode == vbKeyEscape && f.cancelButton()) {
        CommandButton* b = f.cancelButton();
        if (canTakeInput(*b)) b->press();
        return true;
    }
    if (keyCode == vbKeySpace && target && !(shift & vbCtrlMask)) {
        // Space presses the focused button or toggles the focused box.
        if (target->kind() == ControlKind::CommandButton || target->kind() == ControlKind::CheckBox
            || target->kind() == ControlKind::OptionButton)
            return click(*target);
    }
    if (const int ascii = keyAscii(keyCode, shift)) deliverChar(f, target, ascii);
    return true;
}

bool Input::listClick(ListBox& list, int index)
{
    QM_REQUIRE(list);
    if (index < 0 || index >= list.listCount())
        return refuse(QStringLiteral("list %1 has no item %2").arg(describe(list)).arg(index));
    list.form().setActiveControl(&list);
    if (!stillLive(list)) return true;
    list.MouseUp(vbLeftButton, 0, 0, (index - list.topIndex()) * list.itemHeight());
    if (!stillLive(list) || index >= list.listCount()) return true;
    list.clickItem(index);
    return true;
}

bool Input::scrollList(ListBox& list, int topIndex)
{
    QM_REQUIRE(list);
    list.setTopIndex(topIndex);
    return true;
}

bool Input::comboChoose(ComboBox& combo, int index)
{
    QM_REQUIRE(combo);
    if (index < 0 || index >= combo.listCount())
        return refuse(QStringLiteral("combo box %1 has no item %2").arg(describe(combo)).arg(index));
    combo.form().setActiveControl(&combo);
    if (!stillLive(combo)) return true;
    if (combo.listIndex() != index) combo.setListIndex(index);
    else combo.Click();
    return true;
}

bool Input::nodeClick(TreeView& tree, const QString& key)
{
    QM_REQUIRE(tree);
    TreeNode* n = tree.findNode(key);
    if (!n) return refuse(QStringLiteral("tree %1 has no node \"%2\"").arg(describe(tree), key));
    if (!nodeShown(n)) return refuse(QStringLiteral("node \"%1\" of %2 is inside a collapsed node").arg(key, describe(tree)));
    tree.form().setActiveControl(&tree);
    if (!stillLive(tree)) return true;
    tree.setSelectedItem(n);
    tree.NodeClick(n);
    if (stillLive(tree)) tree.MouseUp(vbLeftButton, 0, 0, 0);
    return true;
}

bool Input::nodeKey(TreeView& tree, const QString& key)
{
    QM_REQUIRE(tree);
    TreeNode* n = tree.findNode(key);
    if (!n) return refuse(QStringLiteral("tree %1 has no node \"%2\"").arg(describe(tree), key));
    if (!nodeShown(n)) return refuse(QStringLiteral("node \"%1\" of %2 is inside a collapsed node").arg(key, describe(tree)));
    if (!tree.hasFocus()) return refuse(QStringLiteral("tree %1 does not have the focus").arg(describe(tree)));
    if (tree.selectedItem() == n) return true;
    tree.setSelectedItem(n);
    tree.NodeClick(n);
    return true;
}

bool Input::expand(TreeView& tree, const QString& key)
{
    QM_REQUIRE(tree);
    TreeNode* n = tree.findNode(key);
    if (!n) return refuse(QStringLiteral("tree %1 has no node \"%2\"").arg(describe(tree), key));
    if (!nodeShown(n)) return refuse(QStringLiteral("node \"%1\" of %2 is inside a collapsed node").arg(key, describe(tree)));
    n->setExpanded(true);
    return true;
}

bool Input::collapse(TreeView& tree, const QString& key)
{
    QM_REQUIRE(tree);
    TreeNode* n = tree.findNode(key);
    if (!n) return refuse(QStringLiteral("tree %1 has no node \"%2\"").arg(describe(tree), key));
    if (!nodeShown(n)) return refuse(QStringLiteral("node \"%1\" of %2 is inside a collapsed node").arg(key, describe(tree)));
    n->setExpanded(false);
    return true;
}

bool Input::gridMouseUp(FlexGrid& grid, int row, int col, int button, int shift)
{
    QM_REQUIRE(grid);
    if (row < -1 || row >= grid.rows() || col < -1 || col >= grid.cols())
        return refuse(QStringLiteral("grid %1 has no cell (%2, %3)").arg(describe(grid)).arg(row).arg(col));
    if (button == vbLeftButton) {
        grid.form().setActiveControl(&grid);
        if (!stillLive(grid)) return true;
    }
    grid.setMousePosition(row, col);
    if (button == vbLeftButton && row >= grid.fixedRows() && col >= grid.fixedCols()) {
        grid.setRow(row);
        grid.setCol(col);
    }
    int x = 0;
    for (int c = 0; c < col; ++c) x += (c < grid.fixedCols() || c >= grid.leftCol()) ? grid.colWidth(c) : 0;
    const int y = row < 0 ? 0 : (row < grid.fixedRows() ? row : grid.fixedRows() + row - grid.topRow()) * grid.rowHeight();
    grid.MouseUp(button, shift, x, y);
    if (!stillLive(grid)) return true;
    if (button == vbRightButton && grid.helpTopic() != 0) grid.showWhatsThis();
    else if (button == vbLeftButton) grid.Click();
    return true;
}

bool Input::resizeColumn(FlexGrid& grid, int col, int twips)
{
    QM_REQUIRE(grid);
    if (col < 0 || col >= grid.cols() || twips < 0)
        return refuse(QStringLiteral("grid %1 cannot size column %2 to %3").arg(describe(grid)).arg(col).arg(twips));
    grid.setColWidth(col, twips);
    return true;
}

bool Input::scrollGrid(FlexGrid& grid, int topRow)
{
    QM_REQUIRE(grid);
    grid.setTopRow(topRow);
    return true;
}

bool Input::upDown(UpDown& upd, int direction)
{
    QM_REQUIRE(upd);
    upd.step(direction);
    return true;
}

bool Input::openMenu(Menu& top)
{
    QM_REQUIRE(top);
    if (top.parentMenu()) return refuse(QStringLiteral("menu %1 is not on the menu bar").arg(describe(top)));
    top.Click();
    return true;
}

bool Input::choose(Menu& item)
{
    QM_REQUIRE(item);
    Menu* top = item.topMenu();
    if (top == &item) {
        top->Click();
        return true;
    }
    top->Click();
    return chooseOpened(item);
}

bool Input::chooseOpened(Menu& item)
{
    QM_REQUIRE(item);
    QString why;
    if (!canTakeInput(item, &why)) return refuse(why);
    if (item.isSeparator()) return refuse(QStringLiteral("menu %1 is a separator").arg(describe(item)));
    item.Click();
    return true;
}

bool Input::closeBox(Form& f)
{
    QM_REQUIRE(f);
    f.unload(vbFormControlMenu);
    return true;
}

} // namespace ui
