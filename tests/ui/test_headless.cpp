#include "TestSupport.h"

using namespace ui;
using uitest::TestForm;
using uitest::UiTest;

TEST_F(UiTest, TimersTickOnlyInsideDesktopCallsAndTriggersRunAtTheirYieldNotInsideThemselves)
{
    Timer* clock = nullptr;
    TestForm form(QStringLiteral("frmCompare"), [&](TestForm& f) {
        clock = f.add<Timer>(QStringLiteral("Timer1"));
        clock->Tick = [&] { clock->setTag(QString::number(clock->tag().toInt() + 1)); };
    });
    form.load();
    EXPECT_FALSE(desk.timerRunning(*clock)) << "interval 0 at design";
    clock->setInterval(1000);
    EXPECT_TRUE(desk.timerRunning(*clock));
    desk.advance(999);
    EXPECT_EQ(clock->tag(), QString());
    desk.advance(1);
    EXPECT_EQ(clock->tag(), QStringLiteral("1"));
    desk.advance(5000);
    EXPECT_EQ(clock->tag(), QStringLiteral("2")) << "five periods in one jump tick once";
    desk.advanceStepwise(3000);
    EXPECT_EQ(clock->tag(), QStringLiteral("5"));
    clock->setEnabled(false);
    desk.advance(10000);
    EXPECT_EQ(clock->tag(), QStringLiteral("5"));
    clock->setEnabled(true);
    desk.doEvents();
    EXPECT_EQ(clock->tag(), QStringLiteral("5")) << "a yield moves no time";
    form.unload();
    EXPECT_FALSE(desk.timerRunning(*clock));

    // Triggers run at the chosen yield and not inside themselves.
    desk.resetYieldCount();
    int runs = 0, nested = 0;
    bool cancel = false;
    desk.onYield([&] { return desk.yieldCount() >= 3; },
                 [&] {
                     ++runs;
                     desktop().doEvents();   // a yield inside the trigger's own work
                     ++nested;
                 },
                 true);
    desk.onYieldNumber(5, [&] { cancel = true; });
    int items = 0;
    while (!cancel && items < 100) {
        ++items;
        desktop().doEvents();
    }
    EXPECT_EQ(items, 4) << "the nested yields count too";
    EXPECT_EQ(runs, 2);
    EXPECT_EQ(nested, 2);
}
