#include "TestSupport.h"

#include "ui/FlexGrid.h"
#include "ui/ListBox.h"
#include "ui/TreeView.h"

#include <initializer_list>
#include <utility>

using namespace ui;
using uitest::TestForm;
using uitest::UiTest;
using uitest::expectUiError;

namespace {

// Records the lifecycle events of a form.
void trace(Form& f, QStringList& log)
{
    f.Load = [&log, &f] { log << f.name() + QStringLiteral(" load"); };
    f.QueryUnload = [&log, &f](bool&, int mode) { log << f.name() + QStringLiteral(" query %1").arg(mode); };
    f.Unload = [&log, &f](bool&) { log << f.name() + QStringLiteral(" unload"); };
}

} // namespace

// --- Lifecycle ---------------------------------------------------------------------

// A close by the user asks the form first and may be refused; a close by
// code is not (the form unloads itself inside its own Click).
TEST_F(UiTest, QueryUnloadCancelsAUserCloseButNotACodeCloseInsideTheFormsOwnClick)
{
    CommandButton* cmd = nullptr;
    QStringList log;
    TestForm f(QStringLiteral("frmPrint"), [&](TestForm& form) {
        cmd = form.add<CommandButton>(QStringLiteral("cmdOK"));
        cmd->Click = [&] {
            form.unload();
            log << QStringLiteral("after unload, loaded=%1").arg(form.isLoaded());
            form.unload();   // again: nothing
        };
    });
    trace(f, log);
    f.QueryUnload = [&](bool& cancel, int mode) {
        log << QStringLiteral("query %1").arg(mode);
        if (mode == vbFormControlMenu) {
            msgBox(&f, QStringLiteral("Close window"), QStringLiteral("busy"), vbInformationOK);
            cancel = true;
        }
    };
    desk.expectMsgBox(QStringLiteral("Close window"), QStringLiteral("busy"), vbInformationOK, vbOK);
    desk.onModal(QStringLiteral("frmPrint"), [&](Form& form) {
        ASSERT_TRUE(Input::closeBox(form));
        EXPECT_TRUE(form.isShown());
        ASSERT_TRUE(Input::click(*cmd));
    });
    f.show(Modal);
    EXPECT_EQ(log, (QStringList{"frmPrint load", "query 0", "query 1", "frmPrint unload", "after unload, loaded=0"}));
    EXPECT_FALSE(f.isLoaded());
    EXPECT_TRUE(f.controls().empty());
    f.hide();   // never loads it again silently
    EXPECT_FALSE(f.isLoaded());
}

TEST_F(UiTest, ReloadBuildsFreshControlsAndResizeDoneFollowsEachLoad)
{
    int builds = 0, resized = 0;
    TestForm f(QStringLiteral("frmMain"), [&](TestForm& form) {
        ++builds;
        form.add<Label>(QStringLiteral("lblCaption"));
        form.add<FormResizer>(QStringLiteral("freeSizer1"))->ResizeDone = [&] {
            ++resized;
            EXPECT_FALSE(form.visible()) << "the form is still hidden";
        };
    });
    f.load();
    f.load();
    EXPECT_EQ(builds, 1);
    EXPECT_EQ(resized, 1);
    f.unload();
    f.show();
    EXPECT_EQ(builds, 2);
    EXPECT_EQ(resized, 2);
    EXPECT_TRUE(f.isShown());
}

// Unload refused by the form's Unload keeps it loaded and shown; an unload
// asked for inside the form's own unloading is refused; a form shown again
// is brought forward, not shown twice; a shown form cannot then be shown
// modally; hiding tells the desktop once; a running timer stops with its form.
TEST_F(UiTest, UnloadRefusedOrNestedShowHideAndTheTimerOfAnUnloadedForm)
{
    Timer* tmr = nullptr;
    TestForm f(QStringLiteral("frmCompare"), [&](TestForm& form) {
        form.add<CommandButton>(QStringLiteral("cmdPrint"));
        tmr = form.add<Timer>(QStringLiteral("tmrClock"));
        tmr->setInterval(1000);
    });
    bool refuse = true;
    int nested = -1, ticks = 0;
    f.Load = [&] { tmr->Tick = [&] { ++ticks; }; };
    f.Unload = [&](bool& cancel) {
        cancel = refuse;
        nested = f.unload() ? 1 : 0;
    };
    using Entry = HeadlessDesktop::Entry;
    f.show();
    f.show();
    EXPECT_EQ(desk.entries(Entry::FormShown).size(), 1);
    EXPECT_TRUE(desk.timerRunning(*tmr));
    expectUiError([&] { f.show(Modal); }, 400, QStringLiteral("Form already displayed; can't show modally"));
    EXPECT_FALSE(f.unload());
    EXPECT_EQ(nested, 0);
    EXPECT_TRUE(f.isShown());
    EXPECT_EQ(desk.entries(Entry::FormHidden).size() + desk.entries(Entry::FormUnloaded).size(), 0);
    EXPECT_EQ(f.control(QStringLiteral("CMDPRINT")), f.controls().front()) << "names are found whatever their case";
    EXPECT_EQ(f.control(QStringLiteral("cmdPrint"), 0), nullptr) << "not an array";
    f.hide();
    f.hide();
    EXPECT_EQ(desk.entries(Entry::FormHidden).size(), 1);
    EXPECT_TRUE(f.isLoaded());
    desk.advance(1000);
    EXPECT_EQ(ticks, 1);
    refuse = false;
    EXPECT_TRUE(f.unload());
    EXPECT_FALSE(f.isLoaded());
    desk.advance(5000);
    EXPECT_EQ(ticks, 1) << "its timer stopped";
    EXPECT_EQ(desk.entries(Entry::FormHidden).size() + desk.entries(Entry::FormUnloaded).size(), 2);
}

// A place the program gives a window is its request (the screen honours
// it); the design's place is not, a new size alone does not make one, and a
// place the user gave the window ends it without telling a backend anew.
TEST_F(UiTest, OnlyAPlaceTheProgramGivesIsARequestUntilTheUserMovesTheWindow)
{
    TestForm f(QStringLiteral("frmFind"), [](TestForm& form) { form.move(100, 200, 3000, 2000); });
    f.load();
    EXPECT_FALSE(f.placedByProgram()) << "the design's place";
    f.move(100, 200, 3500, 2500);
    EXPECT_FALSE(f.placedByProgram()) << "a new size alone";
    f.move(300, 200, 3500, 2500);
    EXPECT_TRUE(f.placedByProgram());
    struct Recorder : ChangeObserver {
        int changes = 0;
        void changed(const Change&) override { ++changes; }
    } rec;
    f.setObserver(&rec);
    f.windowPlaced(50, 60, 4000, 3000);
    f.setObserver(nullptr);
    EXPECT_FALSE(f.placedByProgram());
    EXPECT_EQ(rec.changes, 0);
    EXPECT_EQ(QList<int>({f.left(), f.top(), f.width(), f.height()}), QList<int>({50, 60, 4000, 3000}));
    f.move(50, 61, 4000, 3000);
    EXPECT_TRUE(f.placedByProgram());
    f.unload();
    f.load();
    EXPECT_FALSE(f.placedByProgram()) << "loaded afresh";
}

// --- Modal runs ---------------------------------------------------------------------

TEST_F(UiTest, AModalScriptOpensASecondModalForm)
{
    QStringList log;
    TestForm find(QStringLiteral("frmFind"));
    TestForm compare(QStringLiteral("frmCompare"));
    compare.load();
    auto* cmdFind = compare.add<CommandButton>(QStringLiteral("cmdFind"));
    cmdFind->Click = [&] {
        compare.setMousePointer(vbHourglass);
        find.load();
        find.show(Modal);
        compare.setMousePointer(vbDefault);
        log << QStringLiteral("find returned");
    };
    trace(find, log);
    desk.onModal(QStringLiteral("frmCompare"), [&](Form& form) {
        ASSERT_TRUE(Input::click(*cmdFind));
        EXPECT_EQ(modalStack().size(), 1u);
        form.unload();
    });
    desk.onModal(QStringLiteral("frmFind"), [&](Form& form) {
        EXPECT_EQ(topModalForm(), &find);
        EXPECT_EQ(modalStack().size(), 2u);
        // The form beneath takes no input.
        QString why;
        EXPECT_FALSE(Input::canTakeInput(*cmdFind, &why));
        EXPECT_TRUE(why.contains(QStringLiteral("blocked by the modal form frmFind")));
        ASSERT_TRUE(Input::closeBox(form));
    });
    compare.show(Modal);
    EXPECT_EQ(log, (QStringList{"frmFind load", "frmFind query 0", "frmFind unload", "find returned"}));
    EXPECT_TRUE(modalStack().empty());
    EXPECT_EQ(desk.entries(HeadlessDesktop::Entry::PointerChange).size(), 2);
}

// (Hiding a modal form and showing it modally again: the explanation opened
// from the results grid, in the result tools' tests.)

TEST_F(UiTest, AnUnscriptedModalFormOrAScriptThatLeavesItOpenFailsUnlessAutoClosed)
{
    TestForm f(QStringLiteral("frmOptions"));
    EXPECT_HEADLESS_FAILURE(f.show(Modal), "Unscripted modal form frmOptions");
    EXPECT_TRUE(modalStack().empty());
    f.show();
    expectUiError([&] { f.show(Modal); }, 400);   // already visible
    f.hide();
    desk.onModal(QStringLiteral("frmOptions"), [](Form&) {});
    EXPECT_HEADLESS_FAILURE(f.show(Modal), "Modal form frmOptions left open");
    f.hide();

    QList<int> modes;
    f.QueryUnload = [&](bool&, int mode) { modes << mode; };
    desk.onModal(QStringLiteral("frmOptions"), [](Form&) {}, HeadlessDesktop::ModalEnd::AutoClose);
    f.show(Modal);
    EXPECT_FALSE(f.isLoaded());
    EXPECT_EQ(modes, QList<int>{vbFormControlMenu});
}

TEST_F(UiTest, EndingInsideANestedModalLoopRunsNoQueryUnloadOrUnload)
{
    QStringList log;
    TestForm inner(QStringLiteral("frmSettingsImport"));
    TestForm outer(QStringLiteral("frmMain"));
    trace(inner, log);
    trace(outer, log);
    desk.onModal(QStringLiteral("frmMain"), [&](Form&) { inner.show(Modal); });
    desk.onModal(QStringLiteral("frmSettingsImport"), [&](Form& form) {
        msgBox(&form, QStringLiteral("Import settings"), QStringLiteral("done"), vbExclamationOK);
        endProgram();
    });
    desk.expectMsgBox(QStringLiteral("Import settings"), QStringLiteral("done"), vbExclamationOK, vbOK);
    EXPECT_THROW(outer.show(Modal), ProgramEnd);
    EXPECT_EQ(log, (QStringList{"frmMain load", "frmSettingsImport load"}));
    EXPECT_TRUE(modalStack().empty());
    EXPECT_TRUE(programHasEnded());
    outer.unload();
    EXPECT_EQ(log.size(), 2) << "after the end nothing unloads";
    EXPECT_EQ(desk.transcriptLines().last(), QStringLiteral("end"));
}

// --- Message boxes ---------------------------------------------------------------------

TEST_F(UiTest, AnUnexpectedMessageBoxOrAnswerFailsWithItsText)
{
    TestForm f(QStringLiteral("frmMain"));
    f.load();
    EXPECT_HEADLESS_FAILURE(msgBox(&f, QStringLiteral("Up one level"), QStringLiteral("Already at the root."), vbInformationOK),
                            "Unexpected message box [frmMain] title \"Up one level\", text \"Already at the root.\", style 64");
    desk.expectMsgBox(QStringLiteral("Store path"), QStringLiteral("Store?"), vbQuestionYesNo, vbYes);
    EXPECT_HEADLESS_FAILURE(msgBox(&f, QStringLiteral("Store path"), QStringLiteral("Store it?"), vbQuestionYesNo),
                            "got:      [frmMain] title \"Store path\", text \"Store it?\"");
    EXPECT_EQ(msgBox(&f, QStringLiteral("Store path"), QStringLiteral("Store?"), vbQuestionYesNo), vbYes) << "still expected";
    // An answer that is not a button of the box fails too.
    desk.expectMsgBox(QStringLiteral("Reminder"), QStringLiteral("Close?"), vbQuestionYesNoDefNo, vbCancel);
    EXPECT_HEADLESS_FAILURE(msgBox(nullptr, QStringLiteral("Reminder"), QStringLiteral("Close?"), vbQuestionYesNoDefNo),
                            "Answer 2 is not a button");
}

// --- Input ----------------------------------------------------------------------------

TEST_F(UiTest, InputIsRefusedForDisabledHiddenOrFramedControls)
{
    TestForm f(QStringLiteral("frmSettingsExport"));
    f.load();
    auto* fra = f.add<Frame>(QStringLiteral("fraSettings"));
    auto* inFrame = f.add<CommandButton>(QStringLiteral("cmdBrowse"), -1, fra);
    auto* plain = f.add<CommandButton>(QStringLiteral("cmdExport"));
    EXPECT_HEADLESS_FAILURE(Input::click(*plain), "form frmSettingsExport is not shown");
    f.show();
    fra->setEnabled(false);
    EXPECT_HEADLESS_FAILURE(Input::click(*inFrame), "control frmSettingsExport.cmdBrowse is not enabled");
    EXPECT_TRUE(inFrame->enabled()) << "a disabled frame leaves its children's own Enabled";
    plain->setVisible(false);
    EXPECT_HEADLESS_FAILURE(Input::click(*plain), "not visible");
}

// Every kind of input to a disabled control is refused (the action says so
// and the control hears nothing), also while the control has the focus, and
// a click at a place the grid does not have is refused at each of its edges.
TEST_F(UiTest, EveryInputToADisabledControlOrOutsideTheGridIsRefusedAndChangesNothing)
{
    TestForm f(QStringLiteral("frmViews"));
    f.load();
    auto* cbo = f.add<ComboBox>(QStringLiteral("cboWebLocation"));
    auto* lst = f.add<ListBox>(QStringLiteral("lstSavedPaths"));
    auto* tvw = f.add<TreeView>(QStringLiteral("tvwStructure"));
    auto* grd = f.add<FlexGrid>(QStringLiteral("grdResults"));
    auto* upd = f.add<UpDown>(QStringLiteral("updNumberOfLevels"));
    QStringList events;
    for (const char* s : {"one", "two"}) {
        cbo->addItem(QString::fromLatin1(s));
        lst->addItem(QString::fromLatin1(s));
    }
    tvw->add({}, TreeView::tvwLast, QStringLiteral("C:"), QStringLiteral("C:"));
    tvw->add(QStringLiteral("C:"), TreeView::tvwChild, QStringLiteral("C:\\A"), QStringLiteral("A"));
    tvw->node(QStringLiteral("C:"))->setExpanded(true);
    grd->move(0, 0, 3000, 1500);
    grd->setCols(3);
    grd->setRows(4);
    upd->setMax(10);
    cbo->Click = [&] { events << QStringLiteral("combo"); };
    lst->Click = [&] { events << QStringLiteral("list"); };
    tvw->NodeClick = [&](TreeNode* n) { events << QStringLiteral("node ") + n->key(); };
    grd->Click = [&] { events << QStringLiteral("grid"); };
    grd->MouseUp = [&](int, int, int, int) { events << QStringLiteral("grid up %1,%2").arg(grd->mouseRow()).arg(grd->mouseCol()); };
    upd->Change = [&] { events << QStringLiteral("updown"); };
    f.show();

    // The grid's edges: the headings (-1) are a place, one beyond is not.
    for (auto [row, col] : std::initializer_list<std::pair<int, int>>{{-2, 0}, {4, 0}, {0, -2}, {0, 3}})
        EXPECT_HEADLESS_FAILURE(Input::gridMouseUp(*grd, row, col), QStringLiteral("has no cell (%1, %2)").arg(row).arg(col));
    for (auto [col, twips] : std::initializer_list<std::pair<int, int>>{{-1, 100}, {3, 100}, {1, -1}})
        EXPECT_HEADLESS_FAILURE(Input::resizeColumn(*grd, col, twips), QStringLiteral("cannot size column %1").arg(col));
    EXPECT_EQ(events, QStringList());
    ASSERT_TRUE(Input::gridMouseUp(*grd, 3, 2));
    ASSERT_TRUE(Input::gridMouseUp(*grd, -1, -1));
    ASSERT_TRUE(Input::resizeColumn(*grd, 2, 0));
    EXPECT_EQ(events, (QStringList{"grid up 3,2", "grid", "grid up -1,-1", "grid"}));
    events.clear();

    const int width = grd->colWidth(1);
    ASSERT_TRUE(Input::focus(*tvw));
    for (Control* c : std::initializer_list<Control*>{cbo, lst, tvw, grd, upd}) c->setEnabled(false);
    ASSERT_EQ(f.activeControl(), tvw);
    const auto refused = [](const char* what, auto&& action) {
        EXPECT_HEADLESS_FAILURE(EXPECT_FALSE(action()) << what, "is not enabled");
    };
    refused("combo", [&] { return Input::comboChoose(*cbo, 1); });
    refused("list", [&] { return Input::listClick(*lst, 1); });
    refused("list scroll", [&] { return Input::scrollList(*lst, 1); });
    refused("node click", [&] { return Input::nodeClick(*tvw, QStringLiteral("C:\\A")); });
    refused("node key", [&] { return Input::nodeKey(*tvw, QStringLiteral("C:\\A")); });
    refused("collapse", [&] { return Input::collapse(*tvw, QStringLiteral("C:")); });
    refused("typing", [&] { return Input::type(*tvw, QStringLiteral("a")); });
    refused("grid", [&] { return Input::gridMouseUp(*grd, 1, 1); });
    refused("column", [&] { return Input::resizeColumn(*grd, 1, 500); });
    refused("grid scroll", [&] { return Input::scrollGrid(*grd, 2); });
    refused("up-down", [&] { return Input::upDown(*upd, +1); });
    EXPECT_EQ(events, QStringList());
    EXPECT_EQ(cbo->listIndex(), -1);
    EXPECT_EQ(lst->listIndex(), -1);
    EXPECT_EQ(tvw->selectedItem(), nullptr);
    EXPECT_TRUE(tvw->node(QStringLiteral("C:"))->expanded());
    EXPECT_EQ(grd->colWidth(1), width);
    EXPECT_EQ(upd->value(), 0);
    EXPECT_EQ(f.activeControl(), tvw);
}

// The pointer moving over a control raises its MouseMove with the buttons
// held and the place; a control that takes no input refuses it.
TEST_F(UiTest, APointerMovingOverAControlRaisesMouseMoveUnlessItTakesNoInput)
{
    TestForm f(QStringLiteral("frmCompare"));
    f.load();
    auto* cmd = f.add<CommandButton>(QStringLiteral("cmdDisplayNextDifference"));
    QStringList moves;
    cmd->MouseMove = [&](int button, int shift, int x, int y) { moves << QStringLiteral("%1 %2 %3 %4").arg(button).arg(shift).arg(x).arg(y); };
    f.show();
    EXPECT_TRUE(Input::mouseMove(*cmd, 150, 30, vbLeftButton, vbShiftMask));
    EXPECT_EQ(moves, QStringList{QStringLiteral("%1 %2 150 30").arg(vbLeftButton).arg(vbShiftMask)});
    cmd->setEnabled(false);
    EXPECT_HEADLESS_FAILURE(Input::mouseMove(*cmd, 10, 10), "not enabled");
    EXPECT_EQ(moves.size(), 1);
}

// A window opens on the control of the lowest tab index (those without one
// follow in the order they were made: the focus test's window opens on the
// first made); Enter presses the focused button, else the default one.
TEST_F(UiTest, EnterPressesTheFocusedButtonOrTheDefaultEscTheCancelOneAndFocusMovesBeforeClick)
{
    TestForm f(QStringLiteral("frmFind"));
    f.load();
    auto* ok = f.add<CommandButton>(QStringLiteral("cmdOK"));
    auto* cancel = f.add<CommandButton>(QStringLiteral("cmdCancel"));
    auto* other = f.add<CommandButton>(QStringLiteral("cmdFindNext"));
    auto* txt = f.add<TextBox>(QStringLiteral("txtFindString"));
    txt->setTabIndex(0);
    ok->setDefault(true);
    cancel->setCancel(true);
    QStringList log;
    txt->LostFocus = [&] {
        log << QStringLiteral("lost");
        if (txt->text().isEmpty()) txt->setText(QStringLiteral("1"));
    };
    ok->Click = [&] { log << QStringLiteral("ok ") + txt->text(); };
    cancel->Click = [&] { log << QStringLiteral("cancel"); };
    other->Click = [&] { log << QStringLiteral("next"); };
    f.show();
    EXPECT_EQ(f.activeControl(), txt) << "first in the tab order";
    ASSERT_TRUE(Input::key(f, vbKeyReturn));
    ASSERT_TRUE(Input::click(*ok));   // the focus leaves the box before the Click
    ASSERT_TRUE(Input::key(f, vbKeyEscape));
    ASSERT_TRUE(Input::focus(*other));
    ASSERT_TRUE(Input::key(f, vbKeyReturn));
    cancel->setEnabled(false);
    ASSERT_TRUE(Input::key(f, vbKeyEscape));
    EXPECT_EQ(log, (QStringList{"ok ", "lost", "ok 1", "cancel", "next"}));
    EXPECT_TRUE(f.isLoaded()) << "Esc is not a close";
    txt->setVisible(false);
    EXPECT_THROW(txt->setFocus(), UiError);
}

// A form shown gives the focus to the lowest tab index among the controls
// that can take it: hidden, disabled (also through their frame), labels and
// controls out of the tab order are passed over; a focus that still can stay
// is kept when the form is shown again.
TEST_F(UiTest, AShownFormFocusesTheFirstControlInTabOrderThatCanTakeTheFocus)
{
    TestForm f(QStringLiteral("frmOptions"));
    f.load();
    auto* fra = f.add<Frame>(QStringLiteral("fraGeneral"));
    auto* hidden = f.add<CommandButton>(QStringLiteral("cmdHidden"));
    auto* disabled = f.add<CommandButton>(QStringLiteral("cmdDisabled"));
    auto* framed = f.add<CommandButton>(QStringLiteral("cmdFramed"), -1, fra);
    auto* label = f.add<Label>(QStringLiteral("lblCaption"));
    auto* untabbed = f.add<TextBox>(QStringLiteral("txtUntabbed"));
    auto* later = f.add<TextBox>(QStringLiteral("txtLater"));
    auto* first = f.add<CheckBox>(QStringLiteral("chkFirst"));
    const std::pair<Control*, int> order[] = {{hidden, 0}, {disabled, 1}, {framed, 2}, {label, 3},
                                              {untabbed, 4}, {first, 5}, {later, 6}};
    for (const auto& [c, i] : order) c->setTabIndex(i);
    hidden->setVisible(false);
    disabled->setEnabled(false);
    fra->setEnabled(false);
    untabbed->setTabStop(false);
    f.show();
    EXPECT_EQ(f.activeControl(), first);
    later->setFocus();
    f.hide();
    f.show();
    EXPECT_EQ(f.activeControl(), later) << "kept while it can hold the focus";
    f.hide();
    later->setVisible(false);
    first->setEnabled(false);
    hidden->setVisible(true);
    f.show();
    EXPECT_EQ(f.activeControl(), hidden);
}

// Tab and Shift+Tab walk the controls that can take the focus by tab index,
// round either end; from a focus that can no longer stay (its control
// disabled or hidden) Tab goes to the first and Shift+Tab to the last.
TEST_F(UiTest, TabAndShiftTabWalkTheTabOrderRoundTheEndsAndFromAFocusThatCannotStay)
{
    TestForm f(QStringLiteral("frmFind"));
    f.load();
    auto* find = f.add<TextBox>(QStringLiteral("txtFindString"));
    auto* next = f.add<CommandButton>(QStringLiteral("cmdFindNext"));
    auto* skipped = f.add<CommandButton>(QStringLiteral("cmdHelp"));
    auto* cancel = f.add<CommandButton>(QStringLiteral("cmdCancel"));
    cancel->setTabIndex(0);
    find->setTabIndex(1);
    next->setTabIndex(2);
    skipped->setTabIndex(3);
    skipped->setTabStop(false);
    f.show();
    ASSERT_EQ(f.activeControl(), cancel);
    const auto tab = [&f](int shift) {
        EXPECT_TRUE(Input::key(f, vbKeyTab, shift));
        return f.activeControl();
    };
    EXPECT_EQ(tab(0), find);
    EXPECT_EQ(tab(0), next);
    EXPECT_EQ(tab(0), cancel) << "round the end";
    EXPECT_EQ(tab(vbShiftMask), next) << "round the start";
    EXPECT_EQ(tab(vbShiftMask), find);
    find->setEnabled(false);
    EXPECT_EQ(tab(0), cancel) << "the first that can take it";
    find->setEnabled(true);
    ASSERT_TRUE(Input::focus(*next));
    next->setVisible(false);
    EXPECT_EQ(tab(vbShiftMask), find) << "the last that can take it";
    next->setVisible(true);
    ASSERT_TRUE(Input::focus(*find));
    find->setEnabled(false);
    EXPECT_EQ(tab(vbShiftMask), next);

    // Ctrl+Tab moves nothing: a previewing form sees it as the key it is, 9.
    f.setKeyPreview(true);
    QList<int> seen;
    f.KeyDown = [&seen](int& code, int) {
        seen << code;
        code = 0;
    };
    EXPECT_EQ(tab(vbCtrlMask), next);
    EXPECT_EQ(seen, QList<int>{9});
}

// A box that takes the focus back in its LostFocus keeps it: the control the
// user went to never hears GotFocus.
TEST_F(UiTest, AFocusTakenBackInLostFocusStaysWithoutAGotFocusForTheOtherControl)
{
    TestForm f(QStringLiteral("frmOptions"));
    f.load();
    auto* txt = f.add<TextBox>(QStringLiteral("txtLevels"));
    auto* other = f.add<TextBox>(QStringLiteral("txtPattern"));
    QStringList log;
    txt->GotFocus = [&] { log << QStringLiteral("box got"); };
    txt->LostFocus = [&] {
        log << QStringLiteral("box lost");
        if (txt->text().isEmpty()) txt->setFocus();
    };
    other->GotFocus = [&] { log << QStringLiteral("other got"); };
    f.show();
    ASSERT_EQ(f.activeControl(), txt);
    ASSERT_TRUE(Input::focus(*other));
    EXPECT_EQ(f.activeControl(), txt);
    EXPECT_FALSE(log.contains(QStringLiteral("other got"))) << log.join(", ").toStdString();
    EXPECT_EQ(log.last(), QStringLiteral("box got"));
    txt->setText(QStringLiteral("3"));
    log.clear();
    ASSERT_TRUE(Input::focus(*other));
    EXPECT_EQ(log, (QStringList{"box lost", "other got"}));
}

// A click that a handler ends on the way (the box it leaves disables the
// button, the button's MouseUp hides it) is still a click taken, but
// presses nothing.
TEST_F(UiTest, AClickThatAHandlerEndsOnTheWayIsTakenButPressesNothing)
{
    TestForm f(QStringLiteral("frmOptions"));
    f.load();
    auto* txt = f.add<TextBox>(QStringLiteral("txtLevels"));
    auto* ok = f.add<CommandButton>(QStringLiteral("cmdOK"));
    auto* apply = f.add<CommandButton>(QStringLiteral("cmdApply"));
    int presses = 0;
    ok->Click = [&] { ++presses; };
    apply->Click = [&] { ++presses; };
    txt->LostFocus = [&] { ok->setEnabled(!txt->text().isEmpty()); };
    apply->MouseUp = [&](int, int, int, int) { apply->setVisible(false); };
    f.show();
    ASSERT_EQ(f.activeControl(), txt);
    EXPECT_TRUE(Input::click(*ok));
    EXPECT_FALSE(ok->enabled());
    EXPECT_TRUE(Input::click(*apply));
    EXPECT_FALSE(apply->visible());
    EXPECT_EQ(presses, 0);
}

// A text box's KeyPress may refuse a key; the form sees keys first with
// KeyPreview; Ctrl+C, X and V use the clipboard unless the box refuses them.
TEST_F(UiTest, KeyPreviewSeesKeysFirstAndCtrlCXVUseTheClipboardUnlessTheBoxRefusesTheKey)
{
    TestForm f(QStringLiteral("frmCompare"));
    f.load();
    auto* digits = f.add<TextBox>(QStringLiteral("txtNumberOfLevels"));
    auto* txt = f.add<TextBox>(QStringLiteral("txtFindString"));
    auto* print = f.add<CommandButton>(QStringLiteral("cmdPrint"));
    int prints = 0;
    QList<int> formKeys;
    print->Click = [&] { ++prints; };
    digits->KeyPress = [&](int& ascii) {
        if (ascii != 8 && (ascii < '0' || ascii > '9')) {
            ascii = 0;
            desktop().beep();
        }
    };
    f.setKeyPreview(true);
    f.KeyPress = [&](int& ascii) {
        formKeys << ascii;
        if (ascii == 16 && print->enabled()) print->setValue(true);
    };
    f.show();
    ASSERT_TRUE(Input::type(*digits, QStringLiteral("12a3")));
    EXPECT_EQ(digits->text(), QStringLiteral("123"));
    ASSERT_TRUE(Input::key(f, vbKeyBack));
    EXPECT_EQ(digits->text(), QStringLiteral("12"));
    ASSERT_TRUE(Input::key(f, 'P', vbCtrlMask));
    EXPECT_EQ(prints, 1);
    EXPECT_EQ(formKeys, (QList<int>{'1', '2', 'a', '3', 8, 16}));
    EXPECT_EQ(desk.entries(HeadlessDesktop::Entry::Beep).size(), 2) << "'a' and Ctrl+P refused by the box";

    ASSERT_TRUE(Input::type(*txt, QStringLiteral("report.txt")));
    txt->setSelStart(0);
    txt->setSelLength(6);
    ASSERT_TRUE(Input::key(f, 'X', vbCtrlMask));
    EXPECT_EQ(txt->text(), QStringLiteral(".txt"));
    EXPECT_EQ(desk.clipboardText(), QStringLiteral("report"));
    txt->setSelStart(4);
    ASSERT_TRUE(Input::key(f, 'V', vbCtrlMask));
    EXPECT_EQ(txt->text(), QStringLiteral(".txtreport"));
    txt->setSelStart(0);
    txt->setSelLength(4);
    ASSERT_TRUE(Input::key(f, 'C', vbCtrlMask));
    EXPECT_EQ(txt->text(), QStringLiteral(".txtreport")) << "copy leaves the text alone";
    EXPECT_EQ(desk.clipboardText(), QStringLiteral(".txt"));
    ASSERT_TRUE(Input::focus(*digits));
    ASSERT_TRUE(Input::key(f, 'V', vbCtrlMask));
    EXPECT_EQ(digits->text(), QStringLiteral("12")) << "a box that drops Ctrl+V gets no paste";
    ASSERT_TRUE(Input::paste(*digits, QStringLiteral("x")));
    EXPECT_EQ(digits->text(), QStringLiteral("12x")) << "a paste bypasses KeyPress";
}

// A box never written to has nothing selected: Ctrl+C and Ctrl+X leave the
// clipboard alone, and a paste fills it only up to its MaxLength.
TEST_F(UiTest, ABoxNeverWrittenToHasNothingSelected)
{
    TestForm f(QStringLiteral("frmOptions"));
    f.load();
    auto* txt = f.add<TextBox>(QStringLiteral("txtNumberOfLevels"));
    txt->setMaxLength(3);
    f.show();
    desk.setClipboardText(QStringLiteral("kept"));
    ASSERT_TRUE(Input::focus(*txt));
    ASSERT_TRUE(Input::key(f, 'C', vbCtrlMask));
    ASSERT_TRUE(Input::key(f, 'X', vbCtrlMask));
    EXPECT_EQ(desk.clipboardText(), QStringLiteral("kept"));
    ASSERT_TRUE(Input::paste(*txt, QStringLiteral("12345")));
    EXPECT_EQ(txt->text(), QStringLiteral("123"));
}

// Backspace at the start erases nothing and over a selection erases just it;
// Ctrl+A selects everything; control characters are not typed; a single-line
// box drops the line breaks of a paste; an empty clipboard pastes nothing;
// a locked box can only be copied from.
TEST_F(UiTest, EditingKeysAtTheEdgesAndALockedBox)
{
    TestForm f(QStringLiteral("frmFind"));
    f.load();
    auto* txt = f.add<TextBox>(QStringLiteral("txtFindString"));
    int changes = 0;
    txt->Change = [&] { ++changes; };
    f.show();
    ASSERT_TRUE(Input::type(*txt, QStringLiteral("abc\x01\x1f")));
    EXPECT_EQ(txt->text(), QStringLiteral("abc"));
    EXPECT_EQ(changes, 3);
    txt->setSelStart(0);
    ASSERT_TRUE(Input::key(f, vbKeyBack));
    EXPECT_EQ(txt->text(), QStringLiteral("abc"));
    EXPECT_EQ(changes, 3);
    txt->setSelStart(1);
    txt->setSelLength(2);
    ASSERT_TRUE(Input::key(f, vbKeyBack));
    EXPECT_EQ(txt->text(), QStringLiteral("a"));
    ASSERT_TRUE(Input::key(f, vbKeyBack));
    EXPECT_EQ(txt->text(), QString());
    ASSERT_TRUE(Input::paste(*txt, QStringLiteral("one\r\ntwo")));
    EXPECT_EQ(txt->text(), QStringLiteral("onetwo"));
    desk.setClipboardText(QString());
    ASSERT_TRUE(Input::key(f, 'V', vbCtrlMask));
    EXPECT_EQ(txt->text(), QStringLiteral("onetwo"));
    ASSERT_TRUE(Input::key(f, 'A', vbCtrlMask));
    EXPECT_EQ(txt->selStart() * 10 + txt->selLength(), 6);

    txt->setLocked(true);
    changes = 0;
    ASSERT_TRUE(Input::type(*txt, QStringLiteral("x")));
    ASSERT_TRUE(Input::key(f, vbKeyBack));
    ASSERT_TRUE(Input::key(f, 'X', vbCtrlMask));
    EXPECT_EQ(desk.clipboardText(), QStringLiteral("onetwo")) << "cut from a locked box only copies";
    ASSERT_TRUE(Input::key(f, 'V', vbCtrlMask));
    ASSERT_TRUE(Input::paste(*txt, QStringLiteral("three")));
    EXPECT_EQ(txt->text(), QStringLiteral("onetwo"));
    EXPECT_EQ(changes, 0);
}

// The characters keys give a text box: letters by Shift, digits, Ctrl and a
// letter as its control code, Backspace, Space, Enter and Esc as
// themselves; a function key, Ctrl with a digit or a key without a
// character give none.
TEST_F(UiTest, EachKeyGivesItsCharacterOrNone)
{
    TestForm f(QStringLiteral("frmFind"));
    f.load();
    auto* txt = f.add<TextBox>(QStringLiteral("txtFindString"));
    QList<int> pressed;
    txt->KeyPress = [&](int& ascii) { pressed << ascii; };
    f.show();
    Input::focus(*txt);
    const std::pair<int, int> keys[] = {
        {'A', vbShiftMask}, {'Z', vbShiftMask}, {'A', 0}, {'Z', 0}, {'0', 0}, {'9', 0}, {'Z', vbCtrlMask},
        {vbKeyBack, 0}, {vbKeySpace, 0}, {vbKeyReturn, 0}, {vbKeyEscape, 0}, {vbKeyF1, 0}, {'1', vbCtrlMask},
        {'@', 0}, {'[', 0}, {'/', 0}, {':', 0},
    };
    for (const auto& [code, shift] : keys) ASSERT_TRUE(Input::key(f, code, shift));
    EXPECT_EQ(pressed, (QList<int>{'A', 'Z', 'a', 'z', '0', '9', 26, 8, ' ', 13, 27}));
    EXPECT_EQ(txt->text(), QStringLiteral("AZaz0 "));
    ASSERT_TRUE(Input::key(f, 'A', vbCtrlMask));
    ASSERT_TRUE(Input::key(f, 'B', 0));
    EXPECT_EQ(txt->text(), QStringLiteral("b"));
    EXPECT_EQ(pressed.mid(11), (QList<int>{1, 'b'}));
}

TEST_F(UiTest, MenusOpenThenChooseAndPopUpSynchronously)
{
    TestForm f(QStringLiteral("frmMain"));
    f.load();
    Menu* mnuSavePath = f.addMenu(QStringLiteral("mnuSavePath"), QStringLiteral("Store"));
    Menu* mnuStore = f.addMenu(QStringLiteral("mnuSavePathStore"), QStringLiteral("Store path"), mnuSavePath);
    f.addMenu(QStringLiteral("mnuSep"), QStringLiteral("-"), mnuSavePath);
    Menu* mnuHelp = f.addMenu(QStringLiteral("mnuSavePathHelp"), QStringLiteral("Help"), mnuSavePath);
    QStringList log;
    mnuSavePath->Click = [&] {
        log << QStringLiteral("open");
        mnuHelp->setEnabled(false);
    };
    mnuStore->Click = [&] { log << QStringLiteral("store"); };
    mnuHelp->Click = [&] { log << QStringLiteral("help"); };
    f.show();
    ASSERT_TRUE(Input::choose(*mnuStore));
    EXPECT_HEADLESS_FAILURE(Input::choose(*mnuHelp), "menu frmMain.mnuSavePathHelp is disabled or hidden");

    desk.answerPopup(QStringLiteral("mnuSavePath"), QStringLiteral("mnuSavePathStore"));
    f.popupMenu(*mnuSavePath);
    log << QStringLiteral("popup returned");
    desk.answerPopup(QStringLiteral("mnuSavePath"), QString());
    f.popupMenu(*mnuSavePath);
    EXPECT_EQ(log, (QStringList{"open", "store", "open", "store", "popup returned", "open"}));
    desk.answerPopup(QStringLiteral("mnuSavePath"), QStringLiteral("mnuSavePathHelp"));
    EXPECT_HEADLESS_FAILURE(f.popupMenu(*mnuSavePath), "cannot be chosen");
}

// A menu on the menu bar opens (its Click) or is chosen alone; a menu below
// it cannot be opened as if it stood on the bar.
TEST_F(UiTest, AMenuBarMenuOpensOrIsChosenAloneAndASubMenuIsNotOnTheBar)
{
    TestForm f(QStringLiteral("frmMain"));
    f.load();
    Menu* mnuView = f.addMenu(QStringLiteral("mnuView"), QStringLiteral("View"));
    Menu* mnuZoom = f.addMenu(QStringLiteral("mnuViewZoom"), QStringLiteral("Zoom"), mnuView);
    QStringList log;
    mnuView->Click = [&] { log << QStringLiteral("view"); };
    mnuZoom->Click = [&] { log << QStringLiteral("zoom"); };
    f.show();
    EXPECT_TRUE(Input::openMenu(*mnuView));
    EXPECT_TRUE(Input::choose(*mnuView));
    EXPECT_EQ(log, (QStringList{"view", "view"}));
    EXPECT_HEADLESS_FAILURE(Input::openMenu(*mnuZoom), "menu frmMain.mnuViewZoom is not on the menu bar");
    EXPECT_TRUE(Input::choose(*mnuZoom));
    EXPECT_EQ(log, (QStringList{"view", "view", "view", "zoom"}));
    mnuView->setEnabled(false);
    EXPECT_HEADLESS_FAILURE(Input::openMenu(*mnuView), "disabled or hidden");
    EXPECT_EQ(log.size(), 4);
}

// Space presses the focused button and toggles the focused check box or
// option; with Ctrl it does nothing there; in a text box it is a character.
TEST_F(UiTest, SpacePressesTheFocusedButtonOrBoxAndIsTypedInATextBox)
{
    TestForm f(QStringLiteral("frmOptions"));
    f.load();
    auto* cmd = f.add<CommandButton>(QStringLiteral("cmdApply"));
    auto* chk = f.add<CheckBox>(QStringLiteral("chkFailSafe"));
    auto* opt = f.add<OptionButton>(QStringLiteral("optDateFormat"));
    auto* txt = f.add<TextBox>(QStringLiteral("txtFilePattern"));
    int presses = 0;
    cmd->Click = [&] { ++presses; };
    f.show();
    const auto space = [&](Control& c, int shift = 0) {
        Input::focus(c);
        EXPECT_TRUE(Input::key(f, vbKeySpace, shift));
    };
    space(*cmd);
    EXPECT_EQ(presses, 1);
    space(*chk);
    EXPECT_EQ(chk->value(), 1);
    space(*chk, vbCtrlMask);
    EXPECT_EQ(chk->value(), 1);
    space(*chk);
    EXPECT_EQ(chk->value(), 0);
    space(*opt);
    EXPECT_TRUE(opt->value());
    space(*txt);
    EXPECT_EQ(txt->text(), QStringLiteral(" "));
    EXPECT_EQ(presses, 1);
}

// A menu shortcut (a function key, Ctrl and a letter) chooses its item, its
// menu opening first, while the item and every menu above it are enabled
// and visible; otherwise, or with no item of that shortcut, it chooses
// nothing, and a shortcut key never reaches the text box that has the focus.
TEST_F(UiTest, AMenuShortcutChoosesItsItemOnlyWhileItAndItsMenusAreAvailable)
{
    TestForm f(QStringLiteral("frmMain"));
    f.load();
    auto* txt = f.add<TextBox>(QStringLiteral("txtCurrentPath"));
    Menu* mnuFile = f.addMenu(QStringLiteral("mnuFile"), QStringLiteral("File"));
    Menu* mnuOpen = f.addMenu(QStringLiteral("mnuFileOpen"), QStringLiteral("Open"), mnuFile);
    Menu* mnuTools = f.addMenu(QStringLiteral("mnuTools"), QStringLiteral("Tools"));
    Menu* mnuRefresh = f.addMenu(QStringLiteral("mnuToolsRefresh"), QStringLiteral("Refresh"), mnuTools);
    Menu* mnuPrint = f.addMenu(QStringLiteral("mnuToolsPrint"), QStringLiteral("Print"), mnuTools);
    mnuOpen->setShortcut(QStringLiteral("^O"));
    mnuRefresh->setShortcut(QStringLiteral("F5"));
    mnuPrint->setShortcut(QStringLiteral("^P"));
    QStringList log;
    for (Menu* m : {mnuFile, mnuOpen, mnuTools, mnuRefresh, mnuPrint}) m->Click = [&log, m] { log << m->name(); };
    txt->KeyPress = [&log](int& ascii) { log << QStringLiteral("key %1").arg(ascii); };
    f.show();
    ASSERT_TRUE(Input::focus(*txt));
    ASSERT_TRUE(Input::key(f, 'O', vbCtrlMask));
    ASSERT_TRUE(Input::key(f, vbKeyF5));
    ASSERT_TRUE(Input::key(f, 'P', vbCtrlMask));
    EXPECT_EQ(log, (QStringList{"mnuFile", "mnuFileOpen", "mnuTools", "mnuToolsRefresh", "mnuTools", "mnuToolsPrint"}));
    log.clear();
    mnuPrint->setVisible(false);
    mnuTools->setEnabled(false);
    mnuOpen->setEnabled(false);
    ASSERT_TRUE(Input::key(f, 'P', vbCtrlMask));
    ASSERT_TRUE(Input::key(f, vbKeyF5));
    ASSERT_TRUE(Input::key(f, 'O', vbCtrlMask));
    ASSERT_TRUE(Input::key(f, 'Q', vbCtrlMask));
    EXPECT_EQ(log, (QStringList{"key 16", "key 15", "key 17"})) << "F5 gives no character";
    EXPECT_EQ(txt->text(), QString());
}

// A click raises MouseUp (the left button, no shift key, at the control's
// corner: a click has no place of its own) before its action: a button's
// Click, a check box's next value, an option button's choice, a label's or
// a picture's Click.
TEST_F(UiTest, AClickRaisesALeftButtonMouseUpAndThenTheControlsOwnAction)
{
    TestForm f(QStringLiteral("frmOptions"));
    f.load();
    auto* cmd = f.add<CommandButton>(QStringLiteral("cmdOK"));
    auto* chk = f.add<CheckBox>(QStringLiteral("chkResizeFont"));
    auto* opt = f.add<OptionButton>(QStringLiteral("optNumberOfLevels"), 0);
    auto* lbl = f.add<Label>(QStringLiteral("lblNumberOfLevels"));
    auto* img = f.add<Image>(QStringLiteral("imgIcon"));
    QStringList log;
    for (Control* c : std::initializer_list<Control*>{cmd, chk, opt, lbl, img})
        c->MouseUp = [&log, c](int button, int shift, int x, int y) {
            log << QStringLiteral("%1 up %2 %3 %4 %5").arg(c->name()).arg(button).arg(shift).arg(x).arg(y);
        };
    cmd->Click = [&] { log << QStringLiteral("cmdOK click"); };
    chk->Click = [&] { log << QStringLiteral("chk %1").arg(chk->value()); };
    opt->Click = [&] { log << QStringLiteral("opt %1").arg(opt->value()); };
    lbl->Click = [&] { log << QStringLiteral("lbl click"); };
    img->Click = [&] { log << QStringLiteral("img click"); };
    f.show();
    for (Control* c : std::initializer_list<Control*>{cmd, chk, chk, opt, opt, lbl, img}) ASSERT_TRUE(Input::click(*c));
    const QString up = QStringLiteral(" up %1 0 0 0").arg(vbLeftButton);
    EXPECT_EQ(log, (QStringList{"cmdOK" + up, "cmdOK click", "chkResizeFont" + up, "chk 1", "chkResizeFont" + up, "chk 0",
                                "optNumberOfLevels" + up, "opt 1", "optNumberOfLevels" + up, "lblNumberOfLevels" + up, "lbl click",
                                "imgIcon" + up, "img click"}));
}

// A handler that closes the window in the middle of an input ends the input
// there: the input was taken (true), and nothing after the closing runs.
TEST_F(UiTest, AnInputWhoseHandlerClosesTheWindowStopsThereAndCountsAsTaken)
{
    CommandButton* cmd = nullptr;
    ListBox* lst = nullptr;
    ComboBox* cbo = nullptr;
    TreeView* tvw = nullptr;
    FlexGrid* grd = nullptr;
    TextBox* txt = nullptr;
    TestForm f(QStringLiteral("frmCompare"), [&](TestForm& form) {
        cmd = form.add<CommandButton>(QStringLiteral("cmdOK"));
        lst = form.add<ListBox>(QStringLiteral("lstItems"));
        cbo = form.add<ComboBox>(QStringLiteral("cboDrive"));
        tvw = form.add<TreeView>(QStringLiteral("tvwStructure"));
        grd = form.add<FlexGrid>(QStringLiteral("grdResults"));
        txt = form.add<TextBox>(QStringLiteral("txtFind"));
        form.add<CommandButton>(QStringLiteral("cmdFirst"))->setTabIndex(0);
        lst->addItem(QStringLiteral("a"));
        cbo->addItem(QStringLiteral("a"));
        tvw->add({}, TreeView::tvwLast, QStringLiteral("C:\\"), QStringLiteral("C:"));
        grd->setRows(5);
        grd->setCols(3);
    });
    int actions = 0;
    const auto closing = [&] { f.unload(); };
    const std::pair<const char*, std::function<bool()>> inputs[] = {
        {"button, on focus", [&] { cmd->GotFocus = closing; cmd->Click = [&] { ++actions; }; return Input::click(*cmd); }},
        {"button, on mouse-up", [&] { cmd->MouseUp = [&](int, int, int, int) { f.unload(); }; cmd->Click = [&] { ++actions; };
                                      return Input::click(*cmd); }},
        {"list, on focus", [&] { lst->GotFocus = closing; lst->Click = [&] { ++actions; }; return Input::listClick(*lst, 0); }},
        {"list, on mouse-up", [&] { lst->MouseUp = [&](int, int, int, int) { f.unload(); }; lst->Click = [&] { ++actions; };
                                    return Input::listClick(*lst, 0); }},
        {"combo, on focus", [&] { cbo->GotFocus = closing; cbo->Click = [&] { ++actions; }; return Input::comboChoose(*cbo, 0); }},
        {"tree, on focus", [&] { tvw->GotFocus = closing; tvw->NodeClick = [&](TreeNode*) { ++actions; };
                                 return Input::nodeClick(*tvw, QStringLiteral("C:\\")); }},
        {"grid, on focus", [&] { grd->GotFocus = closing; grd->Click = [&] { ++actions; }; return Input::gridMouseUp(*grd, 2, 2); }},
        {"grid, on mouse-up", [&] { grd->MouseUp = [&](int, int, int, int) { f.unload(); }; grd->Click = [&] { ++actions; };
                                    return Input::gridMouseUp(*grd, 2, 2, vbRightButton); }},
        {"typing", [&] { txt->KeyPress = [&](int&) { f.unload(); }; txt->Change = [&] { ++actions; };
                         return Input::type(*txt, QStringLiteral("ab")); }},
        {"a key the text box takes back", [&] { Input::focus(*txt); txt->KeyDown = [&](int& code, int) { code = 0; };
                                                f.setDefaultButton(cmd); cmd->Click = [&] { ++actions; };
                                                return Input::key(f, vbKeyReturn); }},
        {"a key the window takes back", [&] { Input::focus(*lst); f.setKeyPreview(true); f.KeyDown = [&](int& code, int) { code = 0; };
                                              f.setDefaultButton(cmd); cmd->Click = [&] { ++actions; };
                                              return Input::key(f, vbKeyReturn); }},
    };
    for (const auto& [what, input] : inputs) {
        f.setKeyPreview(false);
        f.KeyDown = nullptr;
        f.show();
        EXPECT_TRUE(input()) << what;
        EXPECT_EQ(actions, 0) << what;
        f.unload();
    }
}

// A character the window takes back in its KeyPress reaches no control; a
// window with nothing to focus still sees its keys; a plain letter is no
// Ctrl shortcut; only a right button asks for help; a window state is 0 to 2.
TEST_F(UiTest, KeysTheWindowTakesBackReachNoControlAndOnlyCtrlMakesAShortcut)
{
    TestForm f(QStringLiteral("frmFind"));
    f.load();
    auto* txt = f.add<TextBox>(QStringLiteral("txtFindString"));
    txt->setHelpTopic(50010);
    Menu* print = f.addMenu(QStringLiteral("mnuPrint"), QStringLiteral("Print"));
    print->setShortcut(QStringLiteral("^P"));
    int prints = 0;
    print->Click = [&] { ++prints; };
    QList<int> windowKeys, boxKeys;
    f.setKeyPreview(true);
    f.KeyPress = [&](int& ascii) {
        windowKeys << ascii;
        if (ascii == 'x') ascii = 0;
    };
    txt->KeyPress = [&](int& ascii) { boxKeys << ascii; };
    f.show();
    Input::focus(*txt);
    for (const int code : {'X', 'P', '1'}) ASSERT_TRUE(Input::key(f, code));
    EXPECT_EQ(windowKeys, (QList<int>{'x', 'p', '1'}));
    EXPECT_EQ(boxKeys, (QList<int>{'p', '1'}));
    EXPECT_EQ(txt->text(), QStringLiteral("p1"));
    EXPECT_EQ(prints, 0);
    ASSERT_TRUE(Input::key(f, 'P', vbCtrlMask));
    EXPECT_EQ(prints, 1);
    ASSERT_TRUE(Input::mouseUp(*txt, vbLeftButton));
    EXPECT_EQ(desk.entries(HeadlessDesktop::Entry::Help).size(), 0);
    ASSERT_TRUE(Input::mouseUp(*txt, vbRightButton));
    EXPECT_EQ(desk.entries(HeadlessDesktop::Entry::Help).size(), 1);
    for (const int bad : {-1, 3}) expectUiError([&] { f.setWindowState(bad); }, 380);
    f.setWindowState(2);
    EXPECT_EQ(f.windowState(), 2);

    TestForm bare(QStringLiteral("frmAbout"));
    bare.load();
    bare.add<Label>(QStringLiteral("lblTitle"));
    QList<int> seen;
    bare.setKeyPreview(true);
    bare.KeyPress = [&](int& ascii) { seen << ascii; };
    bare.show();
    ASSERT_TRUE(Input::key(bare, 'A'));
    EXPECT_EQ(seen, QList<int>{'a'});
    EXPECT_EQ(bare.activeControl(), nullptr);

    // A box its own KeyPress disables takes that key and no more.
    f.setKeyPreview(false);
    txt->KeyPress = [&](int&) { txt->setEnabled(false); };
    ASSERT_TRUE(Input::type(*txt, QStringLiteral("yz")));
    EXPECT_EQ(txt->text(), QStringLiteral("p1y"));
}

// A pop-up item that a screen reports chosen is clicked only while it and
// every menu between it and the pop-up are enabled and visible.
TEST_F(UiTest, APopUpItemIsClickedOnlyWhileItAndItsMenusAreAvailable)
{
    struct Choosing : HeadlessDesktop {
        Menu* chosen = nullptr;
        Menu* popupMenu(Form&, Menu&, int, int, int) override { return chosen; }
    } screen;
    screen.install();
    TestForm f(QStringLiteral("frmCompare"));
    f.load();
    Menu* pop = f.addMenu(QStringLiteral("mnuDifference"), QStringLiteral("Difference"));
    Menu* sub = f.addMenu(QStringLiteral("mnuDifferenceGo"), QStringLiteral("Go"), pop);
    Menu* item = f.addMenu(QStringLiteral("mnuDifferenceGoTop"), QStringLiteral("Top row"), sub);
    int clicks = 0;
    item->Click = [&] { ++clicks; };
    screen.chosen = item;
    f.popupMenu(*pop);
    EXPECT_EQ(clicks, 1);
    sub->setEnabled(false);
    f.popupMenu(*pop);
    sub->setEnabled(true);
    sub->setVisible(false);
    f.popupMenu(*pop);
    sub->setVisible(true);
    item->setEnabled(false);
    f.popupMenu(*pop);
    EXPECT_EQ(clicks, 1);
    f.unload();
    desk.install();
}
