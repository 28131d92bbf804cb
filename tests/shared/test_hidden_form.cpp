// The hidden form's pictures.

#include "shared_fixture.h"

using namespace basGlobal;

namespace {

class HiddenFormTest : public SharedTest {};

// The pointer over a structure's commands carries that structure's number:
// the Primary's "1", the Secondary's "2". The pictures are never shown as such.
TEST_F(HiddenFormTest, EachStructureHasItsOwnCursorPicture)
{
    frmHiddenForm& h = HiddenForm();
    const QString pictures[2] = {QStringLiteral(":/pictures/PrimaryCursor.png"), QStringLiteral(":/pictures/SecondaryCursor.png")};
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(h.imgStructureCursor[i]->picture().resource, pictures[i]) << i;
        EXPECT_FALSE(h.imgStructureCursor[i]->visible()) << i;
    }
    h.unload();
}

// The working lists keep their items in the order they were added, save the
// ones a caller relies on to come back sorted; each structure has its own.
TEST_F(HiddenFormTest, OnlyTheSortedWorkingListsReorderWhatIsAdded)
{
    frmHiddenForm& h = HiddenForm();
    struct Case {
        ui::ControlArray<ui::ListBox>* lists;
        bool sorted;
    };
    const Case cases[] = {{&h.lstListBoxUnsorted, false},     {&h.lstAlignedFoldersUnsorted, false},
                          {&h.lstFinalListBox, false},        {&h.lstSortedListBox, true},
                          {&h.lstAlignedFoldersSorted, true}, {&h.lstPerLevelFilesSorted, true}};
    for (const Case& c : cases) {
        for (int i = 0; i < 2; ++i) {
            ui::ListBox& list = *(*c.lists)[i];
            list.clear();
            for (const char* item : {"b", "c", "a"})
                list.addItem(QLatin1String(item));
            const QString order = list.list(0) + list.list(1) + list.list(2);
            EXPECT_EQ(order, c.sorted ? QStringLiteral("abc") : QStringLiteral("bca")) << list.name().toStdString() << i;
            list.clear();
        }
    }
    h.unload();
}

} // namespace
