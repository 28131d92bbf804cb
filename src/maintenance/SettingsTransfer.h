#pragma once
// What the settings export and import windows share: the three items (the
// INI file and the two saved-path files), each a check box with a label
// that shows the application's own file, the folder row, the three command
// buttons, disabling every control while the files are copied, and the
// copy itself.
//
// The copy is all or nothing (platform::copyFilesStaged) and never lands on
// its own source: the folder is refused when its text or its real path is
// the application folder's. A failed copy is told in a plain message; the
// window is then usable again and nothing has changed.

#include "shared/ControlLock.h"
#include "shared/basGlobal.h"
#include "ui/Control.h"
#include "ui/Form.h"

#include <QString>
#include <QStringList>

#include <array>
#include <functional>

namespace basGlobal {
class ErrorTrap;
}

namespace maintenance {

class SettingsTransferWindow : public ui::Form {
public:
    // The structures' tints (the main window's first-level file lists),
    // shown behind the saved-path labels.
    std::array<ui::Color, 2> tints{ui::kSysWindow, ui::kSysWindow};

    ui::Frame* fraSettings = nullptr;
    ui::CheckBox* chkIniFileName = nullptr;
    ui::Label* lblIniFileName = nullptr;
    ui::ControlArray<ui::CheckBox> chkSavedPaths;
    ui::ControlArray<ui::Label> lblSavedPaths;
    ui::CommandButton* cmdSettingsFolderExternal = nullptr;
    ui::Label* lblSettingsFolderExternal = nullptr;
    ui::Label* lblAuxiliary1 = nullptr;
    ui::Label* lblAuxiliary2 = nullptr;
    ui::CommandButton* cmdApply = nullptr;
    ui::CommandButton* cmdCancel = nullptr;
    ui::FormResizer* freeSizer1 = nullptr;

    void cpDisableControls();
    void cpEnableControls();

protected:
    // `importing` picks the texts, the help topics and the flag of the window.
    SettingsTransferWindow(const QString& name, bool importing);

    // Builds the common controls; `action` is Export or Import, placed right.
    void buildCommon(ui::CommandButton*& action, const QString& actionName);

    // Item k: 0 the INI file, 1 and 2 the Primary and Secondary saved paths.
    ui::CheckBox* itemCheck(int k) const { return k == 0 ? chkIniFileName : chkSavedPaths[k - 1]; }
    ui::Label* itemLabel(int k) const { return k == 0 ? lblIniFileName : lblSavedPaths[k - 1]; }
    static QString itemFile(int k);                        // the application's own file
    static QString itemKey(int k);                         // "Ini", "Primary", "Secondary"
    bool anyItemTicked() const;
    // The window's program-wide choices and folder (Export... or Import...).
    bool& choice(int k) const;
    QString& folder() const;

    // Load: empties the labels, reads the folder, then each item's stored
    // choice where `available(k)` (else the item is offered unticked and
    // disabled). Each read is a step of `trap`.
    void loadChoices(basGlobal::ErrorTrap& trap, const std::function<bool(int)>& available);
    // Apply: the enabled items' choices and a non-empty folder, each a step.
    void applyChoices(basGlobal::ErrorTrap& trap);
    // The action is disabled when nothing is ticked and enabled when
    // something is and the folder is shown.
    void enablingRule();
    void itemClick();
    // An item whose file has gone: dropped for good, and the user told.
    void dropMissingItem(int k, const QString& file, const QString& greekOpening);
    // Shows the item's file and enables its check box, or (unavailable)
    // unticks and disables it with an empty label.
    void showItem(int k, bool available);
    void setCancelCaption(bool close);
    void setFolderLabel(const QString& folderWithoutSeparator);

    // The folder command: asks for the folder (starting from the current
    // one, else the Primary Structure's drive root) and shows the choice.
    // False when the user cancelled; a failure is reported with `code`.
    bool chooseFolder(const QString& code);
    // When the folder is the application folder (its text under the case
    // rule, or the same real folder), tells the user and gives true.
    bool refuseApplicationFolder();
    // Copies the files into the folder; on failure tells the user and gives
    // false. `refusal` (optional) looks at each complete copy (the index of
    // its source and its native temporary name) before anything is replaced:
    // a message refuses the whole copy, and is shown; "" lets it go in.
    using CopyRefusal = std::function<QString(int index, const QByteArray& nativeCopy)>;
    bool copyAll(const QStringList& sources, const QString& destination, const CopyRefusal& refusal = {});

    QString windowTitle() const;
    bool& inProgress() const;

    ui::CommandButton* action_ = nullptr;

private:
    bool importing_;
    basGlobal::ControlLock lock_;
};

} // namespace maintenance
