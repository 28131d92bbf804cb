#pragma once
// Every shared-routine test starts from fresh program-wide state, the
// headless desktop, yields that always reach the desktop, and pinned
// regional formats.

#include "shared/Messages.h"
#include "shared/RegionalFormats.h"
#include "shared/basGlobal.h"
#include "shared/frmHiddenForm.h"
#include "shared/qstring_print.h"
#include "ui/HeadlessDesktop.h"

#include <QLocale>

#include <gtest/gtest.h>

class SharedTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        basGlobal::resetGlobals();
        desk.install();
        basGlobal::SetDoEventsInterval(0);
        shared::setRegionalFormats(shared::RegionalFormats(QLocale(QLocale::English, QLocale::UnitedKingdom),
                                                           QStringLiteral("dddd, d MMMM yyyy"),
                                                           QStringLiteral("dd/MM/yyyy"),
                                                           QStringLiteral("HH:mm:ss"), u'.'));
    }
    void TearDown() override
    {
        EXPECT_EQ(desk.pendingMsgBoxes(), 0) << "expected message boxes never shown";
        if (!failuresExpected) {
            EXPECT_TRUE(desk.failures().isEmpty()) << desk.failures().join('\n').toStdString();
        }
        ui::setDesktop(nullptr);
        shared::resetRegionalFormats();
        basGlobal::SetDoEventsInterval(0);
    }
    basGlobal::Globals& g() { return basGlobal::globals(); }

    ui::HeadlessDesktop desk;
    bool failuresExpected = false;
};

// Tests of the routines that fill the working lists: each list taken is
// empty and enabled, and the lists go with the window after the test.
class HiddenListsTest : public SharedTest {
protected:
    void TearDown() override
    {
        basGlobal::HiddenForm().unload();
        SharedTest::TearDown();
    }
    static ui::ListBox* fresh(ui::ListBox* l)
    {
        l->clear();
        l->setEnabled(true);
        return l;
    }
};
