#include "offline/frmExportStructure.h"

#include "offline/OfflineComparison.h"
#include "offline/StructureFileWriter.h"
#include "platform/AppError.h"
#include "platform/Drives.h"
#include "shared/ErrorTrap.h"
#include "shared/Messages.h"
#include "shared/PathText.h"
#include "shared/Texts.h"
#include "shared/basObsoleteCompleteStructureScanner.h"
#include "shared/frmHiddenForm.h"
#include "ui/Control.h"
#include "ui/Desktop.h"
#include "ui/ListBox.h"
#include "ui/SortOrder.h"

#include <QSet>

#include <algorithm>

namespace offline {

using basGlobal::globals;
using basGlobal::Txt;

namespace {

constexpr int kWidth = 7800;

const WindowTexts kTexts = {
    u"Preparation for off line comparison", u"Προετοιμασία για σύγκριση χωρίς σύνδεση",
    u"Export structure", u"Εξαγωγή δομής", "cmdExportStructure", "lblOutputFile", "ExportStructure",
    &basGlobal::Globals::ExportStructureSelection, &basGlobal::Globals::StructureExportInProgress,
    "325", "327",
    {20040, 20045, 20070, 20080, 20090, 20100, 20060, 20110, 20120, 20130, 20140},
};

QString sideName(int i) { return i == 0 ? Txt(u"Primary", u"Πρωτεύουσα") : Txt(u"Secondary", u"Δευτερεύουσα"); }

QString digits(int value, int width) { return QString::number(value).rightJustified(width, u'0'); }

std::array<ui::ListBox*, 7> valueLists(int i)
{
    basGlobal::frmHiddenForm& h = basGlobal::HiddenForm();
    return {h.lstHidden[i], h.lstSystem[i], h.lstReadOnly[i], h.lstArchive[i], h.lstSize[i], h.lstDate[i], h.lstTime[i]};
}

// Folders below the root: each holds files or has its one marker entry, and
// the entries of a folder come together, so every change of folder is one.
qint64 countFolders(const ui::ListBox& entries, const QString& root)
{
    qint64 count = 0;
    QStringView previous;
    for (int k = 0; k < entries.listCount(); ++k) {
        const QString& path = entries.list(k);
        const QStringView folder = QStringView(path).first(std::max<qsizetype>(path.lastIndexOf(u'\\'), 0));
        if (folder.size() >= root.size() && folder != previous)
            ++count;
        previous = folder;
    }
    return count;
}

// The root's sub-folders, by name in sort order. Every folder below the
// root has entries of its own (its files or its marker), so the first names
// of the entries' folders are all of them.
QStringList firstLevelFolders(const ui::ListBox& entries, const QString& root)
{
    QStringList names;
    QSet<QString> seen;
    QStringView previous;
    for (int k = 0; k < entries.listCount(); ++k) {
        const QStringView rel = QStringView(entries.list(k)).sliced(root.size());
        const qsizetype slash = rel.indexOf(u'\\');
        if (slash <= 0 || rel.first(slash) == previous)
            continue;
        previous = rel.first(slash);
        const QString name = previous.toString();
        if (!seen.contains(name)) {
            seen.insert(name);
            names << name;
        }
    }
    std::stable_sort(names.begin(), names.end(), ui::sortsBefore);
    return names;
}

} // namespace

frmExportStructure::frmExportStructure() : StructureWindow(QStringLiteral("frmExportStructure"), kTexts) {}

void frmExportStructure::buildOwn()
{
    static constexpr int topics[4][2] = {{20010, 20015}, {20020, 20025}, {20030, 20035}, {20040, 20045}};
    for (int i = 0; i < 2; ++i) {
        const int top = 120 + 1020 * i;
        auto* path = addTo(lblCurrentFullPath, QStringLiteral("lblCurrentFullPath"), i);
        path->move(120, top, kWidth - 240, 252);
        path->setHelpTopic(topics[0][i]);
        auto* folders = addTo(lblTotalFolders, QStringLiteral("lblTotalFolders"), i);
        folders->move(120, top + 300, (kWidth - 360) / 2, 252);
        folders->setHelpTopic(topics[1][i]);
        auto* files = addTo(lblTotalFiles, QStringLiteral("lblTotalFiles"), i);
        files->move(240 + (kWidth - 360) / 2, top + 300, (kWidth - 360) / 2, 252);
        files->setHelpTopic(topics[2][i]);
        auto* output = addTo(lblFile, QStringLiteral("lblOutputFile"), i);
        output->move(120, top + 600, kWidth - 240, 252);
        output->setHelpTopic(topics[3][i]);
    }
    lblProcessInProgress = add<ui::Label>(QStringLiteral("lblProcessInProgress"));
    lblProcessInProgress->move(120, 3240, kWidth - 240, 252);
    lblProcessInProgress->setForeColor(0xC00000);
    lblProcessInProgress->setFontBold(true);
    lblProcessInProgress->setHelpTopic(20050);
    buildShared(2100, 3540, kWidth);
}

void frmExportStructure::loadOwn()
{
    const basGlobal::Globals& g = globals();
    for (int i = 0; i < 2; ++i) {
        const QString path = basGlobal::AddTrailingSeparator(g.CurrentPath[std::size_t(i)]);
        lblCurrentFullPath[i]->setBackColor(structureTint(i));
        lblCurrentFullPath[i]->setCaption(basGlobal::CompactPathToWidth(*lblCurrentFullPath[i], path));
        lblCurrentFullPath[i]->setToolTipText(g.HidePathToolTips ? QString() : path);
        for (ui::Label* l : {lblTotalFolders[i], lblTotalFiles[i]}) {
            l->setBackColor(structureTint(i));
            l->setCaption(QString());
        }
    }
    lblProcessInProgress->setVisible(false);
    lblProcessInProgress->setCaption(QString());
}

void frmExportStructure::showStage(const QString& text)
{
    prbProgressBar->setValue(0);
    lblProcessInProgress->setCaption(text);
}

QString frmExportStructure::notExported(int i, const QString& english, const QString& greek) const
{
    return Txt(u"The ", u"Η ") + sideName(i) + Txt(u" structure was not exported, because ", u" δομή δεν εξήχθη, επειδή ")
           + Txt(english, greek) + QLatin1Char('.');
}

void frmExportStructure::start()
{
    basGlobal::ErrorTrap trap(this, QStringLiteral("326"), basGlobal::ErrorTrap::OnNo::StopOperation);
    ChosenStructureFiles chosen;
    bool go = false;
    trap.step([&] { go = ChooseStructureFiles(*this, StructureFileUse::Export, chosen); });
    if (!go || trap.stopped())
        return;

    for (Side& s : m_side) {
        s.root.clear();
        s.entries = 0;
        s.failure.clear();
        s.facts.clear();
        s.file.discard();
        s.written = false;
    }
    beginRun();
    lblProcessInProgress->setVisible(true);
    prbProgressBar->setVisible(true);
    basGlobal::frmHiddenForm& h = basGlobal::HiddenForm();
    for (int i = 0; i < 2; ++i) {
        h.lstFinalListBox[i]->setEnabled(true);
        h.lstFinalListBox[i]->clear();
    }
    bool going = true;
    trap.step([&] { going = scan(chosen); });
    if (going && !trap.stopped()) trap.step([&] { going = collect(chosen); });
    if (going && !trap.stopped()) trap.step([&] { going = write(chosen); });
    finish(chosen, !going || trap.stopped());
}

bool frmExportStructure::scan(const ChosenStructureFiles& chosen)
{
    const basGlobal::Globals& g = globals();
    basGlobal::frmHiddenForm& h = basGlobal::HiddenForm();
    showStage(Txt(u"scanning local structure - no progress percentage available",
                  u"σάρωση τοπικής δομής - δεν μπορεί να εμφανισθεί ποσοστιαία πρόοδος"));
    if (yieldCancelled())
        return false;
    for (int i = chosen.first; i <= chosen.last; ++i) {
        Side& side = m_side[i];
        side.root = basGlobal::AddTrailingSeparator(g.CurrentPath[std::size_t(i)]);
        bool cancelled = false;
        basGlobal::Long error = 0;
        QString failedFolder;
        ui::ListBox& entries = *h.lstFinalListBox[i];
        basGlobal::CollectCompleteStructure(side.root, false, *h.lstListBoxAuxiliary[i], *h.lstListBoxUnsorted[i],
                                            *h.lstFileListBoxAuxiliary[i], entries, cancelled, error, &side.facts,
                                            &failedFolder);
        if (yieldCancelled() || cancelled)
            return false;
        if (error != 0) {
            const QString folder = failedFolder.isEmpty() ? side.root : failedFolder;
            const QString why = platform::errorDescription(int(error));
            side.failure = notExported(i, QStringLiteral("the folder '") + folder + QStringLiteral("' cannot be read: ") + why,
                                       QStringLiteral("ο φάκελλος '") + folder + QStringLiteral("' δεν μπορεί να διαβασθεί: ") + why);
        }
        side.entries = entries.listCount();
        lblTotalFolders[i]->setCaption(Txt(u"Folders: ", u"Φάκελλοι: ")
                                       + GroupedCount(countFolders(entries, side.root)) + QLatin1Char('.'));
    }
    return true;
}

bool frmExportStructure::collect(const ChosenStructureFiles& chosen)
{
    basGlobal::frmHiddenForm& h = basGlobal::HiddenForm();
    showStage(Txt(u"collecting local structure file attributes", u"συλλογή ιδιοτήτων αρχείων τοπικής δομής"));
    if (yieldCancelled())
        return false;
    prbProgressBar->setValue(0);
    m_progress = 0;
    m_total = 0;
    for (int i = chosen.first; i <= chosen.last; ++i)
        m_total += m_side[i].entries;
    static const QString flag[2] = {QStringLiteral("False"), QStringLiteral("True")};
    for (int i = chosen.first; i <= chosen.last; ++i) {
        Side& side = m_side[i];
        const auto lists = valueLists(i);
        for (ui::ListBox* list : lists) list->clear();
        std::array<std::vector<QString>, 7> texts;
        for (auto& t : texts) t.reserve(std::size_t(side.entries));
        const ui::ListBox& entries = *h.lstFinalListBox[i];
        qint64 files = 0;
        qsizetype cursor = 0;
        for (int k = 0; k < entries.listCount(); ++k) {
            if (yieldCancelled())
                return false;
            const QString& path = entries.list(k);
            if (basGlobal::GetTextAfterSeparator(path) == basGlobal::EmptyFolderMarker) {
                for (auto& t : texts) t.push_back(basGlobal::EmptyFolderMarker);
            } else {
                platform::FileFacts facts;
                const QString rel = path.mid(side.root.size());
                if (const basGlobal::Long e = basGlobal::GetEntryFileFacts(side.facts, side.root, rel, cursor, facts))
                    throw platform::AppError{int(e), platform::errorDescription(int(e)) + QStringLiteral(": ") + path};
                const platform::LocalDateTime& m = facts.modified;
                texts[0].push_back(flag[facts.hidden]);
                texts[1].push_back(flag[facts.system]);
                texts[2].push_back(flag[facts.readOnly]);
                texts[3].push_back(flag[facts.archive]);
                texts[4].push_back(basGlobal::FormatSizeText(std::max<qint64>(facts.size, 0)));
                texts[5].push_back(digits(m.year, 4) + digits(m.month, 2) + digits(m.day, 2));
                texts[6].push_back(digits(m.hour, 2) + digits(m.minute, 2) + digits(m.second, 2));
                ++files;
            }
            cpUpdateProgressBar(++m_progress, m_total);
        }
        for (int f = 0; f < 7; ++f)
            lists[std::size_t(f)]->appendItems(std::move(texts[std::size_t(f)]));
        lblTotalFiles[i]->setCaption(Txt(u"Files: ", u"Αρχεία: ") + GroupedCount(files) + QLatin1Char('.'));
    }
    return true;
}

bool frmExportStructure::write(const ChosenStructureFiles& chosen)
{
    basGlobal::frmHiddenForm& h = basGlobal::HiddenForm();
    showStage(Txt(u"exporting local structure", u"εξαγωγή τοπικής δομής"));
    if (yieldCancelled())
        return false;
    m_progress = 0;
    m_total = 0;
    std::array<StructureFileContent, 2> content;
    for (int i = chosen.first; i <= chosen.last; ++i) {
        Side& side = m_side[i];
        if (side.entries == 0 || !side.failure.isEmpty())
            continue;
        // The header's folders come from the scan that gave the records: a
        // second look at a tree that changes meanwhile would not match them.
        StructureFileContent& c = content[std::size_t(i)];
        c.root = side.root;
        c.firstLevelFolders = firstLevelFolders(*h.lstFinalListBox[i], side.root);
        ui::ListBox& folders = *h.lstSortedListBox[i];
        folders.clear();
        std::vector<QString> paths;
        for (const QString& name : std::as_const(c.firstLevelFolders)) paths.push_back(side.root + name);
        folders.appendItems(std::move(paths));
        const auto lists = valueLists(i);
        for (int f = 0; f < 7; ++f) c.lists[std::size_t(f)] = lists[std::size_t(f)];
        c.lists[7] = h.lstFinalListBox[i];
        m_total += side.entries + c.firstLevelFolders.size();
    }
    for (int i = chosen.first; i <= chosen.last; ++i) {
        Side& side = m_side[i];
        const StructureFileContent& c = content[std::size_t(i)];
        if (side.entries == 0 || !side.failure.isEmpty())
            continue;
        const QString bad = FirstUnwritableText(c);
        if (!bad.isEmpty()) {
            side.failure = notExported(i, QStringLiteral("the name '") + bad + QStringLiteral("' cannot be written in a structure file"),
                                       QStringLiteral("το όνομα '") + bad + QStringLiteral("' δεν μπορεί να γραφεί σε αρχείο δομής"));
            continue;
        }
        if (!FitsOneStructureFile(c)) {
            side.failure = notExported(i, QStringLiteral("it holds more entries than a structure file can carry"),
                                       QStringLiteral("περιέχει περισσότερα στοιχεία από όσα χωρά ένα αρχείο δομής"));
            continue;
        }
        const QString& name = chosen.file[std::size_t(i)];
        const auto native = platform::toNative(name);
        bool stopped = false;
        const int error = native ? WriteStructureFile(*native, side.file, c, [this] {
                                       cpUpdateProgressBar(++m_progress, m_total);
                                       return !yieldCancelled();
                                   }, stopped)
                                 : platform::errPathNotFound;
        if (stopped)
            return false;
        if (error != 0) {
            const QString why = platform::errorDescription(error);
            side.failure = notExported(i, QStringLiteral("the file '") + name + QStringLiteral("' could not be written: ") + why,
                                       QStringLiteral("το αρχείο '") + name + QStringLiteral("' δεν μπόρεσε να γραφεί: ") + why);
            continue;
        }
        side.written = true;
    }
    return true;
}

void frmExportStructure::finish(const ChosenStructureFiles& chosen, bool cancelled)
{
    basGlobal::Globals& g = globals();
    endRun();
    if (cancelled) {
        for (Side& s : m_side) s.file.discard();
        g.CancelRequested = false;
        unload(ui::vbFormCode);
        return;
    }
    for (int i = chosen.first; i <= chosen.last; ++i) {
        Side& side = m_side[i];
        if (!side.written)
            continue;
        if (const int e = side.file.commit()) {
            const QString& name = chosen.file[std::size_t(i)];
            const QString why = platform::errorDescription(e);
            side.failure = notExported(i, QStringLiteral("the file '") + name + QStringLiteral("' could not be written: ") + why,
                                       QStringLiteral("το αρχείο '") + name + QStringLiteral("' δεν μπόρεσε να γραφεί: ") + why);
        }
    }
    setCancelCaption(true);
    g.CancelRequested = false;
    lblProcessInProgress->setVisible(false);
    prbProgressBar->setVisible(false);
    lblProcessInProgress->setCaption(QString());

    basGlobal::Long style = ui::vbInformationOK;
    QStringList lines;
    for (int i = 0; i < 2; ++i) {
        if (chosen.file[std::size_t(i)].isEmpty())
            continue;
        const Side& side = m_side[i];
        if (!side.failure.isEmpty()) {
            lines << side.failure;
            style = ui::vbExclamationOK;
        } else if (side.entries > 0) {
            lines << Txt(u"The ", u"Η ") + sideName(i)
                         + Txt(u" structure has been exported successfully.", u" δομή εξήχθη με επιτυχία.");
        } else {
            lines << Txt(u"The ", u"Η ") + sideName(i)
                         + Txt(u" structure was not exported, because of lack of content.",
                               u" δομή δεν εξήχθη, λόγω ανυπαρξίας περιεχομένου.");
            style = ui::vbExclamationOK;
        }
    }
    basGlobal::ShowMessageBox(this, title(), lines.join(QStringLiteral("\r\n\r\n")), style);
}

frmExportStructure& ExportStructureWindow()
{
    static frmExportStructure* const form = new frmExportStructure;
    return *form;
}

void ShowExportStructureWindow()
{
    frmExportStructure& window = ExportStructureWindow();
    window.load();
    window.show(ui::Modal);
}

} // namespace offline
