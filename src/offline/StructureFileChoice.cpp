#include "offline/StructureFileChoice.h"

#include "offline/StructureWindow.h"
#include "platform/Drives.h"
#include "shared/ErrorTrap.h"
#include "shared/Messages.h"
#include "shared/PathText.h"
#include "shared/Texts.h"
#include "shared/basCommonDialogManager.h"
#include "shared/frmHiddenForm.h"
#include "ui/Control.h"
#include "ui/Desktop.h"

#include <QFileInfo>

#include <sys/stat.h>

namespace offline {

using basGlobal::globals;
using basGlobal::Txt;

namespace {

// The Save dialog asks before replacing a file; it must not insist that the
// file exists already.
constexpr basGlobal::Long kExportDialogFlags = basGlobal::kSaveDialogFlags & ~0x1000;

QString sideWord(int i) { return i == 0 ? Txt(u"Primary", u"Πρωτεύουσα") : Txt(u"Secondary", u"Δευτερεύουσα"); }

QString dialogTitle(StructureFileUse use, int i)
{
    return use == StructureFileUse::Export
               ? Txt(u"Define the file where the ", u"Ορίστε το αρχείο στο οποίο θα εξαχθεί η ") + sideWord(i)
                     + Txt(u" structure will be exported to", u" δομή")
               : Txt(u"Define the file where the ", u"Ορίστε το αρχείο από το οποίο θα εισαχθεί η ") + sideWord(i)
                     + Txt(u" structure will be imported from.", u" δομή.");
}

QString emptyNameText(StructureFileUse use, int i)
{
    const QString again = Txt(u"\r\n\r\nWould you like to try again?", u"\r\n\r\nΘέλετε να προσπαθήσετε πάλι;");
    if (use == StructureFileUse::Export)
        return Txt(u"For the ", u"Για να εξαχθεί η ") + sideWord(i)
               + Txt(u" structure to be exported, the definition of a file is mandatory.",
                     u" δομή, πρέπει να ορίσετε οπωσδήποτε ένα αρχείο.")
               + again;
    return Txt(u"For the ", u"Για να εισαχθεί η ") + sideWord(i)
           + Txt(u" structure to be imported, the definition of the file that contains "
                 u"the exported structure of the remote computer, is mandatory.",
                 u" δομή, πρέπει να ορίσετε οπωσδήποτε το αρχείο το οποίο περιέχει "
                 u"την εξαχθείσα δομή του απομακρυσμένου υπολογιστή.")
           + again;
}

QString oneSideText(StructureFileUse use, int missing)
{
    const int other = 1 - missing;
    if (use == StructureFileUse::Export)
        return Txt(u"You have selected the exporting of both the Primary and the Secondary "
                   u"structures, but you did not define the file where the ",
                   u"Έχετε ζητήσει να εξαχθεί και η Πρωτεύουσα και η Δευτερεύουσα δομή, αλλά "
                   u"δεν ορίσατε το αρχείο στο οποίο θα εξαχθεί η ")
               + sideWord(missing)
               + Txt(u" structure will be exported to.\r\n\r\nWould you like to export only the ",
                     u" δομή.\r\n\r\nΘέλετε να εξαχθεί μόνον η ")
               + sideWord(other) + Txt(u" structure?", u" δομή;");
    return Txt(u"You have selected the importing of both the Primary and the Secondary "
               u"structures, but you did not define the file where the ",
               u"Έχετε ζητήσει να εισαχθεί και η Πρωτεύουσα και η Δευτερεύουσα δομή, αλλά "
               u"δεν ορίσατε το αρχείο από το οποίο θα εισαχθεί η ")
           + sideWord(missing)
           + Txt(u" structure will be imported from.\r\n\r\nWould you like to import only the ",
                 u" δομή.\r\n\r\nΘέλετε να εισαχθεί μόνον η ")
           + sideWord(other) + Txt(u" structure?", u" δομή;");
}

QString sameNameText(StructureFileUse use)
{
    return use == StructureFileUse::Export
               ? Txt(u"The name of the file were the the Primary structure will be exported to, "
                     u"must not be the same as the name of the file were the Secondary "
                     u"structure will be exported to.\r\n\r\nWould you like to try again?",
                     u"Το όνομα του αρχείου στο οποίο θα εξαχθεί η Πρωτεύουσα δομή, δεν πρέπει να "
                     u"είναι το ίδιο με το όνομα του αρχείου στο οποίο θα εξαχθεί η Δευτερεύουσα "
                     u"δομή.\r\n\r\nΘέλετε να προσπαθήσετε ξανά;")
               : Txt(u"The name of the file were the the Primary structure will be imported from, "
                     u"must not be the same as the name of the file were the Secondary "
                     u"structure will be imported from.\r\n\r\nWould you like to try again?",
                     u"Το όνομα του αρχείου από το οποίο θα εισαχθεί η Πρωτεύουσα δομή, δεν πρέπει να "
                     u"είναι το ίδιο με το όνομα του αρχείου από το οποίο θα εισαχθεί η Δευτερεύουσα "
                     u"δομή.\r\n\r\nΘέλετε να προσπαθήσετε ξανά;");
}

bool ask(StructureWindow& window, const QString& text, basGlobal::Long style)
{
    return basGlobal::ShowMessageBox(&window, window.title(), text, style) == ui::vbYes;
}

void showName(StructureWindow& window, int i, const QString& name)
{
    ui::Label& label = *window.lblFile[i];
    label.setCaption(name.isEmpty() ? QString() : basGlobal::CompactPathToWidth(label, name));
    label.setToolTipText(name.isEmpty() || globals().HidePathToolTips ? QString() : name);
}

// The folder's real path and the name in it, for names of files that may
// not exist yet.
QString canonicalName(const QString& native)
{
    const QFileInfo info(native);
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    return folder.isEmpty() ? info.absoluteFilePath() : folder + QLatin1Char('/') + info.fileName();
}

} // namespace

QString DefaultExportFileName(int side, const QString& currentPath)
{
    const QString folder = basGlobal::AddTrailingSeparator(currentPath.left(3));
    QString name = side == 0 ? QStringLiteral("P") : QStringLiteral("S");
    name += QLatin1Char('_') + folder.left(1).toUpper();
    const QString last = basGlobal::GetTextAfterSeparator(basGlobal::RemoveTrailingSeparator(currentPath));
    if (!last.trimmed().isEmpty())
        name += QLatin1Char('_') + last;
    return name + QStringLiteral(".txt");
}

bool SameStructureFile(const QString& a, const QString& b)
{
    const bool caseSensitive = globals().VolumeIsCaseSensitive;
    if (basGlobal::ApplyCaseSensitivity(a, caseSensitive) == basGlobal::ApplyCaseSensitivity(b, caseSensitive))
        return true;
    const auto na = platform::toNative(a);
    const auto nb = platform::toNative(b);
    if (!na || !nb)
        return false;
    if (canonicalName(*na) == canonicalName(*nb))
        return true;
    struct stat sa {}, sb {};
    return ::stat(QFile::encodeName(*na).constData(), &sa) == 0 && ::stat(QFile::encodeName(*nb).constData(), &sb) == 0
           && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

bool ChooseStructureFiles(StructureWindow& window, StructureFileUse use, ChosenStructureFiles& out)
{
    const basGlobal::Globals& g = globals();
    ui::CommonDialog& dialog = *basGlobal::HiddenForm().dlgDialog;
    for (;;) {
        out = ChosenStructureFiles{};
        showName(window, 0, QString());
        showName(window, 1, QString());
        const int option = window.selectedStructures();
        const int first = option == 1 ? 1 : 0;
        const int last = option == 0 ? 0 : 1;
        for (int i = first; i <= last; ++i) {
            for (;;) {
                const QString& current = g.CurrentPath[std::size_t(i)];
                const QString folder = basGlobal::AddTrailingSeparator(current.left(3));
                const QString filter = Txt(u"All files|*.*", u"Όλα τα αρχεία|*.*");
                basGlobal::Long error = 0;
                QString& name = out.file[std::size_t(i)];
                name = use == StructureFileUse::Export
                           ? basGlobal::ShowSaveFileDialog(&window, dialog, folder, dialogTitle(use, i),
                                                           DefaultExportFileName(i, current), QString(), filter,
                                                           error, kExportDialogFlags)
                           : basGlobal::ShowOpenFileDialog(&window, dialog, folder, dialogTitle(use, i), QString(),
                                                           filter, error);
                basGlobal::BringFormToFront(window);
                window.refresh();
                basGlobal::RaiseIfError(error);
                if (!name.isEmpty()) {
                    showName(window, i, name);
                    break;
                }
                if (!ask(window, emptyNameText(use, i), ui::vbQuestionYesNo)) {
                    showName(window, i, QString());
                    break;
                }
            }
        }
        const bool named[2] = {!out.file[0].isEmpty(), !out.file[1].isEmpty()};
        if (!named[0] && !named[1])
            return false;
        out.first = named[0] ? 0 : 1;
        out.last = named[1] ? 1 : 0;
        if (option == 2 && named[0] != named[1]) {
            const basGlobal::Long style =
                use == StructureFileUse::Export ? ui::vbQuestionYesNo : ui::vbQuestionYesNoDefNo;
            if (!ask(window, oneSideText(use, named[0] ? 1 : 0), style))
                return false;
        }
        if (named[0] && named[1] && SameStructureFile(out.file[0], out.file[1])) {
            if (ask(window, sameNameText(use), ui::vbQuestionYesNo))
                continue;
            return false;
        }
        return true;
    }
}

} // namespace offline
