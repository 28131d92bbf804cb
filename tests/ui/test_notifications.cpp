// What a backend mirroring the model is told: every property write that
// changes something tells it once, naming the property (and item or cell);
// writing the value already there tells it nothing.
#include "TestSupport.h"

#include "ui/FlexGrid.h"
#include "ui/ListBox.h"
#include "ui/TreeView.h"

#include <functional>
#include <tuple>

using namespace ui;
using uitest::TestForm;
using uitest::UiTest;

namespace {

struct Recorder : ChangeObserver {
    QList<std::tuple<Prop, int, int>> changes;
    void changed(const Change& c) override { changes << std::tuple{c.prop, c.index, c.index2}; }
};

struct Write {
    const char* what;
    std::function<void()> write;
    QList<std::tuple<Prop, int, int>> told;   // for the first write; a repeat tells nothing
};

std::tuple<Prop, int, int> p(Prop prop, int index = -1, int index2 = -1) { return {prop, index, index2}; }

void check(Form& f, std::initializer_list<Write> writes)
{
    Recorder rec;
    f.setObserver(&rec);
    for (const Write& w : writes) {
        rec.changes.clear();
        w.write();
        EXPECT_EQ(rec.changes, w.told) << w.what;
        rec.changes.clear();
        w.write();
        EXPECT_EQ(rec.changes, (QList<std::tuple<Prop, int, int>>{})) << w.what << " again";
    }
    f.setObserver(nullptr);
}

} // namespace

TEST_F(UiTest, FormAndCommonControlWritesTellTheBackendOnlyOnAChange)
{
    TestForm f(QStringLiteral("frmMain"));
    f.load();
    auto* fra = f.add<Frame>(QStringLiteral("fraPaths"));
    auto* lbl = f.add<Label>(QStringLiteral("lblPath"));
    auto* cmd = f.add<CommandButton>(QStringLiteral("cmdOK"));
    auto* other = f.add<CommandButton>(QStringLiteral("cmdCancel"));
    const Font bold{QStringLiteral("Verdana"), 7.8, true, 161};
    const Picture arrow{QStringLiteral(":/arrow.cur"), 2, 3};
    check(f, {
        {"form caption", [&] { f.setCaption(QStringLiteral("Main")); }, {p(Prop::Caption)}},
        {"form enabled", [&] { f.setEnabled(false); }, {p(Prop::Enabled)}},
        {"form enabled back", [&] { f.setEnabled(true); }, {p(Prop::Enabled)}},
        {"form tag", [&] { f.setTag(QStringLiteral("t")); }, {p(Prop::Tag)}},
        {"form pointer", [&] { f.setMousePointer(vbHourglass); }, {p(Prop::MousePointer)}},
        {"form pointer back", [&] { f.setMousePointer(vbDefault); }, {p(Prop::MousePointer)}},
        {"form icon", [&] { f.setMouseIcon(arrow); }, {p(Prop::MouseIcon)}},
        {"form key preview", [&] { f.setKeyPreview(true); }, {p(Prop::KeyPreview)}},
        {"form back colour", [&] { f.setBackColor(0x123456u); }, {p(Prop::BackColor)}},
        {"form font", [&] { f.setFont(bold); }, {p(Prop::Font)}},
        {"form state", [&] { f.setWindowState(2); }, {p(Prop::WindowState)}},
        {"form place", [&] { f.move(10, 20, 3000, 2000); }, {p(Prop::Geometry)}},
        {"form size", [&] { f.move(10, 20, 3100, 2000); }, {p(Prop::Geometry)}},
        {"default", [&] { cmd->setDefault(true); }, {p(Prop::DefaultButton)}},
        {"not default", [&] { cmd->setDefault(false); }, {p(Prop::DefaultButton)}},
        {"cancel", [&] { cmd->setCancel(true); }, {p(Prop::CancelButton)}},
        {"another not cancel", [&] { other->setCancel(false); }, {}},
        {"not cancel", [&] { cmd->setCancel(false); }, {p(Prop::CancelButton)}},
        {"container", [&] { lbl->setContainer(fra); }, {p(Prop::Container)}},
        {"visible", [&] { lbl->setVisible(false); }, {p(Prop::Visible)}},
        {"tag", [&] { lbl->setTag(QStringLiteral("t")); }, {p(Prop::Tag)}},
        {"tool tip", [&] { lbl->setToolTipText(QStringLiteral("C:\\")); }, {p(Prop::ToolTip)}},
        {"place", [&] { lbl->move(1, 2, 300, 200); }, {p(Prop::Geometry)}},
        {"back colour", [&] { lbl->setBackColor(0x10u); }, {p(Prop::BackColor)}},
        {"fore colour", [&] { lbl->setForeColor(0x20u); }, {p(Prop::ForeColor)}},
        {"font", [&] { lbl->setFont(bold); }, {p(Prop::Font)}},
        {"pointer", [&] { lbl->setMousePointer(vbHourglass); }, {p(Prop::MousePointer)}},
        {"icon", [&] { lbl->setMouseIcon(arrow); }, {p(Prop::MouseIcon)}},
        {"help topic", [&] { lbl->setHelpTopic(40010); }, {p(Prop::HelpTopic)}},
        {"tab index", [&] { cmd->setTabIndex(3); }, {p(Prop::TabOrder)}},
        {"tab stop", [&] { cmd->setTabStop(false); }, {p(Prop::TabOrder)}},
        {"label caption", [&] { lbl->setCaption(QStringLiteral("C:\\Data")); }, {p(Prop::Caption)}},
        {"label alignment", [&] { lbl->setAlignment(2); }, {p(Prop::Alignment)}},
        {"label wrap", [&] { lbl->setWordWrap(true); }, {p(Prop::WordWrap)}},
        {"button caption", [&] { cmd->setCaption(QStringLiteral("OK")); }, {p(Prop::Caption)}},
        {"button style", [&] { cmd->setStyle(1); }, {p(Prop::Style)}},
        {"button picture", [&] { cmd->setPicture(arrow); }, {p(Prop::Picture)}},
        {"frame caption", [&] { fra->setCaption(QStringLiteral(" Paths ")); }, {p(Prop::Caption)}},
    });
    EXPECT_EQ(f.defaultButton(), nullptr);
    EXPECT_EQ(f.cancelButton(), nullptr);
    EXPECT_FALSE(cmd->isDefault() || cmd->isCancel());
}

// The value controls, their bad values refused (error 380) with nothing told.
TEST_F(UiTest, ValueControlWritesTellTheBackendOnlyOnAChangeAndBadValuesNothing)
{
    TestForm f(QStringLiteral("frmOptions"));
    f.load();
    auto* txt = f.add<TextBox>(QStringLiteral("txtNumberOfLevels"));
    auto* lbl = f.add<Label>(QStringLiteral("lblLevels"));
    auto* chk = f.add<CheckBox>(QStringLiteral("chkFailSafe"));
    ControlArray<OptionButton> opt;
    f.addTo(opt, QStringLiteral("optDateFormat"), 0);
    f.addTo(opt, QStringLiteral("optDateFormat"), 1);
    auto* cbo = f.add<ComboBox>(QStringLiteral("cboDrive"));
    auto* img = f.add<Image>(QStringLiteral("imgLogo"));
    auto* tmr = f.add<Timer>(QStringLiteral("tmrClock"));
    auto* bar = f.add<ProgressBar>(QStringLiteral("prgProgress"));
    auto* upd = f.add<UpDown>(QStringLiteral("updNumberOfLevels"));
    auto* rsz = f.add<FormResizer>(QStringLiteral("freeSizer1"));
    auto* mnu = f.add<Menu>(QStringLiteral("mnuView"));
    auto* lst = f.add<ListBox>(QStringLiteral("lstFolders"));
    check(f, {
        {"list selection mode", [&] { lst->setMultiSelect(ListBox::Simple); }, {p(Prop::MultiSelect)}},
        {"list sorted", [&] { lst->setSorted(true); }, {p(Prop::Sorted)}},
        {"max length", [&] { txt->setMaxLength(4); }, {p(Prop::MaxLength)}},
        {"text cut to the max length", [&] { txt->setText(QStringLiteral("123456")); }, {p(Prop::Text)}},
        {"selection start", [&] { txt->setSelStart(1); }, {p(Prop::Selection)}},
        {"selection length", [&] { txt->setSelLength(9); }, {p(Prop::Selection)}},
        {"locked", [&] { txt->setLocked(true); }, {p(Prop::Locked)}},
        {"multi-line", [&] { txt->setMultiLine(true); }, {p(Prop::MultiLine)}},
        {"text alignment", [&] { txt->setAlignment(2); }, {p(Prop::Alignment)}},
        {"check caption", [&] { chk->setCaption(QStringLiteral("Fail-safe")); }, {p(Prop::Caption)}},
        {"check value", [&] { chk->setValue(2); }, {p(Prop::Value)}},
        {"option caption", [&] { opt[1]->setCaption(QStringLiteral("Long")); }, {p(Prop::Caption)}},
        {"first option", [&] { opt[0]->setValue(true); }, {p(Prop::Value)}},
        {"second option clears the first", [&] { opt[1]->setValue(true); }, {p(Prop::Value), p(Prop::Value)}},
        {"combo item", [&] { if (cbo->listCount() == 0) cbo->addItem(QStringLiteral("C:")); }, {p(Prop::ItemInserted, 0)}},
        {"combo item first", [&] { if (cbo->listCount() == 1) cbo->addItem(QStringLiteral("A:"), 0); }, {p(Prop::ItemInserted, 0)}},
        {"combo current", [&] { cbo->setListIndex(1); }, {p(Prop::ListIndex)}},
        {"image picture", [&] { img->setPicture(Picture{QStringLiteral(":/logo.png")}); }, {p(Prop::Picture)}},
        {"image stretch", [&] { img->setStretch(true); }, {p(Prop::Geometry)}},
        {"timer interval", [&] { tmr->setInterval(500); }, {p(Prop::Interval)}},
        {"bar max", [&] { bar->setMax(50); }, {p(Prop::Max)}},
        {"bar min", [&] { bar->setMin(10); }, {p(Prop::Min)}},
        {"bar value", [&] { bar->setValue(20); }, {p(Prop::Value)}},
        {"up-down min", [&] { upd->setMin(1); }, {p(Prop::Min)}},
        {"up-down max", [&] { upd->setMax(9); }, {p(Prop::Max)}},
        {"up-down increment", [&] { upd->setIncrement(2); }, {p(Prop::Increment)}},
        {"up-down value", [&] { upd->setValue(5); }, {p(Prop::Value)}},
        {"resize fonts", [&] { rsz->setResizeFonts(true); }, {p(Prop::ResizeFonts)}},
        {"menu caption", [&] { mnu->setCaption(QStringLiteral("&View")); }, {p(Prop::Caption)}},
        {"menu checked", [&] { mnu->setChecked(true); }, {p(Prop::Checked)}},
        {"menu shortcut", [&] { mnu->setShortcut(QStringLiteral("F5")); }, {p(Prop::Shortcut)}},
    });
    EXPECT_EQ(txt->text(), QStringLiteral("1234"));
    EXPECT_EQ(txt->selStart() * 10 + txt->selLength(), 13);
    EXPECT_EQ(cbo->list(0) + cbo->list(1) + cbo->text(), QStringLiteral("A:C:C:"));
    EXPECT_EQ(opt[0]->value() * 10 + opt[1]->value(), 1);

    Recorder rec;
    f.setObserver(&rec);
    using uitest::expectUiError;
    expectUiError([&] { upd->setIncrement(0); }, 380);
    expectUiError([&] { upd->setValue(10); }, 380);
    expectUiError([&] { upd->setValue(0); }, 380);
    expectUiError([&] { upd->setBuddy(lbl, UpDown::BuddyProperty::Text); }, 380);
    expectUiError([&] { upd->setBuddy(txt, UpDown::BuddyProperty::Caption); }, 380);
    expectUiError([&] { bar->setMin(50); }, 380);
    expectUiError([&] { bar->setMax(10); }, 380);
    expectUiError([&] { bar->setValue(51); }, 380);
    expectUiError([&] { bar->setValue(9); }, 380);
    expectUiError([&] { chk->setValue(3); }, 380);
    expectUiError([&] { chk->setValue(-1); }, 380);
    expectUiError([&] { txt->setMaxLength(-1); }, 380);
    expectUiError([&] { tmr->setInterval(65536); }, 380);
    expectUiError([&] { cbo->setListIndex(2); }, 380);
    expectUiError([&] { cbo->setItemData(2, 1); }, 381);
    expectUiError([&] { cbo->removeItem(-1); }, 381);
    EXPECT_EQ(rec.changes.size(), 0);
    EXPECT_EQ(upd->increment() * 100 + upd->value(), 205);
    EXPECT_EQ(bar->min() + bar->max() + bar->value(), 80);
    // The bounds themselves are taken.
    upd->setValue(9);
    upd->setValue(1);
    bar->setValue(50);
    bar->setValue(10);
    tmr->setInterval(65535);
    chk->setValue(0);
    EXPECT_EQ(rec.changes.size(), 6);
    // A buddy of the right kind shows the value as its text or caption.
    upd->setBuddy(lbl, UpDown::BuddyProperty::Caption);
    upd->setValue(3);
    upd->setBuddy(txt, UpDown::BuddyProperty::Text);
    upd->setValue(4);
    EXPECT_EQ(lbl->caption() + u'/' + txt->text(), QStringLiteral("3/4"));
    // Combo items leave and go, the current one following its item.
    cbo->removeItem(0);
    EXPECT_EQ(cbo->listIndex(), 0);
    cbo->setItemData(0, 7);
    EXPECT_EQ(cbo->itemData(0), 7);
    cbo->removeItem(0);
    EXPECT_EQ(cbo->listIndex(), -1);
    cbo->addItem(QStringLiteral("D:"));
    cbo->clear();
    EXPECT_EQ(cbo->listCount(), 0);
    f.setObserver(nullptr);
}

// Whole runs of items added or removed at once leave a list exactly as item
// by item would, watched by a backend or not, and a watched list tells each
// item that came or went.
TEST_F(UiTest, BulkListWritesLeaveTheSameListWatchedOrNot)
{
    TestForm watched(QStringLiteral("frmWatched")), quiet(QStringLiteral("frmQuiet"));
    Recorder rec;
    QStringList states;
    for (TestForm* f : {&watched, &quiet}) {
        f->load();
        if (f == &watched) f->setObserver(&rec);
        for (const int mode : {ListBox::None, ListBox::Simple}) {
            auto* l = f->add<ListBox>(QStringLiteral("lstItems%1").arg(mode));
            l->setMultiSelect(mode);
            l->appendItems(std::span<const QString>());
            l->appendItems(std::vector<QString>{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
            l->appendItems(std::vector<QString>{QStringLiteral("d"), QStringLiteral("e")}, std::vector<int>{5});
            l->appendItems(QStringLiteral("x"), 3);
            l->appendItems(QStringLiteral("y"), 0);
            l->setListIndex(4);
            l->setSelected(3, true);
            l->setSelected(5, true);
            l->setTopIndex(5);   // the count the list is left with
            l->removeItems({true, false, true, false, false, true});   // a, c and the first x
            l->removeItems({false, false, false, false, false, false, false, false, true});   // past the end: nothing
            l->setList(1, QStringLiteral("D"));
            l->setList(1, QStringLiteral("D"));
            l->setTopIndex(1);
            l->removeItems({false, false, false, false, true});   // the last x: the top stays
            QString state;
            for (int k = 0; k < l->listCount(); ++k) state += l->list(k) + QString::number(l->itemData(k));
            for (int k : l->selectedIndexes()) state += u' ' + QString::number(k);
            state += QStringLiteral(" / %1 %2 %3 %4").arg(l->listIndex()).arg(l->topIndex()).arg(l->selCount()).arg(l->newIndex());
            states << state;
        }
        f->setObserver(nullptr);
    }
    EXPECT_EQ(states[0], QStringLiteral("b0D5e0x0 / -1 1 0 7")) << "the current item was the x that went";
    EXPECT_EQ(states[1], QStringLiteral("b0D5e0x0 1 / 2 1 1 7")) << "d stays selected, the x went";
    EXPECT_EQ(states[2], states[0]);
    auto* one = quiet.add<ListBox>(QStringLiteral("lstOne"));   // the first item current: chosen too
    one->addItem(QStringLiteral("a"));
    EXPECT_EQ(one->selectedIndexes().size() + one->selCount(), 0);
    one->setListIndex(0);
    EXPECT_EQ(one->selectedIndexes(), QList<int>{0});
    EXPECT_EQ(one->selCount(), 1);
    EXPECT_EQ(states[3], states[1]);
    QList<std::tuple<Prop, int, int>> told;
    for (int k = 0; k < 8; ++k) {
        told << p(Prop::ItemInserted, k);
        if (k == 3) told << p(Prop::ItemData, 3);
    }
    told << p(Prop::ListIndex) << p(Prop::ListIndex) << p(Prop::ListIndex) << p(Prop::TopIndex) << p(Prop::ItemRemoved, 5)
         << p(Prop::ItemRemoved, 2) << p(Prop::ItemRemoved, 0) << p(Prop::ItemText, 1) << p(Prop::TopIndex)
         << p(Prop::ItemRemoved, 4);
    const QList<std::tuple<Prop, int, int>> single = rec.changes.mid(0, told.size());
    EXPECT_EQ(single, told);
}
