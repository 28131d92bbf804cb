#pragma once
// Every comparison test starts from fresh program-wide state and the
// headless desktop, with two temporary folders mounted as drives C: and D:
// and the results window ready to be shown modally by a script.

#include "compare/EntryLists.h"
#include "results/frmCompare.h"
#include "shared/shared_fixture.h"
#include "support/TempDrive.h"
#include "platform/Drives.h"
#include "shared/basGlobal.h"
#include "shared/frmHiddenForm.h"
#include "shared/qstring_print.h"
#include "ui/HeadlessDesktop.h"
#include "ui/Input.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <utime.h>

#include <functional>

#include <gtest/gtest.h>

namespace compare_test {

inline const QString kCancelTitle = QStringLiteral("Cancel processing");
inline const QString kCancelText = QStringLiteral("Do you really want to cancel the process that is currently in progress?");
inline const QString kResultsTitle = QStringLiteral("Comparison results");

class CompareTest : public SharedTest {
protected:
    void SetUp() override
    {
        SharedTest::SetUp();
        ASSERT_TRUE(c.isValid() && d.isValid());
        testing_support::mountDrives({{'C', c.path()}, {'D', d.path()}});
        g().ApplicationTitle = QStringLiteral("Tarnwick");
        g().VolumeIsCaseSensitive = true;
        g().IniFileName = QStringLiteral("C:\\Quillmarsh.ini");
        g().FirstStructureToProcess = 0;
        g().LastStructureToProcess = 1;
        // The filter settings of a fresh INI file: nothing is filtered
        // unless a test says so.
        g().FileTypesPattern = QStringLiteral("*.*");
        g().DateFormatName = QStringLiteral("short");
        g().TimeFormatName = QStringLiteral("long");
        g().IncludeHiddenFiles = g().IncludeSystemFiles = g().IncludeReadOnlyFiles = g().IncludeArchiveFiles = true;
        for (int i = 0; i < 2; ++i) {
            compare::EntryLists(i).clear();
            basGlobal::HiddenForm().lstExcluded[i]->clear();
            // The folders to include or exclude are the run's input, left
            // by whichever test ran before: each test lists its own.
            basGlobal::HiddenForm().lstFoldersToIncludeExclude[i]->clear();
        }
        // The folder stage consumes the entries: keep them as they reach it.
        desk.onYield([this] { return !atFolderStage && win.isLoaded()
                                     && win.lblProcessInProgress->caption() == QStringLiteral("collecting folders"); },
                     [this] {
                         atFolderStage = true;
                         for (int i = 0; i < 2; ++i)
                             for (int l = 0; l < 8; ++l) entriesAtFolderStage[i][l] = entryList(i, l);
                     },
                     true);
        // The stage names the label shows, in order, without repeats.
        desk.onYield([] { return true; },
                     [this] {
                         const QString s = win.isLoaded() ? win.lblProcessInProgress->caption() : QString();
                         if (!s.isEmpty() && (stagesSeen.isEmpty() || stagesSeen.last() != s)) stagesSeen << s;
                     },
                     true);
    }
    void TearDown() override
    {
        if (win.isLoaded()) {
            basGlobal::globals().ComparisonInProgress = false;
            basGlobal::globals().ResultsNotPrinted = false;
            win.unload();
        }
        EXPECT_EQ(desk.pendingModalScripts(), 0) << "modal scripts never run";
        SharedTest::TearDown();
        platform::reloadDrives();
    }

    basGlobal::frmHiddenForm& hidden() { return basGlobal::HiddenForm(); }

    // --- Trees ---------------------------------------------------------------
    static QString nativeOf(const QTemporaryDir& drive, const QString& rel)
    {
        return rel.isEmpty() ? drive.path() : drive.path() + QLatin1Char('/') + rel;
    }
    void file(const QTemporaryDir& drive, const QString& rel, const QByteArray& content = "x")
    {
        testing_support::writeFile(nativeOf(drive, rel), content);
    }
    // The same, last written at the local time `modified`.
    void file(const QTemporaryDir& drive, const QString& rel, const QByteArray& content, const QDateTime& modified)
    {
        file(drive, rel, content);
        setLocalMtime(drive, rel, modified);
    }
    void folder(const QTemporaryDir& drive, const QString& rel) { ASSERT_TRUE(QDir().mkpath(nativeOf(drive, rel))); }
    void setLocalMtime(const QTemporaryDir& drive, const QString& rel, const QDateTime& local)
    {
        struct utimbuf t;
        t.actime = t.modtime = time_t(local.toSecsSinceEpoch());
        ASSERT_EQ(::utime(QFile::encodeName(nativeOf(drive, rel)).constData(), &t), 0);
    }

    // The items of one working list.
    static QStringList items(const ui::ListBox& list) { return testing_support::listItems(list); }
    // List l of structure i: 0 the paths, 1 to 7 the texts of each value field.
    static QStringList entryList(int i, int l)
    {
        const compare::EntryLists e(i);
        QStringList out;
        if (l == 0) {
            for (int k = 0; k < e.count(); ++k) out << e.path(k);
            return out;
        }
        for (int k = 0; k < e.valueCount(); ++k) out << e.text(l - 1, k);
        return out;
    }
    // The entries of structure i: as they reached the folder stage when the
    // run got there, else as the lists hold them now.
    QStringList entryTexts(int i, int l) { return atFolderStage ? entriesAtFolderStage[i][l] : entryList(i, l); }
    QStringList paths(int i) { return entryTexts(i, 0); }
    // The seven fields of entry k of structure i, joined with "|".
    QString fields(int i, int k)
    {
        QStringList out;
        for (int l = 1; l < 8; ++l) out << entryTexts(i, l).value(k);
        return out.join(QLatin1Char('|'));
    }
    void expectDifferMessage()
    {
        desk.expectMsgBox(kResultsTitle, QStringLiteral("The structures you compared, differ."), ui::vbInformationOK, ui::vbOK);
    }
    bool atFolderStage = false;
    QStringList entriesAtFolderStage[2][8];
    QStringList stagesSeen;

    // Shows the results window modally with `script` running inside.
    void openWindow(const std::function<void()>& script)
    {
        desk.onModal(QStringLiteral("frmCompare"), [script](ui::Form&) { script(); });
        win.show(ui::Modal);
    }
    // Opens the window, presses Compare and, when the run leaves the window
    // open, closes it with Cancel (then captioned Close).
    void compareAndClose(const std::function<void()>& afterRun = {})
    {
        openWindow([&] {
            ui::Input::click(*win.cmdCompare);
            if (afterRun) afterRun();
            if (win.isShown()) ui::Input::click(*win.cmdCancel);
        });
    }

    QTemporaryDir c;
    QTemporaryDir d;
    results::frmCompare win;
};

// The worked example of an exported structure: D:\Work with notes.txt, the
// folder Alpha (a.dat and the empty folder Empty) and Beta (b.txt).
inline QByteArray workedExample(const char* eol = "\r\n")
{
    const char* lines[] = {
        "38", "D:\\Work\\", "2", "Alpha", "Beta", "4",
        "False", "False", "False", "True", "0000001234", "20020824", "140509", "D:\\Work\\notes.txt",
        "False", "False", "True", "True", "0000000000", "20011231", "235958", "D:\\Work\\Alpha\\a.dat",
        "\"NULL\"", "\"NULL\"", "\"NULL\"", "\"NULL\"", "\"NULL\"", "\"NULL\"", "\"NULL\"",
        "D:\\Work\\Alpha\\Empty\\\"NULL\"",
        "True", "False", "False", "False", "0000056789", "20020102", "030405", "D:\\Work\\Beta\\b.txt",
    };
    QByteArray out;
    for (const char* l : lines) {
        out += l;
        out += eol;
    }
    return out;
}

inline const QStringList kWorkedPaths = {
    QStringLiteral("notes.txt"), QStringLiteral("Alpha\\a.dat"), QStringLiteral("Alpha\\Empty\\\"NULL\""),
    QStringLiteral("Beta\\b.txt")};

} // namespace compare_test
