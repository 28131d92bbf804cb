// Context help: every topic a window asks for, read from the windows
// themselves once loaded, has its text in both help files; the reader of the
// help files; and one right click asks for help once.
#include "mainwindow_fixture.h"

#include "maintenance/frmAbout.h"
#include "maintenance/frmCheckForUpdates.h"
#include "maintenance/frmSettingsExport.h"
#include "maintenance/frmSettingsImport.h"
#include "mainwindow/frmRecallSavedPath.h"
#include "offline/frmExportStructure.h"
#include "offline/frmImportStructure.h"
#include "results/frmCompare.h"
#include "results/frmFind.h"
#include "results/frmInterpretation.h"
#include "results/frmPageSetup.h"
#include "results/frmPrint.h"
#include "setup/frmFolderIncludeExclude.h"
#include "setup/frmOptions.h"
#include "shared/frmHiddenForm.h"
#include "shared/frmMapNetworkDrive.h"
#include "shared/frmPleaseWait.h"
#include "shared/frmTextEditor.h"
#include "ui/qt/HelpFile.h"

#include <QCoreApplication>

#include <functional>
#include <map>
#include <memory>
#include <set>

namespace {

using Entry = ui::HeadlessDesktop::Entry;

class HelpTopics : public MainWindowFixture<mainwindow::frmMain> {
protected:
    // The topics of one loaded window, each with the control that names it:
    // the topic of every control and of the window, and the topics that the
    // window's Help menu items ask for.
    void collect(ui::Form& form)
    {
        if (form.helpTopic() != 0) topics[form.helpTopic()] << form.name();
        for (ui::Control* c : form.controls()) {
            const QString who = form.name() + u'.' + c->name() + (c->index() >= 0 ? QString::number(c->index()) : QString());
            if (c->helpTopic() != 0) topics[c->helpTopic()] << who;
            auto* m = c->kind() == ui::ControlKind::Menu ? static_cast<ui::Menu*>(c) : nullptr;
            if (m && m->parentMenu() && m->name().endsWith(QLatin1String("Help"))) {
                desk.clearTranscript();
                m->Click();
                const QList<Entry> asked = desk.entries(Entry::Help);
                EXPECT_EQ(asked.size(), 1) << who.toStdString();
                for (const Entry& e : asked) topics[e.style] << who;
            }
        }
    }
    void collectLoaded(ui::Form& form)
    {
        form.load();
        ASSERT_TRUE(form.isLoaded()) << form.name().toStdString();
        collect(form);
        form.unload();
    }
    template <class... Forms>
    void collectEach()
    {
        (collectLoaded(*std::make_unique<Forms>()), ...);
    }
    static ui::qt::HelpFile shipped(const char* name)
    {
        // The copies the build puts beside the program.
        return ui::qt::HelpFile::load(QCoreApplication::applicationDirPath() + u'/' + QLatin1String(name));
    }
    std::map<int, QStringList> topics;
};

TEST_F(HelpTopics, EveryTopicAWindowAsksForHasItsTextInBothHelpFiles)
{
    main.load();
    collect(main);
    // The recall window shown over paths: one right click asks for help once.
    drive.file(QStringLiteral("PrimarySavedPaths.txt"), "C:\\One\r\nC:\\Two\r\n");
    mainwindow::frmRecallSavedPath recall(0xC0E0FFu);
    desk.onModal(recall.name(), [&](ui::Form&) {
        collect(recall);
        for (ui::Control* c : std::initializer_list<ui::Control*>{recall.lstSavedPaths[0], recall.chkSortSavedPaths, recall.cmdEdit,
                                                                  recall.cmdApply, recall.cmdCancel}) {
            desk.clearTranscript();
            ui::Input::rightClick(*c);
            EXPECT_EQ(desk.entries(Entry::Help).size(), 1) << c->name().toStdString();
        }
        recall.unload();
    });
    recall.show(ui::Modal);
    collectLoaded(*std::make_unique<basGlobal::frmTextEditor>(QStringLiteral("C:\\notes.txt")));
    collectEach<results::frmCompare, results::frmFind, results::frmInterpretation, results::frmPrint, results::frmPageSetup,
                setup::frmOptions, setup::frmFolderIncludeExclude, offline::frmExportStructure, offline::frmImportStructure,
                maintenance::frmAbout, maintenance::frmCheckForUpdates, maintenance::frmSettingsExport,
                maintenance::frmSettingsImport, basGlobal::frmMapNetworkDrive, basGlobal::frmDisconnectNetworkDrive,
                basGlobal::frmPleaseWait>();
    collect(basGlobal::HiddenForm());
    // Every window of the program was reached, the main window's help included.
    EXPECT_GE(topics.size(), 180u);
    for (const int t : {1001, 50095, 50120, 96010, 93010, 99010, 1101, 20010, 30100, 40010, 60010, 70020})
        EXPECT_TRUE(topics.count(t)) << t;

    const ui::qt::HelpFile english = shipped("QuillmarshUK.hlp");
    const ui::qt::HelpFile greek = shipped("QuillmarshGR.hlp");
    for (const auto& [topic, askedBy] : topics) {
        EXPECT_FALSE(english.topic(topic).trimmed().isEmpty()) << "English " << topic << " " << askedBy.join(u' ').toStdString();
        EXPECT_FALSE(greek.topic(topic).trimmed().isEmpty()) << "Greek " << topic << " " << askedBy.join(u' ').toStdString();
    }
    // The two files hold the same topics, and none that no window asks for.
    for (const auto& [file, other] : {std::pair{&english, &greek}, std::pair{&greek, &english}})
        for (const int topic : file->topics()) {
            EXPECT_TRUE(other->contains(topic)) << topic;
            EXPECT_TRUE(topics.count(topic)) << "unused topic " << topic;
        }
}

// A right click on a control of one structure explains that structure: the
// heading of its topic names its own side, never the other.
TEST_F(HelpTopics, EachStructuresControlAsksForTheHelpOfItsOwnSide)
{
    const ui::qt::HelpFile english = shipped("QuillmarshUK.hlp");
    int sided = 0;
    const auto check = [&](ui::Form& form) {
        for (ui::Control* c : form.controls()) {
            if (c->index() != 0 && c->index() != 1) continue;
            const QString heading = english.topic(c->helpTopic()).section(u'\n', 0, 0);
            const bool primary = heading.contains(u"Primary"), secondary = heading.contains(u"Secondary");
            if (primary == secondary) continue;   // no topic, or one of no single side
            ++sided;
            EXPECT_EQ(primary, c->index() == 0) << form.name().toStdString() << "." << c->name().toStdString() << c->index()
                                                << ": " << heading.toStdString();
        }
    };
    main.load();
    check(main);
    const auto loaded = [&](std::unique_ptr<ui::Form> form) {
        form->load();
        check(*form);
        form->unload();
    };
    loaded(std::make_unique<results::frmCompare>());
    loaded(std::make_unique<results::frmInterpretation>());
    loaded(std::make_unique<setup::frmOptions>());
    loaded(std::make_unique<setup::frmFolderIncludeExclude>());
    loaded(std::make_unique<offline::frmExportStructure>());
    loaded(std::make_unique<offline::frmImportStructure>());
    EXPECT_GE(sided, 28);
}

// --- The reader ------------------------------------------------------------------------------

TEST(HelpFile, SectionsCommentsDuplicatesAndParagraphs)
{
    const auto h = ui::qt::HelpFile::parse(QString::fromUtf8(
        "\xEF\xBB\xBFIgnored preamble\r\n; a comment\r\n[50010]\r\n\r\nHeading\r\nFirst line\r\n; not shown\r\n  wrapped here.  \r\n"
        "\r\n\r\nSecond paragraph.\r\n\r\n"
        "[ 50020 ]\nΕλληνικά\n[abc]\nstill 50020\n[50010]\nduplicate\n[50030]\nOnly a heading\n\n"));
    EXPECT_EQ(h.size(), 3);
    // The heading stands on its own line; a paragraph's lines are joined; a
    // run of blank lines separates paragraphs by one blank line.
    EXPECT_EQ(h.topic(50010), "Heading\nFirst line wrapped here.\n\nSecond paragraph.");
    EXPECT_EQ(h.topic(50020), QString::fromUtf8("Ελληνικά\n[abc] still 50020"));
    EXPECT_EQ(h.topic(50030), "Only a heading");
    EXPECT_TRUE(h.topic(99999).isEmpty());
    EXPECT_EQ(h.topics(), (QList<int>{50010, 50020, 50030}));
    EXPECT_EQ(ui::qt::HelpFile::load("/nonexistent/help.hlp").size(), 0);
}

} // namespace
