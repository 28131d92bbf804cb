#include "setup/frmOptions.h"

#include "platform/AppError.h"
#include "shared/IniAccess.h"
#include "shared/Messages.h"
#include "shared/PathText.h"
#include "shared/SettingsTable.h"
#include "shared/Texts.h"
#include "shared/basCommonDialogManager.h"
#include "shared/basGlobal.h"
#include "shared/frmHiddenForm.h"
#include "ui/Desktop.h"

namespace setup {

using basGlobal::globals;
using basGlobal::Txt;

namespace {

// Twips. The client area is 11292 x 7932.
constexpr int kClientWidth = 11292;
constexpr int kClientHeight = 7932;
constexpr int kRow = 285;            // one check box or option line
constexpr int kPathLabelWidth = 8412;
constexpr ui::Color kSysTitleBarText = 0x80000009u;
constexpr int kKeyBackspace = 8;

bool checked(const ui::CheckBox* box) { return box->value() == 1; }

// The number-of-levels field as a setting: the text converted to a 16-bit
// whole number (blanks around and a sign allowed); false when it does not
// convert.
bool LevelsTextToInteger(const QString& text, basGlobal::Integer& out)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (!ok || value < -32768 || value > 32767)
        return false;
    out = basGlobal::Integer(value);
    return true;
}

} // namespace

frmOptions::frmOptions() : ui::Form(QStringLiteral("frmOptions"))
{
    Load = [this] { Form_Load(); };
}

void frmOptions::build()
{
    move(left(), top(), kClientWidth + 2 * 60, kClientHeight + 400);
    buildControls();
    wireHandlers();
}

void frmOptions::buildControls()
{
    auto check = [this](ui::CheckBox*& slot, const char* name, ui::Control* in, int x, int y, int w, int topic) {
        slot = add<ui::CheckBox>(QLatin1String(name), -1, in);
        slot->move(x, y, w, kRow);
        slot->setHelpTopic(topic);
    };
    auto option = [this](ui::ControlArray<ui::OptionButton>& array, const char* name, int index, ui::Control* in,
                         int x, int y, int w, int topic) {
        auto* o = addTo(array, QLatin1String(name), index, in);
        o->move(x, y, w, kRow);
        o->setHelpTopic(topic);
    };
    auto frame = [this](ui::Frame*& slot, const char* name, int x, int y, int w, int h, int topic) {
        slot = add<ui::Frame>(QLatin1String(name));
        slot->move(x, y, w, h);
        slot->setHelpTopic(topic);
    };

    // Initial paths: a Browse button with its path to the right, Primary first.
    frame(fraInitialPaths, "fraInitialPaths", 120, 60, 11052, 1080, htInitialPaths);
    for (int i = 0; i < 2; ++i) {
        auto* browse = addTo(cmdBrowseForInitialPath, QStringLiteral("cmdBrowseForInitialPath"), i, fraInitialPaths);
        browse->move(180, 300 + 390 * i, 2280, 345);
        browse->setHelpTopic(i == 0 ? htBrowsePrimary : htBrowseSecondary);
        auto* path = addTo(lblInitialPath, QStringLiteral("lblInitialPath"), i, fraInitialPaths);
        path->move(2580, 330 + 390 * i, kPathLabelWidth, kRow);
        path->setForeColor(ui::kSysWindowText);
        path->setHelpTopic(i == 0 ? htInitialPathPrimary : htInitialPathSecondary);
    }

    // Three columns: attributes and types, number of levels, date and time.
    frame(fraFileAttributes, "fraFileAttributes", 120, 1260, 4440, 1860, htFileAttributes);
    auto* unused = addTo(chkFileAttributes, QStringLiteral("chkFileAttributes"), 0, fraFileAttributes);
    unused->setVisible(false);
    const int attributeTopic[5] = {0, htHidden, htSystem, htReadOnly, htArchive};
    for (int k = 1; k <= 4; ++k) {
        auto* box = addTo(chkFileAttributes, QStringLiteral("chkFileAttributes"), k, fraFileAttributes);
        box->move(k <= 2 ? 180 : 2040, k % 2 == 1 ? 330 : 660, k <= 2 ? 1800 : 2280, kRow);
        box->setHelpTopic(attributeTopic[k]);
    }
    cmdFilePatternAll = add<ui::CommandButton>(QStringLiteral("cmdFilePatternAll"), -1, fraFileAttributes);
    cmdFilePatternAll->move(180, 1140, 615, 540);
    cmdFilePatternAll->setHelpTopic(htFilePatternAll);
    lblFilePattern = add<ui::Label>(QStringLiteral("lblFilePattern"), -1, fraFileAttributes);
    lblFilePattern->move(915, 1080, 3345, 255);
    txtFilePattern = add<ui::TextBox>(QStringLiteral("txtFilePattern"), -1, fraFileAttributes);
    txtFilePattern->move(915, 1365, 3345, 315);
    txtFilePattern->setHelpTopic(htFilePattern);

    frame(fraNumberOfLevels, "fraNumberOfLevels", 4680, 1260, 3300, 1860, htNumberOfLevels);
    const int levelTopic[3] = {htAllLevels, htFirstLevel, htSpecificNumber};
    for (int k = 0; k < 3; ++k)
        option(optNumberOfLevels, "optNumberOfLevels", k, fraNumberOfLevels, 180, 330 + 330 * k, 3000, levelTopic[k]);
    txtNumberOfLevels = add<ui::TextBox>(QStringLiteral("txtNumberOfLevels"), -1, fraNumberOfLevels);
    txtNumberOfLevels->move(480, 1365, 1080, 315);
    txtNumberOfLevels->setAlignment(2);
    txtNumberOfLevels->setHelpTopic(htNumberOfLevelsText);
    updNumberOfLevels = add<ui::UpDown>(QStringLiteral("updNumberOfLevels"), -1, fraNumberOfLevels);
    updNumberOfLevels->move(1560, 1365, 255, 315);
    updNumberOfLevels->setMin(0);
    updNumberOfLevels->setMax(9999);
    updNumberOfLevels->setIncrement(1);
    updNumberOfLevels->setBuddy(txtNumberOfLevels, ui::UpDown::BuddyProperty::Text);
    updNumberOfLevels->setHelpTopic(htNumberOfLevelsUpDown);

    frame(fraDateFormat, "fraDateFormat", 8100, 1260, 3072, 870, htDateFormat);
    option(optDateFormat, "optDateFormat", 0, fraDateFormat, 180, 270, 2760, htDateShort);
    option(optDateFormat, "optDateFormat", 1, fraDateFormat, 180, 540, 2760, htDateLong);
    frame(fraTimeFormat, "fraTimeFormat", 8100, 2250, 3072, 870, htTimeFormat);
    option(optTimeFormat, "optTimeFormat", 0, fraTimeFormat, 180, 270, 2760, htTimeShort);
    option(optTimeFormat, "optTimeFormat", 1, fraTimeFormat, 180, 540, 2760, htTimeLong);

    // Comparison: the modes on the left, its three switches on the right.
    frame(fraComparison, "fraComparison", 120, 3240, 11052, 1260, htComparison);
    const int modeTopic[3] = {htLocalComputer, htOffLine, htPreparation};
    for (int k = 0; k < 3; ++k)
        option(optComparison, "optComparison", k, fraComparison, 180, 330 + 300 * k, 4380, modeTopic[k]);
    check(chkAbilityToExcludeFolders, "chkAbilityToExcludeFolders", fraComparison, 4680, 330, 6240,
          htAbilityToExcludeFolders);
    check(chkCompareOnlyTheCommonFiles, "chkCompareOnlyTheCommonFiles", fraComparison, 4680, 630, 6240,
          htCompareOnlyTheCommonFiles);
    check(chkDisplayOnlyTheDifferences, "chkDisplayOnlyTheDifferences", fraComparison, 4680, 930, 6240,
          htDisplayOnlyTheDifferences);

    // Display switches: two columns, then three across the whole width.
    check(chkSaveGridColumnWidths, "chkSaveGridColumnWidths", nullptr, 240, 4650, 5400, htSaveGridColumnWidths);
    check(chkDisplayElapsedTime, "chkDisplayElapsedTime", nullptr, 240, 4950, 5400, htDisplayElapsedTime);
    check(chkRemindMeToPrint, "chkRemindMeToPrint", nullptr, 240, 5250, 5400, htRemindMeToPrint);
    check(chkExtendedInfo, "chkExtendedInfo", nullptr, 5880, 4650, 5280, htExtendedInfo);
    check(chkFailSafe, "chkFailSafe", nullptr, 5880, 4950, 5280, htFailSafe);
    check(chkNoToolTipPathNames, "chkNoToolTipPathNames", nullptr, 240, 5700, 10920, htNoToolTipPathNames);
    check(chkResizeFont, "chkResizeFont", nullptr, 240, 6000, 10920, htResizeFont);
    check(chkDisplayOptions, "chkDisplayOptions", nullptr, 120, 6330, 11052, htDisplayOptions);
    chkDisplayOptions->setHeight(345);
    chkDisplayOptions->setBackColor(ui::rgb(128, 128, 128));
    chkDisplayOptions->setForeColor(kSysTitleBarText);

    // Five buttons of one size.
    ui::CommandButton** buttons[5] = {&cmdReset, &cmdCancel, &cmdDisplayOrder, &cmdApply, &cmdOK};
    const char* names[5] = {"cmdReset", "cmdCancel", "cmdDisplayOrder", "cmdApply", "cmdOK"};
    const int topics[5] = {htReset, htCancel, htDisplayOrder, htApply, htOK};
    for (int k = 0; k < 5; ++k) {
        *buttons[k] = add<ui::CommandButton>(QLatin1String(names[k]));
        (*buttons[k])->move(120 + 2250 * k, 7200, 2052, 492);
        (*buttons[k])->setHelpTopic(topics[k]);
    }
    setDefaultButton(cmdOK);
    setCancelButton(cmdCancel);
    // OK first, then the window top to bottom: the window opens with the
    // focus on OK, so Enter at once confirms and starts the comparison
    // (a focused Browse... button would ask for a new initial path).
    cmdOK->setTabIndex(0);

    lblInitialPathAuxiliary = add<ui::Label>(QStringLiteral("lblInitialPathAuxiliary"));
    lblInitialPathAuxiliary->move(2700, 7200, kPathLabelWidth, kRow);
    lblInitialPathAuxiliary->setVisible(false);
    freeSizer1 = add<ui::FormResizer>(QStringLiteral("freeSizer1"));
}

void frmOptions::wireHandlers()
{
    // Every change of a value enables Cancel; a few do more.
    for (ui::CheckBox* box : chkFileAttributes)
        box->Click = [this] { enableCancel(); };
    for (ui::CheckBox* box : {chkCompareOnlyTheCommonFiles, chkDisplayOnlyTheDifferences, chkAbilityToExcludeFolders,
                              chkSaveGridColumnWidths, chkDisplayElapsedTime, chkRemindMeToPrint, chkExtendedInfo,
                              chkFailSafe, chkDisplayOptions})
        box->Click = [this] { enableCancel(); };
    chkNoToolTipPathNames->Click = [this] { chkNoToolTipPathNames_Click(); };
    chkResizeFont->Click = [this] { chkResizeFont_Click(); };
    for (auto* group : {&optDateFormat, &optTimeFormat, &optComparison})
        for (ui::OptionButton* o : *group)
            o->Click = [this] { enableCancel(); };

    for (int k = 0; k < 3; ++k) {
        optNumberOfLevels[k]->Click = [this, k] { optNumberOfLevels_Click(k); };
    }
    // A left click on "Specific number" goes on into its field. The option
    // is selected first, so the field is enabled when the focus arrives.
    optNumberOfLevels[2]->MouseUp = [this](int button, int, int, int) {
        if (button != ui::vbLeftButton)
            return;
        optNumberOfLevels[2]->setValue(true);
        if (txtNumberOfLevels->effectivelyEnabled() && isShown())
            txtNumberOfLevels->setFocus();
    };
    auto selectAll = [](ui::TextBox* box) {
        box->setSelStart(0);
        box->setSelLength(int(box->text().size()));
    };
    txtNumberOfLevels->GotFocus = [this, selectAll] { selectAll(txtNumberOfLevels); };
    txtNumberOfLevels->KeyPress = [this](int& key) { txtNumberOfLevels_KeyPress(key); };
    txtNumberOfLevels->Change = [this] { txtNumberOfLevels_Change(); };
    txtNumberOfLevels->LostFocus = [this] { txtNumberOfLevels_LostFocus(); };
    updNumberOfLevels->Change = [this] { updNumberOfLevels_Change(); };
    txtFilePattern->GotFocus = [this, selectAll] { selectAll(txtFilePattern); };
    txtFilePattern->Change = [this] { enableCancel(); };
    txtFilePattern->LostFocus = [this] { txtFilePattern_LostFocus(); };

    cmdFilePatternAll->Click = [this] { txtFilePattern->setText(QStringLiteral("*.*")); };
    for (int i = 0; i < 2; ++i)
        cmdBrowseForInitialPath[i]->Click = [this, i] { cmdBrowseForInitialPath_Click(i); };
    cmdApply->Click = [this] { cmdApply_Click(); };
    cmdOK->Click = [this] { cmdOK_Click(); };
    cmdCancel->Click = [this] { unload(); };
    cmdReset->Click = [this] { cmdReset_Click(); };
    cmdDisplayOrder->Click = [this] { basGlobal::ShowOrderOfProcessing(this); };
}

// --- Loading -------------------------------------------------------------------------------

void frmOptions::setCaptions()
{
    struct Caption {
        ui::Control* control;
        const char16_t* english;
        const char16_t* greek;
    };
    const Caption captions[] = {
        {fraInitialPaths, u" Initial paths ", u" Αρχικές διαδρομές "},
        {cmdBrowseForInitialPath[0], u"Browse...", u"Αναζήτηση..."},
        {cmdBrowseForInitialPath[1], u"Browse...", u"Αναζήτηση..."},
        {fraFileAttributes, u" File attributes and types ", u" Ιδιότητες και τύποι αρχείων "},
        {chkFileAttributes[1], u"Hidden", u"Κρυφό"},
        {chkFileAttributes[2], u"System", u"Συστήματος"},
        {chkFileAttributes[3], u"Read only", u"Μόνον για ανάγνωση"},
        {chkFileAttributes[4], u"Archive", u"Προς φύλαξη"},
        {lblFilePattern, u"File types:", u"Τύποι αρχείων:"},
        {fraNumberOfLevels, u" Number of levels ", u" Αριθμός επιπέδων "},
        {optNumberOfLevels[0], u"All levels", u"Όλα τα επίπεδα"},
        {optNumberOfLevels[1], u"Only the first level", u"Μόνον το πρώτο επίπεδο"},
        {optNumberOfLevels[2], u"Specific number", u"Συγκεκριμένος αριθμός"},
        {fraDateFormat, u" Date format ", u" Μορφή χρονολογίας "},
        {optDateFormat[0], u"Short", u"Σύντομη"},
        {optDateFormat[1], u"Long", u"Πλήρης"},
        {fraTimeFormat, u" Time format ", u" Μορφή ώρας "},
        {optTimeFormat[0], u"Short", u" Σύντομη "},
        {optTimeFormat[1], u"Long", u" Πλήρης "},
        {fraComparison, u" Comparison ", u" Σύγκριση "},
        {optComparison[0], u"Local computer", u"Τοπικός υπολογιστής"},
        {optComparison[1], u"Off line", u"Χωρίς σύνδεση"},
        {optComparison[2], u"Preparation for off line comparison", u"Προετοιμασία για σύγκριση χωρίς σύνδεση"},
        {chkCompareOnlyTheCommonFiles, u"Compare only the common files", u"Να συγκρίνονται μόνον τα κοινά αρχεία"},
        {chkDisplayOnlyTheDifferences, u"Display only the differences", u"Να εμφανίζονται μόνον οι διαφορές"},
        {chkAbilityToExcludeFolders, u"Ability to include/exclude first level folders",
         u"Δυνατότητα συμμετοχής/αποκλεισμού φακέλλων πρώτου επιπέδου"},
        {chkSaveGridColumnWidths, u"Save grid column widths", u"Αποθήκευση πλάτους στηλών πίνακα συγκρίσεως"},
        {chkDisplayElapsedTime, u"Display elapsed time during the comparison", u"Εμφάνιση χρονομέτρου κατά την σύγκριση"},
        {chkRemindMeToPrint, u"Remind me to print the results", u"Υπενθύμισέ μου να εκτυπώσω τα αποτελέσματα"},
        {chkNoToolTipPathNames, u"Do not display full path names as tooltip text",
         u"Να μην εμφανίζονται οι πλήρεις διαδρομές ως αιωρούμενη βοήθεια"},
        {chkExtendedInfo, u"Display extended information", u"Εμφάνιση εκτενούς πληροφορήσεως"},
        {chkFailSafe, u"Enable fail-safe mechanism", u"Ενεργοποίηση μηχανισμού ελέγχου αποτυχίας"},
        {chkResizeFont, u"Resize the font whenever a window is resized",
         u"Το μέγεθος της γραμματοσειράς να αλλάζει όποτε αλλάζει το μέγεθος ενός παραθύρου"},
        {chkDisplayOptions, u"I want this window to be displayed, before the comparison process commences",
         u"Πριν αρχίσει η διαδικασία της συγκρίσεως, θέλω να εμφανίζεται αυτό το παράθυρο"},
        {cmdOK, u"OK", u"OK"},
        {cmdApply, u"Apply", u"Εφαρμογή"},
        {cmdCancel, u"Cancel", u"Άκυρο"},
        {cmdReset, u"Reset...", u"Επαναφορά..."},
        {cmdDisplayOrder, u"Order", u"Σειρά"},
    };
    setCaption(Txt(u"Options", u"Επιλογές"));
    for (const Caption& c : captions)
        ui::setCaptionOf(*c.control, Txt(c.english, c.greek));
}

void frmOptions::Form_Load()
{
    basGlobal::Globals& g = globals();
    basGlobal::ErrorTrap trap(this, QStringLiteral("OFL1000"));
    trap.step([&] { setCaptions(); });
    trap.step([&] { freeSizer1->setResizeFonts(g.ResizeFontEnabled); });
    trap.step([&] {
        chkResizeFont->setTag(kInternalOperationTag);
        chkResizeFont->setValue(0);
        if (g.ResizeFontEnabled)
            chkResizeFont->setValue(1);
        chkResizeFont->setTag(QString());
    });
    trap.step([&] { cmdFilePatternAll->setCaption(QStringLiteral("*.*")); });
    trap.step([&] { g.PendingInitialPath = g.InitialPath; });
    for (int i = 0; i < 2; ++i)
        trap.step([&] { lblInitialPath[i]->setBackColor(basGlobal::StructureTintOf(i)); });
    for (int i = 0; i < 2; ++i)
        trap.step([&] {
            lblInitialPath[i]->setCaption(basGlobal::CompactPathForControl(
                *lblInitialPathAuxiliary, basGlobal::AddTrailingSeparator(g.PendingInitialPath[std::size_t(i)])));
        });
    trap.step([&] {
        for (int i = 0; i < 2; ++i)
            lblInitialPath[i]->setToolTipText(basGlobal::AddTrailingSeparator(g.PendingInitialPath[std::size_t(i)]));
        if (g.HidePathToolTips)
            for (ui::Label* l : lblInitialPath) l->setToolTipText(QString());
    });
    trap.step([&] {
        for (ui::CheckBox* box : chkFileAttributes) box->setValue(0);
        const bool include[5] = {false, g.IncludeHiddenFiles, g.IncludeSystemFiles, g.IncludeReadOnlyFiles,
                                 g.IncludeArchiveFiles};
        for (int k = 1; k <= 4; ++k)
            if (include[k]) chkFileAttributes[k]->setValue(1);
    });
    trap.step([&] { txtFilePattern->setText(g.FileTypesPattern); });
    trap.step([&] {
        const int levels = g.NumberOfLevelsLimit;
        optNumberOfLevels[levels == 0 || levels == 1 ? levels : 2]->setValue(true);
        txtNumberOfLevels->setText(QString::number(levels));
    });
    trap.step([&] {
        const bool shortDate = g.DateFormatName == QLatin1String("short");
        optDateFormat[shortDate ? 0 : 1]->setValue(true);
        const bool shortTime = g.TimeFormatName == QLatin1String("short");
        optTimeFormat[shortTime ? 0 : 1]->setValue(true);
    });
    // A mode without an option (a damaged setting) selects none, as the
    // original's missing control array element would have left it.
    trap.step([&] {
        if (g.ComparisonMode >= 0 && g.ComparisonMode <= 2)
            optComparison[g.ComparisonMode]->setValue(true);
    });
    const std::pair<ui::CheckBox*, bool> boxes[] = {
        {chkCompareOnlyTheCommonFiles, g.CommonFilesOnly},  {chkDisplayOnlyTheDifferences, g.DifferencesOnly},
        {chkAbilityToExcludeFolders, g.FolderIncludeExcludeEnabled}, {chkDisplayElapsedTime, g.ShowElapsedTime},
        {chkSaveGridColumnWidths, g.SaveColumnWidths},      {chkRemindMeToPrint, g.RemindToPrint},
        {chkNoToolTipPathNames, g.HidePathToolTips},        {chkExtendedInfo, g.ShowExtendedInformation},
        {chkFailSafe, g.FailSafeChecks},                    {chkDisplayOptions, g.ShowOptionsBeforeComparison},
    };
    for (const auto& [box, on] : boxes)
        trap.step([&] {
            box->setValue(0);
            if (on) box->setValue(1);
        });
}

// --- Number of levels and file pattern --------------------------------------------------------

void frmOptions::optNumberOfLevels_Click(int index)
{
    if (index == 0 || index == 1) {
        txtNumberOfLevels->setText(QString::number(index));
        txtNumberOfLevels->setEnabled(false);
    } else {
        txtNumberOfLevels->setEnabled(true);
    }
    updNumberOfLevels->setEnabled(index == 2);
    enableCancel();
}

void frmOptions::txtNumberOfLevels_KeyPress(int& keyAscii)
{
    if (keyAscii == kKeyBackspace)
        return;
    if (keyAscii >= '0' && keyAscii <= '9' && txtNumberOfLevels->text().trimmed().size() < 4)
        return;
    keyAscii = 0;
    ui::desktop().beep();
}

void frmOptions::txtNumberOfLevels_Change()
{
    const QString text = txtNumberOfLevels->text();
    if (!text.isEmpty() && !basGlobal::StringIsValidLongInRange(text, 0, 9999)) {
        txtNumberOfLevels->setText(QStringLiteral("0"));   // its own Change follows and passes
        return;
    }
    enableCancel();
    // The up-down steps from the number shown. A text written otherwise
    // ("007", "+7") is left as typed: the up-down would rewrite it.
    bool ok = false;
    const int value = text.toInt(&ok);
    if (ok && QString::number(value) == text && updNumberOfLevels->value() != value) {
        syncingUpDown_ = true;
        updNumberOfLevels->setValue(value);
        syncingUpDown_ = false;
    }
}

void frmOptions::txtNumberOfLevels_LostFocus()
{
    if (txtNumberOfLevels->text().trimmed().isEmpty())
        txtNumberOfLevels->setText(QStringLiteral("1"));
    basGlobal::Integer levels = 0;
    if (LevelsTextToInteger(txtNumberOfLevels->text(), levels) && (levels == 0 || levels == 1))
        optNumberOfLevels[levels]->setValue(true);
}

void frmOptions::updNumberOfLevels_Change()
{
    if (syncingUpDown_ || !isShown() || !txtNumberOfLevels->effectivelyEnabled())
        return;
    txtNumberOfLevels->setFocus();
}

void frmOptions::txtFilePattern_LostFocus()
{
    if (txtFilePattern->text().trimmed().isEmpty())
        txtFilePattern->setText(QStringLiteral("*.*"));
}

// --- Commands --------------------------------------------------------------------------------

void frmOptions::finishFieldEdits(ui::CommandButton& pressed)
{
    // Enter presses OK without the focus leaving the field it is in; a click
    // would have moved it first. Move it now, so the field's own leave rules
    // run exactly as they do for a click.
    ui::Control* active = activeControl();
    if ((active == txtNumberOfLevels || active == txtFilePattern) && isShown() && pressed.effectivelyEnabled())
        pressed.setFocus();
    // However a field was left, an empty number or pattern is no setting.
    if (txtNumberOfLevels->text().trimmed().isEmpty())
        txtNumberOfLevels_LostFocus();
    txtFilePattern_LostFocus();
}

void frmOptions::takeSettings(basGlobal::ErrorTrap* trap)
{
    basGlobal::Globals& g = globals();
    auto flag = [](bool& setting, const ui::CheckBox* box) {
        setting = false;
        if (checked(box)) setting = true;
    };
    auto format = [](QString& setting, const ui::ControlArray<ui::OptionButton>& options) {
        setting = QStringLiteral("short");
        if (options[1]->value()) setting = QStringLiteral("long");
    };
    const std::vector<std::function<void()>> steps = {
        [&] { g.InitialPath[0] = g.PendingInitialPath[0]; },
        [&] { g.InitialPath[1] = g.PendingInitialPath[1]; },
        [&] { flag(g.IncludeHiddenFiles, chkFileAttributes[1]); },
        [&] { flag(g.IncludeSystemFiles, chkFileAttributes[2]); },
        [&] { flag(g.IncludeReadOnlyFiles, chkFileAttributes[3]); },
        [&] { flag(g.IncludeArchiveFiles, chkFileAttributes[4]); },
        [&] { g.FileTypesPattern = txtFilePattern->text(); },
        [&] {
            basGlobal::Integer levels = 0;
            if (!LevelsTextToInteger(txtNumberOfLevels->text(), levels))
                basGlobal::RaiseError(platform::errTypeMismatch);
            g.NumberOfLevelsLimit = levels;
        },
        [&] { format(g.DateFormatName, optDateFormat); },
        [&] { format(g.TimeFormatName, optTimeFormat); },
        [&] {
            for (int k = 0; k < 3; ++k)
                if (optComparison[k]->value()) g.ComparisonMode = basGlobal::Integer(k);
        },
        [&] { flag(g.ShowElapsedTime, chkDisplayElapsedTime); },
        [&] { flag(g.SaveColumnWidths, chkSaveGridColumnWidths); },
        [&] { flag(g.CommonFilesOnly, chkCompareOnlyTheCommonFiles); },
        [&] { flag(g.DifferencesOnly, chkDisplayOnlyTheDifferences); },
        [&] { flag(g.FolderIncludeExcludeEnabled, chkAbilityToExcludeFolders); },
        [&] { flag(g.RemindToPrint, chkRemindMeToPrint); },
        [&] { flag(g.HidePathToolTips, chkNoToolTipPathNames); },
        [&] { flag(g.ShowExtendedInformation, chkExtendedInfo); },
        [&] { flag(g.FailSafeChecks, chkFailSafe); },
        [&] { flag(g.ResizeFontEnabled, chkResizeFont); },
        [&] { flag(g.ShowOptionsBeforeComparison, chkDisplayOptions); },
    };
    for (const auto& s : steps) {
        if (trap) {
            trap->step(s);
        } else {
            // No trap here: a conversion that fails keeps the former value
            // (finishFieldEdits leaves none that can).
            try {
                s();
            } catch (const platform::AppError&) {
            }
        }
    }
}

void frmOptions::cmdApply_Click()
{
    finishFieldEdits(*cmdApply);
    basGlobal::Globals& g = globals();
    basGlobal::ErrorTrap trap(this, QStringLiteral("OAC1000"));
    takeSettings(&trap);

    for (const basGlobal::Setting* s : basGlobal::OptionsApplySettings())
        trap.step([&] { basGlobal::RaiseIfError(basGlobal::WriteSetting(g.IniFileName, *s, g)); });

    for (int i = 0; i < 2; ++i)
        trap.step([&] { lblInitialPath[i]->setToolTipText(g.HidePathToolTips ? QString() : g.InitialPath[std::size_t(i)]); });
    trap.step([&] { cmdCancel->setEnabled(false); });
}

void frmOptions::cmdOK_Click()
{
    finishFieldEdits(*cmdOK);
    takeSettings(nullptr);
    unload();
}

void frmOptions::cmdReset_Click()
{
    basGlobal::ShowMessageBox(
        this, Txt(u"Reset settings", u"Επαναφορά ρυθμίσεων"),
        Txt(u"You will be asked whether you want to reset all of the settings to their initial values or not, "
            u"while shutting down the application.",
            u"Θα ερωτηθείτε για το εάν θέλετε να επαναφερθούν όλες οι ρυθμίσεις στις αρχικές τους τιμές ή όχι, "
            u"κατά την διάρκεια του τερματισμού της εφαρμογής."),
        ui::vbInformationOK);
    globals().ResetSettingsOnExit = true;
}

void frmOptions::showPendingPath(int index)
{
    const QString path = basGlobal::AddTrailingSeparator(globals().PendingInitialPath[std::size_t(index)]);
    lblInitialPath[index]->setCaption(basGlobal::CompactPathForControl(*lblInitialPathAuxiliary, path));
    lblInitialPath[index]->setToolTipText(checked(chkNoToolTipPathNames) ? QString() : path);
}

void frmOptions::cmdBrowseForInitialPath_Click(int index)
{
    basGlobal::Globals& g = globals();
    QString& pending = g.PendingInitialPath[std::size_t(index)];
    basGlobal::ErrorTrap trap(this, QStringLiteral("BFIP1000"));
    QString folder;
    trap.step([&] {
        basGlobal::Long error = 0;
        folder = basGlobal::ShowFolderSelectionDialog(
            this, *basGlobal::HiddenForm().dlgDialog, pending,
            Txt(u"Select the new initial path", u"Επιλέξτε την νέα αρχική διαδρομή"),
            Txt(u"do not alter this text", u"μην τροποποιήσετε αυτό το κείμενο"), QStringLiteral("*.*"), error);
        basGlobal::BringFormToFront(*this);
        refresh();
        basGlobal::RaiseIfError(error);
    });
    trap.step([&] {
        // A drive root comes back as "C:\" and stays "C:", never blank.
        folder = basGlobal::RemoveTrailingSeparator(folder);
        if (folder.trimmed().isEmpty())
            return;
        const bool cs = g.VolumeIsCaseSensitive;
        if (basGlobal::ApplyCaseSensitivity(folder, cs) == basGlobal::ApplyCaseSensitivity(pending, cs))
            return;
        pending = folder;
        showPendingPath(index);
        enableCancel();
    });
}

void frmOptions::chkNoToolTipPathNames_Click()
{
    enableCancel();
    const bool hide = chkNoToolTipPathNames->value() != 0;
    for (int i = 0; i < 2; ++i)
        lblInitialPath[i]->setToolTipText(hide ? QString() : globals().PendingInitialPath[std::size_t(i)]);
}

void frmOptions::chkResizeFont_Click()
{
    enableCancel();
    if (chkResizeFont->tag() == kInternalOperationTag)
        return;
    basGlobal::ShowMessageBox(
        this, Txt(u"Resize font", u"Αλλαγή μεγέθους γραμματοσειράς"),
        Txt(u"The results of this option will be put into full effect, after we shut down and restart the application.",
            u"Τα αποτελέσματα αυτής της επιλογής θα ενεργοποιηθούν πλήρως, από την επόμενη εκκίνηση της εφαρμογής και μετά."),
        ui::vbInformationOK);
}

// --- Entry point -----------------------------------------------------------------------------

frmOptions& OptionsWindow()
{
    static frmOptions* const form = new frmOptions;
    return *form;
}

void ShowOptionsWindow()
{
    frmOptions& form = OptionsWindow();
    form.unload();   // a window left loaded would keep old values: start afresh
    form.load();
    if (form.isLoaded())
        form.show(ui::Modal);
}

} // namespace setup
