// The main window's start-up, its structure choice and language switch, and
// its closing.
#include "mainwindow/frmMain.h"

#include "platform/Application.h"
#include "platform/WriteJournal.h"
#include "platform/Drives.h"
#include "shared/ErrorTrap.h"
#include "shared/FileFacts.h"
#include "shared/IniAccess.h"
#include "shared/SettingsTable.h"
#include "mainwindow/MainWindowCaptions.h"
#include "shared/Messages.h"
#include "shared/PathText.h"
#include "shared/Texts.h"
#include "shared/basCommonDialogManager.h"
#include "shared/basPageSetup.h"
#include "shared/basSavedPaths.h"
#include "shared/basTreeViewManager.h"
#include "shared/frmHiddenForm.h"
#include "platform/AppError.h"
#include "platform/PathCompact.h"
#include "ui/Desktop.h"
#include "ui/DisplayText.h"

#include <cerrno>
#include <map>

namespace mainwindow {

using namespace basGlobal;

// ---- Start-up -------------------------------------------------------------------

namespace {

// At most this many journals of a kind are named in the notice; the rest
// are counted, so that the box fits the screen however many there were.
constexpr qsizetype kJournalsNamed = 5;
// The application folder is named once, shortened to this many characters:
// a folder path of any length takes a few lines of the box, and its drive
// and last folder (at most 255 characters) stay whole.
constexpr int kFolderShownLength = 300;

// Whether a character would not show as itself in a name: a control
// character, a line or paragraph separator, or a format character, which
// draws nothing or turns the text that follows (zero-width spaces and
// joiners, bidirectional marks and overrides).
bool ShownByCode(char32_t c)
{
    switch (QChar::category(c)) {
    case QChar::Other_Control:
    case QChar::Other_Format:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
        return true;
    default:
        return false;
    }
}

// A name or path as the user can read it and find it again: each character
// that would not show as itself, or would garble the sentence around it, is
// shown by its code ("<U+202E>").
QString Visible(const QString& text)
{
    QString out;
    for (const char32_t c : ui::displayText(text).toUcs4())
        out += ShownByCode(c) ? QStringLiteral("<U+%1>").arg(uint(c), 4, 16, QLatin1Char('0')).toUpper()
                              : QString::fromUcs4(&c, 1);
    return out;
}

// A journal by its file name (it is always in the application folder).
QString JournalName(const QString& nativePath)
{
    return Visible(platform::nameToLogical(nativePath.mid(nativePath.lastIndexOf(u'/') + 1)));
}

// Two journals or more: "'a', 'b' and 'c'", or the first few and how many more.
QString JournalList(QStringList journals)
{
    journals.sort();
    QStringList named;
    for (qsizetype i = 0; i < journals.size() && i < kJournalsNamed; ++i)
        named << Txt(QStringLiteral("'%1'"), QStringLiteral("«%1»")).arg(JournalName(journals[i]));
    const qsizetype more = journals.size() - named.size();
    const QString last =
        more > 0 ? Txt(QStringLiteral("%1 more"), QStringLiteral("%1 ακόμη")).arg(more) : named.takeLast();
    return named.join(QStringLiteral(", ")) + Txt(QStringLiteral(" and "), QStringLiteral(" και ")) + last;
}

// Why journals keep their own name, for "... left where it is: <why>".
QString LeftInPlaceCause(int err, bool one)
{
    switch (err) {
    case EROFS:
        return Txt(u"the disk can only be read", u"ο δίσκος επιτρέπει μόνο ανάγνωση");
    case EACCES:
    case EPERM:
        return Txt(u"access was denied", u"η πρόσβαση δεν επετράπη");
    case EEXIST:
        return one ? Txt(u"every name it could be set aside under, its own followed by '.ignored' to '.ignored.1000', is taken",
                         u"όλα τα ονόματα με τα οποία θα μπορούσε να τεθεί στην άκρη, το δικό του με «.ignored» έως "
                         u"«.ignored.1000» στο τέλος, είναι κατειλημμένα")
                   : Txt(u"every name they could be set aside under, their own followed by '.ignored' to '.ignored.1000', is taken",
                         u"όλα τα ονόματα με τα οποία θα μπορούσαν να τεθούν στην άκρη, το δικό τους με «.ignored» έως "
                         u"«.ignored.1000» στο τέλος, είναι κατειλημμένα");
    case EOPNOTSUPP:
        return Txt(u"the disk can neither rename a file without the risk of replacing another nor give a file a second name",
                   u"ο δίσκος δεν μπορεί ούτε να μετονομάσει ένα αρχείο χωρίς τον κίνδυνο να αντικαταστήσει άλλο ούτε να "
                   u"δώσει σε ένα αρχείο δεύτερο όνομα");
    default:
        return platform::errorDescription(platform::errorFromErrno(err));
    }
}

// The sentences of one kind of journal. Each text takes the name (one) or
// the count and the list (more), and, for those left where they are, why.
struct JournalTexts {
    const char16_t* oneAside[2];
    const char16_t* oneLeft[2];
    const char16_t* moreAside[2];
    const char16_t* moreLeft[2];
};

const JournalTexts kForeignTexts{
    {u"The write journal '%1' names files that this program did not make. They were left alone, and the journal was "
     u"set aside under that name.",
     u"Το ημερολόγιο εγγραφών «%1» κατονομάζει αρχεία τα οποία δεν δημιούργησε η εφαρμογή. Τα αρχεία αυτά δεν άλλαξαν, "
     u"και το ημερολόγιο τέθηκε στην άκρη με αυτό το όνομα."},
    {u"The write journal '%1' names files that this program did not make. They were left alone, and the journal was "
     u"left where it is: %2.",
     u"Το ημερολόγιο εγγραφών «%1» κατονομάζει αρχεία τα οποία δεν δημιούργησε η εφαρμογή. Τα αρχεία αυτά δεν άλλαξαν, "
     u"και το ημερολόγιο έμεινε εκεί όπου βρίσκεται: %2."},
    {u"%1 write journals name files that this program did not make: %2. They were left alone, and the journals were "
     u"set aside under those names.",
     u"%1 ημερολόγια εγγραφών κατονομάζουν αρχεία τα οποία δεν δημιούργησε η εφαρμογή: %2. Τα αρχεία αυτά δεν άλλαξαν, "
     u"και τα ημερολόγια τέθηκαν στην άκρη με αυτά τα ονόματα."},
    {u"%1 write journals name files that this program did not make: %2. They were left alone, and the journals were "
     u"left where they are: %3.",
     u"%1 ημερολόγια εγγραφών κατονομάζουν αρχεία τα οποία δεν δημιούργησε η εφαρμογή: %2. Τα αρχεία αυτά δεν άλλαξαν, "
     u"και τα ημερολόγια έμειναν εκεί όπου βρίσκονται: %3."},
};

const JournalTexts kNotOwnTexts{
    {u"The write journal '%1' is not this program's own. It was not read, and it was set aside under that name.",
     u"Το ημερολόγιο εγγραφών «%1» δεν είναι της εφαρμογής. Δεν διαβάστηκε, και τέθηκε στην άκρη με αυτό το όνομα."},
    {u"The write journal '%1' is not this program's own. It was not read, and it was left where it is: %2.",
     u"Το ημερολόγιο εγγραφών «%1» δεν είναι της εφαρμογής. Δεν διαβάστηκε, και έμεινε εκεί όπου βρίσκεται: %2."},
    {u"%1 write journals are not this program's own: %2. They were not read, and they were set aside under those names.",
     u"%1 ημερολόγια εγγραφών δεν είναι της εφαρμογής: %2. Δεν διαβάστηκαν, και τέθηκαν στην άκρη με αυτά τα ονόματα."},
    {u"%1 write journals are not this program's own: %2. They were not read, and they were left where they are: %3.",
     u"%1 ημερολόγια εγγραφών δεν είναι της εφαρμογής: %2. Δεν διαβάστηκαν, και έμειναν εκεί όπου βρίσκονται: %3."},
};

const JournalTexts kOversizedTexts{
    {u"The write journal '%1' is larger than any this program writes. It was not read, nothing it names was changed, "
     u"and it was set aside under that name.",
     u"Το ημερολόγιο εγγραφών «%1» είναι μεγαλύτερο από όσα γράφει η εφαρμογή. Δεν διαβάστηκε, τίποτε από όσα "
     u"κατονομάζει δεν άλλαξε, και τέθηκε στην άκρη με αυτό το όνομα."},
    {u"The write journal '%1' is larger than any this program writes. It was not read, nothing it names was changed, "
     u"and it was left where it is: %2.",
     u"Το ημερολόγιο εγγραφών «%1» είναι μεγαλύτερο από όσα γράφει η εφαρμογή. Δεν διαβάστηκε, τίποτε από όσα "
     u"κατονομάζει δεν άλλαξε, και έμεινε εκεί όπου βρίσκεται: %2."},
    {u"%1 write journals are larger than any this program writes: %2. They were not read, nothing they name was "
     u"changed, and they were set aside under those names.",
     u"%1 ημερολόγια εγγραφών είναι μεγαλύτερα από όσα γράφει η εφαρμογή: %2. Δεν διαβάστηκαν, τίποτε από όσα "
     u"κατονομάζουν δεν άλλαξε, και τέθηκαν στην άκρη με αυτά τα ονόματα."},
    {u"%1 write journals are larger than any this program writes: %2. They were not read, nothing they name was "
     u"changed, and they were left where they are: %3.",
     u"%1 ημερολόγια εγγραφών είναι μεγαλύτερα από όσα γράφει η εφαρμογή: %2. Δεν διαβάστηκαν, τίποτε από όσα "
     u"κατονομάζουν δεν άλλαξε, και έμειναν εκεί όπου βρίσκονται: %3."},
};

QString Text(const char16_t* const (&text)[2])
{
    return Txt(text[0], text[1]);
}

// The sentences about one kind of journal: those set aside together, then
// those left where they are, together by cause.
QStringList JournalParagraphs(const QStringList& journals, const QHash<QString, int>& leftInPlace,
                              const JournalTexts& texts)
{
    std::map<int, QStringList> byCause;   // 0: set aside
    for (const QString& journal : journals)
        byCause[leftInPlace.value(journal, 0)] << journal;
    QStringList out;
    for (const auto& [cause, group] : byCause) {
        // Each text is filled in one pass: a name may hold "%2" itself.
        const bool one = group.size() == 1;
        const QString name = one ? JournalName(group.first()) : QString();
        if (cause == 0)
            out << (one ? Text(texts.oneAside).arg(name)
                        : Text(texts.moreAside).arg(QString::number(group.size()), JournalList(group)));
        else
            out << (one ? Text(texts.oneLeft).arg(name, LeftInPlaceCause(cause, true))
                        : Text(texts.moreLeft).arg(QString::number(group.size()), JournalList(group),
                                                   LeftInPlaceCause(cause, false)));
    }
    return out;
}

// What the start left of the write journals in the application folder
// `folder` (logical), told once; "" when nothing.
QString JournalNotice(const platform::JournalReport& report, QString folder)
{
    QStringList parts;
    parts << JournalParagraphs(report.foreign, report.leftInPlace, kForeignTexts)
          << JournalParagraphs(report.notOwn, report.leftInPlace, kNotOwnTexts)
          << JournalParagraphs(report.oversized, report.leftInPlace, kOversizedTexts);
    if (parts.isEmpty())
        return QString();
    if (folder.endsWith(u':'))   // a drive's root ("C:"; a name's colon is kept as another character)
        folder += u'\\';
    parts.prepend(Txt(u"In the application folder '%1':", u"Στον φάκελλο της εφαρμογής «%1»:")
                      .arg(platform::compactPathToLength(Visible(folder), kFolderShownLength)));
    return parts.join(QStringLiteral("\r\n\r\n"));
}

} // namespace

void frmMain::Form_Load()
{
    Globals& g = globals();
    ErrorTrap trap(this, QStringLiteral("MFL1000"));
    Long error = 0;
    bool running = false;
    platform::JournalReport journals;

    trap.step([&] {
        g.ApplicationPath = RemoveTrailingSeparator(platform::app().path());
        g.IniFileName = MakeIniFileName(g.ApplicationPath);
        // The instance lock is taken first: a copy that is refused touches
        // nothing, not even what a killed run left.
        running = anotherCopyRunning ? anotherCopyRunning() : platform::app().previousInstance();
        // Writes that a killed run left half-done are settled before any setting is read.
        if (!running)
            platform::startWriteJournal(platform::app().nativePath(), &journals);
        // A settings file that cannot be used is found before the first
        // setting is read; it is named once, below, when the title is known.
        CheckIniFile(g.IniFileName);
    });
    trap.step([&] { error = ReadSetting(g.IniFileName, *FindSetting(g, &g.LanguageIsGreek), g); });
    trap.step([&] {
        g.ApplicationTitle = ApplicationTitleOf(g.LanguageIsGreek);
        platform::app().setTitle(g.ApplicationTitle);
    });
    trap.step([&] {
        if (error != 0) {
            g.LanguageIsGreek = false;
            RaiseError(error);
        }
    });
    // A second copy ends here, before anything has been written.
    trap.step([&] {
        ShowDuplicateInstanceMessage(g.ApplicationTitle, running,
                                     [](const QString& title) { platform::app().setTitle(title); });
    });
    trap.step([&] {
        const QString notice = JournalNotice(journals, g.ApplicationPath);
        if (!notice.isEmpty())
            ShowMessageBox(this, g.ApplicationTitle, notice, ui::vbExclamationOK);
    });
    trap.step([&] {
        g.HelpFileGreek = g.ApplicationPath + QStringLiteral("\\QuillmarshGR.hlp");
        g.HelpFileEnglish = g.ApplicationPath + QStringLiteral("\\QuillmarshUK.hlp");
        g.SavedPathsFileName[0] = g.ApplicationPath + QStringLiteral("\\PrimarySavedPaths.txt");
        g.SavedPathsFileName[1] = g.ApplicationPath + QStringLiteral("\\SecondarySavedPaths.txt");
    });
    trap.step([&] {
        const QString problem = CheckIniFile(g.IniFileName);
        if (!problem.isEmpty())
            ShowMessageBox(this, g.ApplicationTitle, problem, ui::vbExclamationOK);
    });
    trap.step([&] {
        g.StructureColour[0] = Long(kStructureSelectorColour[0]);
        g.StructureColour[1] = Long(kStructureSelectorColour[1]);
        for (int i = 0; i < kGridColumns; ++i)
            g.DefaultGridColumnWidth[std::size_t(i)] = kDefaultGridColumnWidths[i];
    });
    trap.step([&] { g.ResetSettingsOnExit = false; });
    trap.step([&] {
        QString fileSystem, volume;
        Long serial = 0;
        bool longNames = false, casePreserved = false, caseSensitive = false, unicode = false, acls = false,
             compression = false, compressed = false;
        const Long e = GetDriveVolumeInformation(g.ApplicationPath, fileSystem, volume, serial, longNames,
                                                 casePreserved, caseSensitive, unicode, acls, compression, compressed);
        RaiseIfError(e);
        g.VolumeIsCaseSensitive = caseSensitive;
    });

    readSettings(trap);

    trap.step([&] { RaiseIfError(basPageSetup::LoadPageSetup()); });
    trap.step([&] { cmdLanguage[g.LanguageIsGreek ? 0 : 1]->setValue(true); });
    trap.step([&] {
        for (ui::Menu* m : {mnuSavePathHelp, mnuSavePathCancel, mnuRecallPathHelp, mnuRecallPathCancel,
                            mnuSettingsHelp, mnuSettingsCancel})
            m->setEnabled(false);
    });
    trap.step([&] {
        for (int i = 0; i <= 1; ++i) {
            optStructure[i]->setMouseIcon(HiddenForm().imgStructureCursor[i]->picture());
            optStructure[i]->setMousePointer(ui::vbCustom);
        }
    });
    for (int i = 0; i <= 1; ++i) {
        QString restored;
        bool restoredOk = false;
        trap.step([&] {
            Long e = 0;
            restored = RestorePath(this, g.CurrentPath[std::size_t(i)], *tvwStructure[i], e);
            restoredOk = true;
            RaiseIfError(e);
        });
        trap.step([&] {
            if (restoredOk)
                g.CurrentPath[std::size_t(i)] = restored;
        });
        trap.step([&] { showStructure(i); });
    }
}

// Every setting of the table but the language (read first of all), in the
// table's order, each failed read reported at once; a value out of range or
// of the wrong form silently takes its default. Some settings show at once.
void frmMain::readSettings(ErrorTrap& trap)
{
    Globals& g = globals();
    for (const Setting& s : Settings()) {
        if (s.fills(g, &g.LanguageIsGreek))
            continue;
        trap.step([&] { RaiseIfError(ReadSetting(g.IniFileName, s, g)); });
        if (s.fills(g, &g.ResizeFontEnabled))
            trap.step([&] { freeSizer1->setResizeFonts(g.ResizeFontEnabled); });
        for (std::size_t i = 0; i <= 1; ++i) {
            if (s.fills(g, &g.InitialPath[i]))
                trap.step([&] { g.CurrentPath[i] = g.InitialPath[i]; });
            // Ticking a box runs its click, which writes the key back.
            if (s.fills(g, &g.DisplayFirstLevelFolders[i]))
                trap.step([&] { chkDisplayFirstLevelFolders[int(i)]->setValue(g.DisplayFirstLevelFolders[i] ? 1 : 0); });
            if (s.fills(g, &g.DisplayFirstLevelFiles[i]))
                trap.step([&] { chkDisplayFirstLevelFiles[int(i)]->setValue(g.DisplayFirstLevelFiles[i] ? 1 : 0); });
        }
    }
}

void frmMain::showStructure(int structure)
{
    const auto s = Integer(structure);
    DisplayCurrentPath(*this, s);
    FillFirstLevelFoldersList(*this, s);
    FillFirstLevelFilesList(*this, s);
}

// The resizer has laid the window out: show it with the structure it was left on.
void frmMain::freeSizer1_ResizeDone()
{
    show(ui::Modeless);
    optStructure[globals().CurrentStructure]->setValue(true);
}

// ---- Structure choice and language ------------------------------------------------

void frmMain::optStructure_Click(int index)
{
    Globals& g = globals();
    ErrorTrap trap(this, QStringLiteral("305"));
    trap.step([&] { g.CurrentStructure = Integer(index); });
    trap.step([&] { tvwStructure[g.CurrentStructure]->setFocus(); });
    trap.step([&] {
        const bool primary = optStructure[0]->value();
        const ui::Color first = primary ? ui::Color(g.StructureColour[0]) : kUnselectedSelectorColour;
        const ui::Color second = primary ? kUnselectedSelectorColour : ui::Color(g.StructureColour[1]);
        optStructure[0]->setBackColor(first);
        optStructure[0]->setForeColor(first);
        optStructure[1]->setBackColor(second);
        optStructure[1]->setForeColor(second);
    });
    trap.step([&] {
        const ui::Picture cursor = HiddenForm().imgStructureCursor[g.CurrentStructure]->picture();
        for (ui::CommandButton* b : {cmdUpOneLevel, cmdSavePath, cmdRecallSavedPath, cmdRefresh}) {
            b->setMouseIcon(cursor);
            b->setMousePointer(ui::vbCustom);
        }
    });
    trap.step([&] { RaiseIfError(WriteSetting(g.IniFileName, *FindSetting(g, &g.CurrentStructure), g)); });
}

void frmMain::cmdLanguage_Click(int index)
{
    Globals& g = globals();
    ErrorTrap trap(this, QStringLiteral("L1000"));
    trap.step([&] {
        g.LanguageIsGreek = index == 0;
        mnuToolsGreek->setChecked(g.LanguageIsGreek);
        mnuToolsEnglish->setChecked(!g.LanguageIsGreek);
        if (languageChanged)
            languageChanged(g.LanguageIsGreek);
    });
    trap.step([&] { RaiseIfError(SetApplicationLanguage(*this, g.IniFileName)); });
}

void frmMain::mnuToolsGreek_Click() { cmdLanguage[0]->setValue(true); }

void frmMain::mnuToolsEnglish_Click() { cmdLanguage[1]->setValue(true); }

// ---- Closing --------------------------------------------------------------------

void frmMain::Form_QueryUnload(bool& cancel, int unloadMode)
{
    Globals& g = globals();
    // A command that is counting or filling is not cut off half-way.
    if (busy_ && ShowCannotCloseWindowMessage(this, Integer(unloadMode))) {
        cancel = true;
        return;
    }
    if (!g.ResetSettingsOnExit || !FileExists(g.IniFileName))
        return;
    ErrorTrap trap(this, QStringLiteral("MFQU1000"));
    const QString title = Txt(QStringLiteral("Reset settings"), QStringLiteral("Επαναφορά ρυθμίσεων"));
    Long answer = ui::vbNo;
    trap.step([&] {
        answer = ShowMessageBox(
            this, title,
            Txt(QStringLiteral("You have asked to reset all of the settings to their initial values.")
                    + QStringLiteral("\r\n\r\nDo you really want this to happen?"),
                QStringLiteral("Έχετε ζητήσει την επαναφορά όλων των ρυθμίσεων στις αρχικές τους τιμές.")
                    + QStringLiteral("\r\n\r\nΘέλετε πράγματι να συμβεί αυτό;")),
            ui::vbQuestionYesNoDefNo);
    });
    if (answer != ui::vbYes)
        return;
    const QString backup = g.IniFileName.left(g.IniFileName.size() - 4) + QStringLiteral(".bak");
    trap.step([&] {
        bool aborted = false;
        Long result = 0;
        // An older backup is replaced without a question.
        if (!CopyOrMoveFile(this, false, g.IniFileName, backup, aborted, result, true, false, true, false))
            RaiseIfError(result);
    });
    trap.step([&] {
        // A folder of the backup's name takes the file into it: the user is
        // told where it went all the same.
        QString saved = backup;
        if (!FileExists(saved))
            saved = backup + QLatin1Char('\\') + g.IniFileName.mid(g.IniFileName.lastIndexOf(QLatin1Char('\\')) + 1);
        if (FileExists(saved))
            ShowMessageBox(this, title,
                           Txt(QStringLiteral("The current settings of the application, have been saved in '") + saved
                                   + QStringLiteral("'."),
                               QStringLiteral("Οι τρέχουσες ρυθμίσεις της εφαρμογής, έχουν αποθηκευθεί στο αρχείο «")
                                   + saved + QStringLiteral("».")),
                           ui::vbInformationOK);
    });
}

void frmMain::Form_Unload(bool& /*cancel*/)
{
    HiddenForm().unload();
    ui::endProgram();
}

void frmMain::mnuFileExit_Click()
{
    HiddenForm().unload();
    unload();
}

} // namespace mainwindow
