#pragma once
// The two filters that look at the other structure. Two entries have the
// same path when their keys are equal: the relative path under the case rule
// of VolumeIsCaseSensitive. Each filter has two passes, Primary against
// Secondary and then Secondary against what is left of the Primary, and
// after each pass its own no-files message for that structure alone.
//
// - FilterCommonFiles (when CommonFilesOnly): takes out every entry whose
//   key the other structure lacks. With FailSafeChecks, a fail-safe check
//   then confirms that every remaining entry has its partner (reports A
//   and B, after which the window closes).
// - FilterDifferences (when DifferencesOnly): an entry and the first
//   remaining entry (lowest position) of the other structure with its key
//   both leave when their Size, Date and Time texts are equal; the four
//   flags are not compared.
//
// The searches go through hashed keys, so each pass is linear in the
// number of entries; duplicate keys keep the first-match rule.

#include <QString>

namespace compare {

class CompareRun;

void FilterCommonFiles(CompareRun& run);
void FilterDifferences(CompareRun& run);

// The texts of the common-files fail-safe report for an entry of structure
// `which` (0 report A, 1 report B) that lacks its partner.
QString CommonFilesFailSafeTitle(bool greek);
QString CommonFilesFailSafeText(int which, const QString& path, const QString& primaryRoot,
                                const QString& secondaryRoot, bool greek);

} // namespace compare
