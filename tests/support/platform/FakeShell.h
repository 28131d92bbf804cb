#pragma once
#include "platform/Shell.h"

#include <deque>
#include <vector>

namespace platform {

// Records every call; answers from the public fields.
class FakeShell : public Shell {
public:
    struct Call {
        QString what;        // "copy", "move", "delete", "trash", "open", "run", "start"
        QStringList args;
    };
    std::vector<Call> calls;
    std::deque<int> results;        // next results of the file operations and opens (default 0 / openDone)
    bool startStarts = true;
    bool network = true;

    int copyFiles(const QStringList& sources, const QString& destinationFolder) override;
    int moveFile(const QString& source, const QString& destination) override;
    int deleteItems(const QStringList& items, bool toTrash) override;
    int openWithAssociatedProgram(const QString& target) override;
    bool runAndWait(const QString& program, const QString& logicalFile) override;
    bool startProgram(const QString& nativeProgram) override;
    bool networkAlive() override { return network; }
    QString systemInformationTool() override { return {}; }

private:
    int next(int fallback);
};

} // namespace platform
