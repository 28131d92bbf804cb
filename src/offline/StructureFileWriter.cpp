#include "offline/StructureFileWriter.h"

#include "shared/StructureFile.h"
#include "ui/ListBox.h"

namespace offline {

namespace {

constexpr qsizetype kFlushAt = 1 << 20;

bool writable(const QString& text)
{
    if (text.contains(u'\r') || text.contains(u'\n'))
        return false;
    // Three bytes a character at most: the exact count only for long texts.
    return text.size() * 3 <= basGlobal::kStructureLineLimit || text.toUtf8().size() <= basGlobal::kStructureLineLimit;
}

} // namespace

QString FirstUnwritableText(const StructureFileContent& content)
{
    if (!writable(content.root))
        return content.root;
    for (const QString& name : content.firstLevelFolders)
        if (!writable(name))
            return name;
    const ui::ListBox& paths = *content.lists[7];
    for (int k = 0; k < paths.listCount(); ++k)
        if (!writable(paths.list(k)))
            return paths.list(k);
    return QString();
}

bool FitsOneStructureFile(const StructureFileContent& content)
{
    const qint64 total = 4 + qint64(content.firstLevelFolders.size()) + 8 * qint64(content.lists[7]->listCount());
    return total <= basGlobal::kStructureCountMax;
}

int WriteStructureFile(const QString& nativeTarget, platform::AtomicFile& file, const StructureFileContent& content,
                       const std::function<bool()>& afterLineGroup, bool& stopped)
{
    stopped = false;
    if (const int e = file.open(nativeTarget))
        return e;
    QByteArray buffer;
    buffer.reserve(kFlushAt + 4096);
    auto line = [&](const QString& text) {
        buffer += text.toUtf8();
        buffer += "\r\n";
    };
    auto flush = [&]() -> int {
        if (buffer.size() < kFlushAt)
            return 0;
        const int e = file.write(buffer);
        buffer.clear();
        return e;
    };
    auto fail = [&](int e) {
        file.discard();
        return e;
    };
    const int folders = int(content.firstLevelFolders.size());
    const int records = content.lists[7]->listCount();
    line(QString::number(4 + qint64(folders) + 8 * qint64(records)));
    line(content.root);
    line(QString::number(folders));
    for (const QString& name : content.firstLevelFolders) {
        line(name);
        if (const int e = flush()) return fail(e);
        if (!afterLineGroup()) {
            stopped = true;
            file.discard();
            return 0;
        }
    }
    line(QString::number(records));
    for (int k = 0; k < records; ++k) {
        for (const ui::ListBox* list : content.lists)
            line(list->list(k));
        if (const int e = flush()) return fail(e);
        if (!afterLineGroup()) {
            stopped = true;
            file.discard();
            return 0;
        }
    }
    if (const int e = file.write(buffer))
        return fail(e);
    return 0;
}

} // namespace offline
