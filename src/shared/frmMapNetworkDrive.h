#pragma once
// The two small windows that give a drive letter to a folder or a network
// share and take it away again. A letter lives in the drive table and in the
// user's drive map, so it lasts across runs. A network address (smb://,
// sftp://, nfs://, or \\server\share) is mounted first (platform's
// networkMounter()).
//
// Each window leaves its outcome in resultCode, with the network codes of
// the original dialogs: 0 done, 1223 cancelled, 1222 no network (no mount
// tool), 170 busy (the mount did not finish in time), 1208 any other failure
// (the mount or the drive map refused).
#include "shared/basGlobal.h"
#include "ui/Form.h"
#include "ui/ListBox.h"

#include <QString>

namespace basGlobal {

inline constexpr Long kNetDone = 0;
inline constexpr Long kNetCancelled = 1223;
inline constexpr Long kNetNotConnected = 2250;
inline constexpr Long kNetFunctionBusy = 170;
inline constexpr Long kNetNoNetwork = 1222;
inline constexpr Long kNetOutOfMemory = 8;
inline constexpr Long kNetExtendedError = 1208;

// True for an address that MountNetworkAddress takes.
bool IsNetworkAddress(const QString& text);
// Mounts the address and gives the local folder it is reachable at.
Long MountNetworkAddress(const QString& address, QString& nativeFolder);
// The letters D..Z that neither the drive table nor the drive map uses.
QStringList FreeDriveLetters();

class frmMapNetworkDrive : public ui::Form {
public:
    frmMapNetworkDrive();
    Long resultCode = kNetCancelled;

    ui::Label* lblDrive = nullptr;
    ui::ComboBox* cboDrive = nullptr;
    ui::Label* lblFolder = nullptr;
    ui::TextBox* txtFolder = nullptr;
    ui::Label* lblHint = nullptr;
    ui::CommandButton* cmdBrowse = nullptr;
    ui::CommandButton* cmdOK = nullptr;
    ui::CommandButton* cmdCancel = nullptr;
    ui::CommonDialog* dlgBrowse = nullptr;

protected:
    void build() override;

private:
    void cmdOK_Click();
    void cmdBrowse_Click();
    void fillLetters();
};

class frmDisconnectNetworkDrive : public ui::Form {
public:
    frmDisconnectNetworkDrive();
    Long resultCode = kNetCancelled;

    ui::Label* lblDrives = nullptr;
    ui::ListBox* lstDrives = nullptr;
    ui::CommandButton* cmdOK = nullptr;
    ui::CommandButton* cmdCancel = nullptr;

protected:
    void build() override;

private:
    void cmdOK_Click();
};

} // namespace basGlobal
