#include "ui/DisplayText.h"

namespace ui {

QString displayText(const QString& text)
{
    constexpr char16_t kBase = 0xF000;
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (c >= kBase && c < kBase + 0x80) {
            if (out.isNull()) out = text;   // copies only names that hold one
            out[i] = QChar(char16_t(c - kBase));
        }
    }
    return out.isNull() ? text : out;
}

} // namespace ui
