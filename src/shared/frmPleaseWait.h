#pragma once
// A small modeless notice that says what is being prepared while a slow
// window loads. The caller shows it, loads its slow window, then unloads it:
//
//     ShowPleaseWait(*this, PleaseWaitReason::RetrievingFirstLevelFolders);
//     frmFolderIncludeExclude.load();
//     PleaseWait().unload();
//
// or lets a PleaseWaitNotice do the unloading at the end of a scope.

#include "ui/Control.h"
#include "ui/Form.h"

#include <QString>

namespace basGlobal {

class frmPleaseWait : public ui::Form {
public:
    frmPleaseWait();

    ui::Label* lblProcessInProgress = nullptr;   // the work being done
    ui::Label* lblPleaseWait = nullptr;          // "Please wait..."

protected:
    void build() override;
};

// The one please-wait window (not loaded until shown).
frmPleaseWait& PleaseWait();

enum class PleaseWaitReason { RetrievingFirstLevelFolders, Interpreting };

// The texts of the notice in the chosen language.
QString PleaseWaitProcessText(PleaseWaitReason reason, bool greek);
QString PleaseWaitText(bool greek);

// Loads the notice, centres it over `caller`, gives it an empty caption and
// its two texts (language of the moment), shows it modeless and repaints it
// at once, so it is on the screen before the caller's slow work begins.
frmPleaseWait& ShowPleaseWait(ui::Form& caller, PleaseWaitReason reason);
frmPleaseWait& ShowPleaseWait(ui::Form& caller, const QString& processText, const QString& pleaseWaitText);

// Shows the notice for the life of the object and unloads it at the end
// (also when the slow load raises).
class PleaseWaitNotice {
public:
    PleaseWaitNotice(ui::Form& caller, PleaseWaitReason reason) { ShowPleaseWait(caller, reason); }
    ~PleaseWaitNotice() { PleaseWait().unload(); }
    PleaseWaitNotice(const PleaseWaitNotice&) = delete;
    PleaseWaitNotice& operator=(const PleaseWaitNotice&) = delete;
};

} // namespace basGlobal
