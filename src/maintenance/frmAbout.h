#pragma once
// The About window: title, version, description, disclaimer and notice,
// the system-information tool, and the way to the update check. It opens
// nothing itself: "Check for updated versions..." leaves kCheckForUpdatesTag
// in handOverTag and closes, and whoever opened About opens the check.

#include "ui/Control.h"
#include "ui/Form.h"

#include <QDate>
#include <QString>

#include <functional>
#include <optional>

namespace maintenance {

inline const QString kCheckForUpdatesTag = QStringLiteral("checkforupdates");

// Where the system-information tool is found, in this order: a tool the
// system names outright (used as it is, with no existence test), else a
// folder that must hold the tool file kSystemInfoToolName as an ordinary
// file. Either look-up answers nothing when it knows of no tool.
inline const QString kSystemInfoToolName = QStringLiteral("msinfo32");
struct SystemInfoLocator {
    std::function<std::optional<QString>()> toolPath;     // native full path
    std::function<std::optional<QString>()> toolFolder;   // native folder
};
// The system's look-ups: a known system-information program on this
// machine, then the application folder.
SystemInfoLocator systemInfoLocator();

// The notice line for the given day.
QString NoticeLine(const QDate& today, bool greek);

class frmAbout : public ui::Form {
public:
    frmAbout();

    // "" unless the user asked for the update check.
    QString handOverTag;
    // Tests replace the look-ups; empty members use the system's.
    SystemInfoLocator locator;

    ui::Label* lblTitle = nullptr;
    ui::Label* lblVersion = nullptr;
    ui::Label* lblDescription = nullptr;
    ui::Label* lblDisclaimer = nullptr;
    ui::Label* lblCopyright = nullptr;
    ui::CommandButton* cmdSysInfo = nullptr;
    ui::CommandButton* cmdCheckForUpdates = nullptr;
    ui::CommandButton* cmdOK = nullptr;
    ui::CommandButton* cmdBrackenfold = nullptr;
    ui::FormResizer* freeSizer1 = nullptr;

    void StartSysInfo();

protected:
    void build() override;

private:
    void Form_Load();
};

} // namespace maintenance
