#pragma once
// The settings of the INI sections "General", "FileAttributes" and
// "GridColumnWidths": for each its section, key, default, the values it
// accepts and the variable of Globals it fills. This table is the one place
// that spells them. The main window's start-up reads every row in the
// table's order; the Options window's Apply writes the rows it edits, in the
// order of their applyRank; a start without the INI file (which is what a
// settings reset leads to) gives every row its default.
//
// The other windows that own a key ("StructureIndex", the display boxes,
// the column widths, ...) write it themselves when their value changes.

#include "shared/basGlobal.h"

#include <QString>

#include <span>
#include <variant>
#include <vector>

namespace basGlobal {

// Where one setting lives inside a Globals.
using SettingVariable = std::variant<bool*, Integer*, Long*, QString*>;

// The results grid's column widths before the user changes them, in twips.
inline constexpr Long kDefaultGridColumnWidths[kGridColumns] = {200, 2345, 2345, 1250, 1250, 1000, 1000, 850, 850};

struct Setting {
    const char* section;
    const char* key;
    SettingVariable (*variable)(Globals&);
    // The default: 0 or 1 for a flag, the number for a whole number, the
    // text for a text (null: the application folder).
    Long byDefault = 0;
    const char16_t* defaultText = nullptr;
    // Whole numbers: the accepted range; any other value gives the default.
    Long minimum = 0;
    Long maximum = 0;
    // Texts: the reader's buffer (0: no limit), and the only values taken
    // when `only` names any (compared exactly); any other gives the default.
    Integer buffer = 0;
    const char* only[2] = {nullptr, nullptr};
    // Place among the Options window's Apply writes, 1 first; 0: not written there.
    int applyRank = 0;

    // True when this row fills `target` of g.
    bool fills(Globals& g, const void* target) const;
};

// Every row, in the order the start-up reads them.
std::span<const Setting> Settings();

// The rows the Options window's Apply writes, in the order it writes them.
const std::vector<const Setting*>& OptionsApplySettings();

// The row that fills `target` of g; null when no row does.
const Setting* FindSetting(Globals& g, const void* target);

// Reads the row's key from `ini` into its variable of g: a missing key or a
// value it does not accept gives the default. Returns the reader's error.
Long ReadSetting(const QString& ini, const Setting& s, Globals& g);

// Writes the row's variable of g to its key of `ini` in the INI's spelling
// ("True"/"False", decimal, text unchanged). Returns the writer's error.
Long WriteSetting(const QString& ini, const Setting& s, Globals& g);

// The row's variable as the INI spells it.
QString SettingText(const Setting& s, Globals& g);

// Puts every row's variable of g to its default: the settings of a start
// without the INI file. Texts whose default is the application folder take
// g.ApplicationPath.
void ApplyDefaultSettings(Globals& g);

} // namespace basGlobal
