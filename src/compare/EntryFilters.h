#pragma once
// The entry filters of the comparison: each walks both structures, Primary
// first and each from its first entry to its last, takes out the entries
// its rule rejects (their paths go to lstExcluded) and ends with the
// no-files check under its own name. Each runs only under its condition;
// a filter that does not run shows nothing and changes nothing.
//
// - FilterNumberOfLevels: runs when NumberOfLevelsLimit > 0; keeps an entry
//   when the "\"s of its relative path, plus one, are at most the limit (a
//   marker entry counts as a file inside its empty folder).
// - FilterFirstLevelFolders: runs when FolderSelectionState is 1 (label
//   "including ...") or 2 ("excluding ...") and a lstFoldersToIncludeExclude
//   list holds a name; it takes out of structure i every entry whose path
//   begins with one of its own listed names and a "\" (case rule of
//   VolumeIsCaseSensitive). Both states drop the listed folders: the
//   folder inclusion window lists the folders to drop.
// - FilterFileTypes: runs when FileTypesPattern is not exactly "*.*"; keeps
//   an entry when its whole relative path matches one of the patterns
//   (FileNameMatchesPatterns); every marker entry goes.
// - FilterFileAttributes: always runs; takes out a file whose Hidden,
//   System, ReadOnly or Archive text is "True" (any letter case) while its
//   Include setting is false. Marker entries stay. A flag text that is
//   neither True nor False is a type mismatch (error 13).
//
// Every filter is linear in the number of entries.

#include <QSet>
#include <QString>
#include <QStringList>

#include <array>
#include <set>

namespace compare {

class CompareRun;

// The rules themselves, entry by entry (true: the entry goes).
bool ExceedsLevelLimit(const QString& relativePath, int limit);
bool FailsFileTypes(const QString& relativePath, const QString& pattern);
// flags: the Hidden, System, ReadOnly and Archive texts; include: their
// Include settings. Every flag text is read, so a bad one is an error even
// where an earlier flag already decided.
bool FailsAttributeSwitches(const QString& relativePath, const std::array<const QString*, 4>& flags,
                            const std::array<bool, 4>& include);

// The first-level folders listed for one structure, under the case rule.
class FolderSelection {
public:
    FolderSelection(const QStringList& names, bool caseSensitive);
    // True when the path lies below one of the listed folders.
    bool covers(const QString& relativePath) const;

private:
    bool m_caseSensitive;
    // The listed folders as keys with their "\", and the lengths they come
    // in: a path is tested only at its own "\"s of those lengths.
    QSet<QString> m_keys;
    std::set<qsizetype> m_lengths;
};

void FilterNumberOfLevels(CompareRun& run);
void FilterFirstLevelFolders(CompareRun& run);
void FilterFileTypes(CompareRun& run);
void FilterFileAttributes(CompareRun& run);

} // namespace compare
