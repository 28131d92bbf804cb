#pragma once
// The update check: one press of Check fetches the version document from
// the update server and shows whether the running version is the latest,
// that a newer one exists (with its notes and download locations, each of
// which opens in the web browser), or that nothing could be learnt.
//
// The run yields between its steps and can be cancelled; a cancel confirmed
// meanwhile closes the window at the next yield. Whatever goes wrong on the
// way (no answer, an error page, a malformed document, a time-out, a body
// larger than the cap) is the failure outcome, never an error report. Only
// http and https locations are ever opened; every text from the server is
// shown as plain text.

#include "ui/Control.h"
#include "ui/Form.h"

namespace maintenance {

class frmCheckForUpdates : public ui::Form {
public:
    frmCheckForUpdates();

    ui::Label* lblPrivacyTitle = nullptr;
    ui::Label* lblPrivacyStatement = nullptr;
    ui::Label* lblCurrentVersion = nullptr;
    ui::CommandButton* cmdCheck = nullptr;
    ui::CommandButton* cmdClose = nullptr;
    ui::Image* imgResultIcon = nullptr;
    ui::Label* lblResultDescription = nullptr;
    ui::Label* lblWhatsNew = nullptr;
    ui::TextBox* txtWhatsNew = nullptr;
    ui::Label* lblSelectLocation = nullptr;
    ui::ComboBox* cboWebLocation = nullptr;
    ui::CommandButton* cmdLaunchWebBrowser = nullptr;
    ui::FormResizer* freeSizer1 = nullptr;

protected:
    void build() override;

private:
    void Form_Load();
    void cmdCheck_Click();
    void cmdClose_Click();
    void cmdLaunchWebBrowser_Click();
    // Lets events run; true when the user has confirmed a cancel.
    bool yieldCancelled();
    QString fetchDocument(bool& cancelled);
    void showFailure();
    void endRun();
};

} // namespace maintenance
