#pragma once
// Off-line tests run on the comparison's fixture (drives C: and D:, a quiet
// main window, the results window) with the local time pinned to UTC, and
// drive the export and import windows through scripted dialogs.
#include "../compare/compare_fixture.h"
#include "offline/frmExportStructure.h"
#include "offline/frmImportStructure.h"
#include "shared/StructureFile.h"

#include <QRect>

namespace offline_test {

class OfflineTest : public compare_test::CompareTest {
protected:
    void TearDown() override
    {
        for (ui::Form* f : {static_cast<ui::Form*>(&ex), static_cast<ui::Form*>(&im)})
            if (f->isLoaded()) f->unload();
        basGlobal::ForgetAcceptedStructures();
        CompareTest::TearDown();
    }
    // Opens the export window, chooses `option`, answers the Save dialogs
    // with `files` ("" cancels one), presses Export structure and runs
    // `after`; closes the window when it is still open.
    void exportWith(int option, const QStringList& files, const std::function<void()>& after = {})
    {
        desk.onModal(QStringLiteral("frmExportStructure"), [&](ui::Form&) {
            ex.optStructureSelection[option]->setValue(true);
            for (const QString& f : files) {
                if (f.isEmpty()) desk.cancelFileDialog(ui::FileDialogKind::Save);
                else desk.answerSave(f);
            }
            ui::Input::click(*ex.cmdExportStructure);
            if (after) after();
            if (ex.isShown()) ui::Input::click(*ex.cmdCancel);
        });
        ex.show(ui::Modal);
    }
    // The same with the import window and its Open dialogs.
    void importWith(int option, const QStringList& files)
    {
        g().ImportNotAccepted = true;
        desk.onModal(QStringLiteral("frmImportStructure"), [&](ui::Form&) {
            im.optStructureSelection[option]->setValue(true);
            for (const QString& f : files) desk.answerOpen(f);
            ui::Input::click(*im.cmdIntegrityCheck);
            if (im.isShown()) ui::Input::click(*im.cmdCancel);
        });
        im.show(ui::Modal);
    }
    // A cancel confirmed at the first yield where `when` holds.
    void cancelWhen(std::function<bool()> when)
    {
        desk.onYield(std::move(when), [this] {
            desk.expectMsgBox(compare_test::kCancelTitle, compare_test::kCancelText, ui::vbQuestionYesNoDefNo, ui::vbYes);
            ui::Form& w = ex.isLoaded() ? static_cast<ui::Form&>(ex) : im;
            ui::Input::click(*static_cast<offline::StructureWindow&>(w).cmdCancel);
        });
    }
    QByteArray read(const QTemporaryDir& drive, const QString& rel) { return testing_support::fileBytes(nativeOf(drive, rel)); }
    // Names in the folder that are not ours: temporaries left behind.
    QStringList leftovers(const QTemporaryDir& drive)
    {
        return QDir(drive.path()).entryList({QStringLiteral("*qmtmp*")}, QDir::Files | QDir::Hidden);
    }

    // Every shown control of the form stands inside its container (the
    // window, or its frame) and covers no other shown control there; the
    // names of those that do not, for the failure message.
    static QStringList misplaced(const ui::Form& form)
    {
        QStringList out;
        std::vector<const ui::Control*> shown;
        for (const ui::Control* c : form.controls()) {
            const ui::ControlKind k = c->kind();
            if (k == ui::ControlKind::Timer || k == ui::ControlKind::Menu || k == ui::ControlKind::FormResizer
                || k == ui::ControlKind::CommonDialog || !c->effectivelyVisible())
                continue;
            shown.push_back(c);
        }
        const auto name = [](const ui::Control* c) { return c->name() + (c->index() >= 0 ? QString::number(c->index()) : QString()); };
        const auto rect = [](const ui::Control* c) { return QRect(c->left(), c->top(), c->width(), c->height()); };
        for (const ui::Control* c : shown) {
            const QRect room = c->container() ? QRect(0, 0, c->container()->width(), c->container()->height())
                                              : QRect(0, 0, form.width(), form.height());
            if (!room.contains(rect(c)))
                out << name(c) + QStringLiteral(" outside");
            for (const ui::Control* other : shown)
                if (other < c && other->container() == c->container() && rect(other).intersects(rect(c)))
                    out << name(c) + QStringLiteral(" over ") + name(other);
        }
        return out;
    }

    offline::frmExportStructure ex;
    offline::frmImportStructure im;
    testing_support::TimeZoneGuard utc{"UTC"};
};

} // namespace offline_test
