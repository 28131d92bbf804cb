#include "platform/WriteJournal.h"

#include "platform/AtomicFile.h"
#include "platform/Drives.h"

#include <QList>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <set>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

constexpr const char* kJournalTag = ".qmjournal-";

QByteArray randomSuffix()
{
    static const char kChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    QByteArray out(6, '0');
    for (char& c : out)
        c = kChars[QRandomGenerator::system()->bounded(62)];
    return out;
}

bool exists(const QByteArray& path)
{
    struct stat st {};
    return ::lstat(path.constData(), &st) == 0;
}

// Lines "<op> <ticket> <fields>", each field percent-encoded so that any
// byte of a name fits: t (a temporary name), s (a file of a set: temp,
// target, backup or "-"), g (the set's commit begun), r (being undone),
// x (struck off).
QByteArray field(const QByteArray& bytes)
{
    return bytes.isEmpty() ? QByteArray("-") : bytes.toPercentEncoding("/");
}

QByteArray unfield(const QByteArray& text)
{
    return text == "-" ? QByteArray() : QByteArray::fromPercentEncoding(text);
}

class Journal {
public:
    void setFolder(const QByteArray& folder)
    {
        std::lock_guard lock(mutex_);
        close();
        folder_ = folder;
        live_.clear();
    }

    quint64 enter(const QByteArray& record, bool sync = false)
    {
        std::lock_guard lock(mutex_);
        if (folder_.isEmpty())
            return 0;
        if (fd_ < 0 && !create())
            return 0;
        const quint64 ticket = next_++;
        append(QByteArray(record).replace("%T", QByteArray::number(ticket)));
        if (sync)
            ::fdatasync(fd_);
        live_.insert(ticket);
        return ticket;
    }

    void note(char op, quint64 ticket, bool sync = false)
    {
        std::lock_guard lock(mutex_);
        if (!live_.count(ticket))
            return;
        append(QByteArray(1, op) + ' ' + QByteArray::number(ticket) + '\n');
        if (sync)
            ::fdatasync(fd_);
    }

    void strike(quint64 ticket)
    {
        std::lock_guard lock(mutex_);
        if (live_.erase(ticket) == 0)
            return;   // not entered, or in a journal given up since
        append("x " + QByteArray::number(ticket) + '\n');
        if (live_.empty()) {
            ::unlink(path_.constData());   // still locked: nobody settles it meanwhile
            close();
        }
    }

private:
    bool create()
    {
        for (int tries = 0; tries < 100; ++tries) {
            const QByteArray path = folder_ + '/' + kJournalTag + randomSuffix();
            const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_APPEND | O_CLOEXEC, 0600);
            if (fd < 0) {
                if (errno == EEXIST)
                    continue;
                return false;
            }
            struct stat st {};
            // Another start may have taken the fresh file for a left one
            // before it was locked; then it is gone and another is made.
            if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd, &st) == 0 && st.st_nlink > 0) {
                fd_ = fd;
                path_ = path;
                return true;
            }
            ::close(fd);
        }
        return false;
    }

    void append(const QByteArray& line)
    {
        for (qsizetype done = 0; done < line.size();) {
            const ssize_t n = ::write(fd_, line.constData() + done, size_t(line.size() - done));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return;
            done += n;
        }
    }

    void close()
    {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
        path_.clear();
        live_.clear();
    }

    std::mutex mutex_;
    QByteArray folder_;
    QByteArray path_;
    int fd_ = -1;
    std::set<quint64> live_;   // the tickets in flight in this journal file
    quint64 next_ = 1;
};

Journal& theJournal()
{
    static Journal j;
    return j;
}

journal::StepHook s_hook = nullptr;

bool rollForward(const std::vector<journal::StagedFile>& files)
{
    for (const journal::StagedFile& f : files)
        if (exists(f.temp) && ::rename(f.temp.constData(), f.target.constData()) != 0)
            return false;
    return true;
}

// A set whose commit had not begun: an old file already moved to its second
// name goes back (a second name made by a link leaves the target in place).
void putBackMoved(const std::vector<journal::StagedFile>& files)
{
    for (const journal::StagedFile& f : files)
        if (!f.backup.isEmpty() && !exists(f.target) && exists(f.backup))
            ::rename(f.backup.constData(), f.target.constData());
}

// Whether a file of a set names only what this program makes: its copy and
// the old file's second name are temporary names made from the target's
// name beside it.
bool ownStagedFile(const journal::StagedFile& f)
{
    const QByteArray name = f.target.mid(f.target.lastIndexOf('/') + 1);
    if (name.isEmpty() || name == "." || name == "..")
        return false;
    return isTemporaryNameOf(f.temp, f.target, kTemporaryTag)
        && (f.backup.isEmpty() || isTemporaryNameOf(f.backup, f.target, kBackupTag));
}

// Settles one left journal (its whole text). False when it named anything
// this program does not make: those lines are left alone.
bool settle(const QByteArray& text)
{
    enum State { Staged, Forward, Back };
    struct Set {
        std::vector<journal::StagedFile> files;
        State state = Staged;
        bool foreign = false;
    };
    std::map<quint64, QByteArray> temps;
    std::map<quint64, Set> sets;
    bool foreign = false;
    const QList<QByteArray> lines = text.split('\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QByteArray& line = lines[i];
        if (i == lines.size() - 1)
            break;   // without its line feed: cut short by the kill (or nothing)
        const QList<QByteArray> f = line.split(' ');
        bool ok = f.size() >= 2 && f[0].size() == 1;
        const quint64 ticket = ok ? f[1].toULongLong(&ok) : 0;
        const char op = ok ? f[0][0] : '?';
        if (op == 't' && f.size() == 3 && isTemporaryName(unfield(f[2]))) {
            temps[ticket] = unfield(f[2]);
        } else if (op == 's' && (f.size() == 5 || f.size() == 6)) {
            const journal::StagedFile file{unfield(f[2]), unfield(f[3]), unfield(f[4]),
                                           f.size() == 6 ? unfield(f[5]) : QByteArray()};
            Set& set = sets[ticket];
            set.files.push_back(file);
            if (!ownStagedFile(file))
                set.foreign = foreign = true;
        } else if ((op == 'g' || op == 'r' || op == 'x') && f.size() == 2) {
            if (op == 'x') {
                temps.erase(ticket);
                sets.erase(ticket);
            } else {
                sets[ticket].state = op == 'g' ? Forward : Back;
            }
        } else {
            foreign = true;
        }
    }
    std::set<QByteArray> leftAlone;
    for (const auto& [ticket, set] : sets) {
        if (set.foreign) {
            for (const journal::StagedFile& f : set.files)
                leftAlone.insert({f.temp, f.backup});
            continue;
        }
        if (set.state == Staged)
            putBackMoved(set.files);
        else if (set.state == Forward && !rollForward(set.files))
            journal::rollBack(set.files);
        else if (set.state == Back)
            journal::rollBack(set.files);
    }
    for (const auto& [ticket, path] : temps)
        if (!leftAlone.count(path))
            ::unlink(path.constData());
    return !foreign;
}

// Renames without ever replacing: 0, or the errno (EEXIST when the new name
// is taken). Where the file system cannot rename so, a second name is made
// and the first removed; where it has no second names either (the link is
// refused with EPERM), EOPNOTSUPP.
int renameNoReplaceAt(int dir, const char* from, const char* to)
{
    if (::renameat2(dir, from, dir, to, RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    if (::linkat(dir, from, dir, to, 0) != 0)
        return errno == EPERM ? EOPNOTSUPP : errno;
    if (::unlinkat(dir, from, 0) != 0) {
        const int err = errno;
        ::unlinkat(dir, to, 0);
        return err;
    }
    return 0;
}

// Renames a left journal aside under the first free name of "<name>.ignored",
// "<name>.ignored.2", "<name>.ignored.3", ... (an earlier journal set aside is
// never replaced) and lists the native path it is then found under in the
// report's `kind`; one that could not be renamed is listed under its own
// name, with why.
void setAside(int dir, const QByteArray& folder, const char* name, JournalReport* report,
              QStringList JournalReport::*kind)
{
    constexpr int kMaxAsideNames = 1000;
    QByteArray path = folder + '/' + name;
    int err = EEXIST;
    for (int n = 1; n <= kMaxAsideNames && err == EEXIST; ++n) {
        QByteArray aside = QByteArray(name) + ".ignored";
        if (n > 1)
            aside += '.' + QByteArray::number(n);
        err = renameNoReplaceAt(dir, name, aside.constData());
        if (err == 0)
            path = folder + '/' + aside;
    }
    if (!report)
        return;
    const QString listed = decodeNativePath(path);
    (report->*kind) << listed;
    if (err != 0)
        report->leftInPlace.insert(listed, err);
}

// Whether a left journal is one this program could have written: a regular
// file of the user running it, which no one else may write, and which has
// no other name (the program never gives its journals one). Any other may
// have been put there by someone else, so nothing it names is acted on.
bool writtenAsTheProgramWrites(const struct stat& st)
{
    return S_ISREG(st.st_mode) && st.st_nlink == 1 && st.st_uid == ::geteuid()
        && (st.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

// Settles the journal `name` in `dir` when no live run holds it.
bool settleLeftJournal(int dir, const QByteArray& folder, const char* name, JournalReport* report)
{
    // Whatever cannot be opened for reading (a link, a file only another
    // user may read) is opened only to be looked at. Every check is made on
    // the descriptor, so what is judged is what is read.
    int fd = ::openat(dir, name, O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    const bool readable = fd >= 0;
    if (!readable)
        fd = ::openat(dir, name, O_PATH | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return false;
    struct stat st {}, now {};
    if (::fstat(fd, &st) != 0) {
        ::close(fd);
        return false;
    }
    // Only the file that was looked at, should the name have been reused since.
    const auto sameFile = [&] {
        return ::fstatat(dir, name, &now, AT_SYMLINK_NOFOLLOW) == 0 && now.st_ino == st.st_ino && now.st_dev == st.st_dev;
    };
    if (!readable || !writtenAsTheProgramWrites(st)) {
        if (sameFile())
            setAside(dir, folder, name, report, &JournalReport::notOwn);
        ::close(fd);
        return false;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    if (st.st_size > kMaxJournalSize) {
        if (sameFile())
            setAside(dir, folder, name, report, &JournalReport::oversized);
        ::close(fd);
        return false;
    }
    QByteArray text;
    char buf[65536];
    for (ssize_t n; text.size() <= kMaxJournalSize && (n = ::read(fd, buf, sizeof buf)) != 0;) {
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            break;
        text.append(buf, n);
    }
    const bool own = text.size() <= kMaxJournalSize && settle(text);
    if (sameFile()) {
        if (own)
            ::unlinkat(dir, name, 0);
        else
            setAside(dir, folder, name, report, &JournalReport::foreign);
    }
    ::close(fd);
    return true;
}

} // namespace

int startWriteJournal(const QString& nativeFolder, JournalReport* report)
{
    const QByteArray folder = encodeNativePath(nativeFolder);
    int settled = 0;
    if (DIR* dir = ::opendir(folder.constData())) {
        QList<QByteArray> names;
        while (const dirent* e = ::readdir(dir)) {
            const QByteArray name(e->d_name);
            if (name.startsWith(kJournalTag) && name.size() == qsizetype(qstrlen(kJournalTag)) + 6)
                names << name;
        }
        for (const QByteArray& name : names)
            settled += settleLeftJournal(::dirfd(dir), folder, name.constData(), report);
        ::closedir(dir);
    }
    theJournal().setFolder(folder);
    return settled;
}

void stopWriteJournal()
{
    theJournal().setFolder({});
}

namespace journal {

quint64 enterTemporary(const QByteArray& path)
{
    return theJournal().enter("t %T " + field(path) + '\n');
}

void strike(quint64 ticket)
{
    theJournal().strike(ticket);
}

quint64 enterSet(const std::vector<StagedFile>& files)
{
    QByteArray record;
    for (const StagedFile& f : files)
        record += "s %T " + field(f.temp) + ' ' + field(f.target) + ' ' + field(f.backup) + ' ' + field(f.copyId) + '\n';
    return theJournal().enter(record, true);
}

void beginCommit(quint64 ticket)
{
    theJournal().note('g', ticket, true);
}

void beginRollback(quint64 ticket)
{
    theJournal().note('r', ticket);
}

void rollBack(const std::vector<StagedFile>& files)
{
    for (const StagedFile& f : files) {
        if (!f.backup.isEmpty()) {
            if (exists(f.backup))
                ::rename(f.backup.constData(), f.target.constData());
        } else if (!exists(f.temp) && !f.copyId.isEmpty()) {
            // There was no file before: the copy goes, never a file that
            // took the name since (nor one a journal merely names).
            const int fd = ::open(f.target.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
            const bool copy = fd >= 0 && fileId(fd) == f.copyId;
            if (fd >= 0)
                ::close(fd);
            if (copy)
                ::unlink(f.target.constData());
        }
    }
}

QByteArray fileId(int fd)
{
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        return {};
    return QByteArray::number(quint64(st.st_dev)) + ':' + QByteArray::number(quint64(st.st_ino));
}

void setStepHook(StepHook hook)
{
    s_hook = hook;
}

void step(const char* name)
{
    if (s_hook)
        s_hook(name);
}

} // namespace journal

int makeFreeName(const QByteArray& target, const char* tag, QByteArray& name, quint64& ticket,
                 const std::function<int(const QByteArray&)>& make)
{
    const QByteArray prefix = temporaryNamePrefix(target, tag);
    for (int tries = 0; tries < 100; ++tries) {
        name = prefix + randomSuffix();
        ticket = journal::enterTemporary(name);
        const int err = make(name);
        if (err == 0)
            return 0;
        journal::strike(ticket);
        ticket = 0;
        if (err != EEXIST) {
            name.clear();
            return err;
        }
    }
    name.clear();
    return EEXIST;
}

} // namespace platform
