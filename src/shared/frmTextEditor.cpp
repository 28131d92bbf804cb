#include "shared/frmTextEditor.h"

#include "platform/AppError.h"
#include "platform/AtomicFile.h"
#include "platform/Drives.h"
#include "platform/TextDecoding.h"
#include "shared/ErrorTrap.h"
#include "shared/Messages.h"
#include "shared/Texts.h"
#include "shared/basSavedPaths.h"
#include "ui/Control.h"

namespace basGlobal {

namespace {

QString joinLines(const QStringList& lines)
{
    return lines.join(u'\n');
}

} // namespace

frmTextEditor::frmTextEditor(QString logicalFile) : ui::Form(QStringLiteral("frmTextEditor")), file_(std::move(logicalFile))
{
    Load = [this] { Form_Load(); };
}

void frmTextEditor::build()
{
    move(0, 0, 7800, 5400);
    txtText = add<ui::TextBox>(QStringLiteral("txtText"));
    txtText->setMultiLine(true);
    txtText->move(120, 120, 7440, 4080);
    cmdSave = add<ui::CommandButton>(QStringLiteral("cmdSave"));
    cmdSave->move(4980, 4380, 1215, 375);
    cmdCancel = add<ui::CommandButton>(QStringLiteral("cmdCancel"));
    cmdCancel->move(6345, 4380, 1215, 375);
    freeSizer1 = add<ui::FormResizer>(QStringLiteral("freeSizer1"));
    // Enter starts a new line in the text, so no button is the default.
    setCancelButton(cmdCancel);
    cmdSave->Click = [this] { cmdSave_Click(); };
    cmdCancel->Click = [this] { unload(); };
}

void frmTextEditor::Form_Load()
{
    setCaption(file_ + QStringLiteral(" - ") + Txt(u"Edit saved paths", u"Επεξεργασία αποθηκευμένων διαδρομών"));
    cmdSave->setCaption(Txt(u"Save", u"Αποθήκευση"));
    cmdCancel->setCaption(Txt(u"Cancel", u"Άκυρο"));
    freeSizer1->setResizeFonts(globals().ResizeFontEnabled);
    const QString title = Txt(u"Edit saved paths", u"Επεξεργασία αποθηκευμένων διαδρομών");
    QList<QByteArray> raw;
    const Long err = ReadSavedPathsLines(file_, raw);
    // A missing file (or a drive that is not there) starts empty: Save
    // creates it, or says why it cannot.
    if (err == platform::errFileNotFound || err == platform::errPathNotFound)
        return;
    // Any other failure closes the window: a text shown from part of the
    // file, or from something that is no file, would be saved over it.
    if (err == kSavedPathsTooLarge) {
        ShowSavedPathsTooLarge(this, title, file_);
        unload();
        return;
    }
    if (err != 0) {
        const QString cause = err == kSavedPathsNotAFile ? Txt(u"it is not a file", u"δεν είναι αρχείο")
                                                         : platform::errorDescription(int(err));
        ShowMessageBox(this, title,
                       Txt(u"The file '", u"Το αρχείο «") + file_
                           + Txt(u"' cannot be read: ", u"» δεν μπορεί να διαβασθεί: ") + cause,
                       48);
        unload();
        return;
    }
    // Blank lines are part of the file as the user left it: show them all.
    QStringList lines;
    for (const QByteArray& line : raw)
        lines.append(platform::decodeText(line));
    txtText->setText(joinLines(lines));
}

void frmTextEditor::cmdSave_Click()
{
    QString text = txtText->text();
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    QByteArray bytes;
    QStringList lines = text.split(u'\n');
    if (lines.last().isEmpty())
        lines.removeLast();   // the break after the last line is not a line of its own
    for (const QString& line : lines)
        bytes += line.toUtf8() + "\r\n";
    Long err = platform::errPathNotFound;
    if (const std::optional<QString> native = platform::toNative(file_))
        err = platform::writeFileAtomically(SavedPathsWriteTarget(*native), bytes);
    if (err != 0) {
        ShowMessageBox(this, Txt(u"Edit saved paths", u"Επεξεργασία αποθηκευμένων διαδρομών"),
                       Txt(u"The file '", u"Το αρχείο «") + file_
                           + Txt(u"' could not be saved: ", u"» δεν αποθηκεύθηκε: ")
                           + platform::errorDescription(int(err)),
                       48);
        return;
    }
    saved_ = true;
    unload();
}

} // namespace basGlobal
