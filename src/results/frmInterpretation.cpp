#include "results/frmInterpretation.h"

#include "compare/FolderAlignment.h"
#include "compare/GridFill.h"
#include "results/frmCompare.h"
#include "platform/AppError.h"
#include "shared/ErrorTrap.h"
#include "shared/Messages.h"
#include "shared/PathText.h"
#include "shared/RegionalFormats.h"
#include "shared/Texts.h"
#include "shared/basGlobal.h"
#include "shared/frmHiddenForm.h"
#include "ui/ListBox.h"

namespace results {

using basGlobal::globals;
using basGlobal::Txt;

namespace {

constexpr ui::Color kTitleBlue = 0xC00000;
constexpr ui::Color kSysInfoBackground = 0x80000018u;
constexpr ui::Color kSentenceGrey = 0xE0E0E0;
constexpr int kLabelHeight = 252;
constexpr int kCentred = 2;
const QString kEmptyFolderMarker = QStringLiteral("\"NULL\"");

[[noreturn]] void typeMismatch() { throw platform::makeError(platform::errTypeMismatch); }

// A field of digits read as a whole number; anything else is a type mismatch.
qint64 wholeNumber(const QString& text)
{
    bool ok = false;
    const qint64 v = text.trimmed().toLongLong(&ok);
    if (!ok) typeMismatch();
    return v;
}

bool booleanField(const QString& text)
{
    const QString t = text.trimmed();
    if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0) return true;
    if (t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) return false;
    typeMismatch();
}

bool isFolderText(const QString& t) { return t.endsWith(u'\\'); }

// The closing of every sentence that extended information made final.
QString finalNote(bool greek, bool optionFirst)
{
    if (optionFirst)
        return Txt(greek, u"Since you have checked the option 'Display extended information' of the window titled 'Options', this result is final.",
                   u"Επειδή έχετε ενεργοποιήσει την επιλογή «Εμφάνιση εκτενούς πληροφορήσεως» του παραθύρου με τίτλο «Επιλογές», αυτό το αποτέλεσμα είναι τελικό.");
    return Txt(greek, u"Since you have checked the 'Display extended information' option of the window titled 'Options', this result is final.",
               u"Επειδή έχετε ενεργοποιήσει την επιλογή «Εμφάνιση εκτενούς πληροφορήσεως» του παραθύρου με τίτλο «Επιλογές», αυτό το αποτέλεσμα είναι τελικό.");
}

// The clause of one side of a folder row.
enum class FolderClause { C1, C2, C3, C4, C5, C6, C7 };

QString folderClauseText(FolderClause c, int side, bool greek)
{
    struct Texts {
        const char16_t* en[2];
        const char16_t* gr[2];
    };
    static const Texts table[7] = {
        {{u"The folder in the Primary Structure, contains files. ", u"The folder in the Secondary Structure, contains files. "},
         {u"Ο φάκελλος της Πρωτευούσης Δομής, περιέχει αρχεία. ", u"Ο φάκελλος της Δευτερευούσης Δομής, περιέχει αρχεία. "}},
        {{u"The folder in the Primary Structure, doesn't contain files. ", u"The folder in the Secondary Structure, doesn't contain files. "},
         {u"Ο φάκελλος της Πρωτευούσης Δομής, δεν περιέχει αρχεία. ", u"Ο φάκελλος της Δευτερευούσης Δομής, δεν περιέχει αρχεία. "}},
        {{u"The folder in the Primary Structure, doesn't contain any files. ", u"The folder in the Secondary Structure, doesn't contain any files. "},
         {u"Ο φάκελλος της Πρωτευούσης Δομής, δεν περιέχει αρχεία. ", u"Ο φάκελλος της Δευτερευούσης Δομής, δεν περιέχει αρχεία. "}},
        {{u"The folder in the Primary Structure, contains files that have been excluded from the comparison. ",
          u"The folder in the Secondary Structure, contains files that have been excluded from the comparison. "},
         {u"Ο φάκελλος της Πρωτευούσης Δομής, περιέχει αρχεία τα οποία έχουν εξαιρεθεί από την σύγκριση. ",
          u"Ο φάκελλος της Δευτερευούσης Δομής, περιέχει αρχεία τα οποία έχουν εξαιρεθεί από την σύγκριση. "}},
        {{u"The folder doesn't exist in the Primary Structure. ", u"The folder doesn't exist in the Secondary Structure. "},
         {u"Ο φάκελλος δεν υπάρχει στην Πρωτεύουσα Δομή. ", u"Ο φάκελλος δεν υπάρχει στην Δευτερεύουσα Δομή. "}},
        {{u"The foloder exists in the Primary Structure, doesn't contain files, but has been excluded from the comparison. ",
          u"The foloder exists in the Secondary Structure, doesn't contain files, but has been excluded from the comparison. "},
         {u"Ο φάκελλος υπάρχει στην Πρωτεύουσα Δομή, δεν περιέχει αρχεία, αλλά έχει εξαιρεθεί από την σύγκριση. ",
          u"Ο φάκελλος υπάρχει στην Δευτερεύουσα Δομή, δεν περιέχει αρχεία, αλλά έχει εξαιρεθεί από την σύγκριση. "}},
        {{u"The folder exists in the Primary Structure, contains files, but has been excluded from the comparison. ",
          u"The folder exists in the Secondary Structure, contains files, but has been excluded from the comparison. "},
         {u"Ο φάκελλος υπάρχει στην Πρωτεύουσα Δομή, περιέχει αρχεία, αλλά έχει εξαιρεθεί από την σύγκριση. ",
          u"Ο φάκελλος υπάρχει στην Δευτερεύουσα Δομή, περιέχει αρχεία, αλλά έχει εξαιρεθεί από την σύγκριση. "}},
    };
    const Texts& t = table[int(c)];
    return Txt(greek, t.en[side], t.gr[side]);
}

enum HelpTopic : int {
    htInterpretation = 60010,
    htResults = 60020,
    htFullPath = 60030,
    htCurrentPath = 60040,
    htSupplementalPath = 60050,
    htFileName = 60060,
    htSize = 60070,
    htDateTime = 60080,
    htAttributes = 60090,
    htOK = 60100,
};

struct Caption {
    const char* name;
    int index;
    const char16_t* english;
    const char16_t* greek;
};

const Caption kCaptions[] = {
    {"lblInterpretationTitle", -1, u"IN PLAIN ENGLISH", u"ΣΕ ΑΠΛΑ ΕΛΛΗΝΙΚΑ"},
    {"cmdOK", -1, u"OK", u"\u039F\u039A"},
    {"lblStructureTitle", 0, u"PRIMARY STRUCTURE", u"ΠΡΩΤΕΥΟΥΣΑ ΔΟΜΗ"},
    {"lblStructureTitle", 1, u"SECONDARY STRUCTURE", u"ΔΕΥΤΕΡΕΟΥΣΑ ΔΟΜΗ"},
    {"lblCurrentPathTitle", 0, u"Current path:", u"Τρέχουσα διαδρομή:"},
    {"lblSupplementalPathTitle", 0, u"Supplemental path:", u"Συμπληρωματική διαδρομή:"},
    {"lblFileNameTitle", 0, u"File name:", u"Όνομα αρχείου:"},
    {"lblSizeTitle", 0, u"Size:", u"Μέγεθος:"},
    {"lblDateTimeTitle", 0, u"Date and time:", u"Χρονολογία και ώρα:"},
    {"lblAttributesTitle", 0, u"Attributes:", u"Ιδιότητες:"},
    {"lblCurrentPathTitle", 1, u"Current path:", u"Τρέχουσα διαδρομή:"},
    {"lblSupplementalPathTitle", 1, u"Supplemental path:", u"Συμπληρωματική διαδρομή:"},
    {"lblFileNameTitle", 1, u"File name:", u"Όνομα αρχείου:"},
    {"lblSizeTitle", 1, u"Size:", u"Μέγεθος:"},
    {"lblDateTimeTitle", 1, u"Date and time:", u"Χρονολογία και ώρα:"},
    {"lblAttributesTitle", 1, u"Attributes:", u"Ιδιότητες:"},
};

} // namespace

// --- Entries ---------------------------------------------------------------------------

QString SizeText(qint64 size, bool greek)
{
    const QString unit = size == 1 ? Txt(greek, u" byte", u" χαρακτήρας") : Txt(greek, u" bytes", u" χαρακτήρες");
    return shared::regionalFormats().groupedNumber(size) + unit;
}

QString AttributesText(bool hidden, bool system, bool readOnly, bool archive, bool greek)
{
    auto phrase = [greek](const char16_t* en, const char16_t* gr, bool on) {
        return Txt(greek, en, gr) + (on ? Txt(greek, u": Yes", u": Ναι") : Txt(greek, u": No", u": Όχι"));
    };
    return phrase(u"Hidden", u"Κρυφό", hidden) + QStringLiteral(", ") + phrase(u"System", u"Συστήματος", system)
           + QStringLiteral(", ") + phrase(u"Read only", u"Μόνον για ανάγνωση", readOnly) + QStringLiteral(", ")
           + phrase(u"Archive", u"Προς φύλαξη", archive) + QLatin1Char('.');
}

InterpretedEntry BuildInterpretedEntry(const ui::ListBox& output, int k, const QString& comparedPath, bool greek)
{
    InterpretedEntry e;
    if (output.itemData(k) == compare::acInserted)
        return e;
    const QString& text = output.list(k);
    const QString root = basGlobal::AddTrailingSeparator(comparedPath);
    if (isFolderText(text)) {
        e.supplementalPath = basGlobal::AddTrailingSeparator(text);
        e.currentPath = root;
        e.fullPath = root + e.supplementalPath;
        return e;
    }
    // Read from the right, as the grid was filled: a name never shifts a field.
    const compare::ResultFields row = compare::ParseResultRow(text, output.itemData(k));
    for (int j = k; j >= 0; --j) {
        basGlobal::DoEventsNow();
        if (isFolderText(output.list(j))) {
            e.supplementalPath = output.list(j);
            break;
        }
    }
    e.currentPath = root;
    e.fileName = row.name;
    e.fullPath = root + e.supplementalPath + row.name;
    e.sizeValue = wholeNumber(row.fields[4]);
    if (e.sizeValue < 0) typeMismatch();
    e.sizeText = SizeText(e.sizeValue, greek);

    const QString& date = row.fields[5];
    const QString& time = row.fields[6];
    if (date.size() < 8 || time.size() < 6) typeMismatch();
    basGlobal::Long error = 0;
    const QString dateText = basGlobal::FormatDateText(
        QStringLiteral("long"), false, basGlobal::Integer(wholeNumber(date.left(4))),
        basGlobal::Integer(wholeNumber(date.mid(4, 2))), basGlobal::Integer(wholeNumber(date.right(2))), error);
    basGlobal::RaiseIfError(error);
    const QString timeText = basGlobal::FormatTimeText(
        QStringLiteral("long"), false, basGlobal::Integer(wholeNumber(time.left(2))),
        basGlobal::Integer(wholeNumber(time.mid(2, 2))), basGlobal::Integer(wholeNumber(time.right(2))), error);
    basGlobal::RaiseIfError(error);
    e.dateTimeText = dateText + QStringLiteral(" - ") + timeText;
    e.attributesText = AttributesText(booleanField(row.fields[0]), booleanField(row.fields[1]),
                                      booleanField(row.fields[2]), booleanField(row.fields[3]), greek);
    return e;
}

// --- Sentences -----------------------------------------------------------------------------

QString BothSidesSentence(qint64 primarySize, qint64 secondarySize, const QString& marker, bool sameAttributes,
                          bool greek)
{
    QString s = Txt(greek, u"The file in the Primary Structure, compared against the file in the Secondary Structure, ",
                    u"Το αρχείο της Πρωτευούσης Δομής, συγκρινόμενο με το αρχείο της Δευτερευούσης Δομής, ");
    if (primarySize == secondarySize) s += Txt(greek, u"has the same", u"έχει το ίδιο");
    else if (primarySize < secondarySize) s += Txt(greek, u"is smaller in", u"είναι μικρότερο σε");
    else s += Txt(greek, u"is bigger in", u"είναι μεγαλύτερο σε");
    s += Txt(greek, u" size, ", u" μέγεθος, ");
    if (marker.isEmpty() || marker == QStringLiteral(" "))
        s += Txt(greek, u"has the same date and time", u"έχει την ίδια χρονολογία και ώρα");
    else if (marker == QStringLiteral("O") || marker == QStringLiteral("Π"))
        s += Txt(greek, u"is older", u"είναι παλαιότερο");
    else if (marker == QStringLiteral("N") || marker == QStringLiteral("Ν"))
        s += Txt(greek, u"is newer", u"είναι νεότερο");
    s += QLatin1Char(' ');
    s += sameAttributes ? Txt(greek, u"and has the same attributes", u"και έχει τις ίδιες ιδιότητες")
                        : Txt(greek, u"and has different attributes", u"και έχει διαφορετικές ιδιότητες");
    return s + QLatin1Char('.');
}

QString OneSideSentence(int side, bool extended, bool excludedOnOtherSide, bool greek)
{
    const bool primary = side == 0;
    if (!extended) {
        return primary
                   ? Txt(greek, u"The file in the Primary Structure, doesn't seem to exist in the Secondary Structure. If you want to know whether the file also exists in the Secondary Stucture, but has been excluded from the comparison, you must check the 'Display extended information' option of the window titled 'Options'.",
                         u"Το αρχείο της Πρωτευούσης Δομής, δεν φαίνεται να υπάρχει στην Δευτερεύουσα Δομή. Για να διαπιστώσετε εάν το αρχείο υπάρχει και στην Δευτερεύουσα Δομή, αλλά έχει εξαιρεθεί από την σύγκριση, πρέπει να ενεργοποιήσετε την επιλογή «Εμφάνιση εκτενούς πληροφορήσεως» του παραθύρου με τίτλο «Επιλογές».")
                   : Txt(greek, u"The file in the Secondary Structure, doesn't seem to exist in the Primary Structure. If you want to know whether the file also exists in the Primary Stucture, but has been excluded from the comparison, you must check the 'Display extended information' option of the window titled 'Options'.",
                         u"Το αρχείο της Δευτερευούσης Δομής, δεν φαίνεται να υπάρχει στην Πρωτεύουσα Δομή. Για να διαπιστώσετε εάν το αρχείο υπάρχει και στην Πρωτεύουσα Δομή, αλλά έχει εξαιρεθεί από την σύγκριση, πρέπει να ενεργοποιήσετε την επιλογή «Εμφάνιση εκτενούς πληροφορήσεως» του παραθύρου με τίτλο «Επιλογές».");
    }
    QString s;
    if (excludedOnOtherSide)
        s = primary ? Txt(greek, u"The file also exists in the Secondary Structure, but has been excluded from the comparison. ",
                          u"Το αρχείο υπάρχει και στην Δευτερεύουσα Δομή, αλλά έχει εξαιρεθεί από την σύγκριση. ")
                    : Txt(greek, u"The file also exists in the Primary Structure, but has been excluded from the comparison. ",
                          u"Το αρχείο υπάρχει και στην Πρωτεύουσα Δομή, αλλά έχει εξαιρεθεί από την σύγκριση. ");
    else
        s = primary ? Txt(greek, u"The file exists only in the Primary Structure. ", u"Το αρχείο υπάρχει μόνον στην Πρωτεύουσα Δομή. ")
                    : Txt(greek, u"The file exists only in the Secondary Structure. ", u"Το αρχείο υπάρχει μόνον στην Δευτερεύουσα Δομή. ");
    return s + finalNote(greek, true);
}

bool ExcludedFileFound(const ui::ListBox& excluded, const QString& relativePath, bool caseSensitive)
{
    const QString key = basGlobal::ApplyCaseSensitivity(relativePath, caseSensitive);
    for (int k = 0; k < excluded.listCount(); ++k) {
        basGlobal::DoEventsNow();
        if (basGlobal::ApplyCaseSensitivity(excluded.list(k), caseSensitive) == key)
            return true;
    }
    return false;
}

FolderLookup LookUpExcludedFolder(const ui::ListBox& excluded, const QString& folderPath, bool caseSensitive)
{
    const QString key = basGlobal::ApplyCaseSensitivity(basGlobal::AddTrailingSeparator(folderPath), caseSensitive);
    for (int k = 0; k < excluded.listCount(); ++k) {
        basGlobal::DoEventsNow();
        const QString item = basGlobal::ApplyCaseSensitivity(excluded.list(k), caseSensitive);
        if (item.startsWith(key))
            return basGlobal::GetTextAfterSeparator(item) == kEmptyFolderMarker ? FolderLookup::Marker : FolderLookup::Other;
    }
    return FolderLookup::None;
}

QString FolderRowSentence(const std::array<FolderSide, 2>& sides, bool extended, bool caseSensitive, bool greek)
{
    const bool present[2] = {!sides[0].supplementalPath.isEmpty(), !sides[1].supplementalPath.isEmpty()};
    if (!extended) {
        if (present[0] && present[1])
            return Txt(greek, u"The folder exists in both Structures. If you need extended information, you must check the 'Display extended information' option of the window titled 'Options'.",
                       u"Ο φάκελλος υπάρχει και στις δύο Δομές. Εάν θέλετε εκτενή πληροφόρηση, πρέπει να ενεργοποιήσετε την επιλογή «Εμφάνιση εκτενούς πληροφορήσεως» του παραθύρου με τίτλο «Επιλογές».");
        if (present[0])
            return Txt(greek, u"The folder in the Primary Structure, doesn't seem to exist in the Secondary Structure. If you need extended information, you must check the 'Display extended information' option of the window titled 'Options'.",
                       u"Ο φάκελλος της Πρωτευούσης Δομής, δεν φαίνεται να υπάρχει στην Δευτερεύουσα Δομή. Εάν θέλετε εκτενή πληροφόρηση, πρέπει να ενεργοποιήσετε την επιλογή «Εμφάνιση εκτενούς πληροφορήσεως» του παραθύρου με τίτλο «Επιλογές».");
        if (present[1])
            return Txt(greek, u"The folder in the Secondary Structure, doesn't seem to exist in the Primary Structure. If you need extended information, you must check the 'Display extended information' option of the window titled 'Options'.",
                       u"Ο φάκελλος της Δευτερευούσης Δομής, δεν φαίνεται να υπάρχει στην Πρωτεύουσα Δομή. Εάν θέλετε εκτενή πληροφόρηση, πρέπει να ενεργοποιήσετε την επιλογή «Εμφάνιση εκτενούς πληροφορήσεως» του παραθύρου με τίτλο «Επιλογές».");
        return QString();
    }
    QString s;
    if (present[0] && present[1])
        s = Txt(greek, u"The folder exists in both structures. ", u"Ο φάκελλος υπάρχει και στις δύο δομές. ");
    for (int i = 0; i < 2; ++i) {
        const int o = 1 - i;
        FolderClause clause = FolderClause::C1;
        if (present[i] && sides[std::size_t(i)].alignmentCode == compare::acPresent) {
            clause = FolderClause::C1;
        } else {
            // A present folder is looked up in its own list; an absent one in
            // the list of the side that lacks it, by the other side's path.
            const QString& path = present[i] ? sides[std::size_t(i)].supplementalPath : sides[std::size_t(o)].supplementalPath;
            const ui::ListBox* list = sides[std::size_t(i)].excluded;
            const FolderLookup found = list ? LookUpExcludedFolder(*list, path, caseSensitive) : FolderLookup::None;
            const int base = present[i] ? int(FolderClause::C2) : int(FolderClause::C5);
            clause = FolderClause(base + int(found));
        }
        s += folderClauseText(clause, i, greek);
    }
    return s + finalNote(greek, false);
}

// --- The window ----------------------------------------------------------------------------

frmInterpretation::frmInterpretation() : ui::Form(QStringLiteral("frmInterpretation"))
{
    Load = [this] { Form_Load(); };
}

void frmInterpretation::build()
{
    move(left(), top(), 11652 + 2 * 60, 7932 + 400);
    lblInterpretationTitle = add<ui::Label>(QStringLiteral("lblInterpretationTitle"));
    lblInterpretationTitle->move(120, 120, 10212, kLabelHeight);
    lblInterpretationTitle->setAlignment(kCentred);
    lblInterpretationTitle->setFontBold(true);
    lblInterpretationTitle->setForeColor(kTitleBlue);
    lblInterpretationTitle->setBackColor(kSysInfoBackground);
    lblInterpretationTitle->setHelpTopic(htInterpretation);
    lblInterpretation = add<ui::Label>(QStringLiteral("lblInterpretation"));
    lblInterpretation->move(120, 360, 10212, 852);
    lblInterpretation->setAlignment(kCentred);
    lblInterpretation->setWordWrap(true);
    lblInterpretation->setBackColor(kSentenceGrey);
    lblInterpretation->setHelpTopic(htInterpretation);
    cmdOK = add<ui::CommandButton>(QStringLiteral("cmdOK"));
    cmdOK->move(10440, 120, 1092, 1092);
    cmdOK->setHelpTopic(htOK);
    setDefaultButton(cmdOK);
    setCancelButton(cmdOK);
    grdResults = add<ui::FlexGrid>(QStringLiteral("grdResults"));
    grdResults->move(120, 1320, 11412, 732);
    grdResults->setHelpTopic(htResults);

    for (int i = 0; i < 2; ++i) {
        const int top = i == 0 ? 2160 : 5040;
        auto* title = addTo(lblStructureTitle, QStringLiteral("lblStructureTitle"), i);
        title->move(120, top, 11412, kLabelHeight);
        title->setAlignment(kCentred);
        title->setFontBold(true);
        // The title is written in the structure's light tint: a dark ground
        // keeps it readable.
        title->setBackColor(kTitleBlue);
        auto* full = addTo(lblFullPath, QStringLiteral("lblFullPath"), i);
        full->move(120, top + 240, 11412, kLabelHeight);
        full->setHelpTopic(htFullPath + 5 * i);
        struct Row {
            ui::ControlArray<ui::Label>* title;
            const char* titleName;
            ui::ControlArray<ui::Label>* value;
            const char* valueName;
            int topic;
        };
        const Row rows[6] = {
            {&lblCurrentPathTitle, "lblCurrentPathTitle", &lblCurrentPath, "lblCurrentPath", htCurrentPath},
            {&lblSupplementalPathTitle, "lblSupplementalPathTitle", &lblSupplementalPath, "lblSupplementalPath", htSupplementalPath},
            {&lblFileNameTitle, "lblFileNameTitle", &lblFileName, "lblFileName", htFileName},
            {&lblSizeTitle, "lblSizeTitle", &lblSize, "lblSize", htSize},
            {&lblDateTimeTitle, "lblDateTimeTitle", &lblDateTime, "lblDateTime", htDateTime},
            {&lblAttributesTitle, "lblAttributesTitle", &lblAttributes, "lblAttributes", htAttributes},
        };
        for (int k = 0; k < 6; ++k) {
            const int y = top + 600 + 360 * k;
            addTo(*rows[k].title, QLatin1String(rows[k].titleName), i)->move(120, y, 2412, kLabelHeight);
            auto* value = addTo(*rows[k].value, QLatin1String(rows[k].valueName), i);
            value->move(2640, y, 8892, kLabelHeight);
            value->setHelpTopic(rows[k].topic + 5 * i);
        }
    }
    freeSizer1 = add<ui::FormResizer>(QStringLiteral("freeSizer1"));
    cmdOK->Click = [this] { unload(); };
}

void frmInterpretation::Form_Load()
{
    basGlobal::Globals& g = globals();
    const bool gr = g.LanguageIsGreek;
    entries_ = {};
    basGlobal::ErrorTrap trap(this, QStringLiteral("336"));
    trap.step([&] {
        setCaption(Txt(gr, u"Interpretation", u"Ερμηνεία"));
        for (const Caption& c : kCaptions)
            ui::setCaptionOf(*control(QLatin1String(c.name), c.index), Txt(gr, c.english, c.greek));
    });
    trap.step([&] { freeSizer1->setResizeFonts(g.ResizeFontEnabled); });
    if (!results_ || !results_->isLoaded())
        return;
    for (int i = 0; i < 2; ++i) {
        trap.step([&] {
            basGlobal::DoEventsNow();
            const ui::Color tint = results_->structureTint(i);
            lblStructureTitle[i]->setForeColor(tint);
            for (auto* list : {&lblFullPath, &lblCurrentPath, &lblSupplementalPath, &lblFileName, &lblSize, &lblDateTime,
                               &lblAttributes})
                (*list)[i]->setBackColor(tint);
        });
    }
    trap.step([&] { copyRow(*results_->grdResults); });
    basGlobal::frmHiddenForm& h = basGlobal::HiddenForm();
    for (int i = 0; i < 2; ++i) {
        trap.step([&] {
            basGlobal::DoEventsNow();
            entries_[std::size_t(i)] = BuildInterpretedEntry(*h.lstOutput[i], row_ - 1, g.ComparedPath[std::size_t(i)], gr);
        });
        trap.step([&] { showEntry(i); });
    }
    trap.step([&] { lblInterpretation->setCaption(sentences()); });
}

void frmInterpretation::copyRow(const ui::FlexGrid& source)
{
    ui::FlexGrid& own = *grdResults;
    const int r = row_;
    own.setRows(2);
    own.setCols(source.cols());
    own.setFixedRows(source.fixedRows());
    own.setFixedCols(source.fixedCols());
    own.setMergeCells(source.mergeCells());
    own.setMergeRow(0, source.mergeRow(0));
    for (int j = 0; j < source.cols(); ++j) {
        basGlobal::DoEventsNow();
        own.setColWidth(j, source.colWidth(j));
        own.setTextMatrix(0, j, source.textMatrix(0, j));
        own.setColAlignment(j, source.colAlignment(j));
        own.setFixedAlignment(j, source.fixedAlignment(j));
    }
    own.setMergeRow(1, true);
    for (int j = 0; j < source.cols(); ++j) {
        basGlobal::DoEventsNow();
        own.setTextMatrix(1, j, source.textMatrix(r, j));
    }
    // The copy keeps the tints, the green of folder rows and the merging.
    for (int from : {0, r}) {
        const int to = from == 0 ? 0 : 1;
        for (int j = 0; j < source.cols(); ++j) {
            basGlobal::DoEventsNow();
            own.setCellBackColorAt(to, j, source.cellBackColorAt(from, j));
            own.setCellForeColorAt(to, j, source.cellForeColorAt(from, j));
        }
    }
    // The cells were read as the results grid's current cell, the last one
    // of the row being left current.
    ui::FlexGrid& results = *results_->grdResults;
    results.setRow(r);
    results.setCol(results.cols() - 1);
}

void frmInterpretation::showEntry(int i)
{
    const InterpretedEntry& e = entries_[std::size_t(i)];
    const bool hideTips = globals().HidePathToolTips;
    const std::pair<ui::Label*, const QString*> paths[4] = {{lblFullPath[i], &e.fullPath},
                                                            {lblCurrentPath[i], &e.currentPath},
                                                            {lblSupplementalPath[i], &e.supplementalPath},
                                                            {lblFileName[i], &e.fileName}};
    for (const auto& [label, text] : paths) {
        label->setCaption(basGlobal::CompactPathToWidth(*label, *text));
        label->setToolTipText(hideTips ? QString() : *text);
    }
    lblSize[i]->setCaption(e.sizeText);
    lblDateTime[i]->setCaption(e.dateTimeText);
    lblAttributes[i]->setCaption(e.attributesText);
}

QString frmInterpretation::sentences() const
{
    const basGlobal::Globals& g = globals();
    const bool gr = g.LanguageIsGreek;
    const bool cs = g.VolumeIsCaseSensitive;
    const InterpretedEntry& p = entries_[0];
    const InterpretedEntry& s = entries_[1];
    basGlobal::frmHiddenForm& h = basGlobal::HiddenForm();
    if (!p.fileName.isEmpty() && !s.fileName.isEmpty())
        return BothSidesSentence(p.sizeValue, s.sizeValue, grdResults->textMatrix(1, 0),
                                 p.attributesText == s.attributesText, gr);
    if (!p.fileName.isEmpty() || !s.fileName.isEmpty()) {
        const int side = p.fileName.isEmpty() ? 1 : 0;
        const InterpretedEntry& e = entries_[std::size_t(side)];
        const bool found = g.ShowExtendedInformation
                           && ExcludedFileFound(*h.lstExcluded[1 - side], e.supplementalPath + e.fileName, cs);
        return OneSideSentence(side, g.ShowExtendedInformation, found, gr);
    }
    std::array<FolderSide, 2> sides;
    for (int i = 0; i < 2; ++i) {
        sides[std::size_t(i)].supplementalPath = entries_[std::size_t(i)].supplementalPath;
        sides[std::size_t(i)].alignmentCode = h.lstOutput[i]->itemData(row_ - 1);
        sides[std::size_t(i)].excluded = h.lstExcluded[i];
    }
    return FolderRowSentence(sides, g.ShowExtendedInformation, cs, gr);
}

frmInterpretation& InterpretationWindow()
{
    static frmInterpretation* const form = new frmInterpretation;
    return *form;
}

} // namespace results
