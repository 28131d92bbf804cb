#pragma once
// A small editing window for a text file of the program (the saved-path
// files): the file's lines in one multi-line box, Save and Cancel. It is
// shown modally, so the program waits for it as it would for an external
// editor, and it repaints meanwhile.
//
// The file is read when the window loads, by the rule of every reader of a
// saved-path file (ReadSavedPathsLines): a missing file starts empty (Save
// creates it); a file that cannot be read whole, is larger than a saved-path
// file may be, or is no file at all is reported with its cause and the
// window closes without offering to overwrite it. Save writes the whole file
// through a temporary file, lines ending CR LF, to the file that a symbolic
// link there names; a failure is reported and the window stays open with the
// text, so nothing typed is lost.
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
