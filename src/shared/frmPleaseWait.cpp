#include "shared/frmPleaseWait.h"

#include "shared/basGlobal.h"

namespace basGlobal {

frmPleaseWait::frmPleaseWait() : ui::Form(QStringLiteral("frmPleaseWait")) {}

void frmPleaseWait::build()
{
    // A small fixed window: two centred lines and nothing to resize.
    move(left(), top(), 4800, 1290);
    lblProcessInProgress = add<ui::Label>(QStringLiteral("lblProcessInProgress"));
    lblProcessInProgress->move(120, 180, 4440, 300);
    lblProcessInProgress->setAlignment(2);
    lblPleaseWait = add<ui::Label>(QStringLiteral("lblPleaseWait"));
    lblPleaseWait->move(120, 540, 4440, 300);
    lblPleaseWait->setAlignment(2);
}

frmPleaseWait& PleaseWait()
{
    static frmPleaseWait* const form = new frmPleaseWait;
    return *form;
}

QString PleaseWaitProcessText(PleaseWaitReason reason, bool greek)
{
    switch (reason) {
    case PleaseWaitReason::RetrievingFirstLevelFolders:
        return greek ? QStringLiteral("Ανάκτηση φακέλλων πρώτου επιπέδου")
                     : QStringLiteral("Retrieving first level folders");
    case PleaseWaitReason::Interpreting:
        return greek ? QStringLiteral("Ερμηνεία") : QStringLiteral("Interpreting");
    }
    return QString();
}

QString PleaseWaitText(bool greek)
{
    return greek ? QStringLiteral("Παρακαλώ περιμένετε...") : QStringLiteral("Please wait...");
}

frmPleaseWait& ShowPleaseWait(ui::Form& caller, PleaseWaitReason reason)
{
    const bool greek = globals().LanguageIsGreek;
    return ShowPleaseWait(caller, PleaseWaitProcessText(reason, greek), PleaseWaitText(greek));
}

frmPleaseWait& ShowPleaseWait(ui::Form& caller, const QString& processText, const QString& pleaseWaitText)
{
    frmPleaseWait& form = PleaseWait();
    form.load();
    form.move(caller.left() + (caller.width() - form.width()) / 2, caller.top() + (caller.height() - form.height()) / 2,
              form.width(), form.height());
    form.setCaption(QString());
    form.lblProcessInProgress->setCaption(processText);
    form.lblPleaseWait->setCaption(pleaseWaitText);
    form.show(ui::Modeless);
    form.refresh();
    return form;
}

} // namespace basGlobal
