#include "shared/basTreeViewManager.h"

#include "platform/Drives.h"
#include "platform/FileSystem.h"
#include "shared/FileFacts.h"
#include "shared/Messages.h"
#include "shared/PathText.h"
#include "shared/TrappedCall.h"
#include "ui/Desktop.h"
#include "ui/Form.h"
#include "ui/TreeView.h"

#include <QStringList>

namespace basGlobal {

namespace {

// A node's tag: one flag character (children loaded or not), then the path.
constexpr QChar kLoaded = u'+';
constexpr QChar kNotLoaded = u'-';

QString makeTag(const QString& path, bool loaded) { return (loaded ? kLoaded : kNotLoaded) + path; }

void markLoaded(ui::TreeNode& node) { node.tag = makeTag(NodePath(node), true); }

bool caseSensitive() { return globals().VolumeIsCaseSensitive; }

struct DriveDetails {
    QString label, shareName, fileSystem;
};

// The texts of a drive node. The file-fact routines read the volume through
// the platform's bounded statvfs, so a network mount that hangs never holds
// the window: it simply shows as not ready.
DriveDetails driveDetails(const QString& driveText)
{
    DriveDetails d;
    QString fileSystem, volume, share;
    Long serial = 0;
    qint64 total = 0, available = 0, free = 0;
    double availablePercent = 0, freePercent = 0;
    if (GetDriveDetails(driveText, fileSystem, volume, serial, share, total, available, availablePercent, free,
                        freePercent) == 0) {
        d.label = volume;
        d.shareName = share;
        d.fileSystem = fileSystem;
    }
    return d;
}

// "X:" with the letter upper-cased, followed by the rest unchanged.
QString upperDrive(const QString& path)
{
    if (path.size() >= 2 && path[1] == u':')
        return path[0].toUpper() + path.mid(1);
    return path;
}

void selectNode(ui::TreeView& tree, ui::TreeNode* node) { tree.setSelectedItem(node); }

} // namespace

QString NodePath(const ui::TreeNode& node) { return node.tag.mid(1); }

bool NodeChildrenLoaded(const ui::TreeNode& node) { return node.tag.startsWith(kLoaded); }

QString TreeKeyOfPath(const QString& path)
{
    return ApplyCaseSensitivity(AddTrailingSeparator(upperDrive(path)), caseSensitive());
}

Long FillDriveNodes(ui::TreeView& tree)
{
    Long error = 0;
    const Long trapped = TrappedCall([&] {
        // The drive list as it stands now: a refresh sees newly mounted volumes.
        if (platform::drivesAreSystem())
            platform::reloadDrives();
        const std::vector<platform::Drive> drives = platform::drives().drives();
        for (const platform::Drive& drive : drives) {
            const QChar letter = drive.letter.toUpper();
            const QString driveText = QString(letter) + u':';
            const QString key = TreeKeyOfPath(driveText);
            QString typeName;
            GetDriveTypeName(driveText, typeName, [](const QString& root) { return platform::driveType(root); });
            DriveDetails details;
            const bool ready = IsDriveReady(driveText);
            if (ready)
                details = driveDetails(driveText);
            // Only empty parts are left out; a label's own commas stay as they are.
            QStringList parts;
            for (const QString& part : {details.label, details.shareName, details.fileSystem, typeName})
                if (!part.isEmpty())
                    parts << part;
            ui::TreeNode* node = tree.add(QString(), ui::TreeView::tvwLast, key,
                                          driveText + QStringLiteral(" [") + parts.join(u',') + u']');
            node->tag = makeTag(driveText, false);
            if (key == TreeKeyOfPath(QStringLiteral("c:")))
                selectNode(tree, node);
            // A drive that does not answer is not searched: its folders come
            // with a refresh once it is ready.
            if (ready) {
                error = AddSubFolderNodes(tree, key);
                if (error != 0)
                    return;
            }
            node->setSorted(true);
        }
    });
    return trapped != 0 ? trapped : error;
}

Long AddSubFolderNodes(ui::TreeView& tree, const QString& parentKey)
{
    return TrappedCall([&] {
        ui::TreeNode* parent = tree.node(ApplyCaseSensitivity(AddTrailingSeparator(parentKey), caseSensitive()));
        if (NodeChildrenLoaded(*parent))
            return;
        const QString parentPath = NodePath(*parent);
        std::vector<platform::DirEntry> entries;
        if (platform::listFolder(parentPath, platform::ListWhat::Folders, entries) != 0)
            return;   // a folder that cannot be searched simply has no children
        for (const platform::DirEntry& e : entries) {
            if (!e.facts.isFolder || e.facts.isLink)
                continue;
            const QString childPath = AddTrailingSeparator(parentPath) + e.name;
            const QString key = TreeKeyOfPath(childPath);
            // Two names that differ only in case fold to one key when the
            // case rule upper-cases: the first keeps the key.
            if (tree.findNode(key))
                continue;
            ui::TreeNode* child = tree.add(parent->key(), ui::TreeView::tvwChild, key, e.name);
            child->tag = makeTag(childPath, false);
            child->setSorted(true);
        }
        markLoaded(*parent);
    });
}

Long ExpandFolderNode(ui::TreeView& tree, ui::TreeNode* node)
{
    Long error = 0;
    const Long trapped = TrappedCall([&] {
        if (!node)
            return;
        // A node whose own search failed before gets another chance.
        if (!NodeChildrenLoaded(*node)) {
            error = AddSubFolderNodes(tree, node->key());
            if (error != 0)
                return;
        }
        if (node->children() == 0)
            return;
        node->ensureVisible();
        for (ui::TreeNode* child = node->child(); child; child = child->next()) {
            error = AddSubFolderNodes(tree, child->key());
            if (error != 0)
                return;
        }
    });
    return trapped != 0 ? trapped : error;
}

bool SelectPathInTreeView(const QString& path, ui::TreeView& tree, Long& outError)
{
    outError = 0;
    bool found = false;
    const Long trapped = TrappedCall([&] {
        const QString key = TreeKeyOfPath(path);
        if (tree.count() == 0) {
            outError = FillDriveNodes(tree);
            if (outError != 0)
                return;
        }
        ui::TreeNode* deepest = nullptr;
        for (qsizetype pos = key.indexOf(u'\\'); pos >= 0; pos = key.indexOf(u'\\', pos + 1)) {
            ui::TreeNode* node = tree.findNode(key.left(pos + 1));
            if (!node) {
                outError = platform::errElementNotFound;
                if (deepest)
                    deepest->ensureVisible();
                return;
            }
            selectNode(tree, node);
            deepest = node;
            outError = ExpandFolderNode(tree, node);
            if (outError != 0)
                return;
        }
        if (!deepest) {   // nothing to select: an empty path or a tree without drives
            outError = platform::errElementNotFound;
            return;
        }
        deepest->ensureVisible();
        found = true;
    });
    if (trapped != 0) {
        outError = trapped;
        return false;
    }
    return found;
}

QString GetSelectedNodePath(ui::TreeView& tree, Long& outError)
{
    outError = 0;
    QString result;
    outError = TrappedCall([&] {
        if (tree.count() == 0)
            return;
        if (const ui::TreeNode* selected = tree.selectedItem())
            result = RemoveTrailingSeparator(NodePath(*selected));
        else
            result = QStringLiteral("c:");
    });
    return outError == 0 ? result : QString();
}

Long EnsureNodeVisible(ui::TreeView& /*tree*/, ui::TreeNode* node)
{
    return TrappedCall([&] {
        if (node)
            node->ensureVisible();
    });
}

Long ReloadTreeView(ui::TreeView& tree, const QString& path)
{
    Long error = 0;
    const Long trapped = TrappedCall([&] {
        QString target = AddTrailingSeparator(GetSelectedNodePath(tree, error));
        if (error != 0)
            return;
        if (tree.count() > 0)
            tree.clear();
        if (!path.isEmpty())
            target = TreeKeyOfPath(path);
        error = FillDriveNodes(tree);
        if (error != 0)
            return;
        SelectPathInTreeView(target, tree, error);
    });
    return trapped != 0 ? trapped : error;
}

QString RestorePath(ui::Form* window, const QString& path, ui::TreeView& tree, Long& outError)
{
    const bool greek = globals().LanguageIsGreek;
    outError = 0;
    Long error = 0;
    if (SelectPathInTreeView(path, tree, error))
        return path;
    if (error != platform::errElementNotFound) {   // a failure, not a path that exists in part
        outError = error;
        return GetSelectedNodePath(tree, error);
    }
    QString partial = GetSelectedNodePath(tree, error);
    SelectPathInTreeView(partial, tree, error);

    const QString title = greek ? QStringLiteral("Επαναφορά διαδρομής") : QStringLiteral("Restore path");
    const QString question = greek
        ? QStringLiteral("Προσπαθείτε να επαναφέρετε την διαδρομή «") + path
              + QStringLiteral("», η οποία όμως δεν εντοπίσθηκε στον υπολογιστή σας. Η διαδρομή η οποία έγινε "
                               "δυνατόν να επαναφερθεί μέχρι τώρα, είναι η «")
              + partial
              + QStringLiteral("».\r\n\r\nΕάν η πλήρης διαδρομή αφορά αφαιρούμενο δίσκο ή δίσκο δικτύου, κάντε ΤΩΡΑ "
                               "τις απαραίτητες ενέργειες και πατήστε το «Επανάληψη» ώστε να επαναφερθεί η "
                               "πλήρης διαδρομή, ή πατήστε το «Άκυρο» ώστε να παραμείνει τρέχουσα η διαδρομή η "
                               "οποία έχει επαναφερθεί μέχρι τώρα.")
        : QStringLiteral("You are trying to restore path '") + path
              + QStringLiteral("', which could not be located on your computer. The path that has been restored "
                               "so far, is '")
              + partial
              + QStringLiteral("'.\r\n\r\nIf the full path refers to a removable or network disk, make the "
                               "necessary arrangements NOW and click 'Retry' to restore the full path, or click "
                               "'Cancel' to keep as current, the path that has been restored so far.");
    if (ShowMessageBox(window, title, question, ui::vbInformationRetryCancelDefCancel) != ui::vbRetry)
        return partial;

    if (ReloadTreeView(tree, path) == 0)
        return path;
    partial = GetSelectedNodePath(tree, error);
    SelectPathInTreeView(partial, tree, error);
    const QString notice = greek
        ? QStringLiteral("Τελικώς, η διαδρομή «") + path
              + QStringLiteral("» δεν έγινε δυνατόν να επαναφερθεί. Η διαδρομή η οποία έγινε δυνατόν να "
                               "επαναφερθεί, είναι η «")
              + partial + QStringLiteral("».")
        : QStringLiteral("Path '") + path
              + QStringLiteral("', could not be restored after all. The path that has been restored, is '")
              + partial + QStringLiteral("'.");
    ShowMessageBox(window, title, notice, ui::vbInformationOK);
    return partial;
}

QString TakeNextNullTerminatedPart(QString& text)
{
    const qsizetype nul = text.indexOf(QChar(u'\0'));
    if (nul < 0) {
        QString all = text;
        text.clear();
        return all;
    }
    const QString part = text.left(nul);
    text.remove(0, nul + 1);
    return part;
}

QString TrimAtNull(const QString& text)
{
    const qsizetype nul = text.indexOf(QChar(u'\0'));
    return nul < 0 ? text : text.left(nul);
}

} // namespace basGlobal
