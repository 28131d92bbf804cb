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

} // namespace
