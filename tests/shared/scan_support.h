#pragma once
// The scanning tests' shared pieces: a temporary drive, running a step as an
// unprivileged user, and a fixture that collects a structure into the
// working lists of one structure index.

#include "shared_fixture.h"
#include "support/TempDrive.h"

#include "shared/FileFacts.h"
#include "shared/basObsoleteCompleteStructureScanner.h"
#include "shared/frmHiddenForm.h"

namespace scan_support {
using Tree = testing_support::TempDrive;
using testing_support::runUnprivileged;

// Fresh, enabled working lists of structure `Side` and its facts store.
template <int Side>
class CollectionTest : public SharedTest {
protected:
    void SetUp() override
    {
        SharedTest::SetUp();
        basGlobal::frmHiddenForm& h = basGlobal::HiddenForm();
        folders = h.lstListBoxAuxiliary[Side];
        queue = h.lstListBoxUnsorted[Side];
        files = h.lstFileListBoxAuxiliary[Side];
        result = h.lstFinalListBox[Side];
        for (ui::ListBox* l : {folders, queue, files, result}) {
            l->clear();
            l->setEnabled(true);
        }
        basGlobal::StructureFactsStore(Side).clear();
    }
    void TearDown() override
    {
        basGlobal::HiddenForm().unload();
        SharedTest::TearDown();
    }

    basGlobal::Long collect(const QString& root, bool countOnly = false,
                            basGlobal::StructurePrefetch* ahead = nullptr)
    {
        return basGlobal::CollectCompleteStructure(root, countOnly, *folders, *queue, *files, *result, cancelled,
                                                   error, &basGlobal::StructureFactsStore(Side), &failed, ahead);
    }

    Tree tree;
    ui::ListBox* folders = nullptr;
    ui::ListBox* queue = nullptr;
    ui::ListBox* files = nullptr;
    ui::ListBox* result = nullptr;
    bool cancelled = true;
    basGlobal::Long error = -1;
    QString failed;
};

} // namespace scan_support
