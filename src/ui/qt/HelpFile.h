#pragma once
// Context-help files: UTF-8 text in sections. A line "[50010]" opens the
// section of topic 50010; the lines that follow, up to the next section, are
// its text. Lines before the first section and lines starting with ";" are
// ignored; blank lines around a section's text are dropped. The text's first
// line is its heading and stays a line of its own; after it, blank lines
// separate paragraphs, and the lines of one paragraph are joined with a
// space, so the file may wrap its lines anywhere while the bubble wraps to
// its own width. The format is described for the writers of the help files
// in resources/help/README.md.

#include <QHash>
#include <QString>

namespace ui::qt {

class HelpFile {
public:
    // Parses the text of a help file. A topic given twice keeps its first
    // section (a copy-and-paste slip must not silently replace a topic).
    static HelpFile parse(const QString& text);
    // Reads a native file; a missing or unreadable file gives an empty help
    // file (every topic then shows nothing).
    static HelpFile load(const QString& nativeFile);

    bool contains(int topic) const { return m_topics.contains(topic); }
    QString topic(int topic) const { return m_topics.value(topic); }
    int size() const { return int(m_topics.size()); }
    // The topic numbers, in ascending order.
    QList<int> topics() const;

private:
    QHash<int, QString> m_topics;
};

// Where a help file named by the program lives: a logical path goes through
// the drive table; a bare name is looked for in the application folder.
QString nativeHelpPath(const QString& helpFile);

} // namespace ui::qt
