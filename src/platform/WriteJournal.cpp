#include "platform/WriteJournal.h"

#include "platform/AtomicFile.h"
#include "platform/Drives.h"

#include <QList>
#include <QRandomGenerator>

#include <cerrno>
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

    void note(char op, quint64 ticket)
    {
        std::lock_guard lock(mutex_);
        if (live_.count(ticket))
            append(QByteArray(1, op) + ' ' + QByteArray::number(ticket) + '\n');
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

// Settles one left journal (its whole text).
void settle(const QByteArray& text)
{
    enum State { Staged, Forward, Back };
    struct Set {
        std::vector<journal::StagedFile> files;
        State state = Staged;
    };
    std::map<quint64, QByteArray> temps;
    std::map<quint64, Set> sets;
    for (const QByteArray& line : text.split('\n')) {
        const QList<QByteArray> f = line.split(' ');
        if (f.size() < 2 || f[0].size() != 1)
            continue;   // the last line may be cut short
        const quint64 ticket = f[1].toULongLong();
        switch (f[0][0]) {
        case 't':
            if (f.size() == 3)
                temps[ticket] = unfield(f[2]);
            break;
        case 's':
            if (f.size() == 5)
                sets[ticket].files.push_back({unfield(f[2]), unfield(f[3]), unfield(f[4])});
            break;
        case 'g': sets[ticket].state = Forward; break;
        case 'r': sets[ticket].state = Back; break;
        case 'x':
            temps.erase(ticket);
            sets.erase(ticket);
            break;
        default: break;
        }
    }
    for (const auto& [ticket, set] : sets) {
        if (set.state == Forward && !rollForward(set.files))
            journal::rollBack(set.files);
        else if (set.state == Back)
            journal::rollBack(set.files);
    }
    for (const auto& [ticket, path] : temps)
        ::unlink(path.constData());
}

// Settles the journal `name` in `dir` when no live run holds it.
bool settleLeftJournal(int dir, const char* name)
{
    const int fd = ::openat(dir, name, O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0)
        return false;
    struct stat st {}, now {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid()
        || ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    QByteArray text;
    char buf[65536];
    for (ssize_t n; (n = ::read(fd, buf, sizeof buf)) != 0;) {
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            break;
        text.append(buf, n);
    }
    settle(text);
    // Only the file that was read, should the name have been reused since.
    if (::fstatat(dir, name, &now, AT_SYMLINK_NOFOLLOW) == 0 && now.st_ino == st.st_ino && now.st_dev == st.st_dev)
        ::unlinkat(dir, name, 0);
    ::close(fd);
    return true;
}

} // namespace

int startWriteJournal(const QString& nativeFolder)
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
            settled += settleLeftJournal(::dirfd(dir), name.constData());
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

quint64 beginCommit(const std::vector<StagedFile>& files)
{
    QByteArray record;
    for (const StagedFile& f : files)
        record += "s %T " + field(f.temp) + ' ' + field(f.target) + ' ' + field(f.backup) + '\n';
    return theJournal().enter(record + "g %T\n", true);
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
        } else if (!exists(f.temp)) {
            ::unlink(f.target.constData());   // there was no file before
        }
    }
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
