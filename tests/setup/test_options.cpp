// The Options window: what the load shows, the input rules of the levels and
// pattern fields, Apply's 22 keys, OK, Browse and the notices.
#include "compare/compare_fixture.h"
#include "setup/frmOptions.h"
#include "shared/SettingsTable.h"

#include <map>
#include <set>

using setup::frmOptions;
using ui::Input;

namespace {

class Options : public compare_test::CompareTest {
protected:
    void SetUp() override
    {
        CompareTest::SetUp();
        // The settings of a start without an INI file.
        basGlobal::ApplyDefaultSettings(g());
        g().InitialPath = {QStringLiteral("C:\\Left"), QStringLiteral("C:\\Right")};
    }
    frmOptions win_;
    int beeps() { return int(desk.entries(ui::HeadlessDesktop::Entry::Beep).size()); }
    QString iniText() { QFile f(nativeOf(c, QStringLiteral("Quillmarsh.ini"))); return f.open(QIODevice::ReadOnly) ? QString(f.readAll()) : QString(); }
    // The keys of the INI file in the order they stand, "key=value".
    QStringList iniKeys() { return iniText().split(QStringLiteral("\r\n")).filter(QStringLiteral("=")); }
    // Runs `script` inside the window, shown modally and loaded afresh.
    template <class F>
    void inside(ui::Form& form, F script)
    {
        desk.onModal(form.name(), [script](ui::Form&) { script(); });
        form.show(ui::Modal);
    }
};

// The controls as one line: levels option, text and whether the field and
// its up-down are on; date, time and mode options; the attribute boxes; the
// ten other boxes; the resize box and its tag; the Secondary path tool tip.
QString shown(const frmOptions& w)
{
    auto index = [](const ui::ControlArray<ui::OptionButton>& group) {
        for (ui::OptionButton* o : group)
            if (o->value()) return QString::number(o->index());
        return QStringLiteral("-");
    };
    QString boxes;
    for (ui::Control* c : w.controls())
        if (c->kind() == ui::ControlKind::CheckBox && c->visible()) boxes += QString::number(static_cast<ui::CheckBox*>(c)->value());
    return index(w.optNumberOfLevels) + u' ' + w.txtNumberOfLevels->text()
        + (w.txtNumberOfLevels->enabled() && w.updNumberOfLevels->enabled() ? u'+' : u'-') + u' ' + index(w.optDateFormat)
        + index(w.optTimeFormat) + index(w.optComparison) + u' ' + boxes + u' ' + w.chkResizeFont->tag() + u'|'
        + w.lblInitialPath[1]->toolTipText();
}

TEST_F(Options, LoadShowsEverySetting)
{
    const std::pair<std::function<void(basGlobal::Globals&)>, const char*> cases[] = {
        {[](auto&) {}, "1 1- 010 111111000110001 |C:\\Right\\"},
        {[](auto& s) {   // only "short" is Short
             s.NumberOfLevelsLimit = 0, s.DateFormatName = QStringLiteral("Short"), s.TimeFormatName = QStringLiteral("short");
             s.ComparisonMode = 2, s.HidePathToolTips = s.ResizeFontEnabled = s.RemindToPrint = true;
         }, "0 0- 102 111111000110111 |"},
        {[](auto& s) {
             s.NumberOfLevelsLimit = 25, s.DateFormatName.clear(), s.ComparisonMode = 1;
             s.IncludeArchiveFiles = s.CommonFilesOnly = s.ShowOptionsBeforeComparison = false;
             s.FailSafeChecks = s.ShowExtendedInformation = s.SaveColumnWidths = true;
         }, "2 25+ 101 111010010111110 |"},
    };
    for (const auto& [set, expected] : cases) {   // each row changes the settings the row before left
        set(g());
        win_.load();   // the resize box checked without a notice
        EXPECT_EQ(shown(win_), QString::fromUtf8(expected));
        EXPECT_EQ(win_.lblInitialPath[0]->backColor(), basGlobal::StructureTintOf(0));
        win_.unload();
    }
}

// Starting from a text, one action on the levels field ('t' typing, 'p'
// pasting over the whole text, 'l' pasting and leaving, 'v' Ctrl+V, 'u' the
// up arrow); then the text, the beeps and the option selected.
struct FieldCase {
    const char* start;
    char action;
    const char* input;
    const char* text;
    int beeps;
    int option;
};

TEST_F(Options, LevelsFieldKeysPastesAndLeaving)
{
    const FieldCase cases[] = {
        {"", 't', "12345", "1234", 1, 2},  {"9999", 't', "5", "9999", 1, 2},   // all selected: still four digits
        {"", 't', "a- .", "", 4, 2},       {"12", 'v', "", "12", 1, 2},
        {"12", 'p', "12345", "0", 0, 2},   {"12", 'p', "1.5", "0", 0, 2},      {"12", 'p', " 7", "0", 0, 2},
        {"12", 'l', "", "1", 0, 1},        {"", 'l', "0000", "0", 0, 0},       {"", 'l', "7", "7", 0, 2},
        {"25", 'u', "", "26", 0, 2},       {"1234", 't', "\b\b56", "56", 0, 2},  // Backspace erases without a beep
    };
    g().NumberOfLevelsLimit = 25;
    for (const FieldCase& t : cases) {
        SCOPED_TRACE(t.text);
        inside(win_, [&] {
            ui::TextBox& box = *win_.txtNumberOfLevels;
            Input::focus(*win_.cmdApply);
            box.setText(QLatin1String(t.start));
            desk.clearTranscript();
            if (t.action == 't') Input::type(box, QLatin1String(t.input));
            if (t.action == 'p' || t.action == 'l') Input::paste(box, QLatin1String(t.input));
            if (t.action == 'l') Input::focus(*win_.txtFilePattern);
            if (t.action == 'v') Input::focus(box), Input::key(win_, 'V', ui::vbCtrlMask);
            if (t.action == 'u') Input::upDown(*win_.updNumberOfLevels, +1);
            EXPECT_EQ(box.text(), QLatin1String(t.text));
            EXPECT_EQ(beeps(), t.beeps);
            EXPECT_TRUE(win_.optNumberOfLevels[t.option]->value());
            EXPECT_EQ(box.enabled(), t.option == 2);
            Input::click(*win_.cmdCancel);
        });
    }
}

TEST_F(Options, ApplyWritesTheKeysInOrderAndTwice)
{
    const QStringList expected = {
        "PrimaryInitialPath=C:\\Left", "SecondaryInitialPath=C:\\Right", "NumberOfLevels=1", "DateFormat=short",
        "TimeFormat=long", "Comparison=1", "DisplayOnlyTheDifferences=False", "AbilityToExcludeFolders=True",
        "DisplayElapsedTime=False", "SaveGridColumnWidths=False", "CompareOnlyTheCommonFiles=True",
        "RemindMeToPrint=True", "NoToolTipPathNames=False", "ResizeFont=False", "DisplayOptions=True",
        "FailSafe=False", "ExtendedInformation=True", "Pattern=*.*", "Hidden=True", "System=True",
        "ReadOnly=True", "Archive=False",
    };
    desk.expectMsgBoxContaining(QStringLiteral("Reset settings"), QStringLiteral("reset all of the settings"),
                                ui::vbInformationOK, ui::vbOK);
    desk.expectMsgBox(QStringLiteral("Order of processing"), basGlobal::OrderOfProcessingText(false), ui::vbInformationOK,
                      ui::vbOK);
    for (int k = 0; k < 2; ++k)   // checked and unchecked: a notice each time
        desk.expectMsgBoxContaining(QStringLiteral("Resize font"), QStringLiteral("after we shut down and restart"),
                                    ui::vbInformationOK, ui::vbOK);
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
        Input::click(*win_.chkResizeFont);
        Input::click(*win_.chkResizeFont);
        Input::click(*win_.chkFailSafe);
        EXPECT_TRUE(win_.cmdCancel->enabled());
        Input::click(*win_.cmdApply);
        EXPECT_TRUE(iniKeys().contains(QStringLiteral("FailSafe=True")));
        Input::click(*win_.chkExtendedInfo);
        Input::click(*win_.cmdOK);
    });
    EXPECT_TRUE(!g().ShowExtendedInformation && g().ResetSettingsOnExit);
    EXPECT_TRUE(iniText().contains(QStringLiteral("ExtendedInformation=True"))) << "OK writes nothing";
}

TEST_F(Options, AFailedWriteIsReportedAndTheOthersAreWritten)
{
    inside(win_, [&] {
        win_.txtFilePattern->setText(QStringLiteral("*.a\r\n*.b"));   // a value the INI refuses
        const QString caption = basGlobal::ErrorReportCaption(QStringLiteral("Tarnwick"), QStringLiteral("OAC1000"));
        desk.expectMsgBoxContaining(caption, QStringLiteral("Error condition 5 "), ui::vbQuestionYesNo, ui::vbNo);
        Input::click(*win_.cmdApply);
        EXPECT_EQ(iniKeys().size(), 21);   // all but Pattern
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

// (The comparison's use of the pattern is the filters' test.)
TEST_F(Options, EnterOnOkBrowseAndTheBlankPattern)
{
    inside(win_, [&] {
        win_.txtFilePattern->setText(QStringLiteral("  "));
        Input::click(*win_.optNumberOfLevels[2]);
        EXPECT_EQ(win_.activeControl(), win_.txtNumberOfLevels);
        Input::paste(*win_.txtNumberOfLevels, QString());
        Input::key(win_, ui::vbKeyReturn);
    });
    EXPECT_EQ(QString::number(g().NumberOfLevelsLimit) + g().FileTypesPattern + iniText(), QStringLiteral("1*.*"));
    g().VolumeIsCaseSensitive = false;
    inside(win_, [&] {
        ui::Label& primary = *win_.lblInitialPath[0];
        desk.answerFolder(QStringLiteral("C:\\"));
        Input::click(*win_.cmdBrowseForInitialPath[0]);
        EXPECT_EQ(g().PendingInitialPath[0] + u'|' + primary.caption() + u'|' + primary.toolTipText(), "C:|C:\\|C:\\");
        Input::click(*win_.cmdApply);
        EXPECT_EQ(primary.toolTipText(), QStringLiteral("C:"));
        EXPECT_TRUE(iniKeys().contains(QStringLiteral("PrimaryInitialPath=C:")));
        desk.answerFolder(QStringLiteral("c:\\rIGHT\\"));   // equal under the case rule
        Input::click(*win_.cmdBrowseForInitialPath[1]);
        desk.cancelFileDialog(ui::FileDialogKind::Folder);
        Input::click(*win_.cmdBrowseForInitialPath[1]);
        EXPECT_EQ(g().PendingInitialPath[1], QStringLiteral("C:\\Right"));
        EXPECT_FALSE(win_.cmdCancel->enabled());
        Input::click(*win_.chkNoToolTipPathNames);
        EXPECT_EQ(win_.lblInitialPath[1]->toolTipText(), QString());
        Input::click(*win_.chkNoToolTipPathNames);
        EXPECT_EQ(primary.toolTipText(), QStringLiteral("C:"));
        // A blank pattern is filled on leaving; one typed with blanks is taken as typed.
        Input::paste(*win_.txtFilePattern, QStringLiteral("   "));
        Input::focus(*win_.cmdApply);
        EXPECT_EQ(win_.txtFilePattern->text(), QStringLiteral("*.*"));
        Input::paste(*win_.txtFilePattern, QStringLiteral(" *.txt"));
        Input::click(*win_.cmdOK);
    });
    EXPECT_EQ(g().FileTypesPattern, QStringLiteral(" *.txt"));
}

// The window opens with the focus on OK: Enter at once confirms (and the
// comparison goes on); no folder dialog asks for a new initial path.
TEST_F(Options, OpensWithTheFocusOnOkSoEnterConfirmsAtOnce)
{
    QString focused;
    inside(win_, [&] {
        focused = win_.activeControl() ? win_.activeControl()->name() : QString();
        Input::key(win_, ui::vbKeyReturn);
    });
    EXPECT_EQ(focused, QStringLiteral("cmdOK"));
    EXPECT_FALSE(win_.isLoaded());
    EXPECT_EQ(desk.entries(ui::HeadlessDesktop::Entry::FileDialog).size(), 0);
}

// After an Apply nothing is pending, so Cancel is off; any value the user
// changes next, whichever box, option or field it is, turns it on again.
TEST_F(Options, EveryChangeAfterAnApplyMakesCancelAvailableAgain)
{
    desk.expectMsgBoxContaining(QStringLiteral("Resize font"), QStringLiteral("after we shut down and restart"),
                                ui::vbInformationOK, ui::vbOK);
    QStringList changed, tried;
    inside(win_, [&] {
        const auto afterApply = [&](ui::Control& control, auto change) {
            const QString name = control.name() + (control.index() >= 0 ? QString::number(control.index()) : QString());
            Input::click(*win_.cmdApply);
            ASSERT_FALSE(win_.cmdCancel->enabled()) << name.toStdString();
            change();
            tried << name;
            if (win_.cmdCancel->enabled())
                changed << name;
        };
        for (ui::Control* c : win_.controls()) {
            if (!c->visible())
                continue;
            if (c->kind() == ui::ControlKind::CheckBox)
                afterApply(*c, [&] { Input::click(*c); });
            if (c->kind() == ui::ControlKind::OptionButton && !static_cast<ui::OptionButton*>(c)->value())
                afterApply(*c, [&] { Input::click(*c); });
        }
        afterApply(*win_.txtFilePattern, [&] { Input::paste(*win_.txtFilePattern, QStringLiteral("*.txt")); });
        Input::click(*win_.optNumberOfLevels[2]);
        Input::paste(*win_.txtNumberOfLevels, QStringLiteral("7"));   // a number Apply keeps as a number
        afterApply(*win_.txtNumberOfLevels, [&] { Input::paste(*win_.txtNumberOfLevels, QStringLiteral("8")); });
        desk.answerFolder(QStringLiteral("C:\\Elsewhere\\"));
        afterApply(*win_.cmdBrowseForInitialPath[0], [&] { Input::click(*win_.cmdBrowseForInitialPath[0]); });
        Input::click(*win_.cmdCancel);
    });
    EXPECT_EQ(changed, tried);
    EXPECT_GE(tried.size(), 20);
    EXPECT_TRUE(changed.contains(QStringLiteral("chkResizeFont")));
}

// The attribute boxes stand in two columns: Hidden above System, Read only
// above Archive.
TEST_F(Options, TheAttributeBoxesStandInTwoColumnsOfTwo)
{
    win_.load();
    const auto& box = win_.chkFileAttributes;
    const auto above = [](const ui::Control* upper, const ui::Control* lower) {
        return upper->left() == lower->left() && upper->top() + upper->height() <= lower->top();
    };
    EXPECT_EQ(box[1]->caption() + u'/' + box[2]->caption() + u'/' + box[3]->caption() + u'/' + box[4]->caption(),
              QStringLiteral("Hidden/System/Read only/Archive"));
    EXPECT_TRUE(above(box[1], box[2]));
    EXPECT_TRUE(above(box[3], box[4]));
    EXPECT_TRUE(box[1]->top() == box[3]->top() && box[1]->left() + box[1]->width() <= box[3]->left());
    win_.unload();
}

QStringList sorted(QStringList l)
{
    l.sort();
    return l;
}

// The 22 settings Apply writes, as the INI spells them, from the program's own values.
QStringList settingsNow()
{
    QStringList out;
    for (const basGlobal::Setting* s : basGlobal::OptionsApplySettings())
        out << QLatin1String(s->key) + u'=' + basGlobal::SettingText(*s, basGlobal::globals());
    return out;
}

// Every box, option and field reaches its own setting, whichever way it is
// turned: Apply takes and writes them, OK takes them and writes nothing,
// Escape takes nothing.
TEST_F(Options, EachControlTakesItsOwnSettingEitherWay)
{
    const QStringList defaults = settingsNow();
    const QStringList flipped = {
        "PrimaryInitialPath=C:\\Left", "SecondaryInitialPath=C:\\Right", "NumberOfLevels=37", "DateFormat=long",
        "TimeFormat=short", "Comparison=2", "DisplayOnlyTheDifferences=True", "AbilityToExcludeFolders=False",
        "DisplayElapsedTime=True", "SaveGridColumnWidths=True", "CompareOnlyTheCommonFiles=False",
        "RemindMeToPrint=False", "NoToolTipPathNames=True", "ResizeFont=True", "DisplayOptions=False",
        "FailSafe=True", "ExtendedInformation=False", "Pattern=*.txt", "Hidden=False", "System=False",
        "ReadOnly=False", "Archive=False",
    };
    const auto flipEveryBox = [&] {
        for (ui::Control* c : win_.controls())
            if (c->kind() == ui::ControlKind::CheckBox && c->visible()) Input::click(*c);
    };
    for (int k = 0; k < 4; ++k)   // the resize box turned three times, each with its notice
        desk.allowMsgBox(QStringLiteral("Resize font"),
                         QStringLiteral("The results of this option will be put into full effect, after we shut down and "
                                        "restart the application."),
                         ui::vbInformationOK, ui::vbOK);
    inside(win_, [&] {
        flipEveryBox();
        Input::click(*win_.optDateFormat[1]);
        Input::click(*win_.optTimeFormat[0]);
        Input::click(*win_.optComparison[2]);
        Input::click(*win_.optNumberOfLevels[2]);
        Input::paste(*win_.txtNumberOfLevels, QStringLiteral("37"));
        Input::paste(*win_.txtFilePattern, QStringLiteral("*.txt"));
        Input::click(*win_.cmdApply);
        EXPECT_EQ(sorted(settingsNow()), sorted(flipped));
        EXPECT_EQ(iniKeys(), flipped);
        EXPECT_EQ(win_.lblInitialPath[0]->toolTipText() + win_.lblInitialPath[1]->toolTipText(), QString())
            << "no path tool tips once applied";
        EXPECT_FALSE(win_.cmdCancel->enabled());
        // Back again, the levels through the first-level option, the pattern through its button.
        flipEveryBox();
        Input::click(*win_.optDateFormat[0]);
        Input::click(*win_.optTimeFormat[1]);
        Input::click(*win_.optComparison[0]);
        Input::click(*win_.optNumberOfLevels[1]);
        EXPECT_EQ(win_.txtNumberOfLevels->text(), QStringLiteral("1"));
        EXPECT_FALSE(win_.txtNumberOfLevels->enabled() || win_.updNumberOfLevels->enabled());
        Input::click(*win_.cmdFilePatternAll);
        EXPECT_EQ(win_.txtFilePattern->text(), QStringLiteral("*.*"));
        Input::click(*win_.cmdOK);
    });
    EXPECT_FALSE(win_.isLoaded());
    EXPECT_EQ(settingsNow(), defaults);
    EXPECT_EQ(iniKeys(), flipped) << "OK writes nothing";
    // The load shows them back; a change then left with Escape takes nothing.
    inside(win_, [&] {
        EXPECT_EQ(shown(win_), QStringLiteral("1 1- 010 111111000110001 |C:\\Right\\"));
        flipEveryBox();
        Input::click(*win_.optComparison[1]);
        Input::click(*win_.optNumberOfLevels[0]);
        EXPECT_EQ(win_.txtNumberOfLevels->text(), QStringLiteral("0"));
        Input::key(win_, ui::vbKeyEscape);
    });
    EXPECT_FALSE(win_.isLoaded());
    EXPECT_EQ(settingsNow(), defaults);
    EXPECT_EQ(iniKeys(), flipped);
}

// A comparison mode without an option (a damaged value) selects none, and
// OK then keeps it; the paths show with their separator, each side tinted.
TEST_F(Options, LoadShowsThePathsAndAModeWithoutAnOptionSelectsNone)
{
    g().StructureTint = {0x111111u, 0x222222u};
    for (const int mode : {0, 3, -1}) {
        g().ComparisonMode = basGlobal::Integer(mode);
        inside(win_, [&] {
            EXPECT_EQ(shown(win_).section(u' ', 2, 2), mode == 0 ? QStringLiteral("010") : QStringLiteral("01-")) << mode;
            for (int i = 0; i < 2; ++i) {
                EXPECT_EQ(win_.lblInitialPath[i]->caption(), i == 0 ? QStringLiteral("C:\\Left\\") : QStringLiteral("C:\\Right\\"));
                EXPECT_EQ(win_.lblInitialPath[i]->toolTipText(), win_.lblInitialPath[i]->caption());
                EXPECT_EQ(win_.lblInitialPath[i]->backColor(), g().StructureTint[std::size_t(i)]);
            }
            EXPECT_TRUE(win_.cmdCancel->enabled());
            Input::click(*win_.cmdOK);
        });
        EXPECT_EQ(g().ComparisonMode, mode);
    }
}

// The levels field's keys at the edges of what it takes, the up-down at its
// ends, and where the focus goes when the up-down or a right click is used.
TEST_F(Options, LevelsFieldEdgesAndTheUpDown)
{
    g().NumberOfLevelsLimit = 9999;
    inside(win_, [&] {
        ui::TextBox& box = *win_.txtNumberOfLevels;
        ui::UpDown& upd = *win_.updNumberOfLevels;
        const auto put = [&](const char* text) {   // pasted over the whole text, as after a click into the field
            Input::focus(*win_.cmdApply);
            Input::paste(box, QLatin1String(text));
        };
        EXPECT_EQ(upd.value(), 9999);
        Input::focus(*win_.cmdApply);
        Input::upDown(upd, +1);
        EXPECT_EQ(box.text(), QStringLiteral("9999"));
        Input::upDown(upd, -1);
        EXPECT_EQ(box.text(), QStringLiteral("9998"));
        EXPECT_EQ(win_.activeControl(), &box) << "the up-down hands the focus to its field";
        put("40");
        Input::upDown(upd, -1);
        EXPECT_EQ(box.text(), QStringLiteral("39"));
        put("10000");
        EXPECT_EQ(box.text(), QStringLiteral("0"));
        Input::upDown(upd, -1);
        EXPECT_EQ(box.text(), QStringLiteral("0"));
        Input::click(*win_.optNumberOfLevels[2]);   // into the field, its text selected
        desk.clearTranscript();
        Input::type(box, QStringLiteral("/0:9"));
        EXPECT_EQ(box.text(), QStringLiteral("09"));
        EXPECT_EQ(beeps(), 2);
        Input::upDown(upd, +1);   // "09" is left as typed: the up-down steps from the 0 it had
        EXPECT_EQ(box.text(), QStringLiteral("1"));
        // A right click on "Specific number" neither selects it nor moves the focus.
        Input::click(*win_.optNumberOfLevels[2]);   // into the field, its "1" selected
        Input::paste(box, QStringLiteral("25"));
        Input::focus(*win_.cmdApply);
        Input::click(*win_.optNumberOfLevels[0]);
        EXPECT_EQ(win_.activeControl(), win_.optNumberOfLevels[0]) << "the 0 it writes does not call the field";
        Input::focus(*win_.cmdApply);
        Input::rightClick(*win_.optNumberOfLevels[2]);
        EXPECT_TRUE(win_.optNumberOfLevels[0]->value());
        EXPECT_EQ(win_.activeControl(), win_.cmdApply);
        EXPECT_FALSE(box.enabled() || upd.enabled());
        Input::click(*win_.cmdCancel);
    });
    EXPECT_EQ(g().NumberOfLevelsLimit, 9999);
}

// Opened at "All levels", then "Specific number" stepped with the arrows:
// an arrow pressed later from elsewhere still takes the focus to the field.
TEST_F(Options, ArrowsFromElsewhereCallTheFieldAfterOpeningAtAllLevels)
{
    g().NumberOfLevelsLimit = 0;
    inside(win_, [&] {
        Input::click(*win_.optNumberOfLevels[2]);
        Input::upDown(*win_.updNumberOfLevels, +1);
        Input::upDown(*win_.updNumberOfLevels, +1);
        Input::focus(*win_.cmdApply);
        EXPECT_TRUE(win_.optNumberOfLevels[2]->value());
        Input::upDown(*win_.updNumberOfLevels, +1);
        EXPECT_EQ(win_.txtNumberOfLevels->text(), QStringLiteral("3"));
        EXPECT_EQ(win_.activeControl(), win_.txtNumberOfLevels);
        Input::click(*win_.cmdOK);
    });
    EXPECT_EQ(g().NumberOfLevelsLimit, 3);
}

// Tools > Options opens the one window loaded afresh each time, so it shows
// the settings as they are now, and returns once it is closed.
TEST_F(Options, TheWindowOpensAfreshEachTime)
{
    for (const bool failSafe : {true, false}) {
        g().FailSafeChecks = failSafe;
        bool shownAsSet = false;
        desk.onModal(QStringLiteral("frmOptions"), [&](ui::Form&) {
            shownAsSet = setup::OptionsWindow().chkFailSafe->value() == (failSafe ? 1 : 0);
            Input::click(*setup::OptionsWindow().cmdCancel);
        });
        setup::ShowOptionsWindow();
        EXPECT_TRUE(shownAsSet) << failSafe;
        EXPECT_FALSE(setup::OptionsWindow().isLoaded());
    }
}

// The window in Greek: its captions and the notices of Reset and Resize.
TEST_F(Options, GreekCaptionsAndNotices)
{
    g().LanguageIsGreek = true;
    desk.expectMsgBox(QStringLiteral("Επαναφορά ρυθμίσεων"),
                      QStringLiteral("Θα ερωτηθείτε για το εάν θέλετε να επαναφερθούν όλες οι ρυθμίσεις στις αρχικές τους "
                                     "τιμές ή όχι, κατά την διάρκεια του τερματισμού της εφαρμογής."),
                      ui::vbInformationOK, ui::vbOK);
    desk.expectMsgBoxContaining(QStringLiteral("Αλλαγή μεγέθους γραμματοσειράς"), QStringLiteral("επόμενη εκκίνηση"),
                                ui::vbInformationOK, ui::vbOK);
    inside(win_, [&] {
        EXPECT_EQ(win_.caption(), QStringLiteral("Επιλογές"));
        EXPECT_EQ(win_.cmdApply->caption() + u'/' + win_.cmdCancel->caption() + u'/' + win_.optTimeFormat[0]->caption()
                      + u'/' + win_.chkFileAttributes[3]->caption() + u'/' + win_.cmdFilePatternAll->caption(),
                  QStringLiteral("Εφαρμογή/Άκυρο/ Σύντομη /Μόνον για ανάγνωση/*.*"));
        Input::click(*win_.cmdReset);
        Input::click(*win_.chkResizeFont);
        Input::click(*win_.cmdCancel);
    });
    EXPECT_TRUE(g().ResetSettingsOnExit) << "Reset is not taken back by Cancel";
    EXPECT_FALSE(g().ResizeFontEnabled);
}

// A right click on any control asks for its own help topic, each control
// another; the two sides' browse buttons and paths have theirs in order.
TEST_F(Options, EachControlAsksForItsOwnHelpTopic)
{
    std::map<QString, int> asked;
    inside(win_, [&] {
        for (ui::Control* c : win_.controls()) {
            if (!c->visible() || c->kind() == ui::ControlKind::FormResizer || c == win_.lblFilePattern) continue;
            const QString who = c->name() + (c->index() >= 0 ? QString::number(c->index()) : QString());
            desk.clearTranscript();
            if (Input::canTakeInput(*c)) Input::rightClick(*c);
            const auto help = desk.entries(ui::HeadlessDesktop::Entry::Help);
            asked[who] = help.size() == 1 ? help[0].style : -c->helpTopic();
        }
        Input::click(*win_.cmdCancel);
    });
    std::set<int> distinct;
    for (const auto& [who, topic] : asked) {
        EXPECT_NE(topic, 0) << who.toStdString();
        distinct.insert(std::abs(topic));
    }
    EXPECT_EQ(distinct.size(), asked.size());
    EXPECT_EQ(asked.size(), 44u);
    EXPECT_EQ(asked[QStringLiteral("cmdBrowseForInitialPath0")], setup::htBrowsePrimary);
    EXPECT_EQ(asked[QStringLiteral("cmdBrowseForInitialPath1")], setup::htBrowseSecondary);
    EXPECT_EQ(asked[QStringLiteral("lblInitialPath0")], setup::htInitialPathPrimary);
    EXPECT_EQ(asked[QStringLiteral("lblInitialPath1")], setup::htInitialPathSecondary);
    EXPECT_EQ(asked[QStringLiteral("chkFileAttributes1")], setup::htHidden);
    EXPECT_EQ(asked[QStringLiteral("chkFileAttributes4")], setup::htArchive);
    EXPECT_EQ(asked[QStringLiteral("optNumberOfLevels0")], setup::htAllLevels);
    EXPECT_EQ(asked[QStringLiteral("optNumberOfLevels2")], setup::htSpecificNumber);
    EXPECT_EQ(asked[QStringLiteral("optComparison0")], setup::htLocalComputer);
    EXPECT_EQ(asked[QStringLiteral("optComparison2")], setup::htPreparation);
    EXPECT_EQ(asked[QStringLiteral("cmdReset")], setup::htReset);
    EXPECT_EQ(asked[QStringLiteral("cmdOK")], setup::htOK);
    EXPECT_EQ(asked[QStringLiteral("txtNumberOfLevels")], -setup::htNumberOfLevelsText) << "disabled: read, not asked";
}

} // namespace
