#include "shared/frmTextEditor.h"

#include "platform/AtomicFile.h"
#include "platform/Drives.h"
#include "platform/TextDecoding.h"
#include "shared/ErrorTrap.h"
#include "shared/FileFacts.h"
#include "shared/Messages.h"
#include "shared/Texts.h"
#include "shared/TrappedCall.h"
#include "shared/basSavedPaths.h"
#include "ui/Control.h"

#include <QFile>

#include <cerrno>

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
    if (!FileExists(file_))
        return;
    QStringList lines;
    // Blank lines are part of the file as the user left it: show them all.
    Long err = 0;
    const Long trapped = TrappedCall([&] {
        const std::optional<QString> native = platform::toNative(file_);
        QFile f(native.value_or(QString()));
        if (!native || !f.open(QIODevice::ReadOnly)) {
            err = platform::errorFromErrno(errno);
            return;
        }
        errno = 0;
        QByteArray bytes = f.readAll();
        // A file that opens but fails to read must not look empty: saving
        // that empty text would wipe the paths it holds.
        if (f.error() != QFileDevice::NoError) {
            err = platform::errorFromErrno(errno != 0 ? errno : EIO);
            return;
        }
        if (bytes.startsWith("\xEF\xBB\xBF"))
            bytes.remove(0, 3);
        bytes.replace("\r\n", "\n");
        bytes.replace('\r', '\n');
        for (const QByteArray& line : bytes.split('\n'))
            lines.append(platform::decodeText(line));
        if (!lines.isEmpty() && lines.last().isEmpty())
            lines.removeLast();
    });
    if (trapped != 0)
        err = trapped;
    if (err != 0) {
        ShowMessageBox(this, Txt(u"Edit saved paths", u"Επεξεργασία αποθηκευμένων διαδρομών"),
                       Txt(u"The file '", u"Το αρχείο «") + file_
                           + Txt(u"' cannot be read: ", u"» δεν μπορεί να διαβασθεί: ")
                           + platform::errorDescription(int(err)),
                       48);
        unload();
        return;
    }
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
        err = platform::writeFileAtomically(*native, bytes);
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
