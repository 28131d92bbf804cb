// The menu bar and pop-up menus of a form window. A menu item carries a
// check mark only while the program checks it: Qt never toggles one on its
// own, and after every choice the item shows what the model holds.
#include "ui/Input.h"
#include "ui/qt/ControlAdapter.h"
#include "ui/qt/FormWindow.h"
#include "ui/qt/QtDesktop.h"

#include <QMenu>
#include <QMenuBar>
#include <QTimer>

#include <functional>

namespace ui::qt {

namespace {

// "^P" -> "Ctrl+P", "F5" -> "F5": the text of an item's shortcut column.
QString shortcutText(const QString& shortcut)
{
    if (shortcut.startsWith(QLatin1Char('^'))) return QStringLiteral("Ctrl+") + shortcut.mid(1);
    if (shortcut.startsWith(QLatin1Char('+'))) return QStringLiteral("Shift+") + shortcut.mid(1);
    if (shortcut.startsWith(QLatin1Char('%'))) return QStringLiteral("Alt+") + shortcut.mid(1);
    return shortcut;
}

// The caption, with the shortcut in the shortcut column unless the caption
// already names one after a tab.
QString itemText(const Menu& item)
{
    QString text = literal(item.caption());
    if (!item.shortcut().isEmpty() && !text.contains(QLatin1Char('\t'))) text += QLatin1Char('\t') + shortcutText(item.shortcut());
    return text;
}

void showItem(const Menu& item, QAction* a)
{
    a->setVisible(item.visible());
    if (item.isSeparator()) return;   // a separator has no text, whatever its caption
    a->setText(itemText(item));
    a->setEnabled(item.enabled());
    if (a->menu()) return;
    a->setCheckable(item.checked());
    a->setChecked(item.checked());
}

} // namespace

void FormWindow::syncMenuItem(Menu* m, QAction* a) { showItem(*m, a); }

void FormWindow::fillMenu(QMenu* qmenu, Menu& menu)
{
    for (Menu* item : menu.items()) {
        QAction* a = nullptr;
        if (item->isSeparator()) {
            a = qmenu->addSeparator();
        } else if (!item->items().empty()) {
            QMenu* sub = qmenu->addMenu(QString());
            a = sub->menuAction();
            fillMenu(sub, *item);
        } else {
            a = qmenu->addAction(QString());
            a->setData(QVariant::fromValue<quintptr>(quintptr(item)));
            connect(a, &QAction::triggered, this, [this, item] {
                if (!alive_) return;
                // The bar's menu already raised its opening Click when it showed.
                QtDesktop::guarded([item] { Input::chooseOpened(*item); });
                if (!alive_) return;
                if (QAction* now = menuActions_.value(item)) showItem(*item, now);
            });
        }
        showItem(*item, a);
        menuActions_.insert(item, a);
    }
}

void FormWindow::rebuildMenus()
{
    menusDirty_ = false;
    if (!alive_ || !menuBar_) return;
    menuBar_->clear();
    menuActions_.clear();
    for (Control* c : form_.controls()) {
        if (c->kind() != ControlKind::Menu) continue;
        auto* top = static_cast<Menu*>(c);
        if (top->parentMenu()) continue;
        QMenu* q = menuBar_->addMenu(literal(top->caption()));
        q->menuAction()->setVisible(top->visible());
        q->menuAction()->setEnabled(top->enabled());
        menuActions_.insert(top, q->menuAction());
        connect(q, &QMenu::aboutToShow, this, [this, top] {
            if (alive_) QtDesktop::guarded([top] { Input::openMenu(*top); });
        });
        fillMenu(q, *top);
    }
}

QMenu* FormWindow::buildPopup(Menu& menu, QWidget* parent)
{
    auto* q = new QMenu(parent);
    std::function<void(QMenu*, Menu&)> fill = [&fill](QMenu* qm, Menu& m) {
        for (Menu* item : m.items()) {
            if (!item->visible()) continue;
            if (item->isSeparator()) {
                qm->addSeparator();
                continue;
            }
            if (!item->items().empty()) {
                QMenu* sub = qm->addMenu(literal(item->caption()));
                sub->setEnabled(item->enabled());
                fill(sub, *item);
                continue;
            }
            QAction* a = qm->addAction(QString());
            showItem(*item, a);
            a->setData(QVariant::fromValue<quintptr>(quintptr(item)));
        }
    };
    fill(q, menu);
    return q;
}

} // namespace ui::qt
