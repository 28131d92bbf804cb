#include "results/ResultTools.h"

#include "results/frmCompare.h"
#include "results/frmFind.h"
#include "results/frmInterpretation.h"
#include "results/frmPrint.h"
#include "shared/frmPleaseWait.h"

namespace results {

void ShowFindWindow(frmCompare& results)
{
    frmFind& find = FindWindow();
    find.setResults(results);
    find.load();
    find.show(ui::Modal);
}

void ShowInterpretationWindow(frmCompare& results, int row)
{
    frmInterpretation& explanation = InterpretationWindow();
    explanation.setSource(results, row);
    explanation.load();
    basGlobal::PleaseWait().unload();
    if (explanation.isLoaded())
        explanation.show(ui::Modal);
}

void ShowPrintWindow(frmCompare& results)
{
    frmPrint& f = PrintWindow();
    f.setResults(&results);
    f.load();
    f.show(ui::Modal);
}

} // namespace results
