#pragma once
// Every shared-routine test starts from fresh program-wide state, a desktop
// double, yields that always reach the desktop, and pinned regional formats.

#include "desktop_double.h"
#include "shared/Messages.h"
#include "shared/RegionalFormats.h"
#include "shared/basGlobal.h"

#include <QLocale>

#include <gtest/gtest.h>

class SharedTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        basGlobal::resetGlobals();
        ui::setDesktop(&desk);
        basGlobal::SetDoEventsInterval(0);
        shared::setRegionalFormats(shared::RegionalFormats(QLocale(QLocale::English, QLocale::UnitedKingdom),
                                                           QStringLiteral("dddd, d MMMM yyyy"),
                                                           QStringLiteral("dd/MM/yyyy"),
                                                           QStringLiteral("HH:mm:ss"), u'.'));
    }
    void TearDown() override
    {
        EXPECT_TRUE(desk.answers.empty()) << "scripted answers left over";
        ui::setDesktop(nullptr);
        shared::resetRegionalFormats();
        basGlobal::SetDoEventsInterval(basGlobal::kDoEventsIntervalMs);
    }
    basGlobal::Globals& g() { return basGlobal::globals(); }

    testing_support::DesktopDouble desk;
};
