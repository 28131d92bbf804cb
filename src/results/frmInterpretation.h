#pragma once
// The explanation of one row of the results grid: a one-row copy of the
// grid (headings, widths, alignment, colours), one block per structure with
// the entry's paths, name, size, date and time and attributes, and a
// paragraph of plain sentences on how the two sides relate. Everything is
// built while the window loads; afterwards it only shows it.
//
// The window reads the results grid, and the output and excluded lists that
// the comparison left in the working storage. Sizes are 64-bit and come from
// the output rows themselves, never from the grouped text of the grid.

#include "ui/FlexGrid.h"
#include "ui/Form.h"

#include <array>

namespace ui {
class ListBox;
}

namespace results {

class frmCompare;

// What the window shows of one structure's side of the row.
struct InterpretedEntry {
    QString fullPath;
    QString currentPath;        // the compared folder, with its trailing "\"
    QString supplementalPath;   // the entry's folder below it, with "\", or ""
    QString fileName;
    QString sizeText;
    QString dateTimeText;
    QString attributesText;
    qint64 sizeValue = 0;
};

// Side i of result row k (0-based) of `output` (a structure's output list,
// the alignment code as each item's number). A file's folder is the nearest
// folder entry above it; a file in the compared folder itself has none.
// Raises a run-time error for a damaged file row.
InterpretedEntry BuildInterpretedEntry(const ui::ListBox& output, int k, const QString& comparedPath, bool greek);

// "1,234 bytes", "1 byte" (Greek units too), digits grouped as the regional
// settings say.
QString SizeText(qint64 size, bool greek);
// "Hidden: No, System: No, Read only: No, Archive: Yes."
QString AttributesText(bool hidden, bool system, bool readOnly, bool archive, bool greek);

// The sentence for a file on both sides. `marker` is the newer/older cell
// of the row (letters of either language are taken).
QString BothSidesSentence(qint64 primarySize, qint64 secondarySize, const QString& marker, bool sameAttributes,
                          bool greek);
// The sentence for a file on side `side` only: without extended
// information a hint; with it, whether the other side excluded the file.
QString OneSideSentence(int side, bool extended, bool excludedOnOtherSide, bool greek);
// Whether `relativePath` is, as a whole, an item of `excluded` (case rule).
bool ExcludedFileFound(const ui::ListBox& excluded, const QString& relativePath, bool caseSensitive);

// What the excluded list knows of a folder: nothing, its own (or a
// sub-folder's) empty-folder marker, or another entry below it. The first
// item in list order below the folder decides.
enum class FolderLookup { None, Marker, Other };
FolderLookup LookUpExcludedFolder(const ui::ListBox& excluded, const QString& folderPath, bool caseSensitive);

// One side of a folder row: its relative path with "\" ("" when the folder
// is absent on that side), its alignment code and its excluded list.
struct FolderSide {
    QString supplementalPath;
    int alignmentCode = 0;
    const ui::ListBox* excluded = nullptr;
};
QString FolderRowSentence(const std::array<FolderSide, 2>& sides, bool extended, bool caseSensitive, bool greek);

class frmInterpretation : public ui::Form {
public:
    frmInterpretation();

    // The results window and the clicked grid row (1 on); set before each load.
    void setSource(frmCompare& results, int row)
    {
        results_ = &results;
        row_ = row;
    }
    const InterpretedEntry& entry(int i) const { return entries_[std::size_t(i)]; }

    ui::Label* lblInterpretationTitle = nullptr;
    ui::Label* lblInterpretation = nullptr;
    ui::CommandButton* cmdOK = nullptr;
    ui::FlexGrid* grdResults = nullptr;
    ui::ControlArray<ui::Label> lblStructureTitle;
    ui::ControlArray<ui::Label> lblFullPath;
    ui::ControlArray<ui::Label> lblCurrentPathTitle;
    ui::ControlArray<ui::Label> lblCurrentPath;
    ui::ControlArray<ui::Label> lblSupplementalPathTitle;
    ui::ControlArray<ui::Label> lblSupplementalPath;
    ui::ControlArray<ui::Label> lblFileNameTitle;
    ui::ControlArray<ui::Label> lblFileName;
    ui::ControlArray<ui::Label> lblSizeTitle;
    ui::ControlArray<ui::Label> lblSize;
    ui::ControlArray<ui::Label> lblDateTimeTitle;
    ui::ControlArray<ui::Label> lblDateTime;
    ui::ControlArray<ui::Label> lblAttributesTitle;
    ui::ControlArray<ui::Label> lblAttributes;
    ui::FormResizer* freeSizer1 = nullptr;

protected:
    void build() override;

private:
    void Form_Load();
    void copyRow(const ui::FlexGrid& source);
    void showEntry(int i);
    QString sentences() const;

    frmCompare* results_ = nullptr;
    int row_ = 0;
    std::array<InterpretedEntry, 2> entries_{};
};

// The explanation window (created on first use).
frmInterpretation& InterpretationWindow();

} // namespace results
