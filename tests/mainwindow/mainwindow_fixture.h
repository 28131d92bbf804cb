#pragma once
// The main window's tests: fresh program-wide state, the headless desktop
// (or the Qt one for pictures), drive C: a temporary folder that holds the
// program and its INI file; no other copy of the program runs.
#include "mainwindow/frmMain.h"
#include "platform/Application.h"
#include "shared/IniAccess.h"
#include "shared/Messages.h"
#include "shared/qstring_print.h"
#include "support/TempDrive.h"
#include "ui/HeadlessDesktop.h"
#include "ui/Input.h"

#include <QFile>
#include <gtest/gtest.h>

#include <type_traits>

template <class Window, class Desk = ui::HeadlessDesktop>
class MainWindowFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        basGlobal::resetGlobals();
        desk.install();
        basGlobal::SetDoEventsInterval(0);
        basGlobal::SetIniPathMapper([](const QString& f) { return platform::toNative(f).value_or(QString()); });
        platform::app().setPath(QStringLiteral("C:"));
        main.anotherCopyRunning = [] { return false; };
    }
    void TearDown() override
    {
        try {
            main.unload();
        } catch (const ui::ProgramEnd&) {
            // closing the main window ends the program
        }
        if constexpr (std::is_same_v<Desk, ui::HeadlessDesktop>) {
            EXPECT_EQ(desk.pendingMsgBoxes(), 0);
            EXPECT_EQ(desk.pendingModalScripts(), 0);
        }
        basGlobal::SetIniPathMapper({});
        ui::setDesktop(nullptr);
    }
    basGlobal::Globals& g() { return basGlobal::globals(); }
    static QStringList items(const ui::ListBox& list) { return testing_support::listItems(list); }
    void writeIni(const QString& text) { drive.file(QStringLiteral("Quillmarsh.ini"), text.toUtf8()); }
    QByteArray iniBytes() const { return drive.bytes(QStringLiteral("Quillmarsh.ini")); }
    // Closes the window with the button when it opens.
    void cancelOn(const char* form, const char* button = "cmdCancel")
    {
        desk.onModal(QLatin1String(form), [button](ui::Form& f) {
            ui::Input::click(*static_cast<ui::CommandButton*>(f.control(QLatin1String(button))));
        });
    }
    // The modal windows opened since the transcript was cleared.
    QStringList opened() const
    {
        QStringList out;
        for (const ui::HeadlessDesktop::Entry& e : desk.entries(ui::HeadlessDesktop::Entry::ModalOpen))
            out << e.form;
        return out;
    }

    testing_support::TempDrive drive;
    // The desktop outlives the form, as in the program.
    Desk desk;
    Window main;
};
