// Which control a window opens with, and so which button Enter presses.
#include "TestSupport.h"

using namespace ui;
using uitest::TestForm;
using uitest::UiTest;

TEST_F(UiTest, ControlsWithATabIndexComeFirstThenTheRestInTheOrderTheyWereMade)
{
    QStringList pressed;
    CommandButton* buttons[3] = {};
    const int explicitFirst[] = {-1, 2, 0};   // which button gets tab index 0 (-1: none)
    for (const int first : explicitFirst) {
        pressed.clear();
        TestForm f(QStringLiteral("frmTabs"), [&](TestForm& form) {
            for (int i = 0; i < 3; ++i) {
                buttons[i] = form.add<CommandButton>(QStringLiteral("cmd%1").arg(i));
                buttons[i]->Click = [&pressed, i] { pressed << QString::number(i); };
            }
            if (first >= 0)
                buttons[first]->setTabIndex(0);
        });
        f.show(Modeless);
        Input::key(f, vbKeyReturn);   // the focused button takes Enter
        EXPECT_EQ(pressed, QStringList{QString::number(first < 0 ? 0 : first)}) << first;
        f.unload();
    }
}
