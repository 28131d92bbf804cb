#pragma once
// Find: searches the texts of the results grid (rows 1 on, columns 1 to 8)
// for a piece of text, always regardless of case, and paints the cell found
// red, its own colour coming back with the next find or the closing.
//
// - First and Last search the whole grid down or up; Next and Previous go on
//   from the row last found (Previous starts again from the bottom after a
//   find in row 1; Next never wraps).
// - An empty search text becomes "\", which finds the folder rows.
// - The search text outlives the window in the tag of the results window's
//   Find button, as long as that window stays loaded.

#include "ui/Form.h"

namespace ui {
class FlexGrid;
}

namespace results {

class frmCompare;

class frmFind : public ui::Form {
public:
    frmFind();

    // The results window to search; set before each load.
    void setResults(frmCompare& results) { results_ = &results; }

    ui::TextBox* txtFindString = nullptr;   // its tag: the row last found, "0" for none
    ui::CommandButton* cmdFindFirst = nullptr;
    ui::CommandButton* cmdFindLast = nullptr;
    ui::CommandButton* cmdFindPrevious = nullptr;
    ui::CommandButton* cmdFindNext = nullptr;
    ui::CommandButton* cmdOK = nullptr;
    ui::FormResizer* freeSizer1 = nullptr;

    void cmdFindFirst_Click();
    void cmdFindLast_Click();
    void cmdFindNext_Click();
    void cmdFindPrevious_Click();
    // Gives the highlighted cell its own colour back and makes it the grid's
    // current cell.
    void cpChangeBackgroundColor();

    enum class Direction { First, Last, Next, Previous };

protected:
    void build() override;

private:
    void Form_Load();
    void Form_Unload(bool& cancel);
    void search(Direction direction);

    frmCompare* results_ = nullptr;
};

// The cell a search finds: the leftmost cell of columns 1 to 8 holding
// `upperNeedle` (already upper-cased) in its upper-cased text, in the first
// matching row from `startRow` to `endRow` (either direction); row -1 when
// none. Rows outside 1..rows-1 are never read.
struct FoundCell {
    int row = -1;
    int col = -1;
};
FoundCell FindInGrid(const ui::FlexGrid& grid, const QString& upperNeedle, int startRow, int endRow);

// The Find window (created on first use).
frmFind& FindWindow();

} // namespace results
