#pragma once
// The windows that the results window opens: Find, the explanation of a row
// and Print. Each runs modally over the results window it is given.

namespace results {

class frmCompare;

void ShowFindWindow(frmCompare& results);
// The explanation of the grid row; the please-wait notice shows while it is
// built and goes before the explanation appears.
void ShowInterpretationWindow(frmCompare& results, int row);
void ShowPrintWindow(frmCompare& results);

} // namespace results
