#include "mainwindow/MainWindowCaptions.h"

#include "shared/Texts.h"

#include "platform/Application.h"
#include "platform/Drives.h"
#include "shared/ErrorTrap.h"
#include "shared/IniAccess.h"
#include "shared/Messages.h"
#include "shared/PathText.h"
#include "shared/TrappedCall.h"
#include "shared/basObsoleteScriptingFileSystemObject.h"
#include "shared/basTreeViewManager.h"
#include "shared/FileFacts.h"
#include "shared/frmHiddenForm.h"
#include "ui/Desktop.h"
#include "ui/Form.h"
#include "ui/ListBox.h"
#include "ui/TreeView.h"

#include <algorithm>
#include <deque>

namespace basGlobal {

namespace {

using namespace MainWindowTexts;

constexpr int kControlMissing = 340;   // "Control array element doesn't exist"

template <class T>
T& controlOf(ui::Form& form, const QString& name, int index = -1)
{
    T* c = dynamic_cast<T*>(form.control(name, index));
    if (!c)
        RaiseError(kControlMissing);
    return *c;
}

void setCaptionOrRaise(ui::Control& c, const QString& text)
{
    if (!ui::setCaptionOf(c, text))
        RaiseError(platform::errInvalidCall);
}

struct TextEntry {
    const char16_t* name;
    int index;
    bool toolTip;
    const char16_t* english;
    const char16_t* greek;
};

// Every caption and tool tip of the main window, in the order they are set.
const TextEntry kMainWindowTexts[] = {
    {u"mnuFile", -1, false, u"File", u"Αρχείο"},
    {u"mnuFilePageSetup", -1, false, u"Page setup...", u"Διαμόρφωση σελίδας..."},
    {u"mnuFilePrintSetup", -1, false, u"Printer setup...", u"Επιλογή εκτυπωτή..."},
    {u"mnuFileExit", -1, false, u"Exit", u"Έξοδος"},
    {u"mnuSavePath", -1, false, u"Store", u"Καταχώρηση"},
    {u"mnuSavePathRecent", -1, false, u"Recent...", u"Πρόσφατη..."},
    {u"mnuSavePathInitial", -1, false, u"Initial...", u"Αρχική..."},
    {u"mnuSavePathHelp", -1, false, u"Help", u"Βοήθεια"},
    {u"mnuSavePathCancel", -1, false, u"Cancel", u"Άκυρο"},
    {u"mnuRecallPath", -1, false, u"Restore", u"Επαναφορά"},
    {u"mnuRecallPathRecent", -1, false, u"Recent...", u"Πρόσφατη..."},
    {u"mnuRecallPathInitial", -1, false, u"Initial", u"Αρχική"},
    {u"mnuRecallPathHelp", -1, false, u"Help", u"Βοήθεια"},
    {u"mnuRecallPathCancel", -1, false, u"Cancel", u"Άκυρο"},
    {u"mnuTools", -1, false, u"Tools", u"Εργαλεία"},
    {u"mnuToolsRefresh", -1, false, u"Refresh", u"Ανανέωση"},
    {u"mnuToolsUpOneLevel", -1, false, u"Up one level\tBksp", u"Ένα επίπεδο επάνω\tBksp"},
    {u"mnuToolsMapNetworkDrive", -1, false, u"Map network drive...", u"Αντιστοίχηση δίσκου δικτύου..."},
    {u"mnuToolsUnMapNetworkDrive", -1, false, u"Unmap network drive...", u"Αποσύνδεση δίσκου δικτύου..."},
    {u"mnuToolsEnglish", -1, false, u"English", u"Αγγλική"},
    {u"mnuToolsGreek", -1, false, u"Greek", u"Ελληνική"},
    {u"mnuToolsOptions", -1, false, u"Options...", u"Επιλογές..."},
    {u"mnuToolsFactorySettings", -1, false, u"Factory settings...", u"Εργοστασιακές ρυθμίσεις..."},
    {u"mnuToolsUpdatedVersion", -1, false, u"Updated versions...", u"Ενημερωμένες εκδόσεις..."},
    {u"mnuToolsStartProcessing", -1, false, u"Start processing...\tEnter", u"Έναρξη διαδικασίας...\tEnter"},
    {u"mnuSettings", -1, false, u"Settings", u"Ρυθμίσεις"},
    {u"mnuSettingsImport", -1, false, u"Import...", u"Εισαγωγή..."},
    {u"mnuSettingsExport", -1, false, u"Export...", u"Εξαγωγή..."},
    {u"mnuSettingsHelp", -1, false, u"Help", u"Βοήθεια"},
    {u"mnuSettingsCancel", -1, false, u"Cancel", u"Άκυρο"},
    {u"mnuHelp", -1, false, u"Help", u"Βοήθεια"},
    {u"mnuHelpTips", -1, false, u"Hints and tips...", u"Χρήσιμες συμβουλές..."},
    {u"mnuHelpAbout", -1, false, u"About...", u"Σχετικά..."},
    {u"cmdPageSetup", -1, true, u"Page setup", u"Διαμόρφωση σελίδας"},
    {u"cmdPrintSetup", -1, true, u"Printer setup", u"Επιλογή εκτυπωτή"},
    {u"cmdEndApplication", -1, true, u"Exit", u"Έξοδος"},
    {u"cmdRefresh", -1, true, u"Refresh ... F5", u"Ανανέωση ... F5"},
    {u"cmdSavePath", -1, true, u"Store path", u"Καταχώρηση διαδρομής"},
    {u"cmdRecallSavedPath", -1, true, u"Restore path", u"Επαναφορά διαδρομής"},
    {u"cmdUpOneLevel", -1, true, u"Up one level ... Bksp", u"Ένα επίπεδο επάνω ... Bksp"},
    {u"cmdMapNetworkDrive", -1, true, u"Map network drive", u"Αντιστοίχηση δίσκου δικτύου"},
    {u"cmdUnMapNetworkDrive", -1, true, u"Unmap network drive", u"Αποσύνδεση δίσκου δικτύου"},
    {u"cmdLanguage", 1, true, u"English / Αγγλικά", u"English / Αγγλικά"},
    {u"cmdLanguage", 0, true, u"Ελληνικά / Greek", u"Ελληνικά / Greek"},
    {u"cmdSettings", -1, true, u"Settings", u"Ρυθμίσεις"},
    {u"cmdOptions", -1, true, u"Options", u"Επιλογές"},
    {u"cmdHelp", -1, true, u"Hints and tips", u"Χρήσιμες συμβουλές"},
};


QString listName(bool files) { return files ? QStringLiteral("lstFirstLevelFiles") : QStringLiteral("lstFirstLevelFolders"); }
QString checkName(bool files)
{
    return files ? QStringLiteral("chkDisplayFirstLevelFiles") : QStringLiteral("chkDisplayFirstLevelFolders");
}
QString placeholder(bool files, bool greek)
{
    return files ? Txt(greek, NoFilesEnglish, NoFilesGreek) : Txt(greek, NoFoldersEnglish, NoFoldersGreek);
}

void updateCaption(ui::Form& main, Integer i, bool files)
{
    const bool greek = globals().LanguageIsGreek;
    const int slot = greek ? 0 : 1;
    QString count = controlOf<ui::ListBox>(main, listName(files), i).tag();
    if (count == ProcessingEnglish && greek)
        count = ProcessingGreek;
    else if (count == ProcessingGreek && !greek)
        count = ProcessingEnglish;
    const QString label = controlOf<ui::CheckBox>(main, checkName(files), slot).tag();
    controlOf<ui::CheckBox>(main, checkName(files), i).setCaption(label + QStringLiteral(": ") + count + u'.');
}

// The first-level entries of a folder: listed into the structure's sorted
// working list (full paths, in the program's sort order) when `list` is
// true, only counted otherwise. Error 76 for a folder or drive that cannot be
// reached; a network drive that does not answer in time counts as not
// reached, so the window is never held.
Long firstLevelEntries(const QString& folder, bool files, bool list, Integer structure, qint64& count)
{
    count = 0;
    const QString path = AddTrailingSeparator(folder);
    if (platform::driveType(path) == platform::driveRemote && !IsDriveReady(path))
        return platform::errPathNotFound;
    Long error = 0;
    if (!list) {
        count = files ? CountFolderFiles(path, error) : CountSubFolders(path, error);
        return error;
    }
    // Enabled: the listing clears it first. The fill only looks, so no cancel
    // of a long operation may leave it empty.
    ui::ListBox& sorted = *HiddenForm().lstSortedListBox[structure];
    sorted.setEnabled(true);
    bool cancelled = false;
    count = files ? ListFolderFiles(path, sorted, cancelled, error, Cancellable::No)
                  : ListSubFolders(path, sorted, cancelled, error, Cancellable::No);
    if (error != 0)
        count = 0;
    return error;
}

struct PendingFill {
    ui::Form* form;
    Integer structure;
    bool files;
    bool operator==(const PendingFill&) const = default;
};
bool s_filling = false;
std::deque<PendingFill> s_pending;

void fillList(ui::Form& main, Integer i, bool files)
{
    Globals& g = globals();
    const bool greek = g.LanguageIsGreek;
    ErrorTrap trap(&main, files ? QStringLiteral("308") : QStringLiteral("307"));
    // The pointer is back to normal before any report shows.
    const auto step = [&](const std::function<void()>& body) { trap.stepRestoringPointer(main, body); };
    const bool display = files ? g.DisplayFirstLevelFiles[i] : g.DisplayFirstLevelFolders[i];
    Long error = 0;
    qint64 count = 0;

    main.setMousePointer(ui::vbHourglass);
    step([&] {
        auto& list = controlOf<ui::ListBox>(main, listName(files), i);
        list.setTag(Txt(greek, ProcessingEnglish, ProcessingGreek));
        updateCaption(main, i, files);
        list.clear();
    });
    if (files)
        step([&] {
            Long e = 0;
            g.CurrentPath[i] = GetSelectedNodePath(controlOf<ui::TreeView>(main, QStringLiteral("tvwStructure"), i), e);
            RaiseIfError(e);
        });
    step([&] { error = firstLevelEntries(g.CurrentPath[i], files, display, i, count); });
    step([&] {
        auto setCommands = [&](bool on) {
            controlOf<ui::Menu>(main, QStringLiteral("mnuToolsStartProcessing")).setEnabled(on);
            controlOf<ui::CommandButton>(main, QStringLiteral("cmdCompare")).setEnabled(on);
        };
        if (error == platform::errPathNotFound) {
            error = 0;
            HiddenForm().lstSortedListBox[i]->clear();
            count = 0;
            setCommands(false);
            if (!files) {
                const QString drive = AddTrailingSeparator(g.CurrentPath[i].left(2).toUpper());
                ShowMessageBox(&main, g.ApplicationTitle,
                               greek ? QStringLiteral("Δεν είναι δυνατή η πρόσβαση στο ") + drive
                                           + QStringLiteral(".\r\n\r\nΗ συσκευή δεν είναι έτοιμη.")
                                     : drive + QStringLiteral(" is not accessible.\r\n\r\nThe device is not ready."),
                               ui::vbCriticalOK);
            }
            g.StructureDeviceNotReady[i] = true;
        } else {
            g.StructureDeviceNotReady[i] = false;
            if (!g.StructureDeviceNotReady[0] && !g.StructureDeviceNotReady[1])
                setCommands(true);
        }
    });
    step([&] { RaiseIfError(error); });
    step([&] {
        auto& list = controlOf<ui::ListBox>(main, listName(files), i);
        list.clear();
        if (display) {
            list.setEnabled(true);
            // Taken out first, so that nothing run during the yields below
            // can change the items being shown.
            ui::ListBox& sorted = *HiddenForm().lstSortedListBox[i];
            QStringList found;
            for (int k = 0; k < sorted.listCount(); ++k)
                found << sorted.list(k);
            for (const QString& full : found) {
                DoEventsNow();
                list.addItem(GetTextAfterSeparator(full));
                list.setListIndex(-1);
            }
            count = found.size();
        } else {
            list.setEnabled(false);
            list.addItem(placeholder(files, greek));
        }
    });
    step([&] {
        controlOf<ui::ListBox>(main, listName(files), i).setTag(QString::number(count));
        updateCaption(main, i, files);
    });
    main.setMousePointer(ui::vbDefault);
}

// Runs a fill now, or queues it behind the fill that is running.
void runFill(ui::Form& main, Integer i, bool files)
{
    const PendingFill request{&main, i, files};
    if (s_filling) {
        if (std::find(s_pending.begin(), s_pending.end(), request) == s_pending.end())
            s_pending.push_back(request);
        return;
    }
    s_filling = true;
    struct Reset {
        ~Reset()
        {
            s_filling = false;
            s_pending.clear();
        }
    } reset;
    fillList(main, i, files);
    while (!s_pending.empty()) {
        const PendingFill next = s_pending.front();
        s_pending.pop_front();
        fillList(*next.form, next.structure, next.files);
    }
}

} // namespace

QString ApplicationTitleOf(bool /*greek*/) { return QStringLiteral("Tarnwick"); }

Long SetApplicationLanguage(ui::Form& mainWindow, const QString& iniFile, const QString& section,
                            const QString& key)
{
    Globals& g = globals();
    const bool greek = g.LanguageIsGreek;
    return TrappedCall([&] {
        g.ApplicationTitle = ApplicationTitleOf(greek);
        const QString help = greek ? g.HelpFileGreek : g.HelpFileEnglish;
        platform::app().setHelpFile(help);
        ui::setHelpFile(help);
        g.AuthorName = QStringLiteral("Dravelin");
        for (const TextEntry& e : kMainWindowTexts) {
            ui::Control& c = controlOf<ui::Control>(mainWindow, QString::fromUtf16(e.name), e.index);
            const QString text = QString::fromUtf16(greek ? e.greek : e.english);
            if (e.toolTip)
                c.setToolTipText(text);
            else
                setCaptionOrRaise(c, text);
        }
        platform::app().setTitle(g.ApplicationTitle);
        mainWindow.setCaption(g.ApplicationTitle);
        RaiseIfError(SetMainFormStructureCaptions(mainWindow));
        WriteIniBoolean(iniFile, section, key, greek);
    });
}

Long SetMainFormStructureCaptions(ui::Form& mainWindow)
{
    const bool greek = globals().LanguageIsGreek;
    return TrappedCall([&] {
        ui::Form& m = mainWindow;
        const QString folders = checkName(false), files = checkName(true);
        controlOf<ui::CheckBox>(m, folders, 0).setTag(FoldersLabelGreek);
        controlOf<ui::CheckBox>(m, folders, 1).setTag(FoldersLabelEnglish);
        controlOf<ui::CheckBox>(m, files, 0).setTag(FilesLabelGreek);
        controlOf<ui::CheckBox>(m, files, 1).setTag(FilesLabelEnglish);
        controlOf<ui::CommandButton>(m, QStringLiteral("cmdCompare"))
            .setToolTipText(Txt(greek, QStringLiteral("Comparison"), QStringLiteral("Σύγκριση")));
        controlOf<ui::Label>(m, QStringLiteral("lblStructure"), 0)
            .setCaption(Txt(greek, QStringLiteral("Primary structure"), QStringLiteral("Πρωτεύουσα δομή")));
        controlOf<ui::Label>(m, QStringLiteral("lblStructure"), 1)
            .setCaption(Txt(greek, QStringLiteral("Secondary structure"), QStringLiteral("Δευτερεύουσα δομή")));
        for (Integer i = 0; i <= 1; ++i) {
            for (const bool forFiles : {false, true}) {
                if (controlOf<ui::CheckBox>(m, checkName(forFiles), i).value() != 1) {
                    auto& list = controlOf<ui::ListBox>(m, listName(forFiles), i);
                    list.clear();
                    list.addItem(placeholder(forFiles, greek));
                }
            }
            controlOf<ui::Label>(m, QStringLiteral("lblCurrentPath"), i)
                .setCaption(Txt(greek, QStringLiteral("Current path"), QStringLiteral("Τρέχουσα διαδρομή")));
            controlOf<ui::OptionButton>(m, QStringLiteral("optStructure"), i)
                .setToolTipText(Txt(greek, QStringLiteral("Current structure indicator"),
                                    QStringLiteral("Δείκτης τρεχούσης δομής")));
            UpdateFirstLevelFoldersCaption(m, i);
            UpdateFirstLevelFilesCaption(m, i);
        }
    });
}

void DisplayCurrentPath(ui::Form& mainWindow, Integer structure)
{
    Globals& g = globals();
    ErrorTrap trap(&mainWindow, QStringLiteral("306"));
    trap.step([&] {
        Long e = 0;
        g.CurrentPath[structure] =
            GetSelectedNodePath(controlOf<ui::TreeView>(mainWindow, QStringLiteral("tvwStructure"), structure), e);
        RaiseIfError(e);
    });
    trap.step([&] {
        auto& label = controlOf<ui::Label>(mainWindow, QStringLiteral("lblCurrentFullPath"), structure);
        label.setCaption(CompactPathToWidth(label, AddTrailingSeparator(g.CurrentPath[structure])));
    });
    trap.step([&] {
        controlOf<ui::Label>(mainWindow, QStringLiteral("lblCurrentFullPath"), structure)
            .setToolTipText(g.HidePathToolTips ? QString() : AddTrailingSeparator(g.CurrentPath[structure]));
    });
}

void UpdateFirstLevelFoldersCaption(ui::Form& mainWindow, Integer structure)
{
    updateCaption(mainWindow, structure, false);
}

void UpdateFirstLevelFilesCaption(ui::Form& mainWindow, Integer structure)
{
    updateCaption(mainWindow, structure, true);
}

void FillFirstLevelFoldersList(ui::Form& mainWindow, Integer structure) { runFill(mainWindow, structure, false); }

void FillFirstLevelFilesList(ui::Form& mainWindow, Integer structure) { runFill(mainWindow, structure, true); }

} // namespace basGlobal
