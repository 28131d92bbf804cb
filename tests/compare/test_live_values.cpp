// The values of files read from disk, followed through a whole comparison
// of real folders to what the finished window shows: the differences filter
// on dates, the attribute filter on each flag, the attributes an explanation
// names, and the grid of a case-blind volume.
#include "compare_fixture.h"

#include "results/frmInterpretation.h"

#include <sys/xattr.h>

using namespace compare_test;

namespace {

constexpr ui::Color kGrey = 0xE0E0E0, kWhite = 0xFFFFFF, kGreen = 0x00FF00, kTint0 = 0xC0E0FF, kTint1 = 0xFFFFC0;

class LiveValues : public CompareTest {
protected:
    void SetUp() override
    {
        CompareTest::SetUp();
        g().CurrentPath = {QStringLiteral("C:\\Left"), QStringLiteral("C:\\Right")};
    }
    const QDateTime when{QDate(2004, 6, 7), QTime(8, 9, 10)};
    // Runs the comparison and keeps every cell of the finished grid.
    void compare(const std::function<void()>& inWindow = {})
    {
        grid.clear();
        desk.allowMsgBox(kResultsTitle, QStringLiteral("The structures you compared, differ."), ui::vbInformationOK, ui::vbOK);
        openWindow([&] {
            ui::Input::click(*win.cmdCompare);
            ASSERT_TRUE(win.isShown());
            for (int r = 1; r < win.grdResults->rows(); ++r) {
                QStringList row;
                for (int col = 0; col < 9; ++col) row << win.grdResults->textMatrix(r, col);
                grid << row;
            }
            if (inWindow) inWindow();
            ui::Input::click(*win.cmdCancel);
        });
    }
    // The names of one side's column, blanks left out.
    QStringList names(int side) const
    {
        QStringList out;
        for (const QStringList& row : grid)
            if (row[1 + side] != u" ") out << row[1 + side];
        return out;
    }
    // The sentence and the attribute line an explanation shows for grid row r.
    std::pair<QString, QString> explain(int r)
    {
        std::pair<QString, QString> shown;
        desk.onModal(QStringLiteral("frmInterpretation"), [&](ui::Form& form) {
            auto& f = static_cast<results::frmInterpretation&>(form);
            shown = {f.lblInterpretation->caption(), f.lblAttributes[0]->caption()};
        }, ui::HeadlessDesktop::ModalEnd::AutoClose);
        ui::Input::gridMouseUp(*win.grdResults, r, 1);
        return shown;
    }
    int rowOf(const QString& name) const
    {
        for (int r = 0; r < grid.size(); ++r)
            if (grid[r][1] == name) return r + 1;
        return -1;
    }
    QList<QStringList> grid;
};

// --- Differences only ----------------------------------------------------------------------

// Two files of one size differ when any part of their stamp does, the
// day as much as the second.
TEST_F(LiveValues, DifferencesOnlyKeepsFilesThatDifferInAnyPartOfTheirDateOrTime)
{
    const std::pair<const char*, QDateTime> right[] = {
        {"same.txt", when},
        {"day.txt", when.addDays(1)},
        {"month.txt", when.addMonths(1)},
        {"year.txt", when.addYears(-1)},
        {"hour.txt", when.addSecs(3600)},
        {"minute.txt", when.addSecs(60)},
        {"second.txt", when.addSecs(1)},
        {"century.txt", when.addYears(100)},
    };
    for (const auto& [name, stamp] : right) {
        file(c, QStringLiteral("Left/") + QLatin1String(name), "12345", when);
        file(c, QStringLiteral("Right/") + QLatin1String(name), "54321", stamp);
    }
    g().DifferencesOnly = true;
    compare();
    const QStringList differing = {"century.txt", "day.txt", "hour.txt", "minute.txt", "month.txt", "second.txt", "year.txt"};
    EXPECT_EQ(names(0), differing);
    EXPECT_EQ(names(1), differing);
    // What the rows show of them: the Primary's stamp is the older but for
    // the year.
    ASSERT_EQ(grid.size(), differing.size());
    const QString markers[] = {"O", "O", "O", "O", "O", "O", "N"};
    for (int r = 0; r < grid.size(); ++r) EXPECT_EQ(grid[r][0], markers[r]) << differing[r].toStdString();
    EXPECT_EQ(grid[1].mid(5, 4), (QStringList{"07/06/2004", "08/06/2004", "08:09:10", "08:09:10"}));
}

// --- The attribute filter on files read from disk --------------------------------------------

struct AttributeCase {
    const char* name;
    bool basGlobal::Globals::*include;
    QStringList kept;   // the Primary's files left in the grid
};
void PrintTo(const AttributeCase& c, std::ostream* os) { *os << c.name; }

class LiveAttributes : public LiveValues, public ::testing::WithParamInterface<AttributeCase> {
protected:
    // A folder whose DOS attributes a Samba server keeps: each file's
    // attribute byte as text.
    bool markedTree()
    {
        const std::pair<const char*, const char*> files[] = {
            {".dotted", "0x20"}, {"bare.txt", "0x0"}, {"plain.txt", "0x20"}, {"ro.txt", "0x21"}, {"sys.txt", "0x24"},
            {"hidden.txt", "0x22"}};
        folder(c, QStringLiteral("Left"));
        if (!mark(QStringLiteral("Left"), "0x10")) return false;
        for (const auto& [name, attributes] : files) {
            file(c, QStringLiteral("Left/") + QLatin1String(name), "x", when);
            if (!mark(QStringLiteral("Left/") + QLatin1String(name), attributes)) return false;
        }
        file(c, QStringLiteral("Right/other.txt"), "x", when);
        return mark(QStringLiteral("Right"), "0x10") && mark(QStringLiteral("Right/other.txt"), "0x0");
    }
    bool mark(const QString& rel, const char* value)
    {
        const QByteArray path = QFile::encodeName(nativeOf(c, rel));
        return ::setxattr(path.constData(), "user.DOSATTRIB", value, std::strlen(value) + 1, 0) == 0;
    }
};

TEST_P(LiveAttributes, EachSwitchTakesOutTheFilesWithItsOwnFlag)
{
    if (!markedTree()) GTEST_SKIP() << "no user extended attributes on this file system";
    g().*GetParam().include = false;
    compare();
    EXPECT_EQ(names(0), GetParam().kept);
    EXPECT_EQ(names(1), QStringList{"other.txt"});
}

INSTANTIATE_TEST_SUITE_P(
    Flags, LiveAttributes,
    ::testing::Values(AttributeCase{"hidden", &basGlobal::Globals::IncludeHiddenFiles, {"bare.txt", "plain.txt", "ro.txt", "sys.txt"}},
                      AttributeCase{"system", &basGlobal::Globals::IncludeSystemFiles,
                                    {".dotted", "bare.txt", "hidden.txt", "plain.txt", "ro.txt"}},
                      AttributeCase{"readOnly", &basGlobal::Globals::IncludeReadOnlyFiles,
                                    {".dotted", "bare.txt", "hidden.txt", "plain.txt", "sys.txt"}},
                      AttributeCase{"archive", &basGlobal::Globals::IncludeArchiveFiles, {"bare.txt"}}),
    [](const ::testing::TestParamInfo<AttributeCase>& info) { return std::string(info.param.name); });

// What the explanation of a one-sided row says of each file's flags.
TEST_F(LiveAttributes, TheExplanationNamesEachFlagAsTheDiskHasIt)
{
    if (!markedTree()) GTEST_SKIP() << "no user extended attributes on this file system";
    const std::pair<const char*, const char*> expected[] = {
        {".dotted", "Hidden: Yes, System: No, Read only: No, Archive: Yes."},
        {"bare.txt", "Hidden: No, System: No, Read only: No, Archive: No."},
        {"hidden.txt", "Hidden: Yes, System: No, Read only: No, Archive: Yes."},
        {"plain.txt", "Hidden: No, System: No, Read only: No, Archive: Yes."},
        {"ro.txt", "Hidden: No, System: No, Read only: Yes, Archive: Yes."},
        {"sys.txt", "Hidden: No, System: Yes, Read only: No, Archive: Yes."},
    };
    compare([&] {
        ASSERT_EQ(names(0).size(), qsizetype(std::size(expected)));
        for (const auto& [name, attributes] : expected)
            EXPECT_EQ(explain(rowOf(QLatin1String(name))).second, QLatin1String(attributes)) << name;
    });
}

// The same on any file system: the write permission alone makes a file
// read-only, and only the read-only switch takes it out.
TEST_F(LiveValues, AFileWithoutWritePermissionIsReadOnlyAndNothingElse)
{
    file(c, QStringLiteral("Left/ro.txt"), "x", when);
    file(c, QStringLiteral("Left/rw.txt"), "x", when);
    file(c, QStringLiteral("Right/rw.txt"), "x", when);
    ASSERT_TRUE(QFile::setPermissions(nativeOf(c, QStringLiteral("Left/ro.txt")), QFileDevice::ReadOwner));
    const std::pair<bool basGlobal::Globals::*, QStringList> cases[] = {
        {&basGlobal::Globals::IncludeSystemFiles, {"ro.txt", "rw.txt"}},
        {&basGlobal::Globals::IncludeHiddenFiles, {"ro.txt", "rw.txt"}},
        {&basGlobal::Globals::IncludeReadOnlyFiles, {"rw.txt"}},
    };
    for (const auto& [include, kept] : cases) {
        g().IncludeHiddenFiles = g().IncludeSystemFiles = g().IncludeReadOnlyFiles = true;
        g().*include = false;
        win.load();
        compare();
        EXPECT_EQ(names(0), kept);
    }
}

// --- A case-blind volume ----------------------------------------------------------------------

// Names that differ only in letter case are one name: their row gets the
// newer/older marker, a folder row the blanks of equal names, and only the
// pairs that differ take the tints.
TEST_F(LiveValues, OnACaseBlindVolumeNamesThatDifferInCaseShareTheirRow)
{
    g().VolumeIsCaseSensitive = false;
    file(c, QStringLiteral("Left/b.txt"), "12345", when);
    file(c, QStringLiteral("Right/B.TXT"), "12345", when);
    file(c, QStringLiteral("Left/new.txt"), "12345", when.addDays(1));
    file(c, QStringLiteral("Right/NEW.txt"), "12345", when);
    file(c, QStringLiteral("Left/Docs/Read.me"), "12345", when);
    file(c, QStringLiteral("Right/DOCS/READ.ME"), "1234", when.addSecs(2));
    file(c, QStringLiteral("Left/Docs/only.txt"), "12345", when);
    QList<QList<ui::Color>> colours;
    compare([&] {
        for (int r = 1; r < win.grdResults->rows(); ++r) {
            QList<ui::Color> row;
            for (int col = 1; col < 9; ++col) row << win.grdResults->cellBackColorAt(r, col);
            colours << row;
        }
    });
    const QString d = QStringLiteral("07/06/2004"), t = QStringLiteral("08:09:10");
    const QList<QStringList> expected = {
        {"", "b.txt", "B.TXT", "5", "5", d, d, t, t},
        {"N", "new.txt", "NEW.txt", "5", "5", "08/06/2004", d, t, t},
        {"", "Docs\\", "DOCS\\", "     ", "     ", "   ", "   ", "     ", "     "},
        {"", "only.txt", " ", "5", " ", d, " ", t, " "},
        {"O", "Read.me", "READ.ME", "5", "4", d, d, t, "08:09:12"},
    };
    EXPECT_EQ(grid, expected);
    const QList<QList<ui::Color>> expectedColours = {
        {kGrey, kGrey, kGrey, kGrey, kGrey, kGrey, kGrey, kGrey},
        {kWhite, kWhite, kWhite, kWhite, kTint0, kTint1, kWhite, kWhite},
        QList<ui::Color>(8, kGreen),
        {kTint0, kTint1, kTint0, kTint1, kTint0, kTint1, kTint0, kTint1},   // one side only
        {kGrey, kGrey, kTint0, kTint1, kGrey, kGrey, kTint0, kTint1},
    };
    ASSERT_EQ(colours.size(), expectedColours.size());
    for (int r = 0; r < colours.size(); ++r) EXPECT_EQ(colours[r], expectedColours[r]) << "row " << r + 1;
}

// --- Failure reports ----------------------------------------------------------------------------

// Every line break of a message is a carriage return and a line feed, in
// the reports that end a run as anywhere else.
TEST_F(LiveValues, AFailureReportBreaksItsLinesWithCarriageReturnAndLineFeed)
{
    file(c, QStringLiteral("Left/a.txt"));
    g().CurrentPath[1] = QStringLiteral("C:\\Gone");
    for (const bool greek : {false, true}) {
        g().LanguageIsGreek = greek;
        desk.expectMsgBox(greek ? QStringLiteral("Αποτελέσματα συγκρίσεως") : kResultsTitle,
                          greek ? QStringLiteral("Ο φάκελλος 'C:\\Gone\\' δεν μπορεί να διαβασθεί: Path not found.\r\n\r\n"
                                                 "Η διαδικασία της συγκρίσεως απέτυχε.")
                                : QStringLiteral("The folder 'C:\\Gone\\' cannot be read: Path not found.\r\n\r\n"
                                                 "The comparison process failed."),
                          ui::vbCriticalOK, ui::vbOK);
        openWindow([&] { ui::Input::click(*win.cmdCompare); });
        EXPECT_FALSE(win.isLoaded());
    }
}

} // namespace
