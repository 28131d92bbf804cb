#include "maintenance/frmCheckForUpdates.h"

#include "maintenance/VersionInformation.h"
#include "platform/Http.h"
#include "platform/Shell.h"
#include "shared/ErrorTrap.h"
#include "shared/Messages.h"
#include "shared/Texts.h"
#include "shared/basCommonDialogManager.h"
#include "shared/frmHiddenForm.h"

#include <QUrl>

namespace maintenance {

using namespace basGlobal;

namespace {

// Only web pages are ever handed to the browser.
bool isWebAddress(const QString& address)
{
    const QUrl url(address, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    return url.isValid() && !url.host().isEmpty()
        && (scheme == QLatin1String("http") || scheme == QLatin1String("https"));
}

void setPictureFrom(ui::Image& image, const ui::Image* source)
{
    image.setPicture(source ? source->picture() : ui::Picture{});
}

} // namespace

frmCheckForUpdates::frmCheckForUpdates() : ui::Form(QStringLiteral("frmCheckForUpdates")) {}

void frmCheckForUpdates::build()
{
    move(0, 0, 7452, 6300);
    const auto label = [this](const char* name, int left, int top, int width, int height) {
        ui::Label* l = add<ui::Label>(QLatin1String(name));
        l->move(left, top, width, height);
        l->setWordWrap(true);
        return l;
    };
    lblPrivacyTitle = label("lblPrivacyTitle", 120, 120, 7092, 255);
    lblPrivacyTitle->setFontBold(true);
    lblPrivacyStatement = label("lblPrivacyStatement", 120, 480, 7092, 600);
    lblCurrentVersion = label("lblCurrentVersion", 120, 1200, 7092, 255);
    lblCurrentVersion->setHelpTopic(92010);
    cmdClose = add<ui::CommandButton>(QStringLiteral("cmdClose"));
    cmdClose->move(120, 1680, 3132, 372);
    cmdClose->setHelpTopic(92070);
    cmdCheck = add<ui::CommandButton>(QStringLiteral("cmdCheck"));
    cmdCheck->move(3960, 1680, 3252, 372);
    cmdCheck->setHelpTopic(92020);
    cmdCheck->setTabIndex(0);
    imgResultIcon = add<ui::Image>(QStringLiteral("imgResultIcon"));
    imgResultIcon->move(120, 2280, 384, 384);
    imgResultIcon->setStretch(true);
    lblResultDescription = label("lblResultDescription", 720, 2280, 6492, 480);
    lblResultDescription->setHelpTopic(92030);
    lblWhatsNew = label("lblWhatsNew", 120, 2880, 7092, 255);
    txtWhatsNew = add<ui::TextBox>(QStringLiteral("txtWhatsNew"));
    txtWhatsNew->move(120, 3120, 7092, 1932);
    txtWhatsNew->setMultiLine(true);
    txtWhatsNew->setLocked(true);
    txtWhatsNew->setHelpTopic(92040);
    lblSelectLocation = label("lblSelectLocation", 120, 5160, 3132, 255);
    cboWebLocation = add<ui::ComboBox>(QStringLiteral("cboWebLocation"));
    cboWebLocation->move(120, 5400, 3132, 315);
    cboWebLocation->setHelpTopic(92050);
    cmdLaunchWebBrowser = add<ui::CommandButton>(QStringLiteral("cmdLaunchWebBrowser"));
    cmdLaunchWebBrowser->move(3480, 5280, 3732, 492);
    cmdLaunchWebBrowser->setHelpTopic(92060);
    freeSizer1 = add<ui::FormResizer>(QStringLiteral("freeSizer1"));
    setDefaultButton(cmdCheck);
    setCancelButton(cmdClose);

    cmdCheck->Click = [this] { cmdCheck_Click(); };
    cmdClose->Click = [this] { cmdClose_Click(); };
    cmdLaunchWebBrowser->Click = [this] { cmdLaunchWebBrowser_Click(); };
    QueryUnload = [this](bool& cancel, int mode) {
        if (globals().UpdateCheckInProgress)
            cancel = ShowCannotCloseWindowMessage(this, Integer(mode));
    };
    Load = [this] { Form_Load(); };
}

void frmCheckForUpdates::Form_Load()
{
    ErrorTrap trap(this, QStringLiteral("CFUFL1000"));
    trap.step([&] {
        setCaption(Txt(u"Check for updated versions", u"Έλεγχος για ενημερωμένες εκδόσεις"));
        lblPrivacyTitle->setCaption(Txt(u"PRIVACY STATEMENT", u"ΔΗΛΩΣΗ ΑΠΟΡΡΗΤΟΥ"));
        lblPrivacyStatement->setCaption(
            Txt(u"During the check for updated versions process, information from your computer is NOT being sent "
                u"over to the internet.",
                u"Ο έλεγχος για ενημερωμένες εκδόσεις, γίνεται ΧΩΡΙΣ την αποστολή πληροφοριών από τον υπολογιστή σας "
                u"στο διαδίκτυο."));
        lblCurrentVersion->setCaption(Txt(u"Current version: ", u"Τρέχουσα έκδοση: ") + CurrentVersionText()
                                      + QStringLiteral("."));
        cmdClose->setCaption(Txt(u"Close", u"Κλείσιμο"));
        cmdCheck->setCaption(Txt(u"Check", u"Έλεγχος"));
        lblWhatsNew->setCaption(
            Txt(u"Differences between the three most recent versions", u"Διαφορές ανάμεσα στις τρεις τελευταίες εκδόσεις"));
        lblSelectLocation->setCaption(Txt(u"Select location", u"Επιλογή τοποθεσίας"));
        cmdLaunchWebBrowser->setCaption(Txt(u"Open location", u"Άνοιγμα τοποθεσίας"));
    });
    trap.step([&] { freeSizer1->setResizeFonts(globals().ResizeFontEnabled); });
    trap.step([&] {
        globals().UpdateCheckInProgress = false;
        globals().CancelRequested = false;
    });
    trap.step([&] {
        lblResultDescription->setCaption(QString());
        txtWhatsNew->setText(QString());
        cboWebLocation->clear();
        for (ui::Control* c : std::initializer_list<ui::Control*>{imgResultIcon, lblResultDescription, lblWhatsNew,
                                                                  txtWhatsNew, lblSelectLocation, cboWebLocation,
                                                                  cmdLaunchWebBrowser})
            c->setEnabled(false);
    });
}

bool frmCheckForUpdates::yieldCancelled()
{
    DoEventsNow();
    return globals().CancelRequested;
}

// The document as text; "" when none could be had. A host under the
// reserved ".invalid" domain (the placeholder of builds without an update
// server) can never answer, so it is not asked.
QString frmCheckForUpdates::fetchDocument(bool& cancelled)
{
    const UpdateCheckSettings& settings = updateCheckSettings();
    const QString address = VersionFileAddress(settings.addressTemplate);
    const QUrl url(address);
    if (!isWebAddress(address) || url.host().endsWith(QLatin1String(".invalid"), Qt::CaseInsensitive))
        return {};
    platform::HttpOptions options;
    options.timeoutMs = settings.timeoutMs;
    options.maxBytes = settings.maxBytes;
    // A document cut anywhere can still read as one, with a cut address:
    // only a body whose end the server announced is whole for certain.
    options.framedBodyOnly = true;
    const platform::HttpResult r = platform::http().get(address, options, [this] { return yieldCancelled(); });
    cancelled = r.cancelled;
    // An error page is no version document.
    if (r.error != 0 || r.cancelled || r.status < 200 || r.status > 299)
        return {};
    return r.text;
}

void frmCheckForUpdates::cmdCheck_Click()
{
    Globals& g = globals();
    frmHiddenForm& hidden = HiddenForm();
    {
        bool goOn = false;
        ErrorTrap trap(this, QStringLiteral("CFUC1000"), ErrorTrap::OnNo::StopOperation);
        trap.step([&] {
            Long error = 0;
            const bool connected = IsNetworkConnected(error);
            RaiseIfError(error);
            goOn = connected
                || ShowMessageBox(
                       this, caption(),
                       Txt(u"Your computer doesn't look like being connected to the internet. This happens either "
                           u"because indeed there is no such connection, or because the application is unable to "
                           u"determine if there is one.\r\n\r\nDespite this, do you still want to check for updated "
                           u"versions?",
                           u"Δεν φαίνεται να υπάρχει ενεργός σύνδεση του υπολογιστή σας με το διαδίκτυο. Αυτό μπορεί "
                           u"να συμβαίνει είτε διότι πράγματι δεν υπάρχει ενεργός σύνδεση του υπολογιστή σας με το "
                           u"διαδίκτυο, ή διότι η εφαρμογή αδυνατεί να την εντοπίσει.\r\n\r\nθέλετε, παρ' όλ' αυτά, να "
                           u"προχωρήσετε στον έλεγχο για ενημερωμένες εκδόσεις;"),
                       ui::vbQuestionYesNo)
                    == ui::vbYes;
        });
        if (!goOn)
            return;
    }
    g.UpdateCheckInProgress = true;
    cmdCheck->setEnabled(false);
    cmdClose->setCaption(Txt(u"Cancel", u"Άκυρο"));

    // Every step below ends at endRun(), also after an unexpected error.
    ErrorTrap trap(this, QStringLiteral("CFUC1000"), ErrorTrap::OnNo::StopOperation);
    trap.step([&] {
        setPictureFrom(*imgResultIcon, hidden.imgChecking);
        imgResultIcon->setEnabled(true);
        lblResultDescription->setEnabled(true);
        lblResultDescription->setCaption(
            Txt(u"Checking for updated versions. Please wait.",
                u"Γίνεται έλεγχος για ενημερωμένες εκδόσεις. Παρακαλώ περιμένετε."));
        if (yieldCancelled())
            return;
        bool cancelled = false;
        const QString text = fetchDocument(cancelled);
        if (cancelled || yieldCancelled())
            return;
        const VersionDocument doc = ReadVersionDocument(text, CurrentVersionText());
        if (yieldCancelled())
            return;
        if (doc.outcome == VersionDocument::Invalid) {
            showFailure();
            return;
        }
        const bool greek = g.LanguageIsGreek;
        txtWhatsNew->setText(greek ? doc.notesGreek : doc.notesEnglish);
        lblWhatsNew->setEnabled(true);
        txtWhatsNew->setEnabled(true);
        if (doc.outcome == VersionDocument::Latest) {
            PlayMessageBeep(0);
            setPictureFrom(*imgResultIcon, hidden.imgNoUpdates);
            lblResultDescription->setCaption(
                Txt(u"No updated versions are currently available. You have the latest version.",
                    u"Δεν υπάρχουν ενημερωμένες εκδόσεις προς το παρόν. Έχετε την τελευταία έκδοση."));
            cboWebLocation->clear();
            return;
        }
        PlayMessageBeep(48);
        setPictureFrom(*imgResultIcon, hidden.imgNewVersion);
        lblResultDescription->setCaption(
            Txt(u"A newer version, numbered ", u"Υπάρχει νεότερη έκδοση διαθέσιμη, με αριθμό ") + doc.version
            + Txt(u", is currently available.", u"."));
        hidden.lstTargetURL->clear();
        for (int k = 0; k < doc.locations.size(); ++k) {
            if (yieldCancelled())
                return;
            hidden.lstTargetURL->addItem(doc.locations[k]);
            cboWebLocation->addItem(Txt(u"Location ", u"Τοποθεσία ") + QString::number(k + 1));
        }
        lblSelectLocation->setEnabled(true);
        cboWebLocation->setEnabled(true);
        cboWebLocation->setListIndex(0);
        cmdLaunchWebBrowser->setEnabled(true);
        cmdLaunchWebBrowser->setMouseIcon(hidden.imgPointURL ? hidden.imgPointURL->picture() : ui::Picture{});
        cmdLaunchWebBrowser->setMousePointer(ui::vbCustom);
    });
    endRun();
}

void frmCheckForUpdates::showFailure()
{
    PlayMessageBeep(16);
    setPictureFrom(*imgResultIcon, HiddenForm().imgError);
    lblResultDescription->setCaption(
        Txt(u"No information about updated versions can be retrieved at this time. Please try again later.",
            u"Δεν κατέστη δυνατή η ανάκτηση πληροφοριών για ενημερωμένες εκδόσεις. Παρακαλώ προσπαθήστε αργότερα."));
}

void frmCheckForUpdates::endRun()
{
    Globals& g = globals();
    g.UpdateCheckInProgress = false;
    const bool cancelled = g.CancelRequested;
    g.CancelRequested = false;
    if (cancelled) {
        unload();
        return;
    }
    cmdClose->setEnabled(true);
    cmdClose->setCaption(Txt(u"Close", u"Κλείσιμο"));
}

void frmCheckForUpdates::cmdClose_Click()
{
    if (globals().UpdateCheckInProgress)
        globals().CancelRequested = ConfirmCancelProcessing(this, *cmdClose);
    else
        unload();
}

void frmCheckForUpdates::cmdLaunchWebBrowser_Click()
{
    ErrorTrap trap(this, QStringLiteral("CFULWB1000"));
    trap.step([&] {
        const int index = cboWebLocation->listIndex();
        const ui::ListBox& targets = *HiddenForm().lstTargetURL;
        if (index < 0 || index >= targets.listCount())
            return;
        // A line break that ends the document belongs to the last address.
        const QString address = targets.list(index).trimmed();
        if (isWebAddress(address)) {
            bool noAssociation = false;
            Long error = 0;
            OpenWithAssociatedApplication(this, address, noAssociation, error, true);
            RaiseIfError(error);
            return;
        }
        ShowMessageBox(this, Txt(u"Open with associated application", u"Άνοιγμα μέσω συσχετισμένης εφαρμογής"),
                       Txt(u"While trying to launch the 'Open with associated application' process, the following "
                           u"error occured: '",
                           u"Κατά την ενεργοποίηση της εργασίας «Άνοιγμα μέσω της συσχετισμένης εφαρμογής», προέκυψε "
                           u"το ακόλουθο σφάλμα: «")
                           + GetShellExecuteErrorText(platform::openNoAssociation) + Txt(u"'.", u"»."),
                       ui::vbInformationOK);
    });
}

} // namespace maintenance
