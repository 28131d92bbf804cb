#include "ui/qt/HelpFile.h"

#include "platform/Application.h"
#include "platform/Drives.h"

#include <QFile>
#include <QStringList>

#include <algorithm>

namespace ui::qt {

namespace {

// The topic number of a section line, or -1 when the line opens no section.
int sectionTopic(const QString& line)
{
    const QString t = line.trimmed();
    if (t.size() < 3 || !t.startsWith(QLatin1Char('[')) || !t.endsWith(QLatin1Char(']'))) return -1;
    bool ok = false;
    const int n = t.mid(1, t.size() - 2).trimmed().toInt(&ok);
    return ok && n > 0 ? n : -1;
}

// The shown text of a section: the heading line, then the paragraphs, each
// joined into one line, one blank line between two of them.
QString joinParagraphs(const QStringList& lines)
{
    QString text;
    bool blank = false;        // a blank line since the last line kept
    bool paragraph = false;    // a paragraph after the heading is open
    for (const QString& raw : lines) {
        const QString line = raw.trimmed();
        if (line.isEmpty()) {
            blank = !text.isEmpty();
            continue;
        }
        if (!text.isEmpty()) text += blank ? QLatin1String("\n\n") : (paragraph ? QLatin1String(" ") : QLatin1String("\n"));
        paragraph = !text.isEmpty();
        text += line;
        blank = false;
    }
    return text;
}

} // namespace

HelpFile HelpFile::parse(const QString& text)
{
    HelpFile help;
    QString normalised = text;
    normalised.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    normalised.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    if (normalised.startsWith(QChar(0xFEFF))) normalised.remove(0, 1);

    int current = -1;
    bool keep = false;
    QStringList lines;
    auto flush = [&] {
        if (current > 0 && keep) help.m_topics.insert(current, joinParagraphs(lines));
        lines.clear();
    };
    for (const QString& line : normalised.split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1Char(';'))) continue;
        if (const int topic = sectionTopic(line); topic > 0) {
            flush();
            current = topic;
            keep = !help.m_topics.contains(topic);
            continue;
        }
        if (current >= 0) lines.append(line);
    }
    flush();
    return help;
}

QList<int> HelpFile::topics() const
{
    QList<int> out = m_topics.keys();
    std::sort(out.begin(), out.end());
    return out;
}

HelpFile HelpFile::load(const QString& nativeFile)
{
    QFile f(nativeFile);
    if (nativeFile.isEmpty() || !f.open(QIODevice::ReadOnly)) return {};
    return parse(QString::fromUtf8(f.readAll()));
}

QString nativeHelpPath(const QString& helpFile)
{
    if (helpFile.isEmpty()) return {};
    if (helpFile.size() >= 2 && helpFile.at(1) == QLatin1Char(':'))
        return platform::toNative(helpFile).value_or(QString());
    if (helpFile.startsWith(QLatin1Char('/'))) return helpFile;
    return platform::app().nativePath() + QLatin1Char('/') + helpFile;
}

} // namespace ui::qt
