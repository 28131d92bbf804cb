#include "maintenance/VersionInformation.h"

#include "platform/Application.h"

#include <QRegularExpression>

// The build names the update server (the CMake cache variable of that name).
#ifndef QM_UPDATE_ADDRESS
#error "QM_UPDATE_ADDRESS must name the version document's address"
#endif

namespace maintenance {

QString FormatVersionText(int major, int minor, int revision)
{
    const auto part = [](int n) { return QStringLiteral("%1").arg(n, 4, 10, QLatin1Char('0')); };
    return part(major) + u'.' + part(minor) + u'.' + part(revision);
}

QString CurrentVersionText()
{
    const platform::Application& a = platform::app();
    return FormatVersionText(a.major(), a.minor(), a.revision());
}

UpdateCheckSettings& updateCheckSettings()
{
    static UpdateCheckSettings settings{QStringLiteral(QM_UPDATE_ADDRESS)};
    return settings;
}

QString VersionFileAddress(const QString& addressTemplate)
{
    return QString(addressTemplate).replace(u'|', kProductName);
}

VersionDocument ReadVersionDocument(const QString& text, const QString& currentVersion)
{
    VersionDocument doc;
    const QStringList fields = text.split(u'|');
    if (text.isEmpty() || fields.size() < 6 || fields[0] != kVersionFileMarker)
        return doc;
    doc.version = fields[1];
    doc.notesEnglish = fields[3];
    doc.notesGreek = fields[4];
    if (doc.version == currentVersion) {
        doc.outcome = VersionDocument::Latest;
        return doc;
    }
    // The count must name addresses that are really there.
    static const QRegularExpression whole(QStringLiteral("^[+-]?[0-9]{1,5}$"));
    const QString count = fields[2].trimmed();
    if (!whole.match(count).hasMatch())
        return doc;
    const int n = count.toInt();
    if (n < 1 || n > fields.size() - 5)
        return doc;
    doc.locations = fields.mid(5, n);
    doc.outcome = VersionDocument::Newer;
    return doc;
}

} // namespace maintenance
