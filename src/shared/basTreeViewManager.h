#pragma once
// The drive and folder tree of each structure: one root node per logical
// drive, one node per folder, folders loaded one level ahead of what the user
// has expanded, a path given as text selected in the tree, the selected node
// read back as a path, and a stored path restored with a Retry/Cancel
// question when only part of it exists.
//
// Keys ("C:\DOCS\") are for look-up only: they pass through the case rule.
// Each node carries its real logical path (as the file system spells it) and
// whether its children were loaded, in its tag; NodePath and
// NodeChildrenLoaded read them. Nothing is ever parsed out of a node's text.
//
// The routines keep no state of their own. All but RestorePath,
// TakeNextNullTerminatedPart and TrimAtNull trap their failures and hand the
// error number back (0 = success).
#include "shared/basGlobal.h"

#include <QString>

namespace ui {
class Form;
class TreeView;
class TreeNode;
}

namespace basGlobal {

// How long the readiness and volume details of one drive may take; a network
// mount that does not answer within it shows as not ready.
inline constexpr int kDriveQueryTimeoutMs = 1500;

// The real logical path of a node ("C:" for a drive, "C:\Docs\Old" for a folder).
QString NodePath(const ui::TreeNode& node);
// Whether the node's sub-folders were loaded.
bool NodeChildrenLoaded(const ui::TreeNode& node);

// The tree key of a path: drive letter upper-cased, a trailing "\", then the
// case rule.
QString TreeKeyOfPath(const QString& path);

// Adds one node per drive, in the drive table's order, each with its first
// level of folders; selects drive C when there is one.
Long FillDriveNodes(ui::TreeView& tree);
// Adds the sub-folders of the node with `parentKey` as its children (once;
// a second call does nothing). A folder that cannot be read gets no children.
Long AddSubFolderNodes(ui::TreeView& tree, const QString& parentKey);
// Loads the level below each child of the node.
Long ExpandFolderNode(ui::TreeView& tree, ui::TreeNode* node);
// Selects `path` node by node. True when the whole path was found; otherwise
// the deepest node found stays selected and outError is 35601.
bool SelectPathInTreeView(const QString& path, ui::TreeView& tree, Long& outError);
// The selected node's path without a trailing "\" ("" for an empty tree,
// "c:" when nothing is selected).
QString GetSelectedNodePath(ui::TreeView& tree, Long& outError);
Long EnsureNodeVisible(ui::TreeView& tree, ui::TreeNode* node);
// Empties the tree, reads the drives again and selects `path` (or, when
// `path` is empty, the folder that was selected before).
Long ReloadTreeView(ui::TreeView& tree, const QString& path = QString());
// Selects `path`; when only part of it exists, asks the user to Retry (one
// reload) or Cancel. Returns the path selected at the end.
QString RestorePath(ui::Form* window, const QString& path, ui::TreeView& tree, Long& outError);

// The text before the first NUL; `text` loses that part and the NUL.
QString TakeNextNullTerminatedPart(QString& text);
// The text before the first NUL, or all of it.
QString TrimAtNull(const QString& text);

} // namespace basGlobal
