#pragma once
// The recall window: the current structure's saved paths, in file order
// (newest first) or sorted, one of two lists laid over each other. Restore
// path takes the selected one into RecalledPath and closes; Apply keeps the
// sort choice in the INI file; Edit paths... edits the saved-path file and
// reloads the lists.
#include "shared/basGlobal.h"
#include "ui/Form.h"
#include "ui/ListBox.h"

namespace mainwindow {

class frmRecallSavedPath : public ui::Form {
public:
    // `tint` is the structure's colour, which a filled list takes.
    explicit frmRecallSavedPath(ui::Color tint);

    void Form_Load();
    void chkSortSavedPaths_Click();
    void lstSavedPaths_Click(int index);
    void lstSavedPaths_MouseMove(int index, int button, int shift, int x, int y);
    void cmdRecall_Click();
    void cmdApply_Click();
    void cmdEdit_Click();
    void cmdCancel_Click();

    ui::ControlArray<ui::ListBox> lstSavedPaths;   // 0 file order, 1 sorted
    ui::CheckBox* chkSortSavedPaths = nullptr;
    ui::CommandButton* cmdRecall = nullptr;
    ui::CommandButton* cmdEdit = nullptr;
    ui::CommandButton* cmdApply = nullptr;
    ui::CommandButton* cmdCancel = nullptr;
    ui::FormResizer* freeSizer1 = nullptr;

protected:
    void build() override;

private:
    void loadLists();
    ui::Color tint_;
};

} // namespace mainwindow
