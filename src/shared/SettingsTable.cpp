#include "shared/SettingsTable.h"

#include "shared/IniAccess.h"

#include <algorithm>

namespace basGlobal {

namespace {

const char* const kGeneral = "General";
const char* const kFileAttributes = "FileAttributes";
const char* const kGridColumnWidths = "GridColumnWidths";

// A stored path may be as long as the file system allows; only the program's
// own short texts keep a small buffer.
constexpr Integer kNoLimit = 0;
constexpr Integer kPatternBuffer = 2048;
constexpr Integer kFormatBuffer = 100;
constexpr Long kMinGridColumnWidth = 200;
constexpr Long kMaxGridColumnWidth = 32767;

#define AT(member) [](Globals& g) { return SettingVariable(&g.member); }

Setting row(const char* section, const char* key, SettingVariable (*at)(Globals&))
{
    Setting s{};
    s.section = section;
    s.key = key;
    s.variable = at;
    return s;
}

Setting flag(const char* section, const char* key, SettingVariable (*at)(Globals&), bool byDefault, int applyRank = 0)
{
    Setting s = row(section, key, at);
    s.byDefault = byDefault ? 1 : 0;
    s.applyRank = applyRank;
    return s;
}

Setting whole(const char* section, const char* key, SettingVariable (*at)(Globals&), Long byDefault, Long minimum,
              Long maximum, int applyRank = 0)
{
    Setting s = row(section, key, at);
    s.byDefault = byDefault;
    s.minimum = minimum;
    s.maximum = maximum;
    s.applyRank = applyRank;
    return s;
}

Setting text(const char* section, const char* key, SettingVariable (*at)(Globals&), const char16_t* byDefault,
             Integer buffer, int applyRank, const char* only0 = nullptr, const char* only1 = nullptr)
{
    Setting s = row(section, key, at);
    s.defaultText = byDefault;
    s.buffer = buffer;
    s.applyRank = applyRank;
    s.only[0] = only0;
    s.only[1] = only1;
    return s;
}

// Column I's width, under the key of its number.
template <int I>
Setting column()
{
    static constexpr char key[2] = {char('0' + I), 0};
    static_assert(I < kGridColumns);
    return whole(kGridColumnWidths, key, [](Globals& g) { return SettingVariable(&g.GridColumnWidth[I]); },
                 kDefaultGridColumnWidths[I], kMinGridColumnWidth, kMaxGridColumnWidth);
}

// The start-up reads the language first of all, since the title depends on
// it, then the others in this order. Rows:
//   flag(section, key, variable, default [, Apply rank])
//   whole(section, key, variable, default, minimum, maximum [, Apply rank])
//   text(section, key, variable, default (null: the application folder),
//        reader's buffer, Apply rank [, the only values taken])
// where the Apply rank is the row's place among the Options window's writes.
const Setting kSettings[] = {
    flag(kGeneral, "Language", AT(LanguageIsGreek), false),
    flag(kGeneral, "ResizeFont", AT(ResizeFontEnabled), false, 19),
    whole(kGeneral, "StructureIndex", AT(CurrentStructure), 0, 0, 1),
    text(kGeneral, "PrimaryInitialPath", AT(InitialPath[0]), nullptr, kNoLimit, 1),
    text(kGeneral, "SecondaryInitialPath", AT(InitialPath[1]), nullptr, kNoLimit, 2),
    flag(kGeneral, "DisplayPrimaryPathFirstLevelFolders", AT(DisplayFirstLevelFolders[0]), false),
    flag(kGeneral, "DisplaySecondaryPathFirstLevelFolders", AT(DisplayFirstLevelFolders[1]), false),
    flag(kGeneral, "DisplayPrimaryPathFirstLevelFiles", AT(DisplayFirstLevelFiles[0]), false),
    flag(kGeneral, "DisplaySecondaryPathFirstLevelFiles", AT(DisplayFirstLevelFiles[1]), false),
    flag(kGeneral, "NoToolTipPathNames", AT(HidePathToolTips), false, 18),
    flag(kGeneral, "SortSavedPaths", AT(SavedPathsSorted), false),
    whole(kGeneral, "Comparison", AT(ComparisonMode), 0, 0, 2, 11),   // 0 live, 1 off line, 2 preparation
    whole(kGeneral, "ExportStructure", AT(ExportStructureSelection), 1, 0, 2),   // 0 Primary, 1 Secondary, 2 both
    whole(kGeneral, "ImportStructure", AT(ImportStructureSelection), 1, 0, 2),
    whole(kGeneral, "NumberOfLevels", AT(NumberOfLevelsLimit), 1, 0, 9999, 8),   // 0 all levels
    flag(kGeneral, "CompareOnlyTheCommonFiles", AT(CommonFilesOnly), true, 16),
    flag(kGeneral, "DisplayOnlyTheDifferences", AT(DifferencesOnly), false, 12),
    flag(kGeneral, "AbilityToExcludeFolders", AT(FolderIncludeExcludeEnabled), true, 13),
    flag(kGeneral, "DisplayOptions", AT(ShowOptionsBeforeComparison), true, 20),
    text(kFileAttributes, "Pattern", AT(FileTypesPattern), u"*.*", kPatternBuffer, 3),   // no syntax check
    flag(kFileAttributes, "Hidden", AT(IncludeHiddenFiles), true, 4),
    flag(kFileAttributes, "System", AT(IncludeSystemFiles), true, 5),
    flag(kFileAttributes, "ReadOnly", AT(IncludeReadOnlyFiles), true, 6),
    flag(kFileAttributes, "Archive", AT(IncludeArchiveFiles), true, 7),
    text(kGeneral, "DateFormat", AT(DateFormatName), u"short", kFormatBuffer, 9, "short", "long"),
    text(kGeneral, "TimeFormat", AT(TimeFormatName), u"long", kFormatBuffer, 10, "short", "long"),
    flag(kGeneral, "DisplayElapsedTime", AT(ShowElapsedTime), false, 14),
    flag(kGeneral, "SaveGridColumnWidths", AT(SaveColumnWidths), false, 15),
    column<0>(), column<1>(), column<2>(), column<3>(), column<4>(), column<5>(), column<6>(), column<7>(), column<8>(),
    flag(kGeneral, "RemindMeToPrint", AT(RemindToPrint), true, 17),
    flag(kGeneral, "FailSafe", AT(FailSafeChecks), false, 21),
    flag(kGeneral, "ExtendedInformation", AT(ShowExtendedInformation), true, 22),
    whole(kGeneral, "PrintDestination", AT(PrintDestinationIndex), 0, 0, 2),   // 0 printer, 1 file, 2 both
};

#undef AT

template <class... F>
struct Overload : F... {
    using F::operator()...;
};

QString defaultTextOf(const Setting& s, const Globals& g)
{
    return s.defaultText ? QString::fromUtf16(s.defaultText) : g.ApplicationPath;
}

bool accepted(const Setting& s, const QString& value)
{
    if (!s.only[0])
        return true;
    return std::any_of(std::begin(s.only), std::end(s.only),
                       [&](const char* v) { return v && value == QLatin1String(v); });
}

} // namespace

bool Setting::fills(Globals& g, const void* target) const
{
    return std::visit([&](auto* v) { return static_cast<const void*>(v) == target; }, variable(g));
}

std::span<const Setting> Settings() { return kSettings; }

const std::vector<const Setting*>& OptionsApplySettings()
{
    static const std::vector<const Setting*> rows = [] {
        std::vector<const Setting*> out;
        for (const Setting& s : kSettings)
            if (s.applyRank > 0)
                out.push_back(&s);
        std::sort(out.begin(), out.end(), [](const Setting* a, const Setting* b) { return a->applyRank < b->applyRank; });
        return out;
    }();
    return rows;
}

const Setting* FindSetting(Globals& g, const void* target)
{
    for (const Setting& s : kSettings)
        if (s.fills(g, target))
            return &s;
    return nullptr;
}

Long ReadSetting(const QString& ini, const Setting& s, Globals& g)
{
    const QString section = QLatin1String(s.section);
    const QString key = QLatin1String(s.key);
    Long error = 0;
    std::visit(Overload{
                   [&](bool* v) { *v = GetIniBoolean(ini, section, key, s.byDefault != 0, error); },
                   [&](Integer* v) {
                       *v = GetIniInteger(ini, section, key, Integer(s.byDefault), Integer(s.minimum),
                                          Integer(s.maximum), error);
                   },
                   [&](Long* v) { *v = GetIniLong(ini, section, key, s.byDefault, s.minimum, s.maximum, error); },
                   [&](QString* v) {
                       const QString byDefault = defaultTextOf(s, g);
                       Integer length = 0;
                       const QString value = s.buffer > 0
                                                 ? GetIniString(ini, section, key, s.buffer, byDefault, length, error)
                                                 : GetIniText(ini, section, key, byDefault, error);
                       *v = accepted(s, value) ? value : byDefault;
                   },
               },
               s.variable(g));
    return error;
}

Long WriteSetting(const QString& ini, const Setting& s, Globals& g)
{
    const QString section = QLatin1String(s.section);
    const QString key = QLatin1String(s.key);
    return std::visit(Overload{
                          [&](bool* v) { return WriteIniBoolean(ini, section, key, *v); },
                          [&](Integer* v) { return WriteIniLong(ini, section, key, *v); },
                          [&](Long* v) { return WriteIniLong(ini, section, key, *v); },
                          [&](QString* v) { return WriteIniString(ini, section, key, *v); },
                      },
                      s.variable(g));
}

QString SettingText(const Setting& s, Globals& g)
{
    return std::visit(Overload{
                          [](bool* v) { return *v ? QStringLiteral("True") : QStringLiteral("False"); },
                          [](Integer* v) { return QString::number(*v); },
                          [](Long* v) { return QString::number(*v); },
                          [](QString* v) { return *v; },
                      },
                      s.variable(g));
}

void ApplyDefaultSettings(Globals& g)
{
    for (const Setting& s : kSettings)
        std::visit(Overload{
                       [&](bool* v) { *v = s.byDefault != 0; },
                       [&](Integer* v) { *v = Integer(s.byDefault); },
                       [&](Long* v) { *v = s.byDefault; },
                       [&](QString* v) { *v = defaultTextOf(s, g); },
                   },
                   s.variable(g));
}

} // namespace basGlobal
