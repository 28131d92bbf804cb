// The version document's reading rules, the version text, and the About
// window: its hand-over to the update check and where it finds the
// system-information tool.
#include "maintenance_fixture.h"

#include "maintenance/Maintenance.h"
#include "maintenance/VersionInformation.h"
#include "ui/Input.h"

using namespace maintenance;

namespace {

const QString M = kVersionFileMarker;

TEST(VersionInformation, DocumentsAreJudgedInOrder)
{
    using O = VersionDocument::Outcome;
    struct Row { QString text; O outcome; QStringList locations; } rows[] = {
        {"", O::Invalid, {}},
        {"no fields at all", O::Invalid, {}},
        {M + "|2002.0008.0026|1|en|gr", O::Invalid, {}},                       // five fields
        {M.toLower() + "|2002.0008.0026|1|en|gr|http://a", O::Invalid, {}},    // marker's case
        {M + "|2002.0008.0026|junk|en|gr|", O::Latest, {}},                    // count not read
        {M + "|2002.8.26|1|en|gr|http://a", O::Newer, {"http://a"}},
        {M + "|2001.0001.0001|2|en|gr|http://a|http://b|extra", O::Newer, {"http://a", "http://b"}},
        {M + "|2002.0008.0026 |1|en|gr|http://a", O::Newer, {"http://a"}},     // a trailing blank differs
        {M + "|2003.0000.0000|1|en|gr|http://a\r\n", O::Newer, {"http://a\r\n"}},
        {M + "|2003.0000.0000| 2 |en|gr|x|y", O::Newer, {"x", "y"}},
        {M + "|2003.0000.0000|-1|en|gr|http://a", O::Invalid, {}},
        {M + "|2003.0000.0000|0|en|gr|http://a", O::Invalid, {}},
        {M + "|2003.0000.0000|2|en|gr|http://a", O::Invalid, {}},               // one address fewer than announced
        {M + "|2003.0000.0000|99999|en|gr|http://a", O::Invalid, {}},
        {M + "|2003.0000.0000|1.5|en|gr|http://a", O::Invalid, {}},
        {M + "|2003.0000.0000|1|e|n|gr|http://a", O::Newer, {"gr"}},           // a "|" in the notes shifts them
    };
    for (const Row& r : rows) {
        const VersionDocument d = ReadVersionDocument(r.text, QStringLiteral("2002.0008.0026"));
        EXPECT_EQ(d.outcome, r.outcome) << r.text.toStdString();
        EXPECT_EQ(d.locations, r.locations) << r.text.toStdString();
    }
    const VersionDocument d = ReadVersionDocument(M + "|2003|1|english\r\nnotes|ελληνικά|http://a", "2002.0008.0026");
    EXPECT_EQ(d.version, "2003");
    EXPECT_EQ(d.notesEnglish, "english\r\nnotes");
    EXPECT_EQ(d.notesGreek, "ελληνικά");
}

using AboutTest = MaintenanceTest;

// (Closed with OK it hands nothing over: the main window's road test.)
TEST_F(AboutTest, CheckForUpdatesLeavesTheTagAndSystemInformationFallsBackInOrder)
{
    desk.onModal("frmAbout", [](ui::Form& f) {
        auto& a = static_cast<frmAbout&>(f);
        EXPECT_EQ(a.lblVersion->caption(), "Version 2002.0008.0026");
        EXPECT_TRUE(a.lblCopyright->caption().endsWith(QDate::currentDate().toString("dd/MM/yyyy")));
        EXPECT_TRUE(a.lblCopyright->caption().contains("Dravelin"));
        EXPECT_FALSE(a.cmdBrackenfold->enabled());
        ui::Input::click(*a.cmdCheckForUpdates);
    });
    EXPECT_EQ(ShowAbout(), kCheckForUpdatesTag);
    EXPECT_EQ(FormatVersionText(12345, 0, 7), "12345.0000.0007");
    drive.file("Tools/msinfo32");
    drive.folder("Tools/Empty/msinfo32");   // a folder is no tool
    const QString tools = drive.native("Tools");
    const QString none = "<none>";
    // started: the program asked to start ("" for none).
    struct Row { QString path, folder; bool starts; QString started; } rows[] = {
        {"/named/tool", tools, true, "/named/tool"},         // the named tool wins, unchecked
        {"/named/tool", tools, false, "/named/tool"},        // ... and its failure does not fall back
        {none, tools, true, tools + "/msinfo32"},
        {none, drive.native("Tools/Empty"), true, ""},
        {none, none, true, ""},
    };
    for (const Row& r : rows) {
        shell.calls.clear();
        shell.startStarts = r.starts;
        frmAbout about;
        const auto answer = [](const QString& v) { return v == "<none>" ? std::nullopt : std::optional<QString>(v); };
        about.locator.toolPath = [&] { return answer(r.path); };
        about.locator.toolFolder = [&] { return answer(r.folder); };
        about.load();
        if (r.started.isEmpty() || !r.starts)
            desk.expectMsgBox("System information", "System Information is unavailable at this time.", 64, ui::vbOK);
        about.StartSysInfo();
        QString started;
        for (const auto& call : shell.calls)
            started += call.args.join("");
        EXPECT_EQ(started, r.started) << r.path.toStdString() << " " << r.folder.toStdString();
        about.unload();
    }
}

} // namespace
