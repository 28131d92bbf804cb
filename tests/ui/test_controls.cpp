#include "TestSupport.h"

#include "ui/FlexGrid.h"
#include "ui/ListBox.h"
#include "ui/TreeView.h"

#include <cmath>
#include <limits>
#include <tuple>

using namespace ui;
using uitest::TestForm;
using uitest::UiTest;
using uitest::expectUiError;

// --- Events raised by code writes ----------------------------------------------

TEST_F(UiTest, CodeWritesRaiseTheirEventOnlyOnRealChangesAndAPressOnlyWhenEnabled)
{
    TestForm f(QStringLiteral("frmOptions"));
    f.load();
    auto* chk = f.add<CheckBox>(QStringLiteral("chkResizeFont"));
    auto* txt = f.add<TextBox>(QStringLiteral("txtFindString"));
    auto* lbl = f.add<Label>(QStringLiteral("lblSettingsFolderExternal"));
    auto* cmd = f.add<CommandButton>(QStringLiteral("cmdPrint"));
    auto* lst = f.add<ListBox>(QStringLiteral("lstFirstLevelFolders"));
    int clicks = 0, textChanges = 0, captionChanges = 0, presses = 0;
    QList<int> listClicks;
    chk->Click = [&] { ++clicks; };
    txt->Change = [&] { ++textChanges; };
    lbl->Change = [&] { ++captionChanges; };
    cmd->Click = [&] { ++presses; };
    // A Click that resets the current item: the nested Click sees -1 and
    // stops, because setting -1 again changes nothing.
    lst->Click = [&] {
        listClicks << lst->listIndex();
        lst->setListIndex(-1);
    };
    for (const auto& [v, want] : {std::pair{1, 1}, {1, 1}, {0, 2}}) {
        chk->setValue(v);
        EXPECT_EQ(clicks, want);
    }
    EXPECT_THROW(chk->setValue(3), UiError);
    for (const auto& [text, want] : {std::pair{QStringLiteral("C:\\Data"), 1}, {QStringLiteral("C:\\Data"), 1}, {QString(), 2}}) {
        txt->setText(text);
        lbl->setCaption(text);
        EXPECT_EQ(textChanges, want);
        EXPECT_EQ(captionChanges, want);
    }
    cmd->setValue(true);
    EXPECT_EQ(presses, 1);
    EXPECT_FALSE(cmd->value());
    cmd->setEnabled(false);
    cmd->setValue(true);
    EXPECT_EQ(presses, 1);
    lst->addItem(QStringLiteral("a"));
    lst->addItem(QStringLiteral("b"));
    lst->setListIndex(1);
    EXPECT_EQ(listClicks, (QList<int>{1, -1}));
    EXPECT_EQ(lst->listIndex(), -1);
}

// A control moved without a change of size, or resized where it stands,
// takes the new place or size.
TEST_F(UiTest, AControlMovedOrResizedAloneTakesTheChange)
{
    TestForm f(QStringLiteral("frmMain"));
    f.load();
    auto* cmd = f.add<CommandButton>(QStringLiteral("cmdCompare"));
    cmd->move(100, 200, 1500, 450);
    cmd->move(300, 250, 1500, 450);
    EXPECT_EQ(std::vector<int>({cmd->left(), cmd->top(), cmd->width(), cmd->height()}), std::vector<int>({300, 250, 1500, 450}));
    cmd->move(300, 250, 1200, 400);
    EXPECT_EQ(std::vector<int>({cmd->left(), cmd->top(), cmd->width(), cmd->height()}), std::vector<int>({300, 250, 1200, 400}));
}

TEST_F(UiTest, OptionButtonsAreExclusivePerContainerAndAnUpDownWritesItsBuddyFirst)
{
    TestForm f(QStringLiteral("frmPageSetup"));
    f.load();
    auto* fra = f.add<Frame>(QStringLiteral("fraFont"));
    ControlArray<OptionButton> optForm, optFrame;
    QStringList clicks;
    for (int i = 0; i < 2; ++i) {
        f.addTo(optForm, QStringLiteral("optA"), i)->Click = [&, i] { clicks << QStringLiteral("A%1").arg(i); };
        f.addTo(optFrame, QStringLiteral("optB"), i, fra)->Click = [&, i] { clicks << QStringLiteral("B%1").arg(i); };
    }
    f.show();
    optForm[0]->setValue(true);
    optFrame[1]->setValue(true);
    optForm[1]->setValue(true);
    EXPECT_FALSE(optForm[0]->value());
    EXPECT_TRUE(optFrame[1]->value()) << "another container's group is untouched";
    optForm[1]->setValue(true);   // already selected: nothing
    EXPECT_EQ(clicks, (QStringList{"A0", "B1", "A1"}));

    // A user click on the selected option raises nothing; on another, Click.
    ASSERT_TRUE(Input::click(*optForm[1]));
    ASSERT_TRUE(Input::click(*optForm[0]));
    EXPECT_EQ(clicks, (QStringList{"A0", "B1", "A1", "A0"}));
    optForm[0]->setValue(false);
    EXPECT_EQ(clicks.size(), 4);

    // An up-down writes its buddy, then raises Change.
    auto* lbl = f.add<Label>(QStringLiteral("lblFontSize"));
    auto* upd = f.add<UpDown>(QStringLiteral("updFontSize"));
    upd->setMin(8);
    upd->setMax(12);
    upd->setValue(8);
    upd->setBuddy(lbl, UpDown::BuddyProperty::Caption);
    QStringList order;
    lbl->Change = [&] { order << QStringLiteral("label ") + lbl->caption(); };
    upd->Change = [&] { order << QStringLiteral("change"); };
    ASSERT_TRUE(Input::upDown(*upd, +1));
    EXPECT_EQ(order, (QStringList{"label 9", "change"}));
    EXPECT_THROW(upd->setValue(13), UiError);
}

// --- List box details -------------------------------------------------------------

TEST_F(UiTest, MultiSelectListTogglesOnClickAndTheItemUnderAPointFollowsTheTopIndex)
{
    TestForm f(QStringLiteral("frmFolderIncludeExclude"));
    f.load();
    auto* lst = f.add<ListBox>(QStringLiteral("lstFirstLevelFolders"), 0);
    lst->setMultiSelect(ListBox::Simple);
    int clicks = 0;
    lst->Click = [&] { ++clicks; };
    for (const char* s : {"a", "b", "c", "d"}) lst->addItem(QString::fromLatin1(s));
    f.show();
    ASSERT_TRUE(Input::listClick(*lst, 2));
    ASSERT_TRUE(Input::listClick(*lst, 0));
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(lst->selCount(), 2);
    EXPECT_EQ(lst->selectedIndexes(), (QList<int>{0, 2}));
    EXPECT_EQ(lst->listIndex(), 0);
    ASSERT_TRUE(Input::listClick(*lst, 2));
    EXPECT_FALSE(lst->selected(2));
    lst->setSelected(1, true);
    lst->setSelected(1, true);
    EXPECT_EQ(clicks, 4);
    lst->removeItem(0);
    EXPECT_EQ(lst->selCount(), 1);
    EXPECT_EQ(lst->listIndex(), 1) << "the current item follows its item";
    lst->removeItem(1);
    EXPECT_EQ(lst->listIndex(), -1);
    EXPECT_EQ(lst->selCount(), 1);
    EXPECT_EQ(clicks, 4) << "removals raise nothing";

    // The item under a point follows the top index.
    lst->clear();
    lst->move(0, 0, 2000, 1000);
    for (int i = 0; i < 10; ++i) lst->addItem(QString::number(i));
    EXPECT_EQ(lst->itemFromPoint(100, 0), 0);
    EXPECT_EQ(lst->itemFromPoint(100, lst->itemHeight() * 3 + 1), 3);
    lst->setTopIndex(8);
    EXPECT_EQ(lst->itemFromPoint(100, lst->itemHeight()), 9);
    EXPECT_EQ(lst->itemFromPoint(100, lst->itemHeight() * 2), -1) << "below the last item";
    lst->setTopIndex(50);
    EXPECT_EQ(lst->topIndex(), 9);
}

// A single-choice list: choosing is making current, unchoosing another item
// changes nothing, a second click on the current item clicks again; the
// current item follows insertions and removals before it; the ends of the
// list are checked (381, or 5 for an insertion place) and read as "".
TEST_F(UiTest, ASingleChoiceListAtItsEdges)
{
    TestForm f(QStringLiteral("frmRecallSavedPath"));
    f.load();
    auto* lst = f.add<ListBox>(QStringLiteral("lstSavedPaths"));
    lst->move(0, 0, 2000, 1000);
    QList<int> clicks;
    lst->Click = [&] { clicks << lst->listIndex(); };
    f.show();
    EXPECT_EQ(lst->topIndex(), 0);
    lst->setTopIndex(3);
    EXPECT_EQ(lst->topIndex(), 0) << "an empty list stays at its top";
    EXPECT_EQ(lst->itemFromPoint(10, 10), -1);
    for (const char* s : {"a", "b", "c"}) lst->addItem(QLatin1String(s));
    lst->setSelected(1, true);
    lst->setSelected(0, false);
    EXPECT_EQ(lst->listIndex(), 1);
    EXPECT_TRUE(lst->selected(1) && !lst->selected(0) && !lst->selected(2));
    ASSERT_TRUE(Input::listClick(*lst, 1));
    EXPECT_EQ(clicks, (QList<int>{1, 1}));
    lst->addItem(QStringLiteral("first"), 0);
    EXPECT_EQ(lst->listIndex(), 2);
    lst->addItem(QStringLiteral("last"), lst->listCount());
    EXPECT_EQ(lst->list(4), QStringLiteral("last"));
    EXPECT_EQ(lst->newIndex(), 4);
    lst->removeItem(0);
    EXPECT_EQ(lst->listIndex(), 1);
    lst->setSelected(1, false);
    EXPECT_EQ(lst->listIndex(), -1);
    EXPECT_EQ(clicks, (QList<int>{1, 1, -1}));
    EXPECT_EQ(lst->list(-1) + lst->list(4), QString());
    expectUiError([&] { lst->addItem(QStringLiteral("x"), 5); }, 5);
    expectUiError([&] { lst->addItem(QStringLiteral("x"), -1); }, 5);
    expectUiError([&] { lst->setList(4, QStringLiteral("x")); }, 381);
    expectUiError([&] { lst->removeItem(-1); }, 381);
    expectUiError([&] { lst->selected(4); }, 381);
    expectUiError([&] { lst->setListIndex(4); }, 380);
    expectUiError([&] { lst->setListIndex(-2); }, 380);
    expectUiError([&] { lst->setItemHeight(0); }, 380);
    lst->setListIndex(3);
    lst->setListIndex(-1);
    EXPECT_EQ(lst->listCount(), 4);
    // The item under a point: within the width, from the top item down.
    EXPECT_EQ(lst->itemFromPoint(1999, 0), 0);
    EXPECT_EQ(lst->itemFromPoint(2000, 0), -1);
    EXPECT_EQ(lst->itemFromPoint(-1, 0), -1);
    EXPECT_EQ(lst->itemFromPoint(0, -1), -1);
    lst->setItemHeight(100);
    EXPECT_EQ(lst->itemFromPoint(0, 399), 3);
    EXPECT_EQ(lst->itemFromPoint(0, 400), -1);
    lst->setTopIndex(-5);
    EXPECT_EQ(lst->topIndex(), 0);
}

// MultiSelect takes the three modes 0, 1 and 2 (extended) and nothing else;
// a refused mode changes nothing.
TEST_F(UiTest, AListTakesOnlyItsThreeSelectionModes)
{
    TestForm f(QStringLiteral("frmFolderIncludeExclude"));
    f.load();
    auto* lst = f.add<ListBox>(QStringLiteral("lstFolders"));
    for (const char* s : {"a", "b", "c"}) lst->addItem(QString::fromLatin1(s));
    lst->setMultiSelect(2);
    lst->setSelected(0, true);
    lst->setSelected(2, true);
    for (int bad : {3, -1}) expectUiError([&] { lst->setMultiSelect(bad); }, 380, QStringLiteral("Invalid property value"));
    EXPECT_EQ(lst->multiSelect(), 2);
    EXPECT_EQ(lst->selectedIndexes(), (QList<int>{0, 2}));
}

// A combo's item data goes with its item through insertions and removals;
// an index outside the items raises 381.
TEST_F(UiTest, AComboKeepsEachItemsDataWithTheItem)
{
    TestForm f(QStringLiteral("frmCheckForUpdates"));
    f.load();
    auto* cbo = f.add<ComboBox>(QStringLiteral("cboWebLocation"));
    cbo->addItem(QStringLiteral("first"));
    cbo->addItem(QStringLiteral("second"));
    cbo->setItemData(0, 10);
    cbo->setItemData(1, 20);
    cbo->addItem(QStringLiteral("front"), 0);
    EXPECT_EQ(cbo->itemData(0), 0);
    EXPECT_EQ(cbo->itemData(1), 10);
    EXPECT_EQ(cbo->itemData(2), 20);
    cbo->removeItem(1);
    EXPECT_EQ(cbo->itemData(1), 20);
    for (int bad : {-1, 2}) {
        expectUiError([&] { cbo->itemData(bad); }, 381, QStringLiteral("Invalid property array index"));
        expectUiError([&] { cbo->setItemData(bad, 5); }, 381);
    }

    // ListIndex takes -1 (nothing chosen) up to the last item; anything else
    // raises 380 and leaves the choice and the shown text as they were.
    int clicks = 0;
    cbo->Click = [&] { ++clicks; };
    cbo->setListIndex(1);
    EXPECT_EQ(cbo->text(), QStringLiteral("second"));
    for (int bad : {-2, 2, 3}) {
        expectUiError([&] { cbo->setListIndex(bad); }, 380, QStringLiteral("Invalid property value"));
        EXPECT_EQ(cbo->listIndex(), 1) << bad;
    }
    EXPECT_EQ(cbo->text(), QStringLiteral("second"));
    cbo->setListIndex(-1);
    EXPECT_EQ(cbo->text(), QString());
    EXPECT_EQ(clicks, 2) << "only the two real changes click";
}

// A combo's items go in at any place from the first to after the last (380
// elsewhere); the chosen item follows insertions at or before it and
// removals before it, and clearing chooses nothing.
TEST_F(UiTest, ACombosChoiceFollowsItsItemThroughInsertionsAndRemovals)
{
    TestForm f(QStringLiteral("frmMapNetworkDrive"));
    f.load();
    auto* cbo = f.add<ComboBox>(QStringLiteral("cboDrive"));
    for (const char* s : {"D:", "F:"}) cbo->addItem(QLatin1String(s));
    expectUiError([&] { cbo->addItem(QStringLiteral("X:"), -2); }, 380);
    expectUiError([&] { cbo->addItem(QStringLiteral("X:"), 3); }, 380);
    cbo->setListIndex(1);
    cbo->addItem(QStringLiteral("E:"), 1);   // at the chosen place: F: moves on
    EXPECT_EQ(cbo->listIndex(), 2);
    EXPECT_EQ(cbo->text(), QStringLiteral("F:"));
    cbo->addItem(QStringLiteral("G:"), 3);   // after it, the last place
    EXPECT_EQ(cbo->listIndex(), 2);
    EXPECT_EQ(cbo->list(3), QStringLiteral("G:"));
    cbo->removeItem(3);
    EXPECT_EQ(cbo->listIndex(), 2);
    cbo->removeItem(0);
    EXPECT_EQ(cbo->listIndex(), 1);
    EXPECT_EQ(cbo->text(), QStringLiteral("F:"));
    EXPECT_EQ(cbo->list(5), QString());
    cbo->clear();
    EXPECT_EQ(cbo->listIndex(), -1);
    EXPECT_EQ(cbo->listCount(), 0);
}

// A click on an item raises MouseUp over the item's row as the list shows it
// (below the top item), then Click.
TEST_F(UiTest, AClickOnAnItemRaisesMouseUpOverItsRowThenClick)
{
    TestForm f(QStringLiteral("frmRecallSavedPath"));
    f.load();
    auto* lst = f.add<ListBox>(QStringLiteral("lstSavedPaths"));
    lst->move(0, 0, 2000, 1000);
    for (int i = 0; i < 10; ++i) lst->addItem(QString::number(i));
    QStringList log;
    lst->MouseUp = [&](int button, int, int, int y) { log << QStringLiteral("up %1 %2").arg(button).arg(lst->itemFromPoint(0, y)); };
    lst->Click = [&] { log << QStringLiteral("click ") + lst->text(); };
    f.show();
    lst->setTopIndex(3);
    log.clear();
    ASSERT_TRUE(Input::listClick(*lst, 5));
    EXPECT_EQ(log, (QStringList{QStringLiteral("up %1 5").arg(vbLeftButton), QStringLiteral("click 5")}));
}

// --- Tree view --------------------------------------------------------------------

// A sorted tree: C:\ holds Users\ (holding me\) and apps\.
class TreeTest : public UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        form.load();
        tvw = form.add<TreeView>(QStringLiteral("tvwStructure"), 0);
        tvw->NodeClick = [this](TreeNode* n) { events << QStringLiteral("click ") + n->key(); };
        tvw->Collapse = [this](TreeNode* n) { events << QStringLiteral("collapse %1 sel %2").arg(n->key(), tvw->selectedItem()->key()); };
        tvw->Expand = [this](TreeNode* n) { events << QStringLiteral("expand ") + n->key(); };
        form.show();
        tvw->add({}, TreeView::tvwLast, QStringLiteral("C:\\"), QStringLiteral("C: [System]"));
        tvw->node(QStringLiteral("C:\\"))->setSorted(true);
        tvw->add(QStringLiteral("C:\\"), TreeView::tvwChild, QStringLiteral("C:\\Users\\"), QStringLiteral("Users"));
        tvw->add(QStringLiteral("C:\\"), TreeView::tvwChild, QStringLiteral("C:\\apps\\"), QStringLiteral("apps"));
        tvw->node(QStringLiteral("C:\\Users\\"))->setSorted(true);
        tvw->add(QStringLiteral("C:\\Users\\"), TreeView::tvwChild, QStringLiteral("C:\\Users\\me\\"), QStringLiteral("me"));
    }
    TestForm form{QStringLiteral("frmMain")};
    TreeView* tvw = nullptr;
    QStringList events;
};

TEST_F(TreeTest, KeysAreUniqueChildrenSortAndACollapseMovesTheSelectionFirst)
{
    expectUiError([&] { tvw->add(QStringLiteral("C:\\"), TreeView::tvwChild, QStringLiteral("C:\\apps\\"), QStringLiteral("apps")); },
                  35602, QStringLiteral("Key is not unique in collection"));
    expectUiError([&] { tvw->node(QStringLiteral("D:\\")); }, 35601, QStringLiteral("Element not found"));
    EXPECT_EQ(tvw->count(), 4);
    TreeNode* root = tvw->node(QStringLiteral("C:\\"));
    EXPECT_EQ(root->child()->text(), QStringLiteral("apps"));
    EXPECT_EQ(root->child()->next()->text(), QStringLiteral("Users"));
    EXPECT_EQ(tvw->node(QStringLiteral("C:\\Users\\me\\"))->fullPath(), QStringLiteral("C: [System]\\Users\\me"));
    EXPECT_EQ(tvw->nodeAt(2)->key(), QStringLiteral("C:\\Users\\"));

    // A collapse that hides the selection moves it to the collapsed node first;
    // NodeClick comes with every user click, even on the selected node, and
    // never with a selection by code.
    TreeNode* me = tvw->node(QStringLiteral("C:\\Users\\me\\"));
    me->ensureVisible();
    me->setSelected(true);
    EXPECT_EQ(events, (QStringList{"expand C:\\", "expand C:\\Users\\"}));
    events.clear();
    ASSERT_TRUE(Input::collapse(*tvw, QStringLiteral("C:\\")));
    EXPECT_EQ(events, (QStringList{"collapse C:\\ sel C:\\"}));
    EXPECT_EQ(tvw->selectedItem()->key(), QStringLiteral("C:\\"));
    ASSERT_TRUE(Input::expand(*tvw, QStringLiteral("C:\\")));
    events.clear();
    ASSERT_TRUE(Input::nodeKey(*tvw, QStringLiteral("C:\\Users\\")));
    ASSERT_TRUE(Input::nodeClick(*tvw, QStringLiteral("C:\\apps\\")));
    ASSERT_TRUE(Input::nodeClick(*tvw, QStringLiteral("C:\\apps\\")));
    ASSERT_TRUE(Input::collapse(*tvw, QStringLiteral("C:\\Users\\")));
    EXPECT_EQ(events, (QStringList{"click C:\\Users\\", "click C:\\apps\\", "click C:\\apps\\", "collapse C:\\Users\\ sel C:\\apps\\"}));
    EXPECT_EQ(tvw->selectedItem()->key(), QStringLiteral("C:\\apps\\"));
    // A node inside a collapsed node cannot be clicked.
    EXPECT_HEADLESS_FAILURE(Input::nodeClick(*tvw, QStringLiteral("C:\\Users\\me\\")), "collapsed");
}

// Typing in the focused tree finds the next shown node that starts with what
// was typed, and selects it as an arrow key would (NodeClick). Keys typed in
// quick succession make one prefix; after a pause the search starts anew; the
// same letter again goes on to the next node; a selection moved otherwise
// starts anew too.
TEST_F(TreeTest, TypingFindsTheNextShownNodeThatStartsWithWhatWasTyped)
{
    for (const char* name : {"usr", "bin", "boot", "var", "Έγγραφα"})
        tvw->add(QStringLiteral("C:\\"), TreeView::tvwChild, QStringLiteral("C:\\%1\\").arg(QString::fromUtf8(name)), QString::fromUtf8(name));
    tvw->node(QStringLiteral("C:\\"))->setExpanded(true);   // apps bin boot Users usr var Έγγραφα; Users holds me
    ASSERT_TRUE(Input::nodeClick(*tvw, QStringLiteral("C:\\")));
    events.clear();
    const auto selected = [this] { return tvw->selectedItem()->text(); };
    const auto typeKey = [this](int code, int shift = 0) { ASSERT_TRUE(Input::key(form, code, shift)); };

    typeKey('U');
    EXPECT_EQ(selected(), "Users");
    typeKey('S', vbShiftMask);   // "us": Users still fits, and stays
    EXPECT_EQ(selected(), "Users");
    typeKey('R');                // "usr"
    EXPECT_EQ(selected(), "usr");
    EXPECT_EQ(events, (QStringList{"click C:\\Users\\", "click C:\\usr\\"}));

    desk.advance(1000);   // a pause of a second: "b" alone, round past the end
    typeKey('B');
    EXPECT_EQ(selected(), "bin");
    desk.advance(999);
    typeKey('B');                // the same letter again: the next one
    EXPECT_EQ(selected(), "boot");
    typeKey('B');
    EXPECT_EQ(selected(), "bin");
    typeKey('X');                // "bbbx": nothing, the selection stays
    EXPECT_EQ(selected(), "bin");

    desk.advance(TreeView::kTypeAheadPauseMs);
    typeKey('M');                // "me" is inside the collapsed Users
    EXPECT_EQ(selected(), "bin");
    ASSERT_TRUE(Input::expand(*tvw, QStringLiteral("C:\\Users\\")));
    desk.advance(TreeView::kTypeAheadPauseMs);
    typeKey('M');
    EXPECT_EQ(selected(), "me");

    // An arrow key in between starts a new search: "i" alone finds nothing.
    desk.advance(TreeView::kTypeAheadPauseMs);
    typeKey('B');
    ASSERT_TRUE(Input::nodeKey(*tvw, QStringLiteral("C:\\boot\\")));
    typeKey('I');
    EXPECT_EQ(selected(), "boot");

    // Characters no key code gives are typed as text.
    desk.advance(TreeView::kTypeAheadPauseMs);
    ASSERT_TRUE(Input::type(*tvw, QString::fromUtf8("έγ")));
    EXPECT_EQ(selected(), QString::fromUtf8("Έγγραφα"));
    events.clear();
    ASSERT_TRUE(Input::type(*tvw, QString::fromUtf8("γ")));   // "έγγ" fits the selected node: no event
    EXPECT_TRUE(events.isEmpty());

    ASSERT_TRUE(Input::click(*form.add<CommandButton>(QStringLiteral("cmdOther"))));
    EXPECT_HEADLESS_FAILURE(Input::type(*tvw, QStringLiteral("u")), "focus");
}

// A space is part of what is typed; a control key (Ctrl+A) is not; a tree
// cleared and filled again starts a new search.
TEST_F(TreeTest, TypingTakesSpacesLeavesControlKeysAndStartsAnewAfterAClear)
{
    for (const char* name : {"My Documents", "My Music"})
        tvw->add(QStringLiteral("C:\\"), TreeView::tvwChild, QStringLiteral("C:\\%1\\").arg(QLatin1String(name)), QLatin1String(name));
    tvw->node(QStringLiteral("C:\\"))->setExpanded(true);   // apps, My Documents, My Music, Users
    ASSERT_TRUE(Input::nodeClick(*tvw, QStringLiteral("C:\\")));
    const auto selected = [this] { return tvw->selectedItem() ? tvw->selectedItem()->text() : QString(); };
    ASSERT_TRUE(Input::type(*tvw, QStringLiteral("my ")));
    EXPECT_EQ(selected(), QStringLiteral("My Documents"));
    ASSERT_TRUE(Input::type(*tvw, QStringLiteral("m")));
    EXPECT_EQ(selected(), QStringLiteral("My Music"));

    desk.advance(TreeView::kTypeAheadPauseMs);
    ASSERT_TRUE(Input::key(form, 'A', vbCtrlMask));
    ASSERT_TRUE(Input::type(*tvw, QStringLiteral("u")));
    EXPECT_EQ(selected(), QStringLiteral("Users"));

    // A NodeClick that takes the focus away ends the typing there.
    auto* other = form.add<CommandButton>(QStringLiteral("cmdOther"));
    tvw->NodeClick = [&](TreeNode*) { other->setFocus(); };
    desk.advance(TreeView::kTypeAheadPauseMs);
    EXPECT_TRUE(Input::type(*tvw, QStringLiteral("aU")));
    EXPECT_EQ(selected(), QStringLiteral("apps"));
    EXPECT_EQ(form.activeControl(), other);
    tvw->NodeClick = nullptr;
    Input::focus(*tvw);

    tvw->clear();
    EXPECT_EQ(selected(), QString());
    tvw->add({}, TreeView::tvwLast, QStringLiteral("A:\\"), QStringLiteral("apps"));
    tvw->add({}, TreeView::tvwLast, QStringLiteral("B:\\"), QStringLiteral("Users"));
    ASSERT_TRUE(Input::type(*tvw, QStringLiteral("a")));   // at once, yet "a" alone
    EXPECT_EQ(selected(), QStringLiteral("apps"));
}

// An Alt combination is a command, never a character: the form's KeyDown
// sees it, but no KeyPress follows, a focused tree does not search with it
// and a text box does not type it. The same letters without Alt do.
TEST_F(TreeTest, AnAltCombinationTypesNothingInATreeOrATextBox)
{
    tvw->node(QStringLiteral("C:\\"))->setExpanded(true);   // apps, Users
    ASSERT_TRUE(Input::nodeClick(*tvw, QStringLiteral("C:\\")));
    auto* txt = form.add<TextBox>(QStringLiteral("txtFilePattern"));
    QStringList keys;
    form.setKeyPreview(true);
    form.KeyDown = [&keys](int& code, int shift) { keys << QStringLiteral("down %1 %2").arg(QChar(code)).arg(shift); };
    form.KeyPress = [&keys](int& ascii) { keys << QStringLiteral("press %1").arg(QChar(ascii)); };
    events.clear();
    for (int shift : {int(vbAltMask), vbAltMask | vbShiftMask, vbAltMask | vbCtrlMask}) {
        ASSERT_TRUE(Input::key(form, 'U', shift));
        EXPECT_EQ(tvw->selectedItem()->key(), QStringLiteral("C:\\")) << shift;
    }
    EXPECT_TRUE(events.isEmpty());
    ASSERT_TRUE(Input::key(form, 'U'));
    EXPECT_EQ(tvw->selectedItem()->key(), QStringLiteral("C:\\Users\\"));

    ASSERT_TRUE(Input::type(*txt, QStringLiteral("*.")));
    desk.setClipboardText(QStringLiteral("txt"));
    keys.clear();
    ASSERT_TRUE(Input::key(form, 'Q', vbAltMask));
    ASSERT_TRUE(Input::key(form, 'V', vbAltMask | vbCtrlMask));
    EXPECT_EQ(txt->text(), QStringLiteral("*."));
    ASSERT_TRUE(Input::key(form, 'Q'));
    EXPECT_EQ(txt->text(), QStringLiteral("*.q"));
    EXPECT_EQ(keys, (QStringList{QStringLiteral("down Q %1").arg(vbAltMask), QStringLiteral("down V %1").arg(vbAltMask | vbCtrlMask),
                                 QStringLiteral("down Q 0"), QStringLiteral("press q")}));
}

// A renamed node takes its place among sorted siblings and stays where it
// is among unsorted ones; sorting the tree sorts its roots at once. A
// backend is told each rename and sort once.
TEST_F(TreeTest, ARenamedNodeTakesItsPlaceWhereSiblingsSortAndTheTreeSortsItsRoots)
{
    struct Recorder : ChangeObserver {
        QList<std::pair<Prop, const void*>> changes;
        void changed(const Change& c) override { changes << std::pair{c.prop, c.item}; }
    } rec;
    const auto siblings = [](TreeNode* n) {
        QStringList out;
        for (n = n->firstSibling(); n; n = n->next()) out << n->text();
        return out.join(u',');
    };
    tvw->add({}, TreeView::tvwLast, QStringLiteral("D:\\"), QStringLiteral("D: [Data]"));
    tvw->add({}, TreeView::tvwLast, QStringLiteral("A:\\"), QStringLiteral("A: [Floppy]"));
    TreeNode* apps = tvw->node(QStringLiteral("C:\\apps\\"));
    TreeNode* floppy = tvw->node(QStringLiteral("A:\\"));
    form.setObserver(&rec);
    apps->setText(QStringLiteral("Zed"));
    apps->setText(QStringLiteral("Zed"));
    EXPECT_EQ(siblings(apps), QStringLiteral("Users,Zed"));
    floppy->setText(QStringLiteral("B: [Floppy]"));
    EXPECT_EQ(siblings(floppy), QStringLiteral("C: [System],D: [Data],B: [Floppy]")) << "the roots are not sorted";
    tvw->setSorted(true);
    tvw->setSorted(true);
    EXPECT_EQ(siblings(floppy), QStringLiteral("B: [Floppy],C: [System],D: [Data]"));
    floppy->setText(QStringLiteral("Z: [Zip]"));
    EXPECT_EQ(siblings(floppy), QStringLiteral("C: [System],D: [Data],Z: [Zip]"));
    tvw->setSorted(false);
    floppy->setText(QStringLiteral("A: [Floppy]"));
    EXPECT_EQ(siblings(floppy), QStringLiteral("C: [System],D: [Data],A: [Floppy]"));
    form.setObserver(nullptr);
    EXPECT_EQ(rec.changes, (QList<std::pair<Prop, const void*>>{
                               {Prop::NodeText, apps}, {Prop::NodeText, floppy}, {Prop::NodeSorted, nullptr},
                               {Prop::NodeText, floppy}, {Prop::NodeSorted, nullptr}, {Prop::NodeText, floppy}}));

    // Only the selected node gives the selection up.
    floppy->setSelected(true);
    apps->setSelected(false);
    EXPECT_TRUE(floppy->selected());
    EXPECT_FALSE(apps->selected());
    floppy->setSelected(false);
    EXPECT_EQ(tvw->selectedItem(), nullptr);
    EXPECT_FALSE(floppy->selected());
}

// Siblings are walked both ways from any node and the walk ends in nothing
// at either end; a node without children has no first child.
TEST_F(TreeTest, SiblingsAreWalkedBothWaysAndEndInNothing)
{
    tvw->add({}, TreeView::tvwLast, QStringLiteral("D:\\"), QStringLiteral("D: [Data]"));
    TreeNode* apps = tvw->node(QStringLiteral("C:\\apps\\"));
    TreeNode* users = tvw->node(QStringLiteral("C:\\Users\\"));
    TreeNode* c = tvw->node(QStringLiteral("C:\\"));
    TreeNode* d = tvw->node(QStringLiteral("D:\\"));
    EXPECT_EQ(apps->previous(), nullptr);
    EXPECT_EQ(users->previous(), apps);
    EXPECT_EQ(users->next(), nullptr);
    EXPECT_EQ(c->previous(), nullptr);
    EXPECT_EQ(d->previous(), c);
    EXPECT_EQ(d->firstSibling(), c);
    EXPECT_EQ(c->lastSibling(), d);
    EXPECT_EQ(d->child(), nullptr);
    EXPECT_EQ(tvw->node(QStringLiteral("C:\\Users\\me\\"))->child(), nullptr);
}

// A sibling goes next to its relative in an unsorted list of siblings and
// to its sorted place among the children of a sorted node.
TEST_F(TreeTest, ASiblingGoesNextToItsRelativeUnlessItsParentSorts)
{
    const QString users = QStringLiteral("C:\\Users\\");
    tvw->add(users, TreeView::tvwPrevious, QStringLiteral("C:\\zed\\"), QStringLiteral("zed"));
    tvw->add(users, TreeView::tvwFirst, QStringLiteral("C:\\bin\\"), QStringLiteral("bin"));
    QStringList children;
    for (const TreeNode* n : tvw->node(QStringLiteral("C:\\"))->childNodes()) children << n->text();
    EXPECT_EQ(children, (QStringList{"apps", "bin", "Users", "zed"}));

    tvw->add({}, TreeView::tvwLast, QStringLiteral("E:\\"), QStringLiteral("E: [Backup]"));
    tvw->add(QStringLiteral("C:\\"), TreeView::tvwNext, QStringLiteral("D:\\"), QStringLiteral("D: [Data]"));
    tvw->add(QStringLiteral("C:\\"), TreeView::tvwPrevious, QStringLiteral("A:\\"), QStringLiteral("A:"));
    QStringList roots;
    for (const TreeNode* n : tvw->roots()) roots << n->key();
    EXPECT_EQ(roots, (QStringList{"A:\\", "C:\\", "D:\\", "E:\\"}));
}

// Nodes by place are counted from 1 (35600 outside); a path joins the texts
// with the tree's separator; a node without a key is added but found by no
// key; a sibling of a node in a sorted list goes to its sorted place, the
// last sibling of an unsorted one to the end; a collapse or expand that
// changes nothing raises nothing.
TEST_F(TreeTest, PlacesPathsKeylessNodesAndSiblingsOfSortedLists)
{
    expectUiError([&] { tvw->nodeAt(0); }, 35600, QStringLiteral("Index out of bounds"));
    expectUiError([&] { tvw->nodeAt(5); }, 35600);
    EXPECT_EQ(tvw->nodeAt(4)->key(), QStringLiteral("C:\\Users\\me\\"));
    EXPECT_EQ(tvw->nodeAt(1)->key(), QStringLiteral("C:\\"));
    tvw->setPathSeparator(QStringLiteral("/"));
    EXPECT_EQ(tvw->node(QStringLiteral("C:\\Users\\me\\"))->fullPath(), QStringLiteral("C: [System]/Users/me"));
    EXPECT_EQ(tvw->node(QStringLiteral("C:\\"))->fullPath(), QStringLiteral("C: [System]"));

    TreeNode* keyless = tvw->add(QStringLiteral("C:\\apps\\"), TreeView::tvwNext, QString(), QStringLiteral("bin"));
    tvw->add(QStringLiteral("C:\\apps\\"), TreeView::tvwLast, QStringLiteral("C:\\zz\\"), QStringLiteral("aaa"));
    QStringList children;
    for (const TreeNode* n : tvw->node(QStringLiteral("C:\\"))->childNodes()) children << n->text();
    EXPECT_EQ(children, (QStringList{"aaa", "apps", "bin", "Users"})) << "C: sorts its children";
    EXPECT_EQ(tvw->count(), 6);
    EXPECT_EQ(tvw->findNode(QString()), nullptr);
    EXPECT_EQ(keyless->parent(), tvw->node(QStringLiteral("C:\\")));
    tvw->add({}, TreeView::tvwLast, QStringLiteral("B:\\"), QStringLiteral("B:"));
    tvw->add(QStringLiteral("C:\\"), TreeView::tvwLast, QStringLiteral("A:\\"), QStringLiteral("A:"));
    QStringList roots;
    for (const TreeNode* n : tvw->roots()) roots << n->text();
    EXPECT_EQ(roots, (QStringList{"C: [System]", "B:", "A:"})) << "the roots are not sorted";

    TreeNode* users = tvw->node(QStringLiteral("C:\\Users\\"));
    users->ensureVisible();   // its parent opens, it stays closed
    EXPECT_TRUE(tvw->node(QStringLiteral("C:\\"))->expanded());
    EXPECT_FALSE(users->expanded());
    events.clear();
    users->setExpanded(false);
    users->setExpanded(true);
    users->setExpanded(true);
    EXPECT_EQ(events, (QStringList{"expand C:\\Users\\"}));
    users->setSorted(true);   // already sorted: nothing moves
    users->setSorted(false);
    tvw->add(QStringLiteral("C:\\Users\\"), TreeView::tvwChild, QStringLiteral("C:\\Users\\all\\"), QStringLiteral("all"));
    EXPECT_EQ(users->child()->text() + users->child()->next()->text(), QStringLiteral("meall")) << "unsorted now: added last";
    users->setSorted(true);
    EXPECT_EQ(users->child()->text() + users->child()->next()->text(), QStringLiteral("allme")) << "sorted at once";
}

// Removing nodes keeps the selection elsewhere; removing the selected node,
// or a node above it, leaves none.
TEST_F(TreeTest, RemovingTheSelectedNodeOrItsParentLeavesNoSelectionAndOthersKeepIt)
{
    tvw->node(QStringLiteral("C:\\apps\\"))->setSelected(true);
    tvw->remove(QStringLiteral("C:\\Users\\"));
    ASSERT_NE(tvw->selectedItem(), nullptr);
    EXPECT_EQ(tvw->selectedItem()->key(), QStringLiteral("C:\\apps\\"));
    tvw->remove(QStringLiteral("C:\\apps\\"));
    EXPECT_EQ(tvw->selectedItem(), nullptr);
    tvw->add(QStringLiteral("C:\\"), TreeView::tvwChild, QStringLiteral("C:\\tmp\\"), QStringLiteral("tmp"));
    tvw->node(QStringLiteral("C:\\tmp\\"))->setSelected(true);
    tvw->remove(QStringLiteral("C:\\"));
    EXPECT_EQ(tvw->selectedItem(), nullptr);
    EXPECT_EQ(tvw->count(), 0);
}

// --- Grid -----------------------------------------------------------------------

class GridTest : public UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        form.load();
        grd = form.add<FlexGrid>(QStringLiteral("grdResults"));
        grd->move(0, 0, 9000, 240 * 6);
        grd->setCols(9);
        grd->setRows(20);
        form.show();
    }
    // What a backend is told: property and cell of every change.
    struct Recorder : ChangeObserver {
        QList<std::tuple<Prop, int, int>> changes;
        void changed(const Change& c) override { changes << std::tuple{c.prop, c.index, c.index2}; }
    };
    TestForm form{QStringLiteral("frmCompare")};
    FlexGrid* grd = nullptr;
};

// A row's cells set together must leave the grid and tell a backend exactly
// what setCellAt on each cell would.
TEST_F(GridTest, SettingARowsCellsTogetherActsAsSettingEachCellAndMergeRowsMerge)
{
    const auto prepare = [this] {   // cell 2 already as set below, cell 4 with another text
        for (int c = 1; c <= 4; ++c) grd->setCellAt(3, c, QString(), kColorUnset);
        grd->setCellAt(3, 2, QStringLiteral(" "), 0xE0E0E0);
        grd->setCellAt(3, 4, QStringLiteral("x"), 0xE0E0E0);
    };
    Recorder together, single;
    prepare();
    form.setObserver(&single);
    for (int c = 1; c <= 4; ++c) grd->setCellAt(3, c, QStringLiteral(" "), 0xE0E0E0);
    form.setObserver(nullptr);
    prepare();
    form.setObserver(&together);
    grd->setRowCells(3, 1, 4, QStringLiteral(" "), 0xE0E0E0);
    grd->setRowCells(3, 4, 3, QStringLiteral("y"), 0);   // an empty range changes nothing
    form.setObserver(nullptr);
    EXPECT_EQ(together.changes, single.changes);
    EXPECT_EQ(single.changes.size(), 5);   // cell 2 unchanged, cell 4 only its text
    for (int c = 1; c <= 4; ++c) {
        EXPECT_EQ(grd->textMatrix(3, c), QStringLiteral(" ")) << c;
        EXPECT_EQ(grd->cellBackColorAt(3, c), 0xE0E0E0u) << c;
    }
    EXPECT_EQ(grd->textMatrix(3, 5), QString());
    EXPECT_THROW(grd->setRowCells(3, 1, grd->cols(), QStringLiteral("z"), 0), UiError);
    EXPECT_EQ(grd->textMatrix(3, 1), QStringLiteral(" "));   // nothing set before the error

    // Adjacent equal texts of merge rows only are merged.
    grd->setMergeCells(1);
    const QStringList row{"", "     ", "     ", "   ", "   ", "     ", "     ", "x", "x"};
    for (int c = 0; c < 9; ++c) {
        grd->setTextMatrix(1, c, row[c]);
        grd->setTextMatrix(2, c, row[c]);
    }
    grd->setTextMatrix(1, 2, QStringLiteral("    "));   // one blank fewer: no merge
    grd->setMergeRow(1, true);
    grd->setMergeRow(2, true);
    EXPECT_EQ(grd->mergedSpan(2, 1), std::make_pair(1, 2));
    EXPECT_EQ(grd->mergedSpan(2, 4), std::make_pair(3, 4));
    EXPECT_EQ(grd->mergedSpan(2, 8), std::make_pair(7, 8));
    EXPECT_EQ(grd->mergedSpan(1, 1), std::make_pair(1, 1));
    grd->setTextMatrix(2, 0, QStringLiteral("     "));
    EXPECT_EQ(grd->mergedSpan(2, 0), std::make_pair(0, 0)) << "never across the fixed column";
    EXPECT_EQ(grd->mergedSpan(2, 1), std::make_pair(1, 2)) << "never across the fixed column";
    grd->setFixedCols(2);   // fixed cells merge among themselves only
    EXPECT_EQ(grd->mergedSpan(2, 1), std::make_pair(0, 1));
    EXPECT_EQ(grd->mergedSpan(2, 0), std::make_pair(0, 1));
    EXPECT_EQ(grd->mergedSpan(2, 2), std::make_pair(2, 2));
    grd->setFixedCols(1);
    grd->setMergeRow(2, false);
    EXPECT_EQ(grd->mergedSpan(2, 1), std::make_pair(1, 1));
}

// Cell colours address the current cell and start unset; clicks set the
// current cell and the mouse row; TopRow clamps; fewer rows drop the rest.
TEST_F(GridTest, TheCurrentCellTakesColoursAndClicksTopRowClampsAndShrinkingKeepsTheRest)
{
    grd->setRow(3);
    grd->setCol(2);
    EXPECT_EQ(grd->cellBackColor(), kColorUnset);
    grd->setCellBackColor(0xC0E0FF);
    grd->setCellForeColor(255);
    grd->setCol(4);
    EXPECT_EQ(grd->cellBackColor(), kColorUnset);
    grd->setCellBackColor(0x00FF00);
    EXPECT_EQ(grd->cellBackColorAt(3, 2), 0xC0E0FFu);
    EXPECT_EQ(grd->cellForeColorAt(3, 2), 255u);
    EXPECT_EQ(grd->cellBackColorAt(3, 4), 0x00FF00u);
    grd->setCellBackColor(kColorUnset);
    EXPECT_EQ(grd->cellBackColorAt(3, 4), kColorUnset);
    expectUiError([&] { grd->setRow(20); }, 30009);

    grd->setTopRow(100);
    EXPECT_EQ(grd->topRow(), 20 - grd->visibleRows());
    grd->setTopRow(0);
    EXPECT_EQ(grd->topRow(), 1);

    QList<int> mouse;
    grd->MouseUp = [&](int button, int, int, int) { mouse << button << grd->mouseRow() << grd->mouseCol(); };
    ASSERT_TRUE(Input::gridMouseUp(*grd, 5, 3));
    EXPECT_EQ(grd->row(), 5);
    EXPECT_EQ(grd->col(), 3);
    ASSERT_TRUE(Input::gridMouseUp(*grd, -1, -1));
    ASSERT_TRUE(Input::gridMouseUp(*grd, 0, 2));
    EXPECT_EQ(mouse, (QList<int>{1, 5, 3, 1, -1, -1, 1, 0, 2}));
    EXPECT_EQ(grd->row(), 5) << "clicks outside the scrolling cells keep the current cell";
    grd->setTextMatrix(1, 1, QStringLiteral("keep"));
    grd->setTextMatrix(19, 8, QStringLiteral("drop"));
    grd->setRows(2);
    grd->setRows(20);
    EXPECT_EQ(grd->textMatrix(1, 1), QStringLiteral("keep"));
    EXPECT_EQ(grd->textMatrix(19, 8), QString());
    EXPECT_THROW(grd->textMatrix(20, 0), UiError);
}

// --- Dialogs -----------------------------------------------------------------

// A progress bar's Min stays below its Max and both are numbers: a bound
// that would leave no range raises 380 and changes nothing; a bound moved
// past the value takes the value along.
TEST_F(UiTest, AProgressBarKeepsARealRangeAndItsValueInside)
{
    TestForm f(QStringLiteral("frmBar"));
    f.load();
    auto* bar = f.add<ProgressBar>(QStringLiteral("prgA"));
    const double inf = std::numeric_limits<double>::infinity();
    for (double bad : {100.0, 150.0, std::nan(""), inf, -inf})
        expectUiError([&] { bar->setMin(bad); }, 380, QStringLiteral("Invalid property value"));
    for (double bad : {0.0, -5.0, std::nan(""), inf, -inf})
        expectUiError([&] { bar->setMax(bad); }, 380, QStringLiteral("Invalid property value"));
    EXPECT_EQ(QList<double>({bar->min(), bar->max(), bar->value()}), QList<double>({0, 100, 0}));
    expectUiError([&] { bar->setValue(std::nan("")); }, 380);
    bar->setValue(40);
    bar->setMin(50);
    EXPECT_EQ(bar->value(), 50);
    bar->setMax(60);
    bar->setValue(60);
    bar->setMax(55);
    EXPECT_EQ(QList<double>({bar->min(), bar->max(), bar->value()}), QList<double>({50, 55, 55}));
}

TEST_F(UiTest, CommonDialogCancelIsError32755WithCancelError)
{
    TestForm f(QStringLiteral("frmHiddenForm"));
    f.load();
    auto* dlg = f.add<CommonDialog>(QStringLiteral("dlgDialog"));
    dlg->cancelError = true;
    dlg->dialogTitle = QStringLiteral("Select folder");
    desk.cancelFileDialog(FileDialogKind::Open);
    expectUiError([&] { dlg->showOpen(); }, 32755, QStringLiteral("Cancel was selected."));
    desk.answerSave(QStringLiteral("C:\\Out\\list.txt"));
    EXPECT_TRUE(dlg->showSave());
    EXPECT_EQ(dlg->fileName, QStringLiteral("C:\\Out\\list.txt"));
    EXPECT_EQ(dlg->fileTitle, QStringLiteral("list.txt"));
    desk.answerFolder(QStringLiteral("C:\\Out"));
    EXPECT_TRUE(dlg->showFolder());
    EXPECT_EQ(dlg->fileName, QStringLiteral("C:\\Out\\"));
    EXPECT_HEADLESS_FAILURE(dlg->showPrinter(), "Unexpected printer dialog");
}

// A dialog is asked with the control's title, folder, name, extension,
// filter and flags; a folder comes back with one separator at its end; a
// name without a folder is its own title; a cancel without CancelError
// returns false and keeps the name.
TEST_F(UiTest, ADialogIsAskedWithItsSettingsAndAnswersIntoTheControl)
{
    TestForm f(QStringLiteral("frmHiddenForm"));
    f.load();
    auto* dlg = f.add<CommonDialog>(QStringLiteral("dlgDialog"));
    dlg->dialogTitle = QStringLiteral("Save the list");
    dlg->initDir = QStringLiteral("C:\\Out");
    dlg->fileName = QStringLiteral("list");
    dlg->defaultExt = QStringLiteral("txt");
    dlg->filter = QStringLiteral("Text (*.txt)|*.txt");
    dlg->flags = 6;
    desk.answerSave(QStringLiteral("list.txt"));
    EXPECT_TRUE(dlg->showSave());
    ASSERT_EQ(desk.fileDialogRequests().size(), 1);
    const FileDialogRequest& asked = desk.fileDialogRequests()[0];
    EXPECT_EQ(asked.kind, FileDialogKind::Save);
    EXPECT_EQ(asked.title + u'|' + asked.initDir + u'|' + asked.fileName + u'|' + asked.defaultExt + u'|' + asked.filter,
              QStringLiteral("Save the list|C:\\Out|list|txt|Text (*.txt)|*.txt"));
    EXPECT_EQ(asked.flags, 6);
    EXPECT_EQ(dlg->fileTitle, QStringLiteral("list.txt"));
    desk.answerFolder(QStringLiteral("C:\\Out\\"));
    EXPECT_TRUE(dlg->showFolder());
    EXPECT_EQ(dlg->fileName + u'|' + dlg->fileTitle, QStringLiteral("C:\\Out\\|"));
    desk.answerOpen(QStringLiteral("\\x.txt"));   // from the root of the current drive
    EXPECT_TRUE(dlg->showOpen());
    EXPECT_EQ(dlg->fileTitle, QStringLiteral("x.txt"));
    desk.cancelFileDialog(FileDialogKind::Open);
    EXPECT_FALSE(dlg->showOpen());
    EXPECT_EQ(dlg->fileName, QStringLiteral("\\x.txt"));
}

// A web transfer returns the page's text, or raises the fetch's own error.
TEST_F(UiTest, AWebTransferReturnsTheTextOrRaisesTheFetchsError)
{
    struct Fetching : HeadlessDesktop {
        FetchResult answer;
        QString url;
        FetchResult openUrl(const QString& u, int) override
        {
            url = u;
            return answer;
        }
    } fetching;
    fetching.install();
    TestForm f(QStringLiteral("frmCheckForUpdates"));
    f.load();
    auto* inet = f.add<InternetTransfer>(QStringLiteral("inetTransfer"));
    fetching.answer = {true, QStringLiteral("version 2"), 0, {}};
    EXPECT_EQ(inet->openUrl(QStringLiteral("https://example.org/v")), QStringLiteral("version 2"));
    EXPECT_EQ(fetching.url, QStringLiteral("https://example.org/v"));
    fetching.answer = {false, QStringLiteral("partial"), 35761, QStringLiteral("Request timed out")};
    expectUiError([&] { inet->openUrl(QStringLiteral("https://example.org/w")); }, 35761, QStringLiteral("Request timed out"));
    f.unload();
    desk.install();
}

// The bulk forms of the working lists must leave a list exactly as the
// single calls do: items, item data, current item, selection and top row.
// Appending with item data (a data vector shorter than the texts meaning 0
// for the rest) keeps a current item before the appended ones; removing
// moves the current item, selection and top row with their items.
TEST_F(UiTest, BulkAppendAndRemoveLeaveAListAsTheSingleCallsDo)
{
    TestForm form(QStringLiteral("frmHiddenForm"));
    form.load();
    ListBox* bulk = form.add<ListBox>(QStringLiteral("lstBulk"));
    ListBox* single = form.add<ListBox>(QStringLiteral("lstSingle"));
    const auto expectSameItems = [&] {
        ASSERT_EQ(bulk->listCount(), single->listCount());
        for (int k = 0; k < bulk->listCount(); ++k) {
            ASSERT_EQ(bulk->list(k), single->list(k)) << k;
            ASSERT_EQ(bulk->itemData(k), single->itemData(k)) << k;
            ASSERT_EQ(bulk->selected(k), single->selected(k)) << k;
        }
        EXPECT_EQ(bulk->newIndex(), single->newIndex());
        EXPECT_EQ(bulk->listIndex(), single->listIndex());
    };
    for (ListBox* l : {bulk, single}) {
        l->setMultiSelect(ListBox::Simple);
        l->addItem(QStringLiteral("first"));
        l->setItemData(0, 9);
        l->setListIndex(0);
    }
    std::vector<QString> texts, withData;
    std::vector<int> data;
    for (int k = 0; k < 3000; ++k) {
        (k < 1000 ? texts : withData).push_back(QStringLiteral("item %1").arg(k));
        if (k >= 1000 && k < 2900) data.push_back(k % 3 == 0 ? 1 : 2);
    }
    for (const QString& t : texts) single->addItem(t);
    for (std::size_t k = 0; k < withData.size(); ++k) {
        single->addItem(withData[k], single->listCount());
        single->setItemData(single->listCount() - 1, k < data.size() ? data[k] : 0);
    }
    for (int k = 0; k < 5; ++k) single->addItem(QStringLiteral(" "));
    bulk->appendItems(std::span<const QString>(texts));
    bulk->appendItems(std::move(withData), data);
    bulk->appendItems(QStringLiteral(" "), 5);
    EXPECT_TRUE(withData.empty());
    expectSameItems();

    std::vector<bool> drop(std::size_t(bulk->listCount()), false);
    for (int k = 0; k < bulk->listCount(); ++k) drop[std::size_t(k)] = k % 3 == 0 || (k > 1000 && k < 2100);
    for (ListBox* l : {bulk, single}) {
        l->setSelected(1, true);
        l->setSelected(2500, true);
        l->setSelected(2999, true);
        l->setListIndex(2500);
        l->setTopIndex(2400);
    }
    bulk->removeItems(drop);
    for (int k = int(drop.size()) - 1; k >= 0; --k)
        if (drop[std::size_t(k)]) single->removeItem(k);

    expectSameItems();
    EXPECT_EQ(bulk->selCount(), single->selCount());
    EXPECT_EQ(bulk->topIndex(), single->topIndex());

    // Removing the current item leaves none, wherever it stood among the
    // removed ones.
    for (int at : {0, 5, -1}) {
        const int current = at >= 0 ? at : bulk->listCount() - 1;
        std::vector<bool> dropCurrent(std::size_t(bulk->listCount()), false);
        dropCurrent[std::size_t(current)] = true;
        if (current > 0) dropCurrent[0] = true;
        for (ListBox* l : {bulk, single}) l->setListIndex(current);
        bulk->removeItems(dropCurrent);
        for (int k = int(dropCurrent.size()) - 1; k >= 0; --k)
            if (dropCurrent[std::size_t(k)]) single->removeItem(k);
        EXPECT_EQ(bulk->listIndex(), -1) << current;
        expectSameItems();
    }
}

// A timer, a common dialog, a resizer and a web transfer have no face on the
// form: they start hidden, and a click on one is refused as on any hidden control.
TEST_F(UiTest, ControlsWithoutAFaceStartHiddenAndTakeNoInput)
{
    TestForm f(QStringLiteral("frmHiddenForm"));
    f.load();
    const std::vector<Control*> faceless = {f.add<Timer>(QStringLiteral("tmrClock")),
                                            f.add<CommonDialog>(QStringLiteral("dlgDialog")),
                                            f.add<FormResizer>(QStringLiteral("freeSizer1")),
                                            f.add<InternetTransfer>(QStringLiteral("inetTransfer"))};
    f.show();
    for (Control* c : faceless) {
        EXPECT_FALSE(c->visible()) << c->name().toStdString();
        QString why;
        EXPECT_FALSE(Input::canTakeInput(*c, &why));
        EXPECT_EQ(why, QStringLiteral("control frmHiddenForm.%1 is not visible").arg(c->name()));
    }
}

// The arrow and page keys step a focused up-down (a page is several steps),
// within its bounds; with Ctrl they do not; a disabled one takes no step.
TEST_F(UiTest, KeysStepAFocusedUpDownWithinItsBounds)
{
    TestForm f(QStringLiteral("frmOptions"));
    f.load();
    auto* txt = f.add<TextBox>(QStringLiteral("txtNumberOfLevels"));
    auto* upd = f.add<UpDown>(QStringLiteral("updNumberOfLevels"));
    upd->setMax(100);
    upd->setBuddy(txt, UpDown::BuddyProperty::Text);
    f.show();
    Input::focus(*upd);
    const auto press = [&](int code, int shift = 0) {
        EXPECT_TRUE(Input::key(f, code, shift));
        return upd->value();
    };
    EXPECT_EQ(press(vbKeyUp), 1);
    EXPECT_EQ(press(vbKeyPageUp), 11) << "a page is ten steps";
    EXPECT_EQ(press(vbKeyDown), 10);
    EXPECT_EQ(press(vbKeyUp, vbCtrlMask), 10);
    EXPECT_EQ(press(vbKeyPageDown), 0);
    EXPECT_EQ(press(vbKeyPageDown), 0);
    EXPECT_EQ(txt->text(), QStringLiteral("0"));
    upd->setEnabled(false);
    EXPECT_EQ(press(vbKeyUp), 0);
}

// Every control kind with a caption gives and takes it through the common
// routines; the others have none and take none.
TEST_F(UiTest, CaptionsOfEveryKindThroughTheCommonRoutines)
{
    TestForm f(QStringLiteral("frmMain"));
    f.load();
    const std::vector<Control*> captioned = {
        f.add<CommandButton>(QStringLiteral("cmdA")), f.add<Label>(QStringLiteral("lblA")),
        f.add<CheckBox>(QStringLiteral("chkA")),      f.add<OptionButton>(QStringLiteral("optA")),
        f.add<Frame>(QStringLiteral("fraA")),         f.addMenu(QStringLiteral("mnuA"), QStringLiteral("A"))};
    const std::vector<Control*> bare = {f.add<TextBox>(QStringLiteral("txtA")), f.add<ListBox>(QStringLiteral("lstA")),
                                        f.add<ComboBox>(QStringLiteral("cboA")), f.add<Image>(QStringLiteral("imgA"))};
    for (Control* c : captioned) {
        EXPECT_TRUE(hasCaption(*c)) << c->name().toStdString();
        EXPECT_TRUE(setCaptionOf(*c, c->name() + u'!'));
        EXPECT_EQ(captionOf(*c), c->name() + u'!');
    }
    for (Control* c : bare) {
        EXPECT_FALSE(hasCaption(*c)) << c->name().toStdString();
        EXPECT_FALSE(setCaptionOf(*c, QStringLiteral("x")));
        EXPECT_EQ(captionOf(*c), QString());
    }
    EXPECT_EQ(static_cast<TextBox*>(bare[0])->text(), QString());
}

// The row height decides how many rows the view shows, and so how far down
// the top row may go; the left column stays within the scrolling columns;
// fewer rows pull the top row up. A backend is told each real change once.
TEST_F(GridTest, RowHeightLeftColumnAndShapeKeepTheViewWithinTheGrid)
{
    Recorder rec;
    form.setObserver(&rec);
    expectUiError([&] { grd->setRowHeight(0); }, 380);
    expectUiError([&] { grd->setRowHeight(-240); }, 380);
    EXPECT_EQ(rec.changes.size(), 0);
    EXPECT_EQ(grd->visibleRows(), 5);   // six rows high, the fixed one apart
    grd->setTopRow(100);
    EXPECT_EQ(grd->topRow(), 15);
    grd->setRowHeight(1);
    grd->setRowHeight(480);
    grd->setRowHeight(480);
    EXPECT_EQ(grd->visibleRows(), 2);
    grd->setTopRow(100);
    EXPECT_EQ(grd->topRow(), 18);
    grd->setRowHeight(2000);   // taller than the grid: one row still shows
    EXPECT_EQ(grd->visibleRows(), 1);
    grd->setTopRow(100);
    EXPECT_EQ(grd->topRow(), 19);
    grd->setRows(10);
    grd->setRows(10);
    EXPECT_EQ(grd->topRow(), 9);
    grd->setRowHeight(480);
    grd->setLeftCol(100);
    EXPECT_EQ(grd->leftCol(), 8);
    grd->setLeftCol(-3);
    EXPECT_EQ(grd->leftCol(), 1);
    grd->setLeftCol(1);
    grd->setCols(3);
    grd->setLeftCol(5);
    EXPECT_EQ(grd->leftCol(), 2);
    grd->setFixedRows(2);
    grd->setFixedRows(2);
    expectUiError([&] { grd->setFixedRows(11); }, 380);
    EXPECT_EQ(grd->visibleRows(), 1);
    grd->setFixedCols(2);
    grd->setFixedCols(2);
    expectUiError([&] { grd->setFixedCols(4); }, 380);
    grd->setLeftCol(0);
    EXPECT_EQ(grd->leftCol(), 2) << "the first scrolling column";
    form.setObserver(nullptr);
    EXPECT_EQ(rec.changes, (QList<std::tuple<Prop, int, int>>{
                               {Prop::TopRow, -1, -1}, {Prop::RowHeight, -1, -1}, {Prop::RowHeight, -1, -1},
                               {Prop::TopRow, -1, -1}, {Prop::RowHeight, -1, -1}, {Prop::TopRow, -1, -1},
                               {Prop::GridShape, -1, -1}, {Prop::RowHeight, -1, -1}, {Prop::LeftCol, -1, -1},
                               {Prop::LeftCol, -1, -1}, {Prop::GridShape, -1, -1}, {Prop::LeftCol, -1, -1},
                               {Prop::GridShape, -1, -1}, {Prop::GridShape, -1, -1}}));
}

// The cell under the mouse is one of the grid's, else none (-1).
TEST_F(GridTest, TheMouseCellIsInsideTheGridOrNone)
{
    const auto at = [&](int row, int col) {
        grd->setMousePosition(row, col);
        return std::pair{grd->mouseRow(), grd->mouseCol()};
    };
    EXPECT_EQ(at(0, 0), std::pair(0, 0));
    EXPECT_EQ(at(19, 8), std::pair(19, 8));
    EXPECT_EQ(at(20, 9), std::pair(-1, -1));
    EXPECT_EQ(at(-1, -1), std::pair(-1, -1));
}

// Only a control that can hold the focus, enabled and shown along with every
// frame it stands in and its form, takes it from code (error 5 otherwise)
// and from the user.
TEST_F(UiTest, TheFocusGoesOnlyWhereAControlCanHoldItEnabledAndShown)
{
    TestForm f(QStringLiteral("frmOptions"));
    f.load();
    auto* fra = f.add<Frame>(QStringLiteral("fraLevels"));
    auto* inside = f.add<TextBox>(QStringLiteral("txtNumberOfLevels"), -1, fra);
    auto* lbl = f.add<Label>(QStringLiteral("lblPattern"));
    auto* cmd = f.add<CommandButton>(QStringLiteral("cmdOK"));
    const auto refused = [&](Control& c) {
        try {
            c.setFocus();
        } catch (const UiError& e) {
            return e.number == 5 && f.activeControl() != &c;
        }
        return false;
    };
    EXPECT_TRUE(refused(*cmd)) << "the form is not shown yet";
    f.show();
    cmd->setFocus();
    EXPECT_TRUE(refused(*lbl));
    EXPECT_HEADLESS_FAILURE(Input::focus(*lbl), "control frmOptions.lblPattern cannot take the focus");
    fra->setEnabled(false);
    EXPECT_FALSE(inside->effectivelyEnabled());
    EXPECT_TRUE(inside->enabled());
    EXPECT_TRUE(refused(*inside));
    fra->setEnabled(true);
    fra->setVisible(false);
    EXPECT_FALSE(inside->effectivelyVisible());
    EXPECT_TRUE(refused(*inside));
    fra->setVisible(true);
    inside->setFocus();
    EXPECT_TRUE(inside->hasFocus());
    f.setEnabled(false);
    EXPECT_FALSE(cmd->effectivelyEnabled());
    EXPECT_TRUE(refused(*cmd));
    f.setEnabled(true);
    cmd->setFocus();
    EXPECT_TRUE(cmd->hasFocus() && !inside->hasFocus());

    // A size below zero is refused; bold is a change of the font alone.
    expectUiError([&] { cmd->move(0, 0, -1, 10); }, 380);
    expectUiError([&] { cmd->move(0, 0, 10, -1); }, 380);
    cmd->move(0, 0, 0, 0);
    EXPECT_EQ(cmd->width() + cmd->height(), 0);
    cmd->setFontBold(true);
    EXPECT_TRUE(cmd->font().bold);
    EXPECT_EQ(cmd->font().name, QStringLiteral("Verdana"));
    cmd->setFontBold(false);
    EXPECT_EQ(cmd->font(), Font{});
    // A control without a help topic asks for no help.
    desk.clearTranscript();
    cmd->showWhatsThis();
    cmd->setHelpTopic(96060);
    cmd->showWhatsThis();
    ASSERT_EQ(desk.entries(HeadlessDesktop::Entry::Help).size(), 1);
    EXPECT_EQ(desk.entries(HeadlessDesktop::Entry::Help)[0].style, 96060);
}

// An up-down whose Min is above its Max takes values between the two the
// other way round; a step goes by its increment, a page by ten increments,
// and stops at the ends; no direction or no press is no step.
TEST_F(UiTest, AnUpDownStepsByItsIncrementWithinEitherWayRound)
{
    TestForm f(QStringLiteral("frmPageSetup"));
    f.load();
    auto* upd = f.add<UpDown>(QStringLiteral("updMargin"));
    int changes = 0;
    upd->Change = [&] { ++changes; };
    upd->setMin(50);
    upd->setMax(10);
    upd->setValue(10);
    upd->setValue(50);
    expectUiError([&] { upd->setValue(51); }, 380);
    expectUiError([&] { upd->setValue(9); }, 380);
    upd->setIncrement(3);
    upd->step(-1);
    EXPECT_EQ(upd->value(), 47);
    upd->step(-1, 10);
    EXPECT_EQ(upd->value(), 17);
    upd->step(-1, 10);
    EXPECT_EQ(upd->value(), 10);
    upd->step(+1, 2);
    EXPECT_EQ(upd->value(), 16);
    const int before = changes;
    upd->step(0);
    upd->step(+1, 0);
    upd->step(+1, -1);
    EXPECT_EQ(upd->value(), 16);
    EXPECT_EQ(changes, before);
    upd->step(+1, 1000000000);
    EXPECT_EQ(upd->value(), 50) << "a huge press count stops at the end";
    upd->step(-1, 1000000000);
    EXPECT_EQ(upd->value(), 10);
}

// Every cell routine refuses a cell beyond any of the four edges (381), the
// current cell one beyond its row or column (30009, 30010), a column
// property a column outside; a backend hears of each real change once.
TEST_F(GridTest, EveryCellAndColumnRoutineStopsAtTheFourEdges)
{
    const std::pair<int, int> outside[] = {{-1, 0}, {20, 0}, {0, -1}, {0, 9}};
    for (const auto& [r, c] : outside) {
        SCOPED_TRACE(testing::Message() << r << ", " << c);
        expectUiError([&] { grd->textMatrix(r, c); }, 381, QStringLiteral("Subscript out of range"));
        expectUiError([&] { grd->setTextMatrix(r, c, QStringLiteral("x")); }, 381);
        expectUiError([&] { grd->setCellAt(r, c, QStringLiteral("x"), 0); }, 381);
        expectUiError([&] { grd->cellBackColorAt(r, c); }, 381);
        expectUiError([&] { grd->cellForeColorAt(r, c); }, 381);
        expectUiError([&] { grd->setCellBackColorAt(r, c, 1); }, 381);
        expectUiError([&] { grd->setCellForeColorAt(r, c, 1); }, 381);
    }
    expectUiError([&] { grd->setRowCells(0, 0, 9, QStringLiteral("x"), 0); }, 381);
    expectUiError([&] { grd->setRowCells(20, 0, 0, QStringLiteral("x"), 0); }, 381);
    expectUiError([&] { grd->setRow(-1); }, 30009, QStringLiteral("Invalid Row value"));
    expectUiError([&] { grd->setCol(-1); }, 30010, QStringLiteral("Invalid Col value"));
    expectUiError([&] { grd->setCol(9); }, 30010);
    for (const int col : {-1, 9}) {
        expectUiError([&] { grd->colWidth(col); }, 381);
        expectUiError([&] { grd->setColWidth(col, 100); }, 381);
        expectUiError([&] { grd->setColAlignment(col, 1); }, 381);
        expectUiError([&] { grd->setFixedAlignment(col, 1); }, 381);
    }
    expectUiError([&] { grd->setColWidth(0, -1); }, 380);
    expectUiError([&] { grd->setMergeCells(5); }, 380);
    expectUiError([&] { grd->setMergeCells(-1); }, 380);
    expectUiError([&] { grd->setRows(-1); }, 380);

    Recorder rec;
    form.setObserver(&rec);
    for (int k = 0; k < 2; ++k) {
        grd->setRow(19);
        grd->setCol(8);
        grd->setTextMatrix(19, 8, QStringLiteral("last"));
        grd->setCellForeColorAt(0, 0, 0x0000FFu);
        grd->setCellBackColorAt(19, 0, 0x00FF00u);
        grd->setColWidth(8, 0);
        grd->setColAlignment(0, 4);
        grd->setFixedAlignment(8, 7);
        grd->setMergeCells(4);
    }
    form.setObserver(nullptr);
    EXPECT_EQ(rec.changes, (QList<std::tuple<Prop, int, int>>{
                               {Prop::CurrentCell, 19, 1}, {Prop::CurrentCell, 19, 8}, {Prop::CellText, 19, 8},
                               {Prop::CellForeColor, 0, 0}, {Prop::CellBackColor, 19, 0}, {Prop::ColWidth, -1, 8},
                               {Prop::ColAlignment, -1, 0}, {Prop::FixedAlignment, -1, 8}, {Prop::MergeCells, -1, -1}}));
    EXPECT_EQ(grd->textMatrix(19, 8) + QString::number(grd->colWidth(8)) + QString::number(grd->colAlignment(0))
                  + QString::number(grd->fixedAlignment(8)) + QString::number(grd->mergeCells()),
              QStringLiteral("last0474"));
    // Fewer rows and columns take the current cell and the fixed rows with them.
    grd->setFixedRows(3);
    grd->setRow(2);
    grd->setCol(4);
    grd->setRows(2);
    grd->setCols(4);
    EXPECT_EQ(grd->row() * 10 + grd->col(), 13);
    EXPECT_EQ(grd->fixedRows(), 2);
    grd->setCols(0);
    EXPECT_EQ(grd->col() + grd->fixedCols(), 0);
}

// A mouse-up on a cell reports the point of its cell: the fixed columns and
// rows always count, the scrolling ones from the left column and top row.
// A left button makes a scrolling cell current and clicks; a right one asks
// for help and moves nothing. A cell, column or width outside the grid is
// refused, naming it.
TEST_F(GridTest, AMouseUpReportsItsCellsPointAndTheEdgesAreRefused)
{
    for (int c = 0; c < 9; ++c) grd->setColWidth(c, 100 * (c + 1));
    grd->setLeftCol(3);
    grd->setTopRow(4);
    grd->setHelpTopic(50010);
    QList<int> seen;
    int clicks = 0;
    grd->MouseUp = [&](int button, int, int x, int y) { seen << button << x << y; };
    grd->Click = [&] { ++clicks; };
    ASSERT_TRUE(Input::gridMouseUp(*grd, 7, 5));
    EXPECT_EQ(seen, (QList<int>{vbLeftButton, 100 + 400 + 500, 4 * 240}));
    EXPECT_EQ(grd->row() * 10 + grd->col(), 75);
    ASSERT_TRUE(Input::gridMouseUp(*grd, 4, 1));   // the first scrolling column
    EXPECT_EQ(grd->row() * 10 + grd->col(), 41);
    ASSERT_TRUE(Input::gridMouseUp(*grd, 7, 5));
    seen = seen.mid(0, 3);
    ASSERT_TRUE(Input::gridMouseUp(*grd, 0, 1));
    ASSERT_TRUE(Input::gridMouseUp(*grd, -1, 0));
    EXPECT_EQ(seen.mid(3), (QList<int>{vbLeftButton, 100, 0, vbLeftButton, 0, 0}));
    EXPECT_EQ(grd->row() * 10 + grd->col(), 75) << "a fixed cell is not made current";
    EXPECT_EQ(clicks, 5);
    desk.clearTranscript();
    ASSERT_TRUE(Input::gridMouseUp(*grd, 10, 8, vbRightButton));
    EXPECT_EQ(grd->row() * 10 + grd->col(), 75);
    EXPECT_EQ(clicks, 5);
    ASSERT_EQ(desk.entries(HeadlessDesktop::Entry::Help).size(), 1);
    EXPECT_EQ(grd->mouseRow() * 10 + grd->mouseCol(), 108);

    EXPECT_HEADLESS_FAILURE(Input::gridMouseUp(*grd, 20, 0), "grid frmCompare.grdResults has no cell (20, 0)");
    EXPECT_HEADLESS_FAILURE(Input::gridMouseUp(*grd, 0, 9), "has no cell (0, 9)");
    EXPECT_HEADLESS_FAILURE(Input::gridMouseUp(*grd, -2, 0), "has no cell (-2, 0)");
    EXPECT_HEADLESS_FAILURE(Input::gridMouseUp(*grd, 0, -2), "has no cell (0, -2)");
    EXPECT_HEADLESS_FAILURE(Input::resizeColumn(*grd, 9, 100), "cannot size column 9 to 100");
    EXPECT_HEADLESS_FAILURE(Input::resizeColumn(*grd, -1, 100), "cannot size column -1 to 100");
    EXPECT_HEADLESS_FAILURE(Input::resizeColumn(*grd, 0, -1), "cannot size column 0 to -1");
    ASSERT_TRUE(Input::resizeColumn(*grd, 8, 0));
    EXPECT_EQ(grd->colWidth(8), 0);
    ASSERT_TRUE(Input::scrollGrid(*grd, 2));
    EXPECT_EQ(grd->topRow(), 2);
    ASSERT_TRUE(Input::scrollGrid(*grd, 1));
    ASSERT_TRUE(Input::gridMouseUp(*grd, 1, 1));   // the first scrolling cell
    EXPECT_EQ(grd->row() * 10 + grd->col(), 11);
}

// Lists, combos and trees refuse an item or node they do not have, naming it;
// a choice of the current combo item clicks again; a node inside a collapsed
// one cannot be reached; the arrow keys need the focus.
TEST_F(TreeTest, ItemsAndNodesOutsideAreRefusedByName)
{
    auto* lst = form.add<ListBox>(QStringLiteral("lstItems"));
    auto* cbo = form.add<ComboBox>(QStringLiteral("cboDrive"));
    for (const char* s : {"a", "b"}) {
        lst->addItem(QLatin1String(s));
        cbo->addItem(QLatin1String(s));
    }
    int comboClicks = 0;
    cbo->Click = [&] { ++comboClicks; };
    EXPECT_HEADLESS_FAILURE(Input::listClick(*lst, 2), "list frmMain.lstItems has no item 2");
    EXPECT_HEADLESS_FAILURE(Input::listClick(*lst, -1), "has no item -1");
    EXPECT_HEADLESS_FAILURE(Input::comboChoose(*cbo, 2), "combo box frmMain.cboDrive has no item 2");
    EXPECT_HEADLESS_FAILURE(Input::comboChoose(*cbo, -1), "has no item -1");
    ASSERT_TRUE(Input::comboChoose(*cbo, 1));
    ASSERT_TRUE(Input::comboChoose(*cbo, 1));
    EXPECT_EQ(comboClicks, 2);
    EXPECT_EQ(cbo->listIndex(), 1);
    EXPECT_EQ(form.activeControl(), cbo);
    ASSERT_TRUE(Input::listClick(*lst, 1));
    EXPECT_EQ(lst->listIndex(), 1);

    EXPECT_HEADLESS_FAILURE(Input::nodeClick(*tvw, QStringLiteral("Z:\\")), "tree frmMain.tvwStructure(0) has no node \"Z:\\\"");
    EXPECT_HEADLESS_FAILURE(Input::nodeKey(*tvw, QStringLiteral("Z:\\")), "has no node");
    EXPECT_HEADLESS_FAILURE(Input::expand(*tvw, QStringLiteral("Z:\\")), "has no node");
    EXPECT_HEADLESS_FAILURE(Input::collapse(*tvw, QStringLiteral("Z:\\")), "has no node");
    EXPECT_HEADLESS_FAILURE(Input::expand(*tvw, QStringLiteral("C:\\Users\\")), "inside a collapsed node");
    EXPECT_HEADLESS_FAILURE(Input::collapse(*tvw, QStringLiteral("C:\\Users\\")), "inside a collapsed node");
    EXPECT_HEADLESS_FAILURE(Input::nodeKey(*tvw, QStringLiteral("C:\\")), "does not have the focus");
    ASSERT_TRUE(Input::nodeClick(*tvw, QStringLiteral("C:\\")));
    ASSERT_TRUE(Input::expand(*tvw, QStringLiteral("C:\\")));
    events.clear();
    ASSERT_TRUE(Input::nodeKey(*tvw, QStringLiteral("C:\\")));   // already selected: nothing
    ASSERT_TRUE(Input::nodeKey(*tvw, QStringLiteral("C:\\apps\\")));
    EXPECT_EQ(events, (QStringList{"click C:\\apps\\"}));
    EXPECT_HEADLESS_FAILURE(Input::nodeKey(*tvw, QStringLiteral("C:\\Users\\me\\")), "inside a collapsed node");
}

// A control just added stands as the designer leaves a new one: its size,
// no value, nothing chosen; controls given no tab index follow, in the
// order added, every one given one.
TEST_F(UiTest, AFreshControlOfEachKindStartsAsTheDesignerLeavesIt)
{
    TestForm f(QStringLiteral("frmNew"));
    EXPECT_EQ(QList<int>({f.width(), f.height(), f.windowState()}), QList<int>({6000, 4500, 0}));
    f.load();
    auto* cmd = f.add<CommandButton>(QStringLiteral("cmdA"));
    auto* txt = f.add<TextBox>(QStringLiteral("txtA"));
    auto* bar = f.add<ProgressBar>(QStringLiteral("prgA"));
    auto* upd = f.add<UpDown>(QStringLiteral("updA"));
    auto* grd = f.add<FlexGrid>(QStringLiteral("grdA"));
    auto* lst = f.add<ListBox>(QStringLiteral("lstA"));
    auto* cbo = f.add<ComboBox>(QStringLiteral("cboA"));
    auto* inet = f.add<InternetTransfer>(QStringLiteral("inetA"));
    auto* chk = f.add<CheckBox>(QStringLiteral("chkA"));
    EXPECT_EQ(QList<int>({cmd->left(), cmd->top(), cmd->width(), cmd->height(), cmd->helpTopic(), cmd->style()}),
              QList<int>({0, 0, 1215, 375, 0, 0}));
    EXPECT_EQ(cmd->font(), (Font{QStringLiteral("Verdana"), 7.8, false, 161}));
    EXPECT_EQ(cmd->tabIndex(), 100000);
    EXPECT_EQ(chk->tabIndex(), 100008);
    EXPECT_EQ(QList<int>({txt->maxLength(), txt->selStart(), txt->selLength(), txt->alignment()}), QList<int>({0, 0, 0, 0}));
    EXPECT_EQ(QList<double>({bar->min(), bar->max(), bar->value()}), QList<double>({0, 100, 0}));
    EXPECT_EQ(QList<int>({upd->min(), upd->max(), upd->increment(), upd->value()}), QList<int>({0, 10, 1, 0}));
    EXPECT_EQ(QList<int>({grd->rows(), grd->cols(), grd->fixedRows(), grd->fixedCols(), grd->row(), grd->col(), grd->topRow(),
                          grd->leftCol(), grd->rowHeight(), grd->mergeCells(), grd->mouseRow(), grd->mouseCol()}),
              QList<int>({2, 2, 1, 1, 1, 1, 1, 1, 240, 0, -1, -1}));
    EXPECT_EQ(QList<int>({lst->listIndex(), lst->newIndex(), lst->topIndex(), lst->itemHeight(), lst->selCount(), lst->multiSelect()}),
              QList<int>({-1, -1, 0, 195, 0, 0}));
    EXPECT_EQ(QList<int>({cbo->listIndex(), cbo->newIndex(), cbo->listCount()}), QList<int>({-1, -1, 0}));
    EXPECT_EQ(cbo->text(), QString());
    EXPECT_EQ(inet->requestTimeout, 60);
    EXPECT_EQ(chk->value(), 0);
    cmd->setTabIndex(0);
    txt->setTabIndex(1);
    f.show();
    Input::focus(*txt);
    ASSERT_TRUE(Input::key(f, vbKeyTab));
    EXPECT_EQ(f.activeControl(), upd) << "after the given tab indexes, the others in the order added";
}

// A menu moved under another leaves its old menu's items; a menu is
// available only while it and every menu above it are enabled and visible;
// "-" alone is a separator.
TEST_F(UiTest, AMenuMovesBetweenMenusAndIsAvailableOnlyWithEveryMenuAbove)
{
    TestForm f(QStringLiteral("frmMain"));
    f.load();
    Menu* file = f.addMenu(QStringLiteral("mnuFile"), QStringLiteral("&File"));
    Menu* view = f.addMenu(QStringLiteral("mnuView"), QStringLiteral("&View"));
    Menu* sub = f.addMenu(QStringLiteral("mnuViewSub"), QStringLiteral("Sub"), view);
    Menu* item = f.addMenu(QStringLiteral("mnuItem"), QStringLiteral("Item"), file);
    Menu* sep = f.addMenu(QStringLiteral("mnuSep"), QStringLiteral("-"), file);
    item->setParentMenu(sub);
    EXPECT_EQ(file->items(), std::vector<Menu*>{sep});
    EXPECT_EQ(sub->items(), std::vector<Menu*>{item});
    EXPECT_EQ(item->topMenu(), view);
    EXPECT_EQ(view->topMenu(), view);
    EXPECT_TRUE(sep->isSeparator() && !item->isSeparator());
    EXPECT_TRUE(item->effectivelyAvailable());
    view->setVisible(false);
    EXPECT_FALSE(item->effectivelyAvailable());
    view->setVisible(true);
    sub->setEnabled(false);
    EXPECT_FALSE(item->effectivelyAvailable());
    EXPECT_TRUE(view->effectivelyAvailable());
    item->setParentMenu(nullptr);
    EXPECT_TRUE(sub->items().empty());
    EXPECT_TRUE(item->effectivelyAvailable()) << "on the bar now";
}
