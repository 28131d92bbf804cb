#include "TestSupport.h"

#include <initializer_list>
#include <utility>

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

// An interval is 0 (stopped) to 65535 ms; a value outside is error 380 and
// leaves the timer as it was.
TEST_F(UiTest, ATimersIntervalRunsFromZeroTo65535AndABadOneChangesNothing)
{
    TestForm form(QStringLiteral("frmCompare"));
    form.load();
    Timer* clock = form.add<Timer>(QStringLiteral("Timer2"));
    int ticks = 0;
    clock->Tick = [&] { ++ticks; };
    clock->setInterval(65535);
    EXPECT_TRUE(desk.timerRunning(*clock));
    for (int bad : {65536, -1, 100000}) {
        uitest::expectUiError([&] { clock->setInterval(bad); }, 380, QStringLiteral("Invalid property value"));
        EXPECT_EQ(clock->interval(), 65535) << bad;
        EXPECT_TRUE(desk.timerRunning(*clock)) << bad;
    }
    desk.advance(65535);
    EXPECT_EQ(ticks, 1);
    clock->setInterval(0);
    EXPECT_FALSE(desk.timerRunning(*clock));
    desk.advance(70000);
    EXPECT_EQ(ticks, 1);
}

// The screen's scale: any whole number of twips a pixel (a screen of 1440
// dots an inch has 1), and the usual 15 for a scale that is none.
TEST_F(UiTest, TwipsPerPixelTakesAnyPositiveScaleAndFallsBackTo15)
{
    const int before = twipsPerPixel();
    for (auto [set, want] : std::initializer_list<std::pair<int, int>>{{1, 1}, {12, 12}, {20, 20}, {0, 15}, {-3, 15}}) {
        setTwipsPerPixel(set);
        EXPECT_EQ(twipsPerPixel(), want) << set;
    }
    setTwipsPerPixel(before);
}

// The buttons of each message box style (the low three bits), the one Enter
// takes (the default-button bits, the first when there is no such button)
// and the one Esc takes (Cancel, else OK alone, else none).
TEST(MsgBoxStyle, ButtonsDefaultAndEscapeOfEveryStyle)
{
    using namespace ui;
    const struct {
        int style;
        QList<int> buttons;
        int escape;
    } styles[] = {
        {0, {vbOK}, vbOK},
        {1, {vbOK, vbCancel}, vbCancel},
        {2, {vbAbort, vbRetry, vbIgnore}, 0},
        {3, {vbYes, vbNo, vbCancel}, vbCancel},
        {4, {vbYes, vbNo}, 0},
        {5, {vbRetry, vbCancel}, vbCancel},
        {6, {vbOK}, vbOK},
        {7 + 48, {vbOK}, vbOK},   // the icon bits do not count
        {3 + 16, {vbYes, vbNo, vbCancel}, vbCancel},
    };
    for (const auto& s : styles) {
        EXPECT_EQ(msgBoxButtons(s.style), s.buttons) << s.style;
        EXPECT_EQ(msgBoxEscapeButton(s.style), s.escape) << s.style;
        for (int which = 0; which < 4; ++which)
            EXPECT_EQ(msgBoxDefaultButton(s.style + which * 0x100), s.buttons.value(which, s.buttons.first()))
                << s.style << " default " << which;
    }
}

// The named styles the program uses: their buttons, the one Enter takes and
// their icon (16 stop, 32 question, 48 exclamation, 64 information); the
// answers are those of the original's boxes, 1 to 7.
TEST(MsgBoxStyle, TheNamedStylesShowTheirButtonsDefaultAndIcon)
{
    using namespace ui;
    const struct {
        int style;
        QList<int> buttons;
        int enter, icon;
    } named[] = {
        {vbCriticalOK, {vbOK}, vbOK, 16},
        {vbQuestionYesNo, {vbYes, vbNo}, vbYes, 32},
        {vbExclamationOK, {vbOK}, vbOK, 48},
        {vbInformationOK, {vbOK}, vbOK, 64},
        {vbQuestionYesNoDefNo, {vbYes, vbNo}, vbNo, 32},
        {vbInformationRetryCancelDefCancel, {vbRetry, vbCancel}, vbCancel, 64},
    };
    for (const auto& n : named) {
        EXPECT_EQ(msgBoxButtons(n.style), n.buttons) << n.style;
        EXPECT_EQ(msgBoxDefaultButton(n.style), n.enter) << n.style;
        EXPECT_EQ(n.style & 0x70, n.icon) << n.style;
    }
    EXPECT_EQ(QList<int>({vbOK, vbCancel, vbAbort, vbRetry, vbIgnore, vbYes, vbNo}), QList<int>({1, 2, 3, 4, 5, 6, 7}));
}
