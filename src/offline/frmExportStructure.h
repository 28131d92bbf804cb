#pragma once
// The structure export window: Export structure chooses one file per
// selected structure, then scans each structure's current folder, collects
// the facts of every entry and writes each structure that has content to
// its file. The window stays open after a finished export with only Close
// enabled, and closes itself after a cancel.
//
// Every file is written beside its target and renamed over it only at the
// end of a run that was not cancelled: a cancel or a failure leaves files
// that were there before untouched. A side whose folder cannot be read,
// whose names a structure file cannot carry, or whose file cannot be written
// is reported as not exported, with the reason.

#include "offline/StructureFileChoice.h"
#include "offline/StructureWindow.h"
#include "platform/AtomicFile.h"
#include "shared/FileFacts.h"

namespace basGlobal {
class ErrorTrap;
}

namespace offline {

class frmExportStructure : public StructureWindow {
public:
    frmExportStructure();

    ui::ControlArray<ui::Label> lblCurrentFullPath;
    ui::ControlArray<ui::Label> lblTotalFolders;
    ui::ControlArray<ui::Label> lblTotalFiles;
    ui::ControlArray<ui::Label>& lblOutputFile = lblFile;
    ui::Label* lblProcessInProgress = nullptr;
    ui::CommandButton*& cmdExportStructure = cmdStart;

    // Export structure.
    void cmdExportStructure_Click() { start(); }

protected:
    void buildOwn() override;
    void loadOwn() override;
    void start() override;

private:
    struct Side {
        QString root;
        qint64 entries = 0;
        QString failure;                // why the side was not exported
        basGlobal::FileFactsStore facts;
        platform::AtomicFile file;
        bool written = false;
    };
    // The stages; false when the run was cancelled.
    bool scan(const ChosenStructureFiles& chosen);
    bool collect(const ChosenStructureFiles& chosen);
    bool write(const ChosenStructureFiles& chosen);
    void showStage(const QString& text);
    void finish(const ChosenStructureFiles& chosen, bool cancelled);
    QString notExported(int i, const QString& english, const QString& greek) const;

    Side m_side[2];
    qint64 m_progress = 0;
    qint64 m_total = 0;
};

frmExportStructure& ExportStructureWindow();

} // namespace offline
