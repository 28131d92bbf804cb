#include "maintenance/frmAbout.h"

#include "maintenance/VersionInformation.h"
#include "platform/Application.h"
#include "platform/Shell.h"
#include "shared/ErrorTrap.h"
#include "shared/Messages.h"
#include "shared/Texts.h"

#include <QFileInfo>

namespace maintenance {

using basGlobal::Txt;

SystemInfoLocator systemInfoLocator()
{
    SystemInfoLocator l;
    l.toolPath = []() -> std::optional<QString> {
        const QString tool = platform::shell().systemInformationTool();
        return tool.isEmpty() ? std::nullopt : std::optional<QString>(tool);
    };
    l.toolFolder = []() -> std::optional<QString> { return platform::app().nativePath(); };
    return l;
}

QString NoticeLine(const QDate& today, bool greek)
{
    const QString days = QStringLiteral("26/08/2002 - ") + today.toString(QStringLiteral("dd/MM/yyyy"));
    return Txt(greek, u"Copyright © ", u"Πνευματικά δικαιώματα © ") + basGlobal::globals().AuthorName
        + QStringLiteral(", ") + days;
}

frmAbout::frmAbout() : ui::Form(QStringLiteral("frmAbout")) {}

void frmAbout::build()
{
    move(0, 0, 7800, 4080);
    const auto label = [this](const char* name, int top, int height) {
        ui::Label* l = add<ui::Label>(QLatin1String(name));
        l->move(1080, top, 6480, height);
        l->setWordWrap(true);
        return l;
    };
    cmdBrackenfold = add<ui::CommandButton>(QStringLiteral("cmdBrackenfold"));
    cmdBrackenfold->setStyle(1);
    cmdBrackenfold->setPicture(ui::Picture{QStringLiteral(":/icons/about.png")});
    cmdBrackenfold->move(240, 240, 600, 600);
    cmdBrackenfold->setEnabled(false);
    cmdBrackenfold->setTabStop(false);
    lblTitle = label("lblTitle", 240, 360);
    ui::Font big = lblTitle->font();
    big.size = 12;
    big.bold = true;
    lblTitle->setFont(big);
    lblVersion = label("lblVersion", 660, 255);
    lblDescription = label("lblDescription", 1020, 720);
    lblDisclaimer = label("lblDisclaimer", 1860, 720);
    lblCopyright = label("lblCopyright", 2700, 255);
    cmdOK = add<ui::CommandButton>(QStringLiteral("cmdOK"));
    cmdOK->move(6360, 3240, 1200, 375);
    cmdSysInfo = add<ui::CommandButton>(QStringLiteral("cmdSysInfo"));
    cmdSysInfo->move(240, 3240, 2640, 375);
    cmdCheckForUpdates = add<ui::CommandButton>(QStringLiteral("cmdCheckForUpdates"));
    cmdCheckForUpdates->move(3000, 3240, 3240, 375);
    cmdOK->setCaption(QStringLiteral("OK"));
    setDefaultButton(cmdOK);
    setCancelButton(cmdOK);
    freeSizer1 = add<ui::FormResizer>(QStringLiteral("freeSizer1"));
    // Context help, in the order the window reads.
    int topic = 91000;
    for (ui::Control* c : std::initializer_list<ui::Control*>{lblTitle, lblVersion, lblDescription, lblDisclaimer,
                                                              lblCopyright, cmdSysInfo, cmdCheckForUpdates, cmdOK})
        c->setHelpTopic(topic += 10);

    cmdOK->Click = [this] { unload(); };
    cmdCheckForUpdates->Click = [this] {
        handOverTag = kCheckForUpdatesTag;
        cmdOK->setValue(true);
    };
    cmdSysInfo->Click = [this] { StartSysInfo(); };
    Load = [this] { Form_Load(); };
}

void frmAbout::Form_Load()
{
    basGlobal::ErrorTrap trap(this, QStringLiteral("AFL1000"));
    trap.step([&] {
        setCaption(Txt(u"About", u"Σχετικά"));
        lblTitle->setCaption(QStringLiteral("Tarnwick"));
        lblVersion->setCaption(Txt(u"Version ", u"Έκδοση "));
        lblDescription->setCaption(
            Txt(u"To cut a VERY long story extremely short, this application compares the files of two folder "
                u"structures, based on their name, size, date and time.",
                u"ΠΟΛΥ περιληπτικά, η εφαρμογή αυτή συγκρίνει τα αρχεία της δομής δύο φακέλλων, βάσει του ονόματος, "
                u"του μεγέθους, της χρονολογίας και της ώρας τους."));
        lblDisclaimer->setCaption(
            Txt(u"This application is provided \"as is\", without any warranty. The author accepts no liability for "
                u"any loss that may arise from its use.",
                u"Η εφαρμογή αυτή παρέχεται «ως έχει», χωρίς καμία εγγύηση. Ο δημιουργός δεν φέρει καμία ευθύνη για "
                u"οποιαδήποτε απώλεια προκύψει από τη χρήση της."));
        cmdSysInfo->setCaption(Txt(u"System Info...", u"Πληροφορίες συστήματος..."));
        cmdCheckForUpdates->setCaption(Txt(u"Check for updated versions...", u"Έλεγχος για ενημερωμένες εκδόσεις..."));
    });
    trap.step([&] { freeSizer1->setResizeFonts(basGlobal::globals().ResizeFontEnabled); });
    trap.step([&] { lblVersion->setCaption(lblVersion->caption() + CurrentVersionText()); });
    trap.step([&] { lblCopyright->setCaption(NoticeLine(QDate::currentDate(), basGlobal::globals().LanguageIsGreek)); });
}

void frmAbout::StartSysInfo()
{
    const SystemInfoLocator system = systemInfoLocator();
    const auto& toolPath = locator.toolPath ? locator.toolPath : system.toolPath;
    const auto& toolFolder = locator.toolFolder ? locator.toolFolder : system.toolFolder;
    std::optional<QString> tool = toolPath();
    if (!tool) {
        if (const std::optional<QString> folder = toolFolder()) {
            const QString candidate = *folder + u'/' + kSystemInfoToolName;
            const QFileInfo fi(candidate);
            if (fi.isFile())
                tool = candidate;
        }
    }
    if (tool && platform::shell().startProgram(*tool))
        return;
    basGlobal::ShowMessageBox(nullptr, Txt(u"System information", u"Πληροφορίες συστήματος"),
                              Txt(u"System Information is unavailable at this time.",
                                  u"Οι Πληροφορίες Συστήματος δεν είναι διαθέσιμες αυτήν την στιγμή."),
                              ui::vbInformationOK);
}

} // namespace maintenance
