#pragma once
// Writes one exported-structure file: UTF-8 lines ending CR LF, the line
// count, the root, the first-level folder names, the record count and one
// record of eight lines per entry (see shared/StructureFile.h). The file is
// written to a temporary file beside the target; the caller commits it when
// the whole run has succeeded and discards it otherwise, so a cancel or a
// failure never touches a file that was there before.

#include "platform/AtomicFile.h"

#include <QString>
#include <QStringList>

#include <array>
#include <functional>

namespace ui {
class ListBox;
}

namespace offline {

struct StructureFileContent {
    QString root;                                 // with its trailing "\"
    QStringList firstLevelFolders;                // names, in sort order
    // The entries: Hidden, System, ReadOnly, Archive, Size, Date, Time, path,
    // one list each, of equal length (at least one entry).
    std::array<const ui::ListBox*, 8> lists{};
};

// The first text of `content` that a structure file cannot carry (a line
// end inside it, or a line longer than any reader accepts), or "" when every
// text can be written.
QString FirstUnwritableText(const StructureFileContent& content);

// Whether the file's line count, 4 + F + 8 x N, fits line 1.
bool FitsOneStructureFile(const StructureFileContent& content);

// Writes the content into `file` (opened here beside `nativeTarget`) and
// leaves it uncommitted. `afterLineGroup` runs after each folder name and
// each record; false stops the writing (`stopped` true, result 0). Error
// number back (0 = written); on an error the temporary file is discarded.
int WriteStructureFile(const QString& nativeTarget, platform::AtomicFile& file, const StructureFileContent& content,
                       const std::function<bool()>& afterLineGroup, bool& stopped);

} // namespace offline
