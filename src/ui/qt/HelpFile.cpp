#include "ui/qt/HelpFile.h"

#include "platform/Application.h"
#include "platform/Drives.h"

#include <QFile>
#include <QStringList>

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
        if (current > 0 && keep) {
            while (!lines.isEmpty() && lines.last().trimmed().isEmpty()) lines.removeLast();
            help.m_topics.insert(current, lines.join(QLatin1Char('\n')));
        }
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
        if (current < 0) continue;
        if (lines.isEmpty() && line.trimmed().isEmpty()) continue;   // blank lines after the heading
        lines.append(line);
    }
    flush();
    return help;
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
