#include "setup/StructureTint.h"

#include "ui/Form.h"

namespace setup {

ui::Color StructureTint(int i)
{
    // Found by name: the set-up windows sit below the main window and do not
    // know its type.
    static constexpr ui::Color kDesigned[2] = {0xC0E0FF, 0xFFFFC0};
    for (ui::Form* f : ui::loadedForms()) {
        if (f->name() != QLatin1String("frmMain"))
            continue;
        if (const ui::Control* list = f->control(QStringLiteral("lstFirstLevelFolders"), i))
            return list->backColor();
    }
    return kDesigned[i];
}

} // namespace setup
