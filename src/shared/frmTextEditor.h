#pragma once
// A small editing window for a text file of the program (the saved-path
// files): the file's lines in one multi-line box, Save and Cancel. It is
// shown modally, so the program waits for it as it would for an external
// editor, and it repaints meanwhile.
//
// The file is read when the window loads: a missing file starts empty (Save
// creates it); a file that cannot be read is reported and the window closes
// without offering to overwrite it. Save writes the whole file through a
// temporary file, lines ending CR LF; a failure is reported and the window
// stays open with the text, so nothing typed is lost.
#include "ui/Form.h"

#include <QString>

namespace basGlobal {

class frmTextEditor : public ui::Form {
public:
    explicit frmTextEditor(QString logicalFile);

    // True once the text was saved.
    bool saved() const { return saved_; }

    ui::TextBox* txtText = nullptr;
    ui::CommandButton* cmdSave = nullptr;
    ui::CommandButton* cmdCancel = nullptr;
    ui::FormResizer* freeSizer1 = nullptr;

protected:
    void build() override;

private:
    void Form_Load();
    void cmdSave_Click();

    QString file_;
    bool saved_ = false;
};

} // namespace basGlobal
