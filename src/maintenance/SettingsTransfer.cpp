#include "maintenance/SettingsTransfer.h"

#include "platform/AppError.h"
#include "platform/Shell.h"
#include "platform/StagedCopy.h"
#include "shared/ErrorTrap.h"
#include "shared/IniAccess.h"
#include "shared/Messages.h"
#include "shared/PathText.h"
#include "shared/Texts.h"
#include "shared/basCommonDialogManager.h"
#include "shared/frmHiddenForm.h"

#include <cerrno>

namespace maintenance {

using basGlobal::globals;
using basGlobal::Txt;

namespace {

constexpr int kFrameWidth = 6960;
constexpr int kItemStep = 600;

// The reason a copy failed, for the plain failure message: the refusal, or
// what the system said went wrong.
QString copyFailureReason(int result, int systemError)
{
    if (result == platform::shellSameFile)
        return Txt(u"a file would have been copied onto itself", u"ένα αρχείο θα αντιγραφόταν πάνω στον εαυτό του");
    switch (systemError) {
    case 0:
        break;
    case ENOTDIR:
        return Txt(u"a part of the folder's path is a file", u"ένα τμήμα της διαδρομής του φακέλλου είναι αρχείο");
    case ENOLINK:
        return Txt(u"a part of the folder's path is a symbolic link to something that does not exist",
                   u"ένα τμήμα της διαδρομής του φακέλλου είναι συμβολικός σύνδεσμος προς κάτι που δεν υπάρχει");
    case EISDIR:
        return Txt(u"a folder in the destination has the name of a file to be copied",
                   u"ένας φάκελλος στον προορισμό έχει το όνομα ενός αρχείου προς αντιγραφή");
    case EROFS:
        return Txt(u"the disk can only be read", u"ο δίσκος επιτρέπει μόνο ανάγνωση");
    case ENOENT:
        return Txt(u"a file or folder was not found", u"ένα αρχείο ή φάκελλος δεν βρέθηκε");
    case ENOSPC:
    case EDQUOT:
        return Txt(u"the disk is full", u"ο δίσκος είναι πλήρης");
    case ENAMETOOLONG:
        return Txt(u"a file name is not valid", u"ένα όνομα αρχείου δεν είναι έγκυρο");
    case EACCES:
    case EPERM:
        return Txt(u"access was denied", u"η πρόσβαση δεν επετράπη");
    default:
        return platform::errorDescription(platform::errorFromErrno(systemError));
    }
    switch (result) {
    case platform::shellNotFound:
        return Txt(u"a file or folder was not found", u"ένα αρχείο ή φάκελλος δεν βρέθηκε");
    case platform::shellBadName:
        return Txt(u"a file name is not valid", u"ένα όνομα αρχείου δεν είναι έγκυρο");
    default:
        return Txt(u"access was denied", u"η πρόσβαση δεν επετράπη");
    }
}

} // namespace

SettingsTransferWindow::SettingsTransferWindow(const QString& name, bool importing)
    : ui::Form(name), importing_(importing)
{
}

QString SettingsTransferWindow::windowTitle() const
{
    return importing_ ? Txt(u"Import settings", u"Εισαγωγή ρυθμίσεων") : Txt(u"Export settings", u"Εξαγωγή ρυθμίσεων");
}

bool& SettingsTransferWindow::inProgress() const
{
    return importing_ ? globals().SettingsImportInProgress : globals().SettingsExportInProgress;
}

void SettingsTransferWindow::buildCommon(ui::CommandButton*& action, const QString& actionName)
{
    lock_.forget();
    const int help = importing_ ? 95000 : 94000;
    fraSettings = add<ui::Frame>(QStringLiteral("fraSettings"));
    fraSettings->move(120, 120, kFrameWidth, 2640);
    fraSettings->setHelpTopic(help + 10);
    const auto item = [&](int k, ui::CheckBox*& check, ui::Label*& label, const char* checkName, const char* labelName) {
        const int index = k == 0 ? -1 : k - 1;
        check = add<ui::CheckBox>(QLatin1String(checkName), index, fraSettings);
        label = add<ui::Label>(QLatin1String(labelName), index, fraSettings);
        check->move(240, 300 + k * kItemStep, kFrameWidth - 480, 255);
        label->move(480, 570 + k * kItemStep, kFrameWidth - 720, 255);
        if (index >= 0) {
            chkSavedPaths.set(index, check);
            lblSavedPaths.set(index, label);
        }
    };
    ui::CheckBox* c = nullptr;
    ui::Label* l = nullptr;
    chkSavedPaths.clear();
    lblSavedPaths.clear();
    item(0, chkIniFileName, lblIniFileName, "chkIniFileName", "lblIniFileName");
    item(1, c, l, "chkSavedPaths", "lblSavedPaths");
    item(2, c, l, "chkSavedPaths", "lblSavedPaths");
    chkIniFileName->setHelpTopic(help + 20);
    lblIniFileName->setHelpTopic(help + 30);
    chkSavedPaths[0]->setHelpTopic(help + 40);
    chkSavedPaths[1]->setHelpTopic(help + 45);
    lblSavedPaths[0]->setHelpTopic(help + 50);
    lblSavedPaths[1]->setHelpTopic(help + 55);
    cmdSettingsFolderExternal = add<ui::CommandButton>(QStringLiteral("cmdSettingsFolderExternal"), -1, fraSettings);
    cmdSettingsFolderExternal->move(240, 2100, 1800, 375);
    cmdSettingsFolderExternal->setHelpTopic(help + 60);
    lblSettingsFolderExternal = add<ui::Label>(QStringLiteral("lblSettingsFolderExternal"), -1, fraSettings);
    lblSettingsFolderExternal->move(2160, 2160, kFrameWidth - 2400, 255);
    lblSettingsFolderExternal->setHelpTopic(help + 70);
    lblAuxiliary1 = add<ui::Label>(QStringLiteral("lblAuxiliary1"), -1, fraSettings);
    lblAuxiliary1->move(480, 0, kFrameWidth - 720, 255);
    lblAuxiliary1->setVisible(false);
    lblAuxiliary2 = add<ui::Label>(QStringLiteral("lblAuxiliary2"), -1, fraSettings);
    lblAuxiliary2->move(2160, 0, kFrameWidth - 2400, 255);
    lblAuxiliary2->setVisible(false);

    const int buttons = importing_ ? 3240 : 2880;
    cmdCancel = add<ui::CommandButton>(QStringLiteral("cmdCancel"));
    cmdCancel->move(120, buttons, 1500, 375);
    cmdApply = add<ui::CommandButton>(QStringLiteral("cmdApply"));
    cmdApply->move(kFrameWidth + 120 - 3120, buttons, 1500, 375);
    action = action_ = add<ui::CommandButton>(actionName);
    action->move(kFrameWidth + 120 - 1500, buttons, 1500, 375);
    action->setTabIndex(0);
    const int last = importing_ ? 10 : 0;
    action->setHelpTopic(help + 80 + last);
    cmdApply->setHelpTopic(help + 90 + last);
    cmdCancel->setHelpTopic(help + 100 + last);
    setDefaultButton(action);
    setCancelButton(cmdCancel);
    freeSizer1 = add<ui::FormResizer>(QStringLiteral("freeSizer1"));
    move(0, 0, kFrameWidth + 240 + 120, buttons + 375 + 600);

    setCaption(windowTitle());
    fraSettings->setCaption(importing_
        ? Txt(u" Select the settings that will be imported ", u" Επιλέξτε τις ρυθμίσεις οι οποίες θα εισαχθούν ")
        : Txt(u" Select the settings that will be exported ", u" Επιλέξτε τις ρυθμίσεις οι οποίες θα εξαχθούν "));
    chkIniFileName->setCaption(Txt(u"Application INI file", u"Βασικές παράμετροι εφαρμογής"));
    chkSavedPaths[0]->setCaption(Txt(u"Primary Structure saved paths", u"Αποθηκευμένες διαδρομές Πρωτευούσης Δομής"));
    chkSavedPaths[1]->setCaption(
        Txt(u"Secondary Structure saved paths", u"Αποθηκευμένες διαδρομές Δευτερευούσης Δομής"));
    cmdSettingsFolderExternal->setCaption(importing_ ? Txt(u"Import from...", u"Εισαγωγή από...")
                                                     : Txt(u"Export to...", u"Εξαγωγή προς..."));
    action->setCaption(importing_ ? Txt(u"Import", u"Εισαγωγή") : Txt(u"Export", u"Εξαγωγή"));
    cmdApply->setCaption(Txt(u"Apply", u"Εφαρμογή"));
    setCancelCaption(false);

    for (int k = 0; k < 3; ++k)
        itemCheck(k)->Click = [this] { itemClick(); };
    cmdCancel->Click = [this] { unload(); };
    QueryUnload = [this](bool& cancel, int mode) {
        if (inProgress())
            cancel = basGlobal::ShowCannotCloseWindowMessage(this, basGlobal::Integer(mode));
    };
}

QString SettingsTransferWindow::itemFile(int k)
{
    return k == 0 ? globals().IniFileName : globals().SavedPathsFileName[std::size_t(k - 1)];
}

QString SettingsTransferWindow::itemKey(int k)
{
    static const QString keys[3] = {QStringLiteral("Ini"), QStringLiteral("Primary"), QStringLiteral("Secondary")};
    return keys[k];
}

bool SettingsTransferWindow::anyItemTicked() const
{
    return chkIniFileName->value() == 1 || chkSavedPaths[0]->value() == 1 || chkSavedPaths[1]->value() == 1;
}

bool& SettingsTransferWindow::choice(int k) const
{
    basGlobal::Globals& g = globals();
    if (k == 0)
        return importing_ ? g.ImportIniFile : g.ExportIniFile;
    return (importing_ ? g.ImportSavedPaths : g.ExportSavedPaths)[std::size_t(k - 1)];
}

QString& SettingsTransferWindow::folder() const
{
    return importing_ ? globals().ImportFolder : globals().ExportFolder;
}

void SettingsTransferWindow::loadChoices(basGlobal::ErrorTrap& trap, const std::function<bool(int)>& available)
{
    const QString section = importing_ ? QStringLiteral("ImportSettings") : QStringLiteral("ExportSettings");
    trap.step([&] {
        lblIniFileName->setCaption(QString());
        lblSavedPaths[0]->setCaption(QString());
        lblSavedPaths[1]->setCaption(QString());
        lblSettingsFolderExternal->setCaption(QString());
        action_->setEnabled(false);
        lblSettingsFolderExternal->setToolTipText(QString());
    });
    trap.step([&] {
        basGlobal::Integer length = 0;
        basGlobal::Long error = 0;
        const QString text = basGlobal::GetIniString(globals().IniFileName, section, QStringLiteral("Folder"), 2048,
                                                     QString(), length, error);
        basGlobal::RaiseIfError(error);
        folder() = basGlobal::RemoveTrailingSeparator(text);
        setFolderLabel(folder());
    });
    for (int k = 0; k < 3; ++k)
        trap.step([&] {
            if (k > 0)
                lblSavedPaths[k - 1]->setBackColor(tints[std::size_t(k - 1)]);
            choice(k) = false;
            showItem(k, false);
            if (!available(k))
                return;
            basGlobal::Long error = 0;
            choice(k) = basGlobal::GetIniBoolean(globals().IniFileName, section, itemKey(k), false, error);
            basGlobal::RaiseIfError(error);
            if (choice(k))
                itemCheck(k)->setValue(1);
            showItem(k, true);
        });
}

void SettingsTransferWindow::applyChoices(basGlobal::ErrorTrap& trap)
{
    const QString section = importing_ ? QStringLiteral("ImportSettings") : QStringLiteral("ExportSettings");
    for (int k = 0; k < 3; ++k)
        trap.step([&] {
            if (!itemCheck(k)->enabled())
                return;
            choice(k) = itemCheck(k)->value() == 1;
            basGlobal::RaiseIfError(basGlobal::WriteIniBoolean(globals().IniFileName, section, itemKey(k), choice(k)));
        });
    trap.step([&] {
        if (!folder().trimmed().isEmpty())
            basGlobal::RaiseIfError(
                basGlobal::WriteIniString(globals().IniFileName, section, QStringLiteral("Folder"), folder()));
    });
}

void SettingsTransferWindow::enablingRule()
{
    if (!anyItemTicked())
        action_->setEnabled(false);
    else if (!lblSettingsFolderExternal->caption().isEmpty())
        action_->setEnabled(true);
}

void SettingsTransferWindow::itemClick()
{
    enablingRule();
    setCancelCaption(false);
}

void SettingsTransferWindow::dropMissingItem(int k, const QString& file, const QString& greekOpening)
{
    showItem(k, false);
    lock_.keepDisabled(*itemCheck(k));   // stays disabled when the controls come back
    basGlobal::ShowMessageBox(this, windowTitle(),
                              Txt(QStringLiteral("File '"), greekOpening) + file
                                  + Txt(u"', does not exist.", u"», δεν υπάρχει."),
                              ui::vbCriticalOK);
}

void SettingsTransferWindow::showItem(int k, bool available)
{
    ui::CheckBox* check = itemCheck(k);
    ui::Label* label = itemLabel(k);
    if (!available) {
        check->setValue(0);
        check->setEnabled(false);
        label->setCaption(QString());
        label->setToolTipText(QString());
        return;
    }
    check->setEnabled(true);
    label->setCaption(basGlobal::CompactPathForControl(*lblAuxiliary1, itemFile(k)));
    label->setToolTipText(globals().HidePathToolTips ? QString() : itemFile(k));
}

void SettingsTransferWindow::setCancelCaption(bool close)
{
    cmdCancel->setCaption(close ? Txt(u"Close", u"Κλείσιμο") : Txt(u"Cancel", u"Άκυρο"));
}

void SettingsTransferWindow::setFolderLabel(const QString& folderWithoutSeparator)
{
    const QString text = folderWithoutSeparator.isEmpty() ? QString()
                                                          : basGlobal::AddTrailingSeparator(folderWithoutSeparator);
    lblSettingsFolderExternal->setCaption(basGlobal::CompactPathForControl(*lblAuxiliary2, text));
    lblSettingsFolderExternal->setToolTipText(globals().HidePathToolTips ? QString() : text);
}

bool SettingsTransferWindow::chooseFolder(const QString& code)
{
    bool chosen = false;
    basGlobal::ErrorTrap trap(this, code);
    trap.step([&] {
        QString initial = folder();
        if (initial.trimmed().isEmpty())
            initial = basGlobal::AddTrailingSeparator(globals().CurrentPath[0].left(3));
        const QString title = importing_ ? Txt(u"Select the folder that will be used for importing",
                                               u"Επιλέξετε τον φάκελλο από τον οποίο θα γίνει η εισαγωγή")
                                         : Txt(u"Select the folder that will be used for exporting",
                                               u"Επιλέξτε τον φάκελλο στον οποίο θα γίνει η εξαγωγή");
        basGlobal::Long error = 0;
        const QString answer = basGlobal::ShowFolderSelectionDialog(
            this, *basGlobal::HiddenForm().dlgDialog, initial, title,
            Txt(u"do not alter this text", u"μην τροποποιήσετε αυτό το κείμενο"), QStringLiteral("*.*"), error);
        basGlobal::BringFormToFront(*this);
        refresh();
        basGlobal::RaiseIfError(error);
        if (basGlobal::RemoveTrailingSeparator(answer).trimmed().isEmpty())
            return;
        folder() = basGlobal::RemoveTrailingSeparator(answer);
        setFolderLabel(folder());
        setCancelCaption(false);
        chosen = true;
    });
    return chosen;
}

bool SettingsTransferWindow::refuseApplicationFolder()
{
    const bool cs = globals().VolumeIsCaseSensitive;
    const QString appFolder = basGlobal::RemoveTrailingSeparator(basGlobal::GetTextBeforeSeparator(globals().IniFileName));
    const QString other = basGlobal::RemoveTrailingSeparator(folder());
    if (basGlobal::ApplyCaseSensitivity(other, cs) != basGlobal::ApplyCaseSensitivity(appFolder, cs)
        && !platform::sameFolder(other, appFolder))
        return false;
    basGlobal::ShowMessageBox(
        this, windowTitle(),
        importing_ ? Txt(u"The folder where the files with the settings will be imported from, must not be the same as "
                         u"the folder were these files will be stored.",
                         u"Ο φάκελλος από τον οποίο θα εισαχθούν τα αρχεία των ρυθμίσεων, δεν πρέπει να είναι ίδιος με "
                         u"τον φάκελλο στον οποίο θα αποθηκευθούν τα αρχεία αυτά.")
                   : Txt(u"The folder where the files with the settings will be exported to, must not be the same as "
                         u"the folder were these files are stored.",
                         u"Ο φάκελλος προς τον οποίο θα εξαχθούν τα αρχεία των ρυθμίσεων, δεν πρέπει να είναι ίδιος με "
                         u"τον φάκελλο στον οποίο ευρίσκονται αποθηκευμένα τα αρχεία αυτά."),
        ui::vbCriticalOK);
    return true;
}

bool SettingsTransferWindow::copyAll(const QStringList& sources, const QString& destination, const CopyRefusal& refusal)
{
    int systemError = 0;
    int notAFile = -1;
    QString refused;
    platform::StagedCheck check;
    if (refusal)
        check = [&](int index, const QByteArray& nativeCopy) {
            refused = refusal(index, nativeCopy);
            return refused.isEmpty();
        };
    const int result = platform::copyFilesStaged(sources, destination, &systemError, check, &notAFile);
    basGlobal::BringFormToFront(*this);
    refresh();
    if (result == platform::shellOk)
        return true;
    if (result == platform::shellCopyRefused) {
        basGlobal::ShowMessageBox(this, windowTitle(), refused, ui::vbCriticalOK);
        return false;
    }
    // What took a file's place (a FIFO, a device, a folder) is named as such.
    const QString reason = result == platform::shellNotAFile
        ? Txt(u"'%1' is not a file", u"το «%1» δεν είναι αρχείο").arg(sources.value(notAFile))
        : copyFailureReason(result, systemError);
    basGlobal::ShowMessageBox(this, windowTitle(),
                              Txt(u"The settings could not be copied: ", u"Δεν κατέστη δυνατή η αντιγραφή των ρυθμίσεων: ")
                                  + reason
                                  + Txt(u". No file was changed.", u". Κανένα αρχείο δεν άλλαξε."),
                              ui::vbCriticalOK);
    return false;
}

void SettingsTransferWindow::cpDisableControls()
{
    setMousePointer(ui::vbHourglass);
    inProgress() = true;
    lock_.lock(*this, [](const ui::Control& c) { return c.name().toUpper() != QLatin1String("FREESIZER1"); });
}

void SettingsTransferWindow::cpEnableControls()
{
    lock_.unlock();
    setMousePointer(ui::vbDefault);
    inProgress() = false;
}

} // namespace maintenance
