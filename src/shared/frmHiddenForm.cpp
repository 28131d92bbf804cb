#include "shared/frmHiddenForm.h"

namespace basGlobal {

namespace {

struct ListPair {
    ui::ControlArray<ui::ListBox> frmHiddenForm::*member;
    const char* name;
    bool sorted;
};

} // namespace

frmHiddenForm::frmHiddenForm() : ui::Form(QStringLiteral("frmHiddenForm")) {}

void frmHiddenForm::build()
{
    setCaption(QStringLiteral("Hidden Form"));
    static const ListPair pairs[] = {
        {&frmHiddenForm::lstFinalListBox, "lstFinalListBox", false},
        {&frmHiddenForm::lstHidden, "lstHidden", false},
        {&frmHiddenForm::lstSystem, "lstSystem", false},
        {&frmHiddenForm::lstReadOnly, "lstReadOnly", false},
        {&frmHiddenForm::lstArchive, "lstArchive", false},
        {&frmHiddenForm::lstSize, "lstSize", false},
        {&frmHiddenForm::lstDate, "lstDate", false},
        {&frmHiddenForm::lstTime, "lstTime", false},
        {&frmHiddenForm::lstExcluded, "lstExcluded", true},
        {&frmHiddenForm::lstListBoxAuxiliary, "lstListBoxAuxiliary", true},
        {&frmHiddenForm::lstListBoxUnsorted, "lstListBoxUnsorted", false},
        {&frmHiddenForm::lstFileListBoxAuxiliary, "lstFileListBoxAuxiliary", true},
        {&frmHiddenForm::lstSortedListBox, "lstSortedListBox", true},
        {&frmHiddenForm::lstAlignedFoldersUnsorted, "lstAlignedFoldersUnsorted", false},
        {&frmHiddenForm::lstAlignedFoldersSorted, "lstAlignedFoldersSorted", true},
        {&frmHiddenForm::lstPerLevelFilesSorted, "lstPerLevelFilesSorted", true},
        {&frmHiddenForm::lstPerLevelFilesAndAttributes, "lstPerLevelFilesAndAttributes", false},
        {&frmHiddenForm::lstOutput, "lstOutput", false},
        {&frmHiddenForm::lstFoldersToIncludeExclude, "lstFoldersToIncludeExclude", true},
    };
    for (const ListPair& p : pairs) {
        ui::ControlArray<ui::ListBox>& array = this->*p.member;
        array.clear();
        for (int i = 0; i < 2; ++i) {
            ui::ListBox* list = addTo(array, QLatin1String(p.name), i);
            list->setSorted(p.sorted);
            list->setVisible(false);
        }
    }
    lstTargetURL = add<ui::ListBox>(QStringLiteral("lstTargetURL"));
    lstTargetURL->setVisible(false);

    dlgDialog = add<ui::CommonDialog>(QStringLiteral("dlgDialog"));
    itcInternet = add<ui::InternetTransfer>(QStringLiteral("itcInternet"));

    const auto picture = [this](const QString& name, const QString& resource, int hotX = 0, int hotY = 0) {
        ui::Image* image = add<ui::Image>(name);
        image->setPicture(ui::Picture{resource, hotX, hotY});
        image->setVisible(false);
        return image;
    };
    imgChecking = picture(QStringLiteral("imgChecking"), QStringLiteral(":/pictures/Checking.png"));
    imgNewVersion = picture(QStringLiteral("imgNewVersion"), QStringLiteral(":/pictures/NewVersion.png"));
    imgNoUpdates = picture(QStringLiteral("imgNoUpdates"), QStringLiteral(":/pictures/NoUpdates.png"));
    imgError = picture(QStringLiteral("imgError"), QStringLiteral(":/pictures/Error.png"));
    imgPointURL = picture(QStringLiteral("imgPointURL"), QStringLiteral(":/pictures/PointURL.png"), 12, 1);
    imgStructureCursor.clear();
    for (int i = 0; i < 2; ++i) {
        ui::Image* image = addTo(imgStructureCursor, QStringLiteral("imgStructureCursor"), i);
        image->setPicture(ui::Picture{i == 0 ? QStringLiteral(":/pictures/PrimaryCursor.png")
                                             : QStringLiteral(":/pictures/SecondaryCursor.png"),
                                      0, 0});
        image->setVisible(false);
    }
}

frmHiddenForm& HiddenForm()
{
    // Lives for the whole process; never destroyed, so no exit-time
    // destruction can touch a desktop that is already gone.
    static frmHiddenForm* const form = new frmHiddenForm;
    if (!form->isLoaded())
        form->load();
    return *form;
}

} // namespace basGlobal
