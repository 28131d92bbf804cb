#pragma once
// Every maintenance test: fresh program-wide state, the headless desktop,
// drive C: a temporary folder with the application folder C:\App in it, and
// a recording shell (trash, program starts, web pages).

#include "platform/Application.h"
#include "platform/ServiceOverride.h"
#include "platform/FakeShell.h"
#include "shared/IniAccess.h"
#include "shared/shared_fixture.h"
#include "support/TempDrive.h"

class MaintenanceTest : public SharedTest {
protected:
    void SetUp() override
    {
        SharedTest::SetUp();
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
        basGlobal::SetIniPathMapper({});
        SharedTest::TearDown();
    }
    QByteArray read(const QString& relative) const { return drive.bytes(relative); }

    testing_support::TempDrive drive;
    platform::FakeShell shell;
    platform::ServiceOverride<platform::Shell> useShell{platform::setShell, &shell};
};
