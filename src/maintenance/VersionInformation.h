#pragma once
// The version document the update server publishes, and the running copy's
// own version text that it is compared with.
//
// The document is one text whose fields are separated by "|" (no quoting,
// nothing trimmed; a line break belongs to the field it stands in):
//   0 the marker, 1 the newest version's text, 2 the number N of download
//   locations, 3 the notes in English, 4 the notes in Greek, 5 .. 4+N the
//   download addresses; anything after them is ignored.
// Versions are compared for equality only: any other published text is
// announced as a newer version.

#include <QString>
#include <QStringList>

namespace maintenance {

// The product name that fills the "|" of the address template.
inline const QString kProductName = QStringLiteral("Quillmarsh");
// Every published document starts with this field.
inline const QString kVersionFileMarker = QStringLiteral("Q1m2a3r4s5h6K");

// Major, minor and revision, each at least four digits, joined by ".":
// 2002, 8, 26 gives "2002.0008.0026".
QString FormatVersionText(int major, int minor, int revision);
// The running copy's version text (from the application object).
QString CurrentVersionText();

// Where and how the document is fetched. The address template comes from
// the build (QM_UPDATE_ADDRESS); tests point it at 127.0.0.1.
struct UpdateCheckSettings {
    QString addressTemplate;
    int timeoutMs = 20000;
    qint64 maxBytes = 1024 * 1024;
};
UpdateCheckSettings& updateCheckSettings();

// The template with every "|" replaced by the product name.
QString VersionFileAddress(const QString& addressTemplate);

struct VersionDocument {
    enum Outcome { Invalid, Latest, Newer };
    Outcome outcome = Invalid;
    QString version;          // field 1
    QString notesEnglish;     // field 3
    QString notesGreek;       // field 4
    QStringList locations;    // fields 5 .. 4+N, untrimmed (Newer only)
};

// Reads a fetched document against the running version. Anything that is
// not a complete document is Invalid: fewer than six fields, another marker,
// or (for a newer version) a count that is not a whole number from 1 up to
// the number of addresses the document holds.
VersionDocument ReadVersionDocument(const QString& text, const QString& currentVersion);

} // namespace maintenance
