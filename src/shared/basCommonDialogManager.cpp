#include "shared/basCommonDialogManager.h"

#include "platform/AppError.h"
#include "platform/Drives.h"
#include "platform/FileSystem.h"
#include "shared/ErrorTrap.h"
#include "platform/Shell.h"
#include "shared/Messages.h"
#include "shared/PathText.h"
#include "shared/TrappedCall.h"
#include "shared/frmMapNetworkDrive.h"
#include "ui/Form.h"
#include "ui/ListBox.h"

#include <QRandomGenerator>
#include <cmath>

namespace basGlobal {

namespace {

enum class DialogKind { Folder, Open, Save };

void backToFront(ui::Form* window)
{
    if (!window)
        return;
    BringFormToFront(*window);
    window->refresh();
}

QString runFileDialog(ui::Form* window, ui::CommonDialog& dialog, DialogKind kind, const QString& initialFolder,
                      const QString& title, const QString& fileName, const QString& defaultExtension,
                      const QString& filter, Long flags, Long& outError)
{
    QString result;
    outError = TrappedCall([&] {
        dialog.initDir = initialFolder;
        dialog.cancelError = true;
        dialog.dialogTitle = title;
        if (kind == DialogKind::Save)
            dialog.defaultExt = defaultExtension;
        dialog.fileName = fileName;
        dialog.filter = filter;
        dialog.flags = flags;
        bool chosen = false;
        switch (kind) {
        case DialogKind::Folder: chosen = dialog.showFolder(); break;
        case DialogKind::Open: chosen = dialog.showOpen(); break;
        case DialogKind::Save: chosen = dialog.showSave(); break;
        }
        if (chosen)
            result = kind == DialogKind::Folder ? AddTrailingSeparator(dialog.fileName) : dialog.fileName;
    });
    if (outError == platform::errCancelSelected)
        outError = 0;
    if (outError != 0)
        result.clear();
    backToFront(window);
    return result;
}

bool pathExists(const QString& path) { return platform::fileExists(path) || platform::folderExists(path); }

// "D:\A\report.txt" -> "D:\A\report (2).txt", the first name not taken.
QString freeNameFor(const QString& target)
{
    const QString folder = GetTextBeforeSeparator(target);
    const QString name = GetTextAfterSeparator(target);
    const qsizetype dot = name.lastIndexOf(u'.');
    const QString base = dot > 0 ? name.left(dot) : name;
    const QString ext = dot > 0 ? name.mid(dot) : QString();
    for (int n = 2;; ++n) {
        const QString candidate = folder + u'\\' + base + QStringLiteral(" (") + QString::number(n) + u')' + ext;
        if (!pathExists(candidate))
            return candidate;
    }
}

bool confirmReplace(ui::Form* window, const QString& target)
{
    const bool greek = globals().LanguageIsGreek;
    const QString title = greek ? QStringLiteral("Επιβεβαίωση αντικαταστάσεως") : QStringLiteral("Confirm replace");
    const QString text = greek
        ? QStringLiteral("Το «") + target + QStringLiteral("» υπάρχει ήδη.\r\n\r\nΘέλετε να αντικατασταθεί;")
        : QStringLiteral("'") + target + QStringLiteral("' exists already.\r\n\r\nDo you want to replace it?");
    return ShowMessageBox(window, title, text, ui::vbQuestionYesNoDefNo) == ui::vbYes;
}

} // namespace

QString ShowFolderSelectionDialog(ui::Form* window, ui::CommonDialog& dialog, const QString& initialFolder,
                                  const QString& title, const QString& fileName, const QString& filter,
                                  Long& outError, Long flags)
{
    return runFileDialog(window, dialog, DialogKind::Folder, initialFolder, title, fileName, QString(), filter, flags,
                         outError);
}

QString ShowOpenFileDialog(ui::Form* window, ui::CommonDialog& dialog, const QString& initialFolder,
                           const QString& title, const QString& fileName, const QString& filter, Long& outError,
                           Long flags)
{
    return runFileDialog(window, dialog, DialogKind::Open, initialFolder, title, fileName, QString(), filter, flags,
                         outError);
}

QString ShowSaveFileDialog(ui::Form* window, ui::CommonDialog& dialog, const QString& initialFolder,
                           const QString& title, const QString& fileName, const QString& defaultExtension,
                           const QString& filter, Long& outError, Long flags)
{
    return runFileDialog(window, dialog, DialogKind::Save, initialFolder, title, fileName, defaultExtension, filter,
                         flags, outError);
}

bool ShowMapNetworkDriveDialog(ui::Form* /*window*/, Long& outError)
{
    Long code = kNetCancelled;
    outError = TrappedCall([&] {
        frmMapNetworkDrive dialog;
        dialog.show(ui::Modal);
        code = dialog.resultCode;
    });
    if (outError != 0)
        return false;
    if (code == kNetDone)
        return true;
    if (code != kNetCancelled)
        outError = code;
    return false;
}

bool ShowDisconnectNetworkDriveDialog(ui::Form* window, Long& outError)
{
    Long code = kNetCancelled;
    outError = TrappedCall([&] {
        if (platform::UserDriveMap::load().empty()) {
            const bool greek = globals().LanguageIsGreek;
            ShowMessageBox(window,
                           greek ? QStringLiteral("Αποσύνδεση δίσκου δικτύου") : QStringLiteral("Unmap network drive"),
                           greek ? QStringLiteral("Δεν υπάρχει αντιστοιχισμένος δίσκος.")
                                 : QStringLiteral("No drive letter is mapped."),
                           ui::vbInformationOK);
            code = kNetNotConnected;
            return;
        }
        frmDisconnectNetworkDrive dialog;
        dialog.show(ui::Modal);
        code = dialog.resultCode;
    });
    if (outError != 0)
        return false;
    if (code == kNetDone)
        return true;
    if (code != kNetCancelled && code != kNetNotConnected)
        outError = code;
    return false;
}

QString NetworkErrorName(Long code, bool unmap)
{
    switch (code) {
    case kNetFunctionBusy: return unmap ? QString() : QStringLiteral("WN_FUNCTION_BUSY");
    case kNetNoNetwork: return QStringLiteral("WN_NO_NETWORK");
    case kNetOutOfMemory: return QStringLiteral("WN_OUT_OF_MEMORY");
    case kNetExtendedError: return QStringLiteral("WN_EXTENDED_ERROR");
    default: return QString();
    }
}

bool IsNetworkConnected(Long& outError)
{
    bool alive = false;
    outError = TrappedCall([&] { alive = platform::shell().networkAlive(); });
    return outError == 0 && alive;
}

bool OpenWithAssociatedApplication(ui::Form* window, const QString& file, bool& outNoAssociation, Long& outError,
                                   bool showError)
{
    outNoAssociation = false;
    outError = 0;
    bool result = true;
    outError = TrappedCall([&] {
        int code = 0;
        if (platform::isOpenableAddress(file) || platform::fileExists(file))
            code = platform::shell().openWithAssociatedProgram(file);
        else   // no folder, program or other scheme is ever handed to the shell
            code = platform::looksLikeAddress(file) ? platform::openNoAssociation : platform::openFileNotFound;
        if (code == platform::openNoAssociation)
            outNoAssociation = true;
        const QString text = GetShellExecuteErrorText(code);
        if (!text.isEmpty()) {
            result = false;
            if (showError) {
                const bool greek = globals().LanguageIsGreek;
                ShowMessageBox(window,
                               greek ? QStringLiteral("Άνοιγμα μέσω συσχετισμένης εφαρμογής")
                                     : QStringLiteral("Open with associated application"),
                               greek ? QStringLiteral("Κατά την ενεργοποίηση της εργασίας «Άνοιγμα μέσω της "
                                                      "συσχετισμένης εφαρμογής», προέκυψε το ακόλουθο σφάλμα: «")
                                           + text + QStringLiteral("».")
                                     : QStringLiteral("While trying to launch the 'Open with associated application' "
                                                      "process, the following error occured: '")
                                           + text + QStringLiteral("'."),
                               ui::vbInformationOK);
            }
        }
    });
    backToFront(window);
    return outError == 0 && result;
}

QString GetShellExecuteErrorText(Long code)
{
    struct Row {
        Long code;
        const char16_t* english;
        const char16_t* greek;
    };
    static const Row rows[] = {
        {2, u"File not found", u"Το αρχείο δεν βρέθηκε"},
        {3, u"Path not found", u"Η διαδρομή δεν βρέθηκε"},
        {5, u"Access denied", u"Απαγορεύεται η προσπέλαση"},
        {8, u"Out of memory", u"Η μνήμη δεν επαρκεί"},
        {32, u"DLL not found", u"Κάποιο DLL δεν βρέθηκε"},
        {26, u"A sharing violation occurred", u"Προκλήθηκε παραβίαση κοινής χρήσεως"},
        {27, u"Incomplete or invalid association", u"Ανεπαρκής ή λανθασμένος συσχετισμός"},
        {28, u"DDE time out", u"Έληξε η χρονική διάρκεια σε κάποια διαδικασία DDE"},
        {29, u"DDE transaction failed", u"Απέτυχε η διεκπεραίωση κάποιας διαδικασίας DDE"},
        {30, u"DDE busy", u"Κάποια διαδικασία DDE είναι απασχολημένη"},
        {31, u"No association", u"Ανυπαρξία συσχετισμού"},
        {11, u"Invalid EXE file or error in EXE image", u"Λανθασμένο αρχείο EXE ή λανθασμένη δομή EXE αρχείου"},
    };
    for (const Row& r : rows)
        if (r.code == code)
            return QString::fromUtf16(globals().LanguageIsGreek ? r.greek : r.english);
    return QString();
}

bool DeleteFileOrFolder(ui::Form* window, const QString& path, bool& outAborted, Long& outResult, bool allowUndo,
                        bool /*noConfirmation*/)
{
    outAborted = false;
    outResult = 0;
    const Long trapped = TrappedCall([&] { outResult = platform::shell().deleteItems({path}, allowUndo); });
    if (trapped != 0)
        outResult = trapped;
    backToFront(window);
    return outResult == 0 && !outAborted;
}

bool CopyOrMoveFile(ui::Form* window, bool copy, const QString& source, const QString& destination,
                    bool& outAborted, Long& outResult, bool noConfirmation, bool renameOnCollision,
                    bool /*noConfirmMkDir*/, bool multiDestFiles)
{
    outAborted = false;
    outResult = 0;
    const Long trapped = TrappedCall([&] {
        platform::Shell& sh = platform::shell();
        const QString from = RemoveTrailingSeparator(source);
        const QString name = GetTextAfterSeparator(from);
        const bool intoFolder = !multiDestFiles
            && (destination.endsWith(u'\\') || platform::folderExists(destination));
        QString target = intoFolder ? AddTrailingSeparator(destination) + name : RemoveTrailingSeparator(destination);
        const bool sameItem = ApplyCaseSensitivity(target, globals().VolumeIsCaseSensitive)
            == ApplyCaseSensitivity(from, globals().VolumeIsCaseSensitive);
        if (!sameItem && pathExists(target)) {
            if (renameOnCollision) {
                target = freeNameFor(target);
            } else if (!noConfirmation && !confirmReplace(window, target)) {
                outAborted = true;
                return;
            }
        }
        if (!copy) {
            outResult = sh.moveFile(from, target);
            return;
        }
        const QString folder = GetTextBeforeSeparator(target);
        if (GetTextAfterSeparator(target) == name) {
            outResult = sh.copyFiles({from}, folder);
            return;
        }
        // A copy under another name goes through a private folder beside the
        // target, so no other item of the target folder is ever replaced.
        const QString staging = folder + QStringLiteral("\\.quillmarsh-copy-")
            + QString::number(QRandomGenerator::global()->generate(), 16);
        outResult = sh.copyFiles({from}, staging);
        if (outResult == 0)
            outResult = sh.moveFile(staging + u'\\' + name, target);
        sh.deleteItems({staging}, false);
    });
    if (trapped != 0)
        outResult = trapped;
    backToFront(window);
    return outResult == 0 && !outAborted;
}

void GetListBoxSelectedItems(ui::ListBox& list, Long count, std::vector<Long>& indexes)
{
    if (count < 0 || std::size_t(count) > indexes.size())
        RaiseError(platform::errSubscript);
    const QList<int> selected = list.selectedIndexes();
    for (Long k = 0; k < count && k < selected.size(); ++k)
        indexes[std::size_t(k)] = selected[k];
}

void ShowListBoxItemToolTip(ui::ListBox& list, int button, int /*shift*/, float x, float y)
{
    if (button != 0)
        return;
    const int item = list.itemFromPoint(int(std::lround(x)), int(std::lround(y)));
    list.setToolTipText(item >= 0 && item < list.listCount() ? list.list(item).trimmed() : QString());
}

void ShowPathListItemToolTip(ui::ListBox& list, int button, int shift, int x, int y)
{
    if (globals().HidePathToolTips)
        list.setToolTipText(QString());
    else
        ShowListBoxItemToolTip(list, button, shift, float(x), float(y));
}

} // namespace basGlobal
