#pragma once
// Every maintenance test: fresh program-wide state, the headless desktop,
// drive C: a temporary folder with the application folder C:\App in it, and
// a recording shell (trash, program starts, web pages).

#include "platform/Application.h"
#include "platform/ServiceOverride.h"
#include "platform/Shell.h"
#include "shared/IniAccess.h"
#include "shared/Messages.h"
#include "shared/basGlobal.h"
#include "shared/qstring_print.h"
#include "support/TempDrive.h"
#include "ui/HeadlessDesktop.h"

#include <gtest/gtest.h>

class MaintenanceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        basGlobal::resetGlobals();
        desk.install();
        basGlobal::SetDoEventsInterval(0);
        basGlobal::SetIniPathMapper([](const QString& f) { return platform::toNative(f).value_or(QString()); });
        drive.folder(QStringLiteral("App"));
        basGlobal::Globals& g = basGlobal::globals();
        g.ApplicationTitle = "Tarnwick";
        g.AuthorName = "Dravelin";
        g.VolumeIsCaseSensitive = true;
        g.IniFileName = "C:\\App\\Quillmarsh.ini";
        g.SavedPathsFileName = {"C:\\App\\PrimarySavedPaths.txt", "C:\\App\\SecondarySavedPaths.txt"};
        g.CurrentPath = {"C:\\Data", "C:\\Data"};
        platform::app().setVersion(2002, 8, 26);
    }
    void TearDown() override
    {
        EXPECT_EQ(desk.pendingMsgBoxes(), 0) << "expected message boxes never shown";
        EXPECT_TRUE(desk.failures().isEmpty()) << desk.failures().join('\n').toStdString();
        basGlobal::SetIniPathMapper({});
        ui::setDesktop(nullptr);
    }
    QByteArray read(const QString& relative) const
    {
        QFile f(drive.native(relative));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : "<missing>";
    }

    testing_support::TempDrive drive;
    ui::HeadlessDesktop desk;
    platform::FakeShell shell;
    platform::ServiceOverride<platform::Shell> useShell{platform::setShell, &shell};
};
