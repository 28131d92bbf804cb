#include "shared/frmMapNetworkDrive.h"

#include "shared/Texts.h"

#include "platform/AppError.h"
#include "platform/Drives.h"
#include "shared/Messages.h"
#include "shared/PathText.h"

#include "platform/NetworkMount.h"

#include <QFileInfo>
#include <QUrl>

namespace basGlobal {

namespace {

bool greek() { return globals().LanguageIsGreek; }

// "\\server\share\dir" -> "smb://server/share/dir"; addresses pass unchanged.
QString addressOf(const QString& text)
{
    if (text.startsWith(QStringLiteral("\\\\")))
        return QStringLiteral("smb://") + text.mid(2).replace(u'\\', u'/');
    return text;
}

// The table in force gains (or loses) a letter at once. The system's table
// is read again by the drive map itself; a table a test installed is
// extended here.
void addToTable(QChar letter, const QString& nativeFolder)
{
    if (platform::drives().find(letter))
        return;
    std::vector<platform::Drive> table = platform::drives().drives();
    platform::Drive d;
    d.letter = letter;
    d.mountPoint = nativeFolder;
    d.type = platform::driveFixed;
    d.userMapped = true;
    table.push_back(d);
    std::sort(table.begin(), table.end(), [](const platform::Drive& a, const platform::Drive& b) { return a.letter < b.letter; });
    platform::setDrives(platform::DriveTable(std::move(table)));
}

void removeFromTable(QChar letter)
{
    if (!platform::drives().find(letter))
        return;
    std::vector<platform::Drive> table = platform::drives().drives();
    std::erase_if(table, [&](const platform::Drive& d) { return d.letter == letter && d.userMapped; });
    platform::setDrives(platform::DriveTable(std::move(table)));
}

} // namespace

bool IsNetworkAddress(const QString& text)
{
    const QString t = addressOf(text.trimmed());
    for (const char* scheme : {"smb://", "sftp://", "nfs://"})
        if (t.startsWith(QLatin1String(scheme), Qt::CaseInsensitive) && t.size() > int(qstrlen(scheme)))
            return true;
    return false;
}

Long MountNetworkAddress(const QString& address, QString& nativeFolder)
{
    nativeFolder.clear();
    const QString url = addressOf(address.trimmed());
    if (!IsNetworkAddress(url) || !QUrl(url).isValid())
        return kNetExtendedError;
    switch (platform::networkMounter().mount(url, nativeFolder)) {
    case platform::MountResult::done: return kNetDone;
    case platform::MountResult::noTool: return kNetNoNetwork;
    case platform::MountResult::timedOut: return kNetFunctionBusy;
    case platform::MountResult::failed: break;
    }
    return kNetExtendedError;
}

QStringList FreeDriveLetters()
{
    QStringList out;
    const std::vector<platform::UserMapping> mapped = platform::UserDriveMap::load();
    for (char16_t c = u'D'; c <= u'Z'; ++c) {
        const QChar letter(c);
        const bool inMap = std::any_of(mapped.begin(), mapped.end(), [&](const platform::UserMapping& m) { return m.letter == letter; });
        if (!inMap && !platform::drives().find(letter))
            out << QString(letter) + u':';
    }
    return out;
}

// ---- map -------------------------------------------------------------------

frmMapNetworkDrive::frmMapNetworkDrive() : ui::Form(QStringLiteral("frmMapNetworkDrive")) {}

void frmMapNetworkDrive::build()
{
    setCaption(Txt(u"Map network drive", u"Αντιστοίχηση δίσκου δικτύου"));
    move(0, 0, 6300, 2700);
    lblDrive = add<ui::Label>(QStringLiteral("lblDrive"));
    lblDrive->setCaption(Txt(u"Drive:", u"Δίσκος:"));
    lblDrive->move(240, 300, 1300, 255);
    cboDrive = add<ui::ComboBox>(QStringLiteral("cboDrive"));
    cboDrive->move(1620, 240, 1000, 315);
    lblFolder = add<ui::Label>(QStringLiteral("lblFolder"));
    lblFolder->setCaption(Txt(u"Folder:", u"Φάκελλος:"));
    lblFolder->move(240, 780, 1300, 255);
    txtFolder = add<ui::TextBox>(QStringLiteral("txtFolder"));
    txtFolder->move(1620, 720, 3300, 315);
    cmdBrowse = add<ui::CommandButton>(QStringLiteral("cmdBrowse"));
    cmdBrowse->setCaption(Txt(u"Browse...", u"Αναζήτηση..."));
    cmdBrowse->move(5000, 720, 1060, 315);
    lblHint = add<ui::Label>(QStringLiteral("lblHint"));
    lblHint->setCaption(Txt(u"A folder, or a network address such as smb://server/share, sftp://host/folder or "
                            u"nfs://server/export.",
                            u"Ένας φάκελλος, ή μία διεύθυνση δικτύου όπως smb://server/share, sftp://host/folder "
                            u"ή nfs://server/export."));
    lblHint->setWordWrap(true);
    lblHint->move(1620, 1100, 4440, 540);
    cmdOK = add<ui::CommandButton>(QStringLiteral("cmdOK"));
    cmdOK->setCaption(Txt(u"OK", u"Εντάξει"));
    cmdOK->move(3480, 1800, 1215, 375);
    cmdCancel = add<ui::CommandButton>(QStringLiteral("cmdCancel"));
    cmdCancel->setCaption(Txt(u"Cancel", u"Άκυρο"));
    cmdCancel->move(4845, 1800, 1215, 375);
    dlgBrowse = add<ui::CommonDialog>(QStringLiteral("dlgBrowse"));
    setDefaultButton(cmdOK);
    setCancelButton(cmdCancel);
    fillLetters();

    cmdOK->Click = [this] { cmdOK_Click(); };
    cmdCancel->Click = [this] {
        resultCode = kNetCancelled;
        unload();
    };
    cmdBrowse->Click = [this] { cmdBrowse_Click(); };
}

void frmMapNetworkDrive::fillLetters()
{
    cboDrive->clear();
    for (const QString& letter : FreeDriveLetters())
        cboDrive->addItem(letter);
    if (cboDrive->listCount() > 0)
        cboDrive->setListIndex(0);
}

void frmMapNetworkDrive::cmdBrowse_Click()
{
    dlgBrowse->dialogTitle = caption();
    dlgBrowse->cancelError = false;
    dlgBrowse->fileName.clear();
    if (dlgBrowse->showFolder())
        txtFolder->setText(RemoveTrailingSeparator(dlgBrowse->fileName));
}

void frmMapNetworkDrive::cmdOK_Click()
{
    const QString title = caption();
    const QString target = txtFolder->text().trimmed();
    if (cboDrive->listIndex() < 0) {
        ShowMessageBox(this, title, Txt(u"There is no free drive letter left.", u"Δεν υπάρχει ελεύθερο γράμμα δίσκου."),
                       ui::vbExclamationOK);
        return;
    }
    if (target.isEmpty()) {
        ShowMessageBox(this, title,
                       Txt(u"Please type a folder or a network address.",
                           u"Παρακαλώ πληκτρολογήστε έναν φάκελλο ή μία διεύθυνση δικτύου."),
                       ui::vbExclamationOK);
        return;
    }
    const QChar letter = cboDrive->text().at(0);
    QString native;
    if (IsNetworkAddress(target)) {
        if (const Long rc = MountNetworkAddress(target, native); rc != kNetDone) {
            resultCode = rc;
            unload();
            return;
        }
    } else if (target.startsWith(u'/')) {
        native = target;
    } else if (const auto n = platform::toNative(target)) {
        native = *n;
    }
    if (native.isEmpty() || !QFileInfo(native).isDir()) {
        ShowMessageBox(this, title,
                       greek() ? QStringLiteral("Ο φάκελλος «") + target + QStringLiteral("» δεν υπάρχει.")
                               : QStringLiteral("The folder '") + target + QStringLiteral("' does not exist."),
                       ui::vbExclamationOK);
        return;
    }
    const int rc = platform::UserDriveMap::map(letter, native);
    if (rc == platform::errInvalidCall) {   // the letter was taken meanwhile
        ShowMessageBox(this, title,
                       greek() ? QStringLiteral("Το γράμμα ") + letter + QStringLiteral(": χρησιμοποιείται ήδη.")
                               : QStringLiteral("The letter ") + letter + QStringLiteral(": is already in use."),
                       ui::vbExclamationOK);
        fillLetters();
        return;
    }
    if (rc != 0) {
        resultCode = kNetExtendedError;
        unload();
        return;
    }
    addToTable(letter, QFileInfo(native).absoluteFilePath());
    resultCode = kNetDone;
    unload();
}

// ---- disconnect ------------------------------------------------------------

frmDisconnectNetworkDrive::frmDisconnectNetworkDrive() : ui::Form(QStringLiteral("frmDisconnectNetworkDrive")) {}

void frmDisconnectNetworkDrive::build()
{
    setCaption(Txt(u"Unmap network drive", u"Αποσύνδεση δίσκου δικτύου"));
    move(0, 0, 6300, 3300);
    lblDrives = add<ui::Label>(QStringLiteral("lblDrives"));
    lblDrives->setCaption(Txt(u"Mapped drives:", u"Αντιστοιχισμένοι δίσκοι:"));
    lblDrives->move(240, 200, 5800, 255);
    lstDrives = add<ui::ListBox>(QStringLiteral("lstDrives"));
    lstDrives->move(240, 500, 5820, 1700);
    for (const platform::UserMapping& m : platform::UserDriveMap::load()) {
        // The folder as the program shows every path (C:\...), its native
        // name only where no drive holds it.
        const QString logical = platform::toLogical(m.folder);
        lstDrives->addItem(QString(m.letter) + QStringLiteral(":   ") + (logical.isEmpty() ? m.folder : logical));
        lstDrives->setItemData(lstDrives->newIndex(), m.letter.unicode());
    }
    cmdOK = add<ui::CommandButton>(QStringLiteral("cmdOK"));
    cmdOK->setCaption(Txt(u"Disconnect", u"Αποσύνδεση"));
    cmdOK->move(3480, 2400, 1215, 375);
    cmdCancel = add<ui::CommandButton>(QStringLiteral("cmdCancel"));
    cmdCancel->setCaption(Txt(u"Cancel", u"Άκυρο"));
    cmdCancel->move(4845, 2400, 1215, 375);
    setDefaultButton(cmdOK);
    setCancelButton(cmdCancel);

    cmdOK->Click = [this] { cmdOK_Click(); };
    cmdCancel->Click = [this] {
        resultCode = kNetCancelled;
        unload();
    };
}

void frmDisconnectNetworkDrive::cmdOK_Click()
{
    if (lstDrives->listIndex() < 0) {
        ShowMessageBox(this, caption(),
                       Txt(u"Please choose the drive to disconnect.", u"Παρακαλώ επιλέξτε τον δίσκο προς αποσύνδεση."),
                       ui::vbExclamationOK);
        return;
    }
    const QChar letter(char16_t(lstDrives->itemData(lstDrives->listIndex())));
    if (platform::UserDriveMap::unmap(letter) != 0) {
        resultCode = kNetExtendedError;
        unload();
        return;
    }
    removeFromTable(letter);
    resultCode = kNetDone;
    unload();
}

} // namespace basGlobal
