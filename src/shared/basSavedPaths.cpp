#include "shared/basSavedPaths.h"

#include "platform/AppError.h"
#include "platform/AtomicFile.h"
#include "platform/Drives.h"
#include "platform/Shell.h"
#include "platform/TextDecoding.h"
#include "shared/ErrorTrap.h"
#include "shared/FileFacts.h"
#include "shared/IniAccess.h"
#include "shared/Messages.h"
#include "shared/PathText.h"
#include "shared/Texts.h"
#include "shared/TrappedCall.h"
#include "shared/frmTextEditor.h"
#include "ui/Control.h"
#include "ui/ListBox.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace basGlobal {

namespace {

QString nativeOf(const QString& logical)
{
    const std::optional<QString> n = platform::toNative(logical);
    if (!n)
        RaiseError(platform::errPathNotFound);
    return *n;
}

// What the callers that raise errors make of a refusal that is no error
// number: the file is there but no file of ours.
Long errorOf(Long readResult)
{
    return readResult == kSavedPathsNotAFile ? platform::errPathFileAccess : readResult;
}

bool isBlank(const QString& line)
{
    return line.trimmed().isEmpty();
}

} // namespace

// A saved-path file is a short list typed by hand; anything larger than the
// bound is not one, and reading it whole would only stall the window.
Long ReadSavedPathsLines(const QString& logicalFile, QList<QByteArray>& lines)
{
    lines.clear();
    const std::optional<QString> native = platform::toNative(logicalFile);
    if (!native)
        return platform::errPathNotFound;
    const QByteArray name = QFile::encodeName(*native);
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)   // a socket, or a device without its driver, cannot be opened at all
        return errno == ENXIO ? kSavedPathsNotAFile : platform::errorFromErrno(errno);
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return kSavedPathsNotAFile;
    }
    if (st.st_size > kMaxSavedPathsBytes) {
        ::close(fd);
        return kSavedPathsTooLarge;
    }
    QByteArray bytes;
    bytes.resize(qsizetype(st.st_size));
    qsizetype got = 0;
    for (;;) {
        if (got == bytes.size())
            bytes.resize(bytes.size() + 4096);   // the file grew since fstat
        const ssize_t n = ::read(fd, bytes.data() + got, size_t(bytes.size() - got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            const int err = errno;
            ::close(fd);
            return platform::errorFromErrno(err);
        }
        if (n == 0)
            break;
        got += n;
        if (got > kMaxSavedPathsBytes) {
            ::close(fd);
            return kSavedPathsTooLarge;
        }
    }
    ::close(fd);
    bytes.truncate(got);
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    qsizetype start = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c != '\r' && c != '\n')
            continue;
        lines.append(bytes.mid(start, i - start));
        if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < bytes.size())
        lines.append(bytes.mid(start));
    return 0;
}

QString SavedPathsWriteTarget(const QString& native)
{
    return platform::decodeNativePath(platform::writeThroughLink(platform::encodeNativePath(native)));
}

void ShowSavedPathsTooLarge(ui::Form* window, const QString& title, const QString& file)
{
    const QString bound = QString::number(kMaxSavedPathsBytes / (1024 * 1024)) + QStringLiteral(" MB");
    ShowMessageBox(window, title,
                   Txt(u"The file '", u"Το αρχείο «") + file
                       + Txt(u"' cannot be read, because it is larger than ",
                             u"» δεν μπορεί να διαβασθεί, διότι είναι μεγαλύτερο από ")
                       + bound
                       + Txt(u", the most that a file with saved paths may be.",
                             u", το μέγιστο μέγεθος ενός αρχείου με αποθηκευμένες διαδρομές."),
                   48);
}

bool StorePath(ui::Form* window, const QString& path, const QString& file, bool& outAlreadySaved,
               bool& outAborted, Long& outError)
{
    outAlreadySaved = false;
    outAborted = false;
    outError = 0;
    const QString title = Txt(u"Store path", u"Καταχώρηση διαδρομής");
    // One line is one path: a path with a line break in it would come back
    // as two paths that name nothing.
    if (path.contains(u'\r') || path.contains(u'\n')) {
        ShowMessageBox(window, title,
                       Txt(u"Path '", u"Η διαδρομή «") + path
                           + Txt(u"', cannot be saved, because it contains a line break.",
                                 u"», δεν μπορεί να αποθηκευθεί, διότι περιέχει αλλαγή γραμμής."),
                       48);
        outAborted = true;
        return false;
    }
    bool added = false;
    outError = TrappedCall([&] {
        const bool cs = globals().VolumeIsCaseSensitive;
        const QString wanted = ApplyCaseSensitivity(path, cs);
        // The lines of the file as it is now; true when one names the path
        // or the file cannot be read for its size (the user has been told).
        QList<QByteArray> lines;
        const auto readAndFind = [&] {
            // Only a missing file is started afresh: whatever else cannot be
            // read (a FIFO, a folder, a failing disk) is never written over.
            const Long err = ReadSavedPathsLines(file, lines);
            if (err == kSavedPathsTooLarge) {
                ShowSavedPathsTooLarge(window, title, file);
                return true;
            }
            if (err != platform::errFileNotFound)
                RaiseIfError(errorOf(err));
            for (const QByteArray& line : lines) {
                if (ApplyCaseSensitivity(platform::decodeText(line), cs) == wanted) {
                    outAlreadySaved = true;
                    ShowMessageBox(window, title,
                                   Txt(u"Path '", u"Η διαδρομή «") + path
                                       + Txt(u"', has already been saved in the saved paths file.",
                                             u"», έχει ήδη αποθηκευθεί στο αρχείο με τις αποθηκευμένες διαδρομές."),
                                   64);
                    return true;
                }
            }
            return false;
        };
        if (readAndFind())
            return;
        const Long answer = ShowMessageBox(
            window, title,
            Txt(u"Do you really want to save path '", u"Θέλετε πράγματι να αποθηκεύσετε την διαδρομή «") + path
                + Txt(u"', in the saved paths file?", u"», στο αρχείο με τις αποθηκευμένες διαδρομές;"),
            36);
        if (answer != ui::vbYes) {
            outAborted = true;
            return;
        }
        // The file may have changed while the question was up (edited by
        // hand, replaced by a settings import): what is written goes on top
        // of what it holds now, not of what it held before.
        if (readAndFind())
            return;
        // The new file is written beside the old one and renamed over it, so
        // a failure half-way leaves the old list whole.
        platform::AtomicFile out;
        RaiseIfError(out.open(SavedPathsWriteTarget(nativeOf(file))));
        RaiseIfError(out.write(path.toUtf8() + "\r\n"));
        for (const QByteArray& line : lines) {
            DoEventsNow();
            RaiseIfError(out.write(line + "\r\n"));
        }
        RaiseIfError(out.commit());
        added = true;
    });
    return added && outError == 0;
}

bool LoadSavedPathsList(const QString& file, ui::ListBox& unsorted, ui::ListBox& sorted, ui::CheckBox& sortCheck,
                        bool& outFileMissing, bool& outIsEmpty, Long& outError, ui::Color filledColour,
                        ui::Color emptyColour)
{
    outFileMissing = false;
    outIsEmpty = false;
    outError = 0;
    bool loaded = false;
    outError = TrappedCall([&] {
        unsorted.clear();
        sorted.clear();
        unsorted.setBackColor(emptyColour);
        sorted.setBackColor(emptyColour);
        sorted.move(unsorted.left(), unsorted.top(), unsorted.width(), unsorted.height());
        const bool sortedShown = sortCheck.value() == 1;
        sorted.setVisible(sortedShown);
        unsorted.setVisible(!sortedShown);
        if (!FileExists(file)) {
            outFileMissing = true;
            return;
        }
        QList<QByteArray> lines;
        const Long err = ReadSavedPathsLines(file, lines);
        if (err == kSavedPathsTooLarge) {
            ShowSavedPathsTooLarge(&unsorted.form(), Txt(u"Restore saved path", u"Επαναφορά αποθηκευμένης διαδρομής"),
                                   file);
            return;
        }
        RaiseIfError(errorOf(err));
        for (const QByteArray& line : lines) {
            DoEventsNow();
            const QString text = platform::decodeText(line);
            if (isBlank(text))
                continue;
            unsorted.addItem(text);
            sorted.addItem(text);
        }
        if (unsorted.listCount() == 0) {
            outIsEmpty = true;
            return;
        }
        for (ui::ListBox* list : {&unsorted, &sorted}) {
            for (int i = 0; i < list->listCount(); ++i) {
                DoEventsNow();
                list->setSelected(i, false);
            }
            list->setBackColor(filledColour);
        }
        loaded = true;
    });
    if (outError != 0) {
        // A half-filled list would offer paths that are not all there.
        TrappedCall([&] {
            unsorted.clear();
            sorted.clear();
            unsorted.setBackColor(emptyColour);
            sorted.setBackColor(emptyColour);
        });
        outFileMissing = false;
        outIsEmpty = false;
        return false;
    }
    return loaded;
}

bool EditSavedPathsFile(ui::Form* window, const QString& file, bool& outAborted, Long& outError)
{
    outAborted = false;
    outError = 0;
    bool ran = false;
    outError = TrappedCall([&] {
        const QString crlf = QStringLiteral("\r\n");
        const Long answer = ShowMessageBox(
            window, Txt(u"Edit saved paths", u"Επεξεργασία αποθηκευμένων διαδρομών"),
            Txt(u"The application is suspended for as long as you are editing the file '",
                u"Η εφαρμογή αδρανοποιείται για όσο χρονικό διάστημα επεξεργάζεσθε το αρχείο «")
                + file + Txt(u"'.", u"».") + crlf + crlf
                + Txt(u"Do you really want to edit the file with the saved paths?",
                      u"Θέλετε πράγματι να επεξεργασθείτε το αρχείο με τις αποθηκευμένες διαδρομές;"),
            36);
        if (answer != ui::vbYes) {
            outAborted = true;
            return;
        }
        RunProgramAndWait(window, QStringLiteral("notepad"), file);
        ran = true;
    });
    return ran && outError == 0;
}

void RunProgramAndWait(ui::Form* window, const QString& program, const QString& file)
{
    DoEventsNow();
    if (program.compare(QLatin1String("notepad"), Qt::CaseInsensitive) == 0) {
        frmTextEditor editor(file);
        editor.show(ui::Modal);
    } else {
        platform::shell().runAndWait(program, file);
    }
    if (window) {
        BringFormToFront(*window);
        window->refresh();
    }
    DoEventsNow();
}

QString GetInitialPath(const QString& iniFile, const QString& key, const QString& defaultValue, Long& outError)
{
    return GetIniText(iniFile, QStringLiteral("General"), key, defaultValue, outError);
}

bool SetInitialPath(ui::Form* window, const QString& path, const QString& iniFile, bool& outAlreadySet,
                    bool& outAborted, Long& outError, const QString& key)
{
    outAlreadySet = false;
    outAborted = false;
    outError = 0;
    bool written = false;
    outError = TrappedCall([&] {
        const QString title = Txt(u"Set initial path", u"Ορισμός αρχικής διαδρομής");
        Long e = 0;
        const QString current = GetInitialPath(iniFile, key, QString(), e);
        RaiseIfError(e);
        const bool cs = globals().VolumeIsCaseSensitive;
        if (ApplyCaseSensitivity(current, cs) == ApplyCaseSensitivity(path, cs)) {
            outAlreadySet = true;
            ShowMessageBox(window, title,
                           Txt(u"Path '", u"Η διαδρομή «") + path
                               + Txt(u"', has already been set as the initial path of the application.",
                                     u"», έχει ήδη ορισθεί ως αρχική διαδρομή της εφαρμογής."),
                           64);
            return;
        }
        const Long answer = ShowMessageBox(
            window, title,
            Txt(u"Do you really want to set '", u"Θέλετε πράγματι να ορίσετε την διαδρομή «") + path
                + Txt(u"', as the initial path of the application?", u"», ως αρχική διαδρομή της εφαρμογής;"),
            36);
        if (answer != ui::vbYes) {
            outAborted = true;
            return;
        }
        RaiseIfError(WriteIniString(iniFile, QStringLiteral("General"), key, path));
        written = true;
    });
    return written && outError == 0;
}

} // namespace basGlobal
