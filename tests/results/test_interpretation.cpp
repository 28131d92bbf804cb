// The explanation of every kind of row on a real comparison, in English and
// Greek; the folder clauses against excluded lists.
#include "results/frmInterpretation.h"
#include "results_fixture.h"

#include "platform/AppError.h"
#include "shared/frmHiddenForm.h"
#include "ui/ListBox.h"

#include <map>

using namespace results_test;

namespace {

class Explain : public ResultsTest {
protected:
    struct Shown {
        QString sentence;
        std::array<QStringList, 2> block;   // full, current, supplemental, name, size, date and time, attributes
        bool rowCopied = true;   // texts and colours, headings included
    };
    // Clicks result row `row` and keeps what the explanation shows.
    Shown explain(int row)
    {
        Shown s;
        desk.onModal(QStringLiteral("frmInterpretation"), [&](ui::Form& form) {
            auto& f = static_cast<results::frmInterpretation&>(form);
            s.sentence = f.lblInterpretation->caption();
            for (int i = 0; i < 2; ++i)
                for (auto* l : {f.lblFullPath[i], f.lblCurrentPath[i], f.lblSupplementalPath[i], f.lblFileName[i], f.lblSize[i],
                                f.lblDateTime[i], f.lblAttributes[i]})
                    s.block[std::size_t(i)] << l->caption();
            for (int k = 0; k < 18; ++k)
                s.rowCopied = s.rowCopied && f.grdResults->cellBackColorAt(k / 9, k % 9) == win.grdResults->cellBackColorAt(k < 9 ? 0 : row, k % 9)
                              && f.grdResults->textMatrix(k / 9, k % 9) == win.grdResults->textMatrix(k < 9 ? 0 : row, k % 9);
        }, ui::HeadlessDesktop::ModalEnd::AutoClose);
        ui::Input::gridMouseUp(*win.grdResults, row, 1);
        return s;
    }
};

const QString kFinal = QStringLiteral(" Since you have checked the option 'Display extended information' of the window titled 'Options', this result is final.");
const QString kFolderFinal = QStringLiteral("Since you have checked the 'Display extended information' option of the window titled 'Options', this result is final.");

TEST_F(Explain, EveryKindOfRowInBothLanguages)
{
    struct Case { int row; bool extended; bool greek; QString sentence; };
    const Case cases[] = {
        {5, false, false, "The file in the Primary Structure, compared against the file in the Secondary Structure, is smaller in size, has the same date and time and has the same attributes."},
        {1, false, false, "The file in the Primary Structure, compared against the file in the Secondary Structure, has the same size, is newer and has the same attributes."},
        {5, false, true, "Το αρχείο της Πρωτευούσης Δομής, συγκρινόμενο με το αρχείο της Δευτερευούσης Δομής, είναι μικρότερο σε μέγεθος, έχει την ίδια χρονολογία και ώρα και έχει τις ίδιες ιδιότητες."},
        {1, false, true, "Το αρχείο της Πρωτευούσης Δομής, συγκρινόμενο με το αρχείο της Δευτερευούσης Δομής, έχει το ίδιο μέγεθος, είναι νεότερο και έχει τις ίδιες ιδιότητες."},
        {3, false, false, "The file in the Secondary Structure, doesn't seem to exist in the Primary Structure. If you want to know whether the file also exists in the Primary Stucture, but has been excluded from the comparison, you must check the 'Display extended information' option of the window titled 'Options'."},
        {2, true, false, "The file exists only in the Primary Structure." + kFinal},
        {2, true, true, "Το αρχείο υπάρχει μόνον στην Πρωτεύουσα Δομή. Επειδή έχετε ενεργοποιήσει την επιλογή «Εμφάνιση εκτενούς πληροφορήσεως» του παραθύρου με τίτλο «Επιλογές», αυτό το αποτέλεσμα είναι τελικό."},
        {6, false, false, "The folder exists in both Structures. If you need extended information, you must check the 'Display extended information' option of the window titled 'Options'."},
        {6, true, false, "The folder exists in both structures. The folder in the Primary Structure, contains files. The folder in the Secondary Structure, contains files. " + kFolderFinal},
        {8, true, false, "The folder exists in both structures. The folder in the Primary Structure, doesn't contain files. The folder in the Secondary Structure, doesn't contain files. " + kFolderFinal},
        {8, true, true, "Ο φάκελλος υπάρχει και στις δύο δομές. Ο φάκελλος της Πρωτευούσης Δομής, δεν περιέχει αρχεία. Ο φάκελλος της Δευτερευούσης Δομής, δεν περιέχει αρχεία. Επειδή έχετε ενεργοποιήσει την επιλογή «Εμφάνιση εκτενούς πληροφορήσεως» του παραθύρου με τίτλο «Επιλογές», αυτό το αποτέλεσμα είναι τελικό."},
    };
    withResults([&] {
        for (const Case& k : cases) {
            g().ShowExtendedInformation = k.extended;
            g().LanguageIsGreek = k.greek;
            EXPECT_EQ(explain(k.row).sentence, k.sentence) << k.row;
        }
        g().LanguageIsGreek = false;
        // A file in the compared folder, a drive root: no folder above it.
        const Shown size = explain(5);
        EXPECT_EQ(size.block[0], QStringList({"C:\\size.txt", "C:\\", "", "size.txt", "900 bytes", "Wednesday, 1 May 2024 - 12:00:00",
                                              "Hidden: No, System: No, Read only: No, Archive: Yes."}));
        EXPECT_TRUE(size.block[1][4] == QStringLiteral("1,200 bytes") && size.rowCopied);
        EXPECT_EQ(explain(7).block[1].mid(0, 4), QStringList({"D:\\Docs\\a.txt", "D:\\", "Docs\\", "a.txt"}));
        EXPECT_EQ(explain(3).block[0], QStringList(7, QString()));   // no entry on this side
        EXPECT_EQ(explain(8).block[0].mid(0, 5), QStringList({"C:\\Empty\\", "C:\\", "Empty\\", "", ""}));
        g().LanguageIsGreek = true;
        EXPECT_EQ(explain(2).block[0][4], QStringLiteral("1 χαρακτήρας"));
    });
}

// With extended information a file on one side is looked for among what
// the other side excluded, and only there.
TEST_F(Explain, AOneSidedFileExcludedOnTheOtherSideIsToldSo)
{
    const QDateTime t(QDate(2024, 5, 1), QTime(12, 0, 0));
    for (const char* name : {"left.txt", "right.txt"}) {
        file(c, QLatin1String(name), "x", t);
        file(d, QLatin1String(name), "x", t);
    }
    // Read-only on the other side of the row each leaves.
    ASSERT_TRUE(QFile::setPermissions(nativeOf(c, QStringLiteral("left.txt")), QFileDevice::ReadOwner));
    ASSERT_TRUE(QFile::setPermissions(nativeOf(d, QStringLiteral("right.txt")), QFileDevice::ReadOwner));
    g().IncludeReadOnlyFiles = false;
    g().ShowExtendedInformation = true;
    withResults([&] {
        const struct {
            int row;
            bool greek;
            QString sentence;
        } cases[] = {
            {rowOf(QStringLiteral("right.txt")), false, "The file also exists in the Secondary Structure, but has been excluded from the comparison." + kFinal},
            {rowOf(QStringLiteral("only1.txt")), false, "The file exists only in the Primary Structure." + kFinal},
            {rowOf(QStringLiteral("right.txt")), true, "Το αρχείο υπάρχει και στην Δευτερεύουσα Δομή, αλλά έχει εξαιρεθεί από την σύγκριση. Επειδή έχετε ενεργοποιήσει την επιλογή «Εμφάνιση εκτενούς πληροφορήσεως» του παραθύρου με τίτλο «Επιλογές», αυτό το αποτέλεσμα είναι τελικό."},
        };
        for (const auto& k : cases) {
            g().LanguageIsGreek = k.greek;
            ASSERT_GT(k.row, 0);
            EXPECT_EQ(explain(k.row).sentence, k.sentence) << k.row;
        }
        g().LanguageIsGreek = false;
        // The Secondary's rows: their names stand in the second column.
        std::map<QString, int> secondary;
        for (int r = 1; r < win.grdResults->rows(); ++r) secondary[win.grdResults->textMatrix(r, 2)] = r;
        EXPECT_EQ(explain(secondary[QStringLiteral("left.txt")]).sentence,
                  "The file also exists in the Primary Structure, but has been excluded from the comparison." + kFinal);
        EXPECT_EQ(explain(secondary[QStringLiteral("only2.txt")]).sentence, "The file exists only in the Secondary Structure." + kFinal);
    });
}

TEST_F(Explain, SizesBeyondFourGibibytesCompareAsNumbers)
{
    QFile big(nativeOf(c, QStringLiteral("big.bin")));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly) && big.resize(3LL << 30));   // sparse
    big.close();
    file(d, QStringLiteral("big.bin"), "x", QDateTime(QDate(2024, 5, 1), QTime(12, 0)));
    setLocalMtime(c, QStringLiteral("big.bin"), QDateTime(QDate(2024, 5, 1), QTime(12, 0)));
    withResults([&] {
        const Shown s = explain(rowOf(QStringLiteral("big.bin")));
        EXPECT_TRUE(s.block[0][4] == QStringLiteral("3,221,225,472 bytes") && s.block[1][4] == QStringLiteral("1 byte"));
        EXPECT_EQ(s.sentence, QStringLiteral("The file in the Primary Structure, compared against the file in the Secondary Structure, "
                                             "is bigger in size, has the same date and time and has the same attributes."));
    });
}

TEST_F(Explain, FolderClausesFollowTheFirstExcludedEntryBelowTheFolder)
{
    struct Case { QString p0; int code0; QString p1; int code1; QStringList excluded0, excluded1; bool cs; QString expected; };
    const QString marker = QStringLiteral("\"NULL\"");
    const Case cases[] = {
        {"SUB\\", 0, "SUB\\", 2, {}, {}, true, "The folder exists in both structures. The folder in the Primary Structure, contains files. The folder in the Secondary Structure, doesn't contain files. " + kFolderFinal},
        {"SUB\\", 2, "", 1, {}, {}, true, "The folder in the Primary Structure, doesn't contain files. The folder doesn't exist in the Secondary Structure. " + kFolderFinal},
        {"SUB\\", 0, "", 1, {}, {"AB\\x.txt", "SUB\\X.TXT"}, true, "The folder in the Primary Structure, contains files. The folder exists in the Secondary Structure, contains files, but has been excluded from the comparison. " + kFolderFinal},
        {"sub\\", 0, "", 1, {}, {"SUB\\X.TXT"}, false, "The folder exists in the Secondary Structure, contains files, but has been excluded"},
        {"sub\\", 0, "", 1, {}, {"SUB\\X.TXT"}, true, "The folder doesn't exist in the Secondary Structure."},
        {"A\\", 0, "", 1, {}, {"AB\\x.txt"}, true, "The folder doesn't exist in the Secondary Structure."},
        // The first entry below the folder decides, even a sub-folder's marker.
        {"", 1, "E\\", 0, {"E\\F\\" + marker, "E\\z.txt"}, {}, true, "The foloder exists in the Primary Structure, doesn't contain files, but has been excluded"},
        {"E\\", 2, "", 1, {"E\\F\\" + marker, "E\\z.txt"}, {}, true, "The folder in the Primary Structure, doesn't contain any files. "},
        {"E\\", 2, "", 1, {"E\\z.txt"}, {}, true, "The folder in the Primary Structure, contains files that have been excluded from the comparison. "},
    };
    ui::ListBox& ex0 = *hidden().lstExcluded[0];
    ui::ListBox& ex1 = *hidden().lstExcluded[1];
    for (const Case& k : cases) {
        ex0.clear(), ex1.clear();
        for (const QString& item : k.excluded0) ex0.addItem(item);
        for (const QString& item : k.excluded1) ex1.addItem(item);
        EXPECT_TRUE(results::FolderRowSentence({{{k.p0, k.code0, &ex0}, {k.p1, k.code1, &ex1}}}, true, k.cs, false).contains(k.expected)) << k.expected.toStdString();
    }
    // A file on one side is looked up whole in the other side's list.
    EXPECT_TRUE(results::ExcludedFileFound(ex0, QStringLiteral("e\\Z.TXT"), false));
    EXPECT_FALSE(results::ExcludedFileFound(ex0, QStringLiteral("e\\Z.TXT"), true));
    EXPECT_FALSE(results::ExcludedFileFound(ex0, QStringLiteral("E\\z"), false));
    ex0.clear(), ex1.clear();
}

// Without extended information a folder row says on which side the folder
// is, in either language, and sends the user to the option for more.
TEST_F(Explain, WithoutExtendedInformationAFolderRowNamesItsSidesInBothLanguages)
{
    const QString more = QStringLiteral(" If you need extended information, you must check the 'Display extended information' option of the window titled 'Options'.");
    const QString moreGr = QStringLiteral(" Εάν θέλετε εκτενή πληροφόρηση, πρέπει να ενεργοποιήσετε την επιλογή «Εμφάνιση εκτενούς πληροφορήσεως» του παραθύρου με τίτλο «Επιλογές».");
    struct Case { QString p0, p1; QString english, greek; };
    const Case cases[] = {
        {"SUB\\", "SUB\\", "The folder exists in both Structures." + more, "Ο φάκελλος υπάρχει και στις δύο Δομές." + moreGr},
        {"SUB\\", "", "The folder in the Primary Structure, doesn't seem to exist in the Secondary Structure." + more,
         "Ο φάκελλος της Πρωτευούσης Δομής, δεν φαίνεται να υπάρχει στην Δευτερεύουσα Δομή." + moreGr},
        {"", "SUB\\", "The folder in the Secondary Structure, doesn't seem to exist in the Primary Structure." + more,
         "Ο φάκελλος της Δευτερευούσης Δομής, δεν φαίνεται να υπάρχει στην Πρωτεύουσα Δομή." + moreGr},
        {"", "", "", ""},
    };
    ui::ListBox& ex0 = *hidden().lstExcluded[0];
    ui::ListBox& ex1 = *hidden().lstExcluded[1];
    ex0.clear(), ex1.clear();
    ex1.addItem(QStringLiteral("SUB\\x.txt"));   // looked at only with extended information
    for (const Case& k : cases) {
        const std::array<results::FolderSide, 2> sides{{{k.p0, k.p0.isEmpty() ? 1 : 0, &ex0}, {k.p1, k.p1.isEmpty() ? 1 : 0, &ex1}}};
        EXPECT_EQ(results::FolderRowSentence(sides, false, true, false), k.english);
        EXPECT_EQ(results::FolderRowSentence(sides, false, true, true), k.greek);
    }
    ex1.clear();
}

// Dark blue on the system's tool-tip colour for the heading; each block in
// its structure's tint, its title written in the tint on dark blue.
TEST_F(Explain, TheHeadingAndEachBlockKeepTheirColours)
{
    constexpr ui::Color kDarkBlue = 0xC00000u, kToolTipBackground = 0x80000018u;
    withResults([&] {
        desk.onModal(QStringLiteral("frmInterpretation"), [&](ui::Form& form) {
            auto& f = static_cast<results::frmInterpretation&>(form);
            EXPECT_EQ(f.lblInterpretationTitle->foreColor(), kDarkBlue);
            EXPECT_EQ(f.lblInterpretationTitle->backColor(), kToolTipBackground);
            for (int i = 0; i < 2; ++i) {
                EXPECT_EQ(f.lblStructureTitle[i]->foreColor(), win.structureTint(i)) << i;
                EXPECT_EQ(f.lblStructureTitle[i]->backColor(), kDarkBlue) << i;
                EXPECT_EQ(f.lblFileName[i]->backColor(), win.structureTint(i)) << i;
            }
        }, ui::HeadlessDesktop::ModalEnd::AutoClose);
        ui::Input::gridMouseUp(*win.grdResults, 1, 1);
    });
}

// The copied row stands in columns as wide and as aligned as the results'.
TEST_F(Explain, TheCopiedRowKeepsEveryColumnsWidthAndAlignment)
{
    withResults([&] {
        ui::Input::resizeColumn(*win.grdResults, 0, 480);
        QStringList differing;
        desk.onModal(QStringLiteral("frmInterpretation"), [&](ui::Form& form) {
            const ui::FlexGrid& own = *static_cast<results::frmInterpretation&>(form).grdResults;
            const ui::FlexGrid& results = *win.grdResults;
            ASSERT_EQ(own.cols(), results.cols());
            for (int j = 0; j < results.cols(); ++j)
                if (own.colWidth(j) != results.colWidth(j) || own.colAlignment(j) != results.colAlignment(j)
                    || own.fixedAlignment(j) != results.fixedAlignment(j))
                    differing << QString::number(j);
        }, ui::HeadlessDesktop::ModalEnd::AutoClose);
        ui::Input::gridMouseUp(*win.grdResults, 1, 1);
        EXPECT_EQ(differing, QStringList());
    });
}

// The window's own words in either language, and its two blocks line by
// line: each title beside its value, one line below the other, the blocks
// apart and inside the window.
TEST_F(Explain, TheWindowsTitlesInEitherLanguageAndItsRowsLineByLine)
{
    for (bool greek : {false, true}) {
        SCOPED_TRACE(greek ? "Greek" : "English");
        g().LanguageIsGreek = greek;
        results::frmInterpretation f;
        f.load();
        EXPECT_EQ(f.caption(), greek ? "Ερμηνεία" : "Interpretation");
        EXPECT_EQ(f.lblInterpretationTitle->caption(), greek ? "ΣΕ ΑΠΛΑ ΕΛΛΗΝΙΚΑ" : "IN PLAIN ENGLISH");
        EXPECT_EQ(f.cmdOK->caption(), greek ? "ΟΚ" : "OK");
        EXPECT_EQ(f.lblStructureTitle[0]->caption(), greek ? "ΠΡΩΤΕΥΟΥΣΑ ΔΟΜΗ" : "PRIMARY STRUCTURE");
        EXPECT_EQ(f.lblStructureTitle[1]->caption(), greek ? "ΔΕΥΤΕΡΕΟΥΣΑ ΔΟΜΗ" : "SECONDARY STRUCTURE");
        // The explanation runs over several lines, centred, as do the titles.
        EXPECT_TRUE(f.lblInterpretation->wordWrap());
        EXPECT_EQ(f.defaultButton(), f.cmdOK);
        EXPECT_EQ(f.cancelButton(), f.cmdOK);
        EXPECT_EQ(f.lblInterpretation->alignment(), 2);
        EXPECT_TRUE(f.lblInterpretationTitle->font().bold);
        EXPECT_EQ(f.lblInterpretationTitle->alignment(), 2);
        for (int i = 0; i < 2; ++i) {
            EXPECT_TRUE(f.lblStructureTitle[i]->font().bold) << i;
            EXPECT_EQ(f.lblStructureTitle[i]->alignment(), 2) << i;
            EXPECT_FALSE(f.lblFullPath[i]->font().bold) << i;
        }
        const QStringList english = {"Current path:", "Supplemental path:", "File name:", "Size:", "Date and time:", "Attributes:"};
        const QStringList greekTitles = {"Τρέχουσα διαδρομή:", "Συμπληρωματική διαδρομή:", "Όνομα αρχείου:", "Μέγεθος:",
                                         "Χρονολογία και ώρα:", "Ιδιότητες:"};
        for (int i = 0; i < 2; ++i) {
            const ui::Label* titles[6] = {f.lblCurrentPathTitle[i], f.lblSupplementalPathTitle[i], f.lblFileNameTitle[i],
                                          f.lblSizeTitle[i], f.lblDateTimeTitle[i], f.lblAttributesTitle[i]};
            const ui::Label* values[6] = {f.lblCurrentPath[i], f.lblSupplementalPath[i], f.lblFileName[i],
                                          f.lblSize[i], f.lblDateTime[i], f.lblAttributes[i]};
            int above = f.lblFullPath[i]->top();
            EXPECT_EQ(above - f.lblStructureTitle[i]->top(), 240) << i;
            for (int k = 0; k < 6; ++k) {
                EXPECT_EQ(titles[k]->caption(), (greek ? greekTitles : english)[k]) << i << "/" << k;
                EXPECT_EQ(titles[k]->top(), values[k]->top()) << i << "/" << k;
                EXPECT_LE(titles[k]->left() + titles[k]->width(), values[k]->left()) << i << "/" << k;
                EXPECT_EQ(values[k]->top() - above, 360) << i << "/" << k;
                above = values[k]->top();
            }
            if (i == 0) {
                EXPECT_LE(above + values[5]->height(), f.lblStructureTitle[1]->top());
            } else {
                EXPECT_LE(above + values[5]->height(), f.height());
            }
        }
        f.unload();
    }
}

// A file's entry is read field by field: its folder is the nearest folder
// line above it; a field the results could not have written is a type
// mismatch, never a wrong explanation.
TEST_F(Explain, AnEntryIsReadFieldByFieldAndADamagedOneIsATypeMismatch)
{
    ui::ListBox& out = *basGlobal::HiddenForm().lstOutput[0];
    const auto entryAt = [&out](const QStringList& lines) {
        out.clear();
        for (const QString& l : lines) out.addItem(l);
    };
    entryAt({"Docs\\", "a.txt|False|True|False|True|0000000001|20020824|130509", "Sub\\Deeper\\",
             "b.txt|True|false|TRUE|False|0000001234|20020823|090000"});
    const results::InterpretedEntry a = results::BuildInterpretedEntry(out, 1, "C:\\Root", false);
    EXPECT_EQ(QStringList({a.fullPath, a.currentPath, a.supplementalPath, a.fileName, a.sizeText, a.attributesText}),
              QStringList({"C:\\Root\\Docs\\a.txt", "C:\\Root\\", "Docs\\", "a.txt", "1 byte",
                           "Hidden: No, System: Yes, Read only: No, Archive: Yes."}));
    const results::InterpretedEntry b = results::BuildInterpretedEntry(out, 3, "C:\\Root\\", true);
    EXPECT_EQ(QStringList({b.fullPath, b.supplementalPath, b.sizeText, b.attributesText}),
              QStringList({"C:\\Root\\Sub\\Deeper\\b.txt", "Sub\\Deeper\\", "1,234 χαρακτήρες",
                           "Κρυφό: Ναι, Συστήματος: Όχι, Μόνον για ανάγνωση: Ναι, Προς φύλαξη: Όχι."}))
        << b.sizeText.toStdString();
    EXPECT_EQ(b.sizeValue, 1234);
    const results::InterpretedEntry folder = results::BuildInterpretedEntry(out, 2, "C:\\Root", false);
    EXPECT_EQ(QStringList({folder.fullPath, folder.currentPath, folder.supplementalPath, folder.fileName}),
              QStringList({"C:\\Root\\Sub\\Deeper\\", "C:\\Root\\", "Sub\\Deeper\\", ""}));

    const char* damaged[] = {
        "c.txt|Maybe|False|False|True|0000000001|20020824|130509",
        "c.txt|False|False|False|1|0000000001|20020824|130509",
        "c.txt|False|False|False|True|-000000001|20020824|130509",
        "c.txt|False|False|False|True|12ab|20020824|130509",
        "c.txt|False|False|False|True|0000000001|2002082|130509",
        "c.txt|False|False|False|True|0000000001|20020824|13050",
        "c.txt|False|False|False|True|0000000001|2002x824|130509",
        "c.txt|False|False|False|True|0000000001|20020824|13x509",
    };
    for (const char* entry : damaged) {
        entryAt({QString::fromLatin1(entry)});
        int raised = 0;
        try {
            results::BuildInterpretedEntry(out, 0, "C:\\Root", false);
        } catch (const platform::AppError& e) {
            raised = e.number;
        }
        EXPECT_EQ(raised, platform::errTypeMismatch) << entry;
    }
    out.clear();
}

// Each path of the explanation has its whole text as its tip, unless path
// tips are hidden; the sizes, times and attributes have none.
TEST_F(Explain, EachPathsTipIsItsWholeTextUnlessTipsAreHidden)
{
    withResults([&] {
        for (bool hide : {false, true}) {
            g().HidePathToolTips = hide;
            desk.onModal(QStringLiteral("frmInterpretation"), [&](ui::Form& form) {
                auto& f = static_cast<results::frmInterpretation&>(form);
                for (int i = 0; i < 2; ++i) {
                    for (ui::Label* l : {f.lblFullPath[i], f.lblCurrentPath[i], f.lblFileName[i]}) {
                        EXPECT_FALSE(l->caption().isEmpty()) << l->name().toStdString() << i;
                        EXPECT_EQ(l->toolTipText(), hide ? QString() : l->caption()) << l->name().toStdString() << i;
                    }
                    for (ui::Label* l : {f.lblSize[i], f.lblDateTime[i], f.lblAttributes[i]})
                        EXPECT_EQ(l->toolTipText(), QString()) << l->name().toStdString() << i;
                }
                EXPECT_TRUE(f.lblFullPath[0]->caption().endsWith(QStringLiteral("newer.txt")));
            }, ui::HeadlessDesktop::ModalEnd::AutoClose);
            ui::Input::gridMouseUp(*win.grdResults, 1, 1);
        }
        g().HidePathToolTips = false;
    });
}

} // namespace
