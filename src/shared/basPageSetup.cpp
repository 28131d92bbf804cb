#include "shared/basPageSetup.h"

#include "shared/IniAccess.h"

namespace basPageSetup {

using namespace basGlobal;

namespace {
const QString kSection = QStringLiteral("PageSetup");
}

Long LoadPageSetup()
{
    Globals& g = globals();
    const QString& ini = g.IniFileName;
    Long first = 0;
    Long err = 0;
    auto note = [&first, &err] {
        if (first == 0 && err != 0)
            first = err;
    };
    // A failed read already yields the key's default, so reading on after a
    // failure leaves no variable at a value the printer cannot use.
    Integer len = 0;
    g.PageSetupFontName = GetIniString(ini, kSection, QStringLiteral("FontName"), 100, kFontCourierNew, len, err);
    note();
    if (g.PageSetupFontName != kFontCourierNew && g.PageSetupFontName != kFontCourierNewGreek)
        g.PageSetupFontName = kFontCourierNew;
    g.PageSetupFontSize = GetIniInteger(ini, kSection, QStringLiteral("FontSize"), kSmallestFontSize, kSmallestFontSize,
                                        kLargestFontSize, err);
    note();
    g.PageSetupTopMargin = GetIniInteger(ini, kSection, QStringLiteral("TopMargin"), 0, 0, 20, err);
    note();
    g.PageSetupLeftMargin = GetIniInteger(ini, kSection, QStringLiteral("LeftMargin"), 0, 0, 30, err);
    note();
    g.PageSetupLinesPerPage = GetIniInteger(ini, kSection, QStringLiteral("LinesPerPage"), 30, 30, 80, err);
    note();
    return first;
}

Long SavePageSetup()
{
    const Globals& g = globals();
    const QString& ini = g.IniFileName;
    Long err = WriteIniString(ini, kSection, QStringLiteral("FontName"), g.PageSetupFontName);
    if (err == 0)
        err = WriteIniInteger(ini, kSection, QStringLiteral("FontSize"), g.PageSetupFontSize);
    if (err == 0)
        err = WriteIniInteger(ini, kSection, QStringLiteral("TopMargin"), g.PageSetupTopMargin);
    if (err == 0)
        err = WriteIniInteger(ini, kSection, QStringLiteral("LeftMargin"), g.PageSetupLeftMargin);
    if (err == 0)
        err = WriteIniInteger(ini, kSection, QStringLiteral("LinesPerPage"), g.PageSetupLinesPerPage);
    return err;
}

} // namespace basPageSetup
