#pragma once
// The shell: copying, moving and deleting files, opening a document or web
// address with its associated program, running a program and waiting for
// it, the network question and the system-information tool. Every path in
// and out is logical.

#include <QString>
#include <QStringList>

namespace platform {

// Results of the file operations (the shell's own codes; 0 = done).
enum ShellResult : int {
    shellOk = 0,
    shellNotFound = 2,
    shellAccessDenied = 5,
    shellDiskFull = 112,
    shellSameFile = 113,
    shellBadName = 124,
};

// Results of opening with the associated program: above 32 is success.
enum OpenResult : int {
    openFileNotFound = 2,
    openPathNotFound = 3,
    openOutOfMemory = 8,
    openBadAssociation = 27,
    openNoAssociation = 31,
    openDone = 33,
};

class Shell {
public:
    virtual ~Shell() = default;

    // Copies files (and folders, with their contents) into a folder, which is
    // made with its parents when missing. Existing files are replaced; copies
    // keep the source's mode and last-write time. A copy onto itself is
    // refused with shellSameFile and touches nothing.
    virtual int copyFiles(const QStringList& sources, const QString& destinationFolder) = 0;
    // Moves (renames) one file to a full destination name, replacing it.
    virtual int moveFile(const QString& source, const QString& destination) = 0;
    // Deletes files and folders; `toTrash` moves them to the trash instead and
    // leaves them in place when the trash cannot take them.
    virtual int deleteItems(const QStringList& items, bool toTrash) = 0;

    // Opens an existing file or an http, https or ftp address with its
    // associated program; does not wait for it. Returns an OpenResult.
    virtual int openWithAssociatedProgram(const QString& target) = 0;
    // Starts `program` (looked for in the application folder, then on PATH)
    // with the file as its one argument and waits until it ends, repainting
    // but handling no input. False when it could not be started.
    virtual bool runAndWait(const QString& program, const QString& logicalFile) = 0;
    // Starts a program without waiting; false when it could not be started.
    virtual bool startProgram(const QString& nativeProgram) = 0;

    // True when any network interface other than loopback is up.
    virtual bool networkAlive() = 0;
    // The native path of a system-information tool, or "" when none exists.
    virtual QString systemInformationTool() = 0;
};

class SystemShell : public Shell {
public:
    int copyFiles(const QStringList& sources, const QString& destinationFolder) override;
    int moveFile(const QString& source, const QString& destination) override;
    int deleteItems(const QStringList& items, bool toTrash) override;
    int openWithAssociatedProgram(const QString& target) override;
    bool runAndWait(const QString& program, const QString& logicalFile) override;
    bool startProgram(const QString& nativeProgram) override;
    bool networkAlive() override;
    QString systemInformationTool() override;

    // How long openWithAssociatedProgram waits for xdg-open's verdict.
    int openerWaitMs = 10000;
};

// The installed shell (a SystemShell unless a test installs another).
Shell& shell();
void setShell(Shell* s);   // nullptr: back to the system shell

// Whether a target is an address the shell may open (http, https, ftp).
bool isOpenableAddress(const QString& target);
// Whether the text starts with a URL scheme of two or more letters.
bool looksLikeAddress(const QString& target);

} // namespace platform
