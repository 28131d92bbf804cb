// What every kind of control shows on the offscreen Qt platform, exactly as
// the model holds it (place, font, colours, state), and how the real keys,
// buttons and focus changes of a user reach the model with their values.
#include "QtFixture.h"
#include "support/OnScreen.h"

#include "ui/qt/QtColors.h"

#include <functional>
#include <vector>
#include <QCheckBox>
#include <QComboBox>
#include <QCursor>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QTableView>
#include <QTreeWidget>

using namespace qttest;

namespace {

QPalette::ColorRole backRoleOf(ControlKind k)
{
    switch (k) {
    case ControlKind::CommandButton: return QPalette::Button;
    case ControlKind::TextBox:
    case ControlKind::ComboBox:
    case ControlKind::ListBox:
    case ControlKind::TreeView:
    case ControlKind::FlexGrid: return QPalette::Base;
    default: return QPalette::Window;
    }
}

QPalette::ColorRole foreRoleOf(ControlKind k)
{
    switch (k) {
    case ControlKind::CommandButton: return QPalette::ButtonText;
    case ControlKind::TextBox:
    case ControlKind::ComboBox:
    case ControlKind::ListBox:
    case ControlKind::TreeView:
    case ControlKind::FlexGrid: return QPalette::Text;
    default: return QPalette::WindowText;
    }
}

// The widget shows the control's place, font, state, tip and colours.
void expectShows(FormWindow* w, Control* c)
{
    SCOPED_TRACE(c->name().toStdString());
    QWidget* q = w->widgetFor(c);
    ASSERT_NE(q, nullptr);
    EXPECT_EQ(q->geometry(), QRect(QtDesktop::px(c->left()), QtDesktop::px(c->top()), QtDesktop::px(c->width()), QtDesktop::px(c->height())));
    EXPECT_EQ(q->font().family(), c->font().name);
    EXPECT_DOUBLE_EQ(q->font().pointSizeF(), c->font().size);
    EXPECT_EQ(q->font().bold(), c->font().bold);
    EXPECT_EQ(q->isVisibleTo(q->parentWidget()), c->visible());
    EXPECT_EQ(q->isEnabledTo(q->parentWidget()), c->enabled());
    EXPECT_EQ(q->toolTip(), c->toolTipText());
    const QPalette app = QApplication::palette();
    EXPECT_EQ(q->palette().color(QPalette::Active, backRoleOf(c->kind())), ui::qt::toQColor(c->backColor(), app));
    for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive})
        EXPECT_EQ(q->palette().color(g, foreRoleOf(c->kind())), ui::qt::toQColor(c->foreColor(), app)) << g;
    EXPECT_EQ(q->palette().color(QPalette::Disabled, foreRoleOf(c->kind())), app.color(QPalette::Disabled, foreRoleOf(c->kind())));
}

} // namespace

// Every kind of control shows what the model holds when its window opens,
// and follows each change of place, font, state, tip and colour made while
// the window is up; each is named after its control (and index).
TEST_F(QtDesktopTest, EveryKindOfControlShowsItsPlaceFontStateTipAndColours)
{
    std::vector<Control*> all;
    BuiltForm f("frmEvery", [&](BuiltForm& form) {
        form.move(0, 0, 12000, 9000);
        all = {form.add<CommandButton>("cmdApply"), form.add<Label>("lblPath", 1), form.add<TextBox>("txtName"),
               form.add<CheckBox>("chkSort"),       form.add<OptionButton>("optSide", 0), form.add<ComboBox>("cboDrive"),
               form.add<ListBox>("lstPaths"),       form.add<Frame>("fraSettings"),   form.add<Image>("imgIcon"),
               form.add<TreeView>("tvwTree"),      form.add<FlexGrid>("grdResults"), form.add<ProgressBar>("prbDone"),
               form.add<UpDown>("updLevels")};
        int i = 0;
        for (Control* c : all) {
            c->move(120 + (i % 4) * 2900, 120 + (i / 4) * 1800, 2400 + 15 * i, 900 + 30 * i);
            c->setToolTipText(QStringLiteral("tip %1").arg(i));
            Font font = c->font();
            font.size = 8 + i % 3;
            font.bold = i % 2 == 1;
            c->setFont(font);
            c->setBackColor(rgb(10 * i, 200, 30));
            c->setForeColor(rgb(90, 5 * i, 160));
            ++i;
        }
        all[2]->setEnabled(false);
        all[4]->setVisible(false);
    });
    f.show();
    QApplication::processEvents();
    FormWindow* w = desk.window(f);
    EXPECT_EQ(w->widgetFor(all[1])->objectName(), "lblPath(1)");
    EXPECT_EQ(w->widgetFor(all[0])->objectName(), "cmdApply");
    for (Control* c : all) expectShows(w, c);
    // What fills a box's ground on screen is its own colour, not a button's.
    const auto ground = [w](Control* c) {
        const QImage shot = w->widgetFor(c)->grab().toImage();
        return QColor(shot.pixel(shot.width() - 3, shot.height() - 3));
    };
    EXPECT_EQ(ground(all[3]), QColor(30, 200, 30));
    // A box of its own colour fills its ground; on the form's ground it does not.
    EXPECT_TRUE(w->widgetFor(all[3])->autoFillBackground());
    EXPECT_TRUE(w->widgetFor(all[4])->autoFillBackground());

    int i = 0;
    for (Control* c : all) {
        c->move(c->left() + 60, c->top() + 45, c->width() - 150, c->height() - 90);
        c->setToolTipText(i % 2 ? QString() : QStringLiteral("new tip"));
        Font font = c->font();
        font.name = QStringLiteral("Courier New");
        font.size += 2;
        font.bold = !font.bold;
        c->setFont(font);
        c->setBackColor(i % 2 ? kSysWindow : rgb(250, 240, 5 * i));
        c->setForeColor(i % 2 ? kSysWindowText : rgb(5 * i, 5, 5));
        c->setEnabled(i != 5);
        c->setVisible(i != 6);
        ++i;
    }
    QApplication::processEvents();
    for (Control* c : all) expectShows(w, c);
    EXPECT_EQ(ground(all[4]), QColor(250, 240, 20));
    all[3]->setBackColor(kSysButtonFace);
    all[4]->setBackColor(kSysButtonFace);
    EXPECT_FALSE(w->widgetFor(all[3])->autoFillBackground());
    EXPECT_FALSE(w->widgetFor(all[4])->autoFillBackground());
}

// A label given a new font while its window is up is painted in it at once,
// whatever room it needs.
TEST_F(QtDesktopTest, ALabelInANewFontIsPaintedInItAtOnce)
{
    Label* label = nullptr;
    BuiltForm f("frmFont", [&](BuiltForm& form) {
        form.move(0, 0, 5000, 2000);
        label = form.add<Label>("lblStatus");
        label->move(120, 120, 4000, 400);
        label->setCaption("Comparing C:\\Data");
    });
    f.show();
    QApplication::processEvents();
    QWidget* q = desk.window(f)->widgetFor(label);
    const auto onScreen = [q] {
        const QImage all = q->screen()->grabWindow(q->window()->winId()).toImage();
        return all.copy(QRect(q->mapTo(q->window(), QPoint(0, 0)), q->size()));
    };
    const std::function<void(Font&)> changes[] = {
        [](Font& font) { font.bold = true; },
        [](Font& font) { font.name = QStringLiteral("Courier New"); },
        [](Font& font) { font.size = 12; },
        [](Font& font) { font.bold = false; },
        [](Font& font) { font.size = 11; },
    };
    int step = 0;
    for (const auto& change : changes) {
        const QImage before = onScreen();
        Font font = label->font();
        change(font);
        label->setFont(font);
        QApplication::processEvents();
        EXPECT_NE(onScreen(), before) << step;
        EXPECT_EQ(onScreen(), q->grab().toImage()) << step;
        ++step;
    }
}

// Each key of the keyboard reaches the form with its key code and the
// state of Shift, Ctrl and Alt, once, and Qt's own button never sees it; a
// key the program has no code for is left to Qt.
TEST_F(QtDesktopTest, EveryKeyReachesTheFormWithItsCodeAndShiftState)
{
    CommandButton* button = nullptr;
    int clicks = 0;
    BuiltForm f("frmKeys", [&](BuiltForm& form) {
        button = form.add<CommandButton>("cmdApply");
        button->move(120, 120, 1500, 400);
        button->Click = [&clicks] { ++clicks; };
        form.setKeyPreview(true);
    });
    QList<std::pair<int, int>> seen;
    f.KeyDown = [&seen](int& code, int shift) {
        seen.append({code, shift});
        code = 0;   // nothing further: no button pressed, nothing typed
    };
    f.show();
    QApplication::processEvents();
    QWidget* q = desk.window(f)->widgetFor(button);
    Input::focus(*button);
    const struct {
        int key;
        Qt::KeyboardModifiers mods;
        int code, shift;
    } keys[] = {
        {Qt::Key_A, Qt::NoModifier, 'A', 0},
        {Qt::Key_Z, Qt::ShiftModifier, 'Z', vbShiftMask},
        {Qt::Key_0, Qt::ControlModifier, '0', vbCtrlMask},
        {Qt::Key_9, Qt::AltModifier, '9', vbAltMask},
        {Qt::Key_F1, Qt::NoModifier, vbKeyF1, 0},
        {Qt::Key_F12, Qt::ShiftModifier | Qt::ControlModifier, vbKeyF1 + 11, vbShiftMask | vbCtrlMask},
        {Qt::Key_Backspace, Qt::NoModifier, vbKeyBack, 0},
        {Qt::Key_Return, Qt::NoModifier, vbKeyReturn, 0},
        {Qt::Key_Enter, Qt::KeypadModifier, vbKeyReturn, 0},
        {Qt::Key_Escape, Qt::NoModifier, vbKeyEscape, 0},
        {Qt::Key_Space, Qt::NoModifier, vbKeySpace, 0},
        {Qt::Key_PageUp, Qt::NoModifier, vbKeyPageUp, 0},
        {Qt::Key_PageDown, Qt::NoModifier, vbKeyPageDown, 0},
        {Qt::Key_End, Qt::NoModifier, vbKeyEnd, 0},
        {Qt::Key_Home, Qt::NoModifier, vbKeyHome, 0},
        {Qt::Key_Left, Qt::NoModifier, vbKeyLeft, 0},
        {Qt::Key_Up, Qt::NoModifier, vbKeyUp, 0},
        {Qt::Key_Right, Qt::NoModifier, vbKeyRight, 0},
        {Qt::Key_Down, Qt::AltModifier | Qt::ShiftModifier, vbKeyDown, vbAltMask | vbShiftMask},
        {Qt::Key_Delete, Qt::NoModifier, vbKeyDelete, 0},
        {Qt::Key_Insert, Qt::NoModifier, 45, 0},
    };
    for (const auto& k : keys) {
        seen.clear();
        QKeyEvent press(QEvent::KeyPress, k.key, k.mods);
        QApplication::sendEvent(q, &press);
        EXPECT_EQ(seen, (QList<std::pair<int, int>>{{k.code, k.shift}})) << QKeySequence(k.key).toString().toStdString();
        EXPECT_TRUE(press.isAccepted());
    }
    EXPECT_EQ(clicks, 0) << "Return and Space went to the form, not to the button";
    seen.clear();
    for (int key : {int(Qt::Key_Percent), int(Qt::Key_F13), int(Qt::Key_CapsLock)}) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(q, &press);
    }
    EXPECT_TRUE(seen.isEmpty());
}

// A key that gives the character its key code stands for goes the way of
// every key (KeyDown, then KeyPress); one that gives another character
// (shifted digits, Caps Lock, a Greek layout, punctuation) is typed as that
// character, without a KeyDown of a code that would mean something else.
TEST_F(QtDesktopTest, KeysTypedInABoxGoByTheirCodeOnlyWhenItGivesTheirCharacter)
{
    TextBox* box = nullptr;
    BuiltForm f("frmTyping", [&](BuiltForm& form) {
        box = form.add<TextBox>("txtName");
        box->move(120, 120, 3000, 315);
    });
    QList<int> downs;
    f.show();
    box->KeyDown = [&downs](int& code, int) { downs << code; };
    QWidget* q = desk.window(f)->widgetFor(box);
    Input::focus(*box);
    const struct {
        int key;
        Qt::KeyboardModifiers mods;
        QString text;
        QList<int> downs;
    } keys[] = {
        {Qt::Key_5, Qt::NoModifier, "5", {'5'}},
        {Qt::Key_0, Qt::NoModifier, "0", {'0'}},
        {Qt::Key_9, Qt::NoModifier, "9", {'9'}},
        {Qt::Key_5, Qt::ShiftModifier, "%", {}},
        {Qt::Key_Space, Qt::NoModifier, " ", {vbKeySpace}},
        {Qt::Key_Space, Qt::ShiftModifier, " ", {vbKeySpace}},
        {Qt::Key_B, Qt::NoModifier, "b", {'B'}},
        {Qt::Key_B, Qt::ShiftModifier, "B", {'B'}},
        {Qt::Key_C, Qt::NoModifier, "C", {}},   // Caps Lock
        {Qt::Key_D, Qt::ShiftModifier, "d", {}},
        {0, Qt::NoModifier, QString::fromUtf8("λ"), {}},
        {Qt::Key_Comma, Qt::NoModifier, ",", {}},
    };
    QString typed;
    for (const auto& k : keys) {
        downs.clear();
        QKeyEvent press(QEvent::KeyPress, k.key, k.mods, k.text);
        QApplication::sendEvent(q, &press);
        typed += k.text;
        // As vectors: Qt's own == of two empty lists hands memcmp a null pointer.
        EXPECT_EQ(std::vector<int>(downs.begin(), downs.end()), std::vector<int>(k.downs.begin(), k.downs.end()))
            << k.text.toStdString();
        EXPECT_EQ(box->text(), typed);
        EXPECT_EQ(static_cast<QLineEdit*>(q)->text(), typed);
    }
}

namespace {

// A mouse button released at `at` (pixels) on `w`, with the keys held.
void release(QWidget* w, QPoint at, Qt::MouseButton button, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    QMouseEvent e(QEvent::MouseButtonRelease, QPointF(at), w->mapToGlobal(QPointF(at)), button, Qt::NoButton, mods);
    QApplication::sendEvent(w, &e);
}

QString upText(int button, int shift, int x, int y) { return QStringLiteral("%1 %2 %3,%4").arg(button).arg(shift).arg(x).arg(y); }

} // namespace

// A button released over a control reaches the model with which button it
// was, the keys held and where (twips from the control's corner): the right
// one raises MouseUp (a text box keeps its own clipboard menu besides), the
// left one clicks a label, a frame or an image, the middle one nothing.
TEST_F(QtDesktopTest, MouseButtonsReachTheModelWithTheirButtonKeysAndPlace)
{
    Label* label = nullptr;
    Image* image = nullptr;
    Frame* frame = nullptr;
    TextBox* box = nullptr;
    BuiltForm f("frmMouse", [&](BuiltForm& form) {
        form.move(0, 0, 8000, 6000);
        label = form.add<Label>("lblPath");
        label->move(120, 120, 3000, 600);
        image = form.add<Image>("imgIcon");
        image->move(3300, 120, 900, 900);
        frame = form.add<Frame>("fraOptions");
        frame->move(120, 1500, 3000, 1500);
        box = form.add<TextBox>("txtName");
        box->move(4500, 120, 3000, 315);
    });
    QStringList log;
    f.show();
    for (Control* c : std::initializer_list<Control*>{label, image, frame, box})
        c->MouseUp = [&log, c](int b, int s, int x, int y) { log << c->name() + " up " + upText(b, s, x, y); };
    label->Click = [&log] { log << "label click"; };
    image->Click = [&log] { log << "image click"; };
    FormWindow* w = desk.window(f);
    QWidget* lbl = w->widgetFor(label);

    release(lbl, {7, 5}, Qt::RightButton, Qt::ShiftModifier);
    EXPECT_EQ(log, QStringList{"lblPath up " + upText(vbRightButton, vbShiftMask, QtDesktop::twips(7), QtDesktop::twips(5))});
    log.clear();
    release(lbl, {11, 3}, Qt::RightButton, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(log, QStringList{"lblPath up " + upText(vbRightButton, vbCtrlMask | vbAltMask, QtDesktop::twips(11), QtDesktop::twips(3))});
    log.clear();
    // A click is MouseUp then Click, as a click of the model is.
    const QString clickUp = " up " + upText(vbLeftButton, 0, 0, 0);
    release(lbl, {4, 4}, Qt::LeftButton);
    EXPECT_EQ(log, (QStringList{"lblPath" + clickUp, "label click"}));
    log.clear();
    release(lbl, {4, 4}, Qt::MiddleButton);
    release(w->widgetFor(image), {4, 4}, Qt::LeftButton);
    EXPECT_EQ(log, (QStringList{"imgIcon" + clickUp, "image click"}));
    log.clear();
    release(w->widgetFor(frame), {4, 4}, Qt::LeftButton);
    release(w->widgetFor(frame), {8, 9}, Qt::RightButton);
    EXPECT_EQ(log, (QStringList{"fraOptions" + clickUp, "fraOptions up " + upText(vbRightButton, 0, QtDesktop::twips(8), QtDesktop::twips(9))}));
    log.clear();

    // Qt's context menu is refused on a label, kept on a text box.
    QContextMenuEvent onLabel(QContextMenuEvent::Mouse, QPoint(3, 3), lbl->mapToGlobal(QPoint(3, 3)));
    EXPECT_TRUE(QApplication::sendEvent(lbl, &onLabel));
    QWidget* edit = w->widgetFor(box);
    QMouseEvent up(QEvent::MouseButtonRelease, QPointF(5, 6), edit->mapToGlobal(QPointF(5, 6)), Qt::RightButton, Qt::NoButton, Qt::NoModifier);
    edit->setContextMenuPolicy(Qt::NoContextMenu);   // (no menu to answer here)
    QApplication::sendEvent(edit, &up);
    EXPECT_EQ(log, QStringList{"txtName up " + upText(vbRightButton, 0, QtDesktop::twips(5), QtDesktop::twips(6))});
}

// The focus a user moves by Tab, Shift+Tab or a click reaches the model
// (GotFocus); the window's own focus moves do not. Only what can hold the
// focus takes it, a control without a tab stop only by a click, and what
// the program changes in the tab order on screen is the order Tab follows.
TEST_F(QtDesktopTest, TheFocusAUserMovesReachesTheModelAndTabFollowsTheModelsOrder)
{
    TextBox* a = nullptr;
    TextBox* b = nullptr;
    CommandButton* c = nullptr;
    Label* label = nullptr;
    TextBox* noStop = nullptr;
    BuiltForm f("frmFocus", [&](BuiltForm& form) {
        form.move(0, 0, 8000, 4000);
        a = form.add<TextBox>("txtA");
        b = form.add<TextBox>("txtB");
        c = form.add<CommandButton>("cmdC");
        label = form.add<Label>("lblD");
        noStop = form.add<TextBox>("txtE");   // without a tab stop from the start
        noStop->move(4000, 120, 2000, 315);
        noStop->setTabStop(false);
        int top = 120;
        for (Control* x : std::initializer_list<Control*>{a, b, c, label}) {
            x->move(120, top, 2000, 315);
            top += 500;
        }
        a->setTabIndex(0);
        b->setTabIndex(1);
        c->setTabIndex(2);
    });
    QStringList got;
    f.show();
    QApplication::processEvents();
    for (Control* x : std::initializer_list<Control*>{a, b, c}) x->GotFocus = [&got, x] { got << x->name(); };
    FormWindow* w = desk.window(f);
    w->activateWindow();   // (a window that is not the active one takes no focus)
    QApplication::processEvents();
    ASSERT_TRUE(w->isActiveWindow());
    EXPECT_EQ(w->widgetFor(a)->focusPolicy(), Qt::StrongFocus);
    EXPECT_EQ(w->widgetFor(label)->focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(w->widgetFor(noStop)->focusPolicy(), Qt::ClickFocus);
    for (Qt::FocusReason r : {Qt::TabFocusReason, Qt::BacktabFocusReason, Qt::MouseFocusReason, Qt::ShortcutFocusReason}) {
        w->widgetFor(r == Qt::BacktabFocusReason ? a : b)->setFocus(r);
        EXPECT_EQ(f.activeControl(), r == Qt::BacktabFocusReason ? static_cast<Control*>(a) : b) << r;
    }
    EXPECT_EQ(got, (QStringList{"txtB", "txtA", "txtB"})) << "a second move to the same control raises nothing";
    got.clear();
    w->widgetFor(c)->setFocus(Qt::OtherFocusReason);
    w->widgetFor(a)->setFocus(Qt::ActiveWindowFocusReason);
    EXPECT_EQ(got, QStringList());
    EXPECT_EQ(f.activeControl(), b);

    // No tab stop: a click still focuses it, Tab passes it by.
    b->setTabStop(false);
    EXPECT_EQ(w->widgetFor(b)->focusPolicy(), Qt::ClickFocus);
    const auto tabOrder = [w, a] {
        QStringList order;
        QWidget* from = w->widgetFor(a);
        for (QWidget* x = from->nextInFocusChain(); x != from; x = x->nextInFocusChain())
            if ((x->focusPolicy() & Qt::TabFocus) && x->isVisibleTo(w)) order << x->objectName();
        return order;
    };
    EXPECT_EQ(tabOrder(), QStringList{"cmdC"});
    b->setTabStop(true);
    EXPECT_EQ(w->widgetFor(b)->focusPolicy(), Qt::StrongFocus);
    c->setTabIndex(0);
    a->setTabIndex(3);   // now C, B, A
    EXPECT_EQ(tabOrder(), (QStringList{"cmdC", "txtB"}));
    w->widgetFor(c)->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(f.activeControl(), c);
}

// The default button shows as the default one, also while the keyboard is on
// another button, and another set on screen takes that over; the resizer's font switch turned on or off on screen
// scales the fonts or puts them back.
TEST_F(QtDesktopTest, TheDefaultButtonAndTheResizersFontSwitchFollowTheModelOnScreen)
{
    CommandButton* ok = nullptr;
    CommandButton* apply = nullptr;
    FormResizer* resizer = nullptr;
    BuiltForm f("frmDefault", [&](BuiltForm& form) {
        form.move(0, 0, 6120, 4950);
        resizer = form.add<FormResizer>("freeSizer1");
        ok = form.add<CommandButton>("cmdOK");
        ok->move(120, 120, 1500, 400);
        ok->setDefault(true);
        apply = form.add<CommandButton>("cmdApply");
        apply->move(1800, 120, 1500, 400);
    });
    f.show();
    QApplication::processEvents();
    FormWindow* w = desk.window(f);
    auto* okButton = static_cast<QPushButton*>(w->widgetFor(ok));
    auto* applyButton = static_cast<QPushButton*>(w->widgetFor(apply));
    EXPECT_TRUE(okButton->isDefault());
    EXPECT_FALSE(applyButton->isDefault());
    applyButton->setFocus(Qt::TabFocusReason);   // the keyboard on another button leaves the default one
    QApplication::processEvents();
    ASSERT_EQ(f.activeControl(), apply);
    EXPECT_TRUE(okButton->isDefault());
    EXPECT_FALSE(applyButton->isDefault());
    apply->setDefault(true);
    EXPECT_FALSE(okButton->isDefault());
    EXPECT_TRUE(applyButton->isDefault());
    f.setDefaultButton(nullptr);
    EXPECT_FALSE(applyButton->isDefault());

    const double designed = ok->font().size;
    w->resize(w->width() * 2, w->height() * 2);
    QApplication::processEvents();
    EXPECT_DOUBLE_EQ(okButton->font().pointSizeF(), designed) << "fonts stay until the switch is on";
    resizer->setResizeFonts(true);
    EXPECT_NEAR(okButton->font().pointSizeF(), designed * std::min(w->scaleX(), w->scaleY()), 0.01);
    EXPECT_GT(okButton->font().pointSizeF(), designed * 1.8);
    resizer->setResizeFonts(false);
    EXPECT_DOUBLE_EQ(okButton->font().pointSizeF(), designed);
}

// --- Lists and grids -------------------------------------------------------------------

// A list's keys move the model's current item (a page at a time by its own
// height, never past either end), Space toggles the current item of a
// multi-select list; the view shows the model's current row and top item,
// its scroll bar moves the model's top item, and the mouse reaches the
// model with its buttons and place while the view never sees a press.
TEST_F(QtDesktopTest, AListsKeysScrollAndMouseGoToTheModelAndTheViewShowsIt)
{
    ListBox* lst = nullptr;
    ListBox* multi = nullptr;
    ListBox* empty = nullptr;
    BuiltForm f("frmLists", [&](BuiltForm& form) {
        form.move(0, 0, 9000, 5000);
        lst = form.add<ListBox>("lstPaths");
        lst->move(120, 120, 3000, 2000);
        for (int i = 0; i < 40; ++i) lst->addItem(QStringLiteral("C:\\Folder %1").arg(i, 2, 10, QLatin1Char('0')));
        multi = form.add<ListBox>("lstExcluded");
        multi->move(3300, 120, 3000, 2000);
        multi->setMultiSelect(ListBox::Simple);
        for (const char* s : {"one", "two", "three"}) multi->addItem(s);
        for (int i = 0; i < 30; ++i) multi->addItem(QStringLiteral("more %1").arg(i));
        Font big = multi->font();
        big.size = 16;
        multi->setFont(big);
        empty = form.add<ListBox>("lstNothing");
        empty->move(6500, 120, 2000, 2000);
    });
    f.show();
    QApplication::processEvents();
    FormWindow* w = desk.window(f);
    auto* view = static_cast<QListView*>(w->widgetFor(lst));
    ASSERT_GT(lst->itemHeight(), 0);
    const int page = lst->height() / lst->itemHeight() - 1;
    ASSERT_GT(page, 1);
    Input::focus(*lst);
    const struct {
        int key;
        int index;
    } moves[] = {
        {Qt::Key_Down, 0},         {Qt::Key_Down, 1},          {Qt::Key_Up, 0},        {Qt::Key_Up, 0},
        {Qt::Key_PageDown, page},  {Qt::Key_PageDown, 2 * page}, {Qt::Key_PageUp, page}, {Qt::Key_End, 39},
        {Qt::Key_Down, 39},        {Qt::Key_PageDown, 39},     {Qt::Key_Home, 0},      {Qt::Key_PageUp, 0},
        {Qt::Key_End, 39},         {Qt::Key_PageUp, 39 - page},
    };
    lst->setListIndex(-1);
    for (const auto& m : moves) {
        sendKey(view, m.key);
        EXPECT_EQ(lst->listIndex(), m.index) << QKeySequence(m.key).toString().toStdString();
        EXPECT_EQ(view->currentIndex().row(), m.index);
        EXPECT_TRUE(view->viewport()->rect().contains(view->visualRect(view->currentIndex()).center())) << "scrolled into sight";
        EXPECT_EQ(lst->topIndex(), view->indexAt(QPoint(2, 2)).row()) << "the model's top item is the one shown";
    }
    // At the end already, the key still brings the current item into sight;
    // Space chooses nothing in a list of one choice.
    int clicks = 0;
    lst->Click = [&clicks] { ++clicks; };
    lst->setListIndex(39);
    lst->setTopIndex(0);
    EXPECT_EQ(view->indexAt(QPoint(2, 2)).row(), 0) << lst->topIndex();
    ASSERT_FALSE(view->viewport()->rect().contains(view->visualRect(view->currentIndex()).center()));
    sendKey(view, Qt::Key_Down);
    EXPECT_TRUE(view->viewport()->rect().contains(view->visualRect(view->currentIndex()).center()));
    clicks = 0;
    sendKey(view, Qt::Key_Space);
    EXPECT_EQ(clicks, 0);
    lst->Click = [] {};
    lst->setListIndex(-1);
    EXPECT_FALSE(view->currentIndex().isValid());

    // The program's top item is the one shown; the user's scroll is the model's.
    lst->setTopIndex(20);
    EXPECT_EQ(view->indexAt(QPoint(2, 2)).row(), 20);
    view->verticalScrollBar()->setValue(view->verticalScrollBar()->value() - 5);
    EXPECT_EQ(lst->topIndex(), 15);

    // Multi-select: arrows move nothing, Space toggles the current item.
    auto* multiView = static_cast<QListView*>(w->widgetFor(multi));
    Input::focus(*multi);
    sendKey(multiView, Qt::Key_Space);
    EXPECT_EQ(multi->selCount(), 0) << "no current item yet";
    multi->setListIndex(1);
    sendKey(multiView, Qt::Key_Down);
    EXPECT_EQ(multi->listIndex(), 1);
    sendKey(multiView, Qt::Key_Space);
    EXPECT_EQ(multi->selectedIndexes(), QList<int>{1});
    sendKey(multiView, Qt::Key_Space);
    EXPECT_EQ(multi->selCount(), 0);
    multi->setListIndex(0);
    sendKey(multiView, Qt::Key_Space);
    EXPECT_EQ(multi->selectedIndexes(), QList<int>{0});
    sendKey(multiView, Qt::Key_Space);
    multi->setListIndex(1);
    for (int key : {int(Qt::Key_End), int(Qt::Key_PageDown)}) sendKey(multiView, key);
    EXPECT_EQ(multi->listIndex(), 1);
    EXPECT_EQ(multi->topIndex(), 0) << "nothing scrolled either";
    // Rows as tall as their font: the model counts its pages in them.
    EXPECT_GE(multi->itemHeight(), QtDesktop::twips(QFontMetrics(multiView->font()).height()));
    const int small = lst->itemHeight();
    Font font = lst->font();
    font.size = 20;
    lst->setFont(font);
    EXPECT_EQ(lst->itemHeight(), QtDesktop::twips(view->sizeHintForRow(0)));
    EXPECT_GT(lst->itemHeight(), small * 2);
    Input::focus(*empty);
    sendKey(w->widgetFor(empty), Qt::Key_Down);
    EXPECT_EQ(empty->listIndex(), -1);

    // The mouse: moves with the buttons held, releases with their place.
    QStringList log;
    lst->MouseMove = [&log](int b, int s, int x, int y) { log << "move " + upText(b, s, x, y); };
    lst->MouseUp = [&log](int b, int s, int x, int y) { log << "up " + upText(b, s, x, y); };
    QWidget* port = view->viewport();
    const auto move = [port](QPoint at, Qt::MouseButtons held) {
        QMouseEvent e(QEvent::MouseMove, QPointF(at), port->mapToGlobal(QPointF(at)), Qt::NoButton, held, Qt::NoModifier);
        QApplication::sendEvent(port, &e);
    };
    move({10, 12}, Qt::NoButton);
    move({11, 13}, Qt::LeftButton);
    move({12, 14}, Qt::RightButton);
    move({13, 15}, Qt::LeftButton | Qt::RightButton);
    const int t = QtDesktop::twips(1);
    EXPECT_EQ(log, (QStringList{"move " + upText(0, 0, 10 * t, 12 * t), "move " + upText(vbLeftButton, 0, 11 * t, 13 * t),
                                "move " + upText(vbRightButton, 0, 12 * t, 14 * t),
                                "move " + upText(vbLeftButton | vbRightButton, 0, 13 * t, 15 * t)}));
    log.clear();
    int pressed = 0;
    QObject::connect(view, &QAbstractItemView::pressed, view, [&pressed] { ++pressed; });
    const QPoint onRow = view->visualRect(view->model()->index(16, 0)).center();
    QMouseEvent down(QEvent::MouseButtonPress, QPointF(onRow), port->mapToGlobal(QPointF(onRow)), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(port, &down);
    EXPECT_EQ(pressed, 0);
    release(port, onRow, Qt::RightButton, Qt::ShiftModifier);
    EXPECT_EQ(log, QStringList{"up " + upText(vbRightButton, vbShiftMask, onRow.x() * t, onRow.y() * t)});
    EXPECT_EQ(lst->listIndex(), -1) << "the right button chooses nothing";
    log.clear();
    release(port, onRow, Qt::LeftButton);
    EXPECT_EQ(lst->listIndex(), 16);
    EXPECT_EQ(log.size(), 1);
    log.clear();
    // Below the last item the left button is only a MouseUp.
    empty->MouseUp = [&log](int b, int s, int x, int y) { log << "empty up " + upText(b, s, x, y); };
    release(static_cast<QListView*>(w->widgetFor(empty))->viewport(), {20, 30}, Qt::LeftButton);
    EXPECT_EQ(empty->listIndex(), -1);
    EXPECT_EQ(log, QStringList{"empty up " + upText(vbLeftButton, 0, 20 * t, 30 * t)});
}

// A button released over a grid names the cell under it (the headings
// included, -1 outside the cells): the left one makes a scrolling cell
// current and clicks, the right one only tells where; a press never reaches
// the cells. Colours, alignment, merging, widths and heights the program
// sets on screen are what the view shows after the turn.
TEST_F(QtDesktopTest, AGridNamesTheCellUnderTheMouseAndShowsWhatTheProgramSetsOnScreen)
{
    FlexGrid* g = nullptr;
    BuiltForm f("frmGrid", [&](BuiltForm& form) {
        form.move(0, 0, 9000, 6000);
        g = form.add<FlexGrid>("grdResults");
        g->move(120, 120, 8000, 4000);
        g->setRows(30);
        g->setCols(5);
        g->setFixedRows(1);
        g->setFixedCols(1);
        for (int r = 0; r < 30; ++r)
            for (int c = 0; c < 5; ++c) g->setTextMatrix(r, c, QStringLiteral("%1.%2").arg(r).arg(c));
    });
    f.show();
    QApplication::processEvents();
    auto* view = static_cast<QTableView*>(desk.window(f)->widgetFor(g));
    QAbstractItemModel* model = view->model();
    QStringList log;
    g->MouseUp = [&log, g](int b, int s, int, int) { log << QStringLiteral("up %1 %2 at %3,%4").arg(b).arg(s).arg(g->mouseRow()).arg(g->mouseCol()); };
    g->Click = [&log, g] { log << QStringLiteral("click %1,%2").arg(g->row()).arg(g->col()); };
    const auto cellAt = [view](int r, int c) { return view->visualRect(view->model()->index(r, c)).center(); };
    QWidget* port = view->viewport();

    int pressed = 0;
    QObject::connect(view, &QAbstractItemView::pressed, view, [&pressed] { ++pressed; });
    QMouseEvent down(QEvent::MouseButtonPress, QPointF(cellAt(2, 1)), port->mapToGlobal(QPointF(cellAt(2, 1))), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(port, &down);
    EXPECT_EQ(pressed, 0);
    release(port, cellAt(2, 1), Qt::LeftButton);
    EXPECT_EQ(log, (QStringList{"up 1 0 at 3,2", "click 3,2"}));
    EXPECT_EQ(view->currentIndex(), model->index(2, 1));
    log.clear();
    release(port, cellAt(4, 3), Qt::RightButton, Qt::ControlModifier);
    EXPECT_EQ(log, QStringList{"up 2 2 at 5,4"});
    EXPECT_EQ(QPoint(g->row(), g->col()), QPoint(3, 2)) << "the right button moves no current cell";
    log.clear();
    QHeaderView* side = view->verticalHeader();
    release(side->viewport(), QPoint(side->width() / 2, side->sectionViewportPosition(6) + 2), Qt::RightButton);
    QHeaderView* top = view->horizontalHeader();
    release(top->viewport(), QPoint(top->sectionViewportPosition(2) + 3, 4), Qt::RightButton);
    EXPECT_EQ(log, (QStringList{"up 2 0 at 7,0", "up 2 0 at 0,3"}));
    log.clear();
    // The first scrolling row and column, and the first row's heading.
    release(port, cellAt(0, 0), Qt::RightButton);
    release(side->viewport(), QPoint(side->width() / 2, side->sectionViewportPosition(0) + 2), Qt::RightButton);
    EXPECT_EQ(log, (QStringList{"up 2 0 at 1,1", "up 2 0 at 1,0"}));
    log.clear();

    // Below the last row and right of the last column: outside the cells.
    g->setRows(3);
    desk.doEvents();
    const QPoint below(cellAt(0, 0).x(), view->visualRect(model->index(1, 0)).bottom() + 10);
    release(port, below, Qt::RightButton);
    EXPECT_EQ(log, QStringList{"up 2 0 at -1,-1"});
    log.clear();
    g->setColWidth(4, 300);
    desk.doEvents();
    release(port, QPoint(view->visualRect(model->index(0, 3)).right() + 20, cellAt(0, 0).y()), Qt::RightButton);
    EXPECT_EQ(log, QStringList{"up 2 0 at -1,-1"});

    // The grid's own colours fill the cells without one of their own.
    g->setCellBackColorAt(1, 2, rgb(0, 0, 255));
    g->setBackColor(rgb(1, 2, 3));
    g->setForeColor(rgb(200, 100, 50));
    desk.doEvents();
    EXPECT_EQ(model->data(model->index(0, 0), Qt::BackgroundRole).value<QColor>(), QColor(1, 2, 3));
    EXPECT_EQ(model->data(model->index(1, 0), Qt::ForegroundRole).value<QColor>(), QColor(200, 100, 50));
    EXPECT_EQ(model->data(model->index(0, 1), Qt::BackgroundRole).value<QColor>(), QColor(0, 0, 255));
    g->setColAlignment(2, 8);
    g->setFixedAlignment(2, 0);
    desk.doEvents();
    EXPECT_EQ(model->data(model->index(1, 1), Qt::TextAlignmentRole).value<Qt::Alignment>(), Qt::AlignRight | Qt::AlignBottom);
    EXPECT_EQ(model->headerData(1, Qt::Horizontal, Qt::TextAlignmentRole).value<Qt::Alignment>(), Qt::AlignLeft | Qt::AlignTop);

    // Merging turned on, and a row made a merge row, on screen.
    for (int c = 1; c < 5; ++c) g->setTextMatrix(2, c, "same");
    desk.doEvents();
    EXPECT_EQ(view->columnSpan(1, 0), 1);
    g->setMergeRow(2, true);
    desk.doEvents();
    EXPECT_EQ(view->columnSpan(1, 0), 1) << "merging is off";
    g->setMergeCells(1);
    desk.doEvents();
    EXPECT_EQ(view->columnSpan(1, 0), 4);
    for (int c = 1; c < 5; ++c) g->setTextMatrix(1, c, "same");   // not a merge row
    desk.doEvents();
    EXPECT_EQ(view->columnSpan(0, 0), 1);
    g->setMergeRow(2, false);
    desk.doEvents();
    EXPECT_EQ(view->columnSpan(1, 0), 1);
    g->setMergeRow(2, true);
    desk.doEvents();
    EXPECT_EQ(view->columnSpan(1, 0), 4);
    g->setMergeCells(0);
    desk.doEvents();
    EXPECT_EQ(view->columnSpan(1, 0), 1);

    // Heights and widths, the fixed column's included.
    g->setRowHeight(600);
    g->setColWidth(0, 1500);
    g->setColWidth(3, 2000);
    desk.doEvents();
    EXPECT_EQ(side->defaultSectionSize(), QtDesktop::px(600));
    EXPECT_EQ(top->height(), QtDesktop::px(600));
    EXPECT_EQ(side->width(), QtDesktop::px(1500));
    EXPECT_EQ(view->columnWidth(2), QtDesktop::px(2000));
    g->setFixedCols(0);
    g->setFixedRows(0);
    desk.doEvents();
    EXPECT_FALSE(side->isVisibleTo(view));
    EXPECT_FALSE(top->isVisibleTo(view));
    EXPECT_EQ(model->columnCount(), 5);
    EXPECT_EQ(model->data(model->index(0, 0)).toString(), "0.0");
}

// --- Trees ------------------------------------------------------------------------------

namespace {

// The view's items as "text[children]" with "+" after an expanded one.
QString shape(QTreeWidgetItem* item)
{
    QString s = item->text(0);
    if (item->isExpanded()) s += u'+';
    if (item->childCount() == 0) return s;
    QStringList kids;
    for (int i = 0; i < item->childCount(); ++i) kids << shape(item->child(i));
    return s + u'[' + kids.join(u',') + u']';
}

QString shape(QTreeWidget* view)
{
    QStringList roots;
    for (int i = 0; i < view->topLevelItemCount(); ++i) roots << shape(view->topLevelItem(i));
    return roots.join(u' ');
}

} // namespace

// The view holds the model's nodes in the model's order whatever the
// program does on screen: nodes added, renamed, sorted (the roots too),
// removed with their branch and added anew, all cleared; the selection the
// program sets shows; the keys and the mouse of the user move the model's
// selection and expansion, a node without a key included.
TEST_F(QtDesktopTest, ATreeViewHoldsTheModelsNodesInOrderThroughEveryChangeOnScreen)
{
    TreeView* tree = nullptr;
    BuiltForm f("frmTree", [&](BuiltForm& form) {
        form.move(0, 0, 6000, 6000);
        tree = form.add<TreeView>("tvwStructure");
        tree->move(120, 120, 4000, 5000);
        tree->add({}, TreeView::tvwLast, "D:", "D:");
        tree->add({}, TreeView::tvwLast, "C:", "C:");
        tree->add("C:", TreeView::tvwChild, "C:\\B", "B");
        tree->add("C:", TreeView::tvwChild, "C:\\A", "A");
        tree->add("C:\\A", TreeView::tvwChild, "C:\\A\\1", "1");
        tree->add("C:\\A\\1", TreeView::tvwChild, "C:\\A\\1\\x", "x");
        tree->node("C:")->setExpanded(true);
    });
    QStringList events;
    f.show();
    tree->NodeClick = [&events](TreeNode* n) { events << "click " + n->text(); };
    tree->Expand = [&events](TreeNode* n) { events << "expand " + n->text(); };
    tree->Collapse = [&events](TreeNode* n) { events << "collapse " + n->text(); };
    auto* view = static_cast<QTreeWidget*>(desk.window(f)->widgetFor(tree));
    EXPECT_EQ(shape(view), "D: C:+[B,A[1[x]]]");

    tree->node("C:")->setSorted(true);
    EXPECT_EQ(shape(view), "D: C:+[A[1[x]],B]");
    tree->node("C:\\A")->setText("Z");
    EXPECT_EQ(shape(view), "D: C:+[B,Z[1[x]]]") << "renamed, it moves to its sorted place";
    tree->node("C:\\A\\1")->setText("2");
    EXPECT_EQ(shape(view), "D: C:+[B,Z[2[x]]]");
    tree->setSorted(true);
    EXPECT_EQ(shape(view), "C:+[B,Z[2[x]]] D:") << "the roots sorted, the expansion kept";

    // A branch removed and nodes added anew show as the model holds them.
    tree->remove("C:\\A");
    EXPECT_EQ(shape(view), "C:+[B] D:");
    for (int round = 0; round < 3; ++round) {
        tree->add("C:", TreeView::tvwChild, "C:\\A", "A");
        tree->add("C:\\A", TreeView::tvwChild, "C:\\A\\1", "1");
        tree->add("C:\\A\\1", TreeView::tvwChild, "C:\\A\\1\\x", "x");
        tree->add("C:\\A\\1", TreeView::tvwChild, "C:\\A\\1\\y", "y");
        EXPECT_EQ(shape(view), "C:+[A[1[x,y]],B] D:") << round;
        tree->remove("C:\\A");
    }
    tree->clear();
    EXPECT_EQ(view->topLevelItemCount(), 0);
    tree->add({}, TreeView::tvwLast, "E:", "E:");
    tree->add("E:", TreeView::tvwChild, {}, "(loading)");
    tree->add({}, TreeView::tvwLast, "F:", "F:");
    tree->add("F:", TreeView::tvwChild, "F:\\G", "G");
    EXPECT_EQ(shape(view), "E:[(loading)] F:[G]");

    // The selection the program sets, and none.
    tree->setSelectedItem(tree->node("F:"));
    EXPECT_EQ(view->currentItem()->text(0), "F:");
    EXPECT_TRUE(view->currentItem()->isSelected());
    tree->setSelectedItem(nullptr);
    EXPECT_TRUE(view->selectedItems().isEmpty());

    // The user's expansion, also of a node without a key.
    const auto item = [view](const QString& text) { return view->findItems(text, Qt::MatchExactly | Qt::MatchRecursive).value(0); };
    item("F:")->setExpanded(true);
    EXPECT_TRUE(tree->node("F:")->expanded());
    tree->add("E:", TreeView::tvwChild, {}, "(more)");
    tree->add("E:", TreeView::tvwChild, {}, "(even more)");
    TreeNode* loading = tree->node("E:")->child();
    item("E:")->setExpanded(true);
    item("(loading)")->setExpanded(true);
    EXPECT_TRUE(loading->expanded());
    item("(loading)")->setExpanded(false);
    EXPECT_FALSE(loading->expanded());
    item("E:")->setExpanded(false);
    tree->add({}, TreeView::tvwLast, "H:", "H:");
    EXPECT_EQ(shape(view), "E:[(loading),(more),(even more)] F:+[G] H:");
    Input::focus(*tree);
    tree->setSelectedItem(tree->node("F:"));
    events.clear();
    sendKey(view, Qt::Key_Down);
    EXPECT_EQ(tree->selectedItem(), tree->node("F:\\G"));
    sendKey(view, Qt::Key_Down);
    EXPECT_EQ(tree->selectedItem(), tree->node("H:"));
    sendKey(view, Qt::Key_Up);
    sendKey(view, Qt::Key_Up);
    EXPECT_EQ(tree->selectedItem(), tree->node("F:"));
    EXPECT_EQ(events, (QStringList{"click G", "click H:", "click G", "click F:"}));
    item("F:")->setExpanded(false);
    EXPECT_FALSE(tree->node("F:")->expanded());
    EXPECT_EQ(events.last(), "collapse F:");

    // A right press leaves the selection; it is no click.
    events.clear();
    const QPoint at = view->visualItemRect(item("H:")).center();
    QMouseEvent down(QEvent::MouseButtonPress, QPointF(at), view->viewport()->mapToGlobal(QPointF(at)), Qt::RightButton, Qt::RightButton, Qt::NoModifier);
    QApplication::sendEvent(view->viewport(), &down);
    release(view->viewport(), at, Qt::RightButton);
    EXPECT_EQ(tree->selectedItem(), tree->node("F:"));
    EXPECT_EQ(view->currentItem(), item("F:"));
    EXPECT_EQ(events, QStringList());
}

// --- Nested controls and menus ---------------------------------------------------------

// A click or a right click on a control inside a frame is that control's
// alone: the frame under it hears nothing of it.
TEST_F(QtDesktopTest, AButtonReleasedOnAControlInsideAFrameReachesOnlyThatControl)
{
    Frame* frame = nullptr;
    Label* label = nullptr;
    BuiltForm f("frmFramed", [&](BuiltForm& form) {
        form.move(0, 0, 6000, 4000);
        frame = form.add<Frame>("fraOptions");
        frame->move(120, 120, 4000, 3000);
        label = form.add<Label>("lblInside", -1, frame);
        label->move(300, 600, 2000, 300);
    });
    QStringList log;
    f.show();
    for (Control* c : std::initializer_list<Control*>{frame, label})
        c->MouseUp = [&log, c](int b, int, int, int) { log << c->name() + QStringLiteral(" up %1").arg(b); };
    label->Click = [&log] { log << "label click"; };
    QWidget* q = desk.window(f)->widgetFor(label);
    ASSERT_EQ(q->parentWidget(), desk.window(f)->widgetFor(frame));
    release(q, {3, 3}, Qt::LeftButton);
    release(q, {3, 3}, Qt::RightButton);
    EXPECT_EQ(log, (QStringList{"lblInside up 1", "label click", "lblInside up 2"}));
}

namespace {

// The actions of a menu as "text" ("-" a separator, "(x)" disabled, "*"
// checked, "[...]" a submenu's items).
QString menuShape(QMenu* menu)
{
    QStringList out;
    for (QAction* a : menu->actions()) {
        if (!a->isVisible()) continue;
        QString s = a->isSeparator() ? QStringLiteral("-") : a->text();
        if (a->isChecked()) s += u'*';
        if (!a->isEnabled()) s = u'(' + s + u')';
        if (a->menu()) s += u'[' + menuShape(a->menu()) + u']';
        out << s;
    }
    return out.join(u'|');
}

} // namespace

// A pop-up menu shows the items the model holds, as it holds them (hidden
// ones left out, separators, greyed and ticked ones, submenus), opens where
// the program asks, and what the user chooses there is clicked in the
// model. Items added to the bar's menus while the window is up show there.
TEST_F(QtDesktopTest, PopUpAndBarMenusShowTheModelsItemsAndTheChoiceIsClicked)
{
    BuiltForm f("frmMenus");
    f.load();
    f.move(0, 0, 6000, 4000);
    Menu* context = f.addMenu("mnuContext", "Context");
    Menu* open = f.addMenu("mnuOpen", "Open", context);
    f.addMenu("mnuSep", "-", context);
    Menu* hidden = f.addMenu("mnuHidden", "Hidden", context);
    hidden->setVisible(false);
    Menu* greyed = f.addMenu("mnuGreyed", "Greyed & grey", context);
    greyed->setEnabled(false);
    Menu* ticked = f.addMenu("mnuTicked", "Ticked", context);
    ticked->setChecked(true);
    Menu* more = f.addMenu("mnuMore", "More", context);
    f.addMenu("mnuMoreOne", "One", more);
    Menu* off = f.addMenu("mnuOff", "Off", context);
    off->setEnabled(false);
    f.addMenu("mnuOffOne", "Inside", off);
    QStringList clicks;
    for (Menu* m : {context, open, ticked}) m->Click = [&clicks, m] { clicks << m->caption(); };
    f.show();
    FormWindow* w = desk.window(f);

    QString seen;
    QPoint seenAt;
    QString choose = "Open";
    desk.setDialogHook([&](QWidget* d) {
        auto* menu = qobject_cast<QMenu*>(d);
        ASSERT_NE(menu, nullptr);
        seen = menuShape(menu);
        seenAt = menu->pos();
        for (QAction* a : menu->actions())
            if (a->text() == choose) {
                menu->setActiveAction(a);
                QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
                QApplication::sendEvent(menu, &enter);
                return;
            }
        menu->close();
    });
    f.popupMenu(*context, 0, 600, 300);
    EXPECT_EQ(seen.toStdString(), "Open|-|(Greyed && grey)|Ticked*|More[One]|(Off)[Inside]");
    EXPECT_EQ(seenAt, w->client()->mapToGlobal(QPoint(QtDesktop::px(600), QtDesktop::px(300))));
    EXPECT_EQ(clicks, (QStringList{"Context", "Open"}));
    clicks.clear();
    choose = "Ticked";
    f.popupMenu(*context);
    EXPECT_EQ(clicks, (QStringList{"Context", "Ticked"}));
    clicks.clear();
    choose = "none";
    QCursor::setPos(w->mapToGlobal(QPoint(w->width() / 2, w->height() / 2)));
    f.popupMenu(*context, 0, 600, -1);   // without both numbers: at the pointer
    EXPECT_EQ(clicks, QStringList{"Context"}) << "closed without a choice";
    EXPECT_EQ(seenAt, QCursor::pos());
    clicks.clear();
    // Opening it from the bar is its Click too.
    QMenu* barMenu = w->menuBar()->actions().first()->menu();
    barMenu->popup(w->mapToGlobal(QPoint(0, 0)));
    barMenu->close();
    EXPECT_EQ(clicks, QStringList{"Context"});

    // The bar: an item and a menu added on screen, a caption made a separator.
    f.addMenu("mnuLate", "Late", context);
    Menu* tools = f.addMenu("mnuTools", "Tools");
    f.addMenu("mnuToolsRun", "Run", tools);
    desk.doEvents();
    QStringList bar;
    for (QAction* a : w->menuBar()->actions()) bar << a->text() + u'[' + menuShape(a->menu()) + u']';
    EXPECT_EQ(bar.join(u' ').toStdString(), (QStringList{"Context[Open|-|(Greyed && grey)|Ticked*|More[One]|(Off)[Inside]|Late]", "Tools[Run]"}).join(u' ').toStdString());
    open->setCaption("-");
    hidden->setVisible(true);
    desk.doEvents();
    EXPECT_EQ(menuShape(w->menuBar()->actions().first()->menu()).toStdString(), "-|-|Hidden|(Greyed && grey)|Ticked*|More[One]|(Off)[Inside]|Late");
}

// What the program changes for a whole grid while it is up (the alignment
// of a column and of its heading, the colours) is repainted on screen, the
// headings and the last row included, not only when something else paints.
TEST_F(QtDesktopTest, AGridRepaintsItsHeadingsAndEveryRowForAChangeOfTheWholeGrid)
{
    FlexGrid* g = nullptr;
    BuiltForm f("frmGrid", [&](BuiltForm& form) {
        form.move(0, 0, 6000, 3000);
        g = form.add<FlexGrid>("grdResults");
        g->move(0, 0, 5000, 1500);
        g->setRows(2);   // one row under the headings: it is the last one
        g->setCols(2);
        g->setFixedCols(0);
        g->setColWidth(0, 3000);
        for (int r = 0; r < 2; ++r) g->setTextMatrix(r, 0, QStringLiteral("Name %1").arg(r));
    });
    // (Nothing left over from before may cover the window on the screen.)
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    f.show();
    QApplication::processEvents();
    auto* view = static_cast<QTableView*>(desk.window(f)->widgetFor(g));
    for (QWidget* other : QApplication::topLevelWidgets())
        if (other != desk.window(f) && other->isVisible()) ADD_FAILURE() << "also up: " << other->objectName().toStdString();
    // What the screen shows of a part of the view, and what it should show.
    const auto onScreen = [view](QWidget* part) {
        QApplication::processEvents();
        const QImage all = view->screen()->grabWindow(view->window()->winId()).toImage();
        return all.copy(QRect(part->mapTo(view->window(), QPoint(0, 0)), part->size()));
    };
    const auto shown = [&](QWidget* part) { return onScreen(part) == part->grab().toImage(); };
    QWidget* heads = view->horizontalHeader()->viewport();
    QWidget* cells = view->viewport();
    ASSERT_TRUE(shown(heads));
    ASSERT_TRUE(shown(cells));
    const QImage headsBefore = onScreen(heads), cellsBefore = onScreen(cells);
    g->setFixedAlignment(0, 2);
    desk.doEvents();
    EXPECT_NE(onScreen(heads), headsBefore);
    EXPECT_TRUE(shown(heads));
    g->setColAlignment(0, 7);
    desk.doEvents();
    EXPECT_NE(onScreen(cells), cellsBefore);
    EXPECT_TRUE(shown(cells)) << "every row, the last one too";

    // A grid of one row and no headings.
    g->setFixedRows(0);
    g->setRows(1);
    desk.doEvents();
    ASSERT_TRUE(shown(cells));
    const QImage oneRow = onScreen(cells);
    g->setColAlignment(0, 1);
    desk.doEvents();
    EXPECT_NE(onScreen(cells), oneRow);
    EXPECT_TRUE(shown(cells));
}

// --- What the model decides stays on screen --------------------------------------------

// A label re-places its line whenever its size changes: too low to hold a
// centred line it starts at the top, made tall enough it centres the line
// in its own colour.
TEST_F(QtDesktopTest, ALabelMadeTallEnoughOnScreenCentresItsLineInItsColour)
{
    Label* label = nullptr;
    BuiltForm f("frmLabel", [&](BuiltForm& form) {
        form.move(0, 0, 5000, 3000);
        label = form.add<Label>("lblCurrentPath");
        label->move(120, 120, 3000, 90);
        label->setBackColor(0xC0FFFF);
        label->setCaption("C:\\Data");
    });
    f.show();
    QApplication::processEvents();
    auto* q = static_cast<QLabel*>(desk.window(f)->widgetFor(label));
    EXPECT_EQ(q->alignment() & Qt::AlignVertical_Mask, Qt::AlignTop);
    label->setHeight(900);
    EXPECT_EQ(q->alignment() & Qt::AlignVertical_Mask, Qt::AlignVCenter);
    label->setHeight(90);
    EXPECT_EQ(q->alignment() & Qt::AlignVertical_Mask, Qt::AlignTop);
}

// A window opened from none stands in the middle of the screen.
TEST_F(QtDesktopTest, AWindowOpenedFromNoOtherStandsInTheMiddleOfTheScreen)
{
    BuiltForm f("frmAlone", [](BuiltForm& form) { form.move(0, 0, 4000, 3000); });
    f.show();
    FormWindow* w = desk.window(f);
    ASSERT_EQ(w->owner(), nullptr);
    const QRect screen = w->screen()->availableGeometry();
    EXPECT_LE((w->frameGeometry().center() - screen.center()).manhattanLength(), 4);
    f.unload();
}

// A column border dragged on a grid that takes no input snaps back to the
// model's width; an expansion the program takes back in its Expand handler
// shows collapsed, and the node it selected there shows selected.
TEST_F(QtDesktopTest, WhatTheModelRefusesOrTakesBackShowsAsTheModelHoldsIt)
{
    FlexGrid* g = nullptr;
    TreeView* tree = nullptr;
    BuiltForm f("frmRefuse", [&](BuiltForm& form) {
        form.move(0, 0, 9000, 5000);
        g = form.add<FlexGrid>("grdResults");
        g->move(120, 120, 4000, 3000);
        g->setRows(3);
        g->setCols(3);
        g->setColWidth(1, 900);
        tree = form.add<TreeView>("tvwStructure");
        tree->move(4500, 120, 4000, 3000);
        tree->add({}, TreeView::tvwLast, "C:", "C:");
        tree->add("C:", TreeView::tvwChild, "C:\\A", "A");
    });
    f.show();
    QApplication::processEvents();
    FormWindow* w = desk.window(f);
    auto* grid = static_cast<QTableView*>(w->widgetFor(g));
    f.setEnabled(false);   // a window that takes no input (a modal one is up)
    grid->horizontalHeader()->resizeSection(0, 150);
    EXPECT_EQ(g->colWidth(1), 900);
    EXPECT_EQ(grid->columnWidth(0), QtDesktop::px(900));
    f.setEnabled(true);

    auto* view = static_cast<QTreeWidget*>(w->widgetFor(tree));
    tree->Expand = [tree](TreeNode* n) {
        n->setExpanded(false);
        tree->setSelectedItem(n->child());
    };
    view->topLevelItem(0)->setExpanded(true);
    EXPECT_FALSE(tree->node("C:")->expanded());
    EXPECT_FALSE(view->topLevelItem(0)->isExpanded());
    EXPECT_EQ(view->currentItem(), view->topLevelItem(0)->child(0));

    // A branch the user closes over the selected node: the view shows the
    // node the model holds selected then.
    tree->Expand = [](TreeNode*) {};
    view->topLevelItem(0)->setExpanded(true);
    testing_support::clickTreeItem(view, view->topLevelItem(0)->child(0));
    ASSERT_EQ(tree->selectedItem(), tree->node("C:\\A"));
    view->topLevelItem(0)->setExpanded(false);
    ASSERT_NE(tree->selectedItem(), nullptr);
    EXPECT_EQ(view->currentItem()->text(0), tree->selectedItem()->text());
    EXPECT_TRUE(view->currentItem()->isSelected());
}

// A key typed in a tree reaches the form as the character it gives: by its
// key code (KeyDown, then KeyPress) when that code stands for the character,
// else as the character itself (a capital under Caps Lock, a shifted digit,
// a space of another kind).
TEST_F(QtDesktopTest, AKeyTypedInATreeReachesTheFormAsTheCharacterItGives)
{
    TreeView* tree = nullptr;
    BuiltForm f("frmTreeKeys", [&](BuiltForm& form) {
        tree = form.add<TreeView>("tvwStructure");
        tree->move(120, 120, 3000, 3000);
        tree->add({}, TreeView::tvwLast, "C:", "C:");
        for (const char* name : {"Users", "&", "7", "Ψ"})
            tree->add("C:", TreeView::tvwChild, QStringLiteral("C:\\") + QString::fromUtf8(name), QString::fromUtf8(name));
        tree->node("C:")->setExpanded(true);
        tree->setSelectedItem(tree->node("C:"));
        form.setKeyPreview(true);
    });
    QStringList log;
    f.KeyDown = [&log](int& code, int shift) { log << QStringLiteral("down %1 %2").arg(code).arg(shift); };
    f.KeyPress = [&log](int& ascii) {
        log << QStringLiteral("press %1").arg(ascii);
        ascii = 0;   // no node is looked for
    };
    f.show();
    auto* view = static_cast<QTreeWidget*>(desk.window(f)->widgetFor(tree));
    Input::focus(*tree);
    const struct {
        int key;
        Qt::KeyboardModifiers mods;
        QString text;
        QStringList log;
    } keys[] = {
        {Qt::Key_U, Qt::NoModifier, "u", {"down 85 0", "press 117"}},
        {Qt::Key_U, Qt::ShiftModifier, "U", {"down 85 1", "press 85"}},
        {Qt::Key_U, Qt::NoModifier, "U", {"press 85"}},
        {Qt::Key_7, Qt::NoModifier, "7", {"down 55 0", "press 55"}},
        {Qt::Key_7, Qt::ShiftModifier, "&", {"press 38"}},
        {Qt::Key_Space, Qt::NoModifier, " ", {"down 32 0", "press 32"}},
        {Qt::Key_Space, Qt::NoModifier, QString(QChar(0xA0)), {"press 160"}},
        {0, Qt::NoModifier, QString::fromUtf8("ψ"), {QStringLiteral("press %1").arg(0x3C8)}},
    };
    for (const auto& k : keys) {
        log.clear();
        QKeyEvent press(QEvent::KeyPress, k.key, k.mods, k.text);
        QApplication::sendEvent(view, &press);
        EXPECT_EQ(log, k.log) << k.text.toStdString();
        // The view's own search found nothing either.
        EXPECT_EQ(view->currentItem()->text(0), "C:") << k.text.toStdString();
    }
}

// A real mouse click on a button, a check box or an option button goes to
// the model, and the box then shows what the model holds, also when the
// program takes the change back in its Click.
TEST_F(QtDesktopTest, AMouseClickOnAButtonOrABoxGoesToTheModelAndTheBoxShowsIt)
{
    CommandButton* button = nullptr;
    CheckBox* check = nullptr;
    CheckBox* stubborn = nullptr;
    OptionButton* option = nullptr;
    BuiltForm f("frmClicks", [&](BuiltForm& form) {
        form.move(0, 0, 6000, 4000);
        button = form.add<CommandButton>("cmdApply");
        button->move(120, 120, 1500, 400);
        check = form.add<CheckBox>("chkSort");
        check->move(120, 700, 3000, 300);
        stubborn = form.add<CheckBox>("chkFixed");
        stubborn->move(120, 1200, 3000, 300);
        option = form.add<OptionButton>("optSide");
        option->move(120, 1700, 3000, 300);
        form.add<OptionButton>("optOther")->move(120, 2200, 3000, 300);
    });
    QStringList log;
    f.show();
    QApplication::processEvents();
    button->Click = [&log] { log << "button"; };
    check->Click = [&log, check] { log << QStringLiteral("check %1").arg(check->value()); };
    stubborn->Click = [&log, stubborn] {
        log << "stubborn";
        stubborn->setValue(0);
    };
    option->Click = [&log] { log << "option"; };
    FormWindow* w = desk.window(f);
    const auto click = [](QWidget* q) {
        const QPointF at(q->width() / 2.0, q->height() / 2.0);
        const QPointF onBox(8, q->height() / 2.0);   // the box itself, not only its text
        for (const QPointF& p : {q->inherits("QPushButton") ? at : onBox}) {
            QMouseEvent down(QEvent::MouseButtonPress, p, q->mapToGlobal(p), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(q, &down);
            QMouseEvent up(QEvent::MouseButtonRelease, p, q->mapToGlobal(p), Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(q, &up);
        }
    };
    click(w->widgetFor(button));
    click(w->widgetFor(check));
    click(w->widgetFor(stubborn));
    click(w->widgetFor(option));
    EXPECT_EQ(log, (QStringList{"button", "check 1", "stubborn", "stubborn", "option"}));   // (taking it back is a Click too)
    EXPECT_EQ(check->value(), 1);
    EXPECT_EQ(static_cast<QCheckBox*>(w->widgetFor(check))->checkState(), Qt::Checked);
    EXPECT_EQ(stubborn->value(), 0);
    EXPECT_EQ(static_cast<QCheckBox*>(w->widgetFor(stubborn))->checkState(), Qt::Unchecked);
    EXPECT_TRUE(option->value());
    EXPECT_TRUE(static_cast<QRadioButton*>(w->widgetFor(option))->isChecked());
    log.clear();
    click(w->widgetFor(check));
    click(w->widgetFor(option));   // already chosen: nothing
    EXPECT_EQ(log, QStringList{"check 0"});
    EXPECT_EQ(static_cast<QCheckBox*>(w->widgetFor(check))->checkState(), Qt::Unchecked);
    EXPECT_TRUE(static_cast<QRadioButton*>(w->widgetFor(option))->isChecked());
    option->setValue(false);   // the program clears the choice: none is shown chosen
    EXPECT_FALSE(static_cast<QRadioButton*>(w->widgetFor(option))->isChecked());
}

// A button shows its picture only in the graphical style (without a
// picture, its caption), whatever size it is given on screen.
TEST_F(QtDesktopTest, AButtonShowsItsPictureOnlyInTheGraphicalStyle)
{
    CommandButton* b = nullptr;
    BuiltForm f("frmPicture", [&](BuiltForm& form) {
        form.move(0, 0, 6000, 3000);
        b = form.add<CommandButton>("cmdCompare");
        b->move(120, 120, 1500, 450);
        b->setCaption("Compare");
        b->setPicture(Picture{":/icons/compare.png"});
    });
    f.show();
    auto* q = static_cast<QPushButton*>(desk.window(f)->widgetFor(b));
    const auto shows = [q] { return (q->icon().isNull() ? QString() : QStringLiteral("icon ")) + q->text(); };
    EXPECT_EQ(shows(), "Compare");
    b->move(120, 120, 3000, 900);
    EXPECT_EQ(shows(), "Compare");
    b->setStyle(1);
    EXPECT_EQ(shows(), "icon ");
    b->move(120, 120, 1500, 450);
    EXPECT_EQ(shows(), "icon ");
    EXPECT_LE(q->iconSize().width(), q->width());
    b->setPicture({});
    b->move(120, 120, 2000, 450);
    EXPECT_EQ(shows(), "Compare");
    b->setStyle(0);
    EXPECT_EQ(shows(), "Compare");
}
