#pragma once
// The page setup of printing: the font (Courier New, or its Greek twin), the
// font size, the top margin in blank lines and the left margin in blanks
// (both on printer pages only) and the lines per page, header included.
// OK puts the values in force until the program ends; Apply also saves them
// in the INI file and disables Cancel until the next change; Cancel (or the
// close box) keeps the values in force as they were. The values are taken
// from the value labels that the up-down controls write. OK and Apply take
// over nothing that does not fit a sheet of the printer at the chosen font
// (the top margin and the lines per page down it, the left margin and a
// whole printed line across it); they say so instead. Opened from the print
// window, the lines weighed are those that print sends, as the run weighs
// them; otherwise those of the layout alone.

#include "ui/Form.h"

#include <functional>

namespace results {

struct PrintSource;

enum PageSetupHelpTopic : int {
    htFraFont = 99010, htCourierNew = 99020, htCourierNewGreek = 99030,
    htFontSizeTitle = 99040, htFontSize = 99050, htUpdFontSize = 99060, htFontSizeMinMax = 99070,
    htFraMargin = 99080,
    htTopMarginTitle = 99090, htTopMargin = 99100, htUpdTopMargin = 99110, htTopMarginMinMax = 99120,
    htLeftMarginTitle = 99130, htLeftMargin = 99140, htUpdLeftMargin = 99150, htLeftMarginMinMax = 99160,
    htLinesPerPageTitle = 99170, htLinesPerPage = 99180, htUpdLinesPerPage = 99190, htLinesPerPageMinMax = 99200,
    htPageSetupOK = 99210, htPageSetupApply = 99220, htPageSetupCancel = 99230,
};

class frmPageSetup : public ui::Form {
public:
    frmPageSetup();

    ui::Frame* fraFont = nullptr;
    // Option buttons, whatever their names say.
    ui::OptionButton* chkCourierNew = nullptr;
    ui::OptionButton* chkCourierNewGreek = nullptr;
    ui::Label* lblFontSizeTitle = nullptr;
    ui::Label* lblFontSize = nullptr;
    ui::UpDown* updFontSize = nullptr;
    ui::Label* lblFontSizeMinMax = nullptr;
    ui::Frame* fraMargin = nullptr;
    ui::Label* lblTopMarginTitle = nullptr;
    ui::Label* lblTopMargin = nullptr;
    ui::UpDown* updTopMargin = nullptr;
    ui::Label* lblTopMarginMinMax = nullptr;
    ui::Label* lblLeftMarginTitle = nullptr;
    ui::Label* lblLeftMargin = nullptr;
    ui::UpDown* updLeftMargin = nullptr;
    ui::Label* lblLeftMarginMinMax = nullptr;
    ui::Label* lblLinesPerPageTitle = nullptr;
    ui::Label* lblLinesPerPage = nullptr;
    ui::UpDown* updLinesPerPage = nullptr;
    ui::Label* lblLinesPerPageMinMax = nullptr;
    ui::CommandButton* cmdOK = nullptr;
    ui::CommandButton* cmdApply = nullptr;
    ui::CommandButton* cmdCancel = nullptr;
    ui::FormResizer* freeSizer1 = nullptr;

    // The results of the print window it is opened from, while that window
    // opens it (an empty function: none).
    void setPrintSource(std::function<PrintSource()> source) { m_printSource = std::move(source); }

protected:
    void build() override;

private:
    void Form_Load();
    void cmdApply_Click();
    void cmdOK_Click();
    void takeValuesOver();
    // Whether the values shown fit a sheet of the printer; says why not.
    bool pageFitsSheet();

    std::function<PrintSource()> m_printSource;
};

// The one page setup window.
frmPageSetup& PageSetupWindow();

// What the main window's Page setup command opens: the page setup window,
// loaded afresh and shown modally; returns when it has closed.
void ShowPageSetupWindow();

} // namespace results
