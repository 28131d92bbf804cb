#include "support/TempDrive.h"

#include "platform/AppError.h"
#include "platform/Drives.h"

#include <QDir>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdlib>
#include <sys/statvfs.h>

#include <gtest/gtest.h>

using namespace platform;
using testing_support::TempDrive;

namespace {

const QByteArray kLaptop =
    "22 27 0:21 / /proc rw,relatime - proc proc rw\n"
    "23 27 0:22 / /sys rw,relatime - sysfs sysfs rw\n"
    "24 27 0:6 / /dev rw,relatime - devtmpfs devtmpfs rw\n"
    "27 1 259:2 / / rw,relatime - ext4 /dev/nvme0n1p2 rw\n"
    "28 27 259:1 / /boot/efi rw,relatime - vfat /dev/nvme0n1p1 rw\n"
    "29 27 0:30 / /tmp rw - tmpfs tmpfs rw\n"
    "30 27 0:31 / /run rw - tmpfs tmpfs rw\n"
    "31 30 0:32 / /run/user/1000 rw - tmpfs tmpfs rw\n"
    "40 27 8:17 / /run/media/anna/USB\\040STICK rw,nosuid shared:80 - vfat /dev/sdb1 rw\n"
    "41 27 0:50 / /mnt/nas rw - nfs4 nas:/export/home rw\n"
    "42 27 0:51 / /srv/share rw - cifs //fileserver/docs rw\n"
    "43 27 0:52 / /mnt/ram rw - tmpfs tmpfs rw\n"
    "44 23 0:53 / /sys/fs/cgroup rw - cgroup2 cgroup2 rw\n"
    "45 27 0:54 / /media/cdrom ro - iso9660 /dev/sr0 ro\n"
    "46 27 8:33 /sub /mnt/bind rw - ext4 /dev/sdc1 rw\n"
    "garbage line\n";

} // namespace

TEST(DriveTable, MountInfoGivesLettersInMountPointOrderSysfsGivesRemovableFlagsAndLabelsAndUserLettersStay)
{
    QTemporaryDir sys, dev;   // empty at first: no removable flags, no labels
    const auto table = buildDriveTable(parseMountInfo(kLaptop), {}, {sys.path(), dev.path()});
    QStringList got;
    for (const Drive& d : table)
        got << QString(d.letter) + QLatin1Char('=') + d.mountPoint + QLatin1Char(' ') + d.fsType + QString::number(d.type);
    // /boot/efi, /tmp, /run/user, /sys/fs/cgroup stay without a letter; the
    // bind mount of a sub-tree too. /srv/share gets one as a network share.
    const auto row = [](const char* text, int type) { return QString::fromUtf8(text) + QString::number(type); };
    EXPECT_EQ(got, (QStringList{row("C=/ ext4", driveFixed), row("D=/media/cdrom iso9660", driveCdRom),
                                row("E=/mnt/nas nfs4", driveRemote), row("F=/mnt/ram tmpfs", driveRamDisk),
                                row("G=/run/media/anna/USB STICK vfat", driveRemovable), row("H=/srv/share cifs", driveRemote)}));

    // A partition whose disk says removable; a by-label link with an escaped blank.
    QDir().mkpath(sys.path() + "/block/sdb/sdb1");
    testing_support::writeFile(sys.path() + "/block/sdb/removable", "1\n");
    QDir().mkpath(sys.path() + "/dev/block");
    ASSERT_TRUE(QFile::link(sys.path() + "/block/sdb/sdb1", sys.path() + "/dev/block/8:17"));
    QDir().mkpath(dev.path() + "/disk/by-label");
    ASSERT_TRUE(QFile::link(dev.path() + "/sdb1", dev.path() + "/disk/by-label/MY\\x20STICK"));

    const QByteArray text = "1 0 254:0 / / rw - ext4 /dev/vda rw\n"
                            "2 1 8:17 / /mnt/stick rw - vfat " + QFile::encodeName(dev.path()) + "/sdb1 rw\n";
    const auto stick = buildDriveTable(parseMountInfo(text), {}, {sys.path(), dev.path()});
    ASSERT_EQ(stick.size(), 2u);
    EXPECT_EQ(stick[1].type, driveRemovable);
    EXPECT_EQ(stick[1].label, QStringLiteral("MY STICK"));

    // A user's letter is kept and skipped by the automatic ones.
    const auto mapped = buildDriveTable(parseMountInfo(text), {{QLatin1Char('D'), "/home/anna/work"}}, {sys.path(), dev.path()});
    ASSERT_EQ(mapped.size(), 3u);
    EXPECT_EQ(mapped[1].letter, QLatin1Char('D'));
    EXPECT_TRUE(mapped[1].userMapped);
    EXPECT_EQ(mapped[2].letter, QLatin1Char('E'));
    EXPECT_EQ(mapped[2].mountPoint, QStringLiteral("/mnt/stick"));

    // A disc is known by its file system or by its optical device, either one.
    const QByteArray discs = "1 0 254:0 / / rw - ext4 /dev/vda rw\n"
                             "2 1 7:0 / /mnt/image ro - udf /dev/loop0 ro\n"
                             "3 1 11:1 / /mnt/macdisc ro - hfsplus /dev/sr1 ro\n";
    QStringList discTypes;
    for (const Drive& d : buildDriveTable(parseMountInfo(discs), {}, {sys.path(), dev.path()}))
        discTypes << d.mountPoint + QLatin1Char(' ') + QString::number(d.type);
    EXPECT_EQ(discTypes, (QStringList{row("/ ", driveFixed), row("/mnt/image ", driveCdRom), row("/mnt/macdisc ", driveCdRom)}));
}

TEST(Paths, EveryNativeNameMapsToItsOwnLogicalNameAndBack)
{
    const auto mapped = [](const QByteArray& bytes) {
        QString out;
        for (const char b : bytes)
            out += QChar(char16_t(0xF000 + static_cast<unsigned char>(b)));
        return out;
    };
    // Reserved characters; bytes that are no UTF-8 (overlong, surrogate, cut
    // short); a literal character of the mapping's own range, byte by byte.
    for (const QByteArray& native : {QByteArray("\\|:*?\"<>"), QByteArray("\xfe\xff\xC0\xAF\xED\xA0\x80\xE2\x82"),
                                     QByteArray("\xEF\x80\xBA")}) {
        EXPECT_EQ(nameToLogical(QByteArrayView("a" + native)), "a" + mapped(native)) << native.toHex().constData();
        EXPECT_EQ(nameToNativeBytes("a" + mapped(native)), "a" + native);
    }
    EXPECT_EQ(nameToLogical(QStringLiteral("Ελληνικά 😀")), QStringLiteral("Ελληνικά 😀"));
    // Random byte strings: each comes back byte for byte (so no two names
    // share a logical name).
    std::srand(16);
    for (int n = 0; n < 5000; ++n) {
        QByteArray name;
        for (int k = 1 + std::rand() % 12; k > 0; --k) {
            char b = char(std::rand() % 256);
            name += b == '/' || b == 0 ? 'x' : b;
        }
        const QString logical = nameToLogical(QByteArrayView(name));
        ASSERT_EQ(nameToNativeBytes(logical), name) << name.toHex().constData();
        ASSERT_EQ(encodeNativePath(nameToNative(logical)), name);
        ASSERT_EQ(encodeNativePath(decodeNativePath(name)), name);
        ASSERT_FALSE(logical.contains(u'\\') || logical.contains(u'|'));
    }
    // A private-use character that stands for no reserved one stays as it is.
    EXPECT_EQ(nameToNative(QString(QChar(0xF041))), QString(QChar(0xF041)));
}

TEST(Paths, ToNativeAndBack)
{
    TempDrive drive;
    testing_support::mountDrives({{'C', "/"}, {'D', "/mnt/usb"}});

    const struct { const char *logical, *native; } toNatives[] = {
        {"C:", "/"}, {"C:\\", "/"}, {"c:\\home\\\\anna\\", "/home/anna"}, {"d:\\Docs\\a.txt", "/mnt/usb/Docs/a.txt"},
        {"Q:\\x", nullptr}, {"relative", nullptr}};
    for (const auto& c : toNatives)
        EXPECT_EQ(toNative(c.logical), c.native ? std::optional<QString>(c.native) : std::nullopt) << c.logical;
    const struct { const char *native, *logical; } toLogicals[] = {
        {"/", "C:"}, {"/home/anna/", "C:\\home\\anna"}, {"/mnt/usb/Docs/a.txt", "D:\\Docs\\a.txt"}, {"/mnt/usbother", "C:\\mnt\\usbother"}};
    for (const auto& c : toLogicals)
        EXPECT_EQ(toLogical(c.native), QString::fromLatin1(c.logical)) << c.native;
    const QString odd = toLogical(QStringLiteral("/mnt/usb/x|y\\z"));
    EXPECT_EQ(odd, QStringLiteral("D:\\x") + QChar(0xF07C) + "y" + QChar(0xF05C) + "z");
    EXPECT_EQ(toNative(odd), std::optional<QString>("/mnt/usb/x|y\\z"));
}

TEST(Volumes, AMountedFolderIsReadyAMissingOneIsNotAndFileSystemsHaveNamesAndCaseRules)
{
    TempDrive drive;
    EXPECT_EQ(driveType("C:\\"), driveFixed);
    EXPECT_EQ(driveType("Z:"), driveNoRoot);
    EXPECT_EQ(drives().roots(), QStringList{"C:\\"});
    EXPECT_TRUE(isDriveReady(QLatin1Char('C')));
    EXPECT_FALSE(isDriveReady(QLatin1Char('Q')));
    const auto facts = volumeFacts(QLatin1Char('c'));
    ASSERT_TRUE(facts.has_value());
    EXPECT_GT(facts->totalBytes, 0);
    EXPECT_LE(facts->availableBytes, facts->freeBytes);

    testing_support::mountDrives({{'C', drive.native("not-there")}});
    EXPECT_FALSE(isDriveReady(QLatin1Char('C')));
    EXPECT_FALSE(volumeFacts(QLatin1Char('C')).has_value());
    // The case rule of file systems.
    EXPECT_TRUE(fileSystemIsCaseSensitive("ext4"));
    EXPECT_FALSE(fileSystemIsCaseSensitive("vfat"));
    EXPECT_FALSE(fileSystemIsCaseSensitive("cifs"));
}

TEST(UserDriveMap, MappedLettersPersistAcrossRuns)
{
    QTemporaryDir config, target;
    const testing_support::EnvGuard home("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    setDrives(DriveTable({Drive{QLatin1Char('C'), "/", {}, {}, {}, driveFixed, false}}));

    EXPECT_EQ(UserDriveMap::map(QLatin1Char('m'), target.path()), errNone);
    EXPECT_EQ(UserDriveMap::map(QLatin1Char('M'), target.path()), errInvalidCall);   // taken
    EXPECT_EQ(UserDriveMap::map(QLatin1Char('N'), target.path() + "/missing"), errPathNotFound);
    EXPECT_EQ(UserDriveMap::map(QLatin1Char('C'), target.path()), errInvalidCall);

    const DriveTable next = DriveTable::system();   // a later run reads the store
    EXPECT_EQ(next.toNative("C:\\"), std::optional<QString>("/"));   // the root is always C:
    const Drive* m = next.find(QLatin1Char('M'));
    ASSERT_NE(m, nullptr);
    EXPECT_TRUE(m->userMapped);
    EXPECT_EQ(m->mountPoint, target.path());
    EXPECT_EQ(next.toNative("M:\\sub"), std::optional<QString>(target.path() + "/sub"));

    EXPECT_EQ(UserDriveMap::unmap(QLatin1Char('M')), errNone);
    EXPECT_EQ(UserDriveMap::unmap(QLatin1Char('M')), errInvalidCall);
    EXPECT_EQ(DriveTable::system().find(QLatin1Char('M')), nullptr);

    // A store written by hand may end a folder with "/": its root is the
    // folder all the same.
    // "//" is the root written twice.
    testing_support::writeFile(UserDriveMap::storeFile(), "P=" + QFile::encodeName(target.path()) + "/\nQ=//\n");
    const DriveTable byHand = DriveTable::system();
    EXPECT_EQ(byHand.toNative("P:\\"), std::optional<QString>(target.path()));
    EXPECT_EQ(byHand.toNative("P:\\sub"), std::optional<QString>(target.path() + "/sub"));
    EXPECT_EQ(byHand.toNative("Q:\\"), std::optional<QString>("/"));
    EXPECT_EQ(byHand.toNative("Q:\\sub\\f"), std::optional<QString>("/sub/f"));

    // On the system's table a letter is there as soon as it is mapped and
    // gone as soon as it is not; a table set by hand is left as it was.
    reloadDrives();
    ASSERT_TRUE(drivesAreSystem());
    EXPECT_EQ(UserDriveMap::map(QLatin1Char('y'), target.path()), errNone);
    EXPECT_EQ(toNative("Y:\\sub"), std::optional<QString>(target.path() + "/sub"));
    EXPECT_EQ(UserDriveMap::unmap(QLatin1Char('Y')), errNone);
    EXPECT_EQ(drives().find(QLatin1Char('Y')), nullptr);
    setDrives(DriveTable({Drive{QLatin1Char('C'), "/", {}, {}, {}, driveFixed, false}}));
    EXPECT_EQ(UserDriveMap::map(QLatin1Char('Y'), target.path()), errNone);
    EXPECT_EQ(drives().find(QLatin1Char('Y')), nullptr);
    EXPECT_EQ(UserDriveMap::unmap(QLatin1Char('Y')), errNone);
    EXPECT_FALSE(drivesAreSystem());

    setDrives(DriveTable());
}

// A label is the by-label link's name with each "\xNN" made the character
// it stands for, at the start, in the middle and at the very end; anything
// else that looks like one stays as it is.
TEST(DriveTable, LabelsUndoEveryEscapeOfTheLinkNameWhereverItStands)
{
    QTemporaryDir sys, dev;
    QDir().mkpath(dev.path() + "/disk/by-label");
    const struct { const char* device; const char* link; const char* label; } rows[] = {
        {"sdb1", "DISK\\x21", "DISK!"},
        {"sdc1", "\\x41\\x42C", "ABC"},
        {"sdd1", "A\\x2", "A\\x2"},
        {"sde1", "\\xZZ\\x", "\\xZZ\\x"},
        {"sdf1", "50\\x25\\x20off", "50% off"},
    };
    QByteArray text = "1 0 254:0 / / rw - ext4 /dev/vda rw\n";
    int id = 2;
    for (const auto& row : rows) {
        const QString device = dev.path() + "/" + row.device;
        testing_support::writeFile(device, "");
        ASSERT_TRUE(QFile::link(device, dev.path() + "/disk/by-label/" + row.link));
        text += QByteArray::number(id) + " 1 8:" + QByteArray::number(id) + " / /mnt/" + row.device + " rw - vfat "
            + QFile::encodeName(device) + " rw\n";
        ++id;
    }
    text += "9 1 0:60 / /mnt/share rw - cifs //server/sdb1 rw\n";   // no label for a network source
    const auto table = buildDriveTable(parseMountInfo(text), {}, {sys.path(), dev.path()});
    ASSERT_EQ(table.size(), std::size(rows) + 2);
    for (const auto& row : rows) {
        const auto it = std::find_if(table.begin(), table.end(),
                                     [&](const Drive& d) { return d.mountPoint == "/mnt/" + QLatin1String(row.device); });
        ASSERT_NE(it, table.end()) << row.device;
        EXPECT_EQ(it->label, QString::fromLatin1(row.label)) << row.device;
    }
    EXPECT_EQ(table.back().mountPoint, "/mnt/share");
    EXPECT_EQ(table.back().label, QString());
}

// Each field of a mount line where it stands: the optional fields before
// the "-" may be many or none, and a line short of the type and source
// after it is no mount.
TEST(MountInfo, EachFieldIsReadWhereItStandsAndShortLinesAreNoMounts)
{
    const QByteArray text =
        "1 0 8:1 / /a rw - ext4 /dev/sda1 rw\n"
        "2 0 8:2 /sub /b\\040c rw shared:1 master:2 - xfs /dev/sd\\134b rw,x\n"
        "3 0 259:17 / /c rw - vfat /dev/sdc1\n"
        "4 0 8:4 / /d - ext4 /dev/sdd1 rw\n"
        "5 0 8:5 / /e rw ext4 /dev/sde1 rw x y\n"
        "6 0 8:6 / /f rw - ext4\n"
        "7 0 8:7 / /g rw -\n"
        "8 0 8 / /h rw - ext4 /dev/sdh rw\n"
        "9 0 8:9 / /end\\040 rw - ext4 /dev/\\04 rw\n"
        "\n";
    const std::vector<MountEntry> got = parseMountInfo(text);
    QStringList rows;
    for (const MountEntry& m : got)
        rows << QStringLiteral("%1:%2 %3 %4 %5 %6").arg(m.major).arg(m.minor).arg(m.root, m.mountPoint, m.fsType, m.source);
    EXPECT_EQ(rows, (QStringList{"8:1 / /a ext4 /dev/sda1", "8:2 /sub /b c xfs /dev/sd\\b",
                                 "259:17 / /c vfat /dev/sdc1", "0:0 / /h ext4 /dev/sdh",
                                 "8:9 / /end  ext4 /dev/\\04"}));
}

// What a volume says of itself: its label (at most 255 characters), its
// file system's name and case rule, the sizes and serial of the file system
// below it, and a network share's name in backslash form.
TEST(Volumes, EachVolumeSaysItsNameFileSystemSizesAndShare)
{
    QTemporaryDir dir;
    const QString m = dir.path();
    struct statvfs sv {};
    ASSERT_EQ(::statvfs(QFile::encodeName(m).constData(), &sv), 0);
    const struct { char letter; const char* device; const char* fsType; int type; const char* fsName; bool caseSensitive;
                   const char* share; } rows[] = {
        {'D', "//server/docs/sub", "cifs", driveRemote, "CIFS", false, "\\\\server\\docs\\sub"},
        {'E', "nas:/export/home", "nfs4", driveRemote, "NFS4", true, "\\\\nas\\export\\home"},
        {'F', "plainname", "9p", driveRemote, "9P", true, "plainname"},
        {'G', ":/odd", "nfs", driveRemote, "NFS", true, ":/odd"},
        {'H', "//server/docs", "smb3", driveFixed, "CIFS", false, ""},
        {'I', "/dev/sdb1", "vfat", driveRemovable, "FAT32", false, ""},
        {'J', "/dev/sdc1", "msdos", driveRemovable, "FAT", false, ""},
        {'K', "/dev/sdd1", "ntfs3", driveFixed, "NTFS", false, ""},
        {'L', "/dev/sde1", "fuseblk", driveFixed, "NTFS", false, ""},
        {'M', "/dev/sdf1", "exfat", driveRemovable, "exFAT", false, ""},
        {'N', "/dev/sr0", "iso9660", driveCdRom, "CDFS", false, ""},
        {'O', "/dev/sr1", "udf", driveCdRom, "UDF", true, ""},
        {'P', "/dev/sdg1", "btrfs", driveFixed, "BTRFS", true, ""},
        {'Q', "//srv/x", "smbfs", driveRemote, "CIFS", false, "\\\\srv\\x"},
        {'R', "n:/x", "nfs", driveRemote, "NFS", true, "\\\\n\\x"},
    };
    std::vector<Drive> table;
    for (const auto& r : rows)
        table.push_back({QLatin1Char(r.letter), m, r.device, r.fsType, QString(300, u'L'), r.type, false});
    setDrives(DriveTable(table));
    for (const auto& r : rows) {
        const auto v = volumeFacts(QLatin1Char(r.letter));
        ASSERT_TRUE(v.has_value()) << r.letter;
        EXPECT_EQ(v->volumeName, QString(255, u'L')) << r.letter;
        EXPECT_EQ(v->fileSystemName, QString::fromLatin1(r.fsName)) << r.letter;
        EXPECT_EQ(v->caseSensitive, r.caseSensitive) << r.letter;
        EXPECT_EQ(v->shareName, QString::fromLatin1(r.share)) << r.letter;
        EXPECT_EQ(v->totalBytes, qint64(sv.f_blocks * sv.f_frsize)) << r.letter;
        EXPECT_EQ(v->serial, quint32(sv.f_fsid & 0xFFFFFFFFu)) << r.letter;
        EXPECT_EQ(v->maxComponentLength, sv.f_namemax >= 255 ? 255 : int(sv.f_namemax)) << r.letter;
    }
    setDrives(DriveTable());
}

// UTF-8 is taken exactly as far as it goes: the shortest form of every code
// point up to U+10FFFF, never a surrogate; any other byte stands for itself.
TEST(Paths, UtfEightIsDecodedToItsEdgesAndEveryOtherByteKeptAsItself)
{
    const auto escaped = [](const QByteArray& bytes) {
        QString out;
        for (const char b : bytes)
            out += QChar(char16_t(static_cast<unsigned char>(b) < 0x80 ? b : 0xDC00 + static_cast<unsigned char>(b)));
        return out;
    };
    const auto cp = [](char32_t c) { return QString::fromUcs4(&c, 1); };
    const struct { QByteArray bytes; QString text; } rows[] = {
        {"\xC2\x80", cp(0x80)},           {"\xC1\xBF", escaped("\xC1\xBF")},
        {"\xDF\xBF", cp(0x7FF)},          {"\xE0\xA0\x80", cp(0x800)},
        {"\xE0\x9F\xBF", escaped("\xE0\x9F\xBF")},
        {"\xED\x9F\xBF", cp(0xD7FF)},     {"\xED\xA0\x80", escaped("\xED\xA0\x80")},
        {"\xEE\x80\x80", cp(0xE000)},     {"\xEF\xBF\xBF", cp(0xFFFF)},
        {"\xF0\x90\x80\x80", cp(0x10000)}, {"\xF0\x8F\xBF\xBF", escaped("\xF0\x8F\xBF\xBF")},
        {"\xF4\x8F\xBF\xBF", cp(0x10FFFF)}, {"\xF4\x90\x80\x80", escaped("\xF4\x90\x80\x80")},
        {"\xF5\x80\x80\x80", escaped("\xF5\x80\x80\x80")},
        {"\xC2" "A", escaped("\xC2") + "A"}, {"\xE2\x82", escaped("\xE2\x82")},
        {"\xE2\x82" "A", escaped("\xE2\x82") + "A"}, {"\xF0\x9F\x98", escaped("\xF0\x9F\x98")},
        {"\x80", escaped("\x80")}, {"\xFF", escaped("\xFF")},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(decodeNativePath(row.bytes), row.text) << row.bytes.toHex().constData();
        EXPECT_EQ(encodeNativePath(row.text), row.bytes) << row.bytes.toHex().constData();
    }
    // Only U+DC80..U+DCFF stand for bytes; any other lone surrogate is no
    // character and is written as the replacement character.
    const QByteArray replacement = "\xEF\xBF\xBD";
    EXPECT_EQ(encodeNativePath(QString(QChar(0xDC7F))), replacement);
    EXPECT_EQ(encodeNativePath(QString(QChar(0xDD00))), replacement);
    EXPECT_EQ(encodeNativePath(QString(QChar(0xDFFF))), replacement);
    EXPECT_EQ(nameToNativeBytes(QString(QChar(0xDFFF))), replacement);
    EXPECT_EQ(encodeNativePath(QString(QChar(0xD800)) + "a"), replacement + "a");
    EXPECT_EQ(encodeNativePath(QString(QChar(0xDC80)) + QChar(0xDCFF)), "\x80\xFF");
    EXPECT_EQ(nameToNativeBytes(QString(QChar(0xDC7F))), replacement);
    EXPECT_EQ(nameToNativeBytes(QString(QChar(0xD800)) + "a"), replacement + "a");
    EXPECT_EQ(nameToNativeBytes(QString(QChar(0xDC80))), "\x80");
    // In a logical name the mapped range stands for bytes from 0x80 and for
    // the reserved characters only.
    EXPECT_EQ(nameToNativeBytes(QString(QChar(0xF07F))), "\xEF\x81\xBF");
    EXPECT_EQ(nameToNativeBytes(QString(QChar(0xF080))), "\x80");
    EXPECT_EQ(nameToNativeBytes(QString(QChar(0xF0FF))), "\xFF");
    EXPECT_EQ(nameToNativeBytes(QString(QChar(0xF05C))), "\\");
    EXPECT_EQ(nameToNativeBytes(QString(QChar(0xF100))), "\xEF\x84\x80");
}

// Letters run from D to Z past the user's own, in mount point order, and
// end there; the last mount on a point is the one that shows; a user's
// letter outside D to Z is no drive, and a mapped folder has the type of
// the deepest mount that holds it.
TEST(DriveTable, LettersRunFromDToZPastTheUsersOwnAndTheLastMountOnAPointShows)
{
    QTemporaryDir sys, dev;
    QByteArray text = "1 0 8:1 / / rw - ext4 /dev/sda1 rw\n";
    for (int k = 0; k < 30; ++k)
        text += QByteArray::number(10 + k) + " 1 8:" + QByteArray::number(k) + " / /mnt/m" + QByteArray::number(k).rightJustified(2, '0')
            + " rw - ext4 /dev/sd" + QByteArray::number(k) + " rw\n";
    // A second mount on /mnt/m01 that gets no letter hides the first; one on
    // /mnt/m02 of a whole file system replaces the first.
    text += "50 1 8:50 /sub /mnt/m01 rw - ext4 /dev/sdx rw\n";
    text += "51 1 0:51 / /mnt/m02 rw - nfs4 nas:/export rw\n";
    const std::vector<UserMapping> users{{QLatin1Char('e'), "/mnt/m03/deep/folder"}, {QLatin1Char('B'), "/srv"},
                                         {QLatin1Char('G'), "/home/anna"}, {QLatin1Char('Z'), "/home/zeta"}};
    const auto table = buildDriveTable(parseMountInfo(text), users, {sys.path(), dev.path()});
    QStringList got;
    for (const Drive& d : table)
        got << QString(d.letter) + '=' + d.mountPoint + (d.userMapped ? "*" : "") + ' ' + d.fsType;
    QStringList expected{"C=/ ext4", "D=/mnt/m00 ext4", "E=/mnt/m03/deep/folder* ext4", "F=/mnt/m02 nfs4",
                         "G=/home/anna* ext4"};
    char letter = 'H';
    for (int k = 3; letter < 'Z'; ++k, ++letter)
        expected << QStringLiteral("%1=/mnt/m%2 ext4").arg(QChar(letter)).arg(k, 2, 10, QLatin1Char('0'));
    expected << "Z=/home/zeta* ext4";
    EXPECT_EQ(got, expected);
    const auto e = std::find_if(table.begin(), table.end(), [](const Drive& d) { return d.letter == 'E'; });
    ASSERT_NE(e, table.end());
    EXPECT_EQ(e->device, "/dev/sd3");
    const auto g = std::find_if(table.begin(), table.end(), [](const Drive& d) { return d.letter == 'G'; });
    ASSERT_NE(g, table.end());
    EXPECT_EQ(g->device, "/dev/sda1");
    EXPECT_EQ(g->type, driveFixed);

    // A folder mapped on a stick is removable like the stick; C: stays the root's.
    const QByteArray stick = "1 0 8:1 / / rw - ext4 /dev/sda1 rw\n2 1 8:17 / /media/usb rw - vfat /dev/sdb1 rw\n";
    const auto mapped = buildDriveTable(parseMountInfo(stick), {{QLatin1Char('K'), "/media/usb/docs"}, {QLatin1Char('C'), "/c"}},
                                        {sys.path(), dev.path()});
    ASSERT_EQ(mapped.size(), 3u);
    EXPECT_EQ(mapped[0].mountPoint, "/");
    EXPECT_EQ(mapped[1].letter, QLatin1Char('D'));
    EXPECT_EQ(mapped[1].type, driveRemovable);
    EXPECT_EQ(mapped[2].letter, QLatin1Char('K'));
    EXPECT_EQ(mapped[2].type, driveRemovable);
    EXPECT_EQ(mapped[2].fsType, "vfat");
}

// The deepest drive that holds a native path names it, whatever the
// table's order; a user's own letter never does; either slash separates a
// logical path; a mount point given with a trailing "/" is the same folder.
TEST(Paths, TheDeepestDriveNamesAPathAndEitherSlashSeparates)
{
    for (const bool reversed : {false, true}) {
        std::vector<Drive> table{{QLatin1Char('C'), "/", {}, {}, {}, driveFixed, false},
                                 {QLatin1Char('D'), "/mnt/usb", {}, {}, {}, driveRemovable, false},
                                 {QLatin1Char('E'), "/mnt/usb/inner", {}, {}, {}, driveRemovable, false},
                                 {QLatin1Char('F'), "/mnt/usb/inner/deeper", {}, {}, {}, driveFixed, true}};
        if (reversed)
            std::reverse(table.begin(), table.end());
        setDrives(DriveTable(table));
        EXPECT_EQ(toLogical("/mnt/usb/inner/deeper/x"), "E:\\deeper\\x") << reversed;
        EXPECT_EQ(toLogical("/mnt/usb/innerx"), "D:\\innerx") << reversed;
        EXPECT_EQ(toLogical("/mnt/usb"), "D:") << reversed;
        EXPECT_EQ(toLogical("/mnt"), "C:\\mnt") << reversed;
    }
    setDrives(DriveTable({Drive{QLatin1Char('D'), "/mnt/usb/", {}, {}, {}, driveRemovable, false}}));
    EXPECT_EQ(toLogical("relative/x"), QString());
    EXPECT_EQ(toLogical("/elsewhere"), QString());
    EXPECT_EQ(toNative("D:"), std::optional<QString>("/mnt/usb"));
    EXPECT_EQ(toNative("d:/a//b/"), std::optional<QString>("/mnt/usb/a/b"));
    EXPECT_EQ(toNative("D:a\\b"), std::optional<QString>("/mnt/usb/a/b"));
    EXPECT_EQ(toNative("D"), std::nullopt);
    EXPECT_EQ(toNative("D;\\a"), std::nullopt);
    EXPECT_EQ(drives().roots(), QStringList{"D:\\"});
    EXPECT_EQ(driveType("d:\\"), driveRemovable);
    EXPECT_EQ(driveType(""), driveNoRoot);
    setDrives(DriveTable());
}

// Callers get the drive-type query's own numbers, one for each kind.
TEST(Volumes, EachKindOfDriveAnswersTheQuerysOwnNumber)
{
    std::vector<Drive> table;
    const std::pair<char, int> kinds[] = {{'C', 3}, {'D', 2}, {'E', 4}, {'F', 5}, {'G', 6}, {'H', 0}};
    const int types[] = {driveFixed, driveRemovable, driveRemote, driveCdRom, driveRamDisk, driveUnknown};
    for (std::size_t i = 0; i < std::size(kinds); ++i)
        table.push_back({QLatin1Char(kinds[i].first), "/", {}, {}, {}, types[i], false});
    setDrives(DriveTable(table));
    for (const auto& [letter, number] : kinds)
        EXPECT_EQ(driveType(QString(QLatin1Char(letter)) + ":\\"), number) << letter;
    EXPECT_EQ(driveType("Q:\\"), 1);   // no such root
    setDrives(DriveTable());
}
