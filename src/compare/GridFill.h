#pragma once
// Stages 16 to 18 of the comparison, which turn the two lstOutput lists into
// the results grid.
//
// - "initializing grid": one heading row and room for one row per output
//   row, nine columns (the marker column fixed), free merging except the
//   heading row, the saved column widths, every cell centred.
// - "populating grid": each data row written once, whole: names, sizes
//   (digits grouped), dates and times (the chosen formats) of both
//   structures, a single blank on the side of an inserted row; alternating
//   grey (odd rows) and white (even rows), differing pairs in the structure
//   tints, folder rows green with their blanks (equal names 5,5,3,3,5,5 so
//   pairs merge, different names 4,3,4,3,4,3 so nothing merges), the
//   newer/older marker, and merging for every row with an entry on both
//   sides.
// - "final processing": the totals labels, ComparedPath and
//   RunState::StructuresDiffer.
//
// Output rows are read from the right: the last seven "|"-fields are the
// values, everything before them the name, so a name holding "|" never
// shifts a field. Sizes are 64-bit.

#include "compare/CompareRun.h"

#include <QString>

#include <array>
#include <vector>

namespace ui {
class FlexGrid;
}

namespace compare {

// The one rule of a differing result row, for the colours of the finished
// grid and for Next difference: bit p (0 names, 1 sizes, 2 dates, 3 times)
// is set when cells 1 + 2p and 2 + 2p differ as shown, under the case rule.
// A row with an entry on one side only differs in its names whatever they
// read: a file named by blanks faces the blanks of the missing side.
unsigned DifferingPairs(const std::array<QString, 8>& cells, bool oneSided, bool caseSensitive);
// The same for data row r of a finished results grid, where the rows with
// an entry on one side only are the ones that do not merge.
unsigned DifferingPairs(const ui::FlexGrid& grid, int r, bool caseSensitive);

// One row of lstOutput taken apart.
struct ResultFields {
    enum Kind { Folder, File, Inserted } kind = Inserted;
    QString name;                    // a folder row keeps its trailing "\"
    std::array<QString, 7> fields;   // a file row's hidden ... time
};
ResultFields ParseResultRow(const QString& text, int code);

// Folder and file rows of each structure, inserted rows not counted.
struct GridTotals {
    std::array<qint64, 2> folders{};
    std::array<qint64, 2> files{};
    // Some row differs.
    bool differ = false;
};

void InitializeGrid(CompareRun& run);
GridTotals PopulateGrid(CompareRun& run);
void FinalProcessing(CompareRun& run, const GridTotals& totals);

} // namespace compare
