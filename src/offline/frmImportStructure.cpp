#include "offline/frmImportStructure.h"

#include "offline/OfflineComparison.h"
#include "platform/AppError.h"
#include "shared/ErrorTrap.h"
#include "shared/Messages.h"
#include "shared/StructureFile.h"
#include "shared/Texts.h"
#include "ui/Control.h"
#include "ui/Desktop.h"

namespace offline {

using basGlobal::globals;
using basGlobal::Txt;

namespace {

constexpr int kWidth = 7800;

const WindowTexts kTexts = {
    u"Off line comparison", u"Σύγκριση χωρίς σύνδεση",
    u"Integrity check", u"Έλεγχος ορθότητος", "cmdIntegrityCheck", "lblInputFile", "ImportStructure",
    &basGlobal::Globals::ImportStructureSelection, &basGlobal::Globals::StructureImportInProgress,
    "329", "328",
    {30010, 30015, 30020, 30030, 30040, 30050, 30060, 30070, 30080, 30090, 30100},
};

} // namespace

frmImportStructure::frmImportStructure() : StructureWindow(QStringLiteral("frmImportStructure"), kTexts) {}

void frmImportStructure::buildOwn()
{
    for (int i = 0; i < 2; ++i) {
        auto* input = addTo(lblFile, QStringLiteral("lblInputFile"), i);
        input->move(120, 120 + 360 * i, kWidth - 240, 252);
        input->setHelpTopic(i == 0 ? 30010 : 30015);
    }
    buildShared(900, 2040, kWidth);
}

void frmImportStructure::loadOwn()
{
    basGlobal::Globals& g = globals();
    g.ImportedStructureFile = {};
    basGlobal::ForgetAcceptedStructures();
}

void frmImportStructure::start()
{
    basGlobal::ErrorTrap trap(this, QStringLiteral("330"), basGlobal::ErrorTrap::OnNo::StopOperation);
    ChosenStructureFiles chosen;
    bool go = false;
    trap.step([&] { go = ChooseStructureFiles(*this, StructureFileUse::Import, chosen); });
    if (go && !trap.stopped())
        check(chosen);
}

void frmImportStructure::refuse(const QString& message)
{
    endRun();
    globals().CancelRequested = false;
    basGlobal::ShowMessageBox(this, title(), message, ui::vbCriticalOK);
    unload(ui::vbFormCode);
}

void frmImportStructure::check(const ChosenStructureFiles& chosen)
{
    basGlobal::Globals& g = globals();
    const bool greek = g.LanguageIsGreek;
    beginRun();
    auto cannotOpen = [&](const QString& file, basGlobal::Long error) {
        const QString why = platform::errorDescription(int(error));
        refuse(Txt(u"The structure file '", u"Το αρχείο δομής '") + file
               + Txt(u"' cannot be opened: ", u"' δεν μπορεί να ανοιχθεί: ") + why + QLatin1Char('.'));
    };

    // First pass: every file's line 1, the total of the progress bar.
    qint64 total = 0;
    for (int i = chosen.first; i <= chosen.last; ++i) {
        const QString& file = chosen.file[std::size_t(i)];
        qint64 lines = 0;
        basGlobal::StructureFileProblem problem;
        const basGlobal::Long e = basGlobal::ReadStructureFileTotal(file, lines, problem);
        if (e > 0)
            return cannotOpen(file, e);
        if (e < 0)
            return refuse(basGlobal::InvalidStructureDataText(file, 1, greek));
        total += lines;
    }
    prbProgressBar->setValue(0);
    prbProgressBar->setVisible(true);

    // Second pass: every line, after a yield in which Cancel may be pressed.
    qint64 position = 0;
    const basGlobal::StructureLineHook afterLine = [&] {
        cpUpdateProgressBar(++position, total);
        return !yieldCancelled();
    };
    // A file out of order is put in order after its last line, as live.
    const basGlobal::StructureLineHook whileOrdering = [] { return !yieldCancelled(); };
    for (int i = chosen.first; i <= chosen.last; ++i) {
        const QString& file = chosen.file[std::size_t(i)];
        auto parsed = std::make_shared<basGlobal::ParsedStructure>();
        basGlobal::Long error = 0;
        switch (basGlobal::ParseStructureFile(file, *parsed, error, afterLine, whileOrdering)) {
        case basGlobal::ParseOutcome::CannotOpen:
            return cannotOpen(file, error);
        case basGlobal::ParseOutcome::Refused:
            return refuse(basGlobal::InvalidStructureDataText(file, parsed->problem.line, greek));
        case basGlobal::ParseOutcome::Stopped:
            endRun();
            g.CancelRequested = false;
            unload(ui::vbFormCode);
            return;
        case basGlobal::ParseOutcome::Parsed:
            g.ImportedStructureFile[std::size_t(i)] = file;
            basGlobal::AcceptStructure(i, file, std::move(parsed));
            break;
        }
    }
    g.ImportNotAccepted = false;
    endRun();
    g.CancelRequested = false;
    unload(ui::vbFormCode);
}

frmImportStructure& ImportStructureWindow()
{
    static frmImportStructure* const form = new frmImportStructure;
    return *form;
}

bool ShowImportStructureWindow()
{
    basGlobal::Globals& g = globals();
    g.ImportedStructureFile = {};
    g.ImportNotAccepted = true;
    frmImportStructure& window = ImportStructureWindow();
    window.load();
    window.show(ui::Modal);
    return !g.ImportNotAccepted && (!g.ImportedStructureFile[0].isEmpty() || !g.ImportedStructureFile[1].isEmpty());
}

} // namespace offline
