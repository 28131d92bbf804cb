#include "ui/qt/ControlAdapter.h"

#include "ui/qt/FormWindow.h"

namespace ui::qt {

QString literal(const QString& caption)
{
    QString s = caption;
    s.replace(QLatin1Char('&'), QLatin1String("&&"));
    return s;
}

QPixmap pictureOf(const Picture& p) { return p.isNull() ? QPixmap() : QPixmap(p.resource); }

bool ControlAdapter::alive() const { return window_.isAttached(); }
int& ControlAdapter::applying() const { return window_.applyingCounter(); }

void ControlAdapter::sync()
{
    Applying a(applying());
    syncValue();
}

std::unique_ptr<ControlAdapter> makeAdapter(FormWindow& window, Control& control)
{
    switch (control.kind()) {
    case ControlKind::Timer:
    case ControlKind::Menu:
    case ControlKind::CommonDialog:
    case ControlKind::FormResizer:
    case ControlKind::InternetTransfer:
        return nullptr;
    case ControlKind::TextBox:
    case ControlKind::ComboBox:
        return makeTextAdapter(window, control);
    case ControlKind::ListBox:
        return makeListAdapter(window, control);
    case ControlKind::TreeView:
        return makeTreeAdapter(window, control);
    case ControlKind::FlexGrid:
        return makeGridAdapter(window, control);
    default:
        return makeSimpleAdapter(window, control);
    }
}

} // namespace ui::qt
