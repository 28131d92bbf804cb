#pragma once
// The main window's headless tests: fresh program-wide state, the headless
// desktop, drive C: a temporary folder that holds the INI file.
#include "mainwindow/frmMain.h"
#include "shared/IniAccess.h"
#include "shared/Messages.h"
#include "shared/qstring_print.h"
#include "support/TempDrive.h"
#include "ui/HeadlessDesktop.h"
#include "ui/Input.h"

#include <QFile>
#include <gtest/gtest.h>

template <class Window>
class MainWindowFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        basGlobal::resetGlobals();
        desk.install();
        basGlobal::SetDoEventsInterval(0);
        basGlobal::SetIniPathMapper([](const QString& f) { return platform::toNative(f).value_or(QString()); });
    }
    void TearDown() override
    {
        try {
            main.unload();
        } catch (const ui::ProgramEnd&) {
            // closing the main window ends the program
        }
        EXPECT_EQ(desk.pendingMsgBoxes(), 0);
        EXPECT_EQ(desk.pendingModalScripts(), 0);
        basGlobal::SetIniPathMapper({});
        ui::setDesktop(nullptr);
    }
    basGlobal::Globals& g() { return basGlobal::globals(); }
    static QStringList items(const ui::ListBox& list) { return testing_support::listItems(list); }

    testing_support::TempDrive drive;
    ui::HeadlessDesktop desk;
    Window main;
};
