#include "mainwindow/frmMain.h"

namespace mainwindow {

namespace {

// Geometry, in twips. The two structures stand side by side in equal
// columns; everything of one structure lies in its own column, top to
// bottom in the order the user reads it: selector and name, current path,
// tree, first-level folders, first-level files.
constexpr int kMargin = 120;
constexpr int kColumnWidth = 5760;
constexpr int kColumnGap = 240;
constexpr int kButtonSize = 480;
constexpr int kButtonStep = 540;
constexpr int kGroupGap = 180;
constexpr int kToolbarTop = 120;
constexpr int kCompareWidth = 1800;
constexpr int kFormWidth = 2 * kMargin + 2 * kColumnWidth + kColumnGap;

int columnLeft(int i) { return kMargin + i * (kColumnWidth + kColumnGap); }

ui::Picture icon(const char* name) { return ui::Picture{QStringLiteral(":/icons/") + QLatin1String(name) + QStringLiteral(".png")}; }

} // namespace

frmMain::frmMain() : ui::Form(QStringLiteral("frmMain"))
{
    Load = [this] { Form_Load(); };
    QueryUnload = [this](bool& cancel, int mode) { Form_QueryUnload(cancel, mode); };
    Unload = [this](bool& cancel) { Form_Unload(cancel); };
    KeyDown = [this](int& keyCode, int shift) { Form_KeyDown(keyCode, shift); };
}

void frmMain::build()
{
    // The window's designed size: the client area plus the caption, menu bar
    // and borders of a usual desktop.
    move(0, 0, kFormWidth + 2 * 60, 9000 + 900);
    setKeyPreview(true);
    buildMenus();
    buildButtons();
    buildStructure(0);
    buildStructure(1);
    freeSizer1 = add<ui::FormResizer>(QStringLiteral("freeSizer1"));
    setDefaultButton(cmdCompare);
    wireEvents();
    wireSavedPathEvents();
    wireCommandEvents();
}

void frmMain::buildMenus()
{
    auto item = [this](ui::Menu*& slot, const char* name, const QString& caption, ui::Menu* parent) {
        slot = addMenu(QLatin1String(name), caption, parent);
    };
    int separators = 0;
    auto separator = [this, &separators](ui::Menu* parent) {
        addMenu(parent->name() + QStringLiteral("Separator") + QString::number(++separators), QStringLiteral("-"), parent);
    };

    item(mnuFile, "mnuFile", QStringLiteral("File"), nullptr);
    item(mnuFilePageSetup, "mnuFilePageSetup", QStringLiteral("Page setup..."), mnuFile);
    item(mnuFilePrintSetup, "mnuFilePrintSetup", QStringLiteral("Printer setup..."), mnuFile);
    separator(mnuFile);
    item(mnuFileExit, "mnuFileExit", QStringLiteral("Exit"), mnuFile);

    item(mnuSavePath, "mnuSavePath", QStringLiteral("Store"), nullptr);
    item(mnuSavePathRecent, "mnuSavePathRecent", QStringLiteral("Recent..."), mnuSavePath);
    item(mnuSavePathInitial, "mnuSavePathInitial", QStringLiteral("Initial..."), mnuSavePath);
    separator(mnuSavePath);
    item(mnuSavePathHelp, "mnuSavePathHelp", QStringLiteral("Help"), mnuSavePath);
    separator(mnuSavePath);
    item(mnuSavePathCancel, "mnuSavePathCancel", QStringLiteral("Cancel"), mnuSavePath);

    item(mnuRecallPath, "mnuRecallPath", QStringLiteral("Restore"), nullptr);
    item(mnuRecallPathRecent, "mnuRecallPathRecent", QStringLiteral("Recent..."), mnuRecallPath);
    item(mnuRecallPathInitial, "mnuRecallPathInitial", QStringLiteral("Initial"), mnuRecallPath);
    separator(mnuRecallPath);
    item(mnuRecallPathHelp, "mnuRecallPathHelp", QStringLiteral("Help"), mnuRecallPath);
    separator(mnuRecallPath);
    item(mnuRecallPathCancel, "mnuRecallPathCancel", QStringLiteral("Cancel"), mnuRecallPath);

    item(mnuTools, "mnuTools", QStringLiteral("Tools"), nullptr);
    item(mnuToolsRefresh, "mnuToolsRefresh", QStringLiteral("Refresh"), mnuTools);
    mnuToolsRefresh->setShortcut(QStringLiteral("F5"));
    separator(mnuTools);
    item(mnuToolsUpOneLevel, "mnuToolsUpOneLevel", QStringLiteral("Up one level\tBksp"), mnuTools);
    separator(mnuTools);
    item(mnuToolsMapNetworkDrive, "mnuToolsMapNetworkDrive", QStringLiteral("Map network drive..."), mnuTools);
    item(mnuToolsUnMapNetworkDrive, "mnuToolsUnMapNetworkDrive", QStringLiteral("Unmap network drive..."), mnuTools);
    separator(mnuTools);
    item(mnuToolsEnglish, "mnuToolsEnglish", QStringLiteral("English"), mnuTools);
    item(mnuToolsGreek, "mnuToolsGreek", QStringLiteral("Greek"), mnuTools);
    separator(mnuTools);
    item(mnuToolsOptions, "mnuToolsOptions", QStringLiteral("Options..."), mnuTools);
    item(mnuToolsFactorySettings, "mnuToolsFactorySettings", QStringLiteral("Factory settings..."), mnuTools);
    separator(mnuTools);
    item(mnuToolsUpdatedVersion, "mnuToolsUpdatedVersion", QStringLiteral("Updated versions..."), mnuTools);
    separator(mnuTools);
    item(mnuToolsStartProcessing, "mnuToolsStartProcessing", QStringLiteral("Start processing...\tEnter"), mnuTools);

    item(mnuSettings, "mnuSettings", QStringLiteral("Settings"), nullptr);
    item(mnuSettingsImport, "mnuSettingsImport", QStringLiteral("Import..."), mnuSettings);
    item(mnuSettingsExport, "mnuSettingsExport", QStringLiteral("Export..."), mnuSettings);
    separator(mnuSettings);
    item(mnuSettingsHelp, "mnuSettingsHelp", QStringLiteral("Help"), mnuSettings);
    separator(mnuSettings);
    item(mnuSettingsCancel, "mnuSettingsCancel", QStringLiteral("Cancel"), mnuSettings);

    item(mnuHelp, "mnuHelp", QStringLiteral("Help"), nullptr);
    item(mnuHelpTips, "mnuHelpTips", QStringLiteral("Hints and tips..."), mnuHelp);
    separator(mnuHelp);
    item(mnuHelpAbout, "mnuHelpAbout", QStringLiteral("About..."), mnuHelp);
}

void frmMain::buildButtons()
{
    int left = kMargin;
    auto button = [this, &left](const char* name, int index, const char* picture, int topic) {
        auto* b = add<ui::CommandButton>(QLatin1String(name), index);
        b->setStyle(1);
        b->setPicture(icon(picture));
        b->move(left, kToolbarTop, kButtonSize, kButtonSize);
        b->setHelpTopic(topic);
        left += kButtonStep;
        return b;
    };
    auto gap = [&left] { left += kGroupGap; };

    cmdPageSetup = button("cmdPageSetup", -1, "page-setup", htPageSetup);
    cmdPrintSetup = button("cmdPrintSetup", -1, "printer-setup", htPrintSetup);
    gap();
    // The four buttons that act on the current structure, side by side.
    cmdUpOneLevel = button("cmdUpOneLevel", -1, "up-one-level", htUpOneLevel);
    cmdSavePath = button("cmdSavePath", -1, "store-path", htSavePath);
    cmdRecallSavedPath = button("cmdRecallSavedPath", -1, "restore-path", htRecallSavedPath);
    cmdRefresh = button("cmdRefresh", -1, "refresh", htRefresh);
    gap();
    cmdMapNetworkDrive = button("cmdMapNetworkDrive", -1, "map-drive", htMapNetworkDrive);
    cmdUnMapNetworkDrive = button("cmdUnMapNetworkDrive", -1, "unmap-drive", htUnMapNetworkDrive);
    gap();
    cmdOptions = button("cmdOptions", -1, "options", htOptions);
    cmdSettings = button("cmdSettings", -1, "settings", htSettings);
    gap();
    cmdLanguage.set(0, button("cmdLanguage", 0, "greek", htLanguage));
    cmdLanguage.set(1, button("cmdLanguage", 1, "english", htLanguage));
    gap();
    cmdHelp = button("cmdHelp", -1, "hints", htHelp);
    cmdCopyright = button("cmdCopyright", -1, "about", htCopyright);
    cmdEndApplication = button("cmdEndApplication", -1, "exit", htEndApplication);

    left = kFormWidth - kMargin - kCompareWidth;
    cmdCompare = add<ui::CommandButton>(QStringLiteral("cmdCompare"));
    cmdCompare->setStyle(1);
    cmdCompare->setPicture(icon("compare"));
    cmdCompare->move(left, kToolbarTop, kCompareWidth, kButtonSize);
    cmdCompare->setHelpTopic(htCompare);
}

void frmMain::buildStructure(int i)
{
    const int x = columnLeft(i);
    // The results window tints its structures as this window does.
    const ui::Color tint = kStructureTint[i];
    basGlobal::globals().StructureTint[std::size_t(i)] = tint;

    auto* opt = addTo(optStructure, QStringLiteral("optStructure"), i);
    opt->move(x, 780, 330, 330);
    opt->setBackColor(kUnselectedSelectorColour);
    opt->setForeColor(kUnselectedSelectorColour);
    opt->setHelpTopic(htStructureSelector);

    auto* name = addTo(lblStructure, QStringLiteral("lblStructure"), i);
    name->move(x + 420, 810, kColumnWidth - 420, 285);
    name->setFontBold(true);
    name->setHelpTopic(htStructureName);

    auto* pathCaption = addTo(lblCurrentPath, QStringLiteral("lblCurrentPath"), i);
    pathCaption->move(x, 1200, kColumnWidth, 255);
    pathCaption->setHelpTopic(htCurrentPathCaption);

    auto* fullPath = addTo(lblCurrentFullPath, QStringLiteral("lblCurrentFullPath"), i);
    fullPath->move(x, 1470, kColumnWidth, 315);
    fullPath->setBackColor(tint);
    fullPath->setForeColor(ui::kSysWindowText);
    fullPath->setHelpTopic(htCurrentFullPath);

    auto* tree = addTo(tvwStructure, QStringLiteral("tvwStructure"), i);
    tree->move(x, 1860, kColumnWidth, 3900);
    tree->setBackColor(ui::kSysWindow);
    tree->setForeColor(ui::kSysWindowText);
    tree->setPathSeparator(QStringLiteral("\\"));
    tree->setHelpTopic(htStructureTree);

    auto* chkFolders = addTo(chkDisplayFirstLevelFolders, QStringLiteral("chkDisplayFirstLevelFolders"), i);
    chkFolders->move(x, 5880, kColumnWidth, 285);
    chkFolders->setHelpTopic(htDisplayFirstLevelFolders);

    auto* folders = addTo(lstFirstLevelFolders, QStringLiteral("lstFirstLevelFolders"), i);
    folders->move(x, 6180, kColumnWidth, 1170);
    folders->setBackColor(tint);
    folders->setForeColor(ui::kSysWindowText);
    folders->setHelpTopic(htFirstLevelFolders);

    auto* chkFiles = addTo(chkDisplayFirstLevelFiles, QStringLiteral("chkDisplayFirstLevelFiles"), i);
    chkFiles->move(x, 7440, kColumnWidth, 285);
    chkFiles->setHelpTopic(htDisplayFirstLevelFiles);

    auto* files = addTo(lstFirstLevelFiles, QStringLiteral("lstFirstLevelFiles"), i);
    files->move(x, 7740, kColumnWidth, 1170);
    files->setBackColor(tint);
    files->setForeColor(ui::kSysWindowText);
    files->setHelpTopic(htFirstLevelFiles);
}

} // namespace mainwindow
