#pragma once
// Mounting a network address (smb://, sftp://, nfs://) so that a drive letter
// can point at it: the system's mounter runs gio; tests install a fake
// (ServiceOverride<NetworkMounter>(setNetworkMounter, &fake)).

#include <QString>
#include <QStringList>

namespace platform {

enum class MountResult {
    done,
    noTool,     // no mount tool on this system
    timedOut,   // the mount did not finish in time
    failed,     // the tool refused, or gave no local folder
};

class NetworkMounter {
public:
    virtual ~NetworkMounter() = default;
    // Mounts the address (a mounted one is left as it is) and gives the
    // existing local folder it is reachable at.
    virtual MountResult mount(const QString& url, QString& nativeFolder) = 0;
};

class GioMounter : public NetworkMounter {
public:
    MountResult mount(const QString& url, QString& nativeFolder) override;

    QString program = QStringLiteral("gio");
    int timeoutMs = 60000;
};

// The installed mounter (a GioMounter unless a test installs another).
NetworkMounter& networkMounter();
void setNetworkMounter(NetworkMounter* mounter);   // nullptr: back to the system's

} // namespace platform
