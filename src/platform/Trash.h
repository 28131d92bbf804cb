#pragma once
// Deleting to the trash, following the freedesktop.org Trash standard: the
// home trash ($XDG_DATA_HOME/Trash, else ~/.local/share/Trash) for items on
// its volume, the volume's own .Trash/$uid or .Trash-$uid otherwise, each
// item with its .trashinfo record so desktops can restore it.

#include <QString>

namespace platform {

// The home trash folder.
QString homeTrashFolder();

// Moves a native file or folder into the trash. Returns 0, or an error number
// (53 missing, 70 no trash could take it); on failure the item stays where
// it was: nothing is ever deleted for good here. `trashedAs` receives the
// item's native path inside the trash.
int moveToTrash(const QString& nativePath, QString* trashedAs = nullptr);

} // namespace platform
