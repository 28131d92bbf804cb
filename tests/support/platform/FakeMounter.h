#pragma once
#include "platform/NetworkMount.h"

namespace platform {

// Records the addresses; answers from its fields.
class FakeMounter : public NetworkMounter {
public:
    MountResult mount(const QString& url, QString& nativeFolder) override
    {
        mounted << url;
        nativeFolder = result == MountResult::done ? folder : QString();
        return result;
    }

    MountResult result = MountResult::done;
    QString folder;
    QStringList mounted;
};

} // namespace platform
