// The version document's reading rules and the version text; the About
// window: its hand-over to the update check and where it finds the
// system-information tool; the update check against a server of the test's
// own on 127.0.0.1: the three outcomes, every kind of bad answer, the
// time-out, Cancel while the request waits, and which locations may be opened.
#include "support/LoopbackServer.h"
#include "maintenance_fixture.h"

#include "maintenance/Maintenance.h"
#include "platform/Http.h"
#include "maintenance/VersionInformation.h"
#include "maintenance/frmCheckForUpdates.h"
#include "shared/frmHiddenForm.h"
#include "ui/Input.h"

using namespace maintenance;

namespace {

TEST(VersionInformation, DocumentsAreJudgedInOrder)
{
    const QString M = kVersionFileMarker;
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

// Every word of the About window in either language; the notice runs from
// the first version's day to the day it is shown.
TEST_F(AboutTest, TheWindowsWordsInEitherLanguage)
{
    EXPECT_EQ(NoticeLine(QDate(2026, 3, 9), false), "Copyright © Dravelin, 26/08/2002 - 09/03/2026");
    EXPECT_EQ(NoticeLine(QDate(2031, 12, 31), true), "Πνευματικά δικαιώματα © Dravelin, 26/08/2002 - 31/12/2031");
    platform::app().setVersion(2003, 1, 12);
    for (bool greek : {false, true}) {
        SCOPED_TRACE(greek ? "Greek" : "English");
        basGlobal::globals().LanguageIsGreek = greek;
        frmAbout a;
        a.show();
        EXPECT_EQ(a.caption(), greek ? "Σχετικά" : "About");
        EXPECT_EQ(a.lblTitle->caption(), "Tarnwick");
        EXPECT_TRUE(a.lblTitle->font().bold);
        EXPECT_EQ(a.lblTitle->font().size, 12);
        EXPECT_EQ(a.lblVersion->caption(), greek ? "Έκδοση 2003.0001.0012" : "Version 2003.0001.0012");
        EXPECT_EQ(a.lblDescription->caption(),
                  greek ? "ΠΟΛΥ περιληπτικά, η εφαρμογή αυτή συγκρίνει τα αρχεία της δομής δύο φακέλλων, βάσει του "
                          "ονόματος, του μεγέθους, της χρονολογίας και της ώρας τους."
                        : "To cut a VERY long story extremely short, this application compares the files of two folder "
                          "structures, based on their name, size, date and time.");
        EXPECT_EQ(a.lblDisclaimer->caption(),
                  greek ? "Η εφαρμογή αυτή παρέχεται «ως έχει», χωρίς καμία εγγύηση. Ο δημιουργός δεν φέρει καμία "
                          "ευθύνη για οποιαδήποτε απώλεια προκύψει από τη χρήση της."
                        : "This application is provided \"as is\", without any warranty. The author accepts no "
                          "liability for any loss that may arise from its use.");
        const QString notice = a.lblCopyright->caption();
        const QString opening = greek ? "Πνευματικά δικαιώματα © Dravelin, 26/08/2002 - " : "Copyright © Dravelin, 26/08/2002 - ";
        EXPECT_TRUE(notice.startsWith(opening)) << notice.toStdString();
        EXPECT_EQ(notice.size(), opening.size() + 10);
        EXPECT_EQ(a.cmdSysInfo->caption(), greek ? "Πληροφορίες συστήματος..." : "System Info...");
        EXPECT_EQ(a.cmdCheckForUpdates->caption(),
                  greek ? "Έλεγχος για ενημερωμένες εκδόσεις..." : "Check for updated versions...");
        EXPECT_EQ(a.cmdOK->caption(), "OK");
        EXPECT_TRUE(a.handOverTag.isEmpty());
        // OK closes it and hands nothing over.
        ui::Input::click(*a.cmdOK);
        EXPECT_FALSE(a.isLoaded());
        EXPECT_TRUE(a.handOverTag.isEmpty());
    }
}

// Without a test's look-ups the window asks the system: a tool it names is
// started as it is; none named, the application folder's tool file; none
// there either, the message in the program's language.
TEST_F(AboutTest, SystemInformationAsksTheSystemFirstThenTheApplicationFolder)
{
    class NamingShell : public platform::FakeShell {
    public:
        QString tool;
        QString systemInformationTool() override { return tool; }
    } named;
    platform::ServiceOverride<platform::Shell> use(platform::setShell, &named);
    drive.file("Tools/msinfo32");
    drive.folder("Empty");
    struct Row { QString tool, appFolder; bool greek; QString started; } rows[] = {
        {"/usr/bin/sysinfo", "C:\\Tools", false, "/usr/bin/sysinfo"},
        {"", "C:\\Tools", false, drive.native("Tools/msinfo32")},
        {"", "C:\\Empty", false, ""},
        {"", "C:\\Empty", true, ""},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.tool.toStdString() + " " + r.appFolder.toStdString());
        named.calls.clear();
        named.tool = r.tool;
        platform::app().setPath(r.appFolder);
        basGlobal::globals().LanguageIsGreek = r.greek;
        frmAbout about;
        about.show();
        if (r.started.isEmpty())
            desk.expectMsgBox(r.greek ? "Πληροφορίες συστήματος" : "System information",
                              r.greek ? "Οι Πληροφορίες Συστήματος δεν είναι διαθέσιμες αυτήν την στιγμή."
                                      : "System Information is unavailable at this time.",
                              64, ui::vbOK);
        ui::Input::click(*about.cmdSysInfo);
        EXPECT_EQ(desk.pendingMsgBoxes(), 0);
        QString started;
        for (const auto& call : named.calls)
            started += call.what + ":" + call.args.join("");
        EXPECT_EQ(started, r.started.isEmpty() ? QString() : "start:" + r.started);
        about.unload();
    }
    platform::app().setPath({});
}

// The About window's layout: its texts in one column right of the picture,
// one under the other, as wide as the buttons' row below them, which begins
// under the picture with the buttons a little apart.
TEST_F(AboutTest, ItsTextsStandInOneColumnAboveTheButtons)
{
    frmAbout a;
    a.show();
    const std::vector<ui::Label*> texts = {a.lblTitle, a.lblVersion, a.lblDescription, a.lblDisclaimer, a.lblCopyright};
    const std::pair<int, int> rows[] = {{240, 360}, {660, 255}, {1020, 720}, {1860, 720}, {2700, 255}};
    for (std::size_t k = 0; k < texts.size(); ++k) {
        SCOPED_TRACE(texts[k]->name().toStdString());
        EXPECT_EQ(std::pair(texts[k]->top(), texts[k]->height()), rows[k]);
        EXPECT_EQ(texts[k]->left() - (a.cmdBrackenfold->left() + a.cmdBrackenfold->width()), 240);
        EXPECT_EQ(texts[k]->left() + texts[k]->width(), a.cmdOK->left() + a.cmdOK->width());
        EXPECT_TRUE(texts[k]->wordWrap());
        EXPECT_EQ(texts[k]->font().bold, k == 0);
    }
    EXPECT_EQ(a.lblTitle->top(), a.cmdBrackenfold->top());
    EXPECT_EQ(a.cmdBrackenfold->width(), a.cmdBrackenfold->height());
    EXPECT_EQ(a.cmdBrackenfold->style(), 1);
    EXPECT_FALSE(a.cmdBrackenfold->tabStop());
    const std::vector<ui::CommandButton*> buttons = {a.cmdSysInfo, a.cmdCheckForUpdates, a.cmdOK};
    for (std::size_t k = 0; k < buttons.size(); ++k) {
        EXPECT_EQ(buttons[k]->top(), a.cmdOK->top());
        EXPECT_EQ(buttons[k]->height(), 375);
        if (k > 0) {
            EXPECT_EQ(buttons[k]->left() - (buttons[k - 1]->left() + buttons[k - 1]->width()), 120);
        }
    }
    EXPECT_EQ(a.cmdSysInfo->left(), a.cmdBrackenfold->left());
    EXPECT_EQ(a.defaultButton(), a.cmdOK);
    EXPECT_EQ(a.cancelButton(), a.cmdOK);
    EXPECT_GT(a.cmdOK->top(), a.lblCopyright->top() + a.lblCopyright->height());
    a.unload();
}

const QByteArray M = kVersionFileMarker.toUtf8();

class UpdateCheckTest : public MaintenanceTest {
protected:
    void SetUp() override
    {
        MaintenanceTest::SetUp();
        saved = updateCheckSettings();
        updateCheckSettings().addressTemplate = server.base + "/upd/|VersionInfo.aui";
        updateCheckSettings().timeoutMs = 5000;
    }
    void TearDown() override
    {
        updateCheckSettings() = saved;
        MaintenanceTest::TearDown();
    }
    // Presses Check and tells the outcome by its picture.
    QString check(frmCheckForUpdates& w)
    {
        desk.clearTranscript();
        w.show();
        ui::Input::click(*w.cmdCheck);
        EXPECT_FALSE(basGlobal::globals().UpdateCheckInProgress || basGlobal::globals().CancelRequested);
        const QString picture = w.imgResultIcon->picture().resource;
        const auto beeps = desk.entries(ui::HeadlessDesktop::Entry::MessageBeep);
        const int beep = beeps.isEmpty() ? -1 : beeps.last().style;
        if (picture.endsWith("NoUpdates.png") && beep == 0) return "latest";
        if (picture.endsWith("NewVersion.png") && beep == 48) return "newer";
        if (picture.endsWith("Error.png") && beep == 16) return "failure";
        return picture + " " + QString::number(beep);
    }

    LoopbackServer server;
    UpdateCheckSettings saved;
};

// Before a check the window shows its words in the program's language, the
// privacy title alone in bold, and the parts of a result greyed.
TEST_F(UpdateCheckTest, TheWindowOpensWithItsWordsInEitherLanguageAndNoResultYet)
{
    struct Row {
        bool greek;
        const char *caption, *title, *statementStart, *version, *check, *close, *whatsNew, *select, *open;
    } rows[] = {
        {false, "Check for updated versions", "PRIVACY STATEMENT", "During the check for updated versions process",
         "Current version: 2002.0008.0026.", "Check", "Close", "Differences between the three most recent versions",
         "Select location", "Open location"},
        {true, "Έλεγχος για ενημερωμένες εκδόσεις", "ΔΗΛΩΣΗ ΑΠΟΡΡΗΤΟΥ", "Ο έλεγχος για ενημερωμένες εκδόσεις",
         "Τρέχουσα έκδοση: 2002.0008.0026.", "Έλεγχος", "Κλείσιμο", "Διαφορές ανάμεσα στις τρεις τελευταίες εκδόσεις",
         "Επιλογή τοποθεσίας", "Άνοιγμα τοποθεσίας"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.greek ? "Greek" : "English");
        basGlobal::globals().LanguageIsGreek = r.greek;
        basGlobal::globals().ResizeFontEnabled = !r.greek;
        frmCheckForUpdates w;
        w.show();
        // Its fonts follow its size only when the user asked for that.
        EXPECT_EQ(w.freeSizer1->resizeFonts(), !r.greek);
        EXPECT_EQ(w.caption(), r.caption);
        EXPECT_EQ(w.lblPrivacyTitle->caption(), r.title);
        EXPECT_TRUE(w.lblPrivacyStatement->caption().startsWith(QString::fromUtf8(r.statementStart)));
        EXPECT_EQ(w.lblCurrentVersion->caption(), r.version);
        EXPECT_EQ(w.cmdCheck->caption(), r.check);
        EXPECT_EQ(w.cmdClose->caption(), r.close);
        EXPECT_EQ(w.lblWhatsNew->caption(), r.whatsNew);
        EXPECT_EQ(w.lblSelectLocation->caption(), r.select);
        EXPECT_EQ(w.cmdLaunchWebBrowser->caption(), r.open);
        for (ui::Control* c : w.controls())
            EXPECT_EQ(c->font().bold, c == w.lblPrivacyTitle) << c->name().toStdString();
        EXPECT_EQ(w.lblResultDescription->caption(), QString());
        for (ui::Control* c : std::initializer_list<ui::Control*>{w.imgResultIcon, w.lblResultDescription, w.lblWhatsNew,
                                                                  w.txtWhatsNew, w.lblSelectLocation, w.cboWebLocation,
                                                                  w.cmdLaunchWebBrowser})
            EXPECT_FALSE(c->enabled()) << c->name().toStdString();
        EXPECT_TRUE(w.cmdCheck->enabled() && w.cmdClose->enabled());
        EXPECT_EQ(w.defaultButton(), w.cmdCheck);
        EXPECT_TRUE(w.txtWhatsNew->multiLine() && w.txtWhatsNew->locked());
        EXPECT_TRUE(w.imgResultIcon->stretch());
        for (ui::Label* l : {w.lblPrivacyTitle, w.lblPrivacyStatement, w.lblCurrentVersion, w.lblResultDescription,
                             w.lblWhatsNew, w.lblSelectLocation})
            EXPECT_TRUE(l->wordWrap()) << l->name().toStdString();
        EXPECT_EQ(w.cancelButton(), w.cmdClose);
        EXPECT_EQ(w.cmdCheck->tabIndex(), 0);
        w.unload();
    }
}

TEST_F(UpdateCheckTest, EveryBadAnswerIsTheFailureOutcome)
{
    // The document's and the HTTP reader's own rules are tested with them.
    using A = LoopbackServer;
    const QByteArray newerCut = M + "|2099.0001.0002|1|en|gr|http://a.test/q";   // 0x34 bytes
    const QByteArray newer = M + "|2099.0001.0002|1|en|gr|http://a.test/quillmarsh-setup.zip";
    struct Row { const char* what; A::Answer answer; QString outcome; bool tls = false; } rows[] = {
        {"latest", A::ok(M + "|2002.0008.0026|x|en|gr|"), "latest"},
        {"count past the addresses", A::ok(M + "|2003.0000.0000|3|en|gr|http://a.test/"), "failure"},
        {"error page", A::ok(M + "|2003.0000.0000|1|en|gr|http://a.test/", 404), "failure"},
        {"closed", A::Answer{}, "failure"},
        // A newer version's document cut off by the server: its address is cut too.
        {"last chunk missing", {"HTTP/1.1 200 X\r\nTransfer-Encoding: chunked\r\n\r\n34\r\n" + newerCut + "\r\n"}, "failure"},
        // ... or by a reset, which the client cannot tell from a close: a
        // document with no length is never taken.
        {"no length, cut by a reset", {"HTTP/1.1 200 X\r\n\r\n" + newer.chopped(20), 0, true}, "failure"},
        {"no length, cut by a reset, over TLS", {"HTTP/1.1 200 X\r\n\r\n" + newer.chopped(20), 0, true}, "failure", true},
        {"no length, closed", {"HTTP/1.1 200 X\r\n\r\n" + newer}, "failure"},
        {"a length, over TLS", A::ok(M + "|2002.0008.0026|x|en|gr|"), "latest", true},
        {"empty", A::ok(""), "failure"},
        {"too large", A::ok(M + "|2003.0000.0000|1|en|gr|http://a.test/" + QByteArray(4096, 'x')), "failure"},
        {"too slow", A::Answer{A::ok(M + "|2002.0008.0026|1|en|gr|").bytes, 1500}, "failure"},
    };
    LoopbackServer tlsServer(LoopbackServer::Tls);
    for (const Row& r : rows) {
        updateCheckSettings().maxBytes = QByteArray(r.what) == "too large" ? 1024 : 1 << 20;
        updateCheckSettings().timeoutMs = QByteArray(r.what) == "too slow" ? 300 : 5000;
        LoopbackServer& answering = r.tls ? tlsServer : server;
        updateCheckSettings().addressTemplate = answering.base + "/upd/|VersionInfo.aui";
        answering.answer(r.answer);
        frmCheckForUpdates w;
        EXPECT_EQ(check(w), r.outcome) << r.what;
        EXPECT_EQ(answering.lastRequestLine, "GET /upd/QuillmarshVersionInfo.aui HTTP/1.1") << r.what;
        EXPECT_TRUE(!w.cmdCheck->enabled() && !w.cmdLaunchWebBrowser->enabled()) << r.what;
        EXPECT_EQ(w.cmdClose->caption(), "Close") << r.what;
        w.unload();
    }
    // The placeholder host of a build without a server is never asked.
    const int asked = server.requests;
    updateCheckSettings().addressTemplate = "http://updates.quillmarsh.invalid/|VersionInfo.aui";
    frmCheckForUpdates w;
    EXPECT_EQ(check(w), "failure");
    EXPECT_EQ(server.requests, asked);
    w.unload();
}

TEST_F(UpdateCheckTest, NewerVersionListsItsLocationsAndOpensOnlyWebPages)
{
    basGlobal::globals().LanguageIsGreek = true;
    server.answer(LoopbackServer::ok(M + "|2003.0001.0002|3|notes|σημειώσεις\r\nδεύτερη|http://a.test/q.zip\r\n|"
                                         "file:///etc/passwd|javascript:alert(1)|ignored"));
    frmCheckForUpdates w;
    EXPECT_EQ(check(w), "newer");
    EXPECT_EQ(w.lblResultDescription->caption(), "Υπάρχει νεότερη έκδοση διαθέσιμη, με αριθμό 2003.0001.0002.");
    EXPECT_EQ(w.txtWhatsNew->text(), "σημειώσεις\r\nδεύτερη");
    // The notes can be read and copied, not changed.
    ui::Input::type(*w.txtWhatsNew, QStringLiteral("x\b\b"));
    ui::Input::paste(*w.txtWhatsNew, QStringLiteral("pasted"));
    ui::Input::key(w, 'A', ui::vbCtrlMask);
    ui::Input::key(w, 'X', ui::vbCtrlMask);
    EXPECT_EQ(w.txtWhatsNew->text(), "σημειώσεις\r\nδεύτερη");
    EXPECT_EQ(desk.clipboardText(), "σημειώσεις\r\nδεύτερη");
    EXPECT_EQ(testing_support::listItems(*basGlobal::HiddenForm().lstTargetURL),
              QStringList({"http://a.test/q.zip\r\n", "file:///etc/passwd", "javascript:alert(1)"}));
    ASSERT_EQ(w.cboWebLocation->listCount(), 3);
    EXPECT_EQ(w.cboWebLocation->listIndex(), 0);

    for (int k : {0, 1, 2}) {
        w.cboWebLocation->setListIndex(k);
        if (k > 0)
            desk.expectMsgBoxContaining("Άνοιγμα μέσω συσχετισμένης εφαρμογής", "προέκυψε το ακόλουθο σφάλμα", 64, ui::vbOK);
        ui::Input::click(*w.cmdLaunchWebBrowser);
    }
    ASSERT_EQ(shell.calls.size(), 1u) << "nothing but a web page reaches the shell";
    EXPECT_EQ(shell.calls[0].what + shell.calls[0].args.join(""), "openhttp://a.test/q.zip");
    w.unload();
}

TEST_F(UpdateCheckTest, CancelWhileWaitingClosesTheWindowAtOnce)
{
    // The answer would come long after the time-out: only Cancel closes the window.
    server.answer({LoopbackServer::ok(M + "|2002.0008.0026|1|en|gr|").bytes, 60000});
    frmCheckForUpdates w;
    desk.onYield([&] { return server.requests > 0; }, [&] {
        EXPECT_EQ(w.cmdClose->caption(), "Cancel");
        desk.expectMsgBoxContaining("Cancel processing", "cancel the process", 292, ui::vbYes);
        ui::Input::click(*w.cmdClose);
    });
    w.show();
    ui::Input::click(*w.cmdCheck);
    EXPECT_FALSE(w.isLoaded());
    EXPECT_FALSE(basGlobal::globals().CancelRequested || basGlobal::globals().UpdateCheckInProgress);
}

TEST_F(UpdateCheckTest, ARefusedCancelLetsTheCheckFinishAndCloseThenClosesTheWindow)
{
    server.answer(LoopbackServer::ok(M + "|2002.0008.0026|1|en|gr|"));
    frmCheckForUpdates w;
    bool asked = false;
    desk.onYield([&] { return server.requests > 0; }, [&] {
        desk.expectMsgBoxContaining("Cancel processing", "cancel the process", 292, ui::vbNo);
        ui::Input::click(*w.cmdClose);
        asked = true;
    });
    EXPECT_EQ(check(w), "latest");
    EXPECT_TRUE(asked);
    EXPECT_EQ(w.cmdClose->caption(), "Close");
    ui::Input::click(*w.cmdClose);
    EXPECT_FALSE(w.isLoaded());
}

// The notes come with either answer; the locations only with a newer version.
TEST_F(UpdateCheckTest, OnlyANewerVersionOffersItsLocations)
{
    for (const QByteArray& version : {QByteArray("2002.0008.0026"), QByteArray("2003.0000.0000")}) {
        const bool newer = version != "2002.0008.0026";
        server.answer(LoopbackServer::ok(M + "|" + version + "|1|notes|σημειώσεις|http://a.test/q.zip"));
        frmCheckForUpdates w;
        EXPECT_EQ(check(w), newer ? "newer" : "latest");
        EXPECT_TRUE(w.lblWhatsNew->enabled() && w.txtWhatsNew->enabled()) << newer;
        for (ui::Control* c : std::initializer_list<ui::Control*>{w.lblSelectLocation, w.cboWebLocation, w.cmdLaunchWebBrowser})
            EXPECT_EQ(c->enabled(), newer) << c->name().toStdString();
        w.unload();
    }
}

// Each outcome's words in either language, the notes of the program's
// language, a location entry for each address, and the window's state while
// the request waits and after it.
TEST_F(UpdateCheckTest, EachOutcomeSaysItsWordsInEitherLanguage)
{
    struct Row {
        bool greek;
        QByteArray document;
        QString outcome, description, notes;
        QStringList locations;
    } rows[] = {
        {false, M + "|2002.0008.0026|1|english notes|ελληνικές σημειώσεις|", "latest",
         "No updated versions are currently available. You have the latest version.", "english notes", {}},
        {true, M + "|2002.0008.0026|1|english notes|ελληνικές σημειώσεις|", "latest",
         "Δεν υπάρχουν ενημερωμένες εκδόσεις προς το παρόν. Έχετε την τελευταία έκδοση.", "ελληνικές σημειώσεις", {}},
        {false, M + "|2004.0002.0003|2|english notes|ελληνικές σημειώσεις|http://a.test/1|https://b.test/2", "newer",
         "A newer version, numbered 2004.0002.0003, is currently available.", "english notes", {"Location 1", "Location 2"}},
        {true, M + "|2004.0002.0003|2|english notes|ελληνικές σημειώσεις|http://a.test/1|https://b.test/2", "newer",
         "Υπάρχει νεότερη έκδοση διαθέσιμη, με αριθμό 2004.0002.0003.", "ελληνικές σημειώσεις",
         {"Τοποθεσία 1", "Τοποθεσία 2"}},
        {false, M + "|2004.0002.0003|3|en|gr|http://a.test/1", "failure",
         "No information about updated versions can be retrieved at this time. Please try again later.", "", {}},
        {true, "not a version document", "failure",
         "Δεν κατέστη δυνατή η ανάκτηση πληροφοριών για ενημερωμένες εκδόσεις. Παρακαλώ προσπαθήστε αργότερα.", "", {}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.description.toStdString());
        basGlobal::globals().LanguageIsGreek = r.greek;
        server.answer(LoopbackServer::ok(r.document));
        frmCheckForUpdates w;
        bool waited = false;
        desk.onYield([&] { return server.requests > 0 && !waited; }, [&] {
            waited = true;
            EXPECT_EQ(w.lblResultDescription->caption(),
                      r.greek ? "Γίνεται έλεγχος για ενημερωμένες εκδόσεις. Παρακαλώ περιμένετε."
                              : "Checking for updated versions. Please wait.");
            EXPECT_TRUE(w.imgResultIcon->picture().resource.endsWith("Checking.png"));
            EXPECT_TRUE(w.imgResultIcon->enabled() && w.lblResultDescription->enabled());
            EXPECT_EQ(w.cmdClose->caption(), r.greek ? "Άκυρο" : "Cancel");
            EXPECT_FALSE(w.cmdCheck->enabled());
            EXPECT_TRUE(basGlobal::globals().UpdateCheckInProgress);
        });
        EXPECT_EQ(check(w), r.outcome);
        EXPECT_TRUE(waited);
        EXPECT_EQ(w.lblResultDescription->caption(), r.description);
        EXPECT_EQ(w.txtWhatsNew->text(), r.notes);
        const bool read = r.outcome != "failure", newer = r.outcome == "newer";
        EXPECT_EQ(w.lblWhatsNew->enabled(), read);
        EXPECT_EQ(w.txtWhatsNew->enabled(), read);
        EXPECT_TRUE(w.imgResultIcon->enabled() && w.lblResultDescription->enabled());
        QStringList entries;
        for (int k = 0; k < w.cboWebLocation->listCount(); ++k)
            entries << w.cboWebLocation->list(k);
        EXPECT_EQ(entries, r.locations);
        EXPECT_EQ(w.cboWebLocation->listIndex(), newer ? 0 : -1);
        EXPECT_EQ(w.cmdLaunchWebBrowser->mousePointer(), newer ? ui::vbCustom : ui::vbDefault);
        if (newer) {
            EXPECT_TRUE(w.cmdLaunchWebBrowser->mouseIcon().resource.endsWith("PointURL.png"));
        }
        EXPECT_FALSE(w.cmdCheck->enabled());
        EXPECT_TRUE(w.cmdClose->enabled());
        EXPECT_EQ(w.cmdClose->caption(), r.greek ? "Κλείσιμο" : "Close");
        EXPECT_FALSE(basGlobal::globals().UpdateCheckInProgress);
        ui::Input::click(*w.cmdClose);
        EXPECT_FALSE(w.isLoaded());
    }
}

// Only an answer of the 2xx kind carries a document; only http and https
// addresses with a host are opened, whatever the case of the scheme.
TEST_F(UpdateCheckTest, TheStatusRangeAndTheAddressesThatMayBeOpened)
{
    for (int status : {200, 299, 300, 199}) {
        server.answer(LoopbackServer::ok(M + "|2002.0008.0026|1|en|gr|", status));
        frmCheckForUpdates w;
        EXPECT_EQ(check(w), status <= 299 && status >= 200 ? "latest" : "failure") << status;
        w.unload();
    }
    server.answer(LoopbackServer::ok(M + "|2003.0000.0000|4|en|gr|HTTPS://A.TEST/Q.ZIP|http:///nohost|ftp://a.test/q.zip|"
                                         "Http://b.test/q.zip"));
    frmCheckForUpdates w;
    EXPECT_EQ(check(w), "newer");
    for (int k : {0, 1, 2, 3}) {
        w.cboWebLocation->setListIndex(k);
        if (k == 1 || k == 2)
            desk.expectMsgBoxContaining("Open with associated application",
                                        "While trying to launch the 'Open with associated application' process, the "
                                        "following error occured: '",
                                        64, ui::vbOK);
        ui::Input::click(*w.cmdLaunchWebBrowser);
        EXPECT_EQ(desk.pendingMsgBoxes(), 0) << k;
    }
    QStringList opened;
    for (const auto& call : shell.calls)
        opened << call.what + ":" + call.args.join("");
    EXPECT_EQ(opened, QStringList({"open:HTTPS://A.TEST/Q.ZIP", "open:Http://b.test/q.zip"}));
    w.unload();
}

// A web page the system cannot open is reported with the system's reason,
// in the program's language; nothing else is opened instead.
TEST_F(UpdateCheckTest, AWebPageTheSystemCannotOpenIsReportedWithItsReason)
{
    for (bool greek : {false, true}) {
        SCOPED_TRACE(greek ? "Greek" : "English");
        basGlobal::globals().LanguageIsGreek = greek;
        server.answer(LoopbackServer::ok(M + "|2003.0000.0000|1|en|gr|http://a.test/q.zip"));
        frmCheckForUpdates w;
        ASSERT_EQ(check(w), "newer");
        shell.calls.clear();
        shell.results.push_back(31);
        if (greek)
            desk.expectMsgBox("Άνοιγμα μέσω συσχετισμένης εφαρμογής",
                              "Κατά την ενεργοποίηση της εργασίας «Άνοιγμα μέσω της συσχετισμένης εφαρμογής», προέκυψε το "
                              "ακόλουθο σφάλμα: «Ανυπαρξία συσχετισμού».",
                              64, ui::vbOK);
        else
            desk.expectMsgBox("Open with associated application",
                              "While trying to launch the 'Open with associated application' process, the following error "
                              "occured: 'No association'.",
                              64, ui::vbOK);
        ui::Input::click(*w.cmdLaunchWebBrowser);
        EXPECT_EQ(desk.pendingMsgBoxes(), 0);
        ASSERT_EQ(shell.calls.size(), 1u);
        EXPECT_EQ(shell.calls[0].what + ":" + shell.calls[0].args.join(""), "open:http://a.test/q.zip");
        EXPECT_TRUE(w.isLoaded());
        w.unload();
    }
}

// Without a network the user is asked, in the program's language; Yes checks all the same.
TEST_F(UpdateCheckTest, NoNetworkAndYesChecksAllTheSame)
{
    shell.network = false;
    basGlobal::globals().LanguageIsGreek = true;
    server.answer(LoopbackServer::ok(M + "|2002.0008.0026|1|en|gr|"));
    frmCheckForUpdates w;
    desk.expectMsgBox("Έλεγχος για ενημερωμένες εκδόσεις",
                      "Δεν φαίνεται να υπάρχει ενεργός σύνδεση του υπολογιστή σας με το διαδίκτυο. Αυτό μπορεί να "
                      "συμβαίνει είτε διότι πράγματι δεν υπάρχει ενεργός σύνδεση του υπολογιστή σας με το διαδίκτυο, ή "
                      "διότι η εφαρμογή αδυνατεί να την εντοπίσει.\r\n\r\nθέλετε, παρ' όλ' αυτά, να προχωρήσετε στον "
                      "έλεγχο για ενημερωμένες εκδόσεις;",
                      36, ui::vbYes);
    EXPECT_EQ(check(w), "latest");
    EXPECT_EQ(server.requests, 1);
    w.unload();
}

// Only a web address with a real host is asked, with the document's own
// limits and only a body whose end the server announced; the placeholder
// host of a build without an update server and any other kind of address
// are the failure outcome without a request.
TEST_F(UpdateCheckTest, OnlyAWebAddressOfARealHostIsAskedWithTheDocumentsLimits)
{
    struct Recording : platform::HttpClient {
        QStringList asked;
        platform::HttpOptions options;
        platform::HttpResult get(const QString& url, const platform::HttpOptions& o, const std::function<bool()>&) override
        {
            asked << url;
            options = o;
            platform::HttpResult r;
            r.status = 200;
            r.text = kVersionFileMarker + QStringLiteral("|2002.0008.0026|1|en|gr|");
            return r;
        }
    } client;
    std::optional<platform::ServiceOverride<platform::HttpClient>> use(std::in_place, platform::setHttp, &client);
    updateCheckSettings().timeoutMs = 4321;
    updateCheckSettings().maxBytes = 9876;
    const struct { const char* address; const char* outcome; } rows[] = {
        {"http://updates.quillmarsh.invalid/|VersionInfo.aui", "failure"},
        {"https://Updates.Example.INVALID/|VersionInfo.aui", "failure"},
        {"ftp://a.test/|VersionInfo.aui", "failure"},
        {"file:///srv/|VersionInfo.aui", "failure"},
        {"http:///|VersionInfo.aui", "failure"},
        {"https://a.test/upd/|VersionInfo.aui", "latest"},
    };
    for (const auto& r : rows) {
        client.asked.clear();
        updateCheckSettings().addressTemplate = QString::fromLatin1(r.address);
        frmCheckForUpdates w;
        EXPECT_EQ(check(w), QString::fromLatin1(r.outcome)) << r.address;
        EXPECT_EQ(client.asked.size(), QByteArray(r.outcome) == "latest" ? 1 : 0) << r.address;
        w.unload();
    }
    use.reset();
    EXPECT_EQ(client.asked, QStringList{"https://a.test/upd/QuillmarshVersionInfo.aui"});
    EXPECT_EQ(client.options.timeoutMs, 4321);
    EXPECT_EQ(client.options.maxBytes, 9876);
    EXPECT_TRUE(client.options.framedBodyOnly);
}

TEST_F(UpdateCheckTest, NoNetworkAsksFirstAndNoAsksNothingOfTheServer)
{
    shell.network = false;
    frmCheckForUpdates w;
    w.show();
    desk.expectMsgBoxContaining("Check for updated versions", "doesn't look like being connected", 36, ui::vbNo);
    ui::Input::click(*w.cmdCheck);
    EXPECT_TRUE(w.cmdCheck->enabled());
    EXPECT_EQ(server.requests, 0);
    w.unload();
}

} // namespace
