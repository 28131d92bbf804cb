#pragma once
// Helpers of the tests that open real windows on the offscreen Qt platform:
// a Qt desktop installed for one test, the picture of a window saved in the
// build folder for a look, every control inside its window, a click on a
// tree item.

#include "ui/Form.h"
#include "ui/qt/FormWindow.h"
#include "ui/qt/QtDesktop.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QImage>
#include <QMessageBox>
#include <QMouseEvent>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace testing_support {

// The Qt desktop for one test; the headless one (or none) is put back by the caller.
struct QtDesk : ui::qt::QtDesktop {
    explicit QtDesk(bool greekButtons = false)
    {
        install();
        setQuitOnEnd(false);
        setGreekButtons(greekButtons);
    }
    // Answers every message box with its first button; counts them in `boxes`.
    void answerBoxesWithFirstButton(int* boxes = nullptr)
    {
        setDialogHook([boxes](QWidget* w) {
            if (auto* box = qobject_cast<QMessageBox*>(w)) {
                if (boxes) ++*boxes;
                QTimer::singleShot(0, box, [box] { box->buttons().first()->click(); });
            }
        });
    }
};

// Saves the picture in the build folder (beside bin/).
inline void saveShot(const QImage& shot, const QString& fileName)
{
    const QString out = QDir(QCoreApplication::applicationDirPath()).absoluteFilePath(QStringLiteral("../") + fileName);
    EXPECT_TRUE(shot.save(out)) << out.toStdString();
}

// The picture of the form's window after the pending events, with every
// visible control inside the window.
inline QImage grabForm(ui::qt::QtDesktop& desk, ui::Form& form)
{
    for (int k = 0; k < 5; ++k) QApplication::processEvents();
    ui::qt::FormWindow* w = desk.window(form);
    EXPECT_NE(w, nullptr) << form.name().toStdString();
    if (!w) return {};
    for (ui::Control* ctl : form.controls()) {
        QWidget* cw = w->widgetFor(ctl);
        if (cw && cw->isVisible()) {
            EXPECT_TRUE(w->rect().contains(QRect(cw->mapTo(w, QPoint(0, 0)), cw->size()))) << ctl->name().toStdString();
        }
    }
    return w->grab().toImage();
}

// A left click (press and release) in the middle of the item.
inline void clickTreeItem(QTreeWidget* view, QTreeWidgetItem* item)
{
    const QPointF at = view->visualItemRect(item).center();
    for (QEvent::Type t : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent e(t, at, view->viewport()->mapToGlobal(at), Qt::LeftButton,
                      t == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(view->viewport(), &e);
    }
}

} // namespace testing_support
