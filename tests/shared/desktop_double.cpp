#include "desktop_double.h"

#include <gtest/gtest.h>

namespace testing_support {

int DesktopDouble::messageBox(ui::Form* owner, const QString& title, const QString& text, int style)
{
    shown.push_back({owner, title, text, style});
    if (answers.empty()) {
        ADD_FAILURE() << "unexpected message box: " << title.toStdString();
        return ui::vbCancel;
    }
    const int a = answers.front();
    answers.pop_front();
    return a;
}

void DesktopDouble::doEvents()
{
    ++yields;
    if (onYield)
        onYield();
}

} // namespace testing_support

// The window model's installed-desktop seam. These three definitions stand in
// for the window model's own until it is merged; then this block goes.
namespace ui {
namespace {
Desktop* g_desktop = nullptr;
}
Desktop& desktop()
{
    return *g_desktop;
}
void setDesktop(Desktop* d)
{
    g_desktop = d;
}
void endProgram()
{
    throw ProgramEnd{};
}
} // namespace ui
