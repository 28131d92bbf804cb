#pragma once
// A form built by a lambda and a fixture with the Qt desktop installed, for
// the tests of the Qt backend (offscreen).

#include "ui/TestSupport.h"
#include "ui/qt/FormWindow.h"
#include "ui/qt/QtDesktop.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>

namespace qttest {

using namespace ui;
using ui::qt::FormWindow;
using ui::qt::QtDesktop;
using BuiltForm = uitest::TestForm;

class QtDesktopTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        desk.install();
        desk.setQuitOnEnd(false);
    }
    void TearDown() override
    {
        // Nothing may be left waiting: a leftover modal level would hang.
        EXPECT_EQ(desk.modalDepth(), 0);
    }
    // Runs `step` from the event loop once the current turn is over.
    static void later(int ms, std::function<void()> step) { QTimer::singleShot(ms, qApp, std::move(step)); }
    static void sendKey(QWidget* w, int key)
    {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(w, &press);
    }
    static void rightClick(QWidget* w)
    {
        const QPointF at(3, 3);
        QMouseEvent release(QEvent::MouseButtonRelease, at, w->mapToGlobal(at), Qt::RightButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(w, &release);
    }
    static QWidget* focusTarget(FormWindow* w)
    {
        QWidget* f = w->widgetFor(w->form().activeControl());
        return f ? f : w;
    }
    QtDesktop desk;
};

} // namespace qttest
