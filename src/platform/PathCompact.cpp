#include "platform/PathCompact.h"

#include <algorithm>

namespace platform {

namespace {

const QString kDots = QStringLiteral("...");

// Start of the last component, with its leading "\": the last "\" that is
// followed by something other than "\". -1 when there is none.
qsizetype lastComponentStart(const QString& path)
{
    for (qsizetype i = path.size() - 2; i >= 0; --i) {
        if (path[i] == u'\\' && path[i + 1] != u'\\')
            return i;
    }
    return -1;
}

// Never end a kept start in the middle of a surrogate pair.
qsizetype safeCut(const QString& s, qsizetype n)
{
    if (n > 0 && n < s.size() && s[n - 1].isHighSurrogate())
        --n;
    return n;
}

// The length of a drive root at the start of the path: 3 for "C:\...",
// 2 for "C:" alone or followed by a name, 0 for a path without a drive.
qsizetype driveRootLength(const QString& path)
{
    if (path.size() < 2 || path[1] != u':' || !path[0].isLetter())
        return 0;
    return (path.size() > 2 && path[2] == u'\\') ? 3 : 2;
}

} // namespace

QString compactPathToWidth(const QString& path, int widthPx, const TextMeasure& measure)
{
    if (!measure || path.isEmpty())
        return QString();
    if (measure(path) <= widthPx)
        return path;

    const qsizetype lastAt = lastComponentStart(path);
    if (lastAt < 0) {
        // No folder part: the longest start that fits with "..." after it.
        for (qsizetype n = safeCut(path, path.size() - 1); n > 0; n = safeCut(path, n - 1)) {
            const QString candidate = path.left(n) + kDots;
            if (measure(candidate) <= widthPx)
                return candidate;
        }
        for (int dots = 3; dots > 0; --dots) {
            const QString candidate = kDots.left(dots);
            if (measure(candidate) <= widthPx)
                return candidate;
        }
        return QString();
    }

    const QString last = path.mid(lastAt);
    const QString head = path.left(lastAt);
    // The drive stays whole: a start cut inside "C:\" would read as a folder
    // named "C...".
    const qsizetype root = driveRootLength(path);
    const bool hasMiddle = head.size() > root;
    // The longest start of the head (a strict one: the whole head would be
    // the full path again) that still fits in front of "..." and the last part.
    if (hasMiddle) {
        for (qsizetype n = safeCut(head, head.size() - 1); n >= std::max<qsizetype>(root, 1); n = safeCut(head, n - 1)) {
            const QString candidate = head.left(n) + kDots + last;
            if (measure(candidate) <= widthPx)
                return candidate;
        }
    }

    // Not even the drive, "..." and the whole last component fit: the last
    // component keeps its start, "..." its end (and a folder its "\").
    const QString base = hasMiddle ? head.left(root) + kDots : head;
    if (root == 0 && measure(base + last) <= widthPx)
        return base + last;
    const bool folder = last.size() > 1 && last.endsWith(u'\\');
    const QString name = last.mid(1, last.size() - (folder ? 2 : 1));
    const QString trail = folder ? QStringLiteral("\\") : QString();
    QString candidate = base + last;
    for (qsizetype k = safeCut(name, name.size() - 1); k > 0; k = safeCut(name, k - 1)) {
        candidate = base + u'\\' + name.left(k) + kDots + trail;
        if (measure(candidate) <= widthPx)
            return candidate;
    }
    return candidate;
}

QString compactPathToLength(const QString& path, int maxChars)
{
    if (maxChars < 1)
        return QString();
    if (path.size() <= maxChars)
        return path;

    const qsizetype lastAt = lastComponentStart(path);
    if (lastAt < 0) {
        if (maxChars <= 3)
            return kDots.left(maxChars);
        return path.left(safeCut(path, maxChars - 3)) + kDots;
    }

    const QString last = path.mid(lastAt);
    if (last.size() + 3 > maxChars) {
        // Not even "...\last" fits: keep the start of the last component.
        if (maxChars <= 7)
            return QString(maxChars, u'.');
        const QString name = last.mid(1);
        return kDots + u'\\' + name.left(safeCut(name, maxChars - 7)) + kDots;
    }
    // A start cut inside "C:\" would read as a folder named "C..."; then
    // "..." stands for the drive as well.
    qsizetype keep = maxChars - last.size() - 3;
    if (keep < driveRootLength(path))
        keep = 0;
    return path.left(safeCut(path, keep)) + kDots + last;
}

} // namespace platform
