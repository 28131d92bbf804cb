#include "ui/Desktop.h"

#include "ui/Form.h"

namespace ui {

namespace detail {
int dispatchDepth = 0;
}

namespace {
Desktop* installed = nullptr;
bool ended = false;
QString currentHelpFile;
int tpp = 15;
} // namespace

Desktop& desktop()
{
    Q_ASSERT_X(installed, "ui::desktop", "no desktop installed");
    return *installed;
}

Desktop* installedDesktop() { return installed; }

void setDesktop(Desktop* d)
{
    installed = d;
    ended = false;
}

void endProgram()
{
    ended = true;
    if (installed) installed->programEnding();
    throw ProgramEnd{};
}

bool programHasEnded() { return ended; }

int msgBox(Form* owner, const QString& title, const QString& text, int style)
{
    return desktop().messageBox(owner, title, text, style);
}

const QString& helpFile() { return currentHelpFile; }
void setHelpFile(const QString& file) { currentHelpFile = file; }

int twipsPerPixel() { return tpp; }
void setTwipsPerPixel(int t) { tpp = t > 0 ? t : 15; }

QList<int> msgBoxButtons(int style)
{
    switch (style & 7) {
    case 1: return {vbOK, vbCancel};
    case 2: return {vbAbort, vbRetry, vbIgnore};
    case 3: return {vbYes, vbNo, vbCancel};
    case 4: return {vbYes, vbNo};
    case 5: return {vbRetry, vbCancel};
    default: return {vbOK};
    }
}

int msgBoxDefaultButton(int style)
{
    const QList<int> buttons = msgBoxButtons(style);
    const int which = (style & 0x300) >> 8;
    return buttons.value(which, buttons.first());
}

int msgBoxEscapeButton(int style)
{
    const QList<int> buttons = msgBoxButtons(style);
    if (buttons.contains(vbCancel)) return vbCancel;
    if (buttons.size() == 1) return vbOK;
    return 0;
}

} // namespace ui
