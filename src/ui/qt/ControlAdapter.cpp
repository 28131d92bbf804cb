#include "ui/qt/ControlAdapter.h"

#include "ui/qt/FormWindow.h"

#include <QAbstractItemView>
#include <QKeyEvent>
#include <QStyledItemDelegate>

#include <algorithm>

namespace ui::qt {

QString literal(const QString& caption)
{
    QString s = caption;
    s.replace(QLatin1Char('&'), QLatin1String("&&"));
    return s;
}

int accentRoom(const QFontMetrics& fm)
{
    return std::max(0, -fm.tightBoundingRect(QStringLiteral("ÄÅÉÖÜΆΈΉΊΌΎΏ")).top() - fm.ascent());
}

QPixmap pictureOf(const Picture& p) { return p.isNull() ? QPixmap() : QPixmap(p.resource); }

namespace {

class AccentRoomDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QSize s = QStyledItemDelegate::sizeHint(option, index);
        // The text is centred in its row: the room above the ascent is
        // needed below too.
        const QFontMetrics fm(option.font);
        const int over = accentRoom(fm);
        if (over > 0) s.rheight() = std::max(s.height(), fm.height() + 2 * over + 1);
        return s;
    }
};

} // namespace

void fitRowsToAccents(QAbstractItemView* view) { view->setItemDelegate(new AccentRoomDelegate(view)); }

bool ControlAdapter::alive() const { return window_.isAttached(); }
int& ControlAdapter::applying() const { return window_.applyingCounter(); }

std::optional<bool> ControlAdapter::navigationKey(const QKeyEvent* e)
{
    const int k = e->key();
    if (k == Qt::Key_Up || k == Qt::Key_Down || k == Qt::Key_Left || k == Qt::Key_Right || k == Qt::Key_PageUp
        || k == Qt::Key_PageDown || k == Qt::Key_Home || k == Qt::Key_End) {
        window_.setKeyNavigation(true);
        return false;
    }
    return std::nullopt;
}

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
