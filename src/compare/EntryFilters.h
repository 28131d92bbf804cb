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

namespace compare {

class CompareRun;

void FilterNumberOfLevels(CompareRun& run);
void FilterFirstLevelFolders(CompareRun& run);
void FilterFileTypes(CompareRun& run);
void FilterFileAttributes(CompareRun& run);

} // namespace compare
