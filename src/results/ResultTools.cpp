#include "results/ResultTools.h"

#include "compare/frmCompare.h"
#include "results/frmFind.h"
#include "results/frmInterpretation.h"
#include "shared/WindowHooks.h"
#include "shared/frmPleaseWait.h"

namespace results {

void installResultTools()
{
    basGlobal::WindowHooks& hooks = basGlobal::windowHooks();
    hooks.showFind = [](ui::Form& opener) {
        auto* results = dynamic_cast<compare::frmCompare*>(&opener);
        if (!results)
            return;
        frmFind& find = FindWindow();
        find.setResults(*results);
        find.load();
        find.show(ui::Modal);
    };
    hooks.showInterpretation = [](ui::Form& opener, int row) {
        auto* results = dynamic_cast<compare::frmCompare*>(&opener);
        if (!results)
            return;
        frmInterpretation& explanation = InterpretationWindow();
        explanation.setSource(*results, row);
        // The please-wait notice shows while the explanation is built.
        explanation.load();
        basGlobal::PleaseWait().unload();
        if (explanation.isLoaded())
            explanation.show(ui::Modal);
    };
}

} // namespace results
