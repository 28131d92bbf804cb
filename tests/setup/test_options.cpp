// The Options window: what the load shows, the input rules of the levels and
// pattern fields, Apply's 22 keys, OK, Browse and the notices.
#include "setup_fixture.h"

#include "shared/Messages.h"

using namespace setup_test;
using setup::frmOptions;

namespace {

class Options : public SetupTest {
protected:
    void SetUp() override
    {
        SetupTest::SetUp();
        // The settings of a new INI file.
        g().InitialPath = {QStringLiteral("C:\\Left"), QStringLiteral("C:\\Right")};
        g().NumberOfLevelsLimit = 1;
        g().DateFormatName = QStringLiteral("short");
        g().TimeFormatName = QStringLiteral("long");
        g().CommonFilesOnly = g().FolderIncludeExcludeEnabled = g().ShowOptionsBeforeComparison = true;
    }
    frmOptions win_;
    int beeps() { return int(desk.entries(ui::HeadlessDesktop::Entry::Beep).size()); }
    // The keys of the INI file in the order they stand, "key=value".
    QStringList iniKeys() { return iniText().split(QStringLiteral("\r\n")).filter(QStringLiteral("=")); }
};

struct LoadCase {
    int levels;
    const char* date;
    const char* time;
    int mode;
    bool hideTips, resizeFont;
    int levelsOption;
    bool fieldEnabled;
    int dateOption, timeOption;
};

TEST_F(Options, LoadShowsEverySetting)
{
    const LoadCase cases[] = {
        {1, "short", "long", 0, false, false, 1, false, 0, 1},
        {0, "Short", "short", 2, true, true, 0, false, 1, 0},
        {25, "", "long", 1, false, true, 2, true, 1, 1},
    };
    for (const LoadCase& t : cases) {
        g().NumberOfLevelsLimit = basGlobal::Integer(t.levels);
        g().DateFormatName = QLatin1String(t.date);
        g().TimeFormatName = QLatin1String(t.time);
        g().ComparisonMode = basGlobal::Integer(t.mode);
        g().HidePathToolTips = t.hideTips;
        g().ResizeFontEnabled = t.resizeFont;
        g().IncludeSystemFiles = t.levels != 1;
        win_.load();
        SCOPED_TRACE(t.levels);
        EXPECT_TRUE(win_.optNumberOfLevels[t.levelsOption]->value());
        EXPECT_EQ(win_.txtNumberOfLevels->text(), QString::number(t.levels));
        EXPECT_EQ(win_.txtNumberOfLevels->enabled(), t.fieldEnabled);
        EXPECT_EQ(win_.updNumberOfLevels->enabled(), t.fieldEnabled);
        EXPECT_TRUE(win_.optDateFormat[t.dateOption]->value());
        EXPECT_TRUE(win_.optTimeFormat[t.timeOption]->value());
        EXPECT_TRUE(win_.optComparison[t.mode]->value());
        EXPECT_EQ(win_.chkFileAttributes[2]->value(), t.levels != 1 ? 1 : 0);
        EXPECT_EQ(win_.chkCompareOnlyTheCommonFiles->value(), 1);
        EXPECT_EQ(win_.chkResizeFont->value(), t.resizeFont ? 1 : 0);   // no notice
        EXPECT_EQ(win_.chkResizeFont->tag(), QString());
        EXPECT_EQ(win_.lblInitialPath[0]->caption(), QStringLiteral("C:\\Left\\"));
        EXPECT_EQ(win_.lblInitialPath[1]->toolTipText(), t.hideTips ? QString() : QStringLiteral("C:\\Right\\"));
        EXPECT_EQ(win_.lblInitialPath[0]->backColor(), main.lstFirstLevelFolders[0]->backColor());
        EXPECT_TRUE(win_.cmdCancel->enabled());
        win_.unload();
    }
    g().LanguageIsGreek = true;
    win_.load();
    EXPECT_EQ(win_.caption(), QStringLiteral("Επιλογές"));
    EXPECT_EQ(win_.cmdOK->caption(), QStringLiteral("OK"));
    EXPECT_EQ(win_.optTimeFormat[0]->caption(), QStringLiteral(" Σύντομη "));
}

struct FieldCase {
    const char* start;
    std::function<void(frmOptions&)> act;
    const char* text;
    int beeps;
    int option;
};

TEST_F(Options, LevelsFieldKeysPastesAndLeaving)
{
    auto typed = [](const char* s) { return [s](frmOptions& w) { Input::type(*w.txtNumberOfLevels, QLatin1String(s)); }; };
    auto pasted = [](const char* s) { return [s](frmOptions& w) { Input::paste(*w.txtNumberOfLevels, QLatin1String(s)); }; };
    auto typedAndLeft = [](const char* s) {
        return [s](frmOptions& w) {
            Input::paste(*w.txtNumberOfLevels, QLatin1String(s));   // over the whole text
            Input::focus(*w.txtFilePattern);
        };
    };
    const FieldCase cases[] = {
        {"", typed("12345"), "1234", 1, 2},
        {"9999", typed("5"), "9999", 1, 2},          // all selected: still four digits
        {"", typed("a- ."), "", 4, 2},
        {"12", [](frmOptions& w) { Input::focus(*w.txtNumberOfLevels); Input::key(w, 'V', ui::vbCtrlMask); }, "12", 1, 2},
        {"12", pasted("12345"), "0", 0, 2},
        {"12", pasted("1.5"), "0", 0, 2},
        {"12", pasted(" 7"), "0", 0, 2},
        {"12", typedAndLeft(""), "1", 0, 1},
        {"", typedAndLeft("0000"), "0", 0, 0},
        {"", typedAndLeft("7"), "7", 0, 2},
        {"25", [](frmOptions& w) { Input::upDown(*w.updNumberOfLevels, +1); }, "26", 0, 2},
    };
    g().NumberOfLevelsLimit = 25;
    for (const FieldCase& t : cases) {
        SCOPED_TRACE(t.text);
        inside(win_, [&] {
            Input::focus(*win_.cmdApply);
            win_.txtNumberOfLevels->setText(QLatin1String(t.start));
            desk.clearTranscript();
            t.act(win_);
            EXPECT_EQ(win_.txtNumberOfLevels->text(), QLatin1String(t.text));
            EXPECT_EQ(beeps(), t.beeps);
            EXPECT_TRUE(win_.optNumberOfLevels[t.option]->value());
            EXPECT_EQ(win_.txtNumberOfLevels->enabled(), t.option == 2);
            Input::click(*win_.cmdCancel);
        });
    }
}

TEST_F(Options, PatternFieldLeftBlankBecomesAllFiles)
{
    inside(win_, [&] {
        Input::type(*win_.txtFilePattern, QStringLiteral("   "));
        Input::focus(*win_.cmdApply);
        EXPECT_EQ(win_.txtFilePattern->text(), QStringLiteral("*.*"));
        Input::type(*win_.txtFilePattern, QStringLiteral(" *.txt"));
        Input::focus(*win_.cmdApply);
        EXPECT_EQ(win_.txtFilePattern->text(), QStringLiteral(" *.txt"));
        Input::click(*win_.cmdOK);
    });
    EXPECT_EQ(g().FileTypesPattern, QStringLiteral(" *.txt"));
}

TEST_F(Options, ApplyWritesTheKeysInOrderAndTwice)
{
    const QStringList expected = {
        "PrimaryInitialPath=C:\\Left", "SecondaryInitialPath=C:\\Right", "NumberOfLevels=1", "DateFormat=short",
        "TimeFormat=long", "Comparison=1", "DisplayOnlyTheDifferences=False", "AbilityToExcludeFolders=True",
        "DisplayElapsedTime=False", "SaveGridColumnWidths=False", "CompareOnlyTheCommonFiles=True",
        "RemindMeToPrint=False", "NoToolTipPathNames=False", "ResizeFont=False", "DisplayOptions=True",
        "FailSafe=False", "ExtendedInformation=False", "Pattern=*.*", "Hidden=True", "System=True",
        "ReadOnly=True", "Archive=False",
    };
    desk.expectMsgBoxContaining(QStringLiteral("Reset settings"), QStringLiteral("reset all of the settings"),
                                ui::vbInformationOK, ui::vbOK);
    desk.expectMsgBox(QStringLiteral("Order of processing"), basGlobal::OrderOfProcessingText(false), ui::vbInformationOK,
                      ui::vbOK);
    inside(win_, [&] {
        Input::click(*win_.chkFileAttributes[4]);
        Input::click(*win_.optComparison[1]);
        Input::click(*win_.cmdApply);
        EXPECT_EQ(iniKeys(), expected);
        EXPECT_FALSE(win_.cmdCancel->enabled());
        EXPECT_EQ(win_.lblInitialPath[0]->toolTipText(), QStringLiteral("C:\\Left"));   // as stored
        Input::click(*win_.cmdReset);
        Input::click(*win_.cmdDisplayOrder);
        EXPECT_FALSE(win_.cmdCancel->enabled()) << "Reset and Order change nothing";
        Input::click(*win_.chkFailSafe);
        EXPECT_TRUE(win_.cmdCancel->enabled());
        Input::click(*win_.cmdOK);
    });
    EXPECT_TRUE(g().FailSafeChecks);
    EXPECT_TRUE(g().ResetSettingsOnExit);
    EXPECT_TRUE(iniText().contains(QStringLiteral("FailSafe=False"))) << "OK writes nothing";
}

TEST_F(Options, AFailedWriteIsReportedAndTheOthersAreWritten)
{
    inside(win_, [&] {
        win_.txtFilePattern->setText(QStringLiteral("*.a\r\n*.b"));   // a value the INI refuses
        const QString caption = basGlobal::ErrorReportCaption(QStringLiteral("Tarnwick"), QStringLiteral("OAC1000"));
        desk.expectMsgBoxContaining(caption, QStringLiteral("Error condition 5 "), ui::vbQuestionYesNo, ui::vbNo);
        Input::click(*win_.cmdApply);
        EXPECT_EQ(iniKeys().size(), 21);
        EXPECT_FALSE(iniText().contains(QStringLiteral("Pattern")));
        EXPECT_FALSE(win_.cmdCancel->enabled());
        // An INI that cannot be written at all: each key is reported.
        file(c, QStringLiteral("blocked"));
        g().IniFileName = QStringLiteral("C:\\blocked\\Quillmarsh.ini");
        for (int k = 0; k < 22; ++k)
            desk.expectMsgBoxContaining(caption, QStringLiteral("Error condition"), ui::vbQuestionYesNo, ui::vbNo);
        Input::click(*win_.cmdApply);
        EXPECT_FALSE(win_.cmdCancel->enabled());
        Input::closeBox(win_);
    });
}

TEST_F(Options, EnterOnOkWithAnEmptyLevelsFieldActsLikeAClick)
{
    inside(win_, [&] {
        win_.txtFilePattern->setText(QStringLiteral("  "));
        Input::click(*win_.optNumberOfLevels[2]);
        EXPECT_EQ(win_.activeControl(), win_.txtNumberOfLevels);
        Input::paste(*win_.txtNumberOfLevels, QString());
        Input::key(win_, ui::vbKeyReturn);
    });
    EXPECT_FALSE(win_.isLoaded());
    EXPECT_EQ(g().NumberOfLevelsLimit, 1);
    EXPECT_EQ(g().FileTypesPattern, QStringLiteral("*.*"));
    EXPECT_EQ(iniText(), QString());
}

TEST_F(Options, BrowseTakesTheRootAndIgnoresTheSamePath)
{
    g().VolumeIsCaseSensitive = false;
    inside(win_, [&] {
        desk.answerFolder(QStringLiteral("C:\\"));
        Input::click(*win_.cmdBrowseForInitialPath[0]);
        EXPECT_EQ(g().PendingInitialPath[0], QStringLiteral("C:"));
        EXPECT_EQ(win_.lblInitialPath[0]->caption(), QStringLiteral("C:\\"));
        EXPECT_EQ(win_.lblInitialPath[0]->toolTipText(), QStringLiteral("C:\\"));
        Input::click(*win_.cmdApply);
        EXPECT_EQ(win_.lblInitialPath[0]->toolTipText(), QStringLiteral("C:"));
        EXPECT_TRUE(iniKeys().contains(QStringLiteral("PrimaryInitialPath=C:")));
        desk.answerFolder(QStringLiteral("c:\\rIGHT\\"));   // equal under the case rule
        Input::click(*win_.cmdBrowseForInitialPath[1]);
        EXPECT_EQ(g().PendingInitialPath[1], QStringLiteral("C:\\Right"));
        EXPECT_FALSE(win_.cmdCancel->enabled());
        desk.cancelFileDialog(ui::FileDialogKind::Folder);
        Input::click(*win_.cmdBrowseForInitialPath[1]);
        EXPECT_FALSE(win_.cmdCancel->enabled());
        Input::click(*win_.chkNoToolTipPathNames);
        EXPECT_EQ(win_.lblInitialPath[1]->toolTipText(), QString());
        Input::click(*win_.chkNoToolTipPathNames);
        EXPECT_EQ(win_.lblInitialPath[0]->toolTipText(), QStringLiteral("C:"));
        Input::click(*win_.cmdCancel);
    });
    EXPECT_EQ(g().InitialPath[0], QStringLiteral("C:"));
}

TEST_F(Options, ResizeFontNoticeOnEveryUserClick)
{
    const QString text = QStringLiteral("The results of this option will be put into full effect, after we shut down and "
                                        "restart the application.");
    desk.expectMsgBox(QStringLiteral("Resize font"), text, ui::vbInformationOK, ui::vbOK);
    desk.expectMsgBox(QStringLiteral("Resize font"), text, ui::vbInformationOK, ui::vbOK);
    inside(win_, [&] {
        Input::click(*win_.chkResizeFont);
        Input::click(*win_.chkResizeFont);
        Input::click(*win_.cmdCancel);
    });
}

} // namespace
