// The explanation of a row: the blocks of both structures and the
// sentences of every kind of row, in English and Greek, on a real
// comparison; the folder clauses against excluded lists.
#include "results/frmInterpretation.h"
#include "results_fixture.h"

using namespace results_test;

namespace {

class Explain : public ResultsTest {
protected:
    struct Shown {
        QString sentence;
        std::array<QStringList, 2> block;   // full, current, supplemental, name, size, date and time, attributes
        QStringList copiedRow;
        bool coloursCopied = false;
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
            s.coloursCopied = true;
            for (int k = 0; k < 9; ++k) {
                s.copiedRow << f.grdResults->textMatrix(1, k);
                s.coloursCopied = s.coloursCopied && f.grdResults->cellBackColorAt(1, k) == win.grdResults->cellBackColorAt(row, k)
                                  && f.grdResults->textMatrix(0, k) == win.grdResults->textMatrix(0, k);
            }
        }, ui::HeadlessDesktop::ModalEnd::AutoClose);
        ui::Input::gridMouseUp(*win.grdResults, row, 1);
        return s;
    }
};

const QString kFinal = QStringLiteral(" Since you have checked the option 'Display extended information' of the window titled 'Options', this result is final.");
const QString kFolderFinal = QStringLiteral("Since you have checked the 'Display extended information' option of the window titled 'Options', this result is final.");

TEST_F(Explain, EveryKindOfRowInBothLanguages)
{
    sampleTrees();
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
        EXPECT_EQ(size.block[1][4], QStringLiteral("1,200 bytes"));
        EXPECT_TRUE(size.coloursCopied);
        EXPECT_EQ(size.copiedRow[3], QStringLiteral("900"));
        EXPECT_EQ(explain(7).block[1].mid(0, 4), QStringList({"D:\\Docs\\a.txt", "D:\\", "Docs\\", "a.txt"}));
        EXPECT_EQ(explain(3).block[0], QStringList(7, QString()));   // no entry on this side
        EXPECT_EQ(explain(8).block[0].mid(0, 5), QStringList({"C:\\Empty\\", "C:\\", "Empty\\", "", ""}));
        g().LanguageIsGreek = true;
        EXPECT_EQ(explain(2).block[0][4], QStringLiteral("1 χαρακτήρας"));
        g().LanguageIsGreek = false;
    });
}

TEST_F(Explain, SizesBeyondFourGibibytesCompareAsNumbers)
{
    QFile big(nativeOf(c, QStringLiteral("big.bin")));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly) && big.resize(3LL << 30));   // sparse
    big.close();
    file(d, QStringLiteral("big.bin"), "x");
    const QDateTime t(QDate(2024, 5, 1), QTime(12, 0, 0));
    setLocalMtime(c, QStringLiteral("big.bin"), t);
    setLocalMtime(d, QStringLiteral("big.bin"), t);
    withResults([&] {
        const Shown s = explain(1);
        EXPECT_EQ(s.block[0][4], QStringLiteral("3,221,225,472 bytes"));
        EXPECT_EQ(s.block[1][4], QStringLiteral("1 byte"));
        EXPECT_EQ(s.sentence, QStringLiteral("The file in the Primary Structure, compared against the file in the Secondary Structure, "
                                             "is bigger in size, has the same date and time and has the same attributes."));
    });
}

TEST_F(Explain, FolderClausesFollowTheFirstExcludedEntryBelowTheFolder)
{
    ui::ListBox& ex0 = *hidden().lstExcluded[0];
    ui::ListBox& ex1 = *hidden().lstExcluded[1];
    auto sentence = [&](const QString& p0, int code0, const QString& p1, int code1, bool cs = true) {
        return results::FolderRowSentence({{{p0, code0, &ex0}, {p1, code1, &ex1}}}, true, cs, false);
    };
    EXPECT_EQ(sentence("SUB\\", 0, "SUB\\", 2), "The folder exists in both structures. The folder in the Primary Structure, contains files. "
                                                "The folder in the Secondary Structure, doesn't contain files. " + kFolderFinal);
    EXPECT_EQ(sentence("SUB\\", 2, "", 1), "The folder in the Primary Structure, doesn't contain files. "
                                           "The folder doesn't exist in the Secondary Structure. " + kFolderFinal);
    ex1.addItem(QStringLiteral("SUB\\X.TXT"));
    ex1.addItem(QStringLiteral("AB\\x.txt"));
    EXPECT_EQ(sentence("SUB\\", 0, "", 1), "The folder in the Primary Structure, contains files. The folder exists in the Secondary "
                                           "Structure, contains files, but has been excluded from the comparison. " + kFolderFinal);
    EXPECT_TRUE(sentence("sub\\", 0, "", 1, false).contains("Secondary Structure, contains files, but has been excluded"));
    EXPECT_TRUE(sentence("sub\\", 0, "", 1, true).contains("The folder doesn't exist in the Secondary Structure."));
    EXPECT_TRUE(sentence("A\\", 0, "", 1).contains("The folder doesn't exist in the Secondary Structure."));
    // A marker sorting first decides, even a sub-folder's.
    ex0.addItem(QStringLiteral("E\\F\\\"NULL\""));
    ex0.addItem(QStringLiteral("E\\z.txt"));
    EXPECT_TRUE(sentence("", 1, "E\\", 0).contains("The foloder exists in the Primary Structure, doesn't contain files, but has been excluded"));
    EXPECT_TRUE(sentence("E\\", 2, "", 1).contains("The folder in the Primary Structure, doesn't contain any files. "));
    ex0.clear();
    ex0.addItem(QStringLiteral("E\\z.txt"));
    EXPECT_TRUE(sentence("E\\", 2, "", 1).contains("The folder in the Primary Structure, contains files that have been excluded from the comparison. "));
    // A file on one side is looked up whole in the other side's list.
    EXPECT_TRUE(results::ExcludedFileFound(ex0, QStringLiteral("e\\Z.TXT"), false));
    EXPECT_FALSE(results::ExcludedFileFound(ex0, QStringLiteral("e\\Z.TXT"), true));
    EXPECT_FALSE(results::ExcludedFileFound(ex0, QStringLiteral("E\\z"), false));
    ex0.clear();
    ex1.clear();
}

} // namespace
