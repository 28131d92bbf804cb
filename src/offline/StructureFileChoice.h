#pragma once
// The first stage of Export structure and of Integrity check: one file per
// selected structure, named in a Save dialog (export) or an Open dialog
// (import), shown in the window's file labels, then the rules on missing and
// equal names: hand the names over, ask again, or give up without a word.
//
// Two names count as equal when their texts are equal under the volume's
// case rule, or when they name the same file on disk (a link, "..", another
// spelling): two exports into one file would leave only the second.

#include <QString>

#include <array>

namespace offline {

class StructureWindow;

enum class StructureFileUse { Export, Import };

struct ChosenStructureFiles {
    std::array<QString, 2> file;   // "" for a side not processed
    int first = 0;                 // the sides first..last are processed
    int last = -1;
};

// False: the command gives up (nothing to do). A dialog failure is raised
// (platform::AppError) into the caller's error trap.
bool ChooseStructureFiles(StructureWindow& window, StructureFileUse use, ChosenStructureFiles& out);

// The file name offered for side i's export: "P" or "S", "_", the drive
// letter, "_" and the last folder of the path when there is one, ".txt"
// (P_F.txt, S_D_Alpha.txt).
QString DefaultExportFileName(int side, const QString& currentPath);

// Whether the two logical names name one file (see above).
bool SameStructureFile(const QString& a, const QString& b);

} // namespace offline
