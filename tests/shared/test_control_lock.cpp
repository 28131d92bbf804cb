// The lock of a window's controls during a run: each control gets its own
// state back, whatever it was, and a second lock or a rebuilt window cannot
// make the lock forget or misplace a state.
#include "shared/ControlLock.h"

#include "shared_fixture.h"
#include "ui/Control.h"
#include "ui/Form.h"

namespace {

class LockedForm : public ui::Form {
public:
    LockedForm() : ui::Form(QStringLiteral("frmLocked")) {}
    ui::CommandButton* on = nullptr;
    ui::CommandButton* off = nullptr;
    ui::Frame* frame = nullptr;
    ui::OptionButton* inFrame = nullptr;
    ui::Label* label = nullptr;
    ui::Menu* menu = nullptr;

protected:
    void build() override
    {
        frame = add<ui::Frame>(QStringLiteral("fra"));
        on = add<ui::CommandButton>(QStringLiteral("cmdOn"));
        off = add<ui::CommandButton>(QStringLiteral("cmdOff"));
        off->setEnabled(false);
        inFrame = add<ui::OptionButton>(QStringLiteral("opt"), -1, frame);
        label = add<ui::Label>(QStringLiteral("lbl"));
        menu = addMenu(QStringLiteral("mnu"), QStringLiteral("Menu"));
    }
};

class ControlLock : public SharedTest {};

TEST_F(ControlLock, EachControlGetsItsOwnStateBack)
{
    LockedForm f;
    f.load();
    basGlobal::ControlLock lock;
    std::vector<QString> order;
    const auto notLabels = [&](const ui::Control& c) {
        order.push_back(c.name());
        return c.kind() != ui::ControlKind::Label;
    };
    lock.lock(f, notLabels);
    EXPECT_TRUE(lock.locked());
    EXPECT_FALSE(f.on->enabled());
    EXPECT_FALSE(f.frame->enabled());
    EXPECT_FALSE(f.inFrame->enabled());
    EXPECT_TRUE(f.label->enabled()) << "the window chooses what stays live";
    EXPECT_TRUE(f.menu->enabled()) << "menus are never locked";
    EXPECT_EQ(order.back(), QStringLiteral("fra")) << "frames after the controls they hold";

    lock.lock(f, notLabels);   // a second lock keeps the first one's states
    lock.keepDisabled(*f.inFrame);
    lock.unlock();
    EXPECT_FALSE(lock.locked());
    EXPECT_TRUE(f.on->enabled());
    EXPECT_FALSE(f.off->enabled()) << "disabled before, disabled after";
    EXPECT_TRUE(f.frame->enabled());
    EXPECT_FALSE(f.inFrame->enabled()) << "kept disabled";
    EXPECT_EQ(f.on->tag(), QString()) << "tags stay the window's own";

    f.inFrame->setEnabled(true);
    lock.unlock();   // not locked: nothing changes
    EXPECT_TRUE(f.inFrame->enabled());

    // A window rebuilt while locked: the old states are dropped, not applied.
    lock.lock(f, notLabels);
    f.unload();
    lock.forget();
    f.load();
    lock.lock(f, notLabels);
    EXPECT_FALSE(f.on->enabled()) << "a lock after forget() is a new lock";
    lock.unlock();
    EXPECT_TRUE(f.on->enabled());
    EXPECT_FALSE(f.off->enabled());
}

} // namespace
